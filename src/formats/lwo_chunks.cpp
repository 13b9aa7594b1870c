#include "formats/lwo_chunks.h"
#include "io/message_catalog.h"
#include "formats/format_support.h"

#include <algorithm>
#include <cassert>
#include <cmath>

#include "model/maintenance.h"
#include "model/point_pair_table.h"
#include "settings/settings.h"

namespace vexal::lwo {
namespace {

// True when every point times scale stays a finite float.
bool ScaledPointsFinite(const std::vector<VECTOR>& points, float scale) {
  for (const VECTOR& p : points) {
    if (!std::isfinite(p.x * scale) || !std::isfinite(p.y * scale) || !std::isfinite(p.z * scale)) {
      return false;
    }
  }
  return true;
}

}  // namespace

std::string IdText(uint32_t id) {
  std::string text;
  for (int shift = 24; shift >= 0; shift -= 8) {
    const char c = static_cast<char>((id >> shift) & 0xFF);
    text.push_back(c >= 0x20 && c < 0x7F ? c : '?');
  }
  return text;
}

bool LwoReader::refuse(const std::string& why, size_t offset) {
  context_.reason = Format("%s: %s (byte %zu)", format_, why.c_str(), offset);
  return false;
}

void LwoReader::warn(const std::string& text) {
  context_.warnings.push_back(std::string(format_) + ": " + text);
}

bool LwoReader::openForm(ByteReader& file, uint32_t formType, ByteReader& form) {
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

Step LwoReader::nextChunk(ByteReader& parent, int sizeBytes, Chunk& chunk) {
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

bool LwoReader::readName(ByteReader& reader, std::string& out, const char* what) {
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

bool LwoReader::readPoints(const Chunk& chunk) {
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

bool LwoReader::addPolygon(const std::vector<int32_t>& given, int32_t material, int32_t surfaceNumber,
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

bool LwoReader::finish(Model& model, float scale, size_t fileSize,
                       const std::function<void(Model&)>& palette) {
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

float ImportScale(const FormatContext& context) {
  return context.settings ? context.settings->LwoImportScale : 1.0f;
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

namespace {

float ExportScale(const FormatContext& context) {
  return context.settings ? context.settings->LwoExportScale : 1.0f;
}

}  // namespace

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

}  // namespace vexal::lwo
