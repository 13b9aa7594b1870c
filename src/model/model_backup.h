// A copy of the live records of a model (counts, records 0..count and the
// palette), for commands that can only tell after changing the tables that
// the result would not fit: they put the model back and refuse.
#pragma once

#include <algorithm>
#include <vector>

#include "model/model.h"

namespace vexal {

class ModelBackup {
 public:
  explicit ModelBackup(const Model& model)
      : pointCount_(model.pointCount), lineCount_(model.lineCount), faceCount_(model.faceCount),
        points_(model.points.begin(), model.points.begin() + model.pointCount + 1),
        lines_(model.lines.begin(), model.lines.begin() + model.lineCount + 1),
        faces_(model.faces.begin(), model.faces.begin() + model.faceCount + 1),
        materials_(model.materials) {}

  // Puts every record back; slots past the old counts are cleared as the
  // tables keep them.
  void restore(Model& model) const {
    std::fill(model.points.begin() + pointCount_ + 1,
              model.points.begin() + std::max(model.pointCount, pointCount_) + 1, VERT{});
    std::fill(model.lines.begin() + lineCount_ + 1,
              model.lines.begin() + std::max(model.lineCount, lineCount_) + 1, LINE{});
    std::fill(model.faces.begin() + faceCount_ + 1,
              model.faces.begin() + std::max(model.faceCount, faceCount_) + 1, FACE{});
    std::copy(points_.begin(), points_.end(), model.points.begin());
    std::copy(lines_.begin(), lines_.end(), model.lines.begin());
    std::copy(faces_.begin(), faces_.end(), model.faces.begin());
    model.pointCount = pointCount_;
    model.lineCount = lineCount_;
    model.faceCount = faceCount_;
    model.materials = materials_;
  }

 private:
  int32_t pointCount_;
  int32_t lineCount_;
  int32_t faceCount_;
  std::vector<VERT> points_;
  std::vector<LINE> lines_;
  std::vector<FACE> faces_;
  std::array<MATERIAL, kMaterialCount> materials_;
};

}  // namespace vexal
