#include "formats/native_format.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <sstream>
#include <string>

#include "model/document.h"
#include "model/maintenance.h"
#include "model/validate.h"
#include "support/test_models.h"
#include "support/read_into.h"

namespace vexal {
namespace {

std::string TestFolder() {
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  const std::filesystem::path folder =
      std::filesystem::path(::testing::TempDir()) / "native_format" / info->name();
  std::filesystem::create_directories(folder);
  return folder.string();
}

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

void WriteAll(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

std::string GoldenText() {
  return ReadAll(std::string(VEXAL_TEST_DATA) + "/native/golden_small.vxl");
}

// The document of golden_small.vxl, which was written from the file layout
// by an independent script:
//   1 (1, 2, 0.5) selected, partner 2       2 (-1, 2, 0.5), partner 1
//   3 (0, 0, -1) hidden template on the mirror plane (its own partner)
//   lines 1-2, 2-3 (selected), 3-1; one triangle 1-2-3 in material 4
//   material 4 renamed and textured; back pictures in slots X and Z.
void GoldenDocument(Document& document) {
  Model& model = document.model;
  ClearModel(model);
  SetPoint(model, 1, 1, 2, 0.5f, kStateSelected, 2);
  SetPoint(model, 2, -1, 2, 0.5f, kStateNormal, 1);
  SetPoint(model, 3, 0, 0, -1, kStateHidden, 3);
  model.points[3].flags = kPointTemplateFlag;
  model.pointCount = 3;
  SetLine(model, 1, 1, 2, 0);
  SetLine(model, 2, 2, 3, 1);
  SetLine(model, 3, 3, 1, 0);
  model.lineCount = 3;
  SetFace(model, 1, 1, 2, 3, 1, 4, 0);
  SetFaceUV(model, 1, UV(0, 0), UV(1, 0), UV(0.5f, 1), UV(0, 0));
  model.faceCount = 1;
  RelinkFaces(model);
  SetMaterialColors(model, 4, 10, 20, 30, 128, 1, 2, 3, 128);
  MATERIAL& skin = model.materials[4];
  skin.blend = 1;
  skin.smoothingAngle = 30;
  SetText(skin.name, "skin");
  SetText(skin.texture, "tex\\skin.bmp");
  model.pictures[0].flipSide = 1;
  SetText(model.pictures[0].path, "front.png");
  model.pictures[2].flipSide = 1;
  model.pictures[2].flip = 1;
  SetText(model.pictures[2].path, "C:\\side.jpg");
  SCENE& scene = document.scene;
  scene.angle.set(30.7f, -45.9f, 0);
  scene.target.set(0.5f, -1, 2);
  scene.zoom = 1.5f;
  scene.pictureScale = 2;
  scene.pictureDepth = 3;
  scene.pictureOffset.set(0.25f, -0.5f, 1);
}

std::unique_ptr<Document> NewDocument() {
  return std::make_unique<Document>();
}

// Everything the file stores, compared field by field.
void ExpectSameStoredModel(const Model& a, const Model& b) {
  ASSERT_EQ(a.pointCount, b.pointCount);
  ASSERT_EQ(a.lineCount, b.lineCount);
  ASSERT_EQ(a.faceCount, b.faceCount);
  for (int i = 1; i <= a.pointCount; ++i) {
    const VERT& p = a.points[i];
    const VERT& q = b.points[i];
    EXPECT_EQ(p.position, q.position) << "point " << i;
    EXPECT_EQ(p.state, q.state) << "point " << i;
    EXPECT_EQ(p.flags, q.flags) << "point " << i;
    EXPECT_EQ(p.mirror, q.mirror) << "point " << i;
  }
  for (int i = 1; i <= a.lineCount; ++i) {
    EXPECT_EQ(a.lines[i].a, b.lines[i].a) << "line " << i;
    EXPECT_EQ(a.lines[i].b, b.lines[i].b) << "line " << i;
    EXPECT_EQ(a.lines[i].state, b.lines[i].state) << "line " << i;
  }
  for (int i = 1; i <= a.faceCount; ++i) {
    const FACE& f = a.faces[i];
    const FACE& g = b.faces[i];
    EXPECT_EQ(f.corners, g.corners) << "surface " << i;
    EXPECT_EQ(f.lines, g.lines) << "surface " << i;
    EXPECT_EQ(f.material, g.material) << "surface " << i;
    EXPECT_EQ(f.state, g.state) << "surface " << i;
    for (int c = 0; c < 4; ++c) {
      EXPECT_NEAR(f.uv[c].u, g.uv[c].u, 5e-7) << "surface " << i << " corner " << c;
      EXPECT_NEAR(f.uv[c].v, g.uv[c].v, 5e-7) << "surface " << i << " corner " << c;
    }
  }
  for (int m = 0; m < kMaterialCount; ++m) {
    const MATERIAL& x = a.materials[m];
    const MATERIAL& y = b.materials[m];
    EXPECT_EQ(x.light, y.light) << "material " << m;
    EXPECT_EQ(x.dark, y.dark) << "material " << m;
    EXPECT_EQ(x.blend, y.blend) << "material " << m;
    EXPECT_NEAR(x.smoothingAngle, y.smoothingAngle, 5e-7f) << "material " << m;
    EXPECT_EQ(TextOf(x.name), TextOf(y.name)) << "material " << m;
    EXPECT_EQ(TextOf(x.texture), TextOf(y.texture)) << "material " << m;
  }
  for (int s = 0; s < kPictureSlots; ++s) {
    EXPECT_EQ(a.pictures[s].flipSide, b.pictures[s].flipSide) << "picture " << s;
    EXPECT_EQ(a.pictures[s].flip, b.pictures[s].flip) << "picture " << s;
    EXPECT_EQ(TextOf(a.pictures[s].path), TextOf(b.pictures[s].path)) << "picture " << s;
  }
}

int LoadText(Document& document, const std::string& text, FormatContext& context,
             const std::string& name = "input.vxl") {
  const std::string path = TestFolder() + "/" + name;
  WriteAll(path, text);
  return LoadNativeFile(document, path, context);
}

// From a buffer of exactly the text's size, so that the sanitizer sees any
// read past its end.
int LoadExact(Document& document, std::string_view text, FormatContext& context) {
  return testing::ReadInto(document, ReadNativeBytes, text, context);
}

// The golden text with the one line that equals `from` replaced.
std::string ReplaceLine(std::string text, const std::string& from, const std::string& to) {
  const size_t at = text.find("\r\n" + from + "\r\n");
  EXPECT_NE(at, std::string::npos) << from;
  if (at != std::string::npos) text.replace(at + 2, from.size(), to);
  return text;
}

// The golden text cut right after the line that equals `line`.
std::string CutAfterLine(const std::string& text, const std::string& line, int linesAfter = 0) {
  size_t at = text.find("\r\n" + line + "\r\n");
  EXPECT_NE(at, std::string::npos) << line;
  at += 2;
  for (int i = 0; i <= linesAfter; ++i) at = text.find("\r\n", at) + 2;
  return text.substr(0, at);
}

TEST(NativeFormat, SaveWritesTheLayoutByteForByte) {
  auto document = NewDocument();
  GoldenDocument(*document);
  const std::string path = TestFolder() + "/golden.vxl";
  FormatContext context;
  ASSERT_EQ(SaveNativeFile(*document, path, context), 1) << context.reason;
  EXPECT_EQ(ReadAll(path), GoldenText());
}

// The number lines against the C library's own printf formatting, on values
// chosen to round at the last digit, tiny negatives (printf keeps their
// sign), large magnitudes and random floats.
TEST(NativeFormat, NumberLinesMatchPrintfFormatting) {
  auto document = NewDocument();
  Model& model = document->model;
  std::mt19937 random(11);
  std::uniform_real_distribution<float> wide(-20000, 20000);
  std::uniform_real_distribution<float> unit(-2, 2);
  const float fixed[] = {0.1f, -0.1f, 1e-12f, -1e-12f, 0.005f, 123456.789f, -3.0e7f, 1.0f / 3};
  const int count = 64;
  for (int i = 1; i <= count; ++i) {
    const float x = i <= 8 ? fixed[i - 1] : wide(random);
    SetPoint(model, i, x, unit(random), i % 2 ? -x : wide(random), kStateNormal, 0);
  }
  model.pointCount = count;
  for (int i = 1; i <= count / 4; ++i) {
    SetFace(model, i, 4 * i - 3, 4 * i - 2, 4 * i - 1, 4 * i, i % 15, kStateNormal);
    SetFaceUV(model, i, UV(unit(random), -1e-9f), UV(fixed[i % 8], unit(random)),
              UV(unit(random), 0.0000005f), UV(-0.0000005f, unit(random)));
  }
  model.faceCount = count / 4;
  for (int m = 0; m < kMaterialCount; ++m) model.materials[m].smoothingAngle = unit(random) * 90;
  document->scene.target.set(fixed[0], fixed[3], fixed[7]);
  document->scene.zoom = fixed[7];
  document->scene.pictureScale = fixed[1];
  document->scene.pictureOffset.set(fixed[2], fixed[5], fixed[4]);

  auto format = [](const char* pattern, double value) {
    char buffer[512];
    std::snprintf(buffer, sizeof buffer, pattern, value);
    return std::string(buffer);
  };
  std::string points = "<POINT>\r\n";
  for (int i = 1; i <= count; ++i) {
    const VECTOR& p = model.points[i].position;
    points += format(" %15.9f \r\n", static_cast<double>(p.x) * 100.0);
    points += format(" %15.9f \r\n", static_cast<double>(p.y) * -100.0);
    points += format(" %15.9f \r\n", static_cast<double>(p.z) * 100.0);
    points += "          0          0          0 \r\n";
  }
  std::string uvs = "<UV>\r\n";
  for (int i = 1; i <= model.faceCount; ++i) {
    for (const UV& uv : model.faces[i].uv) {
      uvs += format(" %.6f", static_cast<double>(uv.u)) + format(" %.6f", static_cast<double>(uv.v));
    }
    uvs += " \r\n";
  }
  const SCENE& scene = document->scene;
  const std::string locate = format(" %15.9f \r\n", static_cast<double>(scene.target.x) * 100.0) +
                             format(" %15.9f \r\n", static_cast<double>(scene.target.y) * 100.0) +
                             format(" %15.9f \r\n", static_cast<double>(scene.target.z) * 100.0);
  const std::string zoom = format(" %15.9f \r\n", static_cast<double>(scene.zoom));
  const std::string pictures =
      format("%.6f \r\n", static_cast<double>(scene.pictureScale)) +
      format("%.6f \r\n", static_cast<double>(scene.pictureDepth)) +
      format("%.6f ", static_cast<double>(scene.pictureOffset.x)) +
      format("%.6f ", static_cast<double>(scene.pictureOffset.y)) +
      format("%.6f \r\n", static_cast<double>(scene.pictureOffset.z));

  const std::string path = TestFolder() + "/numbers.vxl";
  FormatContext context;
  ASSERT_EQ(SaveNativeFile(*document, path, context), 1) << context.reason;
  const std::string text = ReadAll(path);
  auto between = [&](const std::string& from, const std::string& to) {
    const size_t start = text.find(from);
    return start == std::string::npos ? std::string() : text.substr(start, text.find(to) - start);
  };
  EXPECT_EQ(between("<POINT>", "<LINE>"), points);
  EXPECT_EQ(between("<UV>", "<TEXTURE>"), uvs);
  EXPECT_EQ(between("=LOCATE=\r\n", "=GRID="), "=LOCATE=\r\n" + locate);
  EXPECT_EQ(between("=ZOOM=\r\n", "=LOCK="), "=ZOOM=\r\n" + zoom + "     1.000000000 \r\n");
  EXPECT_TRUE(text.ends_with(pictures)) << text.substr(text.size() - 80);
  for (int m = 0; m < kMaterialCount; ++m) {
    const std::string angle =
        format("\r\n%f\r\n", static_cast<double>(model.materials[m].smoothingAngle));
    EXPECT_NE(text.find(angle), std::string::npos) << "material " << m << ":" << angle;
  }
}

TEST(NativeFormat, LoadReadsEveryStoredFieldAndRelinksFaces) {
  auto expected = NewDocument();
  GoldenDocument(*expected);
  auto loaded = NewDocument();
  FormatContext context;
  ASSERT_EQ(LoadText(*loaded, GoldenText(), context), 1) << context.reason;
  EXPECT_TRUE(context.warnings.empty());
  ExpectSameStoredModel(expected->model, loaded->model);
  std::string reason;
  EXPECT_TRUE(ValidateModel(loaded->model, &reason, true)) << reason;
  // The dark colour's opacity is not stored: it follows the light colour's.
  EXPECT_EQ(loaded->model.materials[4].dark[3], 128);
  // Angles come back truncated; the first is stored negated.
  EXPECT_EQ(loaded->scene.angle.x, 30.0f);
  EXPECT_EQ(loaded->scene.angle.y, -45.0f);
  EXPECT_EQ(loaded->scene.target, VECTOR(0.5f, -1, 2));
  EXPECT_EQ(loaded->scene.zoom, 1.5f);
  EXPECT_EQ(loaded->scene.pictureScale, 2.0f);
  EXPECT_EQ(loaded->scene.pictureDepth, 3.0f);
  EXPECT_EQ(loaded->scene.pictureOffset, VECTOR(0.25f, -0.5f, 1));
}

TEST(NativeFormat, LineFeedOnlyFilesLoadLikeCarriageReturnFiles) {
  std::string text = GoldenText();
  std::string unix;
  for (char c : text) {
    if (c != '\r') unix.push_back(c);
  }
  auto a = NewDocument();
  auto b = NewDocument();
  FormatContext context;
  ASSERT_EQ(LoadText(*a, text, context, "crlf.vxl"), 1) << context.reason;
  ASSERT_EQ(LoadText(*b, unix, context, "lf.vxl"), 1) << context.reason;
  ExpectSameStoredModel(a->model, b->model);
}

TEST(NativeFormat, RandomModelsSurviveSaveAndLoad) {
  std::mt19937 random(7);
  std::uniform_int_distribution<int> byte(0, 255);
  std::uniform_real_distribution<float> unit(-1, 1);
  for (int round = 0; round < 20; ++round) {
    auto original = NewDocument();
    Model& model = original->model;
    testing::RandomModel(model, random, {});
    for (int i = 1; i <= model.pointCount; ++i) {
      model.points[i].position.x *= 37.25f;
      model.points[i].flags = static_cast<int32_t>(random() % 4);
      model.points[i].state = static_cast<int32_t>(random() % 3);
    }
    for (int i = 1; i <= model.faceCount; ++i) {
      FACE& face = model.faces[i];
      face.material = static_cast<int32_t>(random() % kMaterialCount);
      // The file keeps six decimals of a UV.
      for (UV& uv : face.uv) uv.set(std::round(unit(random) * 1e6f) / 1e6f, 0.125f);
    }
    for (int m = 0; m < kMaterialCount; ++m) {
      MATERIAL& material = model.materials[m];
      const int32_t opacity = byte(random);
      SetMaterialColors(model, m, byte(random), byte(random), byte(random), opacity, byte(random),
                        byte(random), byte(random), opacity);
      material.blend = static_cast<int32_t>(random() % 2);
      material.smoothingAngle = static_cast<float>(random() % 180) + 0.25f;
      SetText(material.name, "name " + std::to_string(round * 100 + m) + "  ");
      SetText(material.texture, m % 3 ? "" : "dir\\tex " + std::to_string(m) + ".png");
    }
    model.pictures[1].flip = 1;
    SetText(model.pictures[1].path, std::string(259, 'p'));
    RelinkFaces(model);

    const std::string path = TestFolder() + "/round.vxl";
    FormatContext context;
    ASSERT_EQ(SaveNativeFile(*original, path, context), 1) << context.reason;
    auto loaded = NewDocument();
    ASSERT_EQ(LoadNativeFile(*loaded, path, context), 1) << context.reason;
    ExpectSameStoredModel(model, loaded->model);
    std::string reason;
    EXPECT_TRUE(ValidateModel(loaded->model, &reason)) << reason;
    if (::testing::Test::HasFailure()) break;
  }
}

TEST(NativeFormat, HeaderWordMustStartAtTheSecondCharacterOfLineTwo) {
  const std::string golden = GoldenText();
  struct Case {
    const char* line2;
    int expected;
  };
  const Case cases[] = {
      {"<VEXAL_VER.2.72>", 1}, {"<VEXAL_VER.9.99>", 1},
      {"<VEXAL", 1},           {"xVEXAL is enough", 1},
      {"VEXAL_VER.2.72>", 0},  {"<<VEXAL_VER.2.72>", 0},
      {"<vexal_ver.2.72>", 0}, {"", 0},
      {"<VEXA_L>", 0},
  };
  for (const Case& c : cases) {
    auto document = NewDocument();
    FormatContext context;
    const std::string text = ReplaceLine(golden, "<VEXAL_VER.2.72>", c.line2);
    EXPECT_EQ(LoadText(*document, text, context), c.expected) << c.line2;
    if (c.expected == 0) {
      EXPECT_NE(context.reason.find("not a native document"), std::string::npos);
    }
  }
  // The word only on another line does not count; neither does line 1.
  auto document = NewDocument();
  FormatContext context;
  EXPECT_EQ(LoadText(*document, "<VEXAL_VER.2.72>\r\n", context), 0);
  EXPECT_EQ(LoadText(*document, "", context), 0);
}

TEST(NativeFormat, OptionalSectionsMayBeMissingAtTheEnd) {
  const std::string golden = GoldenText();
  auto expected = NewDocument();
  GoldenDocument(*expected);

  // Ends after the sixteen palette lines: default names, zero UVs.
  {
    auto document = NewDocument();
    FormatContext context;
    const std::string text = CutAfterLine(golden, "<PALETTE>", 16);
    ASSERT_EQ(LoadText(*document, text, context), 1) << context.reason;
    EXPECT_TRUE(context.warnings.empty());
    const Model& model = document->model;
    EXPECT_EQ(model.materials[4].light, (std::array<int32_t, 4>{10, 20, 30, 255}));
    EXPECT_EQ(TextOf(model.materials[4].name), "mat_04");
    EXPECT_EQ(model.faces[1].uv[1], UV(0, 0));
    EXPECT_EQ(TextOf(model.pictures[0].path), "");
  }
  // Ends after the UV section.
  {
    auto document = NewDocument();
    FormatContext context;
    ASSERT_EQ(LoadText(*document, CutAfterLine(golden, "<UV>", 1), context), 1) << context.reason;
    EXPECT_EQ(document->model.faces[1].uv[2], UV(0.5f, 1));
    EXPECT_EQ(TextOf(document->model.materials[4].name), "mat_04");
  }
  // Ends after the texture section: names and textures in, no pictures.
  {
    auto document = NewDocument();
    FormatContext context;
    const std::string text = golden.substr(0, golden.find("<BPICTURE>"));
    ASSERT_EQ(LoadText(*document, text, context), 1) << context.reason;
    EXPECT_EQ(TextOf(document->model.materials[4].texture), "tex\\skin.bmp");
    EXPECT_EQ(document->model.materials[4].smoothingAngle, 30.0f);
    EXPECT_EQ(TextOf(document->model.pictures[2].path), "");
    EXPECT_EQ(document->scene.pictureScale, 1.0f);
  }
  // The picture section is looked for on the line after the texture test's
  // line, whatever that line held: after an unknown line it is found, right
  // after the UVs it is not (its header was taken for the texture test).
  {
    const size_t texture = golden.find("<TEXTURE>");
    const std::string pictures = golden.substr(golden.find("<BPICTURE>"));
    auto document = NewDocument();
    FormatContext context;
    ASSERT_EQ(LoadText(*document, golden.substr(0, texture) + "<UNKNOWN>\r\n" + pictures, context),
              1)
        << context.reason;
    EXPECT_EQ(TextOf(document->model.materials[4].name), "mat_04");
    EXPECT_EQ(TextOf(document->model.pictures[2].path), "C:\\side.jpg");
    EXPECT_EQ(document->scene.pictureScale, 2.0f);

    auto hidden = NewDocument();
    ASSERT_EQ(LoadText(*hidden, golden.substr(0, texture) + pictures, context), 1) << context.reason;
    EXPECT_EQ(TextOf(hidden->model.pictures[2].path), "");
    EXPECT_EQ(hidden->scene.pictureScale, 1.0f);
  }
  // Without "<UV>" the texture and picture sections go unrecognised too.
  {
    std::string text = golden;
    const size_t uv = text.find("<UV>\r\n");
    text.erase(uv, text.find("<TEXTURE>") - uv);
    auto document = NewDocument();
    FormatContext context;
    ASSERT_EQ(LoadText(*document, text, context), 1) << context.reason;
    EXPECT_EQ(TextOf(document->model.materials[4].name), "mat_04");
    EXPECT_EQ(TextOf(document->model.pictures[0].path), "");
  }
}

TEST(NativeFormat, TextureEntriesOfThreeAndFourLines) {
  // Rebuild the texture section with fewer lines per entry.
  const std::string golden = GoldenText();
  for (int linesPerEntry : {3, 4}) {
    std::string section = "<TEXTURE>\r\n16 " + std::to_string(linesPerEntry) + "\r\n";
    for (int m = 0; m < kMaterialCount; ++m) {
      section += m == 4 ? "1\r\nskin\r\nt.png\r\n" : "0\r\nmat\r\n\r\n";
      if (linesPerEntry == 4) section += m == 4 ? "77\r\n" : "255\r\n";
    }
    const size_t start = golden.find("<TEXTURE>");
    const std::string text =
        golden.substr(0, start) + section + golden.substr(golden.find("<BPICTURE>"));
    auto document = NewDocument();
    FormatContext context;
    ASSERT_EQ(LoadText(*document, text, context), 1) << context.reason;
    const MATERIAL& skin = document->model.materials[4];
    EXPECT_EQ(TextOf(skin.texture), "t.png");
    EXPECT_EQ(skin.blend, 1);
    EXPECT_EQ(skin.smoothingAngle, 59.5f) << "no smoothing angle line";
    EXPECT_EQ(skin.light[3], linesPerEntry == 4 ? 77 : 255);
    EXPECT_EQ(skin.dark[3], skin.light[3]);
    EXPECT_EQ(TextOf(document->model.pictures[2].path), "C:\\side.jpg");
  }
}

TEST(NativeFormat, DamagedFilesAreRefusedWithAReasonAndTheDocumentKept) {
  const std::string golden = GoldenText();
  const std::string counts = "          3          3          1          0 ";
  const std::string longName(260, 'n');
  struct Case {
    std::string from, to, reason;
  };
  const Case cases[] = {
      {counts, "      20000          3          1          0 ", "point count 20000"},
      {counts, "          3         -1          1          0 ", "line count -1"},
      {counts, "          3          3      99999          0 ", "surface count 99999"},
      {counts, " 99999999999 3 1 0", "is not an integer"},
      {counts, "          3          3", "line 21: \"=RESERVED=\" is not an integer"},
      {"          2          3          1 ", "          2          4          1 ",
       "refers to point 4"},
      {"          3          1          0 ", "          0          1          0 ",
       "refers to point 0"},
      {"          1          2          3          1          4          0 ",
       "          1          2          3          1         16          0 ", "material 16"},
      {"          1          2          3          1          4          0 ",
       "          1          2          3          1         -1          0 ", "material -1"},
      {"   100.000000000 ", " nan ", "not a finite number"},
      {"   100.000000000 ", " inf ", "not a finite number"},
      {"   100.000000000 ", " 1e41 ", "beyond the float range"},
      {"   100.000000000 ", " 1OO.0 ", "is not a number"},
      {"          1          0          2 ", "          1          0          9 ",
       "mirror partner 9"},
      {"         10         20         30          1          2          3 ",
       "         10         20       x30          1          2          3 ", "is not an integer"},
      {"skin", longName, "longer than 259"},
      {"0.250000 -0.500000 1.000000 ", "0.250000 nan 1.000000 ", "not a finite number"},
  };
  for (const Case& c : cases) {
    auto document = NewDocument();
    testing::ClosedCube(document->model);
    document->scene.zoom = 4;
    FormatContext context;
    EXPECT_EQ(LoadText(*document, ReplaceLine(golden, c.from, c.to), context), 0) << c.to;
    EXPECT_NE(context.reason.find(c.reason), std::string::npos)
        << "for \"" << c.to << "\" got: " << context.reason;
    EXPECT_EQ(document->model.pointCount, 8) << c.to;
    EXPECT_EQ(document->model.faceCount, 6) << c.to;
    EXPECT_EQ(document->scene.zoom, 4.0f) << c.to;
  }
}

TEST(NativeFormat, SoundRecordsWithOddValuesAreRepairedWithWarnings) {
  std::string text = GoldenText();
  // Point 1 names 3 as its partner, but 3 is on the plane (its own partner);
  // 2 names 1, which no longer answers.
  text =
      ReplaceLine(text, "          1          0          2 ", "          7          0          3 ");
  text = ReplaceLine(text, "          1          2          3          1          4          0 ",
                     "          1          2          3          1          4         -1 ");
  text = ReplaceLine(text, "         10         20         30          1          2          3 ",
                     "         10         20        256          1         -2          3 ");
  text = ReplaceLine(text, "128", "300");
  auto document = NewDocument();
  FormatContext context;
  ASSERT_EQ(LoadText(*document, text, context), 1) << context.reason;
  const Model& model = document->model;
  EXPECT_EQ(model.points[1].mirror, 0);
  EXPECT_EQ(model.points[2].mirror, 0);
  EXPECT_EQ(model.points[3].mirror, 3);
  EXPECT_EQ(model.points[1].state, kStateNormal);
  EXPECT_EQ(model.faces[1].state, kStateNormal);
  EXPECT_EQ(model.materials[4].light, (std::array<int32_t, 4>{10, 20, 255, 255}));
  EXPECT_EQ(model.materials[4].dark, (std::array<int32_t, 4>{1, 0, 3, 255}));
  // One warning each for the states, the two colours, the opacity and the
  // partners.
  EXPECT_EQ(context.warnings.size(), 5u);
  std::string reason;
  EXPECT_TRUE(ValidateModel(model, &reason, true)) << reason;
}

TEST(NativeFormat, EveryPrefixLoadsOrFailsCleanly) {
  // A file cut inside the point, line or surface table is refused; cut
  // anywhere after the last surface number it loads with the rest
  // defaulted. Once a prefix loads, every longer one loads as well, so one
  // document serves the whole sweep.
  const std::string golden = GoldenText();
  const size_t tablesEnd = golden.find(" \r\n<PALETTE>");
  auto document = NewDocument();
  testing::UnitQuad(document->model);
  for (size_t length = 0; length < golden.size(); ++length) {
    FormatContext context;
    const int result = LoadExact(*document, std::string_view(golden).substr(0, length), context);
    if (length < tablesEnd) {
      EXPECT_EQ(result, 0) << length;
      EXPECT_FALSE(context.reason.empty()) << length;
      EXPECT_EQ(document->model.pointCount, 4) << length;
    } else {
      EXPECT_EQ(result, 1) << length << ": " << context.reason;
      EXPECT_EQ(document->model.pointCount, 3) << length;
    }
    std::string reason;
    EXPECT_TRUE(ValidateModel(document->model, &reason, true)) << length << ": " << reason;
    if (::testing::Test::HasFailure()) break;
  }
}

TEST(NativeFormat, SingleByteDamageNeverBreaksTheModel) {
  const std::string golden = GoldenText();
  auto document = NewDocument();
  int loaded = 0;
  for (size_t at = 0; at < golden.size(); ++at) {
    for (char replacement : {'7', '\n'}) {
      if (golden[at] == replacement) continue;
      std::string text = golden;
      text[at] = replacement;
      const int pointsBefore = document->model.pointCount;
      FormatContext context;
      if (LoadExact(*document, text, context) == 1) {
        ++loaded;
        std::string reason;
        ASSERT_TRUE(ValidateModel(document->model, &reason))
            << "byte " << at << " = " << replacement << ": " << reason;
      } else {
        ASSERT_FALSE(context.reason.empty()) << "byte " << at;
        ASSERT_EQ(document->model.pointCount, pointsBefore) << "byte " << at;
      }
    }
  }
  EXPECT_GT(loaded, 0);
}

TEST(NativeFormat, RefusedSavesLeaveTheOldFileAlone) {
  const std::string folder = TestFolder();
  const std::string path = folder + "/kept.vxl";
  WriteAll(path, "old contents");

  auto document = NewDocument();
  GoldenDocument(*document);
  FormatContext context;

  SetText(document->model.materials[2].name, "two\nlines");
  EXPECT_EQ(SaveNativeFile(*document, path, context), 0);
  EXPECT_NE(context.reason.find("line break"), std::string::npos) << context.reason;
  SetText(document->model.materials[2].name, "mat_02");

  document->model.points[2].position.y = std::nanf("");
  EXPECT_EQ(SaveNativeFile(*document, path, context), 0);
  EXPECT_NE(context.reason.find("point 2"), std::string::npos) << context.reason;
  document->model.points[2].position.y = 2;
  EXPECT_EQ(ReadAll(path), "old contents");

  EXPECT_EQ(SaveNativeFile(*document, folder + "/missing/folder/x.vxl", context), 0);
  EXPECT_NE(context.reason.find("cannot write"), std::string::npos) << context.reason;
  EXPECT_EQ(LoadNativeFile(*document, folder + "/missing.vxl", context), 0);
  EXPECT_NE(context.reason.find("cannot open"), std::string::npos) << context.reason;
  EXPECT_EQ(document->model.pointCount, 3);
}

}  // namespace
}  // namespace vexal
