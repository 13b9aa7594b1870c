#include "formats/recovery.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "formats/native_format.h"
#include "settings/settings.h"
#include "support/model_compare.h"
#include "support/test_models.h"

namespace vexal {
namespace {

namespace fs = std::filesystem;

// The owner of a process that has ended: a child that exits at once.
RecoveryOwner EndedOwner() {
  const pid_t child = ::fork();
  if (child == 0) _exit(0);
  RecoveryOwner owner;
  owner.pid = child;
  owner.start = 1;
  int status = 0;
  ::waitpid(child, &status, 0);
  return owner;
}

class RecoveryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::path(::testing::TempDir()) / "recovery" /
              ::testing::UnitTest::GetInstance()->current_test_info()->name();
    fs::remove_all(folder_);
  }
  RecoveryFolder folder() const { return RecoveryFolder(folder_.string()); }

  // A document holding the unit quad with point 1 moved to x = `x`.
  static std::unique_ptr<Document> Quad(float x) {
    auto document = std::make_unique<Document>();
    testing::UnitQuad(document->model);
    document->model.points[1].position.x = x;
    return document;
  }

  void write(const RecoveryOwner& owner, int32_t number, float x, const std::string& path,
             const std::string& name = "Untitled1") {
    const auto snapshot = RecoveryRecords(*Quad(x)).document();
    std::string reason;
    ASSERT_TRUE(folder().writeCopy(*snapshot, owner, number, path, name, 1700000000, &reason))
        << reason;
  }

  std::vector<RecoveryEntry> listed() const {
    std::vector<RecoveryEntry> entries;
    std::string reason;
    EXPECT_TRUE(folder().entries(entries, &reason)) << reason;
    return entries;
  }

  fs::path folder_;
};

TEST(RecoveryIndex, RoundTripsEveryTextAndSkipsWhatDoesNotParse) {
  std::vector<RecoveryEntry> entries(3);
  const char* paths[] = {"/home/a b/ship.vxl", "", "/odd\tname\\with\nbreaks\r.vxl"};
  for (int i = 0; i < 3; ++i) {
    entries[i].owner = {100 + i, 5000 + i};
    entries[i].document = i + 1;
    entries[i].written = 1700000000 + i;
    entries[i].path = paths[i];
    entries[i].name = "Untitled" + std::to_string(i);
  }
  const std::string text = FormatRecoveryIndex(entries);
  const std::vector<RecoveryEntry> parsed = ParseRecoveryIndex(text, "/f");
  ASSERT_EQ(parsed.size(), 3u);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(parsed[i].path, entries[i].path);
    EXPECT_EQ(parsed[i].name, entries[i].name);
    EXPECT_EQ(parsed[i].owner, entries[i].owner);
    EXPECT_EQ(parsed[i].document, entries[i].document);
    EXPECT_EQ(parsed[i].written, entries[i].written);
    EXPECT_EQ(parsed[i].copy, "/f/" + RecoveryCopyName(entries[i].owner, entries[i].document));
  }
  EXPECT_EQ(parsed[1].original(), "Untitled1");

  // Each of these lines is dropped; the good line after it survives.
  const std::string good = "7-8-9.vxl\t7\t8\t9\t10\t/p.vxl\tp.vxl\n";
  const std::string header = "vexal recovery index 1\n";
  for (const std::string bad :
       {"7-8-9.vxl\t7\t8\t9\t10\t/p.vxl\n",                  // a field short
        "7-8-9.vxl\t7\t8\t9\t10\t/p.vxl\tp\textra\n",        // a field over
        "7-8-9.vxl\t7x\t8\t9\t10\t/p.vxl\tp\n",              // not a number
        "../../etc/passwd\t7\t8\t9\t10\t/p.vxl\tp\n",        // outside the folder
        "7-8-10.vxl\t7\t8\t9\t10\t/p.vxl\tp\n",              // name disagrees with owner
        "7-8-9.vxl\t7\t8\t9\t10\t/p\\q.vxl\tp\n",            // unknown escape
        "7-8-9.vxl\t7\t8\t9\t10\t/p.vxl\tp\\\n",             // escape cut short
        "0-8-9.vxl\t0\t8\t9\t10\t/p.vxl\tp\n",               // no process
        "7--8-9.vxl\t7\t-8\t9\t10\t/p.vxl\tp\n",             // negative start
        "\n"}) {
    const auto kept = ParseRecoveryIndex(header + bad + good, "/f");
    ASSERT_EQ(kept.size(), 1u) << bad;
    EXPECT_EQ(kept[0].path, "/p.vxl") << bad;
  }
  EXPECT_TRUE(ParseRecoveryIndex("vexal recovery index 2\n" + good, "/f").empty());
  EXPECT_TRUE(ParseRecoveryIndex(good, "/f").empty());
  // A last line without its LF still counts.
  EXPECT_EQ(ParseRecoveryIndex(header + good.substr(0, good.size() - 1), "/f").size(), 1u);
}

TEST(RecoveryIndex, IsoTimeIsUtc) {
  EXPECT_EQ(IsoTime(0), "1970-01-01T00:00:00Z");
  EXPECT_EQ(IsoTime(1700000000), "2023-11-14T22:13:20Z");
}

TEST(RecoveryOwnerTest, ThisProcessRunsAnEndedOneAndAnImpostorDoNot) {
  const RecoveryOwner self = CurrentRecoveryOwner();
  EXPECT_EQ(self.pid, ::getpid());
  EXPECT_GT(self.start, 0);  // /proc is there on the test machines
  EXPECT_TRUE(RecoveryOwnerRuns(self));
  EXPECT_FALSE(RecoveryOwnerRuns(EndedOwner()));
  // The same pid started at another time is another process.
  EXPECT_FALSE(RecoveryOwnerRuns({self.pid, self.start + 1}));
  EXPECT_FALSE(RecoveryOwnerRuns({0, 0}));
  EXPECT_FALSE(RecoveryOwnerRuns({-1, 0}));
}

TEST(RecoveryFolderPath, FollowsXdgStateHomeThenHome) {
  const std::string savedState = std::getenv("XDG_STATE_HOME") ? std::getenv("XDG_STATE_HOME") : "";
  const std::string savedHome = std::getenv("HOME") ? std::getenv("HOME") : "";
  ::setenv("XDG_STATE_HOME", "/state", 1);
  ::setenv("HOME", "/home/u", 1);
  EXPECT_EQ(DefaultRecoveryFolder(), "/state/vexal/recovery");
  ::setenv("XDG_STATE_HOME", "relative", 1);  // only an absolute one counts
  EXPECT_EQ(DefaultRecoveryFolder(), "/home/u/.local/state/vexal/recovery");
  ::unsetenv("XDG_STATE_HOME");
  EXPECT_EQ(DefaultRecoveryFolder(), "/home/u/.local/state/vexal/recovery");
  ::unsetenv("HOME");
  EXPECT_EQ(DefaultRecoveryFolder(), "");
  if (!savedState.empty()) ::setenv("XDG_STATE_HOME", savedState.c_str(), 1);
  if (!savedHome.empty()) ::setenv("HOME", savedHome.c_str(), 1);
}

// A copy is an ordinary native document of the model as it was; a second
// write replaces the first; removal takes the file and its line.
TEST_F(RecoveryTest, WritesReplacesAndRemovesOneCopyPerDocument) {
  const RecoveryOwner self = CurrentRecoveryOwner();
  write(self, 1, 5.0f, "/work/ship.vxl");
  write(self, 2, 6.0f, "");
  write(self, 1, 7.0f, "/work/ship2.vxl");
  std::vector<RecoveryEntry> entries = listed();
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0].path, "/work/ship2.vxl");
  EXPECT_EQ(entries[1].original(), "Untitled1");
  EXPECT_EQ(fs::status(folder_).permissions() & fs::perms::all, fs::perms::owner_all);

  auto loaded = std::make_unique<Document>();
  FormatContext context;
  ASSERT_EQ(LoadNativeFile(*loaded, entries[0].copy, context), 1) << context.reason;
  testing::ExpectSameModel(loaded->model, Quad(7.0f)->model, "copy of document 1");

  std::string reason;
  ASSERT_TRUE(folder().removeCopy(self, 1, &reason)) << reason;
  EXPECT_FALSE(fs::exists(entries[0].copy));
  entries = listed();
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].document, 2);
  ASSERT_TRUE(folder().removeCopy(self, 2, &reason)) << reason;
  EXPECT_TRUE(listed().empty());
  EXPECT_FALSE(fs::exists(folder_ / "index"));
  // Removing what is not there is no failure.
  EXPECT_TRUE(folder().removeCopy(self, 3, &reason)) << reason;
}

// Only copies of ended processes are offered, and only they can be
// discarded or taken over; a listed copy whose file is gone is not listed.
TEST_F(RecoveryTest, OffersDiscardsAndAdoptsOnlyCopiesOfEndedProcesses) {
  const RecoveryOwner self = CurrentRecoveryOwner();
  const RecoveryOwner ended = EndedOwner();
  const RecoveryOwner gone = EndedOwner();
  write(self, 1, 1.0f, "/mine.vxl");
  write(ended, 1, 2.0f, "/left1.vxl");
  write(ended, 2, 3.0f, "/left2.vxl");
  write(gone, 4, 4.0f, "/gone.vxl");
  fs::remove(folder_ / RecoveryCopyName(gone, 4));

  std::vector<RecoveryEntry> offered = folder().recoverable();
  ASSERT_EQ(offered.size(), 2u);
  EXPECT_EQ(offered[0].path, "/left1.vxl");
  EXPECT_EQ(offered[1].path, "/left2.vxl");

  std::string reason;
  EXPECT_FALSE(folder().discard(folder_ / RecoveryCopyName(self, 1), &reason));
  EXPECT_NE(reason.find("still running"), std::string::npos) << reason;
  EXPECT_FALSE(folder().discard("/etc/passwd", &reason));
  EXPECT_NE(reason.find("not a recovery copy"), std::string::npos) << reason;
  EXPECT_TRUE(fs::exists("/etc/passwd"));

  // By file name alone as well as by path.
  ASSERT_TRUE(folder().discard(RecoveryCopyName(ended, 2), &reason)) << reason;
  EXPECT_FALSE(fs::exists(offered[1].copy));
  ASSERT_TRUE(folder().adopt(offered[0].copy, self, 9, &reason)) << reason;
  EXPECT_FALSE(fs::exists(offered[0].copy));
  EXPECT_TRUE(folder().recoverable().empty());
  const std::vector<RecoveryEntry> entries = listed();
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[1].owner, self);
  EXPECT_EQ(entries[1].document, 9);
  EXPECT_EQ(entries[1].path, "/left1.vxl");
  auto loaded = std::make_unique<Document>();
  FormatContext context;
  ASSERT_EQ(LoadNativeFile(*loaded, entries[1].copy, context), 1) << context.reason;
  EXPECT_EQ(loaded->model.points[1].position.x, 2.0f);
  EXPECT_FALSE(folder().adopt(RecoveryCopyName(self, 1), self, 10, &reason));
}

// Several processes writing at once lose none of each other's lines.
TEST_F(RecoveryTest, ConcurrentWritersKeepEveryLine) {
  constexpr int kWriters = 4;
  constexpr int kDocuments = 5;
  std::vector<pid_t> children;
  for (int w = 0; w < kWriters; ++w) {
    const pid_t child = ::fork();
    if (child == 0) {
      const RecoveryOwner owner = CurrentRecoveryOwner();
      bool ok = true;
      for (int d = 1; d <= kDocuments; ++d) {
        auto document = Quad(static_cast<float>(d));
        ok = folder().writeCopy(*document, owner, d, "/p" + std::to_string(d), "n", 1, nullptr) &&
             ok;
      }
      _exit(ok ? 0 : 1);
    }
    children.push_back(child);
  }
  for (pid_t child : children) {
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  EXPECT_EQ(listed().size(), static_cast<size_t>(kWriters * kDocuments));
  EXPECT_EQ(folder().recoverable().size(), static_cast<size_t>(kWriters * kDocuments));
}

// A hostile index: a symbolic link, an oversized file, garbage.
TEST_F(RecoveryTest, AnIndexThatIsNotAFileOrTooLargeIsRefused) {
  fs::create_directories(folder_);
  fs::create_symlink("/etc/passwd", folder_ / "index");
  std::vector<RecoveryEntry> entries;
  std::string reason;
  EXPECT_FALSE(folder().entries(entries, &reason));
  EXPECT_NE(reason.find("not a regular file"), std::string::npos) << reason;
  fs::remove(folder_ / "index");
  std::ofstream(folder_ / "index") << std::string((size_t{1} << 20) + 1, 'x');
  EXPECT_FALSE(folder().entries(entries, &reason));
  EXPECT_NE(reason.find("too large"), std::string::npos) << reason;
  // A writer replaces what it cannot read.
  write(CurrentRecoveryOwner(), 1, 1.0f, "/a.vxl");
  EXPECT_EQ(listed().size(), 1u);
}

// The keeper writes a copy for each modified document that changed since
// its copy, drops the copy of a saved or closed one, and retries a write
// that failed.
TEST_F(RecoveryTest, KeeperWritesWhatChangedAndDropsWhatWasSaved) {
  const RecoveryOwner self = CurrentRecoveryOwner();
  const RecoveryOwner other = EndedOwner();
  write(other, 1, 9.0f, "/other.vxl");
  RecoveryKeeper keeper(folder_.string(), self);
  auto a = Quad(1.0f);
  auto b = Quad(2.0f);
  a->scene.modified = 1;
  const std::vector<RecoveryDocument> documents = {{1, a.get(), "/a.vxl", "a.vxl"},
                                                   {2, b.get(), "", "Vxl1.vxl"}};
  EXPECT_EQ(keeper.update(documents, false), 1);
  keeper.wait();
  EXPECT_EQ(listed().size(), 2u);
  EXPECT_EQ(keeper.update(documents, true), 0);  // nothing changed since

  a->model.points[1].position.x = 3.0f;
  PushUndo(*a, 1);
  PushUndo(*b, 1);  // b is modified now too
  EXPECT_EQ(keeper.update(documents, true), 2);
  auto loaded = std::make_unique<Document>();
  FormatContext context;
  ASSERT_EQ(LoadNativeFile(*loaded, folder_ / RecoveryCopyName(self, 1), context), 1);
  EXPECT_EQ(loaded->model.points[1].position.x, 3.0f);

  a->scene.modified = 0;  // saved
  EXPECT_EQ(keeper.update(documents, true), 0);
  EXPECT_FALSE(fs::exists(folder_ / RecoveryCopyName(self, 1)));
  keeper.forget(2);  // closed
  ASSERT_EQ(listed().size(), 1u);
  EXPECT_EQ(listed()[0].owner, other);

  // A copy that cannot be written (its name is taken by a folder) is
  // reported and tried again.
  const std::vector<RecoveryDocument> onlyA(documents.begin(), documents.begin() + 1);
  fs::create_directories(folder_ / RecoveryCopyName(self, 1) / "x");
  a->scene.modified = 1;
  EXPECT_EQ(keeper.update(onlyA, true), 1);
  EXPECT_FALSE(keeper.lastError().empty());
  EXPECT_EQ(keeper.update(onlyA, true), 1);
  fs::remove_all(folder_ / RecoveryCopyName(self, 1));
  EXPECT_EQ(keeper.update(onlyA, true), 1);
  EXPECT_TRUE(fs::exists(folder_ / RecoveryCopyName(self, 1)));

  // A clean quit takes every copy of the process and only those.
  b->scene.modified = 1;
  PushUndo(*b, 1);
  EXPECT_EQ(keeper.update(documents, true), 1);
  keeper.forgetAll();
  ASSERT_EQ(listed().size(), 1u);
  EXPECT_EQ(listed()[0].owner, other);

  // An adopted copy is not written again until its document changes.
  ASSERT_TRUE(keeper.adopt(listed()[0].copy, 7, a->revision, nullptr));
  const std::vector<RecoveryDocument> adopted = {{7, a.get(), "/other.vxl", "other.vxl"}};
  EXPECT_EQ(keeper.update(adopted, true), 0);
  EXPECT_TRUE(folder().recoverable().empty());
}

// A recovered copy opens as the document it copies: its path (or, never
// saved, its caption), modified, native, and out of the file history.
TEST_F(RecoveryTest, ARecoveredCopyOpensAsTheOriginalDocumentModified) {
  struct Platform : HeadlessDocumentPlatform {
    void setCaption(std::string_view text) override { caption = text; }
    void addToHistory(const std::string& path) override { history.push_back(path); }
    std::string caption;
    std::vector<std::string> history;
  };
  const RecoveryOwner ended = EndedOwner();
  write(ended, 1, 4.0f, "/work/ship.vxl", "/work/ship.vxl");
  write(ended, 2, 5.0f, "", "Vxl3.vxl");
  const std::vector<RecoveryEntry> offered = folder().recoverable();
  ASSERT_EQ(offered.size(), 2u);
  const Settings settings;
  struct Expected {
    std::string caption;
    std::string path;
    float x;
  };
  const Expected expected[] = {{"/work/ship.vxl", "/work/ship.vxl", 4.0f}, {"Vxl3.vxl", "", 5.0f}};
  for (size_t i = 0; i < 2; ++i) {
    Platform platform;
    const DocumentIo io{settings, platform};
    auto document = std::make_unique<Document>();
    DocumentFile file;
    ASSERT_EQ(OpenRecoveryCopy(*document, file, offered[i], io), 1) << file.lastError.reason;
    EXPECT_EQ(document->model.points[1].position.x, expected[i].x);
    EXPECT_EQ(document->scene.modified, 1);
    EXPECT_EQ(document->scene.fileName, expected[i].path);
    EXPECT_EQ(file.saveFileName, expected[i].path);
    EXPECT_EQ(file.caption, expected[i].caption);
    EXPECT_EQ(platform.caption, expected[i].caption);
    EXPECT_TRUE(platform.history.empty());
    EXPECT_EQ(document->undo.undoDepth, 0);
  }
  // A copy that is gone fails as an open does.
  fs::remove(offered[0].copy);
  Platform platform;
  const DocumentIo io{settings, platform};
  auto document = std::make_unique<Document>();
  DocumentFile file;
  EXPECT_EQ(OpenRecoveryCopy(*document, file, offered[0], io), 0);
  EXPECT_FALSE(file.lastError.reason.empty());
}

// The copy holds the document's records, pictures and view as they were
// when it was made, not its history.
TEST(RecoveryRecordsTest, CopyTheLiveRecordsAndTheView) {
  auto document = std::make_unique<Document>();
  InitializeDocument(*document, 100);
  testing::ClosedCube(document->model);
  document->scene.zoom = 3.5f;
  ASSERT_TRUE(SetText(document->model.pictures[1].path, "front.png"));
  ResetUndo(*document);
  const auto before = std::make_unique<Model>(document->model);
  const RecoveryRecords records(*document);
  // Later edits of the document do not reach the copy.
  document->model.points[1].position.x += 1.0f;
  document->model.pointCount = 1;
  document->scene.zoom = 1.0f;
  const auto snapshot = records.document();
  testing::ExpectSameModel(snapshot->model, *before, "snapshot");
  EXPECT_EQ(TextOf(snapshot->model.pictures[1].path), "front.png");
  EXPECT_EQ(snapshot->scene.zoom, 3.5f);
  EXPECT_EQ(snapshot->undo.slotCount(), kMinUndoSlots);
  EXPECT_EQ(snapshot->undo.memoryBytes(), kMinUndoSlots * sizeof(ModelSnapshot));
}

}  // namespace
}  // namespace vexal
