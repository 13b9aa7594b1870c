// Metasequoia text documents ("Format Text Ver 1.0", and "Ver 1.1", whose
// body keeps the same chunks; chunks this reader does not know are skipped
// with a warning).
//
// Reading takes the "Material" chunk (file material j becomes palette entry
// j + 1 for j = 0..13) and every "Object" chunk: its "vertex" or binary
// "BVertex" point list and its "face" list of lines (2), triangles (3) and
// quads (4) with " V(", " M(" and " UV(" parts. Corners are reversed and v
// becomes 1 - v in both directions, so windings and textures survive the
// exchange. Object indices count from 0 within the object. The objects'
// mirror settings are expanded into real geometry (x, then y, then z);
// points and their x copies become mirror partners. Coordinates are
// multiplied by MqoImportScale on reading and MqoExportScale on writing.
//
// Limits: at most 19,999 points, lines and surfaces after mirroring. A face
// index outside its object's point list, a "BVertex" count beyond the data,
// a non-finite number or a broken limit refuses the file with a reason.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "formats/format.h"

namespace vexal {

// Replaces the document's model with the file's contents. Returns 0 with a
// reason, leaving the model untouched, for a file whose first two lines are
// not "Metasequoia Document" and "Format Text Ver 1.0" or "Ver 1.1", or that breaks a
// limit above.
int LoadMqoFile(Document& document, const std::string& path, FormatContext& context);

// The reader of the open dispatcher (see formats/format.h).
int ReadMqoBytes(std::span<const uint8_t> bytes, const std::string& name, ReadTarget& target,
                 FormatContext& context);

// Writes the palette entries 0..14 as the file's materials, the lines no
// non-guide surface borders as an object "line", and one object per material
// in use holding its surfaces (guide surfaces are left out). Lines end with
// CR LF. Returns 0 with a reason when the file cannot be written (an existing
// file is left as it was).
int SaveMqoFile(Document& document, const std::string& path, FormatContext& context);

}  // namespace vexal
