#include "formats/3ds_format.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <string_view>
#include <vector>

#include "formats/format_support.h"
#include "io/byte_reader.h"
#include "io/file_bytes.h"
#include "model/document.h"
#include "model/maintenance.h"
#include "settings/settings.h"
#include "io/message_catalog.h"

namespace vexal {
namespace {

enum ChunkId : uint16_t {
  kMain = 0x4D4D,
  kVersion = 0x0002,
  kFloatColor = 0x0010,
  kByteColor = 0x0011,
  kByteColorGamma = 0x0012,
  kPercentInt = 0x0030,
  kPercentFloat = 0x0031,
  kMasterScale = 0x0100,
  kEditor = 0x3D3D,
  kMeshVersion = 0x3D3E,
  kObject = 0x4000,
  kTriangleMesh = 0x4100,
  kVertexList = 0x4110,
  kFaceList = 0x4120,
  kFaceMaterial = 0x4130,
  kMapping = 0x4140,
  kMaterial = 0xAFFF,
  kMaterialName = 0xA000,
  kAmbient = 0xA010,
  kDiffuse = 0xA020,
  kSpecular = 0xA030,
  kShininess = 0xA040,
  kShininessStrength = 0xA041,
  kTransparency = 0xA050,
  kTextureMap = 0xA200,
  kMapName = 0xA300,
};

constexpr size_t kChunkHeader = 6;
constexpr size_t kMaxNameLength = 16;
constexpr size_t kMaxMapNameLength = 12;
constexpr size_t kMaxFileMaterials = 256;
// File materials fill palette entries 1..14; 0 is the default, 15 the guide.
constexpr size_t kPaletteMaterials = 14;
// Materials the writer describes: all but the guide material.
constexpr int kWrittenMaterials = 15;
// A face-material chunk names a material, which is at most 16 characters in
// any file we accept; a longer name can only miss, but it must still end.
constexpr size_t kMaxReferenceLength = 1024;
constexpr int kMaxFileVertices = 65535;

struct Chunk {
  uint16_t id = 0;
  size_t offset = 0;  // of its header, in the file
  ByteReader body;
};

struct FileMaterial {
  std::string name;
  std::array<int, 3> diffuse{};
  bool hasByteColor = false;
  int transparency = 0;  // 0..255
  std::string mapName;
};

struct FileTriangle {
  std::array<int32_t, 3> points{};  // 0-based indices into the point list
  int32_t reference = -1;           // index into the referenced names, -1 none
};

// The file's content in file coordinates, checked and complete before the
// model is touched.
struct Parsed {
  std::vector<VECTOR> points;
  std::vector<UV> uvs;  // one per point
  std::vector<FileTriangle> triangles;
  std::vector<std::string> references;  // material names used by faces
  std::vector<FileMaterial> materials;
};

class Reader {
 public:
  Reader(Parsed& parsed, FormatContext& context) : parsed_(parsed), context_(context) {}

  bool readFile(std::span<const uint8_t> bytes) {
    ByteReader file(bytes);
    const uint16_t id = file.u16le();
    const uint32_t size = file.u32le();
    if (!file.ok() || id != kMain)
      return fail(Translate("not a 3DS file (no main chunk 0x4D4D at the start)"));
    if (size < kChunkHeader || size - kChunkHeader > file.remaining()) {
      return fail(
          Format("the main chunk claims %u bytes but the file has %zu", size, bytes.size()));
    }
    ByteReader main = file.sub(size - kChunkHeader);
    Chunk chunk;
    while (next(main, chunk)) {
      if (chunk.id == kEditor && !readEditor(chunk.body)) return false;
    }
    return error_.empty();
  }

  const std::string& error() const { return error_; }

 private:
  bool fail(std::string why) {
    if (error_.empty()) error_ = std::move(why);
    return false;
  }

  // The next chunk of parent; false at the end of the walk or on an error
  // (then error() is set). Fewer than six bytes left is padding; a size
  // below the header's own ends the walk, as other readers do.
  bool next(ByteReader& parent, Chunk& chunk) {
    if (!error_.empty() || parent.remaining() < kChunkHeader) return false;
    chunk.offset = parent.fileOffset();
    chunk.id = parent.u16le();
    const uint32_t size = parent.u32le();
    if (size < kChunkHeader) {
      if (size != 0) {
        context_.warnings.push_back(
            Format("3DS: chunk 0x%04X at byte %zu has size %u; rest of its parent skipped",
                   chunk.id, chunk.offset, size));
      }
      return false;
    }
    if (size - kChunkHeader > parent.remaining()) {
      return fail(Format("chunk 0x%04X at byte %zu (%u bytes) overruns its parent", chunk.id,
                         chunk.offset, size));
    }
    chunk.body = parent.sub(size - kChunkHeader);
    return true;
  }

  bool truncated(const Chunk& chunk) {
    return fail(
        Format("chunk 0x%04X at byte %zu is too short for its content", chunk.id, chunk.offset));
  }

  bool readEditor(ByteReader& editor) {
    Chunk chunk;
    while (next(editor, chunk)) {
      if (chunk.id == kMaterial) {
        if (!readMaterial(chunk)) return false;
      } else if (chunk.id == kObject) {
        if (!readObject(chunk)) return false;
      }
    }
    return error_.empty();
  }

  bool readMaterial(Chunk& block) {
    if (parsed_.materials.size() >= kMaxFileMaterials) {
      if (parsed_.materials.size() == kMaxFileMaterials) {
        context_.warnings.push_back(Translate("3DS: materials after the 256th ignored"));
      }
      return true;
    }
    FileMaterial material;
    Chunk chunk;
    while (next(block.body, chunk)) {
      switch (chunk.id) {
        case kMaterialName:
          if (!chunk.body.cString(material.name, kMaxNameLength)) {
            return fail(
                Format("material name at byte %zu is longer than 16 characters or unterminated",
                       chunk.offset));
          }
          break;
        case kDiffuse:
          if (!readColor(chunk, material)) return false;
          break;
        case kTransparency:
          if (!readPercentage(chunk, material.transparency)) return false;
          break;
        case kTextureMap:
          if (!readTextureMap(chunk, material.mapName)) return false;
          break;
        default:
          break;
      }
    }
    if (!error_.empty()) return false;
    parsed_.materials.push_back(std::move(material));
    return true;
  }

  bool readColor(Chunk& colour, FileMaterial& material) {
    Chunk chunk;
    while (next(colour.body, chunk)) {
      if (chunk.id == kByteColor) {
        for (int& channel : material.diffuse) channel = chunk.body.u8();
        if (!chunk.body.ok()) return truncated(chunk);
        material.hasByteColor = true;
      } else if (chunk.id == kFloatColor && !material.hasByteColor) {
        // Some writers give only the float form; 0..1 per channel.
        for (int& channel : material.diffuse) {
          const float value = chunk.body.f32le();
          if (!std::isfinite(value))
            return fail(Format("non-finite colour at byte %zu", chunk.offset));
          channel = static_cast<int>(std::clamp(value, 0.0f, 1.0f) * 255.0f + 0.5f);
        }
        if (!chunk.body.ok()) return truncated(chunk);
      }
    }
    return error_.empty();
  }

  // 100 % must come back as exactly 255 (fully transparent), so the
  // percentage is scaled by 255 / 100 in integer or double arithmetic, never
  // by a rounded 2.55f.
  bool readPercentage(Chunk& percentage, int& transparency) {
    Chunk chunk;
    while (next(percentage.body, chunk)) {
      if (chunk.id == kPercentInt) {
        const int value = chunk.body.i16le();
        if (!chunk.body.ok()) return truncated(chunk);
        transparency = std::clamp(value, 0, 100) * 255 / 100;
      } else if (chunk.id == kPercentFloat) {
        const float value = chunk.body.f32le();
        if (!chunk.body.ok()) return truncated(chunk);
        if (!std::isfinite(value))
          return fail(Format("non-finite percentage at byte %zu", chunk.offset));
        transparency =
            static_cast<int>(std::clamp(static_cast<double>(value), 0.0, 100.0) * 255.0 / 100.0);
      }
    }
    return error_.empty();
  }

  bool readTextureMap(Chunk& map, std::string& mapName) {
    Chunk chunk;
    while (next(map.body, chunk)) {
      if (chunk.id != kMapName) continue;
      if (!chunk.body.cString(mapName, kMaxMapNameLength)) {
        return fail(
            Format("texture map name at byte %zu is longer than 12 characters or unterminated",
                   chunk.offset));
      }
      const size_t dot = mapName.rfind('.');
      const size_t base = dot == std::string::npos ? mapName.size() : dot;
      const size_t extension = mapName.size() - base;
      if (base > 8 || extension > 4) {
        return fail(Format("texture map name \"%s\" at byte %zu is not an 8.3 name",
                           mapName.c_str(), chunk.offset));
      }
    }
    return error_.empty();
  }

  bool readObject(Chunk& object) {
    std::string name;
    if (!object.body.cString(name, kMaxNameLength)) {
      return fail(Format("object name at byte %zu is longer than 16 characters or unterminated",
                         object.offset));
    }
    // Vertex and face numbers count from the object's first point and face.
    pointBase_ = parsed_.points.size();
    faceBase_ = parsed_.triangles.size();
    Chunk chunk;
    while (next(object.body, chunk)) {
      if (chunk.id == kTriangleMesh && !readMesh(chunk)) return false;
    }
    return error_.empty();
  }

  bool readMesh(Chunk& mesh) {
    // Vertices first, whatever the order of the chunks, so that faces and
    // mapping coordinates can be checked against the object's vertex list.
    ByteReader again = mesh.body;
    Chunk chunk;
    while (next(mesh.body, chunk)) {
      if (chunk.id == kVertexList && !readVertices(chunk)) return false;
    }
    while (next(again, chunk)) {
      if (chunk.id == kFaceList && !readFaces(chunk)) return false;
      if (chunk.id == kMapping && !readMapping(chunk)) return false;
    }
    return error_.empty();
  }

  bool readVertices(Chunk& list) {
    const size_t count = list.body.u16le();
    if (!list.body.has(count * 12)) return truncated(list);
    if (parsed_.points.size() + count > static_cast<size_t>(kPointSlots - 1)) {
      return fail(Format("more than %d points before merging (vertex list at byte %zu)",
                         kPointSlots - 1, list.offset));
    }
    for (size_t i = 0; i < count; ++i) {
      VECTOR p;
      p.x = list.body.f32le();
      p.y = list.body.f32le();
      p.z = list.body.f32le();
      if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(p.z)) {
        return fail(Format("vertex %zu of the list at byte %zu is not finite", i, list.offset));
      }
      parsed_.points.push_back(p);
      parsed_.uvs.push_back(UV{});
    }
    return true;
  }

  bool readFaces(Chunk& list) {
    const size_t count = list.body.u16le();
    if (!list.body.has(count * 8)) return truncated(list);
    if (parsed_.triangles.size() + count > static_cast<size_t>(kMaxCount)) {
      return fail(Format("more than %d surfaces (face list at byte %zu)", kMaxCount, list.offset));
    }
    const size_t vertices = parsed_.points.size() - pointBase_;
    for (size_t i = 0; i < count; ++i) {
      FileTriangle triangle;
      for (int32_t& point : triangle.points) {
        const size_t vertex = list.body.u16le();
        if (vertex >= vertices) {
          return fail(
              Format("face %zu of the list at byte %zu uses vertex %zu of an object with %zu", i,
                     list.offset, vertex, vertices));
        }
        point = static_cast<int32_t>(pointBase_ + vertex);
      }
      list.body.u16le();  // edge visibility flags
      parsed_.triangles.push_back(triangle);
    }
    Chunk chunk;
    while (next(list.body, chunk)) {
      if (chunk.id == kFaceMaterial && !readFaceMaterial(chunk)) return false;
      if (chunk.id == kMapping && !readMapping(chunk)) return false;
    }
    return error_.empty();
  }

  bool readFaceMaterial(Chunk& chunk) {
    std::string name;
    if (!chunk.body.cString(name, kMaxReferenceLength)) return truncated(chunk);
    const size_t count = chunk.body.u16le();
    if (!chunk.body.has(count * 2)) return truncated(chunk);
    const auto found = std::find(parsed_.references.begin(), parsed_.references.end(), name);
    const auto reference = static_cast<int32_t>(found - parsed_.references.begin());
    if (found == parsed_.references.end()) parsed_.references.push_back(std::move(name));
    const size_t faces = parsed_.triangles.size() - faceBase_;
    for (size_t i = 0; i < count; ++i) {
      const size_t face = chunk.body.u16le();
      if (face >= faces) {
        return fail(Format("face material at byte %zu names face %zu of an object with %zu",
                           chunk.offset, face, faces));
      }
      parsed_.triangles[faceBase_ + face].reference = reference;
    }
    return true;
  }

  bool readMapping(Chunk& chunk) {
    const size_t count = chunk.body.u16le();
    if (!chunk.body.has(count * 8)) return truncated(chunk);
    const size_t vertices = parsed_.points.size() - pointBase_;
    if (count > vertices) {
      context_.warnings.push_back(
          Format("3DS: mapping list at byte %zu has %zu coordinates for %zu vertices; the extra "
                 "ones ignored",
                 chunk.offset, count, vertices));
    }
    for (size_t i = 0; i < count; ++i) {
      const UV uv{chunk.body.f32le(), chunk.body.f32le()};
      if (!std::isfinite(uv.u) || !std::isfinite(uv.v)) {
        return fail(Format("mapping coordinate %zu of the list at byte %zu is not finite", i,
                           chunk.offset));
      }
      if (i < vertices) parsed_.uvs[pointBase_ + i] = uv;
    }
    return true;
  }

  Parsed& parsed_;
  FormatContext& context_;
  std::string error_;
  size_t pointBase_ = 0;
  size_t faceBase_ = 0;
};

// A chunk whose size is patched when it ends.
class ChunkWriter {
 public:
  explicit ChunkWriter(OutputBuffer& out) : out_(out) {}
  size_t begin(uint16_t id) {
    const size_t start = out_.size();
    out_.u16le(id);
    out_.u32le(0);
    return start;
  }
  void end(size_t start) { out_.patchU32le(start + 2, static_cast<uint32_t>(out_.size() - start)); }
  void color(uint16_t id, int r, int g, int b) {
    const size_t start = begin(id);
    for (uint16_t form : {kByteColor, kByteColorGamma}) {
      const size_t inner = begin(form);
      out_.u8(static_cast<uint8_t>(r));
      out_.u8(static_cast<uint8_t>(g));
      out_.u8(static_cast<uint8_t>(b));
      end(inner);
    }
    end(start);
  }
  void percentage(uint16_t id, int value) {
    const size_t start = begin(id);
    const size_t inner = begin(kPercentInt);
    out_.u16le(static_cast<uint16_t>(value));
    end(inner);
    end(start);
  }
  void text(std::string_view value) {
    out_.put(value);
    out_.u8(0);
  }

 private:
  OutputBuffer& out_;
};

// A texture file's name in 8.3 form: no folder, a base of at most eight
// characters and an extension of at most three letters after its dot.
std::string MapName(std::string_view texture, int material, FormatContext& context) {
  if (const auto slash = texture.find_last_of("/\\:"); slash != std::string_view::npos) {
    texture.remove_prefix(slash + 1);
  }
  const size_t dot = texture.rfind('.');
  std::string_view base = texture.substr(0, dot);
  std::string_view extension =
      dot == std::string_view::npos ? std::string_view() : texture.substr(dot);
  if (base.size() > 8 || extension.size() > 4) {
    base = base.substr(0, 8);
    extension = extension.substr(0, 4);
    context.warnings.push_back(
        Format("3DS: texture of material %d written as the 8.3 name \"%.*s%.*s\"", material,
               static_cast<int>(base.size()), base.data(), static_cast<int>(extension.size()),
               extension.data()));
  }
  std::string name(base);
  name.append(extension);
  return name;
}

// Material names as written: cut to 16 characters and made unique, because
// faces find their material by name; two palette entries of the same name
// (or the same first 16 characters) would otherwise fall together on reading.
std::array<std::string, kWrittenMaterials> WrittenNames(const Model& model,
                                                        FormatContext& context) {
  std::array<std::string, kWrittenMaterials> names;
  for (int m = 0; m < kWrittenMaterials; ++m) {
    const std::string_view name = TextOf(model.materials[static_cast<size_t>(m)].name);
    std::string written(name.substr(0, kMaxNameLength));
    auto taken = [&](const std::string& candidate) {
      return std::find(names.begin(), names.begin() + m, candidate) != names.begin() + m;
    };
    // "~" and the palette index is unique among the suffixed names, so at
    // most a handful of tries meet an unsuffixed name that looks the same.
    for (int attempt = 0; taken(written); ++attempt) {
      const std::string suffix = "~" + std::to_string(m + kWrittenMaterials * attempt);
      written = std::string(name.substr(0, kMaxNameLength - suffix.size())) + suffix;
    }
    if (written != name) {
      context.warnings.push_back(
          Format("3DS: material %d written with the name \"%s\"", m, written.c_str()));
    }
    names[static_cast<size_t>(m)] = std::move(written);
  }
  return names;
}

// The written triangles: three corners of their own each (position in the
// file's axes at the export scale, UV), and per material the triangles that
// use it.
struct TdsCorner {
  VECTOR position;
  UV uv;
};
struct TdsTriangles {
  std::vector<TdsCorner> corners;
  std::array<std::vector<uint16_t>, kWrittenMaterials> trianglesOf;
  int triangles = 0;
};

// Triangles of the surfaces outside the guide material, a quad counting two.
int Count3dsTriangles(const Model& model) {
  int triangles = 0;
  for (int s = 1; s <= model.faceCount; ++s) {
    const FACE& face = model.faces[s];
    if (face.material != kGuideMaterial) triangles += IsQuad(face) ? 2 : 1;
  }
  return triangles;
}

// Splits every written surface into triangles, a quad as ChooseQuadSplit
// picks.
TdsTriangles Split3dsTriangles(const Model& model, int triangles, float scale) {
  TdsTriangles written;
  written.triangles = triangles;
  std::vector<TdsCorner>& corners = written.corners;
  corners.reserve(static_cast<size_t>(triangles) * 3);
  auto addTriangle = [&](const FACE& face, int a, int b, int c) {
    written.trianglesOf[static_cast<size_t>(face.material)].push_back(
        static_cast<uint16_t>(corners.size() / 3));
    for (int slot : {a, b, c}) {
      const VECTOR& p = model.points[face.corners[static_cast<size_t>(slot)]].position;
      corners.push_back(
          {VECTOR(p.x * scale, -p.z * scale, p.y * scale), face.uv[static_cast<size_t>(slot)]});
    }
  };
  for (int s = 1; s <= model.faceCount; ++s) {
    const FACE& face = model.faces[s];
    if (face.material == kGuideMaterial) continue;
    if (!IsQuad(face)) {
      addTriangle(face, 0, 1, 2);
    } else if (ChooseQuadSplit(model, s) == 1) {
      addTriangle(face, 0, 1, 2);
      addTriangle(face, 2, 3, 0);
    } else {
      addTriangle(face, 0, 1, 3);
      addTriangle(face, 1, 2, 3);
    }
  }
  return written;
}

// The mesh version and master scale of the editor chunk.
void Put3dsEditorSettings(ChunkWriter& chunks, OutputBuffer& out) {
  const size_t meshVersion = chunks.begin(kMeshVersion);
  out.u32le(3);
  chunks.end(meshVersion);
  const size_t masterScale = chunks.begin(kMasterScale);
  out.f32le(1.0f);
  chunks.end(masterScale);
}

// One material block per written palette entry, with its texture map.
void Put3dsMaterials(ChunkWriter& chunks, OutputBuffer& out, const Model& model,
                     const std::array<std::string, kWrittenMaterials>& names, FormatContext& context) {
  for (int m = 0; m < kWrittenMaterials; ++m) {
    const MATERIAL& material = model.materials[static_cast<size_t>(m)];
    const int r = Channel(material.light[0]);
    const int g = Channel(material.light[1]);
    const int b = Channel(material.light[2]);
    const int opacity = Channel(material.light[3]);
    const size_t block = chunks.begin(kMaterial);
    const size_t name = chunks.begin(kMaterialName);
    chunks.text(names[static_cast<size_t>(m)]);
    chunks.end(name);
    chunks.color(kAmbient, r >> 2, g >> 2, b >> 2);
    chunks.color(kDiffuse, r, g, b);
    chunks.color(kSpecular, 255, 255, 255);
    chunks.percentage(kShininess, 0);
    chunks.percentage(kShininessStrength, 0);
    chunks.percentage(kTransparency, (255 - opacity) * 100 / 255);
    if (const std::string_view texture = TextOf(material.texture); !texture.empty()) {
      const size_t map = chunks.begin(kTextureMap);
      const size_t strength = chunks.begin(kPercentInt);
      out.u16le(100);
      chunks.end(strength);
      const size_t mapName = chunks.begin(kMapName);
      chunks.text(MapName(texture, m, context));
      chunks.end(mapName);
      chunks.end(map);
    }
    chunks.end(block);
  }
}

// The one object "default": its vertex list, UVs, faces and the faces of
// each material.
void Put3dsObject(ChunkWriter& chunks, OutputBuffer& out, const TdsTriangles& written,
                  const std::array<std::string, kWrittenMaterials>& names) {
  const size_t object = chunks.begin(kObject);
  chunks.text("default");
  const size_t mesh = chunks.begin(kTriangleMesh);
  const size_t vertexList = chunks.begin(kVertexList);
  out.u16le(static_cast<uint16_t>(written.corners.size()));
  for (const TdsCorner& corner : written.corners) {
    out.f32le(corner.position.x);
    out.f32le(corner.position.y);
    out.f32le(corner.position.z);
  }
  chunks.end(vertexList);
  const size_t mapping = chunks.begin(kMapping);
  out.u16le(static_cast<uint16_t>(written.corners.size()));
  for (const TdsCorner& corner : written.corners) {
    out.f32le(corner.uv.u);
    out.f32le(corner.uv.v);
  }
  chunks.end(mapping);
  const size_t faceList = chunks.begin(kFaceList);
  out.u16le(static_cast<uint16_t>(written.triangles));
  for (int t = 0; t < written.triangles; ++t) {
    const auto first = static_cast<uint16_t>(3 * t);
    out.u16le(first);
    out.u16le(static_cast<uint16_t>(first + 1));
    out.u16le(static_cast<uint16_t>(first + 2));
    out.u16le(7);
  }
  for (int m = 0; m < kWrittenMaterials; ++m) {
    const auto& list = written.trianglesOf[static_cast<size_t>(m)];
    if (list.empty()) continue;
    const size_t faceMaterial = chunks.begin(kFaceMaterial);
    chunks.text(names[static_cast<size_t>(m)]);
    out.u16le(static_cast<uint16_t>(list.size()));
    for (uint16_t t : list) out.u16le(t);
    chunks.end(faceMaterial);
  }
  chunks.end(faceList);
  chunks.end(mesh);
  chunks.end(object);
}

}  // namespace

int Read3dsBytes(std::span<const uint8_t> bytes, const std::string& /*name*/, ReadTarget& target,
            FormatContext& context) {

  Parsed parsed;
  Reader reader(parsed, context);
  if (!reader.readFile(bytes))
    return context.fail(FormatMessage("3DS: %s", reader.error().c_str()));

  // Each referenced name resolves to the first file material of that name.
  std::vector<int32_t> paletteOf(parsed.references.size(), 0);
  for (size_t r = 0; r < parsed.references.size(); ++r) {
    for (size_t i = 0; i < parsed.materials.size(); ++i) {
      if (parsed.materials[i].name == parsed.references[r]) {
        paletteOf[r] = static_cast<int32_t>(i % kPaletteMaterials) + 1;
        break;
      }
    }
  }

  Model& model = target.model;
  for (size_t i = 0; i < parsed.points.size(); ++i) {
    const VECTOR& p = parsed.points[i];
    SetPoint(model, static_cast<int>(i) + 1, p.x, p.y, p.z, kStateNormal, 0);
  }
  model.pointCount = static_cast<int32_t>(parsed.points.size());
  for (size_t t = 0; t < parsed.triangles.size(); ++t) {
    const FileTriangle& triangle = parsed.triangles[t];
    const int surface = static_cast<int>(t) + 1;
    const auto& p = triangle.points;
    const int32_t material =
        triangle.reference < 0 ? 0 : paletteOf[static_cast<size_t>(triangle.reference)];
    SetFace(model, surface, p[0] + 1, p[1] + 1, p[2] + 1, p[0] + 1, material, kStateNormal);
    const auto& uvs = parsed.uvs;
    SetFaceUV(model, surface, uvs[static_cast<size_t>(p[0])], uvs[static_cast<size_t>(p[1])],
              uvs[static_cast<size_t>(p[2])], uvs[static_cast<size_t>(p[0])]);
  }
  model.faceCount = static_cast<int32_t>(parsed.triangles.size());
  for (size_t i = 0; i < parsed.materials.size() && i < kPaletteMaterials; ++i) {
    const FileMaterial& source = parsed.materials[i];
    const int entry = static_cast<int>(i) + 1;
    const int opacity = 255 - source.transparency;
    const auto& c = source.diffuse;
    SetMaterialColors(model, entry, c[0], c[1], c[2], opacity, c[0] / 2, c[1] / 2, c[2] / 2,
                      opacity);
    // Both fit: names are at most 16 characters, map names 12.
    SetText(model.materials[static_cast<size_t>(entry)].name, source.name);
    SetText(model.materials[static_cast<size_t>(entry)].texture, source.mapName);
  }

  if (!CompactModel(model, kCompactMerge | kCompactRebuildLines)) {
    return context.fail(Translate("3DS: the merged model passes the 19999 record limit"));
  }
  const float scale = SettingsOf(context).TdsImportScale;
  ScaleModel(model, scale, scale, scale);
  for (int i = 1; i <= model.pointCount; ++i) {
    VECTOR& p = model.points[i].position;
    p.set(p.x, p.z, -p.y);
    if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(p.z)) {
      return context.fail(Translate("3DS: a coordinate overflows at the import scale"));
    }
  }
  return 1;
}

int Save3dsFile(Document& document, const std::string& path, FormatContext& context) {
  const Model& model = document.model;
  const int triangles = Count3dsTriangles(model);
  // Three vertices per triangle in one 16-bit vertex list: a larger model
  // would wrap the count and write a corrupt file.
  if (static_cast<int64_t>(triangles) * 3 > kMaxFileVertices) {
    return context.fail(
        Format("3DS: %d triangles need %d vertices, more than the %d a 3DS mesh holds", triangles,
               triangles * 3, kMaxFileVertices));
  }
  const TdsTriangles written = Split3dsTriangles(model, triangles, SettingsOf(context).TdsExportScale);

  OutputBuffer out;
  ChunkWriter chunks(out);
  const size_t main = chunks.begin(kMain);
  const size_t version = chunks.begin(kVersion);
  out.u32le(3);
  chunks.end(version);
  const size_t editor = chunks.begin(kEditor);
  Put3dsEditorSettings(chunks, out);
  const std::array<std::string, kWrittenMaterials> names = WrittenNames(model, context);
  Put3dsMaterials(chunks, out, model, names, context);
  Put3dsObject(chunks, out, written, names);
  chunks.end(editor);
  chunks.end(main);

  std::string reason;
  if (!out.commit(path, &reason)) return context.fail(FormatMessage("3DS: %s", reason.c_str()));
  return 1;
}

int Load3dsFile(Document& document, const std::string& path, FormatContext& context) {
  return LoadModelFile(document, path, Read3dsBytes, context);
}

}  // namespace vexal
