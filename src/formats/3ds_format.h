// 3DS files: little-endian chunks, each a 16-bit ID, a 32-bit size that
// counts its 6-byte header, then data and sub-chunks.
//
// Read: the main chunk 0x4D4D, its editor chunk 0x3D3D, and there material
// blocks 0xAFFF (name, diffuse colour, transparency, texture map name) and
// named objects 0x4000 holding triangle meshes 0x4100 (vertex list 0x4110,
// face list 0x4120 with face-material sub-chunks 0x4130, mapping
// coordinates 0x4140 beside the face list or inside it). Every other chunk
// is skipped by its size. A file point (x, y, z) becomes the model point
// (x, z, -y); a model point is written as (x, -z, y).
//
// Limits: 16-bit counts (at most 65535 vertices and faces per list), names
// of at most 16 characters, texture map names in 8.3 form.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "formats/format.h"

namespace vexal {

// Replaces the document's model with the file's triangles merged at shared
// corners and scaled by TdsImportScale; the first 14 file materials fill
// palette entries 1..14 and file material i paints its faces with entry
// (i mod 14) + 1. Returns 0 with a reason (and the model untouched) when the
// file does not start with 0x4D4D, a chunk overruns its parent, a name or
// map name breaks its limit, a vertex or face number lies outside its
// object, a number is not finite, or the tables would overflow.
int Load3dsFile(Document& document, const std::string& path, FormatContext& context);
// The reader of the open dispatcher (see formats/format.h).
int Read3dsBytes(std::span<const uint8_t> bytes, const std::string& name, ReadTarget& target,
            FormatContext& context);

// Writes one object "default" holding every non-guide surface as triangles
// (three vertices each; a quad split by ChooseQuadSplit), scaled by
// TdsExportScale, and a material block for each of materials 0..14. Names
// are cut to 16 characters and a name already written gets "~" and a number
// instead of its tail, since faces find their material by name. A texture
// file name that has no 8.3 form is shortened to one (base cut to 8
// characters, extension to 3). Both changes are reported as warnings. Returns 0 with a reason when
// the model needs more than 65535 vertices or the file cannot be written.
int Save3dsFile(Document& document, const std::string& path, FormatContext& context);

}  // namespace vexal
