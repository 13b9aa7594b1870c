// glTF and GLB: round trips with materials, UVs and textures, the
// validator and assimp on our files, sample models, hostile files refused,
// container truncation and corruption sweeps, the palette mapping and the
// torus limits.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "formats/format_registry.h"
#include "formats/gltf_format.h"
#include "formats/mesh_exchange_support.h"
#include "model/document.h"
#include "model/maintenance.h"
#include "model/validate.h"
#include "support/test_models.h"

namespace vexal {
namespace {

using namespace exchange_test;

std::string Base64(const std::string& bytes) {
  static const char* const kAlphabet =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  for (size_t i = 0; i < bytes.size(); i += 3) {
    uint32_t chunk = static_cast<uint8_t>(bytes[i]) << 16;
    if (i + 1 < bytes.size()) chunk |= static_cast<uint8_t>(bytes[i + 1]) << 8;
    if (i + 2 < bytes.size()) chunk |= static_cast<uint8_t>(bytes[i + 2]);
    out.push_back(kAlphabet[(chunk >> 18) & 63]);
    out.push_back(kAlphabet[(chunk >> 12) & 63]);
    out.push_back(i + 1 < bytes.size() ? kAlphabet[(chunk >> 6) & 63] : '=');
    out.push_back(i + 2 < bytes.size() ? kAlphabet[chunk & 63] : '=');
  }
  return out;
}

std::string Floats(const std::vector<float>& values) {
  return std::string(reinterpret_cast<const char*>(values.data()), values.size() * sizeof(float));
}

// A glTF text around one buffer held as a data URI. The caller gives the
// JSON members for accessors, buffer views, meshes, nodes and anything
// else; "asset" and "buffers" are added.
std::string GltfText(const std::string& buffer, const std::string& members) {
  return "{\"asset\":{\"version\":\"2.0\"},\"buffers\":[{\"byteLength\":" +
         std::to_string(buffer.size()) + ",\"uri\":\"data:application/octet-stream;base64," +
         Base64(buffer) + "\"}]," + members + "}";
}

// One triangle (0,0,0) (1,0,0) (0,1,0) as a 36-byte buffer, its view and
// position accessor; `primitive` and `extra` are spliced in.
std::string OneTriangle(
    const std::string& primitive, const std::string& extra = "",
    const std::string& nodes = "\"nodes\":[{\"mesh\":0}],\"scenes\":[{\"nodes\":[0]}]") {
  const std::string buffer = Floats({0, 0, 0, 1, 0, 0, 0, 1, 0});
  return GltfText(
      buffer,
      "\"bufferViews\":[{\"buffer\":0,\"byteLength\":36}],"
      "\"accessors\":[{\"bufferView\":0,\"componentType\":5126,\"count\":3,\"type\":\"VEC3\"}],"
      "\"meshes\":[{\"primitives\":[{\"attributes\":{\"POSITION\":0}" +
          primitive + "}]}]," + nodes + extra);
}

std::vector<uint8_t> Bytes(const std::string& text) {
  return {text.begin(), text.end()};
}

// Two materials in use (1 red, 3 blue and textured, half opaque), UVs on
// every corner, a quad and a triangle sharing an edge, and a guide surface.
void PaintedModel(Document& document, const std::string& texture) {
  Model& model = document.model;
  ClearModel(model);
  const float p[6][3] = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}, {0.5f, 2, 0.25f}, {3, 3, 3}};
  for (int i = 0; i < 6; ++i) SetPoint(model, i + 1, p[i][0], p[i][1], p[i][2], 0, 0);
  model.pointCount = 6;
  SetFace(model, 1, 1, 2, 3, 4, 1, 0);
  SetFaceUV(model, 1, UV{0, 0}, UV{1, 0}, UV{1, 1}, UV{0, 1});
  SetFace(model, 2, 4, 3, 5, 4, 3, 0);
  SetFaceUV(model, 2, UV{0.25f, 0.5f}, UV{0.75f, 0.5f}, UV{0.5f, 0.125f}, UV{0.25f, 0.5f});
  SetFace(model, 3, 1, 2, 6, 1, kGuideMaterial, 0);
  model.faceCount = 3;
  CompactModel(model, kCompactRebuildLines);
  model.materials[1].light = {255, 0, 0, 255};
  SetText(model.materials[1].name, "red paint");
  model.materials[3].light = {0, 0, 255, 128};
  model.materials[3].blend = 1;
  SetText(model.materials[3].name, "blue");
  SetText(model.materials[3].texture, texture);
  RefreshNormals(model, kNormalsAngleSmoothed, true);
}

class GltfTest : public ::testing::Test {
 protected:
  std::unique_ptr<Document> document = std::make_unique<Document>();
  FormatContext context;
  std::string folder = TestFolder();

  // Writes PaintedModel as name into the test folder, its texture beside
  // the document.
  std::string savePainted(const std::string& name) {
    std::filesystem::copy_file(DataPath("gltf/CesiumLogoFlat.png"), folder + "skin.png",
                               std::filesystem::copy_options::overwrite_existing);
    PaintedModel(*document, "skin.png");
    document->scene.fileName = folder + "painted.vxl";
    const std::string path = folder + name;
    const int saved =
        (ExtensionOf(name) == ".glb" ? SaveGlbFile : SaveGltfFile)(*document, path, context);
    EXPECT_EQ(saved, 1) << context.reason;
    return path;
  }
};

TEST_F(GltfTest, RoundTripsKeepPointsTrianglesMaterialsAndUVs) {
  for (const char* name : {"painted.gltf", "painted.glb"}) {
    SCOPED_TRACE(name);
    const std::string path = savePainted(name);
    const std::vector<Triangle> expected = TrianglesOf(document->model);
    auto read = std::make_unique<Document>();
    ASSERT_EQ(LoadGltfFile(*read, path, context), 1) << context.reason;
    std::string why;
    ASSERT_TRUE(ValidateModel(read->model, &why, true)) << why;
    const Model& model = read->model;
    EXPECT_EQ(model.pointCount, 5);  // the guide surface's own point is left out
    const std::vector<Triangle> triangles = TrianglesOf(model);
    ASSERT_EQ(triangles.size(), expected.size());
    for (size_t t = 0; t < triangles.size(); ++t) {
      for (size_t k = 0; k < 3; ++k) {
        EXPECT_EQ(triangles[t][k].position, expected[t][k].position) << t;
        EXPECT_NEAR(triangles[t][k].uv[0], expected[t][k].uv[0], 1e-6) << t;
        EXPECT_NEAR(triangles[t][k].uv[1], expected[t][k].uv[1], 1e-6) << t;
      }
    }
    // Materials in order of use: red first, then the textured blue.
    EXPECT_EQ(TextOf(model.materials[0].name), "red paint");
    EXPECT_EQ(model.materials[0].light, (std::array<int32_t, 4>{255, 0, 0, 255}));
    EXPECT_EQ(TextOf(model.materials[1].name), "blue");
    EXPECT_EQ(model.materials[1].light, (std::array<int32_t, 4>{0, 0, 255, 128}));
    EXPECT_EQ(TextOf(model.materials[1].texture), "skin.png");
    int red = 0, blue = 0;
    for (int s = 1; s <= model.faceCount; ++s) (model.faces[s].material == 0 ? red : blue) += 1;
    EXPECT_EQ(red, 2);
    EXPECT_EQ(blue, 1);
  }
  // Beside the .gltf: its buffer and a copy of the texture.
  EXPECT_TRUE(std::filesystem::exists(folder + "painted.bin"));
}

TEST_F(GltfTest, TextureCopiedBesideAndStagingCleared) {
  std::filesystem::create_directories(folder + "out");
  std::filesystem::copy_file(DataPath("gltf/CesiumLogoFlat.png"), folder + "skin.png");
  PaintedModel(*document, "skin.png");
  document->scene.fileName = folder + "painted.vxl";
  ASSERT_EQ(SaveGltfFile(*document, folder + "out/p q.gltf", context), 1) << context.reason;
  EXPECT_EQ(ReadBytes(folder + "out/skin.png"), ReadBytes(folder + "skin.png"));
  EXPECT_TRUE(std::filesystem::exists(folder + "out/p q.bin"));
  int entries = 0;
  for (const auto& entry : std::filesystem::directory_iterator(folder + "out")) {
    (void)entry;
    ++entries;
  }
  EXPECT_EQ(entries, 3);  // no staging folder left behind
  const std::vector<uint8_t> json = ReadBytes(folder + "out/p q.gltf");
  EXPECT_NE(std::string(json.begin(), json.end()).find("\"p%20q.bin\""), std::string::npos);
  auto read = std::make_unique<Document>();
  ASSERT_EQ(LoadGltfFile(*read, folder + "out/p q.gltf", context), 1) << context.reason;

  // A save that cannot write leaves the file already there alone.
  const std::vector<uint8_t> before = ReadBytes(folder + "out/p q.gltf");
  std::filesystem::permissions(
      folder + "out", std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
  const bool writable = ::access((folder + "out").c_str(), W_OK) == 0;  // root ignores the mode
  if (!writable) {
    EXPECT_EQ(SaveGltfFile(*document, folder + "out/p q.gltf", context), 0);
    EXPECT_EQ(ReadBytes(folder + "out/p q.gltf"), before);
  }
  std::filesystem::permissions(folder + "out", std::filesystem::perms::owner_all);
}

TEST_F(GltfTest, AlphaModeFollowsTheTransparencyView) {
  PaintedModel(*document, "");
  const auto json = [&](int alphaMode) {
    document->scene.alphaMode = alphaMode;
    EXPECT_EQ(SaveGltfFile(*document, folder + "a.gltf", context), 1);
    const std::vector<uint8_t> bytes = ReadBytes(folder + "a.gltf");
    return std::string(bytes.begin(), bytes.end());
  };
  EXPECT_EQ(json(0).find("alphaMode"), std::string::npos);
  EXPECT_NE(json(2).find("\"BLEND\""), std::string::npos);  // the blue is half opaque
  SetText(document->model.materials[3].texture, "skin.png");
  EXPECT_NE(json(1).find("\"MASK\""), std::string::npos);
}

TEST_F(GltfTest, ValidatorFindsNoErrorsInOurFiles) {
  for (const char* name : {"painted.gltf", "painted.glb"}) {
    const std::string path = savePainted(name);
    std::string report;
    const int status = RunGltfValidator(path, report);
    ASSERT_LT(status, 2) << "the glTF validator did not run (scripts/setup.sh installs it): "
                         << report;
    EXPECT_EQ(status, 0) << name << ": " << report;
  }
  // A larger model with 32-bit indices.
  testing::QuadTorus(document->model, 99, 101);
  RefreshNormals(document->model, kNormalsAngleSmoothed, true);
  ASSERT_EQ(SaveGlbFile(*document, folder + "torus.glb", context), 1);
  std::string report;
  EXPECT_EQ(RunGltfValidator(folder + "torus.glb", report), 0) << report;
}

// An empty model is written as a file without a scene, which the validator
// accepts and which reads back as an empty model.
TEST_F(GltfTest, EmptyModelWrittenValidAndReadBackEmpty) {
  ClearModel(document->model);
  for (const char* name : {"empty.gltf", "empty.glb"}) {
    SCOPED_TRACE(name);
    const std::string path = folder + name;
    ASSERT_EQ((ExtensionOf(path) == ".glb" ? SaveGlbFile : SaveGltfFile)(*document, path, context),
              1)
        << context.reason;
    std::string report;
    EXPECT_EQ(RunGltfValidator(path, report), 0) << report;
    auto read = std::make_unique<Document>();
    testing::UnitQuad(read->model);
    ASSERT_EQ(LoadGltfFile(*read, path, context), 1) << context.reason;
    EXPECT_EQ(read->model.pointCount, 0);
    EXPECT_EQ(read->model.faceCount, 0);
  }
  EXPECT_FALSE(std::filesystem::exists(folder + "empty.bin"));
}

#ifdef VEXAL_HAVE_ASSIMP
void ExpectSameView(const ReaderView& ours, const ReaderView& theirs) {
  EXPECT_EQ(ours.positions, theirs.positions);
  EXPECT_EQ(ours.triangles, theirs.triangles);
  for (size_t k = 0; k < 3; ++k) {
    EXPECT_NEAR(ours.box.low[k], theirs.box.low[k], 1e-5f);
    EXPECT_NEAR(ours.box.high[k], theirs.box.high[k], 1e-5f);
  }
}

TEST_F(GltfTest, AssimpReadsOurFilesWithOurCounts) {
  for (const char* name : {"painted.gltf", "painted.glb"}) {
    SCOPED_TRACE(name);
    const std::string path = savePainted(name);
    ReaderView theirs;
    std::string why;
    ASSERT_TRUE(AssimpView(path, theirs, why)) << why;
    Model expected = document->model;
    expected.faces[3].material = 0;
    expected.faceCount = 2;
    expected.pointCount = 5;
    ExpectSameView(OurView(expected), theirs);
  }
}

TEST_F(GltfTest, SampleModelsReadWithAssimpsCounts) {
  for (const char* name :
       {"gltf/BoxTextured.gltf", "gltf/BoxTextured.glb", "gltf/SimpleMeshes.gltf"}) {
    SCOPED_TRACE(name);
    ReaderView theirs;
    std::string why;
    ASSERT_TRUE(AssimpView(DataPath(name), theirs, why)) << why;
    ASSERT_EQ(LoadGltfFile(*document, DataPath(name), context), 1) << context.reason;
    ASSERT_TRUE(ValidateModel(document->model, &why)) << why;
    ExpectSameView(OurView(document->model), theirs);
  }
  // The box's texture: by URI from the .gltf, by image name from the .glb.
  ASSERT_EQ(LoadGltfFile(*document, DataPath("gltf/BoxTextured.gltf"), context), 1);
  EXPECT_EQ(TextOf(document->model.materials[0].texture), "CesiumLogoFlat.png");
}
#else
TEST(GltfAssimp, AssimpIsInstalled) {
  FAIL() << "assimp not found: run scripts/setup.sh";
}
#endif

TEST_F(GltfTest, HostileFilesAreRefusedAndLeaveTheModel) {
  const std::string sparse = GltfText(Floats({0, 0, 0, 1, 0, 0, 0, 1, 0}),
                                      "\"bufferViews\":[{\"buffer\":0,\"byteLength\":36}],"
                                      "\"accessors\":[{\"bufferView\":0,\"componentType\":5126,"
                                      "\"count\":3,\"type\":\"VEC3\",\"sparse\":{\"count\":1,"
                                      "\"indices\":{\"bufferView\":0,\"componentType\":5125},"
                                      "\"values\":{\"bufferView\":0}}}],\"meshes\":[{"
                                      "\"primitives\":[{\"attributes\":{\"POSITION\":0}}]}]");
  const std::string pastBuffer = GltfText(Floats({0, 0, 0, 1, 0, 0, 0, 1, 0}),
                                          "\"bufferViews\":[{\"buffer\":0,\"byteOffset\":4,"
                                          "\"byteLength\":36}],\"accessors\":[{\"bufferView\":0,"
                                          "\"componentType\":5126,\"count\":3,\"type\":\"VEC3\"}],"
                                          "\"meshes\":[{\"primitives\":[{\"attributes\":"
                                          "{\"POSITION\":0}}]}]");
  const std::string pastView = GltfText(Floats({0, 0, 0, 1, 0, 0, 0, 1, 0}),
                                        "\"bufferViews\":[{\"buffer\":0,\"byteLength\":36}],"
                                        "\"accessors\":[{\"bufferView\":0,\"byteOffset\":4,"
                                        "\"componentType\":5126,\"count\":3,\"type\":\"VEC3\"}],"
                                        "\"meshes\":[{\"primitives\":[{\"attributes\":"
                                        "{\"POSITION\":0}}]}]");
  const std::string hugeCount = GltfText(Floats({0, 0, 0, 1, 0, 0, 0, 1, 0}),
                                         "\"bufferViews\":[{\"buffer\":0,\"byteLength\":36,"
                                         "\"byteStride\":12}],\"accessors\":[{\"bufferView\":0,"
                                         "\"componentType\":5126,\"count\":4294967295,\"type\":"
                                         "\"VEC3\"}],\"meshes\":[{\"primitives\":[{\"attributes\":"
                                         "{\"POSITION\":0}}]}]");
  // 20,001 distinct corners in 6,667 separate triangles.
  std::vector<float> many;
  for (int i = 0; i < 20001; ++i)
    many.insert(many.end(), {static_cast<float>(i), static_cast<float>(i % 3), 0});
  const std::string tooMany =
      GltfText(Floats(many),
               "\"bufferViews\":[{\"buffer\":0,\"byteLength\":" + std::to_string(many.size() * 4) +
                   "}],\"accessors\":[{\"bufferView\":0,\"componentType\":5126,\"count\":20001,"
                   "\"type\":\"VEC3\"}],"
                   "\"meshes\":[{\"primitives\":[{\"attributes\":{\"POSITION\":0}}]}]");
  struct Case {
    std::string text;
    const char* reason;
  };
  const Case cases[] = {
      {"", ""},
      {"{\"asset\":", ""},
      {OneTriangle("", ",\"extensionsRequired\":[\"EXT_fictional_positions\"]"),
       "required extension EXT_fictional_positions"},
      {OneTriangle("", ",\"extensionsUsed\":[\"KHR_texture_basisu\"],"
                       "\"extensionsRequired\":[\"KHR_texture_basisu\"]"),
       "required extension KHR_texture_basisu"},
      {OneTriangle(",\"mode\":1"), "mode 1 is not triangles"},
      {OneTriangle(",\"indices\":7"), "indices"},
      {OneTriangle(",\"material\":3"), "material 3"},
      {OneTriangle("", "", "\"nodes\":[{\"mesh\":4}],\"scenes\":[{\"nodes\":[0]}]"), "mesh 4"},
      {OneTriangle("", "",
                   "\"nodes\":[{\"mesh\":0,\"children\":[0]}],\"scenes\":[{\"nodes\":[0]}]"),
       "reached twice"},
      {OneTriangle("", "",
                   "\"nodes\":[{\"mesh\":0,\"translation\":[1e308,0,0],\"scale\":[10,1,1]}],"
                   "\"scenes\":[{\"nodes\":[0]}]"),
       "not finite"},
      {OneTriangle("", "", "\"nodes\":[{\"mesh\":0}],\"scenes\":[{\"nodes\":[0]}],\"scene\":2"),
       "scene"},
      {OneTriangle(
           ",\"material\":0",
           ",\"materials\":[{\"pbrMetallicRoughness\":{\"baseColorTexture\":{\"index\":5}}}]"),
       "texture 5"},
      {sparse, "sparse"},
      {pastBuffer, "past its buffer"},
      {pastView, "past buffer view"},
      {hugeCount, "past buffer view"},
      {tooMany, "more than 19999 points"},
      {std::string(200000, '['), "nested deeper than 512"},
      {"{\"asset\":{\"version\":\"2.0\"},\"extras\":" + std::string(100000, '[') + "\"" +
           std::string(100, '[') + "\"" + std::string(100000, ']') + "}",
       "nested deeper than 512"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.reason);
    testing::UnitQuad(document->model);
    const std::vector<uint8_t> bytes = Bytes(c.text);
    EXPECT_EQ(LoadGltfBytes(document->model, bytes, folder + "x.gltf", context), 0);
    EXPECT_FALSE(context.reason.empty());
    EXPECT_NE(context.reason.find(c.reason), std::string::npos) << context.reason;
    EXPECT_EQ(document->model.pointCount, 4);
    EXPECT_EQ(document->model.faceCount, 1);
  }
  // Sample files made to break readers.
  for (const char* name :
       {"gltf/RecursiveNodes.gltf", "gltf/BoxWithInfinites.glb", "gltf/IndexOutOfRange.gltf"}) {
    SCOPED_TRACE(name);
    EXPECT_EQ(LoadGltfFile(*document, DataPath(name), context), 0);
    EXPECT_EQ(document->model.pointCount, 4);
  }
}

// A node's transform is applied; one that mirrors keeps the surfaces facing
// outwards by reversing them.
TEST_F(GltfTest, NodeTransformsAndMirroring) {
  const std::string nodes =
      "\"nodes\":[{\"children\":[1],\"translation\":[0,0,5]},{\"mesh\":0,\"scale\":[-2,1,1]}],"
      "\"scenes\":[{\"nodes\":[0]}]";
  ASSERT_EQ(LoadGltfBytes(document->model, Bytes(OneTriangle("", "", nodes)), "x.gltf", context), 1)
      << context.reason;
  const Model& model = document->model;
  ASSERT_EQ(model.faceCount, 1);
  EXPECT_EQ(model.points[model.faces[1].corners[1]].position, VECTOR(0, 1, 5));
  EXPECT_EQ(model.points[model.faces[1].corners[2]].position, VECTOR(-2, 0, 5));
  const VECTOR normal = TriangleNormal(model.points[model.faces[1].corners[0]].position,
                                       model.points[model.faces[1].corners[1]].position,
                                       model.points[model.faces[1].corners[2]].position);
  EXPECT_GT(normal.z, 0.99f);
}

// Materials fill palette entries 0..14 in order of first use; the
// sixteenth and later share entry 14, with one warning.
TEST_F(GltfTest, MoreThanFifteenMaterialsShareTheLastEntry) {
  std::string primitives, materials;
  for (int m = 0; m < 17; ++m) {
    primitives += std::string(m ? "," : "") + "{\"attributes\":{\"POSITION\":" + std::to_string(m) +
                  "},\"material\":" + std::to_string(16 - m) + "}";
    materials += std::string(m ? "," : "") + "{\"name\":\"m" + std::to_string(m) +
                 "\",\"pbrMetallicRoughness\":{\"baseColorFactor\":[" + std::to_string(m / 16.0) +
                 ",0,0,1]}}";
  }
  std::vector<float> corners;
  std::string accessors;
  for (int m = 0; m < 17; ++m) {
    const float x = static_cast<float>(m) * 2;
    corners.insert(corners.end(), {x, 0, 0, x + 1, 0, 0, x, 1, 0});
    accessors += std::string(m ? "," : "") +
                 "{\"bufferView\":0,\"byteOffset\":" + std::to_string(m * 36) +
                 ",\"componentType\":5126,\"count\":3,\"type\":\"VEC3\"}";
  }
  const std::string text = GltfText(
      Floats(corners),
      "\"bufferViews\":[{\"buffer\":0,\"byteLength\":" + std::to_string(corners.size() * 4) +
          "}],\"accessors\":[" + accessors + "],\"materials\":[" + materials +
          "],\"meshes\":[{\"primitives\":[" + primitives + "]}]");
  ASSERT_EQ(LoadGltfBytes(document->model, Bytes(text), "x.gltf", context), 1) << context.reason;
  const Model& model = document->model;
  ASSERT_EQ(model.faceCount, 17);
  for (int s = 1; s <= 17; ++s) EXPECT_EQ(model.faces[s].material, std::min(s - 1, 14)) << s;
  EXPECT_EQ(TextOf(model.materials[0].name), "m16");
  EXPECT_EQ(TextOf(model.materials[14].name), "m2");
  const PaletteColors guide = DefaultPaletteColors(kGuideMaterial);
  EXPECT_EQ(model.materials[15].light,
            (std::array<int32_t, 4>{guide.light[0], guide.light[1], guide.light[2], 255}));
  ASSERT_EQ(context.warnings.size(), 1u);
  EXPECT_NE(context.warnings[0].find("more than 15 materials"), std::string::npos);
}

// Every proper prefix of our GLB is refused; every one-byte change reads as
// a valid model or is refused, in buffers exactly as long as the data.
TEST_F(GltfTest, ContainerTruncationAndCorruptionSweeps) {
  testing::ClosedCube(document->model);
  RefreshNormals(document->model, kNormalsAngleSmoothed, true);
  ASSERT_EQ(SaveGlbFile(*document, folder + "cube.glb", context), 1);
  const std::vector<uint8_t> whole = ReadBytes(folder + "cube.glb");
  auto model = std::make_unique<Model>();
  for (size_t length = 0; length < whole.size(); ++length) {
    const std::vector<uint8_t> prefix(whole.begin(),
                                      whole.begin() + static_cast<std::ptrdiff_t>(length));
    ASSERT_EQ(LoadGltfBytes(*model, prefix, "cut.glb", context), 0) << length;
  }
  std::string why;
  for (size_t at = 0; at < whole.size(); ++at) {
    for (uint8_t value : {uint8_t{0x00}, uint8_t{0xFF}, uint8_t{0x7F}}) {
      std::vector<uint8_t> changed = whole;
      changed[at] = value;
      if (LoadGltfBytes(*model, changed, "bad.glb", context) == 1) {
        ASSERT_TRUE(ValidateModel(*model, &why)) << at << ": " << why;
      }
    }
  }
}

// The 13,332-triangle torus reads; the 9,999-quad torus as triangles needs
// 29,997 lines and is refused quickly, leaving the model.
TEST_F(GltfTest, TorusLimits) {
  testing::TriangleTorus(document->model, 66, 101);
  RefreshNormals(document->model, kNormalsAngleSmoothed, true);
  ASSERT_EQ(SaveGlbFile(*document, folder + "t.glb", context), 1);
  testing::QuadTorus(document->model, 99, 101);
  RefreshNormals(document->model, kNormalsAngleSmoothed, true);
  ASSERT_EQ(SaveGltfFile(*document, folder + "q.gltf", context), 1);

  auto read = std::make_unique<Document>();
  ASSERT_EQ(LoadGltfFile(*read, folder + "t.glb", context), 1) << context.reason;
  EXPECT_EQ(read->model.pointCount, 6666);
  EXPECT_EQ(read->model.faceCount, 13332);

  testing::UnitQuad(read->model);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(LoadGltfFile(*read, folder + "q.gltf", context), 0);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
  EXPECT_NE(context.reason.find("more than 19999 lines"), std::string::npos) << context.reason;
  EXPECT_EQ(read->model.pointCount, 4);
}

TEST_F(GltfTest, Registered) {
  EXPECT_EQ(SaveIndexForPath("a.gltf"), 15);
  EXPECT_EQ(SaveIndexForPath("a.GLB"), 16);
  int readers = 0;
  for (const ReaderEntry& reader : ReaderTable())
    readers += reader.load == ReadGltfBytes && reader.openIndex == 12;
  EXPECT_EQ(readers, 2);
}

}  // namespace
}  // namespace vexal
