#include "formats/format_registry.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <vector>

#include "formats/3ds_format.h"
#include "formats/dxf_format.h"
#include "formats/fcw_format.h"
#include "formats/gltf_format.h"
#include "formats/lwo_format.h"
#include "formats/mqo_format.h"
#include "formats/mx_format.h"
#include "formats/native_format.h"
#include "formats/obj_format.h"
#include "formats/rok_format.h"
#include "formats/scene_export.h"
#include "formats/stl_format.h"
#include "io/message_catalog.h"

namespace vexal {
namespace {

constexpr std::array<ReaderEntry, 14> kReaders = {{
    {2, "VXL", ".vxl", ReadNativeBytes},
    {3, "ROK", ".rok", ReadRokBytes},
    {4, "OBJ", ".obj", ReadObjBytes},
    {5, "DXF", ".dxf", ReadDxfBytes},
    {6, "MX", ".mx", ReadMxBytes},
    {7, "MQO", ".mqo", ReadMqoBytes},
    {8, "LWOB", ".lwo", ReadLwobBytes},  // tried before LWO2
    {8, "LWO2", ".lwo", ReadLwo2Bytes},
    {9, "3DS", ".3ds", Read3dsBytes},
    {10, "FCW", ".fcw", ReadFcwBytes},
    {12, "glTF", ".gltf", ReadGltfBytes},  // glTF JSON and binary container alike
    {12, "GLB", ".glb", ReadGltfBytes},
    // Last before the end: a binary STL is recognised by its size alone.
    {13, "STL", ".stl", ReadStlBytes},
    {52, "none", "", ReadNothing},  // always fails; ends the try-all order
}};

constexpr std::array<WriterEntry, 18> kWriters = {{
    {1, "VXL", ".vxl", SaveNativeFile},
    {2, "ROK", ".rok", SaveRokFile},
    {3, "DXF 3DFACE", ".dxf", SaveDxf3DFaceFile},
    {4, "DXF POLYLINE", ".dxf", SaveDxfPolylineFile},
    {5, "LWOB", ".lwo", SaveLwobFile},
    {6, "LWO2", ".lwo", SaveLwo2File},
    {7, "VRML 1.0", ".wrl", SaveVrmlFile},
    {8, "MX", ".mx", SaveMxFile},
    {9, "OBJ", ".obj", SaveObjFile},
    {10, "MQO", ".mqo", SaveMqoFile},
    {11, "XSI", ".xsi", SaveXsiFile},
    {12, "DirectX X", ".x", SaveXFile},
    {13, "3DS", ".3ds", Save3dsFile},
    {14, "FCW", ".fcw", SaveFcwFile},
    {15, "glTF", ".gltf", SaveGltfFile},  // glTF JSON with a .bin beside it
    {16, "GLB", ".glb", SaveGlbFile},     // glTF binary container
    {17, "STL", ".stl", SaveStlFile},     // STL, binary (the default for .stl)
    {18, "STL ASCII", ".stl", SaveStlAsciiFile},
}};

// The Open dialog's caption of each format's entry; the readers give the
// extensions.
struct OpenType {
  int openIndex;
  const char* caption;
};
constexpr std::array<OpenType, 13> kOpenTypes = {{
    {kOpenSupportedFiles, "Supported Files"},
    {2, "VXL File"},
    {3, "Hexagreat-3D File"},
    {4, "OBJ File"},
    {5, "DXF File"},
    {6, "MX File"},
    {7, "MQO File"},
    {8, "LWO File"},
    {9, "3DS File"},
    {10, "FCW File"},
    {kOpenAllFiles, "All Files"},
    {kOpenGltf, "glTF File"},
    {kOpenStl, "STL File"},
}};

// "*.a;*.b" of the readers with openIndex (every reader for 0), each
// extension once, in the order they are tried.
std::string ReaderPatterns(int openIndex) {
  std::string patterns;
  std::vector<std::string_view> seen;
  for (const ReaderEntry& reader : kReaders) {
    const std::string_view extension = reader.extension;
    if (extension.empty() || (openIndex != 0 && reader.openIndex != openIndex)) continue;
    if (std::find(seen.begin(), seen.end(), extension) != seen.end()) continue;
    seen.push_back(extension);
    if (!patterns.empty()) patterns += ';';
    patterns += '*';
    patterns += extension;
  }
  return patterns;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

}  // namespace

int ReadNothing(std::span<const uint8_t> /*bytes*/, const std::string& /*name*/,
                ReadTarget& /*target*/, FormatContext& context) {
  return context.fail(Translate("not a recognised model"));
}

std::span<const ReaderEntry> ReaderTable() { return kReaders; }

std::string OpenDialogFilter() {
  std::string filter;
  for (const OpenType& type : kOpenTypes) {
    std::string patterns = type.openIndex == kOpenSupportedFiles ? ReaderPatterns(0)
                           : type.openIndex == kOpenAllFiles     ? std::string("*.*")
                                                                 : ReaderPatterns(type.openIndex);
    if (!filter.empty()) filter += '|';
    filter += type.openIndex == kOpenSupportedFiles
                  ? std::string(type.caption)
                  : std::string(type.caption) + " (" + patterns + ")";
    filter += '|' + patterns;
  }
  return filter;
}

std::string SaveDialogFilter() {
  std::string filter;
  for (const WriterEntry& writer : kWriters) {
    if (!filter.empty()) filter += '|';
    filter += std::string(writer.name) + " File (*" + writer.extension + ")|*" + writer.extension;
  }
  return filter;
}
std::span<const WriterEntry> WriterTable() { return kWriters; }

const WriterEntry* FindWriter(int saveIndex) {
  if (saveIndex < kFirstSaveIndex || saveIndex > kLastSaveIndex) return nullptr;
  return &kWriters[static_cast<size_t>(saveIndex - kFirstSaveIndex)];
}

std::string_view ExtensionOf(std::string_view path) {
  const size_t slash = path.find_last_of("/\\");
  const size_t nameStart = slash == std::string_view::npos ? 0 : slash + 1;
  const size_t dot = path.find_last_of('.');
  if (dot == std::string_view::npos || dot < nameStart) return {};
  return path.substr(dot);
}

std::string ReplaceExtension(std::string_view path, std::string_view newExtension) {
  const std::string_view extension = ExtensionOf(path);
  std::string result(path.substr(0, path.size() - extension.size()));
  result.append(newExtension);
  return result;
}

std::string AddSaveExtension(std::string_view name, std::string_view typeExtension) {
  std::string result(name);
  if (name.empty() || typeExtension.empty()) return result;
  if (!EqualsIgnoringCase(ExtensionOf(name), typeExtension)) result.append(typeExtension);
  return result;
}

int SaveIndexForPath(std::string_view path, int typeIndex) {
  const std::string_view extension = ExtensionOf(path);
  if (extension.empty()) return 0;
  int first = 0;
  for (const WriterEntry& writer : kWriters) {
    if (!EqualsIgnoringCase(writer.extension, extension)) continue;
    if (writer.saveIndex == typeIndex) return typeIndex;
    if (first == 0) first = writer.saveIndex;
  }
  // A type that names a writer of another extension is a contradiction, not
  // a hint to ignore.
  if (typeIndex != 0 && FindWriter(typeIndex) != nullptr) return 0;
  return first;
}

}  // namespace vexal
