// The native ".vxl" document: a line-oriented text file holding the view
// state, the point, line and surface tables, the palette, the corner UVs, the
// material names and textures, and the back pictures.
//
// Layout (every line ends with CR LF when written; LF alone is accepted):
//   "================", "<VEXAL_VER.2.72>", "================",
//   "<SCREEN_INFO>", "=ROTATE=", two angle lines, "=LOCATE=", three lines,
//   "=GRID=", one, "=ZOOM=", zoom and a spare 1.0, "=LOCK=", one,
//   "=COUNT=", counts, "=RESERVED=", one, "=RESERVED=", two;
//   "<POINT>" 4 lines per point (x*100, y*-100, z*100, state flags mirror);
//   "<LINE>" a b state; "<SURFACE>" four corners, material, state;
//   "<PALETTE>" 16 lines of light and dark R G B;
//   then the optional "<UV>", "<TEXTURE>" and "<BPICTURE>" sections, each
//   looked for on the one line after the previous section (or after the
//   line tested for it, when that section was missing).
// Number lines have a blank before and after every number ("%10d",
// "%15.9f", "%.6f"). Section and separator lines are skipped unread, so
// the number lines must stand at their places.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "formats/format.h"

namespace vexal {

// The version written into the header line.
inline constexpr const char* kNativeVersion = "2.72";

// Reads a native document into document.model and the view fields of
// document.scene (angles, target, zoom, back picture scale, depth and
// offset). Returns 1 on success. Returns 0 with context.reason set when the
// file cannot be read, its second line does not begin "<VEXAL", a count is
// negative or above 19999, the file ends inside the point, line or surface
// table, a number cannot be parsed or is not finite, an index is out of
// range, a material is outside 0..15 or a text is longer than 259 bytes;
// the document is then left exactly as it was. Repaired with a warning: a
// state outside 0..2 (made 0), a colour or opacity outside 0..255 (brought
// into range), a one-sided mirror partner (dropped). A file that ends inside
// the palette or an optional section loads, the rest keeping the defaults
// (with a warning).
int LoadNativeFile(Document& document, const std::string& path, FormatContext& context);

// The reader of the open dispatcher (see formats/format.h); it also sets
// the view fields of target.scene that the file stores.
int ReadNativeBytes(std::span<const uint8_t> bytes, const std::string& name, ReadTarget& target,
                    FormatContext& context);

// Writes document.model and its view fields as a native document. The file
// on disk is replaced only after the whole document was written. Returns 0
// with a reason when the file cannot be written, when a text field holds a
// line break, or when a coordinate or UV is not finite (the file could not
// be read back).
int SaveNativeFile(Document& document, const std::string& path, FormatContext& context);

}  // namespace vexal
