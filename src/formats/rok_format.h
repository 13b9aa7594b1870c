// ROK text files ("ROKU4"): points with their mirror partners, lines, and
// surfaces described by the lines around them rather than by corners.
//
// Every line ends with a lone CR (an LF is an ordinary character; a reader
// also tolerates one LF at the start of a line, so a file whose line ends
// were turned into CR LF still reads). Integers are written "%5d", reals
// "%16.9f". Layout, one value per line:
//   "ROKU4" (or, when line 1 is something else, at byte 128 after a prefix);
//   14 header numbers (ignored when read);
//   "POINT", per point 8 lines: number, 0, hidden flag, 0, partner number,
//     x, -y, -z;
//   "LINE0", per line 4 lines: first point, second point, 0, hidden flag;
//   "FACE0", per surface: line count n (3 or 4), material, surface number,
//     then the n lines of edges 0..n-1 in winding order;
//   "END00"; optionally "PALC0", entry count, 0, per entry light R, G, B,
//     dark R, G, B, 0; then fixed background, light, view and line-style
//     sections the reader skips.
// The file's y and z axes point the other way: points are read and written
// as (x, -y, -z), scaled by RokImportScale / RokExportScale.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "formats/format.h"

namespace vexal {

// Replaces the document's model with a ROK file's points, lines, surfaces
// and palette. Returns 0 with a reason (and the model untouched) for a
// wrong magic, a section that ends early, a number that cannot be read or
// is not finite, a mirror partner, line end or surface line outside its
// table, surface lines that do not close around the surface, a surface
// material outside 0..15, a palette of more than 16 entries, or more than
// 19999 records in a table.
int LoadRokFile(Document& document, const std::string& path, FormatContext& context);
// The reader of the open dispatcher (see formats/format.h).
int ReadRokBytes(std::span<const uint8_t> bytes, const std::string& name, ReadTarget& target,
                 FormatContext& context);

// Writes the points that have a mirror partner, the lines and surfaces that
// use only those points (surfaces of materials 0..12 only), materials 0..12
// as the palette and the fixed trailing sections. Returns 0 with a reason
// when the file cannot be written; an existing file is then left as it was.
int SaveRokFile(Document& document, const std::string& path, FormatContext& context);

}  // namespace vexal
