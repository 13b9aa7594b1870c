#include "formats/mx_format.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <iterator>
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

constexpr int32_t kOldVersion = 256;  // UVs in texels
constexpr int32_t kVersion = 512;     // UVs in 0..1, adds section D
constexpr size_t kSectionABytes = 60;
constexpr size_t kFaceBytes = 168;
constexpr size_t kNameBytes = 16;
constexpr size_t kSectionDBytes = 64;
constexpr uint32_t kHeaderBytes = 48;
constexpr uint16_t kNoTexture = 0xFFFF;
// Materials 0..14 can carry file textures; 15 is the guide material.
constexpr int kTexturedMaterials = 15;

struct Section {
  int32_t size = 0;
  int32_t offset = 0;
};

// The name of a file without its folder (either separator) and extension.
std::string_view BareName(std::string_view path) {
  if (const auto slash = path.find_last_of("/\\:"); slash != std::string_view::npos) {
    path.remove_prefix(slash + 1);
  }
  if (const auto dot = path.rfind('.'); dot != std::string_view::npos) path = path.substr(0, dot);
  return path;
}

struct MxFace {
  std::array<VECTOR, 4> corners;
  std::array<UV, 4> uv;
  int32_t material = 0;
};

}  // namespace

int ReadMxBytes(std::span<const uint8_t> bytes, const std::string& /*name*/, ReadTarget& target,
           FormatContext& context) {

  ByteReader in(bytes);
  if (!in.peekMatches(std::string_view("MXF\0", 4))) {
    return context.fail(Translate("MX: not an MX file (no \"MXF\" header)"));
  }
  in.skip(4);
  const int32_t version = in.i32le();
  Section sectionA, faceSection, textureSection, sectionD;
  for (Section* section : {&sectionA, &faceSection, &textureSection}) {
    section->size = in.i32le();
    section->offset = in.i32le();
  }
  if (version == kVersion) {
    in.i32le();
    in.i16le();
    in.i16le();
    sectionD.size = in.i32le();
    sectionD.offset = in.i32le();
  }
  if (!in.ok()) return context.fail(Translate("MX: the file ends inside the header"));
  if (version != kVersion && version != kOldVersion) {
    return context.fail(Format("MX: unknown version %d (256 and 512 are read)", version));
  }

  struct Named {
    const char* name;
    const Section& section;
    size_t record;
  };
  for (const Named& named :
       {Named{"section A", sectionA, 1}, Named{"face section", faceSection, kFaceBytes},
        Named{"texture section", textureSection, kNameBytes}, Named{"section D", sectionD, 1}}) {
    const Section& s = named.section;
    if (s.size < 0 || s.offset < 0 ||
        static_cast<uint64_t>(s.offset) + static_cast<uint64_t>(s.size) > bytes.size()) {
      return context.fail(Format("MX: %s (offset %d, size %d) lies outside the %zu-byte file",
                                 named.name, s.offset, s.size, bytes.size()));
    }
    if (static_cast<size_t>(s.size) % named.record != 0) {
      return context.fail(Format("MX: %s size %d is not a whole number of %zu-byte records",
                                 named.name, s.size, named.record));
    }
  }

  const size_t faceCount = static_cast<size_t>(faceSection.size) / kFaceBytes;
  if (faceCount > static_cast<size_t>(kMaxCount)) {
    return context.fail(
        Format("MX: %zu faces, more than the %d surfaces a model holds", faceCount, kMaxCount));
  }

  const Settings& settings = SettingsOf(context);
  const float scale = static_cast<float>(settings.MxImportScale);
  float texelsU = 1.0f, texelsV = 1.0f;
  if (version == kOldVersion) {
    // A width of zero would turn every coordinate into infinity.
    texelsU = settings.MxTextureWidth > 0 ? static_cast<float>(settings.MxTextureWidth) : 256.0f;
    texelsV = settings.MxTextureHeight > 0 ? static_cast<float>(settings.MxTextureHeight) : 256.0f;
  }

  std::vector<MxFace> faces(faceCount);
  ByteReader whole(bytes);
  whole.seek(static_cast<size_t>(faceSection.offset));
  ByteReader records = whole.sub(static_cast<size_t>(faceSection.size));
  for (size_t f = 0; f < faceCount; ++f) {
    const size_t offset = records.fileOffset();
    MxFace& face = faces[f];
    float values[4 * 4 + 4 * 4 + 4 * 2];
    for (float& value : values) value = records.f32le();
    const uint32_t colour = records.u32le();
    const uint16_t texture = records.u16le();
    records.u16le();
    static_cast<void>(colour);  // colours are not kept: materials follow textures
    for (size_t i = 0; i < std::size(values); ++i) {
      if (i >= 16 && i < 32) continue;  // the normals are recomputed
      if (!std::isfinite(values[i])) {
        return context.fail(
            Format("MX: face %zu holds a non-finite number (byte offset %zu)", f + 1, offset));
      }
    }
    for (int c = 0; c < 4; ++c) {
      const float* corner = values + 4 * c;
      const VECTOR p(corner[0] * scale, -corner[1] * scale, corner[2] * scale);
      if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(p.z)) {
        return context.fail(
            Format("MX: face %zu overflows when scaled (byte offset %zu)", f + 1, offset));
      }
      face.corners[static_cast<size_t>(c)] = p;
      const float* uv = values + 32 + 2 * c;
      face.uv[static_cast<size_t>(c)] = UV{uv[0] / texelsU, 1.0f - uv[1] / texelsV};
    }
    face.material = (texture + 15) % 15;
  }

  std::vector<std::string> names;
  whole.seek(static_cast<size_t>(textureSection.offset));
  ByteReader table = whole.sub(static_cast<size_t>(textureSection.size));
  while (!table.atEnd() && names.size() < kTexturedMaterials) {
    names.push_back(table.fixedString(kNameBytes));
  }

  // Everything is read and checked: only now is the model replaced.
  Model& model = target.model;
  for (size_t i = 0; i < names.size(); ++i) {
    // An empty slot names no file; giving it the bare extension as a texture
    // would make the material look for a file called ".bmp".
    if (names[i].empty()) continue;
    MATERIAL& material = model.materials[i];
    if (!SetText(material.texture, names[i] + settings.MxTextureExtension) ||
        !SetText(material.name, BareName(names[i]))) {
      return context.fail(Translate("MX: texture name too long with its extension"));
    }
  }
  int point = 0;
  for (size_t f = 0; f < faceCount; ++f) {
    const MxFace& face = faces[f];
    for (const VECTOR& corner : face.corners) {
      ++point;
      SetPoint(model, point, corner.x, corner.y, corner.z, kStateNormal, 0);
    }
    const int surface = static_cast<int>(f) + 1;
    SetFace(model, surface, point - 3, point - 2, point - 1, point, face.material, kStateNormal);
    SetFaceUV(model, surface, face.uv[0], face.uv[1], face.uv[2], face.uv[3]);
  }
  model.pointCount = point;
  model.faceCount = static_cast<int32_t>(faceCount);
  if (!CompactModel(model, kCompactMerge | kCompactRebuildLines)) {
    return context.fail(Translate("MX: the merged model passes the 19999 record limit"));
  }
  return 1;
}

int SaveMxFile(Document& document, const std::string& path, FormatContext& context) {
  const Model& model = document.model;
  std::array<int, kTexturedMaterials> textureNumber{};
  std::vector<std::string_view> textureNames;
  for (int m = 0; m < kTexturedMaterials; ++m) {
    const std::string_view texture = TextOf(model.materials[m].texture);
    if (texture.empty()) {
      textureNumber[static_cast<size_t>(m)] = kNoTexture;
      continue;
    }
    textureNumber[static_cast<size_t>(m)] = static_cast<int>(textureNames.size());
    textureNames.push_back(BareName(texture).substr(0, kNameBytes - 1));
  }
  int faceCount = 0;
  for (int s = 1; s <= model.faceCount; ++s) {
    if (model.faces[s].material != kGuideMaterial) ++faceCount;
  }

  const uint32_t faceBytes = static_cast<uint32_t>(faceCount) * kFaceBytes;
  const uint32_t textureBytes = static_cast<uint32_t>(textureNames.size() * kNameBytes);
  const uint32_t faceOffset = kHeaderBytes + kSectionABytes;
  OutputBuffer out;
  out.bytes("MXF", 4);
  out.u32le(kVersion);
  out.u32le(kSectionABytes);
  out.u32le(kHeaderBytes);
  out.u32le(faceBytes);
  out.u32le(faceOffset);
  out.u32le(textureBytes);
  out.u32le(faceOffset + faceBytes);
  out.u32le(2);
  out.u16le(0);
  out.u16le(0);
  out.u32le(kSectionDBytes);
  out.u32le(faceOffset + faceBytes + textureBytes);

  for (float value : {0.f, 0.f, 0.f, 1.f, 0.f, 0.f, 0.f, 1.f, 1.f, 1.f, 1.f, 1.f}) out.f32le(value);
  out.u16le(1);
  out.u16le(static_cast<uint16_t>(faceCount));
  out.u32le(0);
  out.u16le(0);
  out.u16le(0);

  const float scale = static_cast<float>(SettingsOf(context).MxExportScale);
  for (int s = 1; s <= model.faceCount; ++s) {
    const FACE& face = model.faces[s];
    if (face.material == kGuideMaterial) continue;
    // A triangle goes out as a quad whose fourth corner repeats the third.
    const std::array<size_t, 4> slots =
        IsQuad(face) ? std::array<size_t, 4>{0, 1, 2, 3} : std::array<size_t, 4>{0, 1, 2, 2};
    for (size_t slot : slots) {
      const VECTOR& p = model.points[face.corners[slot]].position;
      for (float value : {p.x * scale, -p.y * scale, p.z * scale, 1.0f}) out.f32le(value);
    }
    for (size_t slot : slots) {
      const VECTOR& n = face.cornerNormals[slot];
      for (float value : {n.x, -n.y, n.z, 1.0f}) out.f32le(value);
    }
    for (size_t slot : slots) {
      out.f32le(face.uv[slot].u);
      out.f32le(1.0f - face.uv[slot].v);
    }
    const auto& light = model.materials[face.material].light;
    out.u32le(static_cast<uint32_t>(Channel(light[0]) << 16 | Channel(light[1]) << 8 |
                                    Channel(light[2])));
    out.u16le(static_cast<uint16_t>(textureNumber[static_cast<size_t>(face.material)]));
    out.u16le(0);
  }

  for (std::string_view name : textureNames) {
    char padded[kNameBytes] = {};
    name.copy(padded, name.size());
    out.bytes(padded, kNameBytes);
  }

  out.u16le(0);
  out.u8(2);
  out.u8(1);
  out.u32le(0);
  out.u32le(0);
  out.f32le(1.0f);
  out.f32le(1.0f);
  for (int i = 0; i < 11; ++i) out.f32le(0.0f);

  std::string why;
  if (!out.commit(path, &why)) return context.fail(FormatMessage("MX: %s", why.c_str()));
  return 1;
}

int LoadMxFile(Document& document, const std::string& path, FormatContext& context) {
  return LoadModelFile(document, path, ReadMxBytes, context);
}

}  // namespace vexal
