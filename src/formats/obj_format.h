// Wavefront OBJ files with their MTL material libraries.
//
// Reading takes "v" points, "vt" texture coordinates, "f" faces (fields
// point/uv/normal, negative numbers relative to the end of their table,
// n-gons fanned into triangles around their first vertex, two-vertex faces
// as lines), "usemtl" and "mtllib"; comment, object, group, smoothing, point,
// polyline and normal statements are skipped, and any other statement means
// the file is not OBJ. Material names share one table of 256 entries with the
// libraries' "newmtl"; a name's position is its material number, stored as
// that number mod 15. Lines continue onto the next when they end with a
// backslash. Coordinates are multiplied by ObjImportScale; no axis changes.
//
// Limits: at most 19,999 points, lines and surfaces, 80,000 texture
// coordinates, 8,190 characters in a continued line, 255 in a material name
// and 259 in a texture file name. Files beyond them, indices outside the
// tables read so far and non-finite numbers are refused with a reason.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "formats/format.h"

namespace vexal {

// Replaces the document's model with the file's contents (lines rebuilt from
// the surfaces). Returns 0 with a reason, leaving the model untouched, for a
// file that is not OBJ, breaks a limit above or holds no point. A material
// library that cannot be opened is skipped with a warning.
int LoadObjFile(Document& document, const std::string& path, FormatContext& context);

// The reader of the open dispatcher (see formats/format.h). Material
// libraries are looked up in the folder of name, and not read at all when
// context.readReferencedFiles is false.
int ReadObjBytes(std::span<const uint8_t> bytes, const std::string& name, ReadTarget& target,
                 FormatContext& context);

// What a parse of OBJ text found, without building a model.
struct ObjCounts {
  int points = 0;
  int textureCoordinates = 0;
  int surfaces = 0;  // n-gons counted as their triangles
  int lines = 0;     // two-vertex faces
};

// Parses OBJ text with every check of ReadObjBytes but builds no model (no
// material library is read): for measuring the parser and for probes.
// Returns 0 with a reason for text ReadObjBytes would refuse before building.
int ParseObjText(std::string_view text, ObjCounts& counts, FormatContext& context);

// Writes every point, four texture coordinates and four normals per surface,
// the non-guide surfaces grouped by material, and the lines no non-guide
// surface borders as two-point faces; scaled by ObjExportScale. With
// ObjExportGroup and ObjExportMaterial both 1 a material library (the path
// with extension ".mtl") is written too. Lines end with CR LF. Returns 0 with
// a reason when a file cannot be written (an existing file is left as it was).
int SaveObjFile(Document& document, const std::string& path, FormatContext& context);

}  // namespace vexal
