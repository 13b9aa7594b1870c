// The hide and show commands.
#include <gtest/gtest.h>

#include "commands/command_fixture.h"
#include "commands/hide_show.h"
#include "support/test_models.h"

namespace vexal {
namespace {

using testing::CommandFixture;

class HideShow : public CommandFixture {};

TEST_F(HideShow, HideTheRestThenShowKeepsTemplatesHidden) {
  load(testing::ClosedCube);
  select({8});
  run("HideTemplateItem");
  EXPECT_EQ(model().points[8].state, kStateHidden);
  EXPECT_EQ(model().points[8].flags & kPointTemplateFlag, kPointTemplateFlag);
  EXPECT_EQ(document->scene.selectedCount, 0);

  select({1});
  run("HideNotItem");
  for (int p = 2; p <= 8; ++p) EXPECT_EQ(model().points[p].state, kStateHidden) << p;
  for (int s = 1; s <= 6; ++s) EXPECT_EQ(model().faces[s].state, kStateHidden) << s;

  run("ShowItem");
  EXPECT_EQ(model().points[1].state, kStateSelected);
  for (int p = 2; p <= 7; ++p) EXPECT_EQ(model().points[p].state, kStateNormal) << p;
  EXPECT_EQ(model().points[8].state, kStateHidden);
  for (int l = 1; l <= 12; ++l) EXPECT_NE(model().lines[l].state, kStateHidden) << l;
  for (int s = 1; s <= 6; ++s) EXPECT_NE(model().faces[s].state, kStateHidden) << s;

  run("ShowTemplateItem");
  EXPECT_EQ(model().points[8].state, kStateNormal);
  EXPECT_EQ(model().points[8].flags, 0);
}

TEST_F(HideShow, HideSelectionHidesItsLinesAndSurfaces) {
  load(testing::ClosedCube);
  select({5, 6, 7, 8});
  run("HideItem");
  for (int p = 5; p <= 8; ++p) EXPECT_EQ(model().points[p].state, kStateHidden) << p;
  EXPECT_EQ(model().faces[2].state, kStateHidden);
  EXPECT_EQ(model().faces[1].state, kStateNormal);
  EXPECT_EQ(document->scene.selectedCount, 0);
  EXPECT_FALSE(CommandEnabled("HideItem", target));
}

TEST_F(HideShow, ShowTemplatesRevealsOnlyHiddenPartsOnTemplates) {
  load([](Model& m) {
    testing::UnitQuad(m);
    m.points[2].flags = kPointTemplateFlag;
    m.points[2].state = kStateHidden;
  });
  // Line 1-2 selected although its second end is a template; line 3-4
  // hidden with no template end.
  model().lines[1].state = kStateSelected;
  model().lines[3].state = kStateHidden;
  RefreshSelection(*document);
  PushUndo(*document, 1);
  run("ShowTemplateItem");
  EXPECT_EQ(model().lines[1].state, kStateSelected);
  EXPECT_EQ(model().lines[3].state, kStateHidden);
  EXPECT_EQ(model().points[2].state, kStateNormal);
}

}  // namespace
}  // namespace vexal
