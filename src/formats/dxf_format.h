// DXF text files: 3D surfaces only, as "3DFACE" entities or as polyface
// meshes ("POLYLINE" with "VERTEX" records and "SEQEND").
//
// A file is read as pairs of lines, a group code (an integer, blanks around
// it allowed) and a value; CR characters are dropped. The first surface
// entity of the file decides the kind that is read; the other kind is
// ignored. Entities are found anywhere in the file (a mesh inside a BLOCK
// is read as well), up to the "EOF" entity. The layer of an entity selects
// the material: layers are numbered in order of first appearance (the 256th
// and every later new name share number 255) and the material is the layer
// number mod 15. An entity without a layer group is on layer "0".
//
// 3DFACE: every corner becomes a point and coincident points are merged
// afterwards; a fourth corner equal to the third makes a triangle.
// Polyface: mesh vertices (flags 64 and 128 both set) become points; face
// records (flag 128 without 64) become surfaces whose 1-based indices count
// from the mesh's first vertex. Two triangles that share one invisible edge
// (negative index) come back as one quad.
//
// Settings: DxfImportScale multiplies coordinates read; with DxfRotateImport
// a file point (x, y, z) becomes (x, z, -y). DxfExportScale multiplies
// coordinates written; with DxfRotateExport a model point (x, y, z) is
// written as (x, -z, y). Files are written with CR LF line ends.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "formats/format.h"

namespace vexal {

// Replaces the document's model with the surfaces of a DXF file. Returns 0
// with a reason (and the model untouched) when the file has no 3DFACE or
// POLYLINE entity, ends inside an entity, holds a group code or number that
// cannot be read or a non-finite coordinate, a face record with a vertex
// index outside its mesh, more than 19999 points, lines or surfaces, or no
// points at all.
int LoadDxfFile(Document& document, const std::string& path, FormatContext& context);
// The reader of the open dispatcher (see formats/format.h).
int ReadDxfBytes(std::span<const uint8_t> bytes, const std::string& name, ReadTarget& target,
                 FormatContext& context);

// Writes every non-guide surface as one 3DFACE on the layer named after its
// material, colour number = material index. Returns 0 with a reason when the
// file cannot be written; an existing file is then left as it was.
int SaveDxf3DFaceFile(Document& document, const std::string& path, FormatContext& context);

// Writes fifteen polyface meshes, one per material 0..14 (empty ones too),
// each with the points its surfaces use in order of first use. Returns 0
// with a reason when the file cannot be written.
int SaveDxfPolylineFile(Document& document, const std::string& path, FormatContext& context);

}  // namespace vexal
