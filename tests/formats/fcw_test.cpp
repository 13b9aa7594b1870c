// FCW reader and writer: exact bytes of a small export, round trips, the
// count limits on both sides and hostile files (every prefix, bad numbers).
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "formats/fcw_format.h"
#include "model/document.h"
#include "model/maintenance.h"
#include "model/validate.h"
#include "settings/settings.h"
#include "support/reader_sweep.h"
#include "support/test_models.h"

namespace vexal {
namespace {

constexpr size_t kHeader = 23;
constexpr size_t kTriangle = 76;

std::string TempPath(const std::string& name) {
  return ::testing::TempDir() + "vexal_fcw_" + name;
}

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
}

std::vector<uint8_t> ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

double DoubleAt(const std::vector<uint8_t>& bytes, size_t offset) {
  double value;
  std::memcpy(&value, bytes.data() + offset, sizeof value);  // the test host is little-endian
  return value;
}

uint32_t U32At(const std::vector<uint8_t>& bytes, size_t offset) {
  return bytes[offset] | bytes[offset + 1] << 8 | bytes[offset + 2] << 16 |
         static_cast<uint32_t>(bytes[offset + 3]) << 24;
}

// A file of the given triangles (nine coordinates each), colour 0.
std::vector<uint8_t> FcwFile(int16_t countField, const std::vector<double>& coordinates) {
  std::vector<uint8_t> bytes{20};
  for (char c : std::string("Facetoriumwork_V.1.0")) bytes.push_back(static_cast<uint8_t>(c));
  bytes.push_back(static_cast<uint8_t>(countField));
  bytes.push_back(static_cast<uint8_t>(static_cast<uint16_t>(countField) >> 8));
  for (size_t i = 0; i < coordinates.size(); ++i) {
    uint8_t raw[8];
    std::memcpy(raw, &coordinates[i], 8);
    bytes.insert(bytes.end(), raw, raw + 8);
    if (i % 9 == 8) bytes.insert(bytes.end(), 4, 0);
  }
  return bytes;
}

class FcwTest : public ::testing::Test {
 protected:
  std::unique_ptr<Document> document = std::make_unique<Document>();
  Settings settings;
  FormatContext context;
  void SetUp() override { context.settings = &settings; }

  int load(const std::vector<uint8_t>& bytes) {
    const std::string path = TempPath("load.fcw");
    WriteBytes(path, bytes);
    context.reason.clear();
    return LoadFcwFile(*document, path, context);
  }
};

TEST_F(FcwTest, WritesTheDocumentedBytesForAQuadAndSkipsGuides) {
  Model& model = document->model;
  testing::UnitQuad(model);
  // A guide triangle over the first three points must not be written.
  SetFace(model, 2, 1, 2, 3, 1, kGuideMaterial, 0);
  model.faceCount = 2;
  SetMaterialColors(model, 0, 10, 20, 30, 255, 0, 0, 0, 255);
  ASSERT_EQ(ChooseQuadSplit(model, 1), 0);  // flat: the corner 1-3 diagonal

  const std::string path = TempPath("quad.fcw");
  ASSERT_EQ(SaveFcwFile(*document, path, context), 1) << context.reason;
  const std::vector<uint8_t> bytes = ReadBytes(path);
  ASSERT_EQ(bytes.size(), kHeader + 2 * kTriangle);
  EXPECT_EQ(bytes[0], 20);
  EXPECT_EQ(std::string(bytes.begin() + 1, bytes.begin() + 21), "Facetoriumwork_V.1.0");
  EXPECT_EQ(bytes[21], 1);  // two triangles - 1
  EXPECT_EQ(bytes[22], 0);

  // (c3, c1, c0) then (c3, c2, c1), each corner (x, y, -z) x 100.
  const int expected[2][3] = {{4, 2, 1}, {4, 3, 2}};
  for (int t = 0; t < 2; ++t) {
    const size_t record = kHeader + t * kTriangle;
    for (int c = 0; c < 3; ++c) {
      const VECTOR& p = model.points[expected[t][c]].position;
      EXPECT_EQ(DoubleAt(bytes, record + 24 * c), p.x * 100.0) << t << c;
      EXPECT_EQ(DoubleAt(bytes, record + 24 * c + 8), p.y * 100.0);
      EXPECT_EQ(DoubleAt(bytes, record + 24 * c + 16), -p.z * 100.0);
    }
    EXPECT_EQ(U32At(bytes, record + 72), 0x001E140Au);  // 0x00BBGGRR
  }
}

TEST_F(FcwTest, RoundTripMergesCornersIntoMaterialZeroAndKeepsWinding) {
  Model& model = document->model;
  testing::ClosedCube(model);
  for (int s = 1; s <= model.faceCount; ++s) model.faces[s].material = s % 3 + 1;
  // Every original surface faces the same way relative to the centre.
  auto facing = [](const Model& m, int s) {
    const auto& c = m.faces[s].corners;
    const VECTOR& a = m.points[c[0]].position;
    const VECTOR& b = m.points[c[1]].position;
    const VECTOR& d = m.points[c[2]].position;
    return TriangleNormal(a, b, d).dot(a + b + d) > 0.0f;
  };
  const bool outward = facing(model, 1);
  for (int s = 2; s <= model.faceCount; ++s) ASSERT_EQ(facing(model, s), outward);

  const std::string path = TempPath("cube.fcw");
  ASSERT_EQ(SaveFcwFile(*document, path, context), 1) << context.reason;
  testing::UnitQuad(model);
  ASSERT_EQ(LoadFcwFile(*document, path, context), 1) << context.reason;

  EXPECT_EQ(model.pointCount, 8);
  EXPECT_EQ(model.faceCount, 12);
  EXPECT_EQ(model.lineCount, 18);  // 12 edges and a diagonal per side
  std::string why;
  EXPECT_TRUE(ValidateModel(model, &why, true)) << why;
  for (int p = 1; p <= model.pointCount; ++p) {
    for (float value :
         {model.points[p].position.x, model.points[p].position.y, model.points[p].position.z}) {
      EXPECT_NEAR(std::fabs(value), 1.0f, 1e-6f);
    }
  }
  for (int s = 1; s <= model.faceCount; ++s) {
    EXPECT_FALSE(IsQuad(model, s));
    EXPECT_EQ(model.faces[s].material, 0);
    EXPECT_EQ(facing(model, s), outward) << "surface " << s;
  }
}

TEST_F(FcwTest, WriterRefusesMoreTrianglesThanTheCountHoldsAndKeepsTheOldFile) {
  const std::string path = TempPath("limit.fcw");
  Model& model = document->model;
  // 128 x 128 quads = 32768 triangles: the largest count the field holds.
  testing::QuadTorus(model, 128, 128);
  ASSERT_EQ(SaveFcwFile(*document, path, context), 1) << context.reason;
  std::vector<uint8_t> bytes = ReadBytes(path);
  ASSERT_EQ(bytes.size(), kHeader + 32768 * kTriangle);
  EXPECT_EQ(bytes[21], 0xFF);
  EXPECT_EQ(bytes[22], 0x7F);

  testing::QuadTorus(model, 128, 129);  // 33024 triangles
  EXPECT_EQ(SaveFcwFile(*document, path, context), 0);
  EXPECT_NE(context.reason.find("32768"), std::string::npos) << context.reason;
  EXPECT_EQ(ReadBytes(path).size(), bytes.size());
}

TEST_F(FcwTest, ReaderRefusesBadHeadersCountsAndNumbersWithoutTouchingTheModel) {
  const std::vector<double> triangle = {0, 0, 0, 1, 0, 0, 0, 1, 0};
  ASSERT_EQ(load(FcwFile(0, triangle)), 1) << context.reason;
  EXPECT_EQ(document->model.pointCount, 3);

  struct Case {
    const char* what;
    std::vector<uint8_t> bytes;
  };
  std::vector<Case> cases;
  cases.push_back({"empty file", {}});
  std::vector<uint8_t> wrongMagic = FcwFile(0, triangle);
  wrongMagic[20] = '1';
  cases.push_back({"wrong magic", wrongMagic});
  std::vector<uint8_t> wrongLength = FcwFile(0, triangle);
  wrongLength[0] = 19;
  cases.push_back({"wrong length byte", wrongLength});
  cases.push_back({"zero triangles", FcwFile(-1, {})});
  cases.push_back({"negative count", FcwFile(-7, triangle)});
  cases.push_back({"more triangles than surfaces", FcwFile(19999, triangle)});
  cases.push_back({"count larger than the data", FcwFile(1, triangle)});
  for (double bad : {std::nan(""), HUGE_VAL, -1e300}) {
    std::vector<double> coordinates = triangle;
    coordinates[4] = bad;
    cases.push_back({"non-finite or out-of-range coordinate", FcwFile(0, coordinates)});
  }
  for (const Case& c : cases) {
    testing::UnitQuad(document->model);
    EXPECT_EQ(load(c.bytes), 0) << c.what;
    EXPECT_FALSE(context.reason.empty()) << c.what;
    EXPECT_EQ(document->model.pointCount, 4) << c.what;
    EXPECT_EQ(document->model.faceCount, 1) << c.what;
  }
}

TEST_F(FcwTest, EveryPrefixAndEveryByteFlipOfAFileIsHandled) {
  testing::UnitQuad(document->model);
  const std::string path = TempPath("sweep.fcw");
  ASSERT_EQ(SaveFcwFile(*document, path, context), 1);
  const std::vector<uint8_t> file = ReadBytes(path);
  testing::ReaderSweep sweep;
  sweep.reader = ReadFcwBytes;
  sweep.context.settings = &settings;
  sweep.prefixesRefused = true;
  sweep.checkLineReferences = false;
  sweep.flip = 0xA5;
  testing::RunReaderSweep(sweep, std::string_view(reinterpret_cast<const char*>(file.data()), file.size()));
}

TEST_F(FcwTest, ImportScaleAppliesWithTheZMirror) {
  settings.FcwImportScale = 2.0f;
  ASSERT_EQ(load(FcwFile(0, {1, 2, 3, 4, 5, 6, 7, 8, 10})), 1) << context.reason;
  const Model& model = document->model;
  ASSERT_EQ(model.pointCount, 3);
  EXPECT_EQ(model.points[1].position, VECTOR(2, 4, -6));
  EXPECT_EQ(model.points[3].position, VECTOR(14, 16, -20));
  // The file's (1, 2, 3) order comes back reversed by the mirror.
  EXPECT_EQ(model.faces[1].corners, (std::array<int32_t, 4>{1, 3, 2, 1}));
}

}  // namespace
}  // namespace vexal
