// Writers of three text formats that are exported but never read: VRML 1.0,
// DirectX X (text, "xof 0302txt 0064") and Softimage XSI (text, "xsi
// 0300txt 0032").
//
// Each takes the model as it is (corner normals already refreshed by the
// save flow), leaves out guide surfaces (material 15) and scales positions
// by its own export scale setting (WrlExportScale, XExportScale,
// XsiExportScale); normals and texture coordinates are not scaled.
//   VRML: every point once; one IndexedFaceSet per used material 0..14 with
//     0-based point indices, CR LF line ends.
//   X: the standard template block, then one mesh with a vertex per surface
//     corner, corners listed last to first with z negated (the file's axes
//     are left-handed), v written as 1 - v, fifteen materials; LF line ends.
//   XSI: a 16-entry material library (a default and materials 0..14), one
//     shape with every point and a normal and UV per written corner, one
//     polygon list per used material; LF line ends.
#pragma once

#include <string>

#include "formats/format.h"

namespace vexal {

// Each returns 1, or 0 with a reason when the file cannot be written (an
// existing file is then left as it was).
int SaveVrmlFile(Document& document, const std::string& path, FormatContext& context);
int SaveXFile(Document& document, const std::string& path, FormatContext& context);
int SaveXsiFile(Document& document, const std::string& path, FormatContext& context);

}  // namespace vexal
