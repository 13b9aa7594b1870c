// VRML 1.0, DirectX X and XSI writers: exact output for a small model, the
// guide-only model, texture entries, and assimp reading our X export.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "formats/scene_export.h"
#include "model/document.h"
#include "model/maintenance.h"
#include "settings/settings.h"
#include "support/test_models.h"

#ifdef VEXAL_HAVE_ASSIMP
#include <assimp/Importer.hpp>
#include <assimp/scene.h>
#endif

namespace vexal {
namespace {

std::string TempPath(const std::string& name) { return ::testing::TempDir() + "vexal_export_" + name; }

std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string Crlf(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

size_t Occurrences(const std::string& text, const std::string& what) {
  size_t count = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++count;
  return count;
}

// Points 1 (1, 2, 3), 2 (4, 5, 6), 3 (7, 8, 9), 4 (0, 0, 1);
// surface 1: triangle (1, 2, 3), material 2, UVs (0, 0.25) (1, 0) (0, 1),
//   corner normals (0, 0, 1) (0, 1, 0) (1, 0, 0);
// surface 2: quad (1, 2, 3, 4), material 0, zero UVs and normals;
// surface 3: triangle (4, 1, 2), guide material 15 (never written).
void SmallModel(Model& model) {
  ClearModel(model);
  SetPoint(model, 1, 1, 2, 3, 0, 0);
  SetPoint(model, 2, 4, 5, 6, 0, 0);
  SetPoint(model, 3, 7, 8, 9, 0, 0);
  SetPoint(model, 4, 0, 0, 1, 0, 0);
  model.pointCount = 4;
  SetFace(model, 1, 1, 2, 3, 1, 2, 0);
  SetFaceUV(model, 1, UV{0, 0.25f}, UV{1, 0}, UV{0, 1}, UV{0, 0.25f});
  model.faces[1].cornerNormals = {VECTOR(0, 0, 1), VECTOR(0, 1, 0), VECTOR(1, 0, 0), VECTOR(0, 0, 1)};
  SetFace(model, 2, 1, 2, 3, 4, 0, 0);
  SetFace(model, 3, 4, 1, 2, 4, kGuideMaterial, 0);
  model.faceCount = 3;
}

// Every surface in the guide material.
void GuideOnlyModel(Model& model) {
  SmallModel(model);
  for (int f = 1; f <= model.faceCount; ++f) model.faces[f].material = kGuideMaterial;
}

class ExportTest : public ::testing::Test {
 protected:
  std::unique_ptr<Document> document = std::make_unique<Document>();
  Settings settings;
  FormatContext context;
  void SetUp() override { context.settings = &settings; }

  std::string save(WriterFunction writer, const std::string& name) {
    const std::string path = TempPath(name);
    EXPECT_EQ(writer(*document, path, context), 1) << context.reason;
    return ReadText(path);
  }
};

TEST_F(ExportTest, VrmlListsEveryPointAndOneFaceSetPerUsedMaterial) {
  SmallModel(document->model);
  settings.WrlExportScale = 2.0f;
  EXPECT_EQ(save(SaveVrmlFile, "small.wrl"), Crlf("#VRML V1.0 ascii\n"
                                                  "Separator {\n"
                                                  "\tDEF body Separator {\n"
                                                  "\t\tCoordinate3 {\n"
                                                  "\t\t\tpoint [\n"
                                                  "\t\t\t\t2.000000 4.000000 6.000000,\n"
                                                  "\t\t\t\t8.000000 10.000000 12.000000,\n"
                                                  "\t\t\t\t14.000000 16.000000 18.000000,\n"
                                                  "\t\t\t\t0.000000 0.000000 2.000000\n"
                                                  "\t\t\t]\n"
                                                  "\t\t}\n"
                                                  "\t\tDEF body0 Separator {\n"
                                                  "\t\t\tMaterial {\n"
                                                  "\t\t\t\tdiffuseColor 0.913725 0.913725 0.913725\n"
                                                  "\t\t\t}\n"
                                                  "\t\t\tIndexedFaceSet {\n"
                                                  "\t\t\t\tcoordIndex [\n"
                                                  "\t\t\t\t\t0, 1, 2, 3, -1\n"
                                                  "\t\t\t\t]\n"
                                                  "\t\t\t}\n"
                                                  "\t\t}\n"
                                                  "\t\tDEF body2 Separator {\n"
                                                  "\t\t\tMaterial {\n"
                                                  "\t\t\t\tdiffuseColor 0.564706 0.564706 1.000000\n"
                                                  "\t\t\t}\n"
                                                  "\t\t\tIndexedFaceSet {\n"
                                                  "\t\t\t\tcoordIndex [\n"
                                                  "\t\t\t\t\t0, 1, 2, -1\n"
                                                  "\t\t\t\t]\n"
                                                  "\t\t\t}\n"
                                                  "\t\t}\n"
                                                  "\t}\n"
                                                  "}\n"));

  GuideOnlyModel(document->model);
  settings.WrlExportScale = 1.0f;
  const std::string guides = save(SaveVrmlFile, "guides.wrl");
  EXPECT_EQ(Occurrences(guides, "Separator {"), 2u);
  EXPECT_NE(guides.find(Crlf("\t\t\t\t0.000000 0.000000 1.000000\n\t\t\t]\n\t\t}\n\t}\n}\n")), std::string::npos);
}

constexpr const char* kXTemplateOrder[] = {
    "Header",       "Vector",          "Coords2d",          "Matrix4x4",        "ColorRGBA",
    "ColorRGB",     "IndexedColor",    "Boolean",           "Boolean2d",        "MaterialWrap",
    "TextureFilename", "Material",     "MeshFace",          "MeshFaceWraps",    "MeshTextureCoords",
    "MeshMaterialList", "MeshNormals", "MeshVertexColors",  "Mesh"};

TEST_F(ExportTest, XWritesTheTemplatesThenOneVertexPerCornerReversedWithZAndVFlipped) {
  SmallModel(document->model);
  document->model.faces[2].material = 3;
  SetText(document->model.materials[3].texture, "C:\\maps\\wood.bmp");
  settings.XExportScale = 2.0f;
  const std::string text = save(SaveXFile, "small.x");

  EXPECT_EQ(text.find("\r"), std::string::npos) << "X files have LF line ends";
  const std::string start = "xof 0302txt 0064\ntemplate Header {\n <3D82AB43-62DA-11cf-AB39-0020AF71E433>\n WORD major;\n";
  EXPECT_EQ(text.substr(0, start.size()), start);
  size_t at = 0;
  for (const char* name : kXTemplateOrder) {
    const size_t found = text.find(std::string("template ") + name + " {\n", at);
    ASSERT_NE(found, std::string::npos) << name;
    at = found + 1;
  }
  EXPECT_EQ(Occurrences(text, "template "), 19u);
  EXPECT_NE(text.find(" array DWORD faceIndexes[nFaceIndexes];\n [Material]\n}\n\n"), std::string::npos);

  const std::string mesh =
      "}\n\n"
      "Header {\n 1;\n 0;\n 1;\n}\n\n"
      "Mesh {\n"
      "  7;\n"
      " 14.000000;16.000000;-18.000000;,\n"
      " 8.000000;10.000000;-12.000000;,\n"
      " 2.000000;4.000000;-6.000000;,\n"
      " 0.000000;0.000000;-2.000000;,\n"
      " 14.000000;16.000000;-18.000000;,\n"
      " 8.000000;10.000000;-12.000000;,\n"
      " 2.000000;4.000000;-6.000000;;\n"
      " 2;\n"
      " 3;0,1,2;,\n"
      " 4;3,4,5,6;;\n"
      "\n"
      " MeshMaterialList {\n"
      "  15;\n"
      "  2;\n"
      "  2,\n"
      "  3;\n"
      "  Material {\n"
      "   0.913725;0.913725;0.913725;1.000000;;\n"
      "   5.000000;\n"
      "   0.000000;0.000000;0.000000;;\n"
      "   0.250000;0.250000;0.250000;;\n"
      "  }\n";
  const size_t meshAt = text.find("}\n\nHeader {");
  ASSERT_NE(meshAt, std::string::npos);
  EXPECT_EQ(text.substr(meshAt, mesh.size()), mesh);
  // A textured material without blending is white and names its file
  // without the folder.
  EXPECT_NE(text.find("  Material {\n"
                      "   1.000000;1.000000;1.000000;1.000000;;\n"
                      "   5.000000;\n"
                      "   0.000000;0.000000;0.000000;;\n"
                      "   0.250000;0.250000;0.250000;;\n"
                      "   TextureFilename {\n"
                      "    \"wood.bmp\";\n"
                      "   }\n"
                      "  }\n"),
            std::string::npos);
  EXPECT_EQ(Occurrences(text, "  Material {\n"), 15u);
  const std::string tail =
      "  }\n"
      " }\n"
      "\n"
      " MeshNormals {\n"
      "  7;\n"
      "  1.000000;0.000000;-0.000000;,\n"
      "  0.000000;1.000000;-0.000000;,\n"
      "  0.000000;0.000000;-1.000000;,\n"
      "  0.000000;0.000000;-0.000000;,\n"
      "  0.000000;0.000000;-0.000000;,\n"
      "  0.000000;0.000000;-0.000000;,\n"
      "  0.000000;0.000000;-0.000000;;\n"
      "  2;\n"
      "  3;0,1,2;,\n"
      "  4;3,4,5,6;;\n"
      " }\n"
      "\n"
      " MeshTextureCoords {\n"
      "  7;\n"
      "  0.000000;0.000000;,\n"
      "  1.000000;1.000000;,\n"
      "  0.000000;0.750000;,\n"
      "  0.000000;1.000000;,\n"
      "  0.000000;1.000000;,\n"
      "  0.000000;1.000000;,\n"
      "  0.000000;1.000000;;\n"
      " }\n"
      "}\n";
  ASSERT_GE(text.size(), tail.size());
  EXPECT_EQ(text.substr(text.size() - tail.size()), tail);

  // With blending the textured material keeps its colour.
  document->model.materials[3].blend = 1;
  EXPECT_NE(save(SaveXFile, "blend.x").find("   1.000000;0.682353;0.682353;1.000000;;\n   5.000000;\n"),
            std::string::npos);
}

TEST_F(ExportTest, GuideOnlyModelsWriteEmptyListsAndStillFifteenMaterials) {
  GuideOnlyModel(document->model);
  const std::string x = save(SaveXFile, "guides.x");
  EXPECT_NE(x.find("Mesh {\n  0;\n 0;\n\n MeshMaterialList {\n  15;\n  0;\n  Material {\n"), std::string::npos);
  EXPECT_EQ(Occurrences(x, "  Material {\n"), 15u);
  EXPECT_NE(x.find(" MeshNormals {\n  0;\n  0;\n }\n\n MeshTextureCoords {\n  0;\n }\n}\n"), std::string::npos);

  const std::string xsi = save(SaveXsiFile, "guides.xsi");
  EXPECT_NE(xsi.find("\t\t\t4,\n\t\t\t\"POSITION\",\n"), std::string::npos);
  EXPECT_NE(xsi.find("\t\t\t0,\n\t\t\t\"NORMAL\",\n\t\t\t0,\n\t\t\t\"TEX_COORD_UV\",\n\t\t}\n\t}\n}\n"),
            std::string::npos);
  EXPECT_EQ(xsi.find("SI_PolygonList"), std::string::npos);
  EXPECT_EQ(Occurrences(xsi, "\tSI_Material "), 16u);
}

TEST_F(ExportTest, XsiWritesTheLibraryShapeAndPolygonLists) {
  SmallModel(document->model);
  SetText(document->model.materials[2].texture, "maps/skin.png");
  settings.XsiExportScale = 2.0f;
  const std::string text = save(SaveXsiFile, "small.xsi");
  EXPECT_EQ(text.find("\r"), std::string::npos) << "XSI files have LF line ends";

  const std::string head =
      "xsi 0300txt 0032\n\n"
      "SI_Scene {\n\t\"FRAMES\",\n\t0.000000,\n\t60.000000,\n\t24.000000,\n}\n\n"
      "SI_CoordinateSystem {\n\t1,\n\t0,\n\t1,\n\t0,\n\t2,\n\t5,\n}\n\n"
      "SI_Angle {\n\t0,\n}\n\n"
      "SI_Ambience {\n\t0.300000, 0.300000, 0.300000,\n}\n\n"
      "SI_MaterialLibrary MATLIB-Vexal {\n\t16,\n"
      "\tSI_Material Default {\n"
      "\t\t0.700000,0.700000,0.700000,1.000000,\n"
      "\t\t50.000000,\n\t\t1.000000,1.000000,1.000000,\n\t\t0.000000,0.000000,0.000000,\n\t\t1,\n"
      "\t\t0.500000,0.500000,0.500000,\n"
      "\t}\n"
      "\tSI_Material MAT-mat_00 {\n"
      "\t\t0.913725,0.913725,0.913725,1.000000,\n"
      "\t\t50.000000,\n\t\t1.000000,1.000000,1.000000,\n\t\t0.000000,0.000000,0.000000,\n\t\t1,\n"
      "\t\t0.500000,0.500000,0.500000,\n"
      "\t}\n";
  EXPECT_EQ(text.substr(0, head.size()), head);

  const std::string texture =
      "\tSI_Material MAT-mat_02 {\n"
      "\t\t0.564706,0.564706,1.000000,1.000000,\n"
      "\t\t50.000000,\n\t\t1.000000,1.000000,1.000000,\n\t\t0.000000,0.000000,0.000000,\n\t\t1,\n"
      "\t\t0.500000,0.500000,0.500000,\n"
      "\t\tSI_Texture2D TEX-mat_02 {\n"
      "\t\t\t\"skin.png\";\n"
      "\t\t\t3;\n"
      "\t\t\t256;256;\n"
      "\t\t\t0;255;0;255;\n"
      "\t\t\t0;\n\t\t\t1;1;\n\t\t\t0;0;\n\t\t\t1.000000;1.000000;\n\t\t\t0.000000;0.000000;\n"
      "\t\t\t1.000000,0.000000,0.000000,0.000000,\n"
      "\t\t\t0.000000,1.000000,0.000000,0.000000,\n"
      "\t\t\t0.000000,0.000000,1.000000,0.000000,\n"
      "\t\t\t0.000000,0.000000,0.000000,1.000000;;\n"
      "\t\t\t3;\n\t\t\t1.000000;\n\t\t\t0.750000;\n\t\t\t1.000000;\n"
      "\t\t\t0.000000;\n\t\t\t0.000000;\n\t\t\t0.000000;\n\t\t\t0.000000;\n"
      "\t\t}\n"
      "\t}\n";
  EXPECT_NE(text.find(texture), std::string::npos);

  const std::string model =
      "\tSI_Material MAT-mat_14 {\n"
      "\t\t0.913725,0.913725,0.913725,1.000000,\n"
      "\t\t50.000000,\n\t\t1.000000,1.000000,1.000000,\n\t\t0.000000,0.000000,0.000000,\n\t\t1,\n"
      "\t\t0.500000,0.500000,0.500000,\n"
      "\t}\n"
      "}\n\n"
      "SI_Model MDL-Vexal {\n"
      "\tSI_Transform SRT-Vexal {\n"
      "\t\t1.000000,\n\t\t1.000000,\n\t\t1.000000,\n"
      "\t\t0.000000,\n\t\t0.000000,\n\t\t0.000000,\n\t\t0.000000,\n\t\t0.000000,\n\t\t0.000000,\n"
      "\t}\n"
      "\tSI_GlobalMaterial {\n\t\t\"Default\"\n\t\t\"BRANCH\"\n\t}\n"
      "\tSI_Visibility {\n\t\t1,\n\t}\n"
      "\tSI_Mesh MSH-Vexal {\n"
      "\t\tSI_Shape SHP-Vexal-ORG {\n"
      "\t\t\t3,\n"
      "\t\t\t\"ORDERED\",\n"
      "\t\t\t4,\n"
      "\t\t\t\"POSITION\",\n"
      "\t\t\t2.000000, 4.000000, 6.000000,\n"
      "\t\t\t8.000000, 10.000000, 12.000000,\n"
      "\t\t\t14.000000, 16.000000, 18.000000,\n"
      "\t\t\t0.000000, 0.000000, 2.000000,\n"
      "\t\t\t7,\n"
      "\t\t\t\"NORMAL\",\n"
      "\t\t\t0.000000, 0.000000, 1.000000,\n"
      "\t\t\t0.000000, 1.000000, 0.000000,\n"
      "\t\t\t1.000000, 0.000000, 0.000000,\n"
      "\t\t\t0.000000, 0.000000, 0.000000,\n"
      "\t\t\t0.000000, 0.000000, 0.000000,\n"
      "\t\t\t0.000000, 0.000000, 0.000000,\n"
      "\t\t\t0.000000, 0.000000, 0.000000,\n"
      "\t\t\t7,\n"
      "\t\t\t\"TEX_COORD_UV\",\n"
      "\t\t\t0.000000, 0.250000,\n"
      "\t\t\t1.000000, 0.000000,\n"
      "\t\t\t0.000000, 1.000000,\n"
      "\t\t\t0.000000, 0.000000,\n"
      "\t\t\t0.000000, 0.000000,\n"
      "\t\t\t0.000000, 0.000000,\n"
      "\t\t\t0.000000, 0.000000,\n"
      "\t\t}\n"
      "\t\tSI_PolygonList {\n"
      "\t\t\t1,\n"
      "\t\t\t\"NORMAL|TEX_COORD_UV\",\n"
      "\t\t\t\"MAT-mat_00\",\n"
      "\t\t\t4,\n"
      "\t\t\t4,\n"
      "\t\t\t0, 1, 2, 3,\n"
      "\t\t\t3, 4, 5, 6,\n"
      "\t\t\t3, 4, 5, 6,\n"
      "\t\t}\n"
      "\t\tSI_PolygonList {\n"
      "\t\t\t1,\n"
      "\t\t\t\"NORMAL|TEX_COORD_UV\",\n"
      "\t\t\t\"MAT-mat_02\",\n"
      "\t\t\t3,\n"
      "\t\t\t3,\n"
      "\t\t\t0, 1, 2,\n"
      "\t\t\t0, 1, 2,\n"
      "\t\t\t0, 1, 2,\n"
      "\t\t}\n"
      "\t}\n"
      "}\n";
  ASSERT_GE(text.size(), model.size());
  EXPECT_EQ(text.substr(text.size() - model.size()), model);

  // A loaded texture gives its own size and crop.
  document->model.materials[2].textureLoaded = 1;
  document->model.materials[2].textureWidth = 64;
  document->model.materials[2].textureHeight = 32;
  EXPECT_NE(save(SaveXsiFile, "loaded.xsi").find("\t\t\t3;\n\t\t\t64;32;\n\t\t\t0;63;0;31;\n"), std::string::npos);
}

TEST_F(ExportTest, WritersReportAnUnwritablePath) {
  SmallModel(document->model);
  for (WriterFunction writer : {SaveVrmlFile, SaveXFile, SaveXsiFile}) {
    EXPECT_EQ(writer(*document, TempPath("no/such/folder/out"), context), 0);
    EXPECT_FALSE(context.reason.empty());
  }
}

#ifdef VEXAL_HAVE_ASSIMP
// assimp reads our X export with one vertex per corner, the same surfaces
// and our extent (it turns the file's left-handed z back, or keeps it).
TEST_F(ExportTest, AssimpReadsTheXExportWithOurCountsAndExtent) {
  testing::QuadTorus(document->model, 6, 8);
  RefreshNormals(document->model, kNormalsFace | kNormalsAngleSmoothed, true);
  const std::string path = TempPath("assimp.x");
  ASSERT_EQ(SaveXFile(*document, path, context), 1);
  Assimp::Importer importer;
  const aiScene* scene = importer.ReadFile(path, 0);
  ASSERT_NE(scene, nullptr) << importer.GetErrorString();
  unsigned vertices = 0, faces = 0;
  std::array<float, 3> low{1e30f, 1e30f, 1e30f}, high{-1e30f, -1e30f, -1e30f};
  for (unsigned m = 0; m < scene->mNumMeshes; ++m) {
    const aiMesh* mesh = scene->mMeshes[m];
    vertices += mesh->mNumVertices;
    faces += mesh->mNumFaces;
    EXPECT_TRUE(mesh->HasNormals());
    EXPECT_TRUE(mesh->HasTextureCoords(0));
    for (unsigned v = 0; v < mesh->mNumVertices; ++v) {
      const float p[3] = {mesh->mVertices[v].x, mesh->mVertices[v].y, mesh->mVertices[v].z};
      for (size_t k = 0; k < 3; ++k) {
        low[k] = std::min(low[k], p[k]);
        high[k] = std::max(high[k], p[k]);
      }
    }
  }
  const Model& model = document->model;
  EXPECT_EQ(vertices, static_cast<unsigned>(4 * model.faceCount));
  EXPECT_EQ(faces, static_cast<unsigned>(model.faceCount));
  VECTOR ourLow(1e30f, 1e30f, 1e30f), ourHigh(-1e30f, -1e30f, -1e30f);
  for (int i = 1; i <= model.pointCount; ++i) {
    const VECTOR& p = model.points[i].position;
    ourLow.set(std::min(ourLow.x, p.x), std::min(ourLow.y, p.y), std::min(ourLow.z, p.z));
    ourHigh.set(std::max(ourHigh.x, p.x), std::max(ourHigh.y, p.y), std::max(ourHigh.z, p.z));
  }
  EXPECT_NEAR(low[0], ourLow.x, 1e-5f);
  EXPECT_NEAR(high[0], ourHigh.x, 1e-5f);
  EXPECT_NEAR(low[1], ourLow.y, 1e-5f);
  EXPECT_NEAR(high[1], ourHigh.y, 1e-5f);
  const bool zKept = std::abs(low[2] - ourLow.z) < 1e-5f && std::abs(high[2] - ourHigh.z) < 1e-5f;
  const bool zNegated = std::abs(low[2] + ourHigh.z) < 1e-5f && std::abs(high[2] + ourLow.z) < 1e-5f;
  EXPECT_TRUE(zKept || zNegated) << low[2] << ".." << high[2];
}
#endif

}  // namespace
}  // namespace vexal
