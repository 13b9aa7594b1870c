// MX reader and writer: the exact layout of a small export, round trips by
// texture number, the older texel-based version and hostile files.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "formats/mx_format.h"
#include "model/document.h"
#include "model/maintenance.h"
#include "model/validate.h"
#include "settings/settings.h"
#include "support/reader_sweep.h"
#include "support/test_models.h"

namespace vexal {
namespace {

constexpr size_t kFace = 168;

std::string TempPath(const std::string& name) {
  return ::testing::TempDir() + "vexal_mx_" + name;
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

uint32_t U32At(const std::vector<uint8_t>& bytes, size_t offset) {
  return bytes[offset] | bytes[offset + 1] << 8 | bytes[offset + 2] << 16 |
         static_cast<uint32_t>(bytes[offset + 3]) << 24;
}
uint16_t U16At(const std::vector<uint8_t>& bytes, size_t offset) {
  return static_cast<uint16_t>(bytes[offset] | bytes[offset + 1] << 8);
}
float F32At(const std::vector<uint8_t>& bytes, size_t offset) {
  float value;
  std::memcpy(&value, bytes.data() + offset, sizeof value);  // the test host is little-endian
  return value;
}

// Builds little-endian files by hand.
struct Bytes {
  std::vector<uint8_t> data;
  Bytes& u16(uint16_t v) {
    data.push_back(static_cast<uint8_t>(v));
    data.push_back(static_cast<uint8_t>(v >> 8));
    return *this;
  }
  Bytes& u32(uint32_t v) {
    u16(static_cast<uint16_t>(v));
    return u16(static_cast<uint16_t>(v >> 16));
  }
  Bytes& f32(float v) {
    uint32_t bits;
    std::memcpy(&bits, &v, 4);
    return u32(bits);
  }
  Bytes& text(const std::string& s, size_t width) {
    std::string padded = s;
    padded.resize(width, '\0');
    data.insert(data.end(), padded.begin(), padded.end());
    return *this;
  }
};

// A version 256 file: one face at the unit square with the given texel UVs
// and texture number, and the given texture names.
std::vector<uint8_t> OldVersionFile(const float (&uv)[8], uint16_t texture,
                                    const std::vector<std::string>& names) {
  const uint32_t header = 32, sectionA = 60;
  Bytes b;
  b.text("MXF", 4).u32(256);
  b.u32(sectionA).u32(header);
  b.u32(kFace).u32(header + sectionA);
  b.u32(static_cast<uint32_t>(16 * names.size())).u32(header + sectionA + kFace);
  for (int i = 0; i < 15; ++i) b.f32(1);  // section A, skipped by the reader
  const float corners[4][3] = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}};
  for (const auto& c : corners) b.f32(c[0]).f32(c[1]).f32(c[2]).f32(1);
  for (int i = 0; i < 4; ++i) b.f32(0).f32(0).f32(1).f32(1);
  for (float value : uv) b.f32(value);
  b.u32(0x00FF0000).u16(texture).u16(0);
  for (const std::string& name : names) b.text(name, 16);
  return b.data;
}

class MxTest : public ::testing::Test {
 protected:
  std::unique_ptr<Document> document = std::make_unique<Document>();
  Settings settings;
  FormatContext context;
  void SetUp() override { context.settings = &settings; }

  int load(const std::vector<uint8_t>& bytes) {
    const std::string path = TempPath("load.mx");
    WriteBytes(path, bytes);
    context.reason.clear();
    return LoadMxFile(*document, path, context);
  }
};

TEST_F(MxTest, WritesTheDocumentedLayoutForAQuadATriangleAndATexture) {
  Model& model = document->model;
  testing::UnitQuad(model);
  SetPoint(model, 5, 0, 0, 2, 0, 0);
  model.pointCount = 5;
  SetFace(model, 2, 1, 2, 5, 1, 4, 0);  // triangle, material 4
  SetFaceUV(model, 2, UV(0.25f, 0.5f), UV(1, 0), UV(0.75f, 0.125f), UV(0.25f, 0.5f));
  SetFace(model, 3, 2, 3, 5, 2, kGuideMaterial, 0);
  model.faceCount = 3;
  SetText(model.materials[2].texture, "C:\\maps\\wood.grain.png");
  SetText(model.materials[4].texture, "textures/an_extremely_long_name.bmp");
  SetMaterialColors(model, 4, 0x12, 0x34, 0x56, 255, 0, 0, 0, 255);
  RefreshNormals(model, kNormalsFace | kNormalsAngleSmoothed, true);
  settings.MxExportScale = 2.0f;

  const std::string path = TempPath("layout.mx");
  ASSERT_EQ(SaveMxFile(*document, path, context), 1) << context.reason;
  const std::vector<uint8_t> bytes = ReadBytes(path);
  const size_t faces = 108, names = faces + 2 * kFace, sectionD = names + 2 * 16;
  ASSERT_EQ(bytes.size(), sectionD + 64);

  EXPECT_EQ(std::memcmp(bytes.data(), "MXF\0", 4), 0);
  const uint32_t header[] = {512, 60, 48, 2 * kFace, 108, 32, static_cast<uint32_t>(names), 2};
  for (size_t i = 0; i < std::size(header); ++i) EXPECT_EQ(U32At(bytes, 4 + 4 * i), header[i]) << i;
  EXPECT_EQ(U32At(bytes, 36), 0u);  // two 16-bit zeros
  EXPECT_EQ(U32At(bytes, 40), 64u);
  EXPECT_EQ(U32At(bytes, 44), sectionD);

  const float sectionA[12] = {0, 0, 0, 1, 0, 0, 0, 1, 1, 1, 1, 1};
  for (size_t i = 0; i < 12; ++i) EXPECT_EQ(F32At(bytes, 48 + 4 * i), sectionA[i]) << i;
  EXPECT_EQ(U16At(bytes, 96), 1);
  EXPECT_EQ(U16At(bytes, 98), 2);  // faces without the guide
  EXPECT_EQ(U32At(bytes, 100), 0u);
  EXPECT_EQ(U32At(bytes, 104), 0u);

  // The triangle: corners (x, -y, z, 1) x 2 with the third repeated.
  const size_t t = faces + kFace;
  const float corners[4][4] = {{0, 0, 0, 1}, {2, 0, 0, 1}, {0, 0, 4, 1}, {0, 0, 4, 1}};
  for (int c = 0; c < 4; ++c) {
    for (int k = 0; k < 4; ++k)
      EXPECT_EQ(F32At(bytes, t + 16 * c + 4 * k), corners[c][k]) << c << k;
  }
  const VECTOR& n = model.faces[2].cornerNormals[2];
  EXPECT_EQ(F32At(bytes, t + 64 + 48), n.x);
  EXPECT_EQ(F32At(bytes, t + 64 + 52), -n.y);
  EXPECT_EQ(F32At(bytes, t + 64 + 56), n.z);
  EXPECT_EQ(F32At(bytes, t + 64 + 60), 1.0f);
  const float uv[8] = {0.25f, 0.5f, 1, 1, 0.75f, 0.875f, 0.75f, 0.875f};  // (u, 1 - v)
  for (int i = 0; i < 8; ++i) EXPECT_EQ(F32At(bytes, t + 128 + 4 * i), uv[i]) << i;
  EXPECT_EQ(U32At(bytes, t + 160), 0x00123456u);
  EXPECT_EQ(U16At(bytes, t + 164), 1);           // second textured material
  EXPECT_EQ(U16At(bytes, faces + 164), 0xFFFF);  // the quad's material 0 has none

  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&bytes[names])), "wood.grain");
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&bytes[names + 16])), "an_extremely_lo");
  EXPECT_EQ(bytes[names + 31], 0);

  EXPECT_EQ(U16At(bytes, sectionD), 0);
  EXPECT_EQ(bytes[sectionD + 2], 2);
  EXPECT_EQ(bytes[sectionD + 3], 1);
  EXPECT_EQ(F32At(bytes, sectionD + 12), 1.0f);
  EXPECT_EQ(F32At(bytes, sectionD + 16), 1.0f);
  for (size_t i = sectionD + 20; i < bytes.size(); ++i) EXPECT_EQ(bytes[i], 0) << i;

  // Read back, the repeated corner merges and the triangle is one again.
  settings.MxImportScale = 0.5f;
  ASSERT_EQ(LoadMxFile(*document, path, context), 1) << context.reason;
  ASSERT_EQ(model.faceCount, 2);
  EXPECT_TRUE(IsQuad(model, 1));
  EXPECT_FALSE(IsQuad(model, 2));
  EXPECT_EQ(model.pointCount, 5);
  EXPECT_EQ(model.points[model.faces[2].corners[2]].position, VECTOR(0, 0, 2));
  EXPECT_EQ(model.faces[2].uv[2].v, 0.125f);
  EXPECT_EQ(model.faces[2].material, 1);
}

TEST_F(MxTest, RoundTripKeepsGeometryAndUVsAndMapsMaterialsByTextureNumber) {
  Model& model = document->model;
  testing::ClosedCube(model);
  for (int s = 1; s <= model.faceCount; ++s) {
    const float k = static_cast<float>(s) / 8;
    SetFaceUV(model, s, UV(k, 0), UV(k, 0.5f), UV(1, k), UV(0.5f, k));
  }
  model.faces[1].material = 3;  // first textured material: number 0
  model.faces[2].material = 7;  // second: number 1
  model.faces[3].material = 5;  // no texture: comes back as 0
  SetText(model.materials[3].texture, "stone.png");
  SetText(model.materials[7].texture, "sub/grass.tga");
  Document original;
  original.model = model;

  const std::string path = TempPath("cube.mx");
  ASSERT_EQ(SaveMxFile(*document, path, context), 1) << context.reason;
  testing::UnitQuad(model);
  ASSERT_EQ(LoadMxFile(*document, path, context), 1) << context.reason;

  std::string why;
  ASSERT_TRUE(ValidateModel(model, &why, true)) << why;
  ASSERT_EQ(model.pointCount, 8);
  ASSERT_EQ(model.lineCount, 12);
  ASSERT_EQ(model.faceCount, 6);
  const int expectedMaterial[7] = {0, 0, 1, 0, 0, 0, 0};
  for (int s = 1; s <= 6; ++s) {
    const FACE& read = model.faces[s];
    const FACE& was = original.model.faces[s];
    EXPECT_EQ(read.material, expectedMaterial[s]) << s;
    for (size_t c = 0; c < 4; ++c) {
      EXPECT_EQ(model.points[read.corners[c]].position,
                original.model.points[was.corners[c]].position);
      EXPECT_EQ(read.uv[c].u, was.uv[c].u);
      EXPECT_EQ(read.uv[c].v, was.uv[c].v);
    }
  }
  EXPECT_EQ(TextOf(model.materials[0].texture), "stone.bmp");
  EXPECT_EQ(TextOf(model.materials[0].name), "stone");
  EXPECT_EQ(TextOf(model.materials[1].texture), "grass.bmp");
  EXPECT_EQ(TextOf(model.materials[2].texture), "");
  EXPECT_EQ(TextOf(model.materials[2].name), "mat_02");
}

TEST_F(MxTest, OldVersionDividesUVsByTheTextureSizeSettings) {
  const float uv[8] = {128, 64, 0, 0, 256, 256, 64, 128};
  ASSERT_EQ(load(OldVersionFile(uv, 0xFFFF, {"rock.x", "", "moss"})), 1) << context.reason;
  const Model& model = document->model;
  ASSERT_EQ(model.faceCount, 1);
  EXPECT_EQ(model.faces[1].material, 0);  // 0xFFFF + 15 is a multiple of 15
  EXPECT_EQ(model.faces[1].uv[0].u, 0.5f);
  EXPECT_EQ(model.faces[1].uv[0].v, 0.75f);
  EXPECT_EQ(model.faces[1].uv[2].v, 0.0f);
  EXPECT_EQ(model.points[model.faces[1].corners[2]].position, VECTOR(1, -1, 0));
  EXPECT_EQ(TextOf(model.materials[0].texture), "rock.x.bmp");
  EXPECT_EQ(TextOf(model.materials[0].name), "rock");
  EXPECT_EQ(TextOf(model.materials[1].texture), "");  // an empty slot names no file
  EXPECT_EQ(TextOf(model.materials[2].texture), "moss.bmp");

  settings.MxTextureWidth = 512;
  settings.MxTextureExtension = ".tga";
  ASSERT_EQ(load(OldVersionFile(uv, 16, {"a"})), 1) << context.reason;
  EXPECT_EQ(model.faces[1].material, 1);
  EXPECT_EQ(model.faces[1].uv[0].u, 0.25f);
  EXPECT_EQ(TextOf(model.materials[0].texture), "a.tga");
}

TEST_F(MxTest, ReaderRefusesBrokenSectionsAndNumbersWithoutTouchingTheModel) {
  const float uv[8] = {};
  const std::vector<uint8_t> good = OldVersionFile(uv, 0, {"a"});
  ASSERT_EQ(load(good), 1) << context.reason;

  struct Case {
    const char* what;
    size_t offset;
    uint32_t value;
  };
  const Case cases[] = {
      {"wrong magic", 2, 0x00004658},
      {"unknown version", 4, 128},
      {"section A past the end", 12, 400},
      {"face section past the end", 16, 169 * 3},
      {"face size not whole records", 16, 100},
      {"negative face offset", 20, 0xFFFFFFF0},
      {"face section past the end by its offset", 20, 0x7FFFFFFF},
      {"texture size not whole names", 24, 15},
      {"NaN corner", 32 + 60 + 4, 0x7FC00000},
      {"infinite UV", 32 + 60 + 128, 0x7F800000},
  };
  for (const Case& c : cases) {
    std::vector<uint8_t> bytes = good;
    for (int i = 0; i < 4; ++i) bytes[c.offset + i] = static_cast<uint8_t>(c.value >> (8 * i));
    testing::ClosedCube(document->model);
    EXPECT_EQ(load(bytes), 0) << c.what;
    EXPECT_FALSE(context.reason.empty()) << c.what;
    EXPECT_EQ(document->model.pointCount, 8) << c.what;
  }
  // 20000 faces do not fit the surface table, however well formed.
  std::vector<uint8_t> many = good;
  many.resize(good.size() - 16);
  many.insert(many.end(), 19999 * kFace, 0);
  many.insert(many.end(), 16, 'a');
  for (auto [offset, value] : {std::pair{16u, 20000u * 168u}, std::pair{24u, 0u}}) {
    for (int i = 0; i < 4; ++i) many[offset + i] = static_cast<uint8_t>(value >> (8 * i));
  }
  EXPECT_EQ(load(many), 0);
  EXPECT_NE(context.reason.find("20000 faces"), std::string::npos) << context.reason;
}

TEST_F(MxTest, EveryPrefixAndEveryByteFlipOfAFileIsHandled) {
  Model& model = document->model;
  testing::UnitQuad(model);
  SetText(model.materials[0].texture, "t.png");
  const std::string path = TempPath("sweep.mx");
  ASSERT_EQ(SaveMxFile(*document, path, context), 1);
  const std::vector<uint8_t> file = ReadBytes(path);
  testing::ReaderSweep sweep;
  sweep.reader = ReadMxBytes;
  sweep.context.settings = &settings;
  sweep.prefixesRefused = true;
  sweep.checkLineReferences = false;
  sweep.flip = 0x5A;
  testing::RunReaderSweep(sweep, std::string_view(reinterpret_cast<const char*>(file.data()), file.size()));
}

}  // namespace
}  // namespace vexal
