// A copy of the live records of a model: the counts, records 0..count of
// each table and the whole palette. The undo ring keeps one per slot, a
// drag keeps one of its press, and commands that can only tell after
// changing the tables that the result would not fit keep one to put the
// model back before they refuse.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "model/model.h"

namespace vexal {

struct ModelSnapshot {
  int32_t pointCount = 0;
  int32_t lineCount = 0;
  int32_t faceCount = 0;
  std::vector<VERT> points;
  std::vector<LINE> lines;
  std::vector<FACE> faces;
  std::array<MATERIAL, kMaterialCount> materials{};

  ModelSnapshot() = default;
  explicit ModelSnapshot(const Model& model) { capture(model); }

  // Copies the model's records and palette; the buffers are reused when
  // they are large enough, so a steady editing session does not allocate.
  void capture(const Model& model);
  // Copies the records only, the palette left as it is.
  void captureRecords(const Model& model);
  // False for a snapshot never captured (it holds no record 0).
  bool holdsRecords() const { return !points.empty() && !lines.empty() && !faces.empty(); }
  // Puts every record and the palette back; slots past the snapshot's counts
  // that the model used are cleared, so nothing stale survives. Expects
  // holdsRecords().
  void restore(Model& model) const;
};

}  // namespace vexal
