// LWOB and LWO2 readers and writers.
//
// Reading: the whole file is walked with bounds-checked sub-readers, one per
// chunk, into compact tables; the caller's model is cleared and filled only
// once the file was read to the end and the rebuilt line table is known to
// fit, so a refused file leaves the model as it was. Nesting is fixed by the
// code (FORM, chunk, SURF sub-chunk), never by the file.
//
// LWOB reads points, polygons (lines, triangles, quads, fans of larger
// polygons), surface names, colours, smoothing angles and the colour texture
// projection, from which the corner UVs are computed. LWO2 reads points,
// polygons and the "SURF" polygon tags only.
//
// Point indices of a POLS chunk count from the first point of the latest
// PNTS chunk (the current layer), so multi-layer files keep their geometry.
// A polygon's point repeated next to itself is taken once, and fan triangles
// with two equal corners are left out, so every surface read survives the
// reversal and a round trip through either writer.
#include "formats/lwo_format.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <cmath>
#include <string_view>
#include <utility>
#include <vector>

#include "formats/format_support.h"
#include "io/byte_reader.h"
#include "io/file_bytes.h"
#include "io/message_catalog.h"
#include "model/document.h"
#include "model/maintenance.h"
#include "model/model.h"
#include "model/point_pair_table.h"
#include "settings/settings.h"

namespace vexal {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr size_t kMaxSurfaceNames = 256;
constexpr size_t kMaxNameLength = kTextCapacity - 1;
// Materials 0..14 are exchanged; 15 is the guide material.
constexpr int kExchangedMaterials = kGuideMaterial;

constexpr uint32_t MakeId(const char (&text)[5]) {
  return (static_cast<uint32_t>(static_cast<uint8_t>(text[0])) << 24) |
         (static_cast<uint32_t>(static_cast<uint8_t>(text[1])) << 16) |
         (static_cast<uint32_t>(static_cast<uint8_t>(text[2])) << 8) |
         static_cast<uint32_t>(static_cast<uint8_t>(text[3]));
}

constexpr uint32_t kLwob = MakeId("LWOB");
constexpr uint32_t kLwo2 = MakeId("LWO2");
constexpr uint32_t kPnts = MakeId("PNTS");
constexpr uint32_t kPols = MakeId("POLS");
constexpr uint32_t kSrfs = MakeId("SRFS");
constexpr uint32_t kSurf = MakeId("SURF");
constexpr uint32_t kLayr = MakeId("LAYR");
constexpr uint32_t kPtag = MakeId("PTAG");
constexpr uint32_t kColr = MakeId("COLR");
constexpr uint32_t kSman = MakeId("SMAN");
constexpr uint32_t kCtex = MakeId("CTEX");
constexpr uint32_t kTflg = MakeId("TFLG");
constexpr uint32_t kTimg = MakeId("TIMG");
constexpr uint32_t kTsiz = MakeId("TSIZ");
constexpr uint32_t kTctr = MakeId("TCTR");

std::string IdText(uint32_t id) {
  std::string text;
  for (int shift = 24; shift >= 0; shift -= 8) {
    const char c = static_cast<char>((id >> shift) & 0xFF);
    text.push_back(c >= 0x20 && c < 0x7F ? c : '?');
  }
  return text;
}

bool IsTextureStart(uint32_t id) {
  static constexpr uint32_t kOtherTextures[] = {MakeId("BTEX"), MakeId("DTEX"), MakeId("LTEX"),
                                                MakeId("RTEX"), MakeId("STEX"), MakeId("TTEX")};
  return std::find(std::begin(kOtherTextures), std::end(kOtherTextures), id) !=
         std::end(kOtherTextures);
}

// True when every point times scale stays a finite float.
bool ScaledPointsFinite(const std::vector<VECTOR>& points, float scale) {
  for (const VECTOR& p : points) {
    if (!std::isfinite(p.x * scale) || !std::isfinite(p.y * scale) || !std::isfinite(p.z * scale)) {
      return false;
    }
  }
  return true;
}

struct Chunk {
  uint32_t id = 0;
  size_t offset = 0;  // of the chunk header in the file
  ByteReader body;
};

enum class Step { kChunk, kEnd, kError };

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

// The surfaces one LWO2 polygon became (0-based into the read surfaces), so
// that a polygon tag reaches all triangles of a fan and none of a line.
struct PolygonFaces {
  int32_t firstFace = 0;
  int32_t faceCount = 0;
};

struct ReadFace {
  std::array<int32_t, 4> corners{};  // model point indices; triangles repeat corner 0
  int32_t material = 0;
  int32_t surfaceNumber = 0;  // LWOB: the file's surface number, for the texture
  std::array<UV, 4> uv{};
};

// What a file holds, in model numbering (points from 1), before it goes into
// the model.
struct ReadTables {
  std::vector<VECTOR> points;
  std::vector<std::array<int32_t, 2>> lines;
  std::vector<ReadFace> faces;
};

class LwoReader {
 public:
  LwoReader(const char* format, FormatContext& context) : format_(format), context_(context) {}

  bool refuse(const std::string& why, size_t offset) {
    context_.reason = Format("%s: %s (byte %zu)", format_, why.c_str(), offset);
    return false;
  }
  void warn(const std::string& text) { context_.warnings.push_back(std::string(format_) + ": " + text); }

  // Checks the FORM header and returns a reader over the chunks after the
  // form type.
  bool openForm(ByteReader& file, uint32_t formType, ByteReader& form) {
    if (file.size() < 12 || !file.peekMatches("FORM")) {
      return refuse(Translate("not an IFF file (no FORM header)"), 0);
    }
    file.skip(4);
    const uint32_t size = file.u32be();
    if (size < 4 || size > file.remaining()) {
      return refuse(Format("FORM size %u does not fit the %zu-byte file", size, file.size()), 4);
    }
    form = file.sub(size);
    const uint32_t type = form.u32be();
    if (type != formType) {
      return refuse(
          Format("form type is \"%s\", not \"%s\"", IdText(type).c_str(), IdText(formType).c_str()),
          8);
    }
    return true;
  }

  // The next chunk of parent with a 4- or 2-byte size; the pad byte after an
  // odd-sized chunk is skipped (a missing pad at the parent's end is fine).
  Step nextChunk(ByteReader& parent, int sizeBytes, Chunk& chunk) {
    if (parent.atEnd()) return Step::kEnd;
    chunk.offset = parent.fileOffset();
    if (parent.remaining() < static_cast<size_t>(4 + sizeBytes)) {
      refuse(Translate("truncated chunk header"), chunk.offset);
      return Step::kError;
    }
    chunk.id = parent.u32be();
    const size_t size = sizeBytes == 4 ? parent.u32be() : parent.u16be();
    if (size > parent.remaining()) {
      refuse(
          Format("chunk \"%s\" of %zu bytes overruns its parent", IdText(chunk.id).c_str(), size),
          chunk.offset);
      return Step::kError;
    }
    chunk.body = parent.sub(size);
    if ((size & 1) != 0 && !parent.atEnd()) parent.skip(1);
    return Step::kChunk;
  }

  // A NUL-terminated name padded to even length, at most 259 bytes.
  bool readName(ByteReader& reader, std::string& out, const char* what) {
    const size_t at = reader.fileOffset();
    const size_t start = reader.position();
    if (!reader.cString(out, reader.remaining())) {
      return refuse(Format("%s without its terminating NUL", Translate(what)), at);
    }
    if (out.size() > kMaxNameLength) {
      return refuse(
          Format("%s longer than %zu bytes", Translate(what), static_cast<size_t>(kMaxNameLength)),
          at);
    }
    if (((reader.position() - start) & 1) != 0 && !reader.atEnd()) reader.skip(1);
    return true;
  }

  bool readPoints(const Chunk& chunk) {
    ByteReader body = chunk.body;
    if (body.size() % 12 != 0) {
      return refuse(Format("PNTS size %zu is not a multiple of 12", body.size()), chunk.offset);
    }
    const size_t count = body.size() / 12;
    if (count > static_cast<size_t>(kMaxCount) - tables_.points.size()) {
      return refuse(Format("more than %d points", kMaxCount), chunk.offset);
    }
    layerBase_ = static_cast<int32_t>(tables_.points.size());
    tables_.points.reserve(tables_.points.size() + count);
    for (size_t i = 0; i < count; ++i) {
      const float x = body.f32be();
      const float y = body.f32be();
      const float z = body.f32be();
      if (!std::isfinite(x) || !std::isfinite(y) || !std::isfinite(z)) {
        return refuse(Format("point %zu is not a finite number", i), chunk.offset + 8 + i * 12);
      }
      tables_.points.emplace_back(x, y, z);
    }
    return true;
  }

  void startLayer() { layerBase_ = static_cast<int32_t>(tables_.points.size()); }

  // A 0-based point index of the current layer as a model index, or 0 when
  // it names no point read so far.
  int32_t pointOf(uint32_t index) const {
    const uint32_t available = static_cast<uint32_t>(tables_.points.size()) - static_cast<uint32_t>(layerBase_);
    return index < available ? layerBase_ + static_cast<int32_t>(index) + 1 : 0;
  }

  // Adds the polygon over model points given: a line for two points, a
  // surface for three or four, a fan of triangles beyond. A point repeated
  // next to itself (around the ring) is taken once: a quad stored with its
  // first two corners equal would turn into a broken triangle once the
  // surfaces are reversed. A polygon left with fewer than three corners is
  // dropped.
  bool addPolygon(const std::vector<int32_t>& given, int32_t material, int32_t surfaceNumber,
                  size_t offset, PolygonFaces* made) {
    std::vector<ReadFace>& faces = tables_.faces;
    if (made) *made = PolygonFaces{static_cast<int32_t>(faces.size()), 0};
    if (given.size() < 2) {
      ++droppedPolygons_;
      return true;
    }
    std::vector<int32_t>& corners = ring_;
    corners.clear();
    if (given.size() == 2) {
      corners = given;
    } else {
      for (int32_t point : given) {
        if (corners.empty() || corners.back() != point) corners.push_back(point);
      }
      while (corners.size() > 1 && corners.back() == corners.front()) corners.pop_back();
      if (corners.size() < 3) {
        ++droppedPolygons_;
        return true;
      }
    }
    const size_t n = corners.size();
    if (n == 2) {
      if (tables_.lines.size() >= static_cast<size_t>(kMaxCount)) {
        return refuse(Format("more than %d lines", kMaxCount), offset);
      }
      tables_.lines.push_back({corners[0], corners[1]});
      return true;
    }
    // A fan triangle that meets the first corner again elsewhere in the ring
    // has two equal corners and is left out, as a file read back would drop it.
    auto fanTriangleKept = [&](size_t k) {
      return corners[k] != corners[0] && corners[k + 1] != corners[0];
    };
    size_t surfaces = 1;
    if (n > 4) {
      surfaces = 0;
      for (size_t k = 1; k + 1 < n; ++k) surfaces += fanTriangleKept(k) ? 1 : 0;
    }
    if (surfaces > static_cast<size_t>(kMaxCount) - faces.size()) {
      return refuse(Format("more than %d surfaces", kMaxCount), offset);
    }
    ReadFace face;
    face.material = material;
    face.surfaceNumber = surfaceNumber;
    if (n <= 4) {
      face.corners = {corners[0], corners[1], corners[2], n == 4 ? corners[3] : corners[0]};
      faces.push_back(face);
    } else {
      for (size_t k = 1; k + 1 < n; ++k) {
        if (!fanTriangleKept(k)) continue;
        face.corners = {corners[0], corners[k], corners[k + 1], corners[0]};
        faces.push_back(face);
      }
    }
    if (made) made->faceCount = static_cast<int32_t>(surfaces);
    return true;
  }

  // False (model untouched) when the lines rebuilt from the surface edges
  // would pass the limit. Otherwise clears the model, fills it, rebuilds the
  // lines, lets palette() fill the materials and turns the file's axes into
  // ours (which also reverses every surface).
  template <typename PaletteFunction>
  bool finish(Model& model, float scale, size_t fileSize, PaletteFunction palette) {
    if (droppedPolygons_ > 0) {
      warn(std::to_string(droppedPolygons_) +
           " polygon(s) dropped: fewer than two points, or fewer than three distinct corners");
    }
    // The rebuild appends one line per distinct point pair on a surface edge
    // after the lines read.
    PointPairTable edges;
    edges.reset(tables_.faces.size() * 4);
    size_t lineCount = tables_.lines.size();
    for (const ReadFace& face : tables_.faces) {
      const int corners = face.corners[3] == face.corners[0] ? 3 : 4;
      for (int j = 0; j < corners; ++j) {
        const int32_t a = face.corners[j];
        const int32_t b = face.corners[(j + 1) % corners];
        const int32_t low = std::min(a, b);
        const int32_t high = std::max(a, b);
        if (edges.find(low, high) != 0) continue;
        edges.store(low, high, 1);
        ++lineCount;
      }
    }
    if (lineCount > static_cast<size_t>(kMaxCount)) {
      return refuse(Format("the surfaces need %zu lines, more than %d", lineCount, kMaxCount),
                    fileSize);
    }
    if (!ScaledPointsFinite(tables_.points, scale)) {
      return refuse(
          Format("coordinates overflow at the import scale %f", static_cast<double>(scale)),
          fileSize);
    }

    ClearModel(model);
    int32_t index = 0;
    for (const VECTOR& p : tables_.points) {
      ++index;
      SetPoint(model, index, p.x, p.y, p.z, kStateNormal, 0);
    }
    model.pointCount = index;
    index = 0;
    for (const auto& line : tables_.lines) {
      ++index;
      SetLine(model, index, line[0], line[1], kStateNormal);
    }
    model.lineCount = index;
    index = 0;
    for (const ReadFace& f : tables_.faces) {
      ++index;
      SetFace(model, index, f.corners[0], f.corners[1], f.corners[2], f.corners[3], f.material,
              kStateNormal);
      SetFaceUV(model, index, f.uv[0], f.uv[1], f.uv[2], f.uv[3]);
    }
    model.faceCount = index;
    const int compacted = CompactModel(model, kCompactRebuildLines);
    assert(compacted == 1);
    (void)compacted;
    palette(model);
    ScaleModel(model, scale, scale, -scale);
    return true;
  }

  ReadTables& tables() { return tables_; }

 private:
  const char* format_;
  FormatContext& context_;
  ReadTables tables_;
  std::vector<int32_t> ring_;
  int32_t layerBase_ = 0;
  size_t droppedPolygons_ = 0;
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


// A variable-length index: two bytes, or four when the first is 0xFF.
uint32_t ReadIndex(ByteReader& body) {
  if (body.has(1) && *body.cursor() == 0xFF) return body.u32be() & 0x00FFFFFFu;
  return body.u16be();
}

bool ReadLwo2Polygons(LwoReader& reader, const Chunk& chunk, std::vector<PolygonFaces>& polygons) {
  ByteReader body = chunk.body;
  polygons.clear();
  if (body.size() < 4)
    return reader.refuse(Translate("POLS chunk without a polygon type"), chunk.offset);
  body.u32be();  // FACE, PTCH, ...: all are read as polygons
  std::vector<int32_t> corners;
  while (!body.atEnd()) {
    const size_t at = body.fileOffset();
    const uint16_t count = static_cast<uint16_t>(body.u16be() & 0x03FF);
    corners.clear();
    for (uint16_t i = 0; i < count; ++i) {
      const uint32_t index = ReadIndex(body);
      if (!body.ok()) return reader.refuse(Translate("polygon overruns the POLS chunk"), at);
      const int32_t point = reader.pointOf(index);
      if (point == 0) {
        return reader.refuse(Format("point index %u names no point", static_cast<unsigned>(index)),
                             at);
      }
      corners.push_back(point);
    }
    if (!body.ok()) return reader.refuse(Translate("polygon overruns the POLS chunk"), at);
    PolygonFaces made;
    if (!reader.addPolygon(corners, 0, 0, at, &made)) return false;
    polygons.push_back(made);
  }
  return true;
}

bool ReadLwo2Tags(LwoReader& reader, const Chunk& chunk, const std::vector<PolygonFaces>& polygons) {
  ByteReader body = chunk.body;
  if (body.size() < 4)
    return reader.refuse(Translate("PTAG chunk without a tag type"), chunk.offset);
  if (body.u32be() != kSurf) return true;
  size_t outside = 0;
  while (!body.atEnd()) {
    const size_t at = body.fileOffset();
    const uint32_t polygon = ReadIndex(body);
    const uint16_t tag = body.u16be();
    if (!body.ok()) return reader.refuse(Translate("PTAG entry overruns its chunk"), at);
    if (polygon >= polygons.size()) {
      ++outside;
      continue;
    }
    // Tag 15 would make guide surfaces: larger tags wrap into the palette.
    const int32_t material = tag % kExchangedMaterials;
    const PolygonFaces& made = polygons[polygon];
    for (int32_t s = made.firstFace; s < made.firstFace + made.faceCount; ++s) {
      reader.tables().faces[static_cast<size_t>(s)].material = material;
    }
  }
  if (outside > 0) {
    reader.warn(std::to_string(outside) + " surface tag(s) name no polygon of the POLS chunk before");
  }
  return true;
}

int ReadLwo2(std::span<const uint8_t> bytes, float scale, Model& target, FormatContext& context) {
  LwoReader reader("LWO2", context);
  ByteReader file(bytes);
  ByteReader form;
  if (!reader.openForm(file, kLwo2, form)) return 0;

  // The polygons of the latest POLS chunk, which a PTAG chunk refers to.
  std::vector<PolygonFaces> polygons;
  Chunk chunk;
  for (;;) {
    const Step step = reader.nextChunk(form, 4, chunk);
    if (step == Step::kEnd) break;
    if (step == Step::kError) return 0;
    if (chunk.id == kLayr) {
      reader.startLayer();
      polygons.clear();
    } else if (chunk.id == kPnts) {
      if (!reader.readPoints(chunk)) return 0;
    } else if (chunk.id == kPols) {
      if (!ReadLwo2Polygons(reader, chunk, polygons)) return 0;
    } else if (chunk.id == kPtag) {
      if (!ReadLwo2Tags(reader, chunk, polygons)) return 0;
    }
  }
  return reader.finish(target, scale, bytes.size(), [](Model&) {}) ? 1 : 0;
}


// Starts a chunk and returns where its size goes.
size_t BeginChunk(OutputBuffer& out, const char (&id)[5], int sizeBytes) {
  out.bytes(id, 4);
  const size_t at = out.size();
  if (sizeBytes == 4) {
    out.u32be(0);
  } else {
    out.u16be(0);
  }
  return at;
}

// Patches the size of the chunk begun at sizeAt and pads it to even length.
void EndChunk(OutputBuffer& out, size_t sizeAt, int sizeBytes) {
  const size_t size = out.size() - sizeAt - static_cast<size_t>(sizeBytes);
  if (sizeBytes == 4) {
    out.patchU32be(sizeAt, static_cast<uint32_t>(size));
  } else {
    assert(size <= 0xFFFF);
    out.patchU16be(sizeAt, static_cast<uint16_t>(size));
  }
  if ((size & 1) != 0) out.u8(0);
}

void PutName(OutputBuffer& out, std::string_view name) {
  out.bytes(name.data(), name.size());
  out.u8(0);
  if ((name.size() & 1) == 0) out.u8(0);
}

void PutIndex(OutputBuffer& out, uint32_t index) {
  if (index < 0xFF00) {
    out.u16be(static_cast<uint16_t>(index));
  } else {
    out.u32be(index | 0xFF000000u);
  }
}

void PutVector(OutputBuffer& out, float x, float y, float z) {
  out.f32be(x);
  out.f32be(y);
  out.f32be(z);
}

void PutPoints(OutputBuffer& out, const Model& model, float scale) {
  const size_t at = BeginChunk(out, "PNTS", 4);
  for (int p = 1; p <= model.pointCount; ++p) {
    const VECTOR& v = model.points[p].position;
    PutVector(out, v.x * scale, v.y * scale, -v.z * scale);
  }
  EndChunk(out, at, 4);
}

// Lines on no edge of an exported (non-guide) surface.
std::vector<int> FreeLines(const Model& model) {
  PointPairTable edges;
  edges.reset(static_cast<size_t>(model.faceCount) * 4);
  for (int s = 1; s <= model.faceCount; ++s) {
    const FACE& face = model.faces[s];
    if (face.material == kGuideMaterial) continue;
    const int corners = CornerCount(face);
    for (int j = 0; j < corners; ++j) {
      const int32_t a = face.corners[j];
      const int32_t b = face.corners[(j + 1) % corners];
      edges.store(std::min(a, b), std::max(a, b), 1);
    }
  }
  std::vector<int> free;
  for (int l = 1; l <= model.lineCount; ++l) {
    const LINE& line = model.lines[l];
    if (edges.find(std::min(line.a, line.b), std::max(line.a, line.b)) == 0) free.push_back(l);
  }
  return free;
}

float ImportScale(const FormatContext& context) {
  return context.settings ? context.settings->LwoImportScale : 1.0f;
}
float ExportScale(const FormatContext& context) {
  return context.settings ? context.settings->LwoExportScale : 1.0f;
}

// Writes the model with write() unless a coordinate would overflow at the
// export scale (the file would hold values no reader accepts).
int SaveFile(const Model& model, const std::string& path, FormatContext& context,
             const char* format, void (*write)(const Model&, float, OutputBuffer&)) {
  const float scale = ExportScale(context);
  const std::span<const VERT> points(model.points.data() + 1, static_cast<size_t>(model.pointCount));
  const bool finite = std::all_of(points.begin(), points.end(), [&](const VERT& point) {
    const VECTOR& p = point.position;
    return std::isfinite(p.x * scale) && std::isfinite(p.y * scale) && std::isfinite(p.z * scale);
  });
  if (!finite) {
    return context.fail(std::string(format) + ": coordinates overflow at the export scale " +
                        std::to_string(scale));
  }
  OutputBuffer out;
  write(model, scale, out);
  std::string why;
  if (!out.commit(path, &why)) return context.fail(std::string(format) + ": " + why);
  return 1;
}

}  // namespace

int ReadLwobBytes(std::span<const uint8_t> bytes, float scale, Model& model,
                  FormatContext& context) {
  return ReadLwob(bytes, scale, model, context);
}

int ReadLwo2Bytes(std::span<const uint8_t> bytes, float scale, Model& model,
                  FormatContext& context) {
  return ReadLwo2(bytes, scale, model, context);
}

int ReadLwobBytes(std::span<const uint8_t> bytes, const std::string& /*name*/, ReadTarget& target,
                  FormatContext& context) {
  return ReadLwob(bytes, ImportScale(context), target.model, context);
}

int ReadLwo2Bytes(std::span<const uint8_t> bytes, const std::string& /*name*/, ReadTarget& target,
                  FormatContext& context) {
  return ReadLwo2(bytes, ImportScale(context), target.model, context);
}

int LoadLwobFile(Document& document, const std::string& path, FormatContext& context) {
  int (*reader)(std::span<const uint8_t>, const std::string&, ReadTarget&, FormatContext&) =
      ReadLwobBytes;
  return LoadModelFile(document, path, reader, context);
}

int LoadLwo2File(Document& document, const std::string& path, FormatContext& context) {
  int (*reader)(std::span<const uint8_t>, const std::string&, ReadTarget&, FormatContext&) =
      ReadLwo2Bytes;
  return LoadModelFile(document, path, reader, context);
}

void WriteLwobBytes(const Model& model, float scale, OutputBuffer& out) {
  assert(model.pointCount <= kMaxCount && model.lineCount <= kMaxCount &&
         model.faceCount <= kMaxCount);
  const std::vector<int> freeLines = FreeLines(model);
  const size_t formAt = BeginChunk(out, "FORM", 4);
  out.bytes("LWOB", 4);

  size_t at = BeginChunk(out, "SRFS", 4);
  for (int k = 0; k < kExchangedMaterials; ++k) PutName(out, TextOf(model.materials[k].name));
  EndChunk(out, at, 4);

  PutPoints(out, model, scale);

  // The file winds the other way: corners from the last to the first.
  at = BeginChunk(out, "POLS", 4);
  for (int s = 1; s <= model.faceCount; ++s) {
    const FACE& face = model.faces[s];
    if (face.material == kGuideMaterial) continue;
    const int corners = CornerCount(face);
    out.u16be(static_cast<uint16_t>(corners));
    for (int j = corners - 1; j >= 0; --j) out.u16be(static_cast<uint16_t>(face.corners[j] - 1));
    out.u16be(static_cast<uint16_t>(face.material + 1));
  }
  for (int l : freeLines) {
    out.u16be(2);
    out.u16be(static_cast<uint16_t>(model.lines[l].b - 1));
    out.u16be(static_cast<uint16_t>(model.lines[l].a - 1));
    out.u16be(1);
  }
  EndChunk(out, at, 4);

  // Percentages go as 16-bit integers (x 2.56, truncated) and as floats (/ 100).
  auto percent16 = [&](const char (&id)[5], double percent) {
    const size_t sub = BeginChunk(out, id, 2);
    out.u16be(static_cast<uint16_t>(percent * 2.56));
    EndChunk(out, sub, 2);
  };
  auto percentFloat = [&](const char (&id)[5], double percent) {
    const size_t sub = BeginChunk(out, id, 2);
    out.f32be(static_cast<float>(percent / 100.0));
    EndChunk(out, sub, 2);
  };
  for (int k = 0; k < kExchangedMaterials; ++k) {
    const MATERIAL& material = model.materials[k];
    at = BeginChunk(out, "SURF", 4);
    PutName(out, TextOf(material.name));
    size_t sub = BeginChunk(out, "COLR", 2);
    for (int c = 0; c < 3; ++c) out.u8(static_cast<uint8_t>(material.light[c]));
    out.u8(0);
    EndChunk(out, sub, 2);
    sub = BeginChunk(out, "FLAG", 2);
    out.u16be(4);
    EndChunk(out, sub, 2);
    percent16("DIFF", 100.0);
    percentFloat("VDIF", 100.0);
    percent16("TRAN", 0.0);
    percentFloat("VTRN", 0.0);
    percent16("LUMI", 25.0);
    percentFloat("VLUM", 25.0);
    percent16("SPEC", 0.0);
    percentFloat("VSPC", 0.0);
    sub = BeginChunk(out, "SMAN", 2);
    out.f32be(static_cast<float>(material.smoothingAngle * kPi / 180.0));
    EndChunk(out, sub, 2);
    EndChunk(out, at, 4);
  }
  EndChunk(out, formAt, 4);
}

namespace {

constexpr std::string_view kLwo2UvMapName = "OBJ_UVTextureMap";

// Surfaces go out reversed: a quad (c0, c1, c2, c3) as (c0, c3, c2, c1), a
// triangle (c0, c1, c2) as (c0, c2, c1), with their UVs.
constexpr int kQuadOrder[4] = {0, 3, 2, 1};
constexpr int kTriangleOrder[3] = {0, 2, 1};
const int* WrittenOrder(const FACE& face) { return CornerCount(face) == 4 ? kQuadOrder : kTriangleOrder; }

// TAGS (the surface names) and the one LAYR.
void PutLwo2Tags(OutputBuffer& out, const Model& model) {
  size_t at = BeginChunk(out, "TAGS", 4);
  PutName(out, "default");
  for (int k = 0; k < kExchangedMaterials; ++k) PutName(out, TextOf(model.materials[k].name));
  EndChunk(out, at, 4);

  at = BeginChunk(out, "LAYR", 4);
  out.u16be(0);
  out.u16be(0);
  PutVector(out, 0.0f, 0.0f, 0.0f);
  PutName(out, "Imported OBJ Object");
  EndChunk(out, at, 4);
}

// BBOX of the points as written (scaled, z negated).
void PutLwo2BoundingBox(OutputBuffer& out, const Model& model, float scale) {
  const size_t at = BeginChunk(out, "BBOX", 4);
  VECTOR low;
  VECTOR high;
  for (int p = 1; p <= model.pointCount; ++p) {
    const VECTOR& v = model.points[p].position;
    const VECTOR w(v.x * scale, v.y * scale, -v.z * scale);
    if (p == 1) {
      low = high = w;
    } else {
      low.set(std::min(low.x, w.x), std::min(low.y, w.y), std::min(low.z, w.z));
      high.set(std::max(high.x, w.x), std::max(high.y, w.y), std::max(high.z, w.z));
    }
  }
  PutVector(out, low.x, low.y, low.z);
  PutVector(out, high.x, high.y, high.z);
  EndChunk(out, at, 4);
}

// The per-point VMAPs: a zero TXUV and a PICK weight map.
void PutLwo2PointMaps(OutputBuffer& out, const Model& model) {
  size_t at = BeginChunk(out, "VMAP", 4);
  out.bytes("TXUV", 4);
  out.u16be(2);
  PutName(out, kLwo2UvMapName);
  for (int p = 1; p <= model.pointCount; ++p) {
    PutIndex(out, static_cast<uint32_t>(p - 1));
    out.f32be(0.0f);
    out.f32be(0.0f);
  }
  EndChunk(out, at, 4);
  at = BeginChunk(out, "VMAP", 4);
  out.bytes("PICK", 4);
  out.u16be(1);
  PutName(out, "default");
  for (int p = 1; p <= model.pointCount; ++p) {
    PutIndex(out, static_cast<uint32_t>(p - 1));
    out.f32be(0.0f);
  }
  EndChunk(out, at, 4);
}

// POLS (surfaces, then the free lines as two-point polygons) and the two
// PTAGs (part and surface of each written surface).
void PutLwo2Polygons(OutputBuffer& out, const Model& model, const std::vector<int>& written,
                     const std::vector<int>& freeLines) {
  size_t at = BeginChunk(out, "POLS", 4);
  out.bytes("FACE", 4);
  for (int s : written) {
    const FACE& face = model.faces[s];
    const int corners = CornerCount(face);
    const int* order = WrittenOrder(face);
    out.u16be(static_cast<uint16_t>(corners));
    for (int j = 0; j < corners; ++j) PutIndex(out, static_cast<uint32_t>(face.corners[order[j]] - 1));
  }
  for (int l : freeLines) {
    out.u16be(2);
    PutIndex(out, static_cast<uint32_t>(model.lines[l].b - 1));
    PutIndex(out, static_cast<uint32_t>(model.lines[l].a - 1));
  }
  EndChunk(out, at, 4);

  at = BeginChunk(out, "PTAG", 4);
  out.bytes("PART", 4);
  for (size_t i = 0; i < written.size(); ++i) {
    PutIndex(out, static_cast<uint32_t>(i));
    out.u16be(0);
  }
  EndChunk(out, at, 4);
  at = BeginChunk(out, "PTAG", 4);
  out.bytes("SURF", 4);
  for (size_t i = 0; i < written.size(); ++i) {
    PutIndex(out, static_cast<uint32_t>(i));
    out.u16be(static_cast<uint16_t>(model.faces[written[i]].material + 1));
  }
  EndChunk(out, at, 4);
}

// VMAD: the UV of every corner of every written surface.
void PutLwo2CornerUvs(OutputBuffer& out, const Model& model, const std::vector<int>& written) {
  const size_t at = BeginChunk(out, "VMAD", 4);
  out.bytes("TXUV", 4);
  out.u16be(2);
  PutName(out, kLwo2UvMapName);
  for (size_t i = 0; i < written.size(); ++i) {
    const FACE& face = model.faces[written[i]];
    const int corners = CornerCount(face);
    const int* order = WrittenOrder(face);
    for (int j = 0; j < corners; ++j) {
      PutIndex(out, static_cast<uint32_t>(face.corners[order[j]] - 1));
      PutIndex(out, static_cast<uint32_t>(i));
      out.f32be(face.uv[order[j]].u);
      out.f32be(face.uv[order[j]].v);
    }
  }
  EndChunk(out, at, 4);
}

// One CLIP per textured material, numbered 1, 2, ... in material order;
// clipOf receives each material's clip (0 for none).
void PutLwo2Clips(OutputBuffer& out, const Model& model, int (&clipOf)[kExchangedMaterials]) {
  int clips = 0;
  for (int k = 0; k < kExchangedMaterials; ++k) {
    clipOf[k] = 0;
    const std::string_view texture = TextOf(model.materials[k].texture);
    if (texture.empty()) continue;
    clipOf[k] = ++clips;
    std::string path(texture);
    std::replace(path.begin(), path.end(), '\\', '/');
    const size_t at = BeginChunk(out, "CLIP", 4);
    out.u32be(static_cast<uint32_t>(clips));
    const size_t sub = BeginChunk(out, "STIL", 2);
    PutName(out, path);
    EndChunk(out, sub, 2);
    EndChunk(out, at, 4);
  }
}

// Writers of the small (16-bit sized) sub-chunks of a SURF.
struct SurfaceChunks {
  OutputBuffer& out;
  size_t begin(const char (&id)[5]) const { return BeginChunk(out, id, 2); }
  void end(size_t sizeAt) const { EndChunk(out, sizeAt, 2); }
  void u16(const char (&id)[5], uint16_t value) const {
    const size_t sub = begin(id);
    out.u16be(value);
    end(sub);
  }
  void vector(const char (&id)[5], float value) const {
    const size_t sub = begin(id);
    PutVector(out, value, value, value);
    PutIndex(out, 0);
    end(sub);
  }
  void wrap(const char (&id)[5]) const {
    const size_t sub = begin(id);
    out.f32be(1.0f);
    PutIndex(out, 0);
    end(sub);
  }
};

// The image map BLOK of a SURF: a UV-projected image of clip `clip`.
void PutLwo2ImageBlock(const SurfaceChunks& chunks, int clip) {
  OutputBuffer& out = chunks.out;
  const size_t block = chunks.begin("BLOK");
  const size_t header = chunks.begin("IMAP");
  PutName(out, "\x80");
  size_t sub = chunks.begin("CHAN");
  out.bytes("COLR", 4);
  chunks.end(sub);
  sub = chunks.begin("OPAC");
  out.u16be(0);
  out.f32be(1.0f);
  PutIndex(out, 0);
  chunks.end(sub);
  chunks.u16("ENAB", 1);
  chunks.u16("NEGA", 0);
  chunks.end(header);

  const size_t mapping = chunks.begin("TMAP");
  chunks.vector("CNTR", 0.0f);
  chunks.vector("SIZE", 1.0f);
  chunks.vector("ROTA", 0.0f);
  sub = chunks.begin("FALL");
  out.u16be(0);
  PutVector(out, 0.0f, 0.0f, 0.0f);
  PutIndex(out, 0);
  chunks.end(sub);
  sub = chunks.begin("OREF");
  PutName(out, "");
  chunks.end(sub);
  chunks.u16("CSYS", 0);
  chunks.end(mapping);

  chunks.u16("PROJ", 5);
  chunks.u16("AXIS", 2);
  sub = chunks.begin("IMAG");
  PutIndex(out, static_cast<uint32_t>(clip));
  chunks.end(sub);
  sub = chunks.begin("WRAP");
  out.u16be(1);
  out.u16be(1);
  chunks.end(sub);
  chunks.wrap("WRPW");
  chunks.wrap("WRPH");
  sub = chunks.begin("VMAP");
  PutName(out, kLwo2UvMapName);
  chunks.end(sub);
  sub = chunks.begin("AAST");
  out.u16be(1);
  out.f32be(1.0f);
  chunks.end(sub);
  chunks.u16("PIXB", 1);
  chunks.end(block);
}

// One SURF per exchanged material: colour, smoothing angle, image block.
void PutLwo2Surfaces(OutputBuffer& out, const Model& model, const int (&clipOf)[kExchangedMaterials]) {
  const SurfaceChunks chunks{out};
  for (int k = 0; k < kExchangedMaterials; ++k) {
    const MATERIAL& material = model.materials[k];
    const size_t at = BeginChunk(out, "SURF", 4);
    PutName(out, TextOf(material.name));
    PutName(out, TextOf(material.name));
    size_t sub = chunks.begin("COLR");
    PutVector(out, static_cast<float>(material.light[0]) / 255.0f,
              static_cast<float>(material.light[1]) / 255.0f,
              static_cast<float>(material.light[2]) / 255.0f);
    PutIndex(out, 0);
    chunks.end(sub);
    sub = chunks.begin("SMAN");
    out.f32be(static_cast<float>(material.smoothingAngle * kPi / 180.0));
    chunks.end(sub);
    PutLwo2ImageBlock(chunks, clipOf[k]);
    EndChunk(out, at, 4);
  }
}

}  // namespace

void WriteLwo2Bytes(const Model& model, float scale, OutputBuffer& out) {
  assert(model.pointCount <= kMaxCount && model.lineCount <= kMaxCount &&
         model.faceCount <= kMaxCount);
  const std::vector<int> freeLines = FreeLines(model);
  std::vector<int> written;
  written.reserve(static_cast<size_t>(model.faceCount));
  for (int s = 1; s <= model.faceCount; ++s) {
    if (model.faces[s].material != kGuideMaterial) written.push_back(s);
  }

  const size_t formAt = BeginChunk(out, "FORM", 4);
  out.bytes("LWO2", 4);
  PutLwo2Tags(out, model);
  PutPoints(out, model, scale);
  PutLwo2BoundingBox(out, model, scale);
  PutLwo2PointMaps(out, model);
  PutLwo2Polygons(out, model, written, freeLines);
  PutLwo2CornerUvs(out, model, written);
  int clipOf[kExchangedMaterials];
  PutLwo2Clips(out, model, clipOf);
  PutLwo2Surfaces(out, model, clipOf);
  EndChunk(out, formAt, 4);
}

int SaveLwobFile(Document& document, const std::string& path, FormatContext& context) {
  return SaveFile(document.model, path, context, "LWOB", WriteLwobBytes);
}

int SaveLwo2File(Document& document, const std::string& path, FormatContext& context) {
  return SaveFile(document.model, path, context, "LWO2", WriteLwo2Bytes);
}

}  // namespace vexal
