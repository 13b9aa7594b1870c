// DXF reader and both writers: real files from other programs, the surface
// rules (triangle detection, merging, invisible-edge quads, layers), the axis
// and scale settings, exact writer output, round trips, hostile files and
// assimp reading our exports.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "formats/dxf_format.h"
#include "model/document.h"
#include "model/maintenance.h"
#include "model/validate.h"
#include "settings/settings.h"
#include "support/test_models.h"

#ifdef VEXAL_HAVE_ASSIMP
#include <assimp/Importer.hpp>
#include <assimp/postprocess.h>
#include <assimp/scene.h>
#endif

namespace vexal {
namespace {

std::string TempPath(const std::string& name) { return ::testing::TempDir() + "vexal_dxf_" + name; }
std::string DataPath(const std::string& name) { return std::string(VEXAL_TEST_DATA) + "/dxf/" + name; }

void WriteText(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary).write(text.data(), static_cast<std::streamsize>(text.size()));
}

std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Group code / value pairs, LF line ends unless the caller adds CRs.
std::string Pairs(const std::vector<std::pair<int, std::string>>& pairs) {
  std::string text;
  for (const auto& [code, value] : pairs) text += std::to_string(code) + "\n" + value + "\n";
  return text;
}

std::string Face3D(const std::string& layer, const std::array<std::array<double, 3>, 4>& c) {
  std::vector<std::pair<int, std::string>> pairs{{0, "3DFACE"}, {8, layer}};
  for (int k = 0; k < 4; ++k) {
    for (int axis = 0; axis < 3; ++axis) {
      pairs.push_back({10 * (axis + 1) + k, std::to_string(c[static_cast<size_t>(k)][static_cast<size_t>(axis)])});
    }
  }
  return Pairs(pairs);
}

std::string Vertex(const std::string& layer, double x, double y, double z) {
  return Pairs({{0, "VERTEX"}, {8, layer}, {10, std::to_string(x)}, {20, std::to_string(y)},
                {30, std::to_string(z)}, {70, "192"}});
}

std::string FaceRecord(const std::string& layer, std::array<int, 4> index) {
  std::vector<std::pair<int, std::string>> pairs{{0, "VERTEX"}, {8, layer}, {10, "0"}, {20, "0"},
                                                 {30, "0"}, {70, "128"}};
  for (int k = 0; k < 4; ++k) {
    if (index[static_cast<size_t>(k)] != 0) pairs.push_back({71 + k, std::to_string(index[static_cast<size_t>(k)])});
  }
  return Pairs(pairs);
}

std::string Entities(const std::string& body) {
  return Pairs({{0, "SECTION"}, {2, "ENTITIES"}}) + body + Pairs({{0, "ENDSEC"}, {0, "EOF"}});
}

std::string Polyline(const std::string& body) {
  return Pairs({{0, "POLYLINE"}, {8, "0"}, {66, "1"}, {70, "64"}}) + body + Pairs({{0, "SEQEND"}});
}

class DxfTest : public ::testing::Test {
 protected:
  std::unique_ptr<Document> document = std::make_unique<Document>();
  Settings settings;
  FormatContext context;
  void SetUp() override {
    context.settings = &settings;
    settings.DxfRotateImport = 0;
    settings.DxfRotateExport = 0;
  }

  int loadText(const std::string& text, const std::string& name = "load.dxf") {
    const std::string path = TempPath(name);
    WriteText(path, text);
    return loadPath(path);
  }
  int loadPath(const std::string& path) {
    context.reason.clear();
    context.warnings.clear();
    return LoadDxfFile(*document, path, context);
  }
  void expectValid(bool lineReferences = true) {
    std::string why;
    EXPECT_TRUE(ValidateModel(document->model, &why, lineReferences)) << why;
  }
  const Model& model() const { return document->model; }
};

struct Bounds {
  VECTOR low{1e30f, 1e30f, 1e30f};
  VECTOR high{-1e30f, -1e30f, -1e30f};
};

Bounds BoundsOf(const Model& model) {
  Bounds b;
  for (int i = 1; i <= model.pointCount; ++i) {
    const VECTOR& p = model.points[i].position;
    b.low.set(std::min(b.low.x, p.x), std::min(b.low.y, p.y), std::min(b.low.z, p.z));
    b.high.set(std::max(b.high.x, p.x), std::max(b.high.y, p.y), std::max(b.high.z, p.z));
  }
  return b;
}

int CountQuads(const Model& model) {
  int quads = 0;
  for (int f = 1; f <= model.faceCount; ++f) quads += IsQuad(model.faces[f]) ? 1 : 0;
  return quads;
}

// Real files. Counts agree with the independent readers of the corpus:
// PinkEgg has 266 distinct positions (assimp) and 240 quads + 48 triangles
// (Blender: the 48 faces that repeat a corner become triangles); wuson's
// mesh sits in a BLOCK with 3205 vertices and 3732 triangles (ezdxf);
// issue_2229 has 768 vertices, 1060 triangle and 230 quad records (ezdxf),
// and no two one-invisible-edge triangles share their invisible edge.
TEST_F(DxfTest, RealFilesLoadWithTheCountsOfIndependentReaders) {
  struct Expected {
    const char* file;
    int points, triangles, quads;
  };
  for (const Expected& e : {Expected{"PinkEggFromLW.dxf", 266, 48, 240}, Expected{"wuson.dxf", 3205, 3732, 0},
                            Expected{"issue_2229.dxf", 768, 1060, 230}, Expected{"lineTest.dxf", 5, 1, 1}}) {
    SCOPED_TRACE(e.file);
    ASSERT_EQ(loadPath(DataPath(e.file)), 1) << context.reason;
    EXPECT_EQ(model().pointCount, e.points);
    EXPECT_EQ(CountQuads(model()), e.quads);
    EXPECT_EQ(model().faceCount - CountQuads(model()), e.triangles);
    expectValid();
  }
}

TEST_F(DxfTest, RealFilesKeepTheirExtentThroughTheImportRotation) {
  // assimp's box of PinkEgg (file axes): (-2.15, -2.1, -2.5) .. (2.15, 2.1, 2.6).
  settings.DxfRotateImport = 1;
  ASSERT_EQ(loadPath(DataPath("PinkEggFromLW.dxf")), 1) << context.reason;
  const Bounds b = BoundsOf(model());
  EXPECT_FLOAT_EQ(b.low.x, -2.15f);
  EXPECT_FLOAT_EQ(b.high.x, 2.15f);
  EXPECT_FLOAT_EQ(b.low.y, -2.5f);  // file z
  EXPECT_FLOAT_EQ(b.high.y, 2.6f);
  EXPECT_FLOAT_EQ(b.low.z, -2.1f);  // minus file y
  EXPECT_FLOAT_EQ(b.high.z, 2.1f);

  // The 3DFACEs among text, polylines and blocks of a 2018 file load too.
  ASSERT_EQ(loadPath(DataPath("3dface.dxf")), 1) << context.reason;
  EXPECT_GT(model().faceCount, 0);
  expectValid();
}

TEST_F(DxfTest, FileWithoutSurfaceEntitiesIsRefusedAndTheModelKept) {
  testing::ClosedCube(document->model);
  EXPECT_EQ(loadPath(DataPath("points.dxf")), 0);
  EXPECT_NE(context.reason.find("no 3DFACE or POLYLINE"), std::string::npos) << context.reason;
  EXPECT_EQ(loadPath(TempPath("does-not-exist.dxf")), 0);
  EXPECT_FALSE(context.reason.empty());
  EXPECT_EQ(model().pointCount, 8);
  EXPECT_EQ(model().faceCount, 6);
}

// Two 3DFACEs of one square (the second's fourth corner repeats its third):
//   4 --- 3
//   |   / |
//   | /   |
//   1 --- 2
TEST_F(DxfTest, FacesWithARepeatedFourthCornerAreTrianglesSharingMergedPoints) {
  const std::string text = Entities(Face3D("A", {{{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {1, 1, 0}}}) +
                                    Face3D("A", {{{0, 0, 0}, {1, 1, 0}, {0, 1, 0}, {0, 1, 0}}}));
  ASSERT_EQ(loadText(text), 1) << context.reason;
  EXPECT_EQ(model().pointCount, 4);
  EXPECT_EQ(model().faceCount, 2);
  EXPECT_EQ(CountQuads(model()), 0);
  EXPECT_EQ(model().lineCount, 5);
  expectValid();
  // Same corners as written, in the file's order.
  const FACE& second = model().faces[2];
  EXPECT_EQ(model().points[second.corners[1]].position, VECTOR(1, 1, 0));
  EXPECT_EQ(model().points[second.corners[2]].position, VECTOR(0, 1, 0));

  // A fourth corner that differs from the third makes a quad; one that is
  // absent makes a triangle.
  const std::string quad = Entities(Face3D("A", {{{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}}}));
  ASSERT_EQ(loadText(quad), 1);
  EXPECT_EQ(CountQuads(model()), 1);
  const std::string three = Entities(Pairs({{0, "3DFACE"}, {10, "0"}, {20, "0"}, {30, "0"}, {11, "1"},
                                            {21, "0"}, {31, "0"}, {12, "1"}, {22, "1"}, {32, "0"}}));
  ASSERT_EQ(loadText(three), 1);
  EXPECT_EQ(model().pointCount, 3);
  EXPECT_EQ(CountQuads(model()), 0);
}

TEST_F(DxfTest, ImportScaleAndRotationApplyToEveryPoint) {
  const std::string text = Entities(Face3D("A", {{{1, 2, 3}, {4, 5, 6}, {7, 8, 10}, {7, 8, 10}}}));
  settings.DxfRotateImport = 1;
  ASSERT_EQ(loadText(text), 1);
  EXPECT_EQ(model().points[1].position, VECTOR(1, 3, -2));
  settings.DxfRotateImport = 0;
  settings.DxfImportScale = 2.0f;
  ASSERT_EQ(loadText(text), 1);
  EXPECT_EQ(model().points[1].position, VECTOR(2, 4, 6));
  // The rotation keeps the winding: the face normal turns with the points.
  settings.DxfImportScale = 1.0f;
  settings.DxfRotateImport = 1;
  ASSERT_EQ(loadText(Entities(Face3D("A", {{{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {1, 1, 0}}}))), 1);
  RefreshNormals(document->model, kNormalsFace, true);
  const VECTOR n = model().faces[1].normal;
  EXPECT_NEAR(std::abs(n.y), 1.0f, 1e-6f);
}

TEST_F(DxfTest, LayersNumberedInOrderOfAppearanceSelectMaterials) {
  std::string body;
  const std::array<std::array<double, 3>, 4> tri{{{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {1, 1, 0}}};
  // A, B, A, then 14 more new names (layers 2..15), then A again.
  std::vector<std::string> layers{"A", "B", "A"};
  for (int i = 2; i <= 15; ++i) layers.push_back("L" + std::to_string(i));
  layers.push_back("A");
  for (size_t i = 0; i < layers.size(); ++i) {
    auto c = tri;
    for (auto& corner : c) corner[2] = static_cast<double>(i);  // keep faces apart
    body += Face3D(layers[i], c);
  }
  ASSERT_EQ(loadText(Entities(body)), 1) << context.reason;
  ASSERT_EQ(model().faceCount, static_cast<int>(layers.size()));
  EXPECT_EQ(model().faces[1].material, 0);
  EXPECT_EQ(model().faces[2].material, 1);
  EXPECT_EQ(model().faces[3].material, 0);
  EXPECT_EQ(model().faces[4].material, 2);    // layer 2
  EXPECT_EQ(model().faces[16].material, 14);  // layer 14
  EXPECT_EQ(model().faces[17].material, 0);   // layer 15: 15 mod 15
  EXPECT_EQ(model().faces[18].material, 0);

  // Past 255 names every new one shares layer 255 (material 0); a later
  // name in the table still finds its own number.
  body.clear();
  for (int i = 0; i < 300; ++i) {
    auto c = tri;
    for (auto& corner : c) corner[2] = i;
    body += Face3D("N" + std::to_string(i), c);
  }
  auto c = tri;
  for (auto& corner : c) corner[2] = 1000;
  body += Face3D("N16", c);
  ASSERT_EQ(loadText(Entities(body)), 1) << context.reason;
  EXPECT_EQ(model().faces[255].material, 254 % 15);
  EXPECT_EQ(model().faces[256].material, 255 % 15);
  EXPECT_EQ(model().faces[300].material, 255 % 15);
  EXPECT_EQ(model().faces[301].material, 16 % 15);
}

// Two triangles of one square split along the invisible diagonal 1-3:
//   4 --- 3
//   |   . |
//   | .   |
//   1 --- 2
TEST_F(DxfTest, PolyfaceTrianglesSharingAnInvisibleEdgeBecomeOneQuad) {
  const std::string mesh = Vertex("M", 0, 0, 0) + Vertex("M", 1, 0, 0) + Vertex("M", 1, 1, 0) +
                           Vertex("M", 0, 1, 0) + FaceRecord("M", {1, 2, -3, 0}) +
                           FaceRecord("M", {-1, 3, 4, 0});
  ASSERT_EQ(loadText(Entities(Polyline(mesh))), 1) << context.reason;
  ASSERT_EQ(model().faceCount, 1);
  const FACE& face = model().faces[1];
  EXPECT_EQ(face.corners, (std::array<int32_t, 4>{1, 2, 3, 4}));
  EXPECT_EQ(model().lineCount, 4);
  expectValid();

  // With two invisible edges a triangle takes its indices as they are and
  // merges with nothing.
  const std::string two = Vertex("M", 0, 0, 0) + Vertex("M", 1, 0, 0) + Vertex("M", 1, 1, 0) +
                          Vertex("M", 0, 1, 0) + FaceRecord("M", {1, -2, -3, 0}) +
                          FaceRecord("M", {-1, 3, 4, 0});
  ASSERT_EQ(loadText(Entities(Polyline(two))), 1) << context.reason;
  EXPECT_EQ(model().faceCount, 2);
  EXPECT_EQ(model().lineCount, 5);
  expectValid();
}

// A face record naming a vertex twice in a row keeps the rest as a
// triangle; one without three distinct vertices is skipped with a warning.
TEST_F(DxfTest, PolyfaceRecordsWithRepeatedVerticesCollapseOrAreSkipped) {
  const std::string mesh = Vertex("M", 0, 0, 0) + Vertex("M", 1, 0, 0) + Vertex("M", 1, 1, 0) +
                           Vertex("M", 0, 1, 0) + FaceRecord("M", {1, 1, 2, 3}) +
                           FaceRecord("M", {1, 2, 1, 4}) + FaceRecord("M", {2, 3, 4, 0});
  ASSERT_EQ(loadText(Entities(Polyline(mesh))), 1) << context.reason;
  ASSERT_EQ(model().faceCount, 2);
  EXPECT_EQ(model().faces[1].corners, (std::array<int32_t, 4>{1, 2, 3, 1}));
  EXPECT_FALSE(IsQuad(model(), 2));
  expectValid();
  ASSERT_EQ(context.warnings.size(), 1u);
  EXPECT_NE(context.warnings[0].find("1 face records"), std::string::npos) << context.warnings[0];
}

TEST_F(DxfTest, PolyfaceIndicesCountFromTheirOwnMeshAndLayersPickMaterials) {
  const std::string first = Polyline(Vertex("A", 0, 0, 0) + Vertex("A", 1, 0, 0) + Vertex("A", 0, 1, 0) +
                                     FaceRecord("A", {1, 2, 3, 0}));
  const std::string second = Polyline(Vertex("B", 5, 0, 0) + Vertex("B", 6, 0, 0) + Vertex("B", 6, 1, 0) +
                                      Vertex("B", 5, 1, 0) + FaceRecord("B", {1, 2, 3, 4}));
  ASSERT_EQ(loadText(Entities(first + second)), 1) << context.reason;
  ASSERT_EQ(model().pointCount, 7);
  ASSERT_EQ(model().faceCount, 2);
  EXPECT_EQ(model().faces[1].corners, (std::array<int32_t, 4>{1, 2, 3, 1}));
  EXPECT_EQ(model().faces[2].corners, (std::array<int32_t, 4>{4, 5, 6, 7}));
  EXPECT_EQ(model().faces[1].material, 0);
  EXPECT_EQ(model().faces[2].material, 1);
  expectValid();

  // An index past its own mesh is refused even though the point exists in
  // the model through an earlier mesh; so are 0 and a negative one past it.
  for (const std::array<int, 4>& bad : {std::array<int, 4>{1, 2, 4, 0}, std::array<int, 4>{0, 1, 2, 0},
                                        std::array<int, 4>{1, 2, -5, 0}, std::array<int, 4>{1, 2, 3, 9}}) {
    const std::string broken =
        first + Polyline(Vertex("B", 5, 0, 0) + Vertex("B", 6, 0, 0) + Vertex("B", 6, 1, 0) + FaceRecord("B", bad));
    EXPECT_EQ(loadText(Entities(broken)), 0);
    EXPECT_TRUE(context.reason.find("outside the mesh") != std::string::npos ||
                context.reason.find("mesh of 3") != std::string::npos)
        << context.reason;
    EXPECT_EQ(model().pointCount, 7) << "a refused file changed the model";
  }
}

TEST_F(DxfTest, CrLfFilesWithBlanksAroundGroupCodesAndAByteOrderMarkLoad) {
  std::string text = Entities(Face3D("A", {{{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {1, 1, 0}}}));
  std::string crlf;
  bool codeLine = true;
  size_t start = 0;
  for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
    const std::string line = text.substr(start, end - start);
    crlf += (codeLine ? "  " + line + " " : line) + "\r\n";
    codeLine = !codeLine;
  }
  ASSERT_EQ(loadText(crlf), 1) << context.reason;
  EXPECT_EQ(model().faceCount, 1);
  ASSERT_EQ(loadText("\xEF\xBB\xBF" + crlf), 1) << context.reason;
  EXPECT_EQ(model().faceCount, 1);
}

TEST_F(DxfTest, HostileFilesAreRefusedWithAReason) {
  const std::string good = Entities(Face3D("A", {{{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {1, 1, 0}}}));
  struct Case {
    std::string text;
    const char* reason;
  };
  const std::vector<Case> cases{
      {Pairs({{0, "3DFACE"}, {10, "nan"}}) + Pairs({{0, "EOF"}}), "not a finite number"},
      {Pairs({{0, "3DFACE"}, {10, "1e999"}}) + Pairs({{0, "EOF"}}), "not a finite number"},
      {Pairs({{0, "3DFACE"}, {10, "1e300"}}) + Pairs({{0, "EOF"}}), "out of range"},
      {Pairs({{0, "3DFACE"}, {10, "1,5"}}) + Pairs({{0, "EOF"}}), "not a finite number"},
      {"0\n3DFACE\nten\n1\n0\nEOF\n", "group code"},
      {Pairs({{0, "3DFACE"}, {10, "1"}}), "ends inside the 3DFACE"},
      {Pairs({{0, "POLYLINE"}}) + Vertex("A", 0, 0, 0), "ends inside the POLYLINE"},
      {Pairs({{0, "POLYLINE"}, {0, "VERTEX"}, {70, "x"}, {0, "SEQEND"}, {0, "EOF"}}), "not an integer"},
      {Pairs({{0, "POLYLINE"}, {0, "SEQEND"}, {0, "EOF"}}), "no points"},
      {Pairs({{0, "POLYLINE"}}) + FaceRecord("A", {1, 2, 2147483647, 0}) + Pairs({{0, "SEQEND"}}),
       "outside the mesh"},
      {Pairs({{0, "POLYLINE"}}) + FaceRecord("A", {-2147483647 - 1, 1, 2, 0}) + Pairs({{0, "SEQEND"}}),
       "outside the mesh"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    testing::ClosedCube(document->model);
    EXPECT_EQ(loadText(c.text), 0);
    EXPECT_NE(context.reason.find(c.reason), std::string::npos) << context.reason;
    EXPECT_EQ(model().pointCount, 8);
  }
  ASSERT_EQ(loadText(good), 1);
}

TEST_F(DxfTest, EveryPrefixAndOneByteChangeOfAFileLoadsValidOrIsRefused) {
  const std::string mesh = Vertex("M", 0, 0, 0) + Vertex("M", 1, 0, 0) + Vertex("M", 1, 1, 0) +
                           Vertex("M", 0, 1, 0) + FaceRecord("M", {1, 2, -3, 0}) +
                           FaceRecord("M", {-1, 3, 4, 0});
  for (const std::string& text : {Entities(Polyline(mesh)),
                                  Entities(Face3D("A", {{{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}}}) +
                                           Face3D("B", {{{0, 0, 0}, {1, 1, 0}, {0, 1, 0}, {0, 1, 0}}}))}) {
    for (size_t length = 0; length < text.size(); ++length) {
      const int loaded = loadText(text.substr(0, length));
      if (loaded) {
        expectValid();
      } else {
        EXPECT_FALSE(context.reason.empty());
      }
    }
    const std::string changes = "-9\n .";
    for (size_t at = 0; at < text.size(); ++at) {
      for (char c : changes) {
        std::string changed = text;
        changed[at] = c;
        if (loadText(changed)) expectValid();
      }
    }
  }
}

TEST_F(DxfTest, MoreThanTheSurfaceLimitIsRefused) {
  std::string body;
  body.reserve(20000 * 120);
  for (int i = 0; i < kMaxCount + 1; ++i) {
    body += "0\n3DFACE\n10\n" + std::to_string(i) + "\n11\n1\n21\n1\n12\n2\n22\n0\n";
  }
  EXPECT_EQ(loadText(body + "0\nEOF\n"), 0);
  EXPECT_NE(context.reason.find("more than 19999 surfaces"), std::string::npos) << context.reason;
}

// Writers. The small model:
//   point 1 (1, 2, 3), 2 (4, 5, 6), 3 (7, 8, 9), 4 (0, 0, 1)
//   surface 1: triangle (1, 2, 3), material 2 ("skin")
//   surface 2: quad (1, 2, 3, 4), material 0
//   surface 3: triangle (4, 1, 2), guide material 15 (never written)
void SmallModel(Model& model) {
  ClearModel(model);
  SetPoint(model, 1, 1, 2, 3, 0, 0);
  SetPoint(model, 2, 4, 5, 6, 0, 0);
  SetPoint(model, 3, 7, 8, 9, 0, 0);
  SetPoint(model, 4, 0, 0, 1, 0, 0);
  model.pointCount = 4;
  SetFace(model, 1, 1, 2, 3, 1, 2, 0);
  SetFace(model, 2, 1, 2, 3, 4, 0, 0);
  SetFace(model, 3, 4, 1, 2, 4, kGuideMaterial, 0);
  model.faceCount = 3;
  SetText(model.materials[2].name, "skin");
  ASSERT_EQ(CompactModel(model, kCompactRebuildLines), 1);
}

std::string Crlf(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

TEST_F(DxfTest, FaceWriterWritesTheExactEntities) {
  SmallModel(document->model);
  settings.DxfExportScale = 2.0f;
  const std::string path = TempPath("faces.dxf");
  ASSERT_EQ(SaveDxf3DFaceFile(*document, path, context), 1) << context.reason;
  const std::string expected = Crlf(
      "0\nSECTION\n2\nENTITIES\n0\n"
      "3DFACE\n8\nskin\n62\n2\n"
      "10\n2.000000\n20\n4.000000\n30\n6.000000\n"
      "11\n8.000000\n21\n10.000000\n31\n12.000000\n"
      "12\n14.000000\n22\n16.000000\n32\n18.000000\n"
      "13\n14.000000\n23\n16.000000\n33\n18.000000\n0\n"
      "3DFACE\n8\nmat_00\n62\n0\n"
      "10\n2.000000\n20\n4.000000\n30\n6.000000\n"
      "11\n8.000000\n21\n10.000000\n31\n12.000000\n"
      "12\n14.000000\n22\n16.000000\n32\n18.000000\n"
      "13\n0.000000\n23\n0.000000\n33\n2.000000\n0\n"
      "ENDSEC\n0\nEOF\n");
  EXPECT_EQ(ReadText(path), expected);

  // The export rotation writes (x, -z, y) and leaves the model as it was.
  settings.DxfExportScale = 1.0f;
  settings.DxfRotateExport = 1;
  ASSERT_EQ(SaveDxf3DFaceFile(*document, path, context), 1);
  EXPECT_NE(ReadText(path).find("10\r\n1.000000\r\n20\r\n-3.000000\r\n30\r\n2.000000\r\n"), std::string::npos);
  EXPECT_EQ(model().points[1].position, VECTOR(1, 2, 3));
}

TEST_F(DxfTest, PolylineWriterWritesFifteenMeshesWithLocalNumbers) {
  SmallModel(document->model);
  const std::string path = TempPath("poly.dxf");
  ASSERT_EQ(SaveDxfPolylineFile(*document, path, context), 1) << context.reason;
  const std::string text = ReadText(path);
  const std::string material0 = Crlf(
      "0\nSECTION\n2\nENTITIES\n0\n"
      "POLYLINE\n8\nmat_00\n66\n1\n70\n64\n71\n4\n72\n1\n0\n"
      "VERTEX\n8\nmat_00\n10\n1.000000\n20\n2.000000\n30\n3.000000\n70\n192\n0\n"
      "VERTEX\n8\nmat_00\n10\n4.000000\n20\n5.000000\n30\n6.000000\n70\n192\n0\n"
      "VERTEX\n8\nmat_00\n10\n7.000000\n20\n8.000000\n30\n9.000000\n70\n192\n0\n"
      "VERTEX\n8\nmat_00\n10\n0.000000\n20\n0.000000\n30\n1.000000\n70\n192\n0\n"
      "VERTEX\n8\nmat_00\n10\n0\n20\n0\n30\n0\n70\n128\n71\n1\n72\n2\n73\n3\n74\n4\n0\n"
      "SEQEND\n0\n"
      "POLYLINE\n8\nmat_01\n66\n1\n70\n64\n71\n0\n72\n0\n0\nSEQEND\n0\n"
      "POLYLINE\n8\nskin\n66\n1\n70\n64\n71\n3\n72\n1\n0\n");
  EXPECT_EQ(text.substr(0, material0.size()), material0);
  EXPECT_NE(text.find(Crlf("70\n128\n71\n1\n72\n2\n73\n3\n0\nSEQEND\n")), std::string::npos);
  size_t meshes = 0;
  for (size_t at = 0; (at = text.find("\nPOLYLINE\r\n", at)) != std::string::npos; ++at) ++meshes;
  EXPECT_EQ(meshes, 15u);
  const std::string tail = Crlf("POLYLINE\n8\nmat_14\n66\n1\n70\n64\n71\n0\n72\n0\n0\nSEQEND\n0\nENDSEC\n0\nEOF\n");
  ASSERT_GE(text.size(), tail.size());
  EXPECT_EQ(text.substr(text.size() - tail.size()), tail);
}

// Export then import restores points, winding and (through the layers,
// in order of first appearance) materials, whatever the rotation settings,
// as long as both sides use the same one.
TEST_F(DxfTest, BothWritersRoundTripThroughTheReader) {
  for (int rotate : {0, 1}) {
    for (WriterFunction writer : {SaveDxf3DFaceFile, SaveDxfPolylineFile}) {
      SCOPED_TRACE(rotate);
      settings.DxfRotateExport = settings.DxfRotateImport = rotate;
      testing::ClosedCube(document->model);
      for (int f = 1; f <= 6; ++f) document->model.faces[f].material = f % 3;
      const Model original = document->model;
      const std::string path = TempPath("round.dxf");
      ASSERT_EQ(writer(*document, path, context), 1);
      ASSERT_EQ(loadPath(path), 1) << context.reason;
      expectValid();
      // The polyface reader does not merge points across meshes: each of
      // the three materials' two quads keeps its own six points.
      const bool polyface = writer == SaveDxfPolylineFile;
      ASSERT_EQ(model().pointCount, polyface ? 18 : 8);
      ASSERT_EQ(model().faceCount, 6);
      EXPECT_EQ(model().lineCount, polyface ? 21 : 12);
      // Surfaces may come back in another order (the polyline writer groups
      // them by material): match each by its corner positions in order.
      for (int f = 1; f <= 6; ++f) {
        const FACE& want = original.faces[f];
        bool found = false;
        for (int g = 1; g <= 6 && !found; ++g) {
          const FACE& got = model().faces[g];
          bool same = IsQuad(got);
          for (int k = 0; k < 4 && same; ++k) {
            same = model().points[got.corners[k]].position == original.points[want.corners[k]].position;
          }
          found = same;
        }
        EXPECT_TRUE(found) << "surface " << f << " lost or rewound";
      }
    }
  }
}

#ifdef VEXAL_HAVE_ASSIMP
// assimp reads both exports with the same surfaces, distinct positions and
// extent as ours.
TEST_F(DxfTest, AssimpReadsBothExportsWithOurCountsAndExtent) {
  testing::QuadTorus(document->model, 6, 8);
  const Bounds ours = BoundsOf(document->model);
  for (auto writer : {SaveDxf3DFaceFile, SaveDxfPolylineFile}) {
    const std::string path = TempPath("assimp.dxf");
    ASSERT_EQ(writer(*document, path, context), 1);
    Assimp::Importer importer;
    const aiScene* scene = importer.ReadFile(path, aiProcess_JoinIdenticalVertices);
    ASSERT_NE(scene, nullptr) << importer.GetErrorString();
    unsigned faces = 0;
    std::vector<std::array<float, 3>> positions;
    for (unsigned m = 0; m < scene->mNumMeshes; ++m) {
      const aiMesh* mesh = scene->mMeshes[m];
      faces += mesh->mNumFaces;
      for (unsigned v = 0; v < mesh->mNumVertices; ++v) {
        positions.push_back({mesh->mVertices[v].x, mesh->mVertices[v].y, mesh->mVertices[v].z});
      }
    }
    std::sort(positions.begin(), positions.end());
    positions.erase(std::unique(positions.begin(), positions.end()), positions.end());
    EXPECT_EQ(faces, static_cast<unsigned>(document->model.faceCount));
    EXPECT_EQ(positions.size(), static_cast<size_t>(document->model.pointCount));
    std::array<float, 3> low{1e30f, 1e30f, 1e30f}, high{-1e30f, -1e30f, -1e30f};
    for (const auto& p : positions) {
      for (int k = 0; k < 3; ++k) {
        low[static_cast<size_t>(k)] = std::min(low[static_cast<size_t>(k)], p[static_cast<size_t>(k)]);
        high[static_cast<size_t>(k)] = std::max(high[static_cast<size_t>(k)], p[static_cast<size_t>(k)]);
      }
    }
    EXPECT_NEAR(low[0], ours.low.x, 1e-5f);
    EXPECT_NEAR(high[0], ours.high.x, 1e-5f);
    EXPECT_NEAR(low[1], ours.low.y, 1e-5f);
    EXPECT_NEAR(high[1], ours.high.y, 1e-5f);
    EXPECT_NEAR(low[2], ours.low.z, 1e-5f);
    EXPECT_NEAR(high[2], ours.high.z, 1e-5f);
  }
}
#endif

}  // namespace
}  // namespace vexal
