// The LWOB writer: the surface names, the points, the surfaces (and the
// free lines as two-point polygons) and one SURF per exchanged material.
#include <cassert>
#include <vector>

#include "formats/free_lines.h"
#include "formats/lwo_chunks.h"
#include "formats/lwo_format.h"
#include "model/document.h"
#include "model/model.h"

namespace vexal {

using namespace lwo;

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

int SaveLwobFile(Document& document, const std::string& path, FormatContext& context) {
  return SaveFile(document.model, path, context, "LWOB", WriteLwobBytes);
}

}  // namespace vexal
