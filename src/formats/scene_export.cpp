#include "formats/format_support.h"
#include "formats/scene_export.h"

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

#include "io/file_bytes.h"
#include "model/document.h"
#include "settings/settings.h"

namespace vexal {
namespace {

int Commit(std::string_view bytes, const std::string& path, const char* format,
           FormatContext& context) {
  std::string why;
  if (!WriteFileAtomically(path, bytes, &why)) return context.fail(std::string(format) + ": " + why);
  return 1;
}

// Text mode: every LF goes out as CR LF.
std::string WithCrLf(const std::string& text) {
  std::string result;
  result.reserve(text.size() + text.size() / 16);
  for (char c : text) {
    if (c == '\n') result.push_back('\r');
    result.push_back(c);
  }
  return result;
}

// A name written inside one line of a file.
std::string OneLine(const TextBuffer& text) {
  std::string name(TextOf(text));
  for (char& c : name) {
    if (c == '\r' || c == '\n') c = '_';
  }
  return name;
}

// The texture file's name without its folder.
std::string TextureName(const MATERIAL& material) {
  const std::string path = OneLine(material.texture);
  const size_t slash = path.find_last_of("/\\:");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool HasTexture(const MATERIAL& material) { return material.texture[0] != '\0'; }

double Unit(int32_t channel) { return channel / 255.0; }

bool Exported(const FACE& face) { return face.material != kGuideMaterial; }

// Writes items produced by put(i) for i in [0, count), separated by
// ",\n" and the last ended by ";\n"; an empty list writes nothing.
template <typename Put>
void PutList(OutputBuffer& out, int count, Put&& put) {
  for (int i = 0; i < count; ++i) {
    put(i);
    out.put(i + 1 < count ? ",\n" : ";\n");
  }
}

// The standard templates of the "xof 0302txt" format version, as published
// with it.
constexpr std::string_view kXTemplates =
    "template Header {\n"
    " <3D82AB43-62DA-11cf-AB39-0020AF71E433>\n"
    " WORD major;\n"
    " WORD minor;\n"
    " DWORD flags;\n"
    "}\n\n"
    "template Vector {\n"
    " <3D82AB5E-62DA-11cf-AB39-0020AF71E433>\n"
    " FLOAT x;\n"
    " FLOAT y;\n"
    " FLOAT z;\n"
    "}\n\n"
    "template Coords2d {\n"
    " <F6F23F44-7686-11cf-8F52-0040333594A3>\n"
    " FLOAT u;\n"
    " FLOAT v;\n"
    "}\n\n"
    "template Matrix4x4 {\n"
    " <F6F23F45-7686-11cf-8F52-0040333594A3>\n"
    " array FLOAT matrix[16];\n"
    "}\n\n"
    "template ColorRGBA {\n"
    " <35FF44E0-6C7C-11cf-8F52-0040333594A3>\n"
    " FLOAT red;\n"
    " FLOAT green;\n"
    " FLOAT blue;\n"
    " FLOAT alpha;\n"
    "}\n\n"
    "template ColorRGB {\n"
    " <D3E16E81-7835-11cf-8F52-0040333594A3>\n"
    " FLOAT red;\n"
    " FLOAT green;\n"
    " FLOAT blue;\n"
    "}\n\n"
    "template IndexedColor {\n"
    " <1630B820-7842-11cf-8F52-0040333594A3>\n"
    " DWORD index;\n"
    " ColorRGBA indexColor;\n"
    "}\n\n"
    "template Boolean {\n"
    " <4885AE61-78E8-11cf-8F52-0040333594A3>\n"
    " WORD truefalse;\n"
    "}\n\n"
    "template Boolean2d {\n"
    " <4885AE63-78E8-11cf-8F52-0040333594A3>\n"
    " Boolean u;\n"
    " Boolean v;\n"
    "}\n\n"
    "template MaterialWrap {\n"
    " <4885AE60-78E8-11cf-8F52-0040333594A3>\n"
    " Boolean u;\n"
    " Boolean v;\n"
    "}\n\n"
    "template TextureFilename {\n"
    " <A42790E1-7810-11cf-8F52-0040333594A3>\n"
    " STRING filename;\n"
    "}\n\n"
    "template Material {\n"
    " <3D82AB4D-62DA-11cf-AB39-0020AF71E433>\n"
    " ColorRGBA faceColor;\n"
    " FLOAT power;\n"
    " ColorRGB specularColor;\n"
    " ColorRGB emissiveColor;\n"
    " [...]\n"
    "}\n\n"
    "template MeshFace {\n"
    " <3D82AB5F-62DA-11cf-AB39-0020AF71E433>\n"
    " DWORD nFaceVertexIndices;\n"
    " array DWORD faceVertexIndices[nFaceVertexIndices];\n"
    "}\n\n"
    "template MeshFaceWraps {\n"
    " <4885AE62-78E8-11cf-8F52-0040333594A3>\n"
    " DWORD nFaceWrapValues;\n"
    " Boolean2d faceWrapValues;\n"
    "}\n\n"
    "template MeshTextureCoords {\n"
    " <F6F23F40-7686-11cf-8F52-0040333594A3>\n"
    " DWORD nTextureCoords;\n"
    " array Coords2d textureCoords[nTextureCoords];\n"
    "}\n\n"
    "template MeshMaterialList {\n"
    " <F6F23F42-7686-11cf-8F52-0040333594A3>\n"
    " DWORD nMaterials;\n"
    " DWORD nFaceIndexes;\n"
    " array DWORD faceIndexes[nFaceIndexes];\n"
    " [Material]\n"
    "}\n\n"
    "template MeshNormals {\n"
    " <F6F23F43-7686-11cf-8F52-0040333594A3>\n"
    " DWORD nNormals;\n"
    " array Vector normals[nNormals];\n"
    " DWORD nFaceNormals;\n"
    " array MeshFace faceNormals[nFaceNormals];\n"
    "}\n\n"
    "template MeshVertexColors {\n"
    " <1630B821-7842-11cf-8F52-0040333594A3>\n"
    " DWORD nVertexColors;\n"
    " array IndexedColor vertexColors[nVertexColors];\n"
    "}\n\n"
    "template Mesh {\n"
    " <3D82AB44-62DA-11cf-AB39-0020AF71E433>\n"
    " DWORD nVertices;\n"
    " array Vector vertices[nVertices];\n"
    " DWORD nFaces;\n"
    " array MeshFace faces[nFaces];\n"
    " [...]\n"
    "}\n\n";

// Writes the corners of every written surface, one vertex each, last corner
// first; visit(surface, corner slot) is called in file order.
template <typename Visit>
void ForEachReversedCorner(const std::vector<int>& surfaces, const Model& model, Visit&& visit) {
  for (int s : surfaces) {
    const int n = CornerCount(model.faces[s]);
    for (int k = n - 1; k >= 0; --k) visit(s, k);
  }
}

// The face list of the X mesh: running vertex numbers per surface.
void PutXFaces(OutputBuffer& out, const std::vector<int>& surfaces, const Model& model,
               const char* indent) {
  int next = 0;
  PutList(out, static_cast<int>(surfaces.size()), [&](int i) {
    const int n = CornerCount(model.faces[surfaces[static_cast<size_t>(i)]]);
    if (n == 4) {
      out.printf("%s4;%d,%d,%d,%d;", indent, next, next + 1, next + 2, next + 3);
    } else {
      out.printf("%s3;%d,%d,%d;", indent, next, next + 1, next + 2);
    }
    next += n;
  });
}

// The surfaces an XSI file holds (those exported, in table order) and where
// each one's corners start among all written corners: the base of its
// normal and UV indices.
struct XsiSurfaces {
  std::vector<int> surfaces;
  std::vector<int> firstCorner;  // by surface
  int corners = 0;
};

XsiSurfaces CollectXsiSurfaces(const Model& model) {
  XsiSurfaces written;
  written.firstCorner.assign(static_cast<size_t>(model.faceCount) + 1, 0);
  for (int f = 1; f <= model.faceCount; ++f) {
    if (!Exported(model.faces[f])) continue;
    written.surfaces.push_back(f);
    written.firstCorner[static_cast<size_t>(f)] = written.corners;
    written.corners += CornerCount(model.faces[f]);
  }
  return written;
}

// The header, scene, coordinate system, angle and ambience blocks.
void PutXsiPreamble(OutputBuffer& out) {
  out.put("xsi 0300txt 0032\n\n");
  out.put("SI_Scene {\n\t\"FRAMES\",\n\t0.000000,\n\t60.000000,\n\t24.000000,\n}\n\n");
  out.put("SI_CoordinateSystem {\n\t1,\n\t0,\n\t1,\n\t0,\n\t2,\n\t5,\n}\n\n");
  out.put("SI_Angle {\n\t0,\n}\n\n");
  out.put("SI_Ambience {\n\t0.300000, 0.300000, 0.300000,\n}\n\n");
}

// A default material, then one per palette entry below the guide material
// with its texture.
void PutXsiMaterialLibrary(OutputBuffer& out, const Model& model) {
  constexpr std::string_view kMaterialConstants =
      "\t\t50.000000,\n"
      "\t\t1.000000,1.000000,1.000000,\n"
      "\t\t0.000000,0.000000,0.000000,\n"
      "\t\t1,\n"
      "\t\t0.500000,0.500000,0.500000,\n";
  out.put("SI_MaterialLibrary MATLIB-Vexal {\n\t16,\n");
  out.put("\tSI_Material Default {\n\t\t0.700000,0.700000,0.700000,1.000000,\n");
  out.put(kMaterialConstants);
  out.put("\t}\n");
  for (int m = 0; m < kGuideMaterial; ++m) {
    const MATERIAL& material = model.materials[static_cast<size_t>(m)];
    const std::string name = OneLine(material.name);
    out.printf("\tSI_Material MAT-%s {\n", name.c_str());
    out.printf("\t\t%.6f,%.6f,%.6f,%.6f,\n", Unit(material.light[0]), Unit(material.light[1]),
               Unit(material.light[2]), 1.0);
    out.put(kMaterialConstants);
    if (HasTexture(material)) {
      out.printf("\t\tSI_Texture2D TEX-%s {\n", name.c_str());
      out.printf("\t\t\t\"%s\";\n", TextureName(material).c_str());
      out.put("\t\t\t3;\n");
      if (material.textureLoaded != 0) {
        out.printf("\t\t\t%d;%d;\n", material.textureWidth, material.textureHeight);
        out.printf("\t\t\t0;%d;0;%d;\n", material.textureWidth - 1, material.textureHeight - 1);
      } else {
        out.put("\t\t\t256;256;\n\t\t\t0;255;0;255;\n");
      }
      out.put(
          "\t\t\t0;\n"
          "\t\t\t1;1;\n"
          "\t\t\t0;0;\n"
          "\t\t\t1.000000;1.000000;\n"
          "\t\t\t0.000000;0.000000;\n"
          "\t\t\t1.000000,0.000000,0.000000,0.000000,\n"
          "\t\t\t0.000000,1.000000,0.000000,0.000000,\n"
          "\t\t\t0.000000,0.000000,1.000000,0.000000,\n"
          "\t\t\t0.000000,0.000000,0.000000,1.000000;;\n"
          "\t\t\t3;\n"
          "\t\t\t1.000000;\n"
          "\t\t\t0.750000;\n"
          "\t\t\t1.000000;\n"
          "\t\t\t0.000000;\n"
          "\t\t\t0.000000;\n"
          "\t\t\t0.000000;\n"
          "\t\t\t0.000000;\n"
          "\t\t}\n");
    }
    out.put("\t}\n");
  }
  out.put("}\n\n");
}

// The model's transform, global material and visibility.
void PutXsiModelHeader(OutputBuffer& out) {
  out.put("SI_Model MDL-Vexal {\n\tSI_Transform SRT-Vexal {\n");
  for (int i = 0; i < 3; ++i) out.put("\t\t1.000000,\n");
  for (int i = 0; i < 6; ++i) out.put("\t\t0.000000,\n");
  out.put("\t}\n");
  out.put("\tSI_GlobalMaterial {\n\t\t\"Default\"\n\t\t\"BRANCH\"\n\t}\n");
  out.put("\tSI_Visibility {\n\t\t1,\n\t}\n");
}

// The mesh's shape: every point, then the normal and UV of every written
// corner.
void PutXsiShape(OutputBuffer& out, const Model& model, const XsiSurfaces& written, float scale) {
  out.put("\tSI_Mesh MSH-Vexal {\n\t\tSI_Shape SHP-Vexal-ORG {\n\t\t\t3,\n\t\t\t\"ORDERED\",\n");
  out.printf("\t\t\t%d,\n\t\t\t\"POSITION\",\n", model.pointCount);
  for (int i = 1; i <= model.pointCount; ++i) {
    const VECTOR& p = model.points[i].position;
    out.printf("\t\t\t%.6f, %.6f, %.6f,\n", static_cast<double>(p.x * scale),
               static_cast<double>(p.y * scale), static_cast<double>(p.z * scale));
  }
  out.printf("\t\t\t%d,\n\t\t\t\"NORMAL\",\n", written.corners);
  for (int f : written.surfaces) {
    const FACE& face = model.faces[f];
    for (int k = 0; k < CornerCount(face); ++k) {
      const VECTOR& n = face.cornerNormals[static_cast<size_t>(k)];
      out.printf("\t\t\t%.6f, %.6f, %.6f,\n", static_cast<double>(n.x), static_cast<double>(n.y),
                 static_cast<double>(n.z));
    }
  }
  out.printf("\t\t\t%d,\n\t\t\t\"TEX_COORD_UV\",\n", written.corners);
  for (int f : written.surfaces) {
    const FACE& face = model.faces[f];
    for (int k = 0; k < CornerCount(face); ++k) {
      const UV& uv = face.uv[static_cast<size_t>(k)];
      out.printf("\t\t\t%.6f, %.6f,\n", static_cast<double>(uv.u), static_cast<double>(uv.v));
    }
  }
  out.put("\t\t}\n");
}

// One polygon list per material in use: corner counts, then the point, the
// normal and the UV indices of each surface.
void PutXsiPolygonLists(OutputBuffer& out, const Model& model, const XsiSurfaces& written) {
  std::vector<int> members;
  for (int m = 0; m < kGuideMaterial; ++m) {
    members.clear();
    int memberCorners = 0;
    for (int f : written.surfaces) {
      if (model.faces[f].material != m) continue;
      members.push_back(f);
      memberCorners += CornerCount(model.faces[f]);
    }
    if (members.empty()) continue;
    out.printf("\t\tSI_PolygonList {\n\t\t\t%d,\n\t\t\t\"NORMAL|TEX_COORD_UV\",\n",
               static_cast<int>(members.size()));
    out.printf("\t\t\t\"MAT-%s\",\n\t\t\t%d,\n", OneLine(model.materials[static_cast<size_t>(m)].name).c_str(),
               memberCorners);
    for (int f : members) out.printf("\t\t\t%d,\n", CornerCount(model.faces[f]));
    const auto putIndices = [&](int f, int base, bool points) {
      const FACE& face = model.faces[f];
      const auto index = [&](int k) { return points ? face.corners[static_cast<size_t>(k)] - 1 : base + k; };
      if (IsQuad(face)) {
        out.printf("\t\t\t%d, %d, %d, %d,\n", index(0), index(1), index(2), index(3));
      } else {
        out.printf("\t\t\t%d, %d, %d,\n", index(0), index(1), index(2));
      }
    };
    for (int f : members) putIndices(f, 0, true);
    for (int f : members) putIndices(f, written.firstCorner[static_cast<size_t>(f)], false);
    for (int f : members) putIndices(f, written.firstCorner[static_cast<size_t>(f)], false);
    out.put("\t\t}\n");
  }
}

}  // namespace

int SaveVrmlFile(Document& document, const std::string& path, FormatContext& context) {
  const Model& model = document.model;
  const float s = SettingsOf(context).WrlExportScale;
  OutputBuffer out;
  out.put("#VRML V1.0 ascii\nSeparator {\n\tDEF body Separator {\n\t\tCoordinate3 {\n\t\t\tpoint [\n");
  for (int i = 1; i <= model.pointCount; ++i) {
    const VECTOR& p = model.points[i].position;
    if (i > 1) out.put(",\n");
    out.printf("\t\t\t\t%f %f %f", static_cast<double>(p.x * s), static_cast<double>(p.y * s),
               static_cast<double>(p.z * s));
  }
  out.put("\n\t\t\t]\n\t\t}\n");
  for (int m = 0; m < kGuideMaterial; ++m) {
    bool used = false;
    for (int f = 1; f <= model.faceCount && !used; ++f) used = model.faces[f].material == m;
    if (!used) continue;
    const MATERIAL& material = model.materials[static_cast<size_t>(m)];
    out.printf("\t\tDEF body%d Separator {\n\t\t\tMaterial {\n", m);
    out.printf("\t\t\t\tdiffuseColor %f %f %f\n", Unit(material.light[0]), Unit(material.light[1]),
               Unit(material.light[2]));
    out.put("\t\t\t}\n\t\t\tIndexedFaceSet {\n\t\t\t\tcoordIndex [\n");
    bool first = true;
    for (int f = 1; f <= model.faceCount; ++f) {
      const FACE& face = model.faces[f];
      if (face.material != m) continue;
      if (!first) out.put(",\n");
      first = false;
      const auto& c = face.corners;
      if (IsQuad(face)) {
        out.printf("\t\t\t\t\t%d, %d, %d, %d, -1", c[0] - 1, c[1] - 1, c[2] - 1, c[3] - 1);
      } else {
        out.printf("\t\t\t\t\t%d, %d, %d, -1", c[0] - 1, c[1] - 1, c[2] - 1);
      }
    }
    out.put("\n\t\t\t\t]\n\t\t\t}\n\t\t}\n");
  }
  out.put("\t}\n}\n");
  return Commit(WithCrLf(out.str()), path, "VRML", context);
}

int SaveXFile(Document& document, const std::string& path, FormatContext& context) {
  const Model& model = document.model;
  const float s = SettingsOf(context).XExportScale;
  std::vector<int> surfaces;
  int corners = 0;
  for (int f = 1; f <= model.faceCount; ++f) {
    if (!Exported(model.faces[f])) continue;
    surfaces.push_back(f);
    corners += CornerCount(model.faces[f]);
  }
  const int faces = static_cast<int>(surfaces.size());

  OutputBuffer out;
  out.put("xof 0302txt 0064\n");
  out.put(kXTemplates);
  out.put("Header {\n 1;\n 0;\n 1;\n}\n\n");

  out.printf("Mesh {\n  %d;\n", corners);
  {
    int written = 0;
    ForEachReversedCorner(surfaces, model, [&](int f, int k) {
      const VECTOR& p = model.points[model.faces[f].corners[static_cast<size_t>(k)]].position;
      out.printf(" %.6f;%.6f;%.6f;", static_cast<double>(p.x * s), static_cast<double>(p.y * s),
                 static_cast<double>(-p.z * s));
      out.put(++written < corners ? ",\n" : ";\n");
    });
  }
  out.printf(" %d;\n", faces);
  PutXFaces(out, surfaces, model, " ");

  out.printf("\n MeshMaterialList {\n  15;\n  %d;\n", faces);
  PutList(out, faces, [&](int i) { out.printf("  %d", model.faces[surfaces[static_cast<size_t>(i)]].material); });
  for (int m = 0; m < kGuideMaterial; ++m) {
    const MATERIAL& material = model.materials[static_cast<size_t>(m)];
    const bool textured = HasTexture(material);
    out.put("  Material {\n");
    if (material.blend != 0 || !textured) {
      out.printf("   %.6f;%.6f;%.6f;%.6f;;\n", Unit(material.light[0]), Unit(material.light[1]),
                 Unit(material.light[2]), Unit(material.light[3]));
    } else {
      out.printf("   %.6f;%.6f;%.6f;%.6f;;\n", 1.0, 1.0, 1.0, 1.0);
    }
    out.printf("   %.6f;\n", 5.0);
    out.printf("   %.6f;%.6f;%.6f;;\n", 0.0, 0.0, 0.0);
    out.printf("   %.6f;%.6f;%.6f;;\n", 0.25, 0.25, 0.25);
    if (textured) {
      out.put("   TextureFilename {\n");
      out.printf("    \"%s\";\n", TextureName(material).c_str());
      out.put("   }\n");
    }
    out.put("  }\n");
  }
  out.put(" }\n\n");

  out.printf(" MeshNormals {\n  %d;\n", corners);
  {
    int written = 0;
    ForEachReversedCorner(surfaces, model, [&](int f, int k) {
      const VECTOR& n = model.faces[f].cornerNormals[static_cast<size_t>(k)];
      out.printf("  %.6f;%.6f;%.6f;", static_cast<double>(n.x), static_cast<double>(n.y),
                 static_cast<double>(-n.z));
      out.put(++written < corners ? ",\n" : ";\n");
    });
  }
  out.printf("  %d;\n", faces);
  PutXFaces(out, surfaces, model, "  ");
  out.put(" }\n");

  out.printf("\n MeshTextureCoords {\n  %d;\n", corners);
  {
    int written = 0;
    ForEachReversedCorner(surfaces, model, [&](int f, int k) {
      const UV& uv = model.faces[f].uv[static_cast<size_t>(k)];
      out.printf("  %.6f;%.6f;", static_cast<double>(uv.u), static_cast<double>(1.0f - uv.v));
      out.put(++written < corners ? ",\n" : ";\n");
    });
  }
  out.put(" }\n}\n");
  return Commit(out.str(), path, "X", context);
}

int SaveXsiFile(Document& document, const std::string& path, FormatContext& context) {
  const Model& model = document.model;
  const XsiSurfaces written = CollectXsiSurfaces(model);
  OutputBuffer out;
  PutXsiPreamble(out);
  PutXsiMaterialLibrary(out, model);
  PutXsiModelHeader(out);
  PutXsiShape(out, model, written, SettingsOf(context).XsiExportScale);
  PutXsiPolygonLists(out, model, written);
  out.put("\t}\n}\n");
  return Commit(out.str(), path, "XSI", context);
}

}  // namespace vexal
