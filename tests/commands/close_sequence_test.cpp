// The save prompt of a document window and the order Close All closes in.
#include "commands/close_sequence.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vexal {
namespace {

// Who is asked, what is saved and whether the window goes, for every
// answer and every outcome of the save.
TEST(CloseSequence, TheSavePromptDecidesWhetherTheWindowCloses) {
  struct Case {
    bool force, modified;
    SaveAnswer answer;
    bool saveClears;  // the save leaves the document unmodified
    bool asked, saved, closes;
  };
  const Case cases[] = {
      {false, false, SaveAnswer::kCancel, false, false, false, true},
      {true, true, SaveAnswer::kCancel, false, false, false, true},
      {false, true, SaveAnswer::kNo, false, true, false, true},
      {false, true, SaveAnswer::kCancel, true, true, false, false},
      {false, true, SaveAnswer::kYes, true, true, true, true},
      {false, true, SaveAnswer::kYes, false, true, true, false},  // cancelled Save dialog
  };
  int row = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(row++);
    bool modified = c.modified;
    std::vector<std::string> asked;
    bool saved = false;
    const bool closes = ConfirmDocumentClose(
        c.force, "Vxl1.vxl", [&] { return modified; },
        [&](const std::string& text) {
          asked.push_back(text);
          return c.answer;
        },
        [&] {
          saved = true;
          if (c.saveClears) modified = false;
        });
    EXPECT_EQ(closes, c.closes);
    EXPECT_EQ(saved, c.saved);
    ASSERT_EQ(asked.size(), c.asked ? 1u : 0u);
    if (c.asked) {
      EXPECT_EQ(asked[0], "Vxl1.vxl         Save before to quit ?    ");
    }
  }
  EXPECT_EQ(kSavePromptCaption, "VEXAL");
}

// Windows scripted by what their close does: 'c' closes, 'k' stays open,
// 'x' is cancelled, '2' closes and takes the next window with it. A window
// that stayed is passed over until a close changes the count.
TEST(CloseSequence, CloseAllRestartsAfterEachCloseAndStopsAtACancel) {
  const struct {
    const char* windows;
    const char* asked;  // ids of the windows asked to close, in order
    bool completes;
  } cases[] = {
      {"", "", true},          {"ccc", "012", true}, {"kcc", "01020", true},
      {"ckck", "01213", true}, {"cxc", "01", false},  // a cancel ends the loop
      {"2cc", "02", true},                            // a close that took two
      {"kk", "01", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.windows);
    struct Window {
      char behaviour;
      char id;
    };
    std::vector<Window> open;
    for (size_t i = 0; i < std::string(c.windows).size(); ++i) {
      open.push_back({c.windows[i], static_cast<char>('0' + i)});
    }
    std::string asked;
    const bool completes =
        CloseInTurn([&] { return open.size(); },
                    [&](size_t index) {
                      const Window window = open[index];
                      asked += window.id;
                      switch (window.behaviour) {
                        case 'x':
                          return false;
                        case 'k':
                          break;
                        case '2':
                          open.erase(open.begin() + static_cast<long>(index),
                                     open.begin() + static_cast<long>(index) + 2);
                          break;
                        default:
                          open.erase(open.begin() + static_cast<long>(index));
                      }
                      return true;
                    });
    EXPECT_EQ(completes, c.completes);
    EXPECT_EQ(asked, c.asked);
  }
}

}  // namespace
}  // namespace vexal
