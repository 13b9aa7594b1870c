// STL: a flat list of triangles, binary or ASCII.
//
// Binary: an 80-byte header, a 32-bit little-endian triangle count, then
// 50 bytes per triangle: a normal and three corners as 32-bit floats and a
// 16-bit attribute word (some programs keep a colour there; it is ignored).
// ASCII: "solid NAME", then per triangle "facet normal X Y Z", "outer loop",
// three "vertex X Y Z" lines, "endloop", "endfacet", and "endsolid NAME".
//
// STL files stand z up: a file point (x, y, z) becomes the model point
// (x, z, -y) and a model point is written as (x, -z, y), as for 3DS.
// Corners at exactly the same position become one point; the stored
// normals are ignored on reading and recomputed from the corners on
// writing.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "formats/format.h"

namespace vexal {

struct Model;

// Replaces model with the triangles of an STL file held in bytes (name is
// the file's name, for messages). A file whose size is exactly the header
// plus 50 bytes per counted triangle is binary; otherwise one that starts
// with "solid" is ASCII. Returns 0 with a reason, leaving model untouched,
// for a count that does not match the bytes, a truncated or malformed ASCII
// file, a non-finite number, no usable triangle, or more than 19,999
// points, lines or surfaces. Degenerate triangles are dropped with a
// warning. Every surface gets material 0.
int LoadStlBytes(Model& model, std::span<const uint8_t> bytes, const std::string& name,
                 FormatContext& context);
int LoadStlFile(Document& document, const std::string& path, FormatContext& context);
// The reader of the open dispatcher (see formats/format.h): LoadStlBytes
// into the target's model.
int ReadStlBytes(std::span<const uint8_t> bytes, const std::string& name, ReadTarget& target,
            FormatContext& context);

// Write every non-guide surface as triangles (a quad split as
// ChooseQuadSplit picks), binary or ASCII. Return 0 with a reason when the
// file cannot be written (an existing file is then left as it was).
int SaveStlFile(Document& document, const std::string& path, FormatContext& context);
int SaveStlAsciiFile(Document& document, const std::string& path, FormatContext& context);

}  // namespace vexal
