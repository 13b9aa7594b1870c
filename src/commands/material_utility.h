// The Utility dialog's rewrites of all 16 materials, applied in this order
// when their boxes are checked: texture folder, material name from the
// texture's name, texture name from the material's name, texture extension,
// smoothing angle. The whole run is one undo step; texture files are not
// reloaded.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "commands/command_dispatcher.h"
#include "model/document.h"

namespace vexal {

struct MaterialRewrites {
  bool textureFolder = false;  // 1. texture := folder + its file name
  std::string folder;
  bool nameFromTexture = false;  // 2. name := texture's name without folder and extension
  bool textureFromName = false;  // 3. texture := its folder + name + its extension
  bool textureExtension = false;  // 4. texture's extension := the field's from its last "."
  std::string extension;
  bool smoothing = false;  // 5. every smoothing angle := angle
  float angle = 59.5f;
};

// What the dialog shows when it opens: no box checked, the extension ".bmp",
// the angle 59.5 and the folder of the document's file, or the program's
// folder for a file named without one or a document never saved; no folder
// without a document (documentPath null).
MaterialRewrites UtilityDialogStart(const std::string* documentPath, std::string_view programFolder);

// Applies the checked rewrites to a copy; kRefused (materials unchanged)
// when a result would not fit a 259-character text field.
CommandResult RewriteMaterials(std::array<MATERIAL, kMaterialCount>& materials,
                               const MaterialRewrites& rewrites);

// The dialog's OK on a document: the rewrites, then normals by smoothing
// angle, one undo step (recorded even with every box unchecked) and a
// redraw.
CommandResult RunMaterialUtility(Document& document, const MaterialRewrites& rewrites);

}  // namespace vexal
