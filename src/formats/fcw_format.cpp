#include "formats/fcw_format.h"

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <exception>
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

constexpr char kMagic[] = "Facetoriumwork_V.1.0";
constexpr size_t kMagicLength = sizeof kMagic - 1;
constexpr size_t kHeaderBytes = 1 + kMagicLength + 2;
// Nine doubles and a colour.
constexpr size_t kTriangleBytes = 9 * 8 + 4;
// The count field is a signed 16-bit "triangles - 1".
constexpr int kMaxFileTriangles = 32768;

void PutDouble(OutputBuffer& out, double value) {
  uint64_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  out.u32le(static_cast<uint32_t>(bits));
  out.u32le(static_cast<uint32_t>(bits >> 32));
}

}  // namespace

int ReadFcwBytes(std::span<const uint8_t> bytes, const std::string& /*name*/, ReadTarget& target,
            FormatContext& context) {

  ByteReader in(bytes);
  if (in.u8() != kMagicLength || !in.peekMatches({kMagic, kMagicLength})) {
    return context.fail(Translate("FCW: not an FCW file (no \"Facetoriumwork_V.1.0\" header)"));
  }
  in.skip(kMagicLength);
  const int16_t countField = in.i16le();
  if (!in.ok()) return context.fail(Translate("FCW: the file ends inside the header"));
  const int triangles = countField + 1;
  if (triangles <= 0) {
    return context.fail(Format("FCW: the file holds no triangles (count field %d)", countField));
  }
  // Each triangle becomes a surface before merging, so the surface table is
  // the tighter limit (its three points fit the point table).
  if (triangles > kMaxCount) {
    return context.fail(
        Format("FCW: %d triangles, more than the %d surfaces a model holds", triangles, kMaxCount));
  }
  const size_t needed = static_cast<size_t>(triangles) * kTriangleBytes;
  if (in.remaining() < needed) {
    const size_t whole = in.remaining() / kTriangleBytes;
    return context.fail(Format("FCW: the file ends inside triangle %zu of %d (byte offset %zu)",
                               whole + 1, triangles, kHeaderBytes + whole * kTriangleBytes));
  }

  std::vector<VECTOR> corners(static_cast<size_t>(triangles) * 3);
  for (size_t corner = 0; corner < corners.size(); ++corner) {
    const size_t offset = in.fileOffset();
    double xyz[3];
    for (double& value : xyz) value = in.f64le();
    for (double value : xyz) {
      // A double beyond the float range would not survive the conversion.
      if (!std::isfinite(value) || std::fabs(value) > FLT_MAX) {
        return context.fail(Format(
            "FCW: triangle %zu has a non-finite or out-of-range coordinate (byte offset %zu)",
            corner / 3 + 1, offset));
      }
    }
    corners[corner] =
        VECTOR(static_cast<float>(xyz[0]), static_cast<float>(xyz[1]), static_cast<float>(xyz[2]));
    if (corner % 3 == 2) in.skip(4);  // the colour: surfaces all take material 0
  }
  if (in.remaining() > 0) {
    context.warnings.push_back(
        Format("FCW: %zu bytes after the last triangle ignored", in.remaining()));
  }

  Model& model = target.model;
  for (size_t i = 0; i < corners.size(); ++i) {
    const int point = static_cast<int>(i) + 1;
    SetPoint(model, point, corners[i].x, corners[i].y, corners[i].z, kStateNormal, 0);
  }
  for (int t = 0; t < triangles; ++t) {
    const int first = 3 * t + 1;
    SetFace(model, t + 1, first, first + 1, first + 2, first, 0, kStateNormal);
  }
  model.pointCount = static_cast<int32_t>(corners.size());
  model.faceCount = triangles;
  if (!CompactModel(model, kCompactMerge | kCompactRebuildLines)) {
    return context.fail(Translate("FCW: the merged model passes the 19999 record limit"));
  }
  const float scale = static_cast<float>(SettingsOf(context).FcwImportScale);
  // Negating z mirrors the model; ScaleModel reverses the surfaces with it,
  // which undoes the reversed corner order of the file.
  ScaleModel(model, scale, scale, -scale);
  for (int i = 1; i <= model.pointCount; ++i) {
    const VECTOR& p = model.points[i].position;
    if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(p.z)) {
      return context.fail(Translate("FCW: a coordinate overflows at the import scale"));
    }
  }
  return 1;
}

int SaveFcwFile(Document& document, const std::string& path, FormatContext& context) {
  const Model& model = document.model;
  int triangles = 0;
  for (int s = 1; s <= model.faceCount; ++s) {
    const FACE& face = model.faces[s];
    if (face.material != kGuideMaterial) triangles += IsQuad(face) ? 2 : 1;
  }
  // A larger count would wrap the 16-bit field and write a corrupt file.
  if (triangles > kMaxFileTriangles) {
    return context.fail(Format("FCW: %d triangles, more than the %d an FCW file can count",
                               triangles, kMaxFileTriangles));
  }
  // The file counts triangles less one, and its reader refuses a count of
  // none: a model without triangles to write is refused before the file is
  // made.
  if (triangles == 0) {
    return context.fail(Translate(
        "FCW: the model has no surfaces to write (guide surfaces are left out); an empty FCW "
        "file could not be opened again"));
  }

  const double scale = SettingsOf(context).FcwExportScale;
  OutputBuffer out;
  out.u8(static_cast<uint8_t>(kMagicLength));
  out.put(std::string_view(kMagic, kMagicLength));
  out.u16le(static_cast<uint16_t>(triangles - 1));

  auto putTriangle = [&](int a, int b, int c, uint32_t colour) {
    for (int point : {a, b, c}) {
      const VECTOR& p = model.points[point].position;
      PutDouble(out, p.x * scale);
      PutDouble(out, p.y * scale);
      PutDouble(out, -p.z * scale);
    }
    out.u32le(colour);
  };
  for (int s = 1; s <= model.faceCount; ++s) {
    const FACE& face = model.faces[s];
    if (face.material == kGuideMaterial) continue;
    const auto& light = model.materials[face.material].light;
    const uint32_t colour =
        static_cast<uint32_t>(Channel(light[2]) << 16 | Channel(light[1]) << 8 | Channel(light[0]));
    const auto& c = face.corners;
    if (!IsQuad(face)) {
      putTriangle(c[2], c[1], c[0], colour);
    } else if (ChooseQuadSplit(model, s) == 1) {
      putTriangle(c[2], c[1], c[0], colour);
      putTriangle(c[0], c[3], c[2], colour);
    } else {
      putTriangle(c[3], c[1], c[0], colour);
      putTriangle(c[3], c[2], c[1], colour);
    }
  }

  std::string why;
  if (!out.commit(path, &why)) return context.fail(FormatMessage("FCW: %s", why.c_str()));
  return 1;
}

int LoadFcwFile(Document& document, const std::string& path, FormatContext& context) {
  return LoadModelFile(document, path, ReadFcwBytes, context);
}

}  // namespace vexal
