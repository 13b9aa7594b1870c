// FCW triangle files: a binary list of coloured triangles.
//
// Layout (little-endian): a length byte 20, the 20 characters
// "Facetoriumwork_V.1.0", a signed 16-bit count holding the number of
// triangles minus one, then per triangle nine 64-bit doubles (three corners
// of x, y, z) and a 32-bit colour 0x00BBGGRR. Points are exchanged as
// (x, y, -z) and the corner order is reversed, so the winding survives.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "formats/format.h"

namespace vexal {

// Replaces the document's model with the file's triangles, all in material 0,
// merged at shared corners, scaled by FcwImportScale. Returns 0 with a reason
// (and the model untouched) for a wrong magic, zero triangles, more triangles
// than the surface table holds, short data or a non-finite or out-of-range
// coordinate.
int LoadFcwFile(Document& document, const std::string& path, FormatContext& context);
// The reader of the open dispatcher (see formats/format.h).
int ReadFcwBytes(std::span<const uint8_t> bytes, const std::string& name, ReadTarget& target,
            FormatContext& context);

// Writes every non-guide surface as triangles (a quad split by
// ChooseQuadSplit), scaled by FcwExportScale. Returns 0 with a reason when
// the model needs more triangles than the 16-bit count can say (32768) or
// the file cannot be written; an existing file is then left as it was.
int SaveFcwFile(Document& document, const std::string& path, FormatContext& context);

}  // namespace vexal
