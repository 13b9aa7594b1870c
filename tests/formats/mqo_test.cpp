#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "formats/document_io.h"
#include "formats/mqo_format.h"
#include "support/obj_mqo_support.h"
#include "settings/settings.h"
#include "support/test_models.h"
#include "support/read_into.h"
#include "support/reader_sweep.h"

namespace vexal {
namespace {

using objmqo_test::DataPath;
using objmqo_test::ModelProblem;
using objmqo_test::NewDocument;
using objmqo_test::ReadWhole;
using objmqo_test::TestFolder;

using Corners = std::array<int32_t, 4>;

const std::string kHeader = "Metasequoia Document\r\nFormat Text Ver 1.0\r\n\r\n";

struct MqoRun {
  Settings settings;
  FormatContext context;
  MqoRun() { settings.MqoImportScale = 1.0f; }
  int text(Model& model, const std::string& mqo) {
    context = FormatContext{};
    context.settings = &settings;
    return testing::ReadInto(model, ReadMqoBytes, mqo, context);
  }
};

// An object chunk with the given extra lines, points and faces.
std::string Object(const std::string& extra, const std::string& points, const std::string& faces) {
  std::string text = "Object \"o\" {\r\n\tvisible 15\r\n" + extra;
  int pointLines = 0;
  for (char c : points) pointLines += c == '\n';
  int faceLines = 0;
  for (char c : faces) faceLines += c == '\n';
  text += "\tvertex " + std::to_string(pointLines) + " {\r\n" + points + "\t}\r\n";
  text += "\tface " + std::to_string(faceLines) + " {\r\n" + faces + "\t}\r\n}\r\n";
  return text;
}

const std::string kSquarePoints = "\t\t1 0 0\r\n\t\t2 0 0\r\n\t\t2 1 0\r\n\t\t1 1 0\r\n";

TEST(MqoRead, CorpusFilesLoadWithTheirCounts) {
  // Points and surfaces counted from the files' chunks, times two for each
  // mirrored axis (no independent reader of MQO is at hand).
  struct Case {
    const char* file;
    int points, faces, freeLines;
  };
  const Case cases[] = {
      {"Golem.mqo", 383, 310, 38},   {"M26A1.mqo", 193, 184, 0}, {"allosaurus.mqo", 1482, 1334, 0},
      {"medaka.mqo", 306, 258, 0},   {"ninja.mqo", 6567, 10518, 0}, {"star.mqo", 386, 384, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    auto document = NewDocument();
    Settings settings;
    FormatContext context;
    context.settings = &settings;
    ASSERT_EQ(LoadMqoFile(*document, DataPath(std::string("mqo/") + c.file), context), 1) << context.reason;
    const Model& model = document->model;
    EXPECT_EQ(ModelProblem(model), "");
    EXPECT_EQ(model.pointCount, c.points);
    EXPECT_EQ(model.faceCount, c.faces);
    EXPECT_GE(model.lineCount, c.freeLines);
    for (int s = 1; s <= model.faceCount; ++s) ASSERT_LT(model.faces[s].material, kGuideMaterial);
  }

  // Version 1.1 keeps the chunks of 1.0: the points and surfaces match the
  // "vertex" and "face" counts its object chunks state (one object of
  // triangles, no mirror).
  const std::string text = ReadWhole(DataPath("mqo/marisa.mqo"));
  ASSERT_NE(text.find("Format Text Ver 1.1"), std::string::npos);
  int statedPoints = 0, statedFaces = 0;
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);) {
    std::istringstream words(line);
    std::string word;
    int count = 0;
    if (!(words >> word >> count)) continue;
    if (word == "vertex") statedPoints += count;
    if (word == "face") statedFaces += count;
  }
  ASSERT_GT(statedFaces, 0);
  auto document = NewDocument();
  FormatContext context;
  ASSERT_EQ(LoadMqoFile(*document, DataPath("mqo/marisa.mqo"), context), 1) << context.reason;
  EXPECT_EQ(ModelProblem(document->model), "");
  EXPECT_EQ(document->model.pointCount, statedPoints);
  EXPECT_EQ(document->model.faceCount, statedFaces);
  EXPECT_EQ(TextOf(document->model.materials[1].texture), "marisa.png");
  EXPECT_TRUE(context.warnings.empty()) << context.warnings.front();
}

// Chunks a newer version adds are skipped whole, nested braces included,
// with a warning naming them; the chunks after them are still read.
TEST(MqoRead, NewerChunksSkippedWithAWarning) {
  const std::string text =
      "Metasequoia Document\r\nFormat Text Ver 1.1\r\n\r\n"
      "IncludeXml \"x.xml\"\r\n"
      "Gadget {\r\n\tknob {\r\n\t\tturn 1\r\n}\r\n\tsize 2\r\n}\r\n"
      "Object \"a\" {\r\n\tvertex 3 {\r\n\t\t0 0 0\r\n\t\t1 0 0\r\n\t\t0 1 0\r\n\t}\r\n"
      "\tface 1 {\r\n\t\t3 V(0 1 2)\r\n\t}\r\n}\r\nEof\r\n";
  Model model;
  FormatContext context;
  ASSERT_EQ(testing::ReadInto(model, ReadMqoBytes, text, context), 1) << context.reason;
  EXPECT_EQ(model.pointCount, 3);
  EXPECT_EQ(model.faceCount, 1);
  ASSERT_EQ(context.warnings.size(), 2u);
  EXPECT_NE(context.warnings[0].find("IncludeXml"), std::string::npos) << context.warnings[0];
  EXPECT_NE(context.warnings[1].find("Gadget"), std::string::npos) << context.warnings[1];
}

TEST(MqoRead, CorpusMaterialsScaleAndMirror) {
  auto document = NewDocument();
  Settings settings;
  FormatContext context;
  context.settings = &settings;
  ASSERT_EQ(LoadMqoFile(*document, DataPath("mqo/medaka.mqo"), context), 1) << context.reason;
  const Model& model = document->model;
  // File material 0 lands in palette entry 1.
  EXPECT_EQ(TextOf(model.materials[1].name), "body");
  EXPECT_EQ(TextOf(model.materials[1].texture), "medaka.jpg");
  EXPECT_EQ(model.materials[1].light, (std::array<int32_t, 4>{255, 255, 255, 255}));
  EXPECT_EQ(model.materials[1].dark, (std::array<int32_t, 4>{128, 128, 128, 255}));
  EXPECT_EQ(TextOf(model.materials[0].name), "mat_00");
  EXPECT_EQ(model.faces[1].material, 1);
  // The first point "4.0000 0.0000 334.0000" at the default scale 0.01, and
  // its x copy (obj1 mirrors in x) as its partner, appended after all 255
  // points the file lists.
  EXPECT_FLOAT_EQ(model.points[1].position.x, 0.04f);
  EXPECT_FLOAT_EQ(model.points[1].position.z, 3.34f);
  EXPECT_EQ(model.points[1].mirror, 256);
  EXPECT_EQ(model.points[256].mirror, 1);
  EXPECT_FLOAT_EQ(model.points[256].position.x, -0.04f);
  // "4 V(2 1 4 5) M(0) UV(0.07627 0.50000 0.07627 0.45302 ...)" reversed.
  EXPECT_EQ(model.faces[1].corners, (Corners{6, 5, 2, 3}));
  EXPECT_FLOAT_EQ(model.faces[1].uv[3].u, 0.07627f);
  EXPECT_FLOAT_EQ(model.faces[1].uv[3].v, 0.5f);
  EXPECT_FLOAT_EQ(model.faces[1].uv[2].v, 1.0f - 0.45302f);

  // ninja: eight materials, face M(j) in palette j + 1.
  ASSERT_EQ(LoadMqoFile(*document, DataPath("mqo/ninja.mqo"), context), 1) << context.reason;
  EXPECT_EQ(TextOf(document->model.materials[8].name), "mat9");
  EXPECT_EQ(document->model.materials[8].light, (std::array<int32_t, 4>{64, 19, 143, 255}));
}

TEST(MqoRead, TriangleReversalMaterialAndUV) {
  MqoRun run;
  auto document = NewDocument();
  Model& model = document->model;
  const std::string text = kHeader + Object("", "\t\t0 0 0\r\n\t\t1 0 0\r\n\t\t0 1 0\r\n",
                                            "\t\t3 V(0 1 2) M(0) UV(0.1 0.2 0.3 0.4 0.5 0.6)\r\n"
                                            "\t\t3 V(0 1 2)\r\n\t\t3 V(0 1 2) M(14)\r\n\t\t2 V(2 0)\r\n") +
                           "Eof\r\n";
  ASSERT_EQ(run.text(model, text), 1) << run.context.reason;
  ASSERT_EQ(model.faceCount, 3);
  EXPECT_EQ(model.faces[1].corners, (Corners{3, 2, 1, 3}));
  EXPECT_EQ(model.faces[1].material, 1);
  EXPECT_EQ(model.faces[2].material, 0);   // no M(
  EXPECT_EQ(model.faces[3].material, 0);   // (14 + 1) mod 15
  EXPECT_FLOAT_EQ(model.faces[1].uv[0].u, 0.5f);
  EXPECT_FLOAT_EQ(model.faces[1].uv[0].v, 0.4f);
  EXPECT_FLOAT_EQ(model.faces[1].uv[2].u, 0.1f);
  EXPECT_FLOAT_EQ(model.faces[1].uv[2].v, 0.8f);
  EXPECT_EQ(model.faces[1].uv[3].u, model.faces[1].uv[0].u);
  // The two-vertex face is the first line; the triangles' edges follow (the
  // rebuild looks only at the lines it appends, so edge 1 - 3 is added again).
  EXPECT_EQ(model.lines[1].a, 3);
  EXPECT_EQ(model.lines[1].b, 1);
  EXPECT_EQ(model.lineCount, 4);
}

TEST(MqoRead, ChunksObjectsAndScale) {
  MqoRun run;
  run.settings.MqoImportScale = 0.5f;
  auto document = NewDocument();
  Model& model = document->model;
  // A scene chunk with a nested chunk, an unknown chunk, a blank line before
  // the materials, two objects (the second's indices start again at 0) and
  // text after Eof.
  const std::string text =
      kHeader +
      "Scene {\r\n\tpos 0 0 1500\r\n\tdirlights 1 {\r\n\t\tlight {\r\n\t\t}\r\n\t}\r\n}\r\n"
      "BackImage {\r\n\tleft \"x.jpg\" 0 0 1 1\r\n}\r\n\r\n"
      "Material 2 {\r\n\t\"red paint\" shader(3) col(1.000 0.000 0.000 0.500) tex(\"r.png\")\r\n"
      "\t\"b\" col(0 0 1 1)\r\n}\r\n" +
      Object("", kSquarePoints, "\t\t4 V(0 1 2 3) M(1)\r\n") + Object("", kSquarePoints, "\t\t4 V(3 2 1 0) M(0)\r\n") +
      "Eof\r\nnot read\r\n";
  ASSERT_EQ(run.text(model, text), 1) << run.context.reason;
  EXPECT_EQ(model.pointCount, 8);
  ASSERT_EQ(model.faceCount, 2);
  EXPECT_EQ(model.faces[1].corners, (Corners{4, 3, 2, 1}));
  EXPECT_EQ(model.faces[1].material, 2);
  EXPECT_EQ(model.faces[2].corners, (Corners{5, 6, 7, 8}));
  EXPECT_EQ(model.points[6].position, VECTOR(1, 0, 0));
  EXPECT_EQ(TextOf(model.materials[1].name), "red");  // up to the first blank
  EXPECT_EQ(TextOf(model.materials[1].texture), "r.png");
  EXPECT_EQ(model.materials[1].light, (std::array<int32_t, 4>{255, 0, 0, 127}));
  EXPECT_EQ(model.materials[1].dark, (std::array<int32_t, 4>{128, 0, 0, 127}));
  EXPECT_EQ(model.materials[2].light, (std::array<int32_t, 4>{0, 0, 255, 255}));
}

TEST(MqoRead, MirrorExpansion) {
  MqoRun run;
  auto document = NewDocument();
  Model& model = document->model;
  const std::string square = "\t\t4 V(0 1 2 3) M(0) UV(0 0 1 0 1 1 0 1)\r\n";

  // "mirror 1" alone mirrors in x: partners, a copied line per edge, copied
  // surfaces turned to face outwards.
  ASSERT_EQ(run.text(model, kHeader + Object("\tmirror 1\r\n", kSquarePoints, square) + "Eof\r\n"), 1)
      << run.context.reason;
  EXPECT_EQ(ModelProblem(model), "");
  ASSERT_EQ(model.pointCount, 8);
  ASSERT_EQ(model.faceCount, 2);
  EXPECT_EQ(model.lineCount, 8);
  for (int p = 1; p <= 4; ++p) {
    EXPECT_EQ(model.points[p].mirror, p + 4);
    EXPECT_EQ(model.points[p + 4].mirror, p);
    EXPECT_EQ(model.points[p + 4].position.x, -model.points[p].position.x);
  }
  // Source (4, 3, 2, 1); copy (8, 7, 6, 5) flipped to (8, 5, 6, 7).
  EXPECT_EQ(model.faces[1].corners, (Corners{4, 3, 2, 1}));
  EXPECT_EQ(model.faces[2].corners, (Corners{8, 5, 6, 7}));
  EXPECT_EQ(model.faces[2].uv[1].u, model.faces[1].uv[3].u);
  EXPECT_EQ(model.faces[2].uv[1].v, model.faces[1].uv[3].v);
  // The copy's line references agree with the line table.
  for (int j = 0; j < 4; ++j) {
    const int32_t r = model.faces[2].lines[j];
    const LINE& line = model.lines[r < 0 ? -r : r];
    const int32_t from = model.faces[2].corners[j];
    const int32_t to = model.faces[2].corners[(j + 1) % 4];
    EXPECT_EQ(r > 0 ? line.a : line.b, from) << j;
    EXPECT_EQ(r > 0 ? line.b : line.a, to) << j;
  }

  // "mirror_axis 3": x copies, then y copies of sources and x copies.
  ASSERT_EQ(run.text(model, kHeader + Object("\tmirror 1\r\n\tmirror_axis 3\r\n", kSquarePoints, square) + "Eof\r\n"),
            1);
  EXPECT_EQ(ModelProblem(model), "");
  ASSERT_EQ(model.pointCount, 16);
  EXPECT_EQ(model.faceCount, 4);
  EXPECT_EQ(model.lineCount, 16);
  // Point 1 (1, 0, 0) -> x copy 5 (-1, 0, 0); y copies 9 (1, -0, 0) and 13.
  EXPECT_EQ(model.points[9].position, VECTOR(1, -0.0f, 0));
  EXPECT_EQ(model.points[13].position, VECTOR(-1, -0.0f, 0));
  EXPECT_EQ(model.points[9].mirror, 13);
  EXPECT_EQ(model.points[13].mirror, 9);

  // An object without mirror settings after a mirrored one is not mirrored.
  ASSERT_EQ(run.text(model, kHeader + Object("\tmirror 1\r\n\tmirror_axis 4\r\n", kSquarePoints, square) +
                                Object("", kSquarePoints, square) + "Eof\r\n"),
            1);
  EXPECT_EQ(model.pointCount, 12);
  EXPECT_EQ(model.points[9].position.z, -0.0f);
  EXPECT_EQ(model.points[9].mirror, 0);  // z copies have no partner
  EXPECT_EQ(model.points[1].mirror, 0);
}

TEST(MqoRead, BinaryPointList) {
  std::string data;
  const float values[9] = {1, 2, 3, -4, 5.5f, 6, 7, 8, -9};
  for (float v : values) {
    char bytes[4];
    std::memcpy(bytes, &v, 4);  // the machine is little-endian, as the format
    data.append(bytes, 4);
  }
  MqoRun run;
  auto document = NewDocument();
  Model& model = document->model;
  const std::string object = "Object \"b\" {\r\n\tBVertex 3 {\r\n\t\tVector 3 [36]\r\n" + data +
                             "\r\n\t}\r\n\tface 1 {\r\n\t\t3 V(0 1 2)\r\n\t}\r\n}\r\n";
  ASSERT_EQ(run.text(model, kHeader + object + "Eof\r\n"), 1) << run.context.reason;
  ASSERT_EQ(model.pointCount, 3);
  EXPECT_EQ(model.points[2].position, VECTOR(-4, 5.5f, 6));
  EXPECT_EQ(model.faces[1].corners, (Corners{3, 2, 1, 3}));

  // A count beyond the data.
  const std::string shortObject = "Object \"b\" {\r\n\tBVertex 4 {\r\n\t\tVector 4 [48]\r\n" + data + "\r\n\t}\r\n}\r\n";
  EXPECT_EQ(run.text(model, kHeader + shortObject), 0);
  EXPECT_NE(run.context.reason.find("larger than the data"), std::string::npos) << run.context.reason;
  EXPECT_EQ(model.pointCount, 3);
}

TEST(MqoRead, RefusesHostileInputAndKeepsTheModel) {
  std::string manyPoints;
  for (int i = 0; i < 20000; ++i) manyPoints += "\t\t" + std::to_string(i) + " 0 0\r\n";
  std::string tenThousand;
  for (int i = 0; i < 10000; ++i) tenThousand += "\t\t" + std::to_string(i) + " 1 0\r\n";
  struct Case {
    std::string text;
    const char* reason;
  };
  const Case cases[] = {
      {"Metasequoia Document\r\nFormat Text Ver 1.2\r\n", "Ver 1.0"},
      {"Metasequoia Document \r\nFormat Text Ver 1.0\r\n", "not a Metasequoia"},
      {"", "not a Metasequoia"},
      {kHeader + Object("", kSquarePoints, "\t\t4 V(0 1 2 4)\r\n"), "outside the object's 4 points"},
      {kHeader + Object("", kSquarePoints, "\t\t3 V(0 1 -1)\r\n"), "face index -1"},
      // Indices count within their own object: the second object has 4.
      {kHeader + Object("", kSquarePoints, "") + Object("", kSquarePoints, "\t\t3 V(0 1 7)\r\n"), "face index 7"},
      {kHeader + Object("", kSquarePoints, "\t\t4 V(0 1 2)\r\n"), "needs 4 indices"},
      {kHeader + Object("", kSquarePoints, "\t\t3 V(0 1 2) UV(0 0 1 1 nan 0)\r\n"), "UV("},
      {kHeader + Object("", "\t\t1 inf 0\r\n", ""), "three finite"},
      {kHeader + Object("", "\t\t1 0\r\n", ""), "three finite"},
      {kHeader + Object("", manyPoints, ""), "19999 points"},
      {kHeader + Object("\tmirror 1\r\n", tenThousand, ""), "after mirroring"},
      {kHeader + "Object \"b\" {\r\n\tBVertex 99999999999 {\r\n", "19999 points"},
      {kHeader + "Material 1 {\r\n\t\"" + std::string(300, 'n') + "\" col(1 1 1 1)\r\n}\r\n", "name longer"},
      {kHeader + "Material 1 {\r\n\t\"m\" tex(\"" + std::string(300, 't') + "\")\r\n}\r\n", "texture file"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.reason);
    MqoRun run;
    auto document = NewDocument();
    testing::UnitQuad(document->model);
    EXPECT_EQ(run.text(document->model, c.text), 0);
    EXPECT_NE(run.context.reason.find(c.reason), std::string::npos) << run.context.reason;
    EXPECT_EQ(document->model.pointCount, 4);
    EXPECT_EQ(document->model.faceCount, 1);
  }
}

TEST(MqoRead, EveryPrefixAndOneByteCorruptionLeavesAValidModel) {
  const std::string original =
      kHeader + "Material 1 {\r\n\t\"m\" col(1 0.5 0 1) tex(\"t.png\")\r\n}\r\n" +
      Object("\tmirror 1\r\n\tmirror_axis 3\r\n", kSquarePoints,
             "\t\t4 V(0 1 2 3) M(0) UV(0 0 1 0 1 1 0 1)\r\n\t\t3 V(0 1 2)\r\n\t\t2 V(3 0)\r\n") +
      "Eof\r\n";
  MqoRun run;
  testing::ReaderSweep sweep;
  sweep.reader = ReadMqoBytes;
  sweep.context.settings = &run.settings;
  sweep.corruptFrom = kHeader.size();
  sweep.replacements = {'\0', '\n', '}', '-', '9', ' ', '(', '"', 'x'};
  testing::RunReaderSweep(sweep, original);
  auto document = NewDocument();
  ASSERT_EQ(run.text(document->model, original), 1) << run.context.reason;
  EXPECT_EQ(ModelProblem(document->model), "");
}

TEST(MqoWrite, ExactBytes) {
  const std::string folder = TestFolder();
  auto document = NewDocument();
  Model& model = document->model;
  objmqo_test::TwoSurfacesAndALine(model);
  SetText(model.materials[2].texture, "leaf.png");
  model.materials[2].smoothingAngle = 30;
  SetMaterialColors(model, 2, 255, 128, 0, 51, 0, 0, 0, 51);
  Settings settings;
  settings.MqoExportScale = 10;
  FormatContext context;
  context.settings = &settings;
  ASSERT_EQ(SaveMqoFile(*document, folder + "two.mqo", context), 1) << context.reason;

  std::string expected =
      "Metasequoia Document\nFormat Text Ver 1.0\n\n"
      "Scene {\n\tpos 0.0000 0.0000 1500.0000\n\tlookat 0.0000 0.0000 0.0000\n\thead -0.5236\n"
      "\tpich 0.5236\n\tortho 0\n\tzoom2 5.0000\n\tamb 0.250 0.250 0.250\n}\n"
      "Material 15 {\n"
      "\t\"mat_00\" shader(3) col(0.914 0.914 0.914 1.000) dif(1.000) amb(0.250) emi(0.250) spc(0.000) power(5.00)\n"
      "\t\"mat_01\" shader(3) col(0.565 1.000 1.000 1.000) dif(1.000) amb(0.250) emi(0.250) spc(0.000) power(5.00)\n"
      "\t\"mat_02\" shader(3) col(1.000 0.502 0.000 0.200) dif(1.000) amb(0.250) emi(0.250) spc(0.000) power(5.00)"
      " tex(\"leaf.png\")\n";
  for (int m = 3; m < 15; ++m) {
    const PaletteColors colors = DefaultPaletteColors(m);
    char line[200];
    std::snprintf(line, sizeof line, "\t\"mat_%02d\" shader(3) col(%.3f %.3f %.3f 1.000)", m, colors.light[0] / 255.0,
                  colors.light[1] / 255.0, colors.light[2] / 255.0);
    expected += std::string(line) + " dif(1.000) amb(0.250) emi(0.250) spc(0.000) power(5.00)\n";
  }
  expected +=
      "}\n"
      // Free lines: (6, 7) and the guide triangle's edges (2, 7) and (7, 1),
      // on points 1, 2, 6, 7.
      "Object \"line\" {\n\tvisible 15\n\tlocking 0\n\tshading 1\n\tfacet 59.5\n"
      "\tcolor 0.898 0.498 0.698\n\tcolor_type 0\n"
      "\tvertex 4 {\n\t\t0.0000 0.0000 0.0000\n\t\t10.0000 0.0000 0.0000\n"
      "\t\t20.0000 10.0000 -2.5000\n\t\t5.0000 -10.0000 0.0000\n\t}\n"
      "\tface 3 {\n\t\t2 V(2 3)\n\t\t2 V(1 3)\n\t\t2 V(3 0)\n\t}\n}\n"
      "Object \"mat_00\" {\n\tvisible 15\n\tlocking 0\n\tshading 1\n\tfacet 59.5\n"
      "\tcolor 0.898 0.498 0.698\n\tcolor_type 0\n"
      "\tvertex 4 {\n\t\t0.0000 0.0000 0.0000\n\t\t10.0000 0.0000 0.0000\n"
      "\t\t10.0000 10.0000 0.0000\n\t\t0.0000 10.0000 0.0000\n\t}\n"
      "\tface 1 {\n\t\t4 V(3 2 1 0) M(0) UV(0.00000 0.00000 1.00000 0.00000 1.00000 1.00000 0.00000 1.00000)\n\t}\n}\n"
      "Object \"mat_02\" {\n\tvisible 15\n\tlocking 0\n\tshading 1\n\tfacet 30.0\n"
      "\tcolor 0.898 0.498 0.698\n\tcolor_type 0\n"
      "\tvertex 3 {\n\t\t10.0000 0.0000 0.0000\n\t\t10.0000 10.0000 0.0000\n\t\t20.0000 0.0000 5.0000\n\t}\n"
      "\tface 1 {\n\t\t3 V(1 2 0) M(2) UV(0.50000 0.00000 0.75000 0.50000 0.25000 0.50000)\n\t}\n}\n"
      "Eof\n";
  std::string crlf;
  for (char c : expected) {
    if (c == '\n') crlf += '\r';
    crlf += c;
  }
  EXPECT_EQ(ReadWhole(folder + "two.mqo"), crlf);
}

TEST(MqoWrite, SurfacesWithoutUVsWriteNoUVPart) {
  const std::string folder = TestFolder();
  auto document = NewDocument();
  testing::UnitQuad(document->model);
  document->model.faces[1].uv.fill(UV(0, 0));
  document->model.faces[1].material = 6;
  FormatContext context;
  ASSERT_EQ(SaveMqoFile(*document, folder + "q.mqo", context), 1);
  const std::string text = ReadWhole(folder + "q.mqo");
  EXPECT_NE(text.find("\tface 1 {\r\n\t\t4 V(3 2 1 0) M(6)\r\n\t}\r\n"), std::string::npos) << text;
  // Default export scale 100.
  EXPECT_NE(text.find("\t\t100.0000 100.0000 0.0000\r\n"), std::string::npos);
  EXPECT_EQ(SaveMqoFile(*document, folder + "none/q.mqo", context), 0);
}

TEST(MqoRoundTrip, ExportThenImportKeepsGeometryWindingUVsAndMovesMaterialsUp) {
  const std::string folder = TestFolder();
  Settings settings;  // default scales 100 out, 0.01 in
  FormatContext context;
  context.settings = &settings;
  std::mt19937 random(11);
  for (int round = 0; round < 4; ++round) {
    SCOPED_TRACE(round);
    auto source = NewDocument();
    testing::RandomModelOptions options;
    options.allowDegenerate = false;
    testing::RandomModel(source->model, random, options);
    Model& model = source->model;
    for (int s = 1; s <= model.faceCount; ++s) {
      FACE& f = model.faces[s];
      f.material = s % 14;
      for (UV& uv : f.uv) {
        uv = UV(std::uniform_int_distribution<int>(0, 100)(random) / 100.0f,
                std::uniform_int_distribution<int>(0, 100)(random) / 100.0f);
      }
      if (!IsQuad(f)) f.uv[3] = f.uv[0];
    }
    SetMaterialColors(model, 5, 255, 0, 51, 255, 0, 0, 0, 255);
    SetText(model.materials[5].name, "five");
    ASSERT_EQ(SaveMqoFile(*source, folder + "r.mqo", context), 1) << context.reason;
    auto back = NewDocument();
    ASSERT_EQ(LoadMqoFile(*back, folder + "r.mqo", context), 1) << context.reason;
    const Model& read = back->model;
    EXPECT_EQ(ModelProblem(read), "");
    EXPECT_EQ(TextOf(read.materials[6].name), "five");
    EXPECT_EQ(read.materials[6].light, (std::array<int32_t, 4>{255, 0, 51, 255}));

    // Surfaces come back per material in order, each with the positions of
    // its corners in the same winding and the same UVs.
    int k = 1;
    for (int m = 0; m < 14; ++m) {
      for (int s = 1; s <= model.faceCount; ++s) {
        const FACE& f = model.faces[s];
        if (f.material != m) continue;
        ASSERT_LE(k, read.faceCount);
        const FACE& g = read.faces[k++];
        EXPECT_EQ(g.material, m + 1);
        ASSERT_EQ(IsQuad(g), IsQuad(f));
        for (int j = 0; j < 4; ++j) {
          const VECTOR& a = model.points[f.corners[j]].position;
          const VECTOR& b = read.points[g.corners[j]].position;
          EXPECT_NEAR(a.x, b.x, 1e-6f + 1e-6f * std::fabs(a.x));
          EXPECT_NEAR(a.y, b.y, 1e-6f + 1e-6f * std::fabs(a.y));
          EXPECT_NEAR(a.z, b.z, 1e-6f + 1e-6f * std::fabs(a.z));
          EXPECT_NEAR(g.uv[j].u, f.uv[j].u, 1e-5f);
          EXPECT_NEAR(g.uv[j].v, f.uv[j].v, 1e-5f);
        }
      }
    }
    EXPECT_EQ(k - 1, read.faceCount);
  }
}

}  // namespace
}  // namespace vexal

namespace vexal {
namespace {

// A face naming a point twice: the repeat next to itself is taken once (a
// quad becomes a triangle), a face left without three distinct corners is
// skipped with a warning. Kept as a quad, (0 0 1 2) would read as a triangle
// once mirroring reverses its copy, with four line references for three
// sides.
TEST(MqoRead, RepeatedCornersCollapseBeforeMirroring) {
  MqoRun run;
  auto document = NewDocument();
  Model& model = document->model;
  const std::string faces =
      "\t\t4 V(0 0 1 2)\r\n\t\t4 V(0 1 0 2)\r\n\t\t3 V(0 1 1)\r\n\t\t4 V(0 1 2 3)\r\n";
  ASSERT_EQ(run.text(model, kHeader + Object("\tmirror 1\r\n", kSquarePoints, faces) + "Eof\r\n"), 1)
      << run.context.reason;
  EXPECT_EQ(ModelProblem(model), "");
  ASSERT_EQ(model.faceCount, 4);
  // (2, 1, 0) reversed: the triangle (3, 2, 1), then the square.
  EXPECT_EQ(model.faces[1].corners, (Corners{3, 2, 1, 3}));
  EXPECT_EQ(model.faces[2].corners, (Corners{4, 3, 2, 1}));
  EXPECT_FALSE(IsQuad(model, 3));
  EXPECT_TRUE(IsQuad(model, 4));
  EXPECT_EQ(run.context.warnings.size(), 2u);
}

TEST(MqoRead, TheFuzzedInconsistentTriangleLoadsConsistent) {
  auto document = NewDocument();
  Settings settings;
  FormatContext context;
  context.settings = &settings;
  ASSERT_EQ(LoadMqoFile(*document, DataPath("mqo/regress/mqo_inconsistent_triangle.mqo"), context), 1)
      << context.reason;
  EXPECT_EQ(ModelProblem(document->model), "");
  EXPECT_EQ(document->model.faceCount, 4);
  // Through the dispatcher, whose own check refused it before.
  HeadlessDocumentPlatform platform;
  const DocumentIo io{settings, platform};
  DocumentFile file;
  auto opened = NewDocument();
  EXPECT_EQ(
      OpenDocumentFile(*opened, file, DataPath("mqo/regress/mqo_inconsistent_triangle.mqo"), 0, io),
      1)
      << file.lastError.reason;
}

}  // namespace
}  // namespace vexal
