// The IFF chunk layer the LWOB and LWO2 readers and writers share: chunk
// IDs, the reading state that walks a FORM into compact tables and turns them
// into a model, and the writers of chunk headers, names and points.
//
// Reading walks the whole file with bounds-checked sub-readers, one per
// chunk; the caller's model is cleared and filled only once the file was read
// to the end and the rebuilt line table is known to fit, so a refused file
// leaves the model as it was. Nesting is fixed by the code (FORM, chunk, SURF
// sub-chunk), never by the file.
//
// Point indices of a POLS chunk count from the first point of the latest
// PNTS chunk (the current layer), so multi-layer files keep their geometry.
// A polygon's point repeated next to itself is taken once, and fan triangles
// with two equal corners are left out, so every surface read survives the
// reversal and a round trip through either writer.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "formats/format.h"
#include "io/byte_reader.h"
#include "io/file_bytes.h"
#include "model/model.h"

namespace vexal::lwo {

constexpr double kPi = 3.14159265358979323846;
constexpr size_t kMaxNameLength = kTextCapacity - 1;
// Materials 0..14 are exchanged; 15 is the guide material.
constexpr int kExchangedMaterials = kGuideMaterial;

constexpr uint32_t MakeId(const char (&text)[5]) {
  return (static_cast<uint32_t>(static_cast<uint8_t>(text[0])) << 24) |
         (static_cast<uint32_t>(static_cast<uint8_t>(text[1])) << 16) |
         (static_cast<uint32_t>(static_cast<uint8_t>(text[2])) << 8) |
         static_cast<uint32_t>(static_cast<uint8_t>(text[3]));
}

constexpr uint32_t kPnts = MakeId("PNTS");
constexpr uint32_t kPols = MakeId("POLS");
constexpr uint32_t kSurf = MakeId("SURF");

// An ID as text for messages, with unprintable bytes as '?'.
std::string IdText(uint32_t id);

struct Chunk {
  uint32_t id = 0;
  size_t offset = 0;  // of the chunk header in the file
  ByteReader body;
};

enum class Step { kChunk, kEnd, kError };

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

// The reading state of one file: refusals and warnings under the format's
// name, the FORM and chunk walk, and the tables read so far.
class LwoReader {
 public:
  LwoReader(const char* format, FormatContext& context) : format_(format), context_(context) {}

  // Sets the reason "<format>: why (byte offset)"; always false.
  bool refuse(const std::string& why, size_t offset);
  void warn(const std::string& text);

  // Checks the FORM header and returns a reader over the chunks after the
  // form type.
  bool openForm(ByteReader& file, uint32_t formType, ByteReader& form);

  // The next chunk of parent with a 4- or 2-byte size; the pad byte after an
  // odd-sized chunk is skipped (a missing pad at the parent's end is fine).
  Step nextChunk(ByteReader& parent, int sizeBytes, Chunk& chunk);

  // A NUL-terminated name padded to even length, at most 259 bytes.
  bool readName(ByteReader& reader, std::string& out, const char* what);

  // A PNTS chunk: its points start a new layer.
  bool readPoints(const Chunk& chunk);
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
  // dropped. made (when given) receives the surfaces the polygon became.
  bool addPolygon(const std::vector<int32_t>& given, int32_t material, int32_t surfaceNumber,
                  size_t offset, PolygonFaces* made);

  // False (model untouched) when the lines rebuilt from the surface edges
  // would pass the limit. Otherwise clears the model, fills it, rebuilds the
  // lines, lets palette() fill the materials and turns the file's axes into
  // ours (which also reverses every surface).
  bool finish(Model& model, float scale, size_t fileSize, const std::function<void(Model&)>& palette);

  ReadTables& tables() { return tables_; }

 private:
  const char* format_;
  FormatContext& context_;
  ReadTables tables_;
  std::vector<int32_t> ring_;
  int32_t layerBase_ = 0;
  size_t droppedPolygons_ = 0;
};

// The scale of the readers: LwoImportScale, or 1 without settings.
float ImportScale(const FormatContext& context);

// Starts a chunk and returns where its size goes.
size_t BeginChunk(OutputBuffer& out, const char (&id)[5], int sizeBytes);
// Patches the size of the chunk begun at sizeAt and pads it to even length.
void EndChunk(OutputBuffer& out, size_t sizeAt, int sizeBytes);
// A NUL-terminated name padded to even length.
void PutName(OutputBuffer& out, std::string_view name);
// A variable-length index: two bytes below 0xFF00, else four.
void PutIndex(OutputBuffer& out, uint32_t index);
void PutVector(OutputBuffer& out, float x, float y, float z);
// The PNTS chunk of every point, scaled, z negated.
void PutPoints(OutputBuffer& out, const Model& model, float scale);

// Writes the model with write() at LwoExportScale unless a coordinate would
// overflow at that scale (the file would hold values no reader accepts).
int SaveFile(const Model& model, const std::string& path, FormatContext& context,
             const char* format, void (*write)(const Model&, float, OutputBuffer&));

}  // namespace vexal::lwo
