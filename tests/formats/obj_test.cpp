#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <random>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "formats/obj_format.h"
#include "support/obj_mqo_support.h"
#include "settings/settings.h"
#include "support/test_models.h"
#include "support/read_into.h"
#include "support/reader_sweep.h"

#ifdef VEXAL_HAVE_ASSIMP
#include <assimp/Importer.hpp>
#include <assimp/postprocess.h>
#include <assimp/scene.h>
#endif

namespace vexal {
namespace {

using objmqo_test::DataPath;
using objmqo_test::ModelProblem;
using objmqo_test::NewDocument;
using objmqo_test::ReadWhole;
using objmqo_test::TestFolder;
using objmqo_test::WriteWhole;

struct ObjRun {
  Settings settings;
  FormatContext context;
  ObjRun() { context.settings = &settings; }
  // Reads OBJ text without material libraries into model.
  int text(Model& model, const std::string& obj) {
    context = FormatContext{};
    context.settings = &settings;
    context.readReferencedFiles = false;
    return testing::ReadInto(model, ReadObjBytes, obj, context);
  }
};

int QuadCount(const Model& model) {
  int quads = 0;
  for (int s = 1; s <= model.faceCount; ++s) quads += IsQuad(model, s) ? 1 : 0;
  return quads;
}

using Corners = std::array<int32_t, 4>;

TEST(ObjRead, CorpusFilesLoadWithTheirCounts) {
  // Counts from the files' own statements; the independent readers agree on
  // points and surfaces (assimp and Blender keep the 66-corner polygons whole,
  // which fan into 64 triangles here; "l" and "p" elements are not imported).
  struct Case {
    const char* file;
    int points, triangles, quads;
    VECTOR low, high;  // bounding box of the surfaces' corners, from assimp
  };
  const Case cases[] = {
      {"box.obj", 8, 0, 6, {-0.5f, -0.5f, -0.5f}, {0.5f, 0.5f, 0.5f}},
      {"box_without_lineending.obj", 8, 0, 6, {-0.5f, -0.5f, -0.5f}, {0.5f, 0.5f, 0.5f}},
      {"concave_polygon.obj", 64, 64, 0, {-1.146f, 1.6575f, 1.6055f}, {-1.146f, 3.1425f, 3.0905f}},
      {"space_in_material_name.obj", 64, 64, 0, {-1.146f, 1.6575f, 1.6055f}, {-1.146f, 3.1425f, 3.0905f}},
      {"cube_usemtl.obj", 8, 12, 0, {0, 0, 0}, {1, 1, 1}},
      {"cube_with_vertexcolors.obj", 8, 12, 0, {0, 0, 0}, {1, 1, 1}},
      {"empty_mat.obj", 130, 256, 0, {-1, -1, -1}, {1, 2.80245f, 1}},
      {"mtl_different_folder.obj", 8, 0, 6, {-0.5f, -0.5f, -0.5f}, {0.5f, 0.5f, 0.5f}},
      {"number_formats.obj", 15, 1, 0, {-1, -2, -3}, {1, 2, 3}},
      {"spider.obj", 762, 1368, 0, {-92.6552f, -42.2338f, -106.691f}, {57.9362f, 37.504f, 86.6912f}},
      {"testmixed.obj", 8, 0, 6, {-0.5f, -0.5f, -0.5f}, {0.5f, 0.5f, 0.5f}},
      {"testline.obj", 8, 0, 0, {}, {}},
      {"testpoints.obj", 8, 0, 0, {}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    auto document = NewDocument();
    Settings settings;
    FormatContext context;
    context.settings = &settings;
    ASSERT_EQ(LoadObjFile(*document, DataPath(std::string("obj/") + c.file), context), 1) << context.reason;
    const Model& model = document->model;
    EXPECT_EQ(ModelProblem(model), "");
    EXPECT_EQ(model.pointCount, c.points);
    EXPECT_EQ(model.faceCount - QuadCount(model), c.triangles);
    EXPECT_EQ(QuadCount(model), c.quads);
    if (model.faceCount == 0) {
      EXPECT_EQ(model.lineCount, 0);
      continue;
    }
    VECTOR low{1e30f, 1e30f, 1e30f}, high{-1e30f, -1e30f, -1e30f};
    for (int s = 1; s <= model.faceCount; ++s) {
      for (int32_t corner : model.faces[s].corners) {
        const VECTOR& p = model.points[corner].position;
        low = {std::min(low.x, p.x), std::min(low.y, p.y), std::min(low.z, p.z)};
        high = {std::max(high.x, p.x), std::max(high.y, p.y), std::max(high.z, p.z)};
      }
    }
    const float tolerance = 1e-3f * std::max(1.0f, std::fabs(c.high.x) + std::fabs(c.low.x));
    EXPECT_NEAR(low.x, c.low.x, tolerance);
    EXPECT_NEAR(low.y, c.low.y, tolerance);
    EXPECT_NEAR(low.z, c.low.z, tolerance);
    EXPECT_NEAR(high.x, c.high.x, tolerance);
    EXPECT_NEAR(high.y, c.high.y, tolerance);
    EXPECT_NEAR(high.z, c.high.z, tolerance);
  }
}

TEST(ObjRead, CorpusMaterialsLibrariesAndTextures) {
  Settings settings;
  FormatContext context;
  context.settings = &settings;
  {
    // The library names mtl (0) and mtl2 (1); the OBJ then uses mtl3 (2).
    auto document = NewDocument();
    ASSERT_EQ(LoadObjFile(*document, DataPath("obj/cube_usemtl.obj"), context), 1) << context.reason;
    const Model& model = document->model;
    EXPECT_EQ(TextOf(model.materials[0].name), "mtl");
    EXPECT_EQ(TextOf(model.materials[1].name), "mtl2");
    EXPECT_EQ(TextOf(model.materials[2].name), "mtl3");
    EXPECT_EQ(TextOf(model.materials[3].name), "mat_03");
    const int expected[12] = {2, 2, 0, 0, 0, 1, 1, 1, 1, 0, 0, 0};
    for (int s = 1; s <= 12; ++s) EXPECT_EQ(model.faces[s].material, expected[s - 1]) << s;
    EXPECT_EQ(model.materials[1].light, (std::array<int32_t, 4>{255, 255, 255, 255}));
    EXPECT_EQ(model.materials[1].dark, (std::array<int32_t, 4>{128, 128, 128, 255}));
    // mtl3 is in no library: it keeps the default colour of its slot.
    EXPECT_EQ(model.materials[2].light, (std::array<int32_t, 4>{144, 144, 255, 255}));
  }
  {
    // Windows paths in map_Kd survive whole: only a backslash at the end of a
    // line continues it.
    auto document = NewDocument();
    ASSERT_EQ(LoadObjFile(*document, DataPath("obj/spider.obj"), context), 1) << context.reason;
    const Model& model = document->model;
    EXPECT_EQ(TextOf(model.materials[0].name), "Skin");
    EXPECT_EQ(TextOf(model.materials[0].texture), ".\\wal67ar_small.jpg");
    EXPECT_EQ(TextOf(model.materials[4].name), "Augentex");
    EXPECT_EQ(TextOf(model.materials[4].texture), ".\\engineflare1.jpg");
    // Kd 0.827451 0.792157 0.772549, truncated.
    EXPECT_EQ(model.materials[0].light, (std::array<int32_t, 4>{211, 202, 196, 255}));
    EXPECT_EQ(model.materials[0].dark, (std::array<int32_t, 4>{105, 101, 98, 255}));
    // "f 1/1/1 2/2/2 3/3/3" carries the first three texture coordinates.
    const FACE& first = model.faces[1];
    EXPECT_EQ(first.corners, (Corners{1, 2, 3, 1}));
    EXPECT_EQ(first.uv[3].u, first.uv[0].u);
    EXPECT_EQ(first.uv[3].v, first.uv[0].v);
  }
  {
    auto document = NewDocument();
    ASSERT_EQ(LoadObjFile(*document, DataPath("obj/mtl_different_folder.obj"), context), 1);
    EXPECT_EQ(TextOf(document->model.materials[0].name), "Whatever");
    EXPECT_EQ(TextOf(document->model.materials[0].texture), "image.jpg");
    EXPECT_EQ(document->model.materials[0].light, (std::array<int32_t, 4>{35, 47, 105, 255}));
  }
  {
    // The usemtl line pads the name with blanks; trimmed, it meets the
    // library's name and takes its colour.
    auto document = NewDocument();
    ASSERT_EQ(LoadObjFile(*document, DataPath("obj/space_in_material_name.obj"), context), 1);
    EXPECT_EQ(TextOf(document->model.materials[0].name), "Hard Shiny Plastic White");
    EXPECT_EQ(TextOf(document->model.materials[1].name), "mat_01");
    EXPECT_EQ(document->model.faces[1].material, 0);
    EXPECT_EQ(document->model.materials[0].light[0], 35);
  }
  {
    // "newmtl" and "usemtl" with an empty name are the same material.
    auto document = NewDocument();
    ASSERT_EQ(LoadObjFile(*document, DataPath("obj/empty_mat.obj"), context), 1);
    EXPECT_EQ(TextOf(document->model.materials[0].name), "");
    EXPECT_EQ(document->model.materials[0].light[0], 204);
    EXPECT_EQ(document->model.faces[256].material, 0);
  }
}

TEST(ObjRead, RegressionFiles) {
  for (const auto& entry : std::filesystem::directory_iterator(DataPath("obj/regress"))) {
    if (entry.path().extension() != ".obj") continue;
    SCOPED_TRACE(entry.path().string());
    auto document = NewDocument();
    FormatContext context;
    if (LoadObjFile(*document, entry.path().string(), context) == 1) {
      EXPECT_EQ(ModelProblem(document->model), "");
    } else {
      EXPECT_FALSE(context.reason.empty());
    }
  }
}

TEST(ObjRead, NumbersAsFreeFormatReals) {
  auto document = NewDocument();
  FormatContext context;
  ASSERT_EQ(LoadObjFile(*document, DataPath("obj/number_formats.obj"), context), 1) << context.reason;
  const Model& model = document->model;
  const auto at = [&](int p) { return model.points[p].position; };
  EXPECT_EQ(at(3), VECTOR(1, 2, 3));    // +1 +2. +3.0
  EXPECT_EQ(at(4), VECTOR(-1, -2, -3));
  EXPECT_EQ(at(6), VECTOR(100, 20, 310));  // +1e2 +2.e1 +3.1e2
  EXPECT_EQ(at(8), VECTOR(100, 20, 3.1f));  // 1e+2 2.e+1 3.1+e2: the last stops at "+e2"
  EXPECT_EQ(at(13), VECTOR(-0.01f, -0.2f, -3.1f));
  EXPECT_EQ(at(14), VECTOR(1e10f, 20, 3.1e10f));
  EXPECT_EQ(at(15), VECTOR(100, 20, 310));
}

TEST(ObjRead, FaceStatements) {
  std::string points;
  for (int i = 1; i <= 10; ++i) points += "v " + std::to_string(i) + " 0 0\n";
  const std::string uvs = "vt 0.1 0.2\nvt 0.3 0.4\nvt 0.5 0.6\nvt 0.7 0.8\nvt 0.9 1.0\n";
  ObjRun run;
  auto document = NewDocument();
  Model& model = document->model;

  // A pentagon fans around its first vertex, UVs carried along.
  ASSERT_EQ(run.text(model, points + uvs + "f 1/1 2/2 3/3 4/4 5/5\n"), 1) << run.context.reason;
  ASSERT_EQ(model.faceCount, 3);
  EXPECT_EQ(model.faces[1].corners, (Corners{1, 2, 3, 1}));
  EXPECT_EQ(model.faces[2].corners, (Corners{1, 3, 4, 1}));
  EXPECT_EQ(model.faces[3].corners, (Corners{1, 4, 5, 1}));
  EXPECT_FLOAT_EQ(model.faces[3].uv[0].u, 0.1f);
  EXPECT_FLOAT_EQ(model.faces[3].uv[1].u, 0.7f);
  EXPECT_FLOAT_EQ(model.faces[3].uv[2].v, 1.0f);
  EXPECT_FLOAT_EQ(model.faces[3].uv[3].v, 0.2f);
  EXPECT_EQ(model.lineCount, 7);  // the pentagon's five sides and two diagonals

  // Relative indices count back from the last point or coordinate read; the
  // normal field is ignored, and so are blanks around the vertices.
  ASSERT_EQ(run.text(model, points + uvs + "f  -3/-1/7  -2/-2//  -1/-5 \n"), 1) << run.context.reason;
  ASSERT_EQ(model.faceCount, 1);
  EXPECT_EQ(model.faces[1].corners, (Corners{8, 9, 10, 8}));
  EXPECT_FLOAT_EQ(model.faces[1].uv[0].u, 0.9f);
  EXPECT_FLOAT_EQ(model.faces[1].uv[1].u, 0.7f);
  EXPECT_FLOAT_EQ(model.faces[1].uv[2].u, 0.1f);

  // Two vertices make a line, one nothing; "1//2" has no texture coordinate.
  ASSERT_EQ(run.text(model, points + "f 4 7\nf 3\nf 1//2 2//2 3//2 4//2\n"), 1);
  ASSERT_EQ(model.faceCount, 1);
  EXPECT_EQ(model.faces[1].corners, (Corners{1, 2, 3, 4}));
  EXPECT_EQ(model.faces[1].uv[2].u, 0.0f);
  ASSERT_EQ(model.lineCount, 5);
  EXPECT_EQ(model.lines[1].a, 4);
  EXPECT_EQ(model.lines[1].b, 7);

  // A backslash at the end of a line continues it.
  ASSERT_EQ(run.text(model, points + "f 1 2\\\r\n 3 \\  \n4\n"), 1) << run.context.reason;
  ASSERT_EQ(model.faceCount, 1);
  EXPECT_EQ(model.faces[1].corners, (Corners{1, 2, 3, 4}));
}

TEST(ObjRead, StatementsThatAreSkippedOrRefused) {
  ObjRun run;
  auto document = NewDocument();
  Model& model = document->model;
  const std::string quad = "v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nf 1 2 3 4\n";
  // Comments, objects, groups, smoothing, points, polylines and normals are
  // read past; blank lines (even of blanks only) and CR LF ends too.
  ASSERT_EQ(run.text(model, "# c\r\no a\r\ng b\r\ns 1\r\n  \t\r\n\r\np 1\r\nl 1 2\r\nvn 0 0 1\r\n" + quad), 1)
      << run.context.reason;
  EXPECT_EQ(model.faceCount, 1);
  EXPECT_EQ(model.lineCount, 4);

  for (const char* statement : {"vp 0.5 0.5\n", "curv 0 1 1 2\n", "v\n", "fo 1 2 3\n", "usemtlx\n"}) {
    SCOPED_TRACE(statement);
    EXPECT_EQ(run.text(model, quad + statement), 0);
    EXPECT_NE(run.context.reason.find("line 6"), std::string::npos) << run.context.reason;
  }
  // Nothing but comments: no point, not a model.
  EXPECT_EQ(run.text(model, "# just a comment\n"), 0);
  EXPECT_EQ(run.text(model, ""), 0);
}

TEST(ObjRead, MaterialNumbersShareOneNameTable) {
  ObjRun run;
  auto document = NewDocument();
  Model& model = document->model;
  std::string text = "v 0 0 0\nv 1 0 0\nv 0 1 0\n";
  for (int m = 0; m < 17; ++m) text += "usemtl m" + std::to_string(m) + "\nf 1 2 3\n";
  text += "usemtl m3\nf 1 2 3\n";
  ASSERT_EQ(run.text(model, text), 1) << run.context.reason;
  ASSERT_EQ(model.faceCount, 18);
  EXPECT_EQ(model.faces[1].material, 0);
  EXPECT_EQ(model.faces[15].material, 14);
  EXPECT_EQ(model.faces[16].material, 0);  // name 15 wraps to material 0
  EXPECT_EQ(model.faces[17].material, 1);  // name 16 to material 1
  EXPECT_EQ(model.faces[18].material, 3);  // a known name keeps its number
  EXPECT_EQ(TextOf(model.materials[14].name), "m14");
  EXPECT_EQ(TextOf(model.materials[0].name), "m0");  // not renamed by m15
  EXPECT_EQ(TextOf(model.materials[15].name), "mat_15");

  // Past 256 names every new name lands on position 255 (255 mod 15 = 0).
  text = "v 0 0 0\nv 1 0 0\nv 0 1 0\n";
  for (int m = 0; m < 260; ++m) text += "usemtl n" + std::to_string(m) + "\n";
  text += "f 1 2 3\nusemtl n254\nf 1 2 3\nusemtl n3\nf 1 2 3\n";
  ASSERT_EQ(run.text(model, text), 1) << run.context.reason;
  EXPECT_EQ(model.faces[1].material, 0);
  EXPECT_EQ(model.faces[2].material, 254 % 15);
  EXPECT_EQ(model.faces[3].material, 3);
}

TEST(ObjRead, LibraryStatementsAndTheMaterialTheyLeaveCurrent) {
  const std::string folder = TestFolder();
  WriteWhole(folder + "lib.mtl",
             "# palette\nnewmtl red\n\tKd 1 0 0\n  map_Kd  tex/red.png  \nnewmtl blue\nKd 0 0 0.5\n"
             "Kd spectral file.rfl\nillum 2\n");
  WriteWhole(folder + "a.obj", "mtllib lib.mtl\nmtllib missing.mtl\nv 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n"
                               "usemtl red\nf 1 2 3\n");
  auto document = NewDocument();
  FormatContext context;
  ASSERT_EQ(LoadObjFile(*document, folder + "a.obj", context), 1) << context.reason;
  const Model& model = document->model;
  // Faces before the first usemtl take the library's last material.
  EXPECT_EQ(model.faces[1].material, 1);
  EXPECT_EQ(model.faces[2].material, 0);
  EXPECT_EQ(model.materials[0].light, (std::array<int32_t, 4>{255, 0, 0, 255}));
  EXPECT_EQ(model.materials[0].dark, (std::array<int32_t, 4>{128, 0, 0, 255}));
  EXPECT_EQ(TextOf(model.materials[0].texture), "tex/red.png");
  EXPECT_EQ(model.materials[1].light, (std::array<int32_t, 4>{0, 0, 127, 255}));
  // The unreadable Kd and the missing library are survived, with a note.
  EXPECT_EQ(context.warnings.size(), 2u);
}

TEST(ObjRead, ImportScaleMultipliesCoordinates) {
  ObjRun run;
  run.settings.ObjImportScale = 2.5f;
  auto document = NewDocument();
  ASSERT_EQ(run.text(document->model, "v 1 -2 4\nvt 0.5 0.5\nf 1 1 1\n"), 1);
  EXPECT_EQ(document->model.points[1].position, VECTOR(2.5f, -5, 10));
}

TEST(ObjRead, RefusesHostileInputAndKeepsTheModel) {
  const std::string three = "v 0 0 0\nv 1 0 0\nv 0 1 0\n";
  std::string manyPoints;
  for (int i = 0; i < 20000; ++i) manyPoints += "v " + std::to_string(i) + " 0 0\n";
  std::string manyUVs = three;
  for (int i = 0; i < 80001; ++i) manyUVs += "vt 0 0\n";
  std::string manyFaces = three + "v 1 1 0\nv 2 0 1\n";
  for (int i = 0; i < 10000; ++i) manyFaces += "f 1 2 3 4 5\n";  // three triangles each
  std::string longContinuation = three + "f 1 2 \\\n";
  for (int i = 0; i < 5000; ++i) longContinuation += "3 \\\n";
  longContinuation += "3\n";
  const std::string longName(300, 'n');
  // A strip of 11,998 triangles (i, i+1, i+2) over 12,000 points needs about
  // 24,000 lines.
  std::string strip;
  for (int i = 0; i < 12000; ++i) strip += "v " + std::to_string(i) + " " + std::to_string(i % 2) + " 0\n";
  for (int i = 1; i <= 11998; ++i) {
    strip += "f " + std::to_string(i) + " " + std::to_string(i + 1) + " " + std::to_string(i + 2) + "\n";
  }

  struct Case {
    std::string text;
    const char* reason;
  };
  const Case cases[] = {
      {three + "f 1 2 4\n", "point 4 of 3"},
      {three + "f 0 1 2\n", "point 0"},
      {three + "f -4 1 2\n", "point -4"},
      {three + "f 1 2 99999999999999999999999\n", "point"},
      {three + "vt 0 0\nf 1/1 2/2 3/1\n", "texture coordinate 2 of 1"},
      {three + "f 1/-1 2 3\n", "texture coordinate -1 of 0"},
      {three + "f 1 2 3 /\n", "without a point"},
      {"v 0 0 nan\n", "three finite"},
      {"v 1e39 0 0\n", "out of range"},
      {"v 0 0 inf\n", "three finite"},
      {"v 1 2\n", "three finite"},
      {three + "vt 0.5 x\n", "texture coordinate"},
      {manyPoints, "19999 points"},
      {manyUVs, "80000 texture"},
      {manyFaces, "19999 surfaces"},
      {longContinuation, "8190"},
      {three + "usemtl " + longName + "\n", "255"},
      {strip, "19999 lines"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.reason);
    ObjRun run;
    auto document = NewDocument();
    testing::UnitQuad(document->model);
    EXPECT_EQ(run.text(document->model, c.text), 0);
    EXPECT_NE(run.context.reason.find(c.reason), std::string::npos) << run.context.reason;
    EXPECT_EQ(document->model.pointCount, 4);
    EXPECT_EQ(document->model.faceCount, 1);
  }

  // A texture name too long for the model's buffer refuses the library's file.
  const std::string folder = TestFolder();
  WriteWhole(folder + "long.mtl", "newmtl a\nmap_Kd " + std::string(300, 't') + ".png\n");
  WriteWhole(folder + "long.obj", "mtllib long.mtl\n" + three + "f 1 2 3\n");
  auto document = NewDocument();
  FormatContext context;
  EXPECT_EQ(LoadObjFile(*document, folder + "long.obj", context), 0);
  EXPECT_NE(context.reason.find("long.mtl, line 2"), std::string::npos) << context.reason;
  EXPECT_EQ(LoadObjFile(*document, folder + "absent.obj", context), 0);
  EXPECT_FALSE(context.reason.empty());
}

TEST(ObjRead, EveryPrefixAndOneByteCorruptionLeavesAValidModel) {
  const std::string original =
      "mtllib none.mtl\nv 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nv 2 0 0\nvt 0 0\nvt 1 0\nvt 1 1\n"
      "usemtl a\nf 1/1 2/2 3/3 4/1\nusemtl b\nf -1/-1 2/2 3 5 \\\n4\nf 2 5\n";
  ObjRun run;
  testing::ReaderSweep sweep;
  sweep.reader = ReadObjBytes;
  sweep.context.settings = &run.settings;
  sweep.context.readReferencedFiles = false;
  sweep.replacements = {'\0', '\n', '\\', '-', '/', ' ', '9', 'x', '#', '\r'};
  testing::RunReaderSweep(sweep, original + "");
  // The whole file itself loads.
  auto document = NewDocument();
  ASSERT_EQ(run.text(document->model, original), 1) << run.context.reason;
  EXPECT_EQ(ModelProblem(document->model), "");
}

TEST(ObjWrite, ExactBytesWithGroupsAndLibrary) {
  const std::string folder = TestFolder();
  auto document = NewDocument();
  objmqo_test::TwoSurfacesAndALine(document->model);
  Model& model = document->model;
  SetText(model.materials[2].name, "leaf");
  SetText(model.materials[2].texture, "C:\\maps\\leaf.png");
  // Fixed corner normals, so the expected text does not depend on smoothing.
  for (int s = 1; s <= model.faceCount; ++s) model.faces[s].cornerNormals.fill(VECTOR(0, 0, 1));
  Settings settings;
  settings.ObjExportGroup = 1;
  settings.ObjExportMaterial = 1;
  settings.ObjExportScale = 2;
  FormatContext context;
  context.settings = &settings;
  ASSERT_EQ(SaveObjFile(*document, folder + "two.obj", context), 1) << context.reason;

  std::string expected =
      "# Created by Vexal v2.72\n\n"
      "\nmtllib two.mtl\n"
      "\ng\n"
      "v 0.000000 0.000000 0.000000\nv 2.000000 0.000000 0.000000\nv 2.000000 2.000000 0.000000\n"
      "v 0.000000 2.000000 0.000000\nv 4.000000 0.000000 1.000000\nv 4.000000 2.000000 -0.500000\n"
      "v 1.000000 -2.000000 0.000000\n# 7 vertices\n\n"
      "vt 0.000000 0.000000\nvt 1.000000 0.000000\nvt 1.000000 1.000000\nvt 0.000000 1.000000\n"
      "vt 0.250000 0.500000\nvt 0.750000 0.500000\nvt 0.500000 1.000000\nvt 0.250000 0.500000\n"
      "vt 0.000000 0.000000\nvt 0.000000 0.000000\nvt 0.000000 0.000000\nvt 0.000000 0.000000\n"
      "# 12 texture vertices\n\n";
  for (int i = 0; i < 12; ++i) expected += "vn 0.000000 0.000000 1.000000\n";
  expected +=
      "# 12 vertex normals\n\n"
      "g default\n"
      "usemtl mat_00\nf 1/1/1 2/2/2 3/3/3 4/4/4\n# 1 elements\n\n"
      "usemtl leaf\nf 2/5/5 5/6/6 3/7/7\n# 1 elements\n\n";
  // Free lines: the guide triangle's two outer edges and the line 6 - 7, in
  // line-table order.
  std::string freeLines;
  int count = 0;
  for (int l = 1; l <= model.lineCount; ++l) {
    const LINE& line = model.lines[l];
    const std::set<int32_t> ends{line.a, line.b};
    if (ends == std::set<int32_t>{2, 7} || ends == std::set<int32_t>{7, 1} || ends == std::set<int32_t>{6, 7}) {
      freeLines += "f " + std::to_string(line.a) + " " + std::to_string(line.b) + "\n";
      ++count;
    }
  }
  ASSERT_EQ(count, 3);
  expected += freeLines + "# 3 lines\n\n";
  std::string crlf;
  for (char c : expected) {
    if (c == '\n') crlf += '\r';
    crlf += c;
  }
  EXPECT_EQ(ReadWhole(folder + "two.obj"), crlf);

  const std::string mtl = ReadWhole(folder + "two.mtl");
  const std::string head =
      "# Created by Vexal v2.72\r\n\r\n"
      "newmtl mat_00\r\nKa 0.22843 0.22843 0.22843\r\nKd 0.91373 0.91373 0.91373\r\n"
      "Ks 0.91373 0.91373 0.91373\r\nNs 5.00000\r\n\r\n";
  EXPECT_EQ(mtl.substr(0, head.size()), head);
  EXPECT_NE(mtl.find("\r\n\r\nnewmtl leaf\r\nmap_Kd leaf.png\r\nKa 0.14118 0.14118 0.25000\r\n"
                     "Kd 0.56471 0.56471 1.00000\r\nKs 0.56471 0.56471 1.00000\r\nNs 5.00000\r\n\r\nnewmtl mat_03\r\n"),
            std::string::npos)
      << mtl;
  // Materials 0..14, the guide material left out.
  int blocks = 0;
  for (size_t at = mtl.find("newmtl "); at != std::string::npos; at = mtl.find("newmtl ", at + 1)) ++blocks;
  EXPECT_EQ(blocks, 15);
  EXPECT_EQ(mtl.find("mat_15"), std::string::npos);
}

TEST(ObjWrite, GroupsOnlyWhenAskedAndOneTriangle) {
  const std::string folder = TestFolder();
  auto document = NewDocument();
  Model& model = document->model;
  ClearModel(model);
  // One triangle (a, b, c) = (3, 1, 2) on three points.
  SetPoint(model, 1, 0, 0, 0, 0, 0);
  SetPoint(model, 2, 1, 0, 0, 0, 0);
  SetPoint(model, 3, 0, 1, 0, 0, 0);
  model.pointCount = 3;
  SetFace(model, 1, 3, 1, 2, 3, 4, 0);
  model.faceCount = 1;
  ASSERT_EQ(CompactModel(model, kCompactRebuildLines), 1);
  Settings settings;
  settings.ObjExportMaterial = 1;  // without groups: no library
  FormatContext context;
  context.settings = &settings;
  ASSERT_EQ(SaveObjFile(*document, folder + "t.obj", context), 1) << context.reason;
  const std::string text = ReadWhole(folder + "t.obj");
  EXPECT_EQ(text.find("mtllib"), std::string::npos);
  EXPECT_NE(text.find("\r\ng mat_04\r\nf 3/1/1 1/2/2 2/3/3\r\n# 1 elements\r\n"), std::string::npos) << text;
  EXPECT_NE(text.find("vt 0.000000 0.000000\r\n# 4 texture vertices\r\n"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(folder + "t.mtl"));
  EXPECT_EQ(text.find("# 0 lines"), std::string::npos);

  // A folder that does not exist: failure with a reason.
  EXPECT_EQ(SaveObjFile(*document, folder + "missing/t.obj", context), 0);
  EXPECT_FALSE(context.reason.empty());
}

TEST(ObjRoundTrip, ExportThenImportKeepsGeometryWindingUVsAndMaterials) {
  const std::string folder = TestFolder();
  Settings settings;
  settings.ObjExportGroup = 1;
  settings.ObjExportMaterial = 1;
  FormatContext context;
  context.settings = &settings;

  std::mt19937 random(7);
  for (int round = 0; round < 4; ++round) {
    SCOPED_TRACE(round);
    auto source = NewDocument();
    testing::RandomModelOptions options;
    options.allowDegenerate = false;
    testing::RandomModel(source->model, random, options);
    Model& model = source->model;
    for (int s = 1; s <= model.faceCount; ++s) {
      FACE& f = model.faces[s];
      f.material = s % 16;
      for (UV& uv : f.uv) uv = UV(std::uniform_real_distribution<float>(0, 1)(random), 0.25f);
      if (!IsQuad(f)) f.uv[3] = f.uv[0];
    }
    SetText(model.materials[3].name, "brick");
    SetMaterialColors(model, 3, 10, 20, 30, 255, 1, 2, 3, 255);
    ASSERT_EQ(SaveObjFile(*source, folder + "r.obj", context), 1) << context.reason;
    auto back = NewDocument();
    ASSERT_EQ(LoadObjFile(*back, folder + "r.obj", context), 1) << context.reason;
    const Model& read = back->model;
    EXPECT_EQ(ModelProblem(read), "");

    ASSERT_EQ(read.pointCount, model.pointCount);
    for (int p = 1; p <= model.pointCount; ++p) {
      const VECTOR& a = model.points[p].position;
      const VECTOR& b = read.points[p].position;
      EXPECT_NEAR(a.x, b.x, 5e-7f + 1e-6f * std::fabs(a.x));
      EXPECT_NEAR(a.y, b.y, 5e-7f + 1e-6f * std::fabs(a.y));
      EXPECT_NEAR(a.z, b.z, 5e-7f + 1e-6f * std::fabs(a.z));
    }
    // Surfaces come back grouped by material, guides left out, with their
    // corners in the same order and their UVs.
    int k = 1;
    for (int m = 0; m < 15; ++m) {
      for (int s = 1; s <= model.faceCount; ++s) {
        const FACE& f = model.faces[s];
        if (f.material != m) continue;
        ASSERT_LE(k, read.faceCount);
        const FACE& g = read.faces[k++];
        EXPECT_EQ(g.corners, f.corners);
        EXPECT_EQ(g.material, m);
        for (int j = 0; j < 4; ++j) {
          EXPECT_NEAR(g.uv[j].u, f.uv[j].u, 1e-6f);
          EXPECT_EQ(g.uv[j].v, 0.25f);
        }
      }
    }
    EXPECT_EQ(k - 1, read.faceCount);
    EXPECT_EQ(TextOf(read.materials[3].name), "brick");
    // Five decimals of a truncated channel may lose one step (20 -> 19).
    for (int i = 0; i < 3; ++i) {
      EXPECT_NEAR(read.materials[3].light[i], 10 * (i + 1), 1);
      EXPECT_NEAR(read.materials[3].dark[i], 5 * (i + 1), 1);
    }
  }
}

TEST(ObjRoundTrip, FreeLinesComeBackAsLines) {
  const std::string folder = TestFolder();
  auto document = NewDocument();
  objmqo_test::TwoSurfacesAndALine(document->model);
  FormatContext context;
  ASSERT_EQ(SaveObjFile(*document, folder + "l.obj", context), 1);
  auto back = NewDocument();
  ASSERT_EQ(LoadObjFile(*back, folder + "l.obj", context), 1) << context.reason;
  // The guide triangle is gone; its outer edges and the free line stay.
  EXPECT_EQ(back->model.faceCount, 2);
  EXPECT_EQ(back->model.lineCount, 3 + 4 + 2);
  EXPECT_EQ(back->model.lines[1].a, 6);
  EXPECT_EQ(back->model.lines[1].b, 7);
}

#ifdef VEXAL_HAVE_ASSIMP
TEST(ObjAssimp, ReadsOurExportWithTheSameCountsAndBounds) {
  const std::string folder = TestFolder();
  for (const char* file : {"spider.obj", "box.obj", "concave_polygon.obj"}) {
    SCOPED_TRACE(file);
    auto document = NewDocument();
    FormatContext context;
    ASSERT_EQ(LoadObjFile(*document, DataPath(std::string("obj/") + file), context), 1);
    const Model& model = document->model;
    Settings settings;
    settings.ObjExportGroup = 1;
    settings.ObjExportMaterial = 1;
    context.settings = &settings;
    ASSERT_EQ(SaveObjFile(*document, folder + "out.obj", context), 1) << context.reason;

    Assimp::Importer importer;
    const aiScene* scene = importer.ReadFile(folder + "out.obj", 0);
    ASSERT_NE(scene, nullptr) << importer.GetErrorString();
    std::set<std::tuple<float, float, float>> positions;
    int triangles = 0, quads = 0;
    aiVector3D low(1e30f, 1e30f, 1e30f), high(-1e30f, -1e30f, -1e30f);
    for (unsigned i = 0; i < scene->mNumMeshes; ++i) {
      const aiMesh* mesh = scene->mMeshes[i];
      for (unsigned f = 0; f < mesh->mNumFaces; ++f) {
        const aiFace& face = mesh->mFaces[f];
        triangles += face.mNumIndices == 3;
        quads += face.mNumIndices == 4;
        for (unsigned j = 0; j < face.mNumIndices; ++j) {
          const aiVector3D& p = mesh->mVertices[face.mIndices[j]];
          positions.insert({p.x, p.y, p.z});
          low = aiVector3D(std::min(low.x, p.x), std::min(low.y, p.y), std::min(low.z, p.z));
          high = aiVector3D(std::max(high.x, p.x), std::max(high.y, p.y), std::max(high.z, p.z));
        }
      }
    }
    std::set<std::tuple<float, float, float>> ours;
    VECTOR ourLow(1e30f, 1e30f, 1e30f), ourHigh(-1e30f, -1e30f, -1e30f);
    for (int s = 1; s <= model.faceCount; ++s) {
      for (int32_t c : model.faces[s].corners) {
        const VECTOR& p = model.points[c].position;
        ours.insert({p.x, p.y, p.z});
        ourLow = {std::min(ourLow.x, p.x), std::min(ourLow.y, p.y), std::min(ourLow.z, p.z)};
        ourHigh = {std::max(ourHigh.x, p.x), std::max(ourHigh.y, p.y), std::max(ourHigh.z, p.z)};
      }
    }
    EXPECT_EQ(positions.size(), ours.size());
    EXPECT_EQ(quads, QuadCount(model));
    EXPECT_EQ(triangles, model.faceCount - QuadCount(model));
    EXPECT_NEAR(low.x, ourLow.x, 1e-4f);
    EXPECT_NEAR(low.y, ourLow.y, 1e-4f);
    EXPECT_NEAR(low.z, ourLow.z, 1e-4f);
    EXPECT_NEAR(high.x, ourHigh.x, 1e-4f);
    EXPECT_NEAR(high.y, ourHigh.y, 1e-4f);
    EXPECT_NEAR(high.z, ourHigh.z, 1e-4f);
  }
}
#endif

}  // namespace
}  // namespace vexal

namespace vexal {
namespace {

// A point named twice in a row is taken once; a face (or fan triangle)
// left without three distinct corners is skipped with a warning.
TEST(ObjRead, RepeatedCornersCollapseOrAreSkipped) {
  ObjRun run;
  auto document = NewDocument();
  Model& model = document->model;
  const std::string points = "v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\n";
  ASSERT_EQ(run.text(model, points + "f 1 1 2 3\nf 1 2 1 3\nf 1 2 2\nf 1 2 3 4 4\n"), 1)
      << run.context.reason;
  EXPECT_EQ(ModelProblem(model), "");
  ASSERT_EQ(model.faceCount, 3);
  EXPECT_EQ(model.faces[1].corners, (std::array<int32_t, 4>{1, 2, 3, 1}));
  // The pentagon's fan: (1 2 3), (1 3 4), and (1 4 4) skipped.
  EXPECT_EQ(model.faces[2].corners, (std::array<int32_t, 4>{1, 2, 3, 1}));
  EXPECT_EQ(model.faces[3].corners, (std::array<int32_t, 4>{1, 3, 4, 1}));
  EXPECT_EQ(run.context.warnings.size(), 3u);
}

}  // namespace
}  // namespace vexal
