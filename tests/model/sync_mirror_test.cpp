// Keeping mirror partners in step after a move.
#include <gtest/gtest.h>

#include <memory>

#include "model/sync_mirror.h"

namespace vexal {
namespace {

TEST(SyncMirror, SelectedPointsDragPartnersPairsAverageAndThePlaneHoldsX) {
  auto model = std::make_unique<Model>();
  ClearModel(*model);
  // 1 selected with unselected partner 2; 3 and 4 both selected; 5 on the
  // plane; 6 unpartnered.
  SetPoint(*model, 1, 2, 1, 0, kStateSelected, 2);
  SetPoint(*model, 2, -1, 0, 0, 0, 1);
  SetPoint(*model, 3, 2, 1, 0, kStateSelected, 4);
  SetPoint(*model, 4, -1, 3, 0, kStateSelected, 3);
  SetPoint(*model, 5, 0.3f, 1, 1, 0, 5);
  SetPoint(*model, 6, 4, 4, 4, 0, 0);
  model->pointCount = 6;
  const int classes[] = {0, 1, 3, 1, 1, 0, 0};
  for (int p = 1; p <= 6; ++p) model->points[p].selectionClass = classes[p];
  SyncMirror(*model);
  EXPECT_EQ(model->points[1].position, VECTOR(2, 1, 0));
  EXPECT_EQ(model->points[2].position, VECTOR(-2, 1, 0));
  EXPECT_EQ(model->points[3].position, VECTOR(1.5f, 2, 0));
  EXPECT_EQ(model->points[4].position, VECTOR(-1.5f, 2, 0));
  EXPECT_EQ(model->points[5].position, VECTOR(0, 1, 1));
  EXPECT_EQ(model->points[6].position, VECTOR(4, 4, 4));
}

}  // namespace
}  // namespace vexal
