// Random command sessions: every document command of the menus, run in a
// random order on random models with random selections. No command may
// crash or leave a broken model; a command that records no undo step leaves
// the model as it was, and one that does records exactly one step that undo
// and redo replay exactly.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "commands/command_fixture.h"
#include "commands/command_table.h"
#include "model/maintenance.h"
#include "support/test_models.h"

namespace vexal {
namespace {

class RandomCommands : public testing::CommandFixture {};

// The menu items a headless session can run (the ones needing a window or a
// file dialog are refused without a host and are left out).
std::vector<std::string> DocumentCommands() {
  std::vector<std::string> names;
  for (const CommandMenu& menu : MainMenu()) {
    for (const CommandItem& item : menu.items) {
      if (item.separator()) continue;
      const CommandDefinition* definition = FindCommandDefinition(item.name);
      if (definition != nullptr && definition->kind == CommandKind::kDocument) {
        names.emplace_back(item.name);
      }
    }
  }
  return names;
}

TEST_F(RandomCommands, NoCommandSequenceBreaksTheModelOrItsHistory) {
  const std::vector<std::string> names = DocumentCommands();
  ASSERT_GT(names.size(), 50u);
  for (int seed = 1; seed <= 100; ++seed) {
    std::mt19937 random(seed);
    const auto pick = [&](size_t n) { return static_cast<size_t>(random() % n); };
    InitializeDocument(*document);
    SetScreenSize(document->scene, 400, 300);
    document->scene.angle = VECTOR(static_cast<float>(pick(90)), static_cast<float>(pick(360)), 0);
    if (seed % 3 == 0) {
      SetDefaultObject(model());
    } else {
      testing::RandomModelOptions options;
      options.points = 10 + static_cast<int>(pick(30));
      options.lines = 8 + static_cast<int>(pick(30));
      options.faces = 4 + static_cast<int>(pick(20));
      testing::RandomModel(model(), random, options);
      ASSERT_EQ(CompactModel(model(), kCompactRebuildLines), 1);
    }
    // The random states can hold a selected surface whose corners are all
    // hidden; the first refresh hides it, so the classes settle on the second.
    RefreshSelection(*document);
    begin();
    {
      std::string reason;
      ASSERT_TRUE(ValidateModel(model(), &reason)) << "seed " << seed << " start: " << reason;
    }
    for (int step = 0; step < 30; ++step) {
      // A fresh random selection now and then, as a region drag makes it
      // (with its undo step).
      if (pick(3) == 0) {
        DeselectAll(model());
        for (int p = 1; p <= model().pointCount; ++p) {
          if (model().points[p].state != kStateHidden) {
            model().points[p].state = pick(2) == 0 ? kStateSelected : kStateNormal;
          }
        }
        RefreshSelection(*document);
        PushUndo(*document, 1);
      }
      const std::string& name = names[pick(names.size())];
      const std::string where = "seed " + std::to_string(seed) + " step " +
                                std::to_string(step) + " " + name;
      testing::CopyLive(model(), *modelBefore);
      const int slot = document->undo.current;
      const CommandResult result = RunCommand(name, target);
      std::string reason;
      ASSERT_TRUE(ValidateModel(model(), &reason)) << where << ": " << reason;
      if (name == "UndoItem" || name == "RedoItem") continue;
      // A step is recorded when the ring moves on; the depth stops growing
      // once the ring is full, so it cannot tell.
      if (document->undo.current == slot) {
        ASSERT_TRUE(testing::SameRecords(model(), *modelBefore))
            << where << ": the model changed without an undo step";
        continue;
      }
      ASSERT_TRUE(result.ok()) << where << ": refused (" << result.refusal.reason
                               << ") after recording a step";
      ASSERT_EQ(document->undo.current, (slot + 1) % document->undo.slotCount())
          << where << ": more than one step";
      // An edit: undo gives back the model before, redo the one after.
      testing::CopyLive(model(), *modelAfter);
      StepUndo(*document, -1);
      ASSERT_TRUE(testing::SameRecords(model(), *modelBefore)) << where << ": undo";
      StepUndo(*document, 1);
      ASSERT_TRUE(testing::SameRecords(model(), *modelAfter)) << where << ": redo";
    }
  }
}

}  // namespace
}  // namespace vexal
