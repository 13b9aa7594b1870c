#include "model/model_snapshot.h"

#include <gtest/gtest.h>

#include "support/model_compare.h"
#include "support/test_models.h"

namespace vexal {
namespace {

// Restoring over a model that grew or shrank since the capture gives back
// the captured records and clears every slot the restored model no longer
// uses, palette included.
TEST(ModelSnapshot, RestoreGivesBackTheRecordsAndClearsWhatTheModelNoLongerUses) {
  struct Case {
    const char* name;
    void (*build)(Model&);
  };
  const Case cases[] = {
      {"cube over quad", [](Model& m) { testing::UnitQuad(m); }},
      {"cube over torus", [](Model& m) { testing::QuadTorus(m, 4, 5); }},
  };
  for (const Case& c : cases) {
    Model captured;
    testing::ClosedCube(captured);
    captured.materials[3].light[0] = 77;
    const ModelSnapshot snapshot(captured);
    ASSERT_TRUE(snapshot.holdsRecords());

    Model model;
    c.build(model);
    const int points = model.pointCount, lines = model.lineCount, faces = model.faceCount;
    snapshot.restore(model);
    testing::ExpectSameModel(model, captured, c.name);
    EXPECT_EQ(model.materials[3].light[0], 77) << c.name;
    for (int p = model.pointCount + 1; p <= points; ++p) EXPECT_EQ(model.points[p].state, VERT{}.state) << c.name;
    for (int l = model.lineCount + 1; l <= lines; ++l) EXPECT_EQ(model.lines[l].a, 0) << c.name;
    for (int s = model.faceCount + 1; s <= faces; ++s) EXPECT_TRUE(model.faces[s].corners == FACE{}.corners) << c.name;
  }
  EXPECT_FALSE(ModelSnapshot{}.holdsRecords());
}

}  // namespace
}  // namespace vexal
