// The LWO2 reader: points, polygons and the "SURF" polygon tags only.
#include <string>
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

constexpr uint32_t kLwo2 = MakeId("LWO2");
constexpr uint32_t kLayr = MakeId("LAYR");
constexpr uint32_t kPtag = MakeId("PTAG");

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

}  // namespace

int ReadLwo2Bytes(std::span<const uint8_t> bytes, float scale, Model& model,
                  FormatContext& context) {
  return ReadLwo2(bytes, scale, model, context);
}

int ReadLwo2Bytes(std::span<const uint8_t> bytes, const std::string& /*name*/, ReadTarget& target,
                  FormatContext& context) {
  return ReadLwo2(bytes, ImportScale(context), target.model, context);
}

int LoadLwo2File(Document& document, const std::string& path, FormatContext& context) {
  int (*reader)(std::span<const uint8_t>, const std::string&, ReadTarget&, FormatContext&) =
      ReadLwo2Bytes;
  return LoadModelFile(document, path, reader, context);
}

}  // namespace vexal
