// 3DS reader and writer: real files from other programs, the chunk tree of a
// small export, round trips (materials, transparency, texture names),
// hand-built files for object offsets and bad numbers, and hostile files.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "formats/3ds_format.h"
#include "model/document.h"
#include "model/maintenance.h"
#include "model/validate.h"
#include "settings/settings.h"
#include "support/test_models.h"

#ifdef VEXAL_HAVE_ASSIMP
#include <assimp/postprocess.h>
#include <assimp/scene.h>

#include <assimp/Importer.hpp>
#endif

namespace vexal {
namespace {

std::string TempPath(const std::string& name) {
  return ::testing::TempDir() + "vexal_3ds_" + name;
}
std::string DataPath(const std::string& name) {
  return std::string(VEXAL_TEST_DATA) + "/3ds/" + name;
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

// Little-endian builder with nested chunks.
struct Bytes {
  std::vector<uint8_t> data;
  Bytes& u8(uint8_t v) {
    data.push_back(v);
    return *this;
  }
  Bytes& u16(uint16_t v) { return u8(static_cast<uint8_t>(v)).u8(static_cast<uint8_t>(v >> 8)); }
  Bytes& u32(uint32_t v) {
    return u16(static_cast<uint16_t>(v)).u16(static_cast<uint16_t>(v >> 16));
  }
  Bytes& f32(float v) {
    uint32_t bits;
    std::memcpy(&bits, &v, 4);
    return u32(bits);
  }
  Bytes& text(const std::string& s) {
    data.insert(data.end(), s.begin(), s.end());
    return u8(0);
  }
  Bytes& chunk(uint16_t id, const Bytes& body) {
    u16(id).u32(static_cast<uint32_t>(body.data.size() + 6));
    data.insert(data.end(), body.data.begin(), body.data.end());
    return *this;
  }
};

Bytes Material(const std::string& name, uint8_t r, uint8_t g, uint8_t b, int percent) {
  return Bytes()
      .chunk(0xA000, Bytes().text(name))
      .chunk(0xA020, Bytes().chunk(0x0011, Bytes().u8(r).u8(g).u8(b)))
      .chunk(0xA050, Bytes().chunk(0x0030, Bytes().u16(static_cast<uint16_t>(percent))));
}

// An object of one triangle per three vertices, painted with `material`
// on the listed faces.
Bytes Object(const std::string& name, const std::vector<float>& xyz,
             const std::vector<uint16_t>& faces, const std::string& material,
             const std::vector<uint16_t>& painted) {
  Bytes vertices;
  vertices.u16(static_cast<uint16_t>(xyz.size() / 3));
  for (float v : xyz) vertices.f32(v);
  Bytes faceMaterial;
  faceMaterial.text(material).u16(static_cast<uint16_t>(painted.size()));
  for (uint16_t f : painted) faceMaterial.u16(f);
  Bytes faceList;
  faceList.u16(static_cast<uint16_t>(faces.size() / 3));
  for (size_t i = 0; i < faces.size(); ++i) {
    faceList.u16(faces[i]);
    if (i % 3 == 2) faceList.u16(7);
  }
  faceList.chunk(0x4130, faceMaterial);
  return Bytes().text(name).chunk(0x4100, Bytes().chunk(0x4110, vertices).chunk(0x4120, faceList));
}

std::vector<uint8_t> File(const Bytes& editorContent) {
  return Bytes().chunk(0x4D4D, Bytes().chunk(0x3D3D, editorContent)).data;
}

// Two objects of one triangle each; the second is painted with the second
// material, so its face number 0 must be offset by the first object's face.
Bytes TwoObjects() {
  return Bytes()
      .chunk(0xAFFF, Material("red", 255, 0, 0, 0))
      .chunk(0xAFFF, Material("blue", 0, 0, 200, 100))
      .chunk(0x4000, Object("a", {0, 0, 0, 1, 0, 0, 0, 1, 0}, {0, 1, 2}, "red", {0}))
      .chunk(0x4000, Object("b", {0, 0, 1, 1, 0, 1, 0, 1, 1}, {0, 1, 2}, "blue", {0}));
}

// A parsed chunk of our own output, for checking the writer.
struct Node {
  uint16_t id = 0;
  std::vector<uint8_t> body;
  uint16_t u16(size_t at) const { return static_cast<uint16_t>(body[at] | body[at + 1] << 8); }
  uint32_t u32(size_t at) const { return u16(at) | static_cast<uint32_t>(u16(at + 2)) << 16; }
  float f32(size_t at) const {
    const uint32_t bits = u32(at);
    float v;
    std::memcpy(&v, &bits, 4);
    return v;
  }
  std::string text(size_t at = 0) const {
    return std::string(reinterpret_cast<const char*>(&body[at]));
  }
  // The chunks that start at byte `from` of the body and fill the rest.
  std::vector<Node> children(size_t from = 0) const {
    std::vector<Node> out;
    while (from + 6 <= body.size()) {
      const uint32_t size = u32(from + 2);
      if (size < 6 || from + size > body.size()) {
        ADD_FAILURE() << "bad chunk size " << size;
        break;
      }
      out.push_back(Node{u16(from),
                         {body.begin() + static_cast<long>(from + 6),
                          body.begin() + static_cast<long>(from + size)}});
      from += size;
    }
    EXPECT_EQ(from, body.size()) << "chunk 0x" << std::hex << id << " not filled exactly";
    return out;
  }
  std::vector<uint16_t> ids(size_t from = 0) const {
    std::vector<uint16_t> out;
    for (const Node& n : children(from)) out.push_back(n.id);
    return out;
  }
};

class TdsTest : public ::testing::Test {
 protected:
  std::unique_ptr<Document> document = std::make_unique<Document>();
  Settings settings;
  FormatContext context;
  void SetUp() override { context.settings = &settings; }

  int load(const std::vector<uint8_t>& bytes) {
    const std::string path = TempPath("load.3ds");
    WriteBytes(path, bytes);
    context.reason.clear();
    return Load3dsFile(*document, path, context);
  }
  int loadPath(const std::string& path) {
    context.reason.clear();
    return Load3dsFile(*document, path, context);
  }
  int saveAndReload(const std::string& name) {
    const std::string path = TempPath(name);
    if (!Save3dsFile(*document, path, context)) return 0;
    return loadPath(path);
  }
};

TEST_F(TdsTest, RealFilesGiveTheCountsOfIndependentReaders) {
  struct Expected {
    const char* file;
    int points;
    int surfaces;
  };
  // Distinct positions and triangles as other readers report them.
  const Expected files[] = {
      {"CameraRollAnim.3ds", 8, 12},
      {"RotatingCube.3DS", 8, 12},
      {"cube_with_diffuse_texture.3DS", 8, 12},
      {"cubes_with_alpha.3DS", 40, 60},
      {"fels.3ds", 386, 768},
      {"test1.3ds", 72, 108},
  };
  for (const Expected& e : files) {
    SCOPED_TRACE(e.file);
    ASSERT_EQ(loadPath(DataPath(e.file)), 1) << context.reason;
    const Model& model = document->model;
    EXPECT_EQ(model.pointCount, e.points);
    EXPECT_EQ(model.faceCount, e.surfaces);
    std::string why;
    EXPECT_TRUE(ValidateModel(model, &why, true)) << why;
  }

  ASSERT_EQ(loadPath(DataPath("test1.3ds")), 1);
  bool textured = false;
  for (const MATERIAL& m : document->model.materials) textured |= TextOf(m.texture) == "IMAGE1.JPG";
  EXPECT_TRUE(textured);
  ASSERT_EQ(loadPath(DataPath("cube_with_diffuse_texture.3DS")), 1);
  EXPECT_EQ(TextOf(document->model.materials[1].name), "01 - Default");
  EXPECT_EQ(TextOf(document->model.materials[1].texture), "TEST.PNG");
  EXPECT_EQ(document->model.materials[1].light, (std::array<int32_t, 4>{150, 150, 150, 255}));
  EXPECT_EQ(document->model.materials[1].dark, (std::array<int32_t, 4>{75, 75, 75, 255}));
  for (int s = 1; s <= document->model.faceCount; ++s)
    EXPECT_EQ(document->model.faces[s].material, 1);
  ASSERT_EQ(loadPath(DataPath("cubes_with_alpha.3DS")), 1);
  std::set<int> opacities;
  for (int m = 1; m <= 5; ++m) opacities.insert(document->model.materials[m].light[3]);
  EXPECT_GT(opacities.size(), 1u) << "transparency chunks were not read";
}

TEST_F(TdsTest, WritesTheDocumentedChunkTree) {
  Model& model = document->model;
  testing::UnitQuad(model);
  model.faces[1].material = 2;
  SetText(model.materials[2].name, "brick wall material");  // cut to 16
  SetText(model.materials[2].texture, "C:\\maps\\brick.png");
  SetMaterialColors(model, 2, 100, 200, 40, 0, 0, 0, 0, 0);
  SetMaterialColors(model, 5, 1, 2, 3, 255, 0, 0, 0, 255);
  ASSERT_EQ(ChooseQuadSplit(model, 1), 0);
  settings.TdsExportScale = 2.0f;

  const std::string path = TempPath("tree.3ds");
  ASSERT_EQ(Save3dsFile(*document, path, context), 1) << context.reason;
  const std::vector<uint8_t> bytes = ReadBytes(path);
  const Node file{0, bytes};
  const std::vector<Node> top = file.children();
  ASSERT_EQ(top.size(), 1u);
  const Node& main = top[0];
  EXPECT_EQ(main.id, 0x4D4D);
  ASSERT_EQ(main.ids(), (std::vector<uint16_t>{0x0002, 0x3D3D}));
  EXPECT_EQ(main.children()[0].u32(0), 3u);
  const std::vector<Node> editor = main.children()[1].children();
  ASSERT_EQ(editor.size(), 2u + 15u + 1u);
  EXPECT_EQ(editor[0].id, 0x3D3E);
  EXPECT_EQ(editor[0].u32(0), 3u);
  EXPECT_EQ(editor[1].id, 0x0100);
  EXPECT_EQ(editor[1].f32(0), 1.0f);

  const std::vector<uint16_t> plain = {0xA000, 0xA010, 0xA020, 0xA030, 0xA040, 0xA041, 0xA050};
  std::vector<uint16_t> textured = plain;
  textured.push_back(0xA200);
  for (int m = 0; m < 15; ++m) {
    const Node& block = editor[2 + static_cast<size_t>(m)];
    ASSERT_EQ(block.id, 0xAFFF);
    EXPECT_EQ(block.ids(), m == 2 ? textured : plain) << m;
  }
  auto colour = [](const Node& chunk) {
    const std::vector<Node> forms = chunk.children();
    EXPECT_EQ(forms.size(), 2u);
    EXPECT_EQ(forms[0].id, 0x0011);
    EXPECT_EQ(forms[1].id, 0x0012);
    EXPECT_EQ(forms[0].body, forms[1].body);
    return forms[0].body;
  };
  auto percent = [](const Node& chunk) {
    const std::vector<Node> forms = chunk.children();
    EXPECT_EQ(forms.size(), 1u);
    EXPECT_EQ(forms[0].id, 0x0030);
    return forms[0].u16(0);
  };
  const std::vector<Node> brick = editor[4].children();
  EXPECT_EQ(brick[0].body.size(), 17u);
  EXPECT_EQ(brick[0].text(), "brick wall mater");
  EXPECT_EQ(colour(brick[1]), (std::vector<uint8_t>{25, 50, 10}));
  EXPECT_EQ(colour(brick[2]), (std::vector<uint8_t>{100, 200, 40}));
  EXPECT_EQ(colour(brick[3]), (std::vector<uint8_t>{255, 255, 255}));
  EXPECT_EQ(percent(brick[4]), 0);
  EXPECT_EQ(percent(brick[5]), 0);
  EXPECT_EQ(percent(brick[6]), 100);               // opacity 0
  EXPECT_EQ(percent(editor[7].children()[6]), 0);  // material 5, opacity 255
  const std::vector<Node> map = brick[7].children();
  ASSERT_EQ(map.size(), 2u);
  EXPECT_EQ(map[0].id, 0x0030);
  EXPECT_EQ(map[0].u16(0), 100);
  EXPECT_EQ(map[1].id, 0xA300);
  EXPECT_EQ(map[1].text(), "brick.png");

  const Node& object = editor.back();
  ASSERT_EQ(object.id, 0x4000);
  EXPECT_EQ(object.text(), "default");
  const std::vector<Node> objectChunks = object.children(8);
  ASSERT_EQ(objectChunks.size(), 1u);
  ASSERT_EQ(objectChunks[0].id, 0x4100);
  const std::vector<Node> mesh = objectChunks[0].children();
  ASSERT_EQ(mesh.size(), 3u);
  ASSERT_EQ(mesh[0].id, 0x4110);
  ASSERT_EQ(mesh[1].id, 0x4140);
  ASSERT_EQ(mesh[2].id, 0x4120);

  // Split along corner 1 - corner 3: (c0, c1, c3) and (c1, c2, c3), each
  // point written as (x, -z, y) x 2.
  const int corners[6] = {1, 2, 4, 2, 3, 4};
  ASSERT_EQ(mesh[0].u16(0), 6);
  ASSERT_EQ(mesh[0].body.size(), 2u + 6 * 12);
  ASSERT_EQ(mesh[1].u16(0), 6);
  for (int i = 0; i < 6; ++i) {
    const VECTOR& p = model.points[corners[i]].position;
    EXPECT_EQ(mesh[0].f32(2 + 12 * i), p.x * 2) << i;
    EXPECT_EQ(mesh[0].f32(6 + 12 * i), -p.z * 2) << i;
    EXPECT_EQ(mesh[0].f32(10 + 12 * i), p.y * 2) << i;
    const UV& uv = model.faces[1].uv[static_cast<size_t>(corners[i] - 1)];
    EXPECT_EQ(mesh[1].f32(2 + 8 * i), uv.u) << i;
    EXPECT_EQ(mesh[1].f32(6 + 8 * i), uv.v) << i;
  }
  const Node& faces = mesh[2];
  ASSERT_EQ(faces.u16(0), 2);
  const uint16_t expectedFaces[8] = {0, 1, 2, 7, 3, 4, 5, 7};
  for (int i = 0; i < 8; ++i)
    EXPECT_EQ(faces.u16(2 + 2 * static_cast<size_t>(i)), expectedFaces[i]);
  const std::vector<Node> faceMaterials = faces.children(18);
  ASSERT_EQ(faceMaterials.size(), 1u);
  EXPECT_EQ(faceMaterials[0].id, 0x4130);
  EXPECT_EQ(faceMaterials[0].text(), "brick wall mater");
  EXPECT_EQ(faceMaterials[0].body.size(), 17u + 2 + 4);
  EXPECT_EQ(faceMaterials[0].u16(17), 2);
  EXPECT_EQ(faceMaterials[0].u16(19), 0);
  EXPECT_EQ(faceMaterials[0].u16(21), 1);
}

TEST_F(TdsTest, QuadRoundTripGivesTwoTrianglesAndShiftsTheMaterial) {
  Model& model = document->model;
  testing::UnitQuad(model);
  model.faces[1].material = 3;
  SetFaceUV(model, 1, UV(0.1f, 0.2f), UV(0.9f, 0.2f), UV(0.9f, 0.8f), UV(0.1f, 0.8f));
  SetText(model.materials[3].name, "paint");
  SetMaterialColors(model, 3, 10, 21, 33, 255, 0, 0, 0, 255);
  Document original;
  original.model = model;

  ASSERT_EQ(saveAndReload("quad.3ds"), 1) << context.reason;
  std::string why;
  ASSERT_TRUE(ValidateModel(model, &why, true)) << why;
  EXPECT_EQ(model.pointCount, 4);
  EXPECT_EQ(model.lineCount, 5);
  ASSERT_EQ(model.faceCount, 2);
  // Points are renumbered by the merge; match them to the quad's by position.
  auto quadCorner = [&](int32_t point) {
    for (size_t c = 0; c < 4; ++c) {
      if (original.model.points[c + 1].position == model.points[point].position) return c;
    }
    ADD_FAILURE() << "point " << point << " is not a corner of the quad";
    return size_t{0};
  };
  std::set<size_t> seen;
  for (int p = 1; p <= 4; ++p) seen.insert(quadCorner(p));
  EXPECT_EQ(seen.size(), 4u);
  for (int s = 1; s <= 2; ++s) {
    const FACE& face = model.faces[s];
    EXPECT_EQ(face.material, 4);
    for (size_t c = 0; c < 3; ++c) {
      const UV& was = original.model.faces[1].uv[quadCorner(face.corners[c])];
      EXPECT_EQ(face.uv[c].u, was.u);
      EXPECT_EQ(face.uv[c].v, was.v);
    }
    // Same facing as the quad (normal along +z or -z, as the original).
    const VECTOR n = TriangleNormal(model.points[face.corners[0]].position,
                                    model.points[face.corners[1]].position,
                                    model.points[face.corners[2]].position);
    const VECTOR m =
        TriangleNormal(original.model.points[1].position, original.model.points[2].position,
                       original.model.points[3].position);
    EXPECT_GT(n.dot(m), 0.99f);
  }
  const MATERIAL& m = model.materials[4];
  EXPECT_EQ(TextOf(m.name), "paint");
  EXPECT_EQ(m.light, (std::array<int32_t, 4>{10, 21, 33, 255}));
  EXPECT_EQ(m.dark, (std::array<int32_t, 4>{5, 10, 16, 255}));
  // Material k of the file comes back as palette entry k + 1 for k < 14.
  EXPECT_EQ(TextOf(model.materials[1].name), "mat_00");
  EXPECT_EQ(TextOf(model.materials[14].name), "mat_13");
}

TEST_F(TdsTest, TransparencyAndTextureNamesSurviveARoundTrip) {
  Model& model = document->model;
  testing::UnitQuad(model);
  for (auto [material, opacity] : {std::pair{0, 0}, {1, 255}, {2, 128}, {3, 1}}) {
    model.materials[static_cast<size_t>(material)].light[3] = opacity;
  }
  SetText(model.materials[0].texture, "maps/photo_large.jpeg");
  SetText(model.materials[1].texture, "short.tga");
  SetText(model.materials[2].texture, "noext");
  ASSERT_EQ(saveAndReload("alpha.3ds"), 1) << context.reason;
  EXPECT_EQ(model.materials[1].light[3], 0);  // 100 % reads back as fully transparent
  EXPECT_EQ(model.materials[1].dark[3], 0);
  EXPECT_EQ(model.materials[2].light[3], 255);
  EXPECT_EQ(model.materials[3].light[3], 131);  // 49 %
  EXPECT_EQ(model.materials[4].light[3], 0 + 255 - 99 * 255 / 100);
  // A name without an 8.3 form is shortened so that the file stays readable.
  EXPECT_EQ(TextOf(model.materials[1].texture), "photo_la.jpe");
  EXPECT_EQ(TextOf(model.materials[2].texture), "short.tga");
  EXPECT_EQ(TextOf(model.materials[3].texture), "noext");
  EXPECT_FALSE(context.warnings.empty());
}

TEST_F(TdsTest, MaterialsOfTheSameNameKeepTheirOwnFacesThroughARoundTrip) {
  Model& model = document->model;
  testing::ClosedCube(model);
  // Materials 2 and 5 share a name; 6 and 7 share their first 16 characters.
  const std::pair<int, const char*> named[] = {
      {2, "skin"}, {5, "skin"}, {6, "a very long name one"}, {7, "a very long name two"}};
  for (auto [material, name] : named)
    SetText(model.materials[static_cast<size_t>(material)].name, name);
  const int painted[7] = {0, 2, 5, 6, 7, 0, 1};
  for (int s = 1; s <= 6; ++s) model.faces[s].material = painted[s];
  ASSERT_EQ(saveAndReload("names.3ds"), 1) << context.reason;
  ASSERT_EQ(model.faceCount, 12);
  std::set<std::string> names;
  for (int m = 1; m <= 14; ++m) names.insert(std::string(TextOf(model.materials[m].name)));
  EXPECT_EQ(names.size(), 14u);
  EXPECT_EQ(TextOf(model.materials[3].name), "skin");
  EXPECT_EQ(TextOf(model.materials[6].name), "skin~5");
  EXPECT_EQ(TextOf(model.materials[7].name), "a very long name");
  EXPECT_EQ(TextOf(model.materials[8].name), "a very long na~7");
  std::multiset<int> used;
  for (int s = 1; s <= model.faceCount; ++s) used.insert(model.faces[s].material);
  for (int material : {1, 2, 3, 6, 7, 8}) EXPECT_EQ(used.count(material), 2u) << material;
}

TEST_F(TdsTest, FaceMaterialsOfALaterObjectAreOffsetByTheFacesBeforeIt) {
  ASSERT_EQ(load(File(TwoObjects())), 1) << context.reason;
  const Model& model = document->model;
  ASSERT_EQ(model.faceCount, 2);
  EXPECT_EQ(model.faces[1].material, 1);
  EXPECT_EQ(model.faces[2].material, 2);
  EXPECT_EQ(model.materials[1].light, (std::array<int32_t, 4>{255, 0, 0, 255}));
  EXPECT_EQ(model.materials[2].light, (std::array<int32_t, 4>{0, 0, 200, 0}));
  EXPECT_EQ(model.materials[2].dark, (std::array<int32_t, 4>{0, 0, 100, 0}));
  // File (x, y, z) becomes (x, z, -y): the second object's z = 1 is y = 1.
  EXPECT_EQ(model.points[model.faces[2].corners[2]].position, VECTOR(0, 1, -1));
}

TEST_F(TdsTest, MappingCoordinatesAreReadBesideAndInsideTheFaceList) {
  Bytes uv;
  uv.u16(3).f32(0.25f).f32(0.5f).f32(1).f32(0).f32(0).f32(1);
  Bytes vertices;
  vertices.u16(3);
  for (float v : {0.f, 0.f, 0.f, 1.f, 0.f, 0.f, 0.f, 1.f, 0.f}) vertices.f32(v);
  Bytes faces;
  faces.u16(1).u16(0).u16(1).u16(2).u16(0);
  for (bool inside : {false, true}) {
    SCOPED_TRACE(inside ? "inside" : "beside");
    Bytes faceList = faces;
    if (inside) faceList.chunk(0x4140, uv);
    Bytes mesh;
    mesh.chunk(0x4110, vertices);
    if (!inside) mesh.chunk(0x4140, uv);
    mesh.chunk(0x4120, faceList);
    ASSERT_EQ(load(File(Bytes().chunk(0x4000, Bytes().text("o").chunk(0x4100, mesh)))), 1)
        << context.reason;
    const FACE& face = document->model.faces[1];
    EXPECT_EQ(face.uv[0].u, 0.25f);
    EXPECT_EQ(face.uv[0].v, 0.5f);
    EXPECT_EQ(face.uv[2].v, 1.0f);
    EXPECT_EQ(face.uv[3].u, 0.25f);
  }
}

TEST_F(TdsTest, ReaderRefusesBrokenFilesWithoutTouchingTheModel) {
  struct Case {
    const char* what;
    std::vector<uint8_t> bytes;
  };
  const std::vector<float> triangle = {0, 0, 0, 1, 0, 0, 0, 1, 0};
  auto withObject = [&](const Bytes& object) { return File(Bytes().chunk(0x4000, object)); };
  auto withMap = [&](const std::string& name) {
    return File(
        Bytes().chunk(0xAFFF, Bytes()
                                  .chunk(0xA000, Bytes().text("m"))
                                  .chunk(0xA200, Bytes().chunk(0xA300, Bytes().text(name)))));
  };
  std::vector<Case> cases = {
      {"empty file", {}},
      {"no main chunk", Bytes().chunk(0x3D3D, Bytes()).data},
      {"vertex number outside the object", withObject(Object("o", triangle, {0, 1, 3}, "x", {}))},
      {"face number outside the object", withObject(Object("o", triangle, {0, 1, 2}, "x", {1}))},
      {"object name of 17 characters",
       withObject(Object(std::string(17, 'o'), triangle, {0, 1, 2}, "x", {}))},
      {"material name of 17 characters",
       File(Bytes().chunk(0xAFFF, Bytes().chunk(0xA000, Bytes().text(std::string(17, 'm')))))},
      {"map name base of 9 characters", withMap("ABCDEFGHI.JP")},
      {"map name extension of 4 letters", withMap("ABC.JPEG")},
      {"map name of 13 characters", withMap("ABCDEFGHIJKLM")},
      {"non-finite vertex",
       withObject(Object("o", {0, 0, 0, 1, 0, 0, 0, NAN, 0}, {0, 1, 2}, "x", {}))},
  };
  std::vector<uint8_t> overrun = File(TwoObjects());
  overrun[8] += 1;  // the editor chunk claims one byte more than the main chunk holds
  cases.push_back({"chunk overrunning its parent", overrun});
  std::vector<uint8_t> shortVertices = withObject(Object("o", triangle, {0, 1, 2}, "x", {}));
  shortVertices[6 + 6 + 6 + 2 + 6 + 6] = 200;  // vertex count larger than the chunk
  cases.push_back({"vertex count beyond the chunk", shortVertices});

  for (const Case& c : cases) {
    testing::ClosedCube(document->model);
    EXPECT_EQ(load(c.bytes), 0) << c.what;
    EXPECT_FALSE(context.reason.empty()) << c.what;
    EXPECT_EQ(document->model.pointCount, 8) << c.what;
    EXPECT_EQ(document->model.faceCount, 6) << c.what;
  }
}

TEST_F(TdsTest, WriterRefusesModelsBeyondTheSixteenBitVertexCount) {
  Model& model = document->model;
  const std::string path = TempPath("limit.3ds");
  testing::QuadTorus(model, 105, 104);  // 21840 triangles: 65520 vertices
  ASSERT_EQ(Save3dsFile(*document, path, context), 1) << context.reason;
  const size_t size = ReadBytes(path).size();
  testing::QuadTorus(model, 105, 105);  // 22050 triangles
  EXPECT_EQ(Save3dsFile(*document, path, context), 0);
  EXPECT_NE(context.reason.find("65535"), std::string::npos) << context.reason;
  EXPECT_EQ(ReadBytes(path).size(), size);
}

TEST_F(TdsTest, EveryPrefixAndEveryByteFlipOfARealFileIsHandled) {
  const std::vector<uint8_t> file = ReadBytes(DataPath("cube_with_diffuse_texture.3DS"));
  ASSERT_EQ(file.size(), 1423u);
  for (size_t length = 0; length < file.size(); length += 7) {
    EXPECT_EQ(load(std::vector<uint8_t>(file.begin(), file.begin() + static_cast<long>(length))), 0)
        << "prefix " << length;
  }
  for (size_t i = 0; i < file.size(); ++i) {
    std::vector<uint8_t> bytes = file;
    bytes[i] ^= static_cast<uint8_t>(0x81 + i % 64);
    if (load(bytes) == 1) {
      std::string why;
      ASSERT_TRUE(ValidateModel(document->model, &why)) << "flip at " << i << ": " << why;
    }
  }
}

#ifdef VEXAL_HAVE_ASSIMP
TEST_F(TdsTest, AssimpReadsOurExportWithTheSameCountsAndBox) {
  Model& model = document->model;
  testing::QuadTorus(model, 12, 20);
  for (int s = 1; s <= model.faceCount; ++s) model.faces[s].material = s % 4;
  model.faces[1].material = kGuideMaterial;
  const std::string path = TempPath("assimp.3ds");
  ASSERT_EQ(Save3dsFile(*document, path, context), 1) << context.reason;

  Assimp::Importer importer;
  const aiScene* scene = importer.ReadFile(path, 0);
  ASSERT_NE(scene, nullptr) << importer.GetErrorString();
  unsigned vertices = 0, faces = 0;
  VECTOR low(1e9f, 1e9f, 1e9f), high(-1e9f, -1e9f, -1e9f);
  for (unsigned m = 0; m < scene->mNumMeshes; ++m) {
    const aiMesh* mesh = scene->mMeshes[m];
    vertices += mesh->mNumVertices;
    faces += mesh->mNumFaces;
    for (unsigned v = 0; v < mesh->mNumVertices; ++v) {
      const aiVector3D& p = mesh->mVertices[v];
      low = VECTOR(std::min(low.x, p.x), std::min(low.y, p.y), std::min(low.z, p.z));
      high = VECTOR(std::max(high.x, p.x), std::max(high.y, p.y), std::max(high.z, p.z));
    }
  }
  const int triangles = 2 * (model.faceCount - 1);
  EXPECT_EQ(faces, static_cast<unsigned>(triangles));
  EXPECT_EQ(vertices, static_cast<unsigned>(3 * triangles));
  // Our box in file axes (x, -z, y).
  VECTOR ourLow(1e9f, 1e9f, 1e9f), ourHigh(-1e9f, -1e9f, -1e9f);
  for (int s = 2; s <= model.faceCount; ++s) {
    for (int32_t corner : model.faces[s].corners) {
      const VECTOR& p = model.points[corner].position;
      const VECTOR q(p.x, -p.z, p.y);
      ourLow = VECTOR(std::min(ourLow.x, q.x), std::min(ourLow.y, q.y), std::min(ourLow.z, q.z));
      ourHigh =
          VECTOR(std::max(ourHigh.x, q.x), std::max(ourHigh.y, q.y), std::max(ourHigh.z, q.z));
    }
  }
  for (auto [a, b] : {std::pair{low.x, ourLow.x},
                      {low.y, ourLow.y},
                      {low.z, ourLow.z},
                      {high.x, ourHigh.x},
                      {high.y, ourHigh.y},
                      {high.z, ourHigh.z}}) {
    EXPECT_NEAR(a, b, 1e-4f);
  }
}
#endif

}  // namespace
}  // namespace vexal
