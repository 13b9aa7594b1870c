// Selection by rule: the changes behind Select All, Select Color, Select A
// Three-wire Face, Select An Independent Edge, Expanded Selection and Edge
// loop selection. Each changes only element states; the caller finishes
// the edit (RefreshSelection, normals, undo step, redraw). Hidden elements
// are never selected.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "model/document.h"
#include "model/edit_frame.h"

namespace vexal {

// Every point that is not hidden.
void SelectAllPoints(Model& model);

// The surfaces of one material; the rest of the selection is cleared first
// unless keep is set.
void SelectMaterialSurfaces(Model& model, int32_t material, bool keep);

// Only the surfaces all of whose edges are shared by more than two visible
// non-guide surfaces.
void SelectTripleFaces(Model& model);

// Only the lines that no non-guide surface uses.
void SelectIndependentLines(Model& model);

// Grows the selection along connected lines: first only over lines used by
// at most one visible non-guide surface (so a border selection follows the
// border), and when that adds nothing, over every connected line. Then the
// corners of selected surfaces are selected.
void ExpandSelection(Model& model);

// Continues the selected lines across regular vertices into loops, stopping
// at points of five or more surface corners, at triangles and at lines of
// three or more surfaces. Only the loop lines and their ends stay selected.
void SelectEdgeLoop(Model& model);

// The whole Expanded Selection edit, as the menu item and a double click
// run it: the chain being drawn is finished, the selection grows, one undo
// step, redraw.
EditOutcome RunExpandedSelection(Document& document);

// The whole Select Color edit, as the menu item (with the current palette
// entry) and the palette window (with its own entry and keep flag) run it.
EditOutcome RunMaterialSelection(Document& document, int32_t material, bool keep);

// How many surfaces use each line as an edge (each surface counting a line
// once), over the surfaces the filter accepts.
template <typename Filter>
std::vector<int32_t> LineUses(const Model& model, Filter accept) {
  std::vector<int32_t> uses(static_cast<size_t>(model.lineCount) + 1, 0);
  for (int s = 1; s <= model.faceCount; ++s) {
    const FACE& face = model.faces[s];
    if (!accept(face)) continue;
    const int edges = CornerCount(face);
    for (int j = 0; j < edges; ++j) {
      const int32_t line = face.lines[j] < 0 ? -face.lines[j] : face.lines[j];
      if (line < 1 || line > model.lineCount) continue;
      bool repeated = false;
      for (int k = 0; k < j; ++k) repeated = repeated || std::abs(face.lines[k]) == line;
      if (!repeated) ++uses[line];
    }
  }
  return uses;
}

}  // namespace vexal
