// The LWO2 writer: tags and one layer, points, bounding box, point and
// corner UV maps, polygons with their part and surface tags, one CLIP per
// texture and one SURF per exchanged material with its image block.
#include <algorithm>
#include <cassert>
#include <string>
#include <string_view>
#include <vector>

#include "formats/free_lines.h"
#include "formats/lwo_chunks.h"
#include "formats/lwo_format.h"
#include "model/document.h"
#include "model/model.h"

namespace vexal {

using namespace lwo;

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

int SaveLwo2File(Document& document, const std::string& path, FormatContext& context) {
  return SaveFile(document.model, path, context, "LWO2", WriteLwo2Bytes);
}

}  // namespace vexal