// MX files: independent textured quads in a sectioned binary file.
//
// Layout (little-endian, 32-bit floats): a header ("MXF\0", version, then
// size and offset of section A, the face section and the texture section;
// version 512 adds a value, two 16-bit values and section D's size and
// offset), then the sections where the header says. A face record is 168
// bytes: four corners and four normals as (x, y, z, w), four (u, v), a colour
// 0x00RRGGBB, a 16-bit texture number (0xFFFF none) and 16 bits of padding.
// The texture section holds 16-byte NUL-padded names. Version 256 stores UVs
// in texels; version 512 in 0..1. Points are exchanged as (x, -y, z).
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "formats/format.h"

namespace vexal {

// Replaces the document's model with the file's faces, merged at shared
// corners, scaled by MxImportScale; a face lands in material (texture number
// mod 15) and the first fifteen texture names become the texture files of
// materials 0..14 with MxTextureExtension appended. Returns 0 with a reason
// (and the model untouched) for a wrong magic or version, a section that lies
// outside the file or has a partial record, more faces than the surface
// table holds, or a non-finite number.
int LoadMxFile(Document& document, const std::string& path, FormatContext& context);
// The reader of the open dispatcher (see formats/format.h).
int ReadMxBytes(std::span<const uint8_t> bytes, const std::string& name, ReadTarget& target,
           FormatContext& context);

// Writes a version 512 file: every non-guide surface as one face record (a
// triangle repeats its third corner), scaled by MxExportScale; materials
// 0..14 with a texture file get texture numbers 0, 1, ... in order. Returns 0
// with a reason when the file cannot be written.
int SaveMxFile(Document& document, const std::string& path, FormatContext& context);

}  // namespace vexal
