#include "model/table_room.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "support/message_language.h"

namespace vexal {
namespace {

class StatusObserver : public DocumentObserver {
 public:
  void statusTextChanged(std::string_view text) override {
    status = text;
    ++calls;
  }
  std::string status;
  int calls = 0;
};

// Each table on its own, at the limit and one past it; the check and the
// tool's form of it agree, and only a refusal reaches the status bar.
TEST(TableRoom, EachTableRefusesOnePastTheLimitWithTheOneMessage) {
  const struct {
    int32_t points, lines, faces;  // already in the model
    int64_t morePoints, moreLines, moreFaces;
    bool fits;
  } cases[] = {
      {0, 0, 0, 0, 0, 0, true},
      {kMaxCount - 1, 0, 0, 1, 0, 0, true},
      {kMaxCount - 1, 0, 0, 2, 0, 0, false},
      {0, kMaxCount, 0, 0, 0, 0, true},
      {0, kMaxCount, 0, 0, 1, 0, false},
      {0, 0, kMaxCount - 3, 0, 0, 3, true},
      {0, 0, kMaxCount - 3, 0, 0, 4, false},
      {kMaxCount, kMaxCount, kMaxCount, 0, 0, 0, true},
      // Counts from a plan can be large; they must not wrap.
      {0, 0, 0, int64_t{1} << 40, 0, 0, false},
  };
  for (const auto& c : cases) {
    auto document = std::make_unique<Document>();
    StatusObserver observer;
    document->observer = &observer;
    document->model.pointCount = c.points;
    document->model.lineCount = c.lines;
    document->model.faceCount = c.faces;
    const std::string where = std::to_string(c.points) + "/" + std::to_string(c.lines) + "/" +
                              std::to_string(c.faces) + " + " + std::to_string(c.morePoints) + "/" +
                              std::to_string(c.moreLines) + "/" + std::to_string(c.moreFaces);
    EXPECT_EQ(HasRoomFor(document->model, c.morePoints, c.moreLines, c.moreFaces), c.fits) << where;
    const MaybeRefusal refusal = CheckRoom(document->model, c.morePoints, c.moreLines, c.moreFaces);
    EXPECT_EQ(refusal, c.fits ? MaybeRefusal() : MaybeRefusal(TableFull())) << where;
    EXPECT_EQ(HasRoom(*document, c.morePoints, c.moreLines, c.moreFaces), c.fits) << where;
    EXPECT_EQ(observer.calls, c.fits ? 0 : 1) << where;
    EXPECT_EQ(observer.status, c.fits ? "" : kTableFullText) << where;
  }
}

// The refusal is made when it is raised, in the language of that moment.
TEST(TableRoom, TheRefusalFollowsTheMessageLanguage) {
  {
    const ScopedMessageLanguage english(MessageLanguage::kEnglish);
    EXPECT_EQ(TableFull().reason, kTableFullText);
  }
  const ScopedMessageLanguage japanese(MessageLanguage::kJapanese);
  ASSERT_FALSE(CatalogFolder().empty());
  EXPECT_EQ(TableFull().reason, "点・辺・面の数が上限の19999を超えるため実行できません");
}

}  // namespace
}  // namespace vexal
