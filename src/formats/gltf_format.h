// glTF 2.0, as JSON (".gltf" with its buffer in a ".bin" beside it) and as
// the binary container (".glb"), through tinygltf.
//
// glTF stands y up and right-handed like the model, and its front faces
// wind counter-clockwise like the model's surfaces, so points and corners
// go across unchanged; only v is flipped (glTF counts it from the top of
// the image, the model from the bottom).
//
// Writing: one mesh with one triangle primitive per palette entry in use
// (guide surfaces, material 15, are left out; quads are split as
// ChooseQuadSplit picks), vertices shared where a point's corners agree in
// normal and UV. Normals are the surfaces' corner normals. Each material
// takes its base colour from the light colour (white for a textured
// material without the blend flag) with the opacity as alpha; its alpha
// mode follows the document's transparency view (blended: "BLEND" where the
// opacity is below 255; cut-out: "MASK" at 0.125 for textured materials).
// A texture becomes an image referred to by its file name, copied beside a
// ".gltf" and embedded in a ".glb" (PNG and JPEG only; others are referred
// to by name with a warning).
//
// Reading: the default scene (else the first, else every mesh once) with
// node transforms applied; every primitive must be in triangle mode.
// Corners at exactly the same position become one point. Materials fill
// palette entries 0..14 in order of first use (a primitive without one
// counts as a material of its own); later ones share entry 14 with a
// warning. An image's URI (or, for an embedded image, its name) becomes the
// texture name.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "formats/format.h"

namespace vexal {

struct Model;

// Replaces model with the meshes of a glTF or GLB file held in bytes (GLB
// when they start with "glTF"). name is the file's path: external buffers
// are read from its folder. Returns 0 with a reason, leaving model
// untouched, for malformed JSON or container, an index outside its table,
// an accessor or view reaching past its buffer, a sparse accessor, a
// primitive in another mode than triangles, a non-finite number, no usable
// triangle, or more than 19,999 points, lines or surfaces.
int LoadGltfBytes(Model& model, std::span<const uint8_t> bytes, const std::string& name,
                  FormatContext& context);
int LoadGltfFile(Document& document, const std::string& path, FormatContext& context);
// The reader of the open dispatcher (see formats/format.h): LoadGltfBytes
// into the target's model.
int ReadGltfBytes(std::span<const uint8_t> bytes, const std::string& name, ReadTarget& target,
             FormatContext& context);

// Writers of ".gltf" (with "<name>.bin" beside it) and ".glb". Return 0 with
// a reason when a file cannot be written; the files already there are then
// left as they were.
int SaveGltfFile(Document& document, const std::string& path, FormatContext& context);
int SaveGlbFile(Document& document, const std::string& path, FormatContext& context);

}  // namespace vexal
