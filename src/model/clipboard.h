// The two clipboards of the application, shared by every document window:
// copied geometry (points, lines and surfaces renumbered among themselves)
// and a copied palette. Neither is part of any document's undo history.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "model/model.h"

namespace vexal {

// Whole copies of the records, indexed from 1 like the model's tables:
// corners, line ends, line references and mirror partners refer to
// clipboard indices (a partner that was not copied is 0). Record 0 of each
// table is unused; the vectors hold count + 1 records.
struct PointClipboard {
  int32_t pointCount = 0;
  int32_t lineCount = 0;
  int32_t faceCount = 0;
  std::vector<VERT> points{1};
  std::vector<LINE> lines{1};
  std::vector<FACE> faces{1};

  bool empty() const { return pointCount == 0; }
};

struct PaletteClipboard {
  std::array<MATERIAL, kMaterialCount> materials{};
  bool filled = false;
};

}  // namespace vexal
