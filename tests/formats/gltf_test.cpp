// glTF and GLB: round trips with materials, UVs and textures, the
// validator and assimp on our files, sample models, hostile files refused,
// container truncation and corruption sweeps, the palette mapping and the
// torus limits.
#include <draco/compression/encode.h>
#include <draco/mesh/triangle_soup_mesh_builder.h>
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
                                      "\"indices\":{\"bufferView\":0,\"byteOffset\":12,"
                                      "\"componentType\":5125},"
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
      {OneTriangle(",\"mode\":9"), "mode 9 is not a glTF mode"},
      {OneTriangle(",\"mode\":1"), "3 corners do not make whole lines"},
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
      {sparse, "sparse index 1065353216 of 3"},  // the bits of 1.0f
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

// The corners of a unit square, counter-clockwise about +z, as one buffer
// of positions followed by 32-bit indices; `mode` and whether the indices
// are used are spliced into one primitive.
std::string Square(int mode, const std::vector<uint32_t>& indices) {
  std::string buffer = Floats({0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0});
  buffer.append(reinterpret_cast<const char*>(indices.data()), indices.size() * 4);
  const std::string indexed = indices.empty() ? "" : ",\"indices\":1";
  return GltfText(buffer,
                  "\"bufferViews\":[{\"buffer\":0,\"byteLength\":48},{\"buffer\":0,"
                  "\"byteOffset\":48,\"byteLength\":" +
                      std::to_string(std::max<size_t>(indices.size() * 4, 4)) +
                      "}],\"accessors\":[{\"bufferView\":0,\"componentType\":5126,\"count\":4,"
                      "\"type\":\"VEC3\",\"min\":[0,0,0],\"max\":[1,1,0]},{\"bufferView\":1,"
                      "\"componentType\":5125,\"count\":" +
                      std::to_string(indices.size()) +
                      ",\"type\":\"SCALAR\"}],\"meshes\":[{\"primitives\":[{\"attributes\":"
                      "{\"POSITION\":0}" +
                      indexed + ",\"mode\":" + std::to_string(mode) +
                      "}]}],\"nodes\":[{\"mesh\":0}],\"scenes\":[{\"nodes\":[0]}]");
}

// Strips and fans are triangles facing the way the strip winds; lines,
// line strips and loops are lines; points are loose points.
TEST_F(GltfTest, EveryPrimitiveModeReads) {
  struct Case {
    int mode;
    std::vector<uint32_t> indices;
    int faces, lines, points;
  };
  const Case cases[] = {
      {4, {0, 1, 2, 0, 2, 3}, 2, 5, 4}, {5, {0, 1, 3, 2}, 2, 5, 4}, {6, {0, 1, 2, 3}, 2, 5, 4},
      {5, {0, 1, 3, 2, 2}, 2, 5, 4},    {1, {0, 1, 2, 3}, 0, 2, 4}, {3, {0, 1, 2, 3}, 0, 3, 4},
      {2, {0, 1, 2, 3}, 0, 4, 4},       {2, {0, 1, 1, 0}, 0, 1, 2}, {0, {}, 0, 0, 4},
      {0, {2, 2}, 0, 0, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << "mode " << c.mode << ", " << c.indices.size() << " corners");
    const std::string text = Square(c.mode, c.indices);
    ASSERT_EQ(LoadGltfBytes(document->model, Bytes(text), "x.gltf", context), 1) << context.reason;
    const Model& model = document->model;
    std::string why;
    ASSERT_TRUE(ValidateModel(model, &why, true)) << why;
    EXPECT_EQ(model.faceCount, c.faces);
    EXPECT_EQ(model.lineCount, c.lines);
    EXPECT_EQ(model.pointCount, c.points);
    for (int s = 1; s <= model.faceCount; ++s) {
      const FACE& face = model.faces[s];
      const VECTOR normal = TriangleNormal(model.points[face.corners[0]].position,
                                           model.points[face.corners[1]].position,
                                           model.points[face.corners[2]].position);
      EXPECT_GT(normal.z, 0.99f) << "surface " << s;
    }
#ifdef VEXAL_HAVE_ASSIMP
    if (c.faces > 0) {
      WriteBytes(folder + "mode.gltf", text);
      ReaderView theirs;
      ASSERT_TRUE(AssimpView(folder + "mode.gltf", theirs, why)) << why;
      EXPECT_EQ(theirs.triangles, static_cast<size_t>(c.faces));
      EXPECT_EQ(theirs.positions, static_cast<size_t>(c.points));
    }
#endif
  }
}

// KHR_mesh_quantization: normalised shorts and plain bytes for positions,
// normalised bytes for UVs, scaled back by the node; sparse accessors
// replace some elements of a view, or of zeros without one; the UV set is
// the one the base colour texture names.
TEST_F(GltfTest, QuantizedSparseAndSecondUvSet) {
  const int16_t shorts[] = {0, 0, 0, 0, 32767, 0, 0, 0, 0, -32767, 0, 0};  // 3 x VEC3, padded
  const int8_t bytes[] = {0, 0, 0, 0, 0, 2, 0, 0, 0, 0, 2, 0};     // 3 x VEC3, 4-aligned
  const uint8_t uv0[] = {0, 0, 255, 0, 0, 255, 0, 0};
  const uint8_t uv1[] = {255, 255, 0, 255, 255, 0, 0, 0};
  const uint16_t sparseIndex[] = {1, 2, 0, 0};
  const float sparseValue[] = {1, 0, 0, 0, 0, 4};
  const int8_t sparseBytes[] = {0, 0, 4, 0};
  std::string buffer;
  const auto add = [&](const void* data, size_t size) {
    buffer.append(static_cast<const char*>(data), size);
  };
  add(shorts, sizeof shorts);            // 0..24
  add(bytes, sizeof bytes);              // 24..36
  add(uv0, sizeof uv0);                  // 36..44
  add(uv1, sizeof uv1);                  // 44..52
  add(sparseIndex, sizeof sparseIndex);  // 52..60
  add(sparseValue, sizeof sparseValue);  // 60..84
  add(sparseBytes, sizeof sparseBytes);  // 84..88
  const std::string members =
      "\"extensionsUsed\":[\"KHR_mesh_quantization\"],"
      "\"extensionsRequired\":[\"KHR_mesh_quantization\"],"
      "\"bufferViews\":[{\"buffer\":0,\"byteLength\":24,\"byteStride\":8},"
      "{\"buffer\":0,\"byteOffset\":24,\"byteLength\":12,\"byteStride\":4},"
      "{\"buffer\":0,\"byteOffset\":36,\"byteLength\":8},{\"buffer\":0,\"byteOffset\":44,"
      "\"byteLength\":8},{\"buffer\":0,\"byteOffset\":52,\"byteLength\":8},"
      "{\"buffer\":0,\"byteOffset\":60,\"byteLength\":24},"
      "{\"buffer\":0,\"byteOffset\":84,\"byteLength\":4}],"
      "\"accessors\":["
      "{\"bufferView\":0,\"componentType\":5122,\"normalized\":true,\"count\":3,\"type\":\"VEC3\"},"
      "{\"bufferView\":1,\"componentType\":5120,\"count\":3,\"type\":\"VEC3\"},"
      "{\"bufferView\":2,\"componentType\":5121,\"normalized\":true,\"count\":3,\"type\":\"VEC2\"},"
      "{\"bufferView\":3,\"componentType\":5121,\"normalized\":true,\"count\":3,\"type\":\"VEC2\"},"
      "{\"componentType\":5126,\"count\":3,\"type\":\"VEC3\",\"sparse\":{\"count\":2,"
      "\"indices\":{\"bufferView\":4,\"componentType\":5123},\"values\":{\"bufferView\":5}}},"
      "{\"bufferView\":1,\"componentType\":5120,\"count\":3,\"type\":\"VEC3\",\"sparse\":"
      "{\"count\":1,\"indices\":{\"bufferView\":4,\"byteOffset\":4,\"componentType\":5123},"
      "\"values\":{\"bufferView\":6}}}],"
      "\"images\":[{\"uri\":\"skin.png\"}],\"textures\":[{\"source\":0}],"
      "\"materials\":[{\"pbrMetallicRoughness\":{\"baseColorTexture\":{\"index\":0,"
      "\"texCoord\":1}}}],"
      "\"meshes\":[{\"primitives\":[{\"attributes\":{\"POSITION\":0,\"TEXCOORD_0\":2,"
      "\"TEXCOORD_1\":3},\"material\":0}]},"
      "{\"primitives\":[{\"attributes\":{\"POSITION\":1}}]},"
      "{\"primitives\":[{\"attributes\":{\"POSITION\":4,\"TEXCOORD_0\":2}}]},"
      "{\"primitives\":[{\"attributes\":{\"POSITION\":5}}]}],"
      "\"nodes\":[{\"mesh\":0,\"scale\":[2,2,2]},{\"mesh\":1,\"translation\":[10,0,0]},"
      "{\"mesh\":2,\"translation\":[20,0,0]},{\"mesh\":3,\"translation\":[30,0,0]}],"
      "\"scenes\":[{\"nodes\":[0,1,2,3]}]";
  const std::string text = GltfText(buffer, members);
  ASSERT_EQ(LoadGltfBytes(document->model, Bytes(text), "x.gltf", context), 1) << context.reason;
  const Model& model = document->model;
  std::string why;
  ASSERT_TRUE(ValidateModel(model, &why, true)) << why;
  ASSERT_EQ(model.faceCount, 4);
  // Each mesh stands at its own x: the surface of the mesh at x0, corner k.
  const auto corner = [&](float x0, int k) {
    for (int s = 1; s <= model.faceCount; ++s) {
      const VECTOR& first = model.points[model.faces[s].corners[0]].position;
      if (first.x >= x0 - 3 && first.x <= x0 + 3)
        return model.points[model.faces[s].corners[static_cast<size_t>(k)]].position;
    }
    ADD_FAILURE() << "no surface at x " << x0;
    return VECTOR();
  };
  const auto uv = [&](float x0, int k) {
    for (int s = 1; s <= model.faceCount; ++s) {
      if (std::abs(model.points[model.faces[s].corners[0]].position.x - x0) <= 3)
        return model.faces[s].uv[static_cast<size_t>(k)];
    }
    return UV(-1, -1);
  };
  // Normalised shorts: 32767 is 1, -32767 is -1, then scaled by 2.
  EXPECT_EQ(corner(0, 1), VECTOR(2, 0, 0));
  EXPECT_EQ(corner(0, 2), VECTOR(0, -2, 0));
  // Plain bytes are integers.
  EXPECT_EQ(corner(10, 1), VECTOR(10, 2, 0));
  EXPECT_EQ(corner(10, 2), VECTOR(10, 0, 2));
  // Sparse over zeros: elements 1 and 2 replaced.
  EXPECT_EQ(corner(20, 0), VECTOR(20, 0, 0));
  EXPECT_EQ(corner(20, 1), VECTOR(21, 0, 0));
  EXPECT_EQ(corner(20, 2), VECTOR(20, 0, 4));
  // Sparse over a view of bytes: element 0 replaced by (0, 0, 4).
  EXPECT_EQ(corner(30, 0), VECTOR(30, 0, 4));
  EXPECT_EQ(corner(30, 1), VECTOR(30, 2, 0));
  // TEXCOORD_1 (1, 1) (0, 1) (1, 0), flipped to the model's v.
  EXPECT_EQ(uv(0, 0), UV(1, 0));
  EXPECT_EQ(uv(0, 1), UV(0, 0));
  EXPECT_EQ(uv(0, 2), UV(1, 1));
  // The mesh without a material: TEXCOORD_0 (1, 0) at corner 1.
  EXPECT_EQ(uv(20, 1), UV(1, 1));
}

// A GLB container of a JSON text and one binary chunk.
std::string Glb(std::string json, std::string bin) {
  while (json.size() % 4 != 0) json.push_back(' ');
  while (bin.size() % 4 != 0) bin.push_back('\0');
  std::string out;
  const auto put32 = [&out](size_t value) {
    for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<char>(value >> shift));
  };
  out += "glTF";
  put32(2);
  put32(12 + 8 + json.size() + 8 + bin.size());
  put32(json.size());
  out += "JSON" + json;
  put32(bin.size());
  out += std::string("BIN\0", 4) + bin;
  return out;
}

// The unit square of two triangles with UVs (0,0) (1,0) (1,1) (0,1),
// compressed by Draco's own encoder; the members of a glTF that holds it
// in buffer view 0, with accessors that have no buffer views.
std::string DracoSquare(std::string& compressed) {
  draco::TriangleSoupMeshBuilder builder;
  builder.Start(2);
  const int position =
      builder.AddAttribute(draco::GeometryAttribute::POSITION, 3, draco::DT_FLOAT32);
  const int texcoord =
      builder.AddAttribute(draco::GeometryAttribute::TEX_COORD, 2, draco::DT_FLOAT32);
  const float p[4][3] = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}};
  const float t[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
  const int faces[2][3] = {{0, 1, 2}, {0, 2, 3}};
  for (int f = 0; f < 2; ++f) {
    const int* c = faces[f];
    builder.SetAttributeValuesForFace(position, draco::FaceIndex(f), p[c[0]], p[c[1]], p[c[2]]);
    builder.SetAttributeValuesForFace(texcoord, draco::FaceIndex(f), t[c[0]], t[c[1]], t[c[2]]);
  }
  const std::unique_ptr<draco::Mesh> mesh = builder.Finalize();
  draco::Encoder encoder;
  encoder.SetEncodingMethod(draco::MESH_SEQUENTIAL_ENCODING);
  draco::EncoderBuffer out;
  EXPECT_TRUE(encoder.EncodeMeshToBuffer(*mesh, &out).ok());
  compressed.assign(out.data(), out.size());
  const std::string positionId = std::to_string(mesh->attribute(position)->unique_id());
  const std::string texcoordId = std::to_string(mesh->attribute(texcoord)->unique_id());
  return "\"extensionsUsed\":[\"KHR_draco_mesh_compression\"],"
         "\"extensionsRequired\":[\"KHR_draco_mesh_compression\"],"
         "\"bufferViews\":[{\"buffer\":0,\"byteLength\":" +
         std::to_string(compressed.size()) +
         "}],\"accessors\":[{\"componentType\":5126,\"count\":4,\"type\":\"VEC3\","
         "\"min\":[0,0,0],\"max\":[1,1,0]},{\"componentType\":5126,\"count\":4,\"type\":\"VEC2\"},"
         "{\"componentType\":5125,\"count\":6,\"type\":\"SCALAR\"}],"
         "\"meshes\":[{\"primitives\":[{\"attributes\":{\"POSITION\":0,\"TEXCOORD_0\":1},"
         "\"indices\":2,\"extensions\":{\"KHR_draco_mesh_compression\":{\"bufferView\":0,"
         "\"attributes\":{\"POSITION\":" +
         positionId + ",\"TEXCOORD_0\":" + texcoordId +
         "}}}}]}],\"nodes\":[{\"mesh\":0}],\"scenes\":[{\"nodes\":[0]}]";
}

// KHR_draco_mesh_compression, in a .gltf and in a .glb: the decoded square
// with its UVs; a damaged stream is refused naming the extension.
TEST_F(GltfTest, DracoCompressedMeshesRead) {
  std::string compressed;
  const std::string members = DracoSquare(compressed);
  const std::string glbJson = "{\"asset\":{\"version\":\"2.0\"},\"buffers\":[{\"byteLength\":" +
                              std::to_string(compressed.size()) + "}]," + members + "}";
  const std::pair<std::string, std::string> files[] = {
      {"draco.gltf", GltfText(compressed, members)}, {"draco.glb", Glb(glbJson, compressed)}};
  for (const auto& [name, text] : files) {
    SCOPED_TRACE(name);
    WriteBytes(folder + name, text);
    std::string report;
    EXPECT_EQ(RunGltfValidator(folder + name, report), 0) << report;
    ASSERT_EQ(LoadGltfFile(*document, folder + name, context), 1) << context.reason;
    const Model& model = document->model;
    std::string why;
    ASSERT_TRUE(ValidateModel(model, &why, true)) << why;
    EXPECT_EQ(model.pointCount, 4);
    EXPECT_EQ(model.lineCount, 5);
    ASSERT_EQ(model.faceCount, 2);
    for (int s = 1; s <= 2; ++s) {
      for (size_t k = 0; k < 3; ++k) {
        const VECTOR& p = model.points[model.faces[s].corners[k]].position;
        // UVs follow the corner: u = x, and v flipped from the file's y.
        EXPECT_EQ(model.faces[s].uv[k], UV(p.x, 1 - p.y)) << s << " " << k;
      }
    }
  }
  // Every one-byte change of the compressed stream in the container reads
  // as a valid model or is refused, in a buffer exactly as long as the data.
  const std::vector<uint8_t> glb = Bytes(files[1].second);
  auto model = std::make_unique<Model>();
  std::string why;
  const size_t binLength = (compressed.size() + 3) / 4 * 4;
  for (size_t at = glb.size() - binLength; at < glb.size(); ++at) {
    for (uint8_t value : {uint8_t{0x00}, uint8_t{0xFF}, uint8_t{0x7F}}) {
      std::vector<uint8_t> changed = glb;
      changed[at] = value;
      if (LoadGltfBytes(*model, changed, "bad.glb", context) == 1) {
        ASSERT_TRUE(ValidateModel(*model, &why)) << at << ": " << why;
      }
    }
  }
  std::string damaged = compressed;
  damaged.replace(0, 5, "DRACU");  // not Draco's magic
  EXPECT_EQ(LoadGltfBytes(document->model, Bytes(GltfText(damaged, members)), "x.gltf", context),
            0);
  EXPECT_NE(context.reason.find("KHR_draco_mesh_compression"), std::string::npos)
      << context.reason;
  EXPECT_EQ(document->model.faceCount, 2);
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
