// LightWave object files of both generations: LWOB (the older IFF layout)
// and LWO2. Both are big-endian IFF: a "FORM" chunk whose data starts with
// the form type, then chunks of a four-letter ID, a 32-bit size and the data,
// padded to an even length; sub-chunks inside "SURF" (and "CLIP") carry a
// 16-bit size.
//
// Points are exchanged as (x, y, -z) and surfaces wind the other way in the
// file. The readers take the scale `LwoImportScale`, the writers
// `LwoExportScale` (both 1.0 when the context carries no settings).
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "formats/format.h"

namespace vexal {

struct Model;
class OutputBuffer;

// Readers: 1 with the document's model replaced by the file's content, or 0
// with context.reason set and the model left exactly as it was. Refused: a
// file that is not an IFF FORM of the right type, a chunk that overruns its
// parent, a PNTS or POLS chunk not consumed exactly, a point index outside
// the points read so far for its layer, more than 256 surface names (LWOB),
// a name longer than 259 bytes, a non-finite number, or a table that would
// pass 19999 records.
int LoadLwobFile(Document& document, const std::string& path, FormatContext& context);
int LoadLwo2File(Document& document, const std::string& path, FormatContext& context);

// Writers: 1 when the file was written (atomically), 0 with a reason when it
// could not be created. Surfaces of the guide material are left out.
int SaveLwobFile(Document& document, const std::string& path, FormatContext& context);
int SaveLwo2File(Document& document, const std::string& path, FormatContext& context);

// The readers of the open dispatcher (see formats/format.h).
int ReadLwobBytes(std::span<const uint8_t> bytes, const std::string& name, ReadTarget& target,
                  FormatContext& context);
int ReadLwo2Bytes(std::span<const uint8_t> bytes, const std::string& name, ReadTarget& target,
                  FormatContext& context);

// The same readers at a given scale straight into a model: on success the
// model is replaced, on failure it is untouched.
int ReadLwobBytes(std::span<const uint8_t> bytes, float scale, Model& model,
                  FormatContext& context);
int ReadLwo2Bytes(std::span<const uint8_t> bytes, float scale, Model& model,
                  FormatContext& context);

// The same writers into a buffer. The model must satisfy the model's
// invariants (indices in range, counts at most 19999).
void WriteLwobBytes(const Model& model, float scale, OutputBuffer& out);
void WriteLwo2Bytes(const Model& model, float scale, OutputBuffer& out);

}  // namespace vexal
