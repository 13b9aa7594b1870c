// The LWOB reader: points, polygons (lines, triangles, quads, fans of larger
// polygons), surface names, colours, smoothing angles and the colour texture
// projection, from which the corner UVs are computed.
#include <algorithm>
#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "formats/lwo_chunks.h"
#include "io/message_catalog.h"
#include "formats/format_support.h"
#include "formats/lwo_format.h"
#include "model/document.h"
#include "model/model.h"

namespace vexal {

using namespace lwo;

namespace {

constexpr size_t kMaxSurfaceNames = 256;

constexpr uint32_t kLwob = MakeId("LWOB");
constexpr uint32_t kSrfs = MakeId("SRFS");
constexpr uint32_t kColr = MakeId("COLR");
constexpr uint32_t kSman = MakeId("SMAN");
constexpr uint32_t kCtex = MakeId("CTEX");
constexpr uint32_t kTflg = MakeId("TFLG");
constexpr uint32_t kTimg = MakeId("TIMG");
constexpr uint32_t kTsiz = MakeId("TSIZ");
constexpr uint32_t kTctr = MakeId("TCTR");

bool IsTextureStart(uint32_t id) {
  static constexpr uint32_t kOtherTextures[] = {MakeId("BTEX"), MakeId("DTEX"), MakeId("LTEX"),
                                                MakeId("RTEX"), MakeId("STEX"), MakeId("TTEX")};
  return std::find(std::begin(kOtherTextures), std::end(kOtherTextures), id) !=
         std::end(kOtherTextures);
}

// One surface of the LWOB working table. Fields the file does not give keep
// the defaults of the palette entry they end up in.
struct LwobSurface {
  std::string name;
  bool hasColor = false;
  uint8_t color[3] = {0, 0, 0};
  bool hasSmoothing = false;
  float smoothingAngle = 0.0f;  // radians
  std::string texture;
  int projection = 0;  // 0 none, 1 planar, 2 cylindrical, 3 spherical
  int axisFlags = 0;   // bit 0 x axis, bit 1 y axis, neither z axis
  VECTOR textureSize;
  VECTOR textureCenter;
};

bool ReadLwobPolygons(LwoReader& reader, const Chunk& chunk) {
  ByteReader body = chunk.body;
  std::vector<int32_t> corners;
  while (!body.atEnd()) {
    const size_t at = body.fileOffset();
    const uint16_t count = body.u16be();
    if (!body.has(static_cast<size_t>(count) * 2 + 2)) {
      return reader.refuse(Translate("polygon overruns the POLS chunk"), at);
    }
    corners.clear();
    for (uint16_t i = 0; i < count; ++i) {
      const uint16_t index = body.u16be();
      const int32_t point = reader.pointOf(index);
      if (point == 0) {
        return reader.refuse(Format("point index %u names no point", static_cast<unsigned>(index)),
                             at);
      }
      corners.push_back(point);
    }
    int32_t surface = body.i16be();
    if (surface < 0) {
      // Detail polygons follow; they are read as ordinary polygons.
      surface = -surface;
      if (!body.has(2)) return reader.refuse(Translate("detail count overruns the POLS chunk"), at);
      body.u16be();
    }
    if (!reader.addPolygon(corners, (surface + 14) % 15, surface, at, nullptr)) return false;
  }
  return true;
}

bool ReadLwobSurface(LwoReader& reader, const Chunk& chunk, std::vector<LwobSurface>& table) {
  ByteReader body = chunk.body;
  std::string name;
  if (!reader.readName(body, name, MarkMessage("surface name"))) return false;
  LwobSurface* surface = nullptr;
  for (LwobSurface& entry : table) {
    if (entry.name == name) {
      surface = &entry;
      break;
    }
  }
  if (surface == nullptr) {
    reader.warn("SURF \"" + name + "\" is not among the surface names; its settings are ignored");
    return true;
  }
  bool inColorTexture = false;
  Chunk sub;
  for (;;) {
    const Step step = reader.nextChunk(body, 2, sub);
    if (step == Step::kEnd) break;
    if (step == Step::kError) return false;
    ByteReader data = sub.body;
    const std::string id = IdText(sub.id);
    if (sub.id == kColr) {
      surface->color[0] = data.u8();
      surface->color[1] = data.u8();
      surface->color[2] = data.u8();
      if (!data.ok())
        return reader.refuse(Format("SURF sub-chunk \"%s\" too short", id.c_str()), sub.offset);
      surface->hasColor = true;
    } else if (sub.id == kSman) {
      const float angle = data.f32be();
      if (!data.ok())
        return reader.refuse(Format("SURF sub-chunk \"%s\" too short", id.c_str()), sub.offset);
      if (!std::isfinite(angle))
        return reader.refuse(Format("SURF sub-chunk \"%s\" is not a finite number", id.c_str()),
                             sub.offset);
      surface->smoothingAngle = angle;
      surface->hasSmoothing = true;
    } else if (sub.id == kCtex) {
      std::string kind;
      if (!reader.readName(data, kind, MarkMessage("texture type"))) return false;
      surface->projection = kind == "Planar Image Map"        ? 1
                            : kind == "Cylindrical Image Map" ? 2
                            : kind == "Spherical Image Map"   ? 3
                                                              : 0;
      inColorTexture = true;
    } else if (IsTextureStart(sub.id)) {
      inColorTexture = false;
    } else if (inColorTexture && sub.id == kTflg) {
      surface->axisFlags = data.u16be();
      if (!data.ok())
        return reader.refuse(Format("SURF sub-chunk \"%s\" too short", id.c_str()), sub.offset);
    } else if (inColorTexture && sub.id == kTimg) {
      if (!reader.readName(data, surface->texture, MarkMessage("texture file name"))) return false;
    } else if (inColorTexture && (sub.id == kTsiz || sub.id == kTctr)) {
      VECTOR v;
      v.x = data.f32be();
      v.y = data.f32be();
      v.z = data.f32be();
      if (!data.ok())
        return reader.refuse(Format("SURF sub-chunk \"%s\" too short", id.c_str()), sub.offset);
      if (!std::isfinite(v.x) || !std::isfinite(v.y) || !std::isfinite(v.z)) {
        return reader.refuse(Format("SURF sub-chunk \"%s\" is not a finite number", id.c_str()),
                             sub.offset);
      }
      (sub.id == kTsiz ? surface->textureSize : surface->textureCenter) = v;
    }
  }
  return true;
}

// a / size, or 0 when the size is too small to divide by.
double Ratio(double a, double size) { return std::fabs(size) <= 0.0001 ? 0.0 : a / size; }

double Heading(double a, double c) {
  if (a == 0.0 && c == 0.0) return 0.0;
  if (c > 0.0) return -std::atan(a / c);
  if (c < 0.0) return kPi - std::atan(a / c);
  return a >= 0.0 ? -kPi / 2 : kPi / 2;
}

double Pitch(double a, double b, double c) {
  if (a == 0.0 && c == 0.0) {
    if (b > 0.0) return kPi / 2;
    if (b < 0.0) return -kPi / 2;
    return 0.0;
  }
  return std::atan(b / std::sqrt(a * a + c * c));
}

// The UV of one corner at position p under the colour texture of surface.
UV ProjectCorner(const LwobSurface& surface, const VECTOR& position) {
  const double px = static_cast<double>(position.x) - surface.textureCenter.x;
  const double py = static_cast<double>(position.y) - surface.textureCenter.y;
  const double pz = static_cast<double>(position.z) - surface.textureCenter.z;
  const VECTOR& size = surface.textureSize;
  const bool xAxis = (surface.axisFlags & 1) != 0;
  const bool yAxis = !xAxis && (surface.axisFlags & 2) != 0;
  double u = 0.0;
  double v = 0.0;
  if (surface.projection == 1) {
    u = ((surface.axisFlags & 1) != 0 ? Ratio(pz, size.z) : Ratio(px, size.x)) + 0.5;
    v = -((surface.axisFlags & 2) != 0 ? Ratio(pz, size.z) : Ratio(py, size.y)) + 0.5;
  } else if (surface.projection == 2) {
    if (xAxis) {
      u = Heading(pz, -py);
      v = -Ratio(px, size.x) + 0.5;
    } else if (yAxis) {
      u = Heading(-px, pz);
      v = -Ratio(py, size.y) + 0.5;
    } else {
      u = Heading(-px, -py);
      v = -Ratio(pz, size.z) + 0.5;
    }
    u = 1.0 - u / (2.0 * kPi);
  } else if (surface.projection == 3) {
    double heading;
    double pitch;
    if (xAxis) {
      heading = Heading(pz, -py);
      pitch = Pitch(pz, px, -py);
    } else if (yAxis) {
      heading = Heading(-px, pz);
      pitch = Pitch(-px, py, pz);
    } else {
      heading = Heading(-px, -py);
      pitch = Pitch(-px, pz, -py);
    }
    u = 1.0 - heading / (2.0 * kPi);
    v = 0.5 - pitch / kPi;
  } else {
    return UV{};
  }
  return UV{static_cast<float>(u), static_cast<float>(1.0 - v)};
}

void ProjectLwobTextures(ReadTables& tables, const std::vector<LwobSurface>& table) {
  for (ReadFace& face : tables.faces) {
    const int32_t number = face.surfaceNumber;
    if (number < 1 || static_cast<size_t>(number) > table.size()) continue;
    const LwobSurface& surface = table[static_cast<size_t>(number) - 1];
    if (surface.projection == 0) continue;
    for (int j = 0; j < 4; ++j) {
      face.uv[j] = ProjectCorner(surface, tables.points[static_cast<size_t>(face.corners[j]) - 1]);
    }
  }
}

void ApplyLwobPalette(Model& model, const std::vector<LwobSurface>& table) {
  const size_t used = std::min(table.size(), static_cast<size_t>(kExchangedMaterials));
  for (size_t k = 0; k < used; ++k) {
    const LwobSurface& surface = table[k];
    MATERIAL& material = model.materials[k];
    if (surface.hasColor) {
      const int r = surface.color[0];
      const int g = surface.color[1];
      const int b = surface.color[2];
      SetMaterialColors(model, static_cast<int>(k), r, g, b, 255, r / 2, g / 2, b / 2, 255);
    }
    if (surface.hasSmoothing) {
      material.smoothingAngle = static_cast<float>(surface.smoothingAngle * 180.0 / kPi);
    }
    // Both fit: longer names were refused while reading.
    SetText(material.name, surface.name);
    SetText(material.texture, surface.texture);
  }
}

int ReadLwob(std::span<const uint8_t> bytes, float scale, Model& target, FormatContext& context) {
  LwoReader reader("LWOB", context);
  ByteReader file(bytes);
  ByteReader form;
  if (!reader.openForm(file, kLwob, form)) return 0;

  std::vector<LwobSurface> table;
  Chunk chunk;
  for (;;) {
    const Step step = reader.nextChunk(form, 4, chunk);
    if (step == Step::kEnd) break;
    if (step == Step::kError) return 0;
    if (chunk.id == kPnts) {
      if (!reader.readPoints(chunk)) return 0;
    } else if (chunk.id == kSrfs) {
      ByteReader body = chunk.body;
      while (!body.atEnd()) {
        if (table.size() >= kMaxSurfaceNames) {
          return reader.refuse(
              Format("more than %d surface names", static_cast<int>(kMaxSurfaceNames)),
              chunk.offset);
        }
        LwobSurface surface;
        if (!reader.readName(body, surface.name, MarkMessage("surface name"))) return 0;
        table.push_back(std::move(surface));
      }
    } else if (chunk.id == kPols) {
      if (!ReadLwobPolygons(reader, chunk)) return 0;
    } else if (chunk.id == kSurf) {
      if (!ReadLwobSurface(reader, chunk, table)) return 0;
    }
  }
  ProjectLwobTextures(reader.tables(), table);
  const bool done = reader.finish(target, scale, bytes.size(),
                                  [&](Model& model) { ApplyLwobPalette(model, table); });
  return done ? 1 : 0;
}

}  // namespace

int ReadLwobBytes(std::span<const uint8_t> bytes, float scale, Model& model,
                  FormatContext& context) {
  return ReadLwob(bytes, scale, model, context);
}

int ReadLwobBytes(std::span<const uint8_t> bytes, const std::string& /*name*/, ReadTarget& target,
                  FormatContext& context) {
  return ReadLwob(bytes, ImportScale(context), target.model, context);
}

int LoadLwobFile(Document& document, const std::string& path, FormatContext& context) {
  int (*reader)(std::span<const uint8_t>, const std::string&, ReadTarget&, FormatContext&) =
      ReadLwobBytes;
  return LoadModelFile(document, path, reader, context);
}

}  // namespace vexal
