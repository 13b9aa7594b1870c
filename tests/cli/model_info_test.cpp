#include "model/model_info.h"

#include <gtest/gtest.h>

#include <memory>

#include "support/test_models.h"

namespace vexal {
namespace {

TEST(ModelInfo, QuadsCountTwiceAndGuidesCountApart) {
  auto model = std::make_unique<Model>();
  EXPECT_EQ(ModelInfoText(CountModelInfo(*model)),
            "Total Vertex : 0\nTotal Edge : 0\nTotal Polygon : 0 (□ 0 △ 0)\nDummy Polygon : 0\n");

  testing::ClosedCube(*model);
  ModelInfo info = CountModelInfo(*model);
  EXPECT_EQ(info.points, 8);
  EXPECT_EQ(info.lines, 12);
  EXPECT_EQ(info.polygons, 12);
  EXPECT_EQ(info.quads, 6);
  EXPECT_EQ(info.triangles, 0);

  // One face painted as a guide, one turned into a triangle, one in the
  // last ordinary material.
  model->faces[1].material = kGuideMaterial;
  model->faces[2].corners[3] = model->faces[2].corners[0];
  model->faces[2].material = kGuideMaterial;
  model->faces[3].corners[3] = model->faces[3].corners[0];
  model->faces[4].material = 14;
  info = CountModelInfo(*model);
  EXPECT_EQ(info.quads, 3);
  EXPECT_EQ(info.triangles, 1);
  EXPECT_EQ(info.polygons, 7);
  EXPECT_EQ(info.dummyPolygons, 3);
  EXPECT_EQ(ModelInfoText(info),
            "Total Vertex : 8\nTotal Edge : 12\nTotal Polygon : 7 (□ 3 △ 1)\nDummy Polygon : 3\n");
}

}  // namespace
}  // namespace vexal
