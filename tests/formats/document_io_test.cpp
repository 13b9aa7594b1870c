#include "formats/document_io.h"

#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <set>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "formats/format_registry.h"
#include "formats/native_format.h"
#include "model/document.h"
#include "model/maintenance.h"
#include "settings/settings.h"
#include "support/test_models.h"
#include "support/message_language.h"
#include "support/message_language.h"

namespace vexal {
namespace {

// Records what the dispatchers ask of the window; the Save dialog answers
// from a queue (an empty answer is Cancel).
class FakePlatform : public DocumentPlatform {
 public:
  struct DialogAnswer {
    std::string fileName;
    int typeIndex;
  };

  bool runSaveDialog(std::string& fileName, int& typeIndex) override {
    dialogOpenedWith.push_back(fileName);
    dialogTypeShown.push_back(typeIndex);
    if (answers.empty() || !answers.front()) {
      if (!answers.empty()) answers.pop_front();
      return false;
    }
    fileName = answers.front()->fileName;
    typeIndex = answers.front()->typeIndex;
    answers.pop_front();
    return true;
  }
  void showWarning(std::string_view text, std::string_view caption) override {
    warnings.emplace_back(text);
    captions.emplace_back(caption);
  }
  void setBusyCursor(bool busy) override { busyChanges.push_back(busy); }
  void setStatusText(std::string_view text) override { status = text; }
  void setCaption(std::string_view text) override { windowCaption = text; }
  void addToHistory(const std::string& path) override { history.push_back(path); }
  uint32_t tickCount() override {
    const uint32_t now = ticks.empty() ? 0 : ticks.front();
    if (!ticks.empty()) ticks.pop_front();
    return now;
  }
  void closeDocumentWindow() override { ++closed; }
  void documentOpened() override { ++opened; }

  std::deque<std::optional<DialogAnswer>> answers;
  std::deque<uint32_t> ticks;
  std::vector<std::string> dialogOpenedWith;
  std::vector<int> dialogTypeShown;
  std::vector<std::string> warnings, captions, history;
  std::vector<bool> busyChanges;
  std::string status, windowCaption;
  int closed = 0;
  int opened = 0;
};

std::vector<std::string> g_calls;
std::vector<VECTOR> g_cornerNormalsSeen;

// Fills the model with a unit quad.
int LoadQuad(std::span<const uint8_t>, const std::string&, ReadTarget& target, FormatContext&) {
  g_calls.push_back("quad");
  testing::UnitQuad(target.model);
  return 1;
}
// Half-builds a model, then gives up, as a careless reader might.
int LoadHalfThenFail(std::span<const uint8_t>, const std::string&, ReadTarget& target, FormatContext& context) {
  g_calls.push_back("half");
  ClearModel(target.model);
  SetPoint(target.model, 1, 5, 5, 5, 0, 0);
  target.model.pointCount = 1;
  target.scene.zoom = 99;
  return context.fail("half reader gave up");
}
int LoadFail(std::span<const uint8_t>, const std::string&, ReadTarget&, FormatContext& context) {
  g_calls.push_back("fail");
  return context.fail("fail reader refused");
}
int LoadThrow(std::span<const uint8_t>, const std::string&, ReadTarget&, FormatContext&) {
  g_calls.push_back("throw");
  throw std::runtime_error("boom");
}
// Claims success with a line that points past the points.
int LoadBroken(std::span<const uint8_t>, const std::string&, ReadTarget& target, FormatContext&) {
  g_calls.push_back("broken");
  ClearModel(target.model);
  SetLine(target.model, 1, 1, 7, 0);
  target.model.lineCount = 1;
  return 1;
}
int SaveRecord(Document& document, const std::string& path, FormatContext&) {
  g_calls.push_back("save " + path);
  g_cornerNormalsSeen.clear();
  for (int s = 1; s <= document.model.faceCount; ++s) {
    for (const VECTOR& normal : document.model.faces[s].cornerNormals)
      g_cornerNormalsSeen.push_back(normal);
  }
  return 1;
}
int SaveShortened(Document&, const std::string& path, FormatContext& context) {
  g_calls.push_back("save " + path);
  context.warnings.push_back("a name was shortened");
  return 1;
}

int SaveFail(Document&, const std::string& path, FormatContext& context) {
  g_calls.push_back("save " + path);
  return context.fail("disk full");
}

class DocumentIoTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_calls.clear();
    folder_ = (std::filesystem::path(::testing::TempDir()) / "document_io" /
               ::testing::UnitTest::GetInstance()->current_test_info()->name())
                  .string();
    std::filesystem::remove_all(folder_);
    std::filesystem::create_directories(folder_);
    document_ = std::make_unique<Document>();
  }
  std::string path(const std::string& name) const { return folder_ + "/" + name; }
  // A file that exists, for readers that do not look at its bytes.
  std::string existing(const std::string& name) const {
    std::ofstream(path(name)) << "some bytes";
    return path(name);
  }
  DocumentIo io(std::span<const ReaderEntry> readers = ReaderTable(),
                std::span<const WriterEntry> writers = WriterTable()) {
    return DocumentIo{settings_, platform_, readers, writers};
  }
  // A native file holding a closed cube.
  std::string writeCube(const std::string& name) {
    auto cube = std::make_unique<Document>();
    testing::ClosedCube(cube->model);
    FormatContext context;
    EXPECT_EQ(SaveNativeFile(*cube, path(name), context), 1) << context.reason;
    return path(name);
  }

  std::string folder_;
  Settings settings_;
  FakePlatform platform_;
  std::unique_ptr<Document> document_;
  DocumentFile file_;
};

TEST_F(DocumentIoTest, OpeningANativeFileMakesItTheCleanBaseOfTheHistory) {
  const std::string cube = writeCube("cube.vxl");
  document_->scene.modified = 1;
  platform_.ticks = {1000, 2234};
  const ScopedMessageLanguage japanese(MessageLanguage::kJapanese);
  ASSERT_EQ(OpenDocumentFile(*document_, file_, cube, 0, io()), 1) << file_.lastError.reason;
  EXPECT_EQ(document_->model.faceCount, 6);
  EXPECT_EQ(file_.readerName, "VXL");
  EXPECT_EQ(document_->scene.fileName, cube);
  EXPECT_EQ(platform_.windowCaption, cube);
  EXPECT_EQ(file_.saveFileName, cube);
  EXPECT_EQ(file_.saveTypeIndex, kSaveNative);
  EXPECT_EQ(platform_.history, std::vector<std::string>{cube});
  EXPECT_EQ(document_->scene.modified, 0);
  EXPECT_EQ(document_->undo.undoDepth, 0);
  EXPECT_EQ(document_->undo.redoDepth, 0);
  EXPECT_EQ(platform_.status, "読み込み 1.234 秒");
  EXPECT_EQ(platform_.busyChanges, (std::vector<bool>{true, false}));
  EXPECT_EQ(platform_.opened, 1);
  EXPECT_TRUE(platform_.warnings.empty());
  // Normals are ready for drawing.
  EXPECT_NEAR(document_->model.faces[1].normal.length(), 1.0f, 1e-5f);
}

TEST_F(DocumentIoTest, ReadersAreTriedInOrderAndTheTypeNarrowsThem) {
  const ReaderEntry readers[] = {
      {2, "A", ".vxl", LoadFail},    {4, "B", ".obj", LoadHalfThenFail},
      {8, "LWOB", ".lwo", LoadFail}, {8, "LWO2", ".lwo", LoadQuad},
      {9, "C", ".3ds", LoadQuad},    {52, "none", "", ReadNothing},
  };
  struct Case {
    int type;
    std::vector<std::string> calls;
    const char* reader;
  };
  const Case cases[] = {
      {0, {"fail", "half", "fail", "quad"}, "LWO2"},
      {1, {"fail", "half", "fail", "quad"}, "LWO2"},
      {11, {"fail", "half", "fail", "quad"}, "LWO2"},
      {8, {"fail", "quad"}, "LWO2"},
      {9, {"quad"}, "C"},
      {4, {"half"}, nullptr},
      {5, {}, nullptr},
  };
  for (const Case& c : cases) {
    g_calls.clear();
    DocumentFile file;
    auto document = std::make_unique<Document>();
    const int result = OpenDocumentFile(*document, file, existing("model.lwo"), c.type, io(readers));
    EXPECT_EQ(g_calls, c.calls) << "type " << c.type;
    EXPECT_EQ(result, c.reader ? 1 : 0) << "type " << c.type;
    if (c.reader) {
      EXPECT_EQ(file.readerName, c.reader) << "type " << c.type;
    }
  }
  // A file that cannot be read reaches no reader.
  g_calls.clear();
  DocumentFile file;
  auto document = std::make_unique<Document>();
  EXPECT_EQ(OpenDocumentFile(*document, file, path("missing.lwo"), 0, io(readers)), 0);
  EXPECT_TRUE(g_calls.empty());
  EXPECT_EQ(file.lastError.reason.rfind("cannot open", 0), 0u) << file.lastError.reason;
}

TEST_F(DocumentIoTest, AFailedOpenRestoresTheModelWarnsAndClosesTheWindow) {
  const ReaderEntry readers[] = {{2, "VXL", ".vxl", ReadNativeBytes},
                                 {4, "OBJ", ".obj", LoadHalfThenFail},
                                 {5, "DXF", ".dxf", LoadThrow},
                                 {6, "MX", ".mx", nullptr},
                                 {52, "none", "", ReadNothing}};
  testing::ClosedCube(document_->model);
  document_->scene.zoom = 3;
  const std::string target = path("ship.obj");
  std::ofstream(target) << "v 0 0 0\n";
  {
    const ScopedMessageLanguage japanese(MessageLanguage::kJapanese);
    EXPECT_EQ(OpenDocumentFile(*document_, file_, target, 0, io(readers)), 0);
  }
  EXPECT_EQ(document_->model.pointCount, 8);
  EXPECT_EQ(document_->model.faceCount, 6);
  EXPECT_EQ(document_->scene.zoom, 3.0f);
  EXPECT_EQ(platform_.warnings,
            std::vector<std::string>{"ﾌｧｲﾙｵｰﾌﾟﾝ失敗:" + target + "\nhalf reader gave up"});
  EXPECT_EQ(platform_.captions, std::vector<std::string>{"Vexal"});
  EXPECT_EQ(platform_.closed, 1);
  EXPECT_TRUE(platform_.history.empty());
  // The reason reported is the one of the reader the extension names.
  EXPECT_EQ(file_.lastError.reason, "half reader gave up");
  EXPECT_EQ(platform_.busyChanges, (std::vector<bool>{true, false}));

  // A chosen type reports its own reader's reason, also for an empty slot
  // and a reader that throws.
  EXPECT_EQ(OpenDocumentFile(*document_, file_, target, 6, io(readers)), 0);
  EXPECT_EQ(file_.lastError.reason, "format not available");
  EXPECT_EQ(OpenDocumentFile(*document_, file_, target, 5, io(readers)), 0);
  EXPECT_EQ(file_.lastError.reason, "internal error: boom");
  // An extension no reader claims gives the plain verdict.
  EXPECT_EQ(OpenDocumentFile(*document_, file_, path("x.unknown"), 0, io(readers)), 0);
  EXPECT_NE(file_.lastError.reason.find("cannot open"), std::string::npos)
      << file_.lastError.reason;
  std::ofstream(path("x.unknown")) << "nothing";
  EXPECT_EQ(OpenDocumentFile(*document_, file_, path("x.unknown"), 0, io(readers)), 0);
  EXPECT_EQ(file_.lastError.reason, "not a recognised model");
  EXPECT_EQ(document_->model.pointCount, 8);
}

TEST_F(DocumentIoTest, TheFailedOpenBoxGivesTheReadersReasonOnItsSecondLine) {
  // The program's own readers: a native file cut inside its point table, an
  // empty native file and a folder each say why on the second line.
  std::string text;
  {
    std::ifstream in(writeCube("cube.vxl"), std::ios::binary);
    std::stringstream all;
    all << in.rdbuf();
    text = all.str();
  }
  std::ofstream(path("cut.vxl"), std::ios::binary) << text.substr(0, text.find("<POINT>") + 30);
  std::ofstream(path("empty.vxl"), std::ios::binary).flush();
  std::filesystem::create_directories(path("folder.vxl"));
  const ScopedMessageLanguage japanese(MessageLanguage::kJapanese);
  for (const std::string name : {"cut.vxl", "empty.vxl", "folder.vxl"}) {
    SCOPED_TRACE(name);
    platform_.warnings.clear();
    DocumentFile file;
    auto document = std::make_unique<Document>();
    ASSERT_EQ(OpenDocumentFile(*document, file, path(name), 0, io()), 0);
    ASSERT_FALSE(file.lastError.reason.empty());
    ASSERT_EQ(platform_.warnings.size(), 1u);
    EXPECT_EQ(platform_.warnings[0], "ﾌｧｲﾙｵｰﾌﾟﾝ失敗:" + path(name) + "\n" + file.lastError.reason);
  }
  EXPECT_EQ(OpenFailedMessage("a.vxl", ""), "ﾌｧｲﾙｵｰﾌﾟﾝ失敗:a.vxl");
  // A successful open shows no box.
  platform_.warnings.clear();
  ASSERT_EQ(OpenDocumentFile(*document_, file_, path("cube.vxl"), 0, io()), 1);
  EXPECT_TRUE(platform_.warnings.empty());
}

TEST_F(DocumentIoTest, AReaderThatBuildsAnInconsistentModelIsRefused) {
  const ReaderEntry readers[] = {{4, "OBJ", ".obj", LoadBroken}, {9, "3DS", ".3ds", LoadQuad}};
  ASSERT_EQ(OpenDocumentFile(*document_, file_, existing("a.obj"), 0, io(readers)), 1);
  EXPECT_EQ(file_.readerName, "3DS");
  EXPECT_EQ(document_->model.pointCount, 4);
  EXPECT_EQ(OpenDocumentFile(*document_, file_, path("a.obj"), 4, io(readers)), 0);
  EXPECT_NE(file_.lastError.reason.find("inconsistent"), std::string::npos)
      << file_.lastError.reason;
}

TEST_F(DocumentIoTest, ADamagedNativeHeaderFallsThroughToTheOtherReaders) {
  std::string text;
  {
    std::ifstream in(writeCube("cube.vxl"), std::ios::binary);
    std::stringstream all;
    all << in.rdbuf();
    text = all.str();
  }
  text.replace(text.find("<VEXAL"), 6, "<VEXEL");
  std::ofstream(path("damaged.vxl"), std::ios::binary) << text;
  const ReaderEntry readers[] = {{2, "VXL", ".vxl", ReadNativeBytes},
                                 {4, "OBJ", ".obj", LoadFail},
                                 {9, "3DS", ".3ds", LoadQuad}};
  ASSERT_EQ(OpenDocumentFile(*document_, file_, path("damaged.vxl"), 0, io(readers)), 1);
  EXPECT_EQ(file_.readerName, "3DS");
  // A foreign file does not enter the history unless every file should.
  EXPECT_TRUE(platform_.history.empty());
  EXPECT_EQ(OpenDocumentFile(*document_, file_, path("damaged.vxl"), 2, io(readers)), 0);
  EXPECT_NE(file_.lastError.reason.find("not a native document"), std::string::npos);
}

TEST_F(DocumentIoTest, AnImportIsRenamedToVxlAndRecordedOnlyWhenAsked) {
  const ReaderEntry readers[] = {{4, "OBJ", ".obj", LoadQuad}};
  settings_.RecordAllHistory = 1;
  ASSERT_EQ(OpenDocumentFile(*document_, file_, existing("ship.obj"), 0, io(readers)), 1);
  EXPECT_EQ(document_->scene.fileName, path("ship.vxl"));
  EXPECT_EQ(file_.saveFileName, path("ship.vxl"));
  EXPECT_EQ(platform_.history, std::vector<std::string>{path("ship.obj")});
}

TEST_F(DocumentIoTest, NativeSaveClearsModifiedAndExportKeepsIt) {
  const WriterEntry writers[] = {{1, "VXL", ".vxl", SaveRecord}, {9, "OBJ", ".obj", SaveRecord}};
  testing::UnitQuad(document_->model);
  document_->scene.modified = 1;
  file_.caption = "Vxl1.vxl";

  // Never saved: the dialog comes up on the caption without its extension.
  platform_.answers.push_back(FakePlatform::DialogAnswer{path("part.obj"), 9});
  ASSERT_EQ(SaveDocumentFile(*document_, file_, io({}, writers)), 1) << file_.lastError.reason;
  EXPECT_EQ(platform_.dialogOpenedWith, std::vector<std::string>{"Vxl1"});
  EXPECT_EQ(g_calls, std::vector<std::string>{"save " + path("part.obj")});
  // An export: the document becomes part.vxl, the next Save is native, the
  // changes are still unsaved, and only native files enter the history.
  EXPECT_EQ(document_->scene.fileName, path("part.vxl"));
  EXPECT_EQ(file_.caption, path("part.vxl"));
  EXPECT_EQ(file_.saveFileName, path("part.vxl"));
  EXPECT_EQ(file_.saveTypeIndex, kSaveNative);
  EXPECT_EQ(document_->scene.modified, 1);
  EXPECT_TRUE(platform_.history.empty());

  g_calls.clear();
  ASSERT_EQ(SaveDocumentFile(*document_, file_, io({}, writers)), 1);
  EXPECT_EQ(g_calls, std::vector<std::string>{"save " + path("part.vxl")});
  EXPECT_EQ(platform_.dialogOpenedWith.size(), 1u) << "a named document saves without asking";
  EXPECT_EQ(document_->scene.modified, 0);
  EXPECT_EQ(platform_.history, std::vector<std::string>{path("part.vxl")});
  EXPECT_EQ(platform_.windowCaption, path("part.vxl"));
}

TEST_F(DocumentIoTest, CancelledAndFailedSavesChangeNothing) {
  const WriterEntry writers[] = {{1, "VXL", ".vxl", SaveFail}};
  testing::UnitQuad(document_->model);
  document_->scene.modified = 1;
  document_->scene.fileName = "";
  file_.caption = "Vxl2.vxl";

  platform_.answers.push_back(std::nullopt);
  EXPECT_EQ(SaveDocumentFile(*document_, file_, io({}, writers)), 0);
  EXPECT_TRUE(g_calls.empty());
  EXPECT_EQ(file_.saveFileName, "");  // asks again next time
  EXPECT_TRUE(platform_.warnings.empty());

  document_->scene.fileName = path("kept.vxl");
  file_.saveFileName = path("other.vxl");
  {
    const ScopedMessageLanguage japanese(MessageLanguage::kJapanese);
    EXPECT_EQ(SaveDocumentFile(*document_, file_, io({}, writers)), 0);
  }
  EXPECT_EQ(platform_.warnings, std::vector<std::string>{"書き込みｴﾗｰ:" + path("other.vxl")});
  EXPECT_EQ(platform_.captions, std::vector<std::string>{"Vexal"});
  EXPECT_EQ(file_.lastError.reason, "disk full");
  EXPECT_EQ(file_.saveFileName, path("kept.vxl"));
  EXPECT_EQ(document_->scene.modified, 1);
  EXPECT_TRUE(platform_.history.empty());

  // A type no writer serves fails the same way.
  file_.saveTypeIndex = 13;
  EXPECT_EQ(SaveDocumentFile(*document_, file_, io({}, writers)), 0);
  EXPECT_NE(file_.lastError.reason.find("no writer"), std::string::npos);
}

TEST_F(DocumentIoTest, AWritersWarningsStayWithTheFileUntilTheNextSave) {
  const WriterEntry writers[] = {{1, "VXL", ".vxl", SaveRecord}, {9, "OBJ", ".obj", SaveShortened}};
  testing::UnitQuad(document_->model);
  file_.saveFileName = path("w.obj");
  file_.saveTypeIndex = 9;
  ASSERT_EQ(SaveDocumentFile(*document_, file_, io({}, writers)), 1);
  EXPECT_EQ(file_.warnings, std::vector<std::string>{"a name was shortened"});
  // The export made the document native: its next save warns of nothing.
  ASSERT_EQ(SaveDocumentFile(*document_, file_, io({}, writers)), 1);
  EXPECT_TRUE(file_.warnings.empty());
}

TEST_F(DocumentIoTest, SaveAsAsksFromTheNameWithoutItsExtension) {
  const WriterEntry writers[] = {{1, "VXL", ".vxl", SaveRecord}, {9, "OBJ", ".obj", SaveRecord}};
  testing::UnitQuad(document_->model);
  document_->scene.fileName = path("a.vxl");
  file_.saveFileName = path("a.vxl");
  file_.caption = path("a.vxl");

  platform_.answers.push_back(std::nullopt);
  EXPECT_EQ(SaveDocumentAs(*document_, file_, io({}, writers)), 0);
  EXPECT_EQ(platform_.dialogOpenedWith, std::vector<std::string>{path("a")});
  EXPECT_EQ(file_.saveFileName, path("a.vxl"));
  EXPECT_TRUE(g_calls.empty());

  platform_.answers.push_back(FakePlatform::DialogAnswer{path("b.vxl"), 1});
  ASSERT_EQ(SaveDocumentAs(*document_, file_, io({}, writers)), 1);
  EXPECT_EQ(g_calls, std::vector<std::string>{"save " + path("b.vxl")});
  EXPECT_EQ(document_->scene.fileName, path("b.vxl"));
}

TEST_F(DocumentIoTest, TheChosenTypesExtensionIsAddedToATypedName) {
  const WriterEntry writers[] = {{1, "VXL", ".vxl", SaveRecord},
                                 {4, "DXF POLYLINE", ".dxf", SaveRecord},
                                 {9, "OBJ", ".obj", SaveRecord}};
  struct Case {
    std::string typed;
    int type;
    std::string written;   // the file the writer was given
    std::string document;  // the document's path and caption afterwards
  };
  const Case cases[] = {
      {"plain", 1, "plain.vxl", "plain.vxl"},
      {"export", 9, "export.obj", "export.vxl"},
      {"Kept.OBJ", 9, "Kept.OBJ", "Kept.vxl"},
      {"kept.vxl", 1, "kept.vxl", "kept.vxl"},
      {"lines", 4, "lines.dxf", "lines.vxl"},
      // Another extension is part of the name, not the type's.
      {"a.v2", 1, "a.v2.vxl", "a.v2.vxl"},
      {"b.obj", 1, "b.obj.vxl", "b.obj.vxl"},
  };
  for (const bool saveAs : {false, true}) {
    for (const Case& c : cases) {
      SCOPED_TRACE((saveAs ? "Save As " : "Save ") + c.typed);
      g_calls.clear();
      DocumentFile file;
      file.caption = "Vxl1.vxl";
      auto document = std::make_unique<Document>();
      testing::UnitQuad(document->model);
      platform_.answers.push_back(FakePlatform::DialogAnswer{path(c.typed), c.type});
      const int saved = saveAs ? SaveDocumentAs(*document, file, io({}, writers))
                               : SaveDocumentFile(*document, file, io({}, writers));
      ASSERT_EQ(saved, 1) << file.lastError.reason;
      EXPECT_EQ(g_calls, std::vector<std::string>{"save " + path(c.written)});
      EXPECT_EQ(document->scene.fileName, path(c.document));
      EXPECT_EQ(file.caption, path(c.document));
      EXPECT_EQ(platform_.windowCaption, path(c.document));
      // The next Save writes the native file the caption names, silently.
      g_calls.clear();
      ASSERT_EQ(SaveDocumentFile(*document, file, io({}, writers)), 1);
      EXPECT_EQ(g_calls, std::vector<std::string>{"save " + path(c.document)});
    }
  }
  EXPECT_TRUE(platform_.answers.empty()) << "each save asked once";
}

TEST_F(DocumentIoTest, WritersSeeAngleSmoothedNormalsWhenTheViewAveragesThem) {
  // On a cube every edge is sharper than the smoothing angle: angle
  // smoothing keeps each corner normal equal to its face normal, while
  // point averaging tilts it toward the corner's other faces.
  const WriterEntry writers[] = {{1, "VXL", ".vxl", SaveRecord}};
  testing::ClosedCube(document_->model);
  settings_.UseAngleSmooth = 0;
  RefreshNormals(document_->model, kNormalsFace | kNormalsAngleSmoothed, false);
  const VECTOR face = document_->model.faces[1].normal;
  ASSERT_NE(document_->model.faces[1].cornerNormals[0], face);
  file_.saveFileName = path("cube.vxl");
  ASSERT_EQ(SaveDocumentFile(*document_, file_, io({}, writers)), 1);
  ASSERT_FALSE(g_cornerNormalsSeen.empty());
  EXPECT_EQ(g_cornerNormalsSeen[0], face);
  EXPECT_NE(document_->model.faces[1].cornerNormals[0], face) << "the view's normals come back";

  settings_.UseAngleSmooth = 1;
  RefreshNormals(document_->model, kNormalsFace | kNormalsAngleSmoothed, true);
  ASSERT_EQ(SaveDocumentFile(*document_, file_, io({}, writers)), 1);
  EXPECT_EQ(g_cornerNormalsSeen[0], face);
}

// Whatever a writer writes, the reader of its extension reads back: an
// empty model either reopens as an empty model or, where the format cannot
// hold one (the DXF and FCW readers want surfaces, the OBJ reader points),
// is refused before any file is made.
TEST_F(DocumentIoTest, AnEmptyModelReopensEmptyOrIsRefusedBeforeWriting) {
  ClearModel(document_->model);
  const std::set<int> refused = {3, 4, 9, 14};
  FormatContext context;
  context.settings = &settings_;
  for (const WriterEntry& writer : WriterTable()) {
    std::vector<ReaderFunction> readers;
    for (const ReaderEntry& reader : ReaderTable()) {
      if (reader.load != nullptr && std::string_view(reader.extension) == writer.extension)
        readers.push_back(reader.load);
    }
    if (readers.empty() || writer.save == nullptr) continue;  // written only
    SCOPED_TRACE(writer.name);
    const std::string file = path("empty" + std::to_string(writer.saveIndex) + writer.extension);
    context.reason.clear();
    const int saved = writer.save(*document_, file, context);
    if (refused.count(writer.saveIndex) != 0) {
      EXPECT_EQ(saved, 0);
      EXPECT_NE(context.reason.find("empty"), std::string::npos) << context.reason;
      EXPECT_FALSE(std::filesystem::exists(file));
      continue;
    }
    ASSERT_EQ(saved, 1) << context.reason;
    auto reopened = std::make_unique<Document>();
    testing::UnitQuad(reopened->model);
    bool read = false;
    std::string reasons;
    for (ReaderFunction reader : readers) {
      read = read || LoadModelFile(*reopened, file, reader, context) == 1;
      reasons += context.reason + "; ";
    }
    ASSERT_TRUE(read) << reasons;
    EXPECT_EQ(reopened->model.pointCount, 0);
    EXPECT_EQ(reopened->model.lineCount, 0);
    EXPECT_EQ(reopened->model.faceCount, 0);
  }
}

TEST(FormatRegistry, SaveIndexFollowsTheExtensionAndTheType) {
  EXPECT_EQ(SaveIndexForPath("a/b.vxl"), 1);
  EXPECT_EQ(SaveIndexForPath("B.OBJ"), 9);
  EXPECT_EQ(SaveIndexForPath("x.dxf"), 3);
  EXPECT_EQ(SaveIndexForPath("x.dxf", 4), 4);
  EXPECT_EQ(SaveIndexForPath("x.lwo", 6), 6);
  EXPECT_EQ(SaveIndexForPath("x.lwo", 9), 0) << "a type of another extension";
  EXPECT_EQ(SaveIndexForPath("x.wrl"), 7);
  EXPECT_EQ(SaveIndexForPath("x.x"), 12);
  EXPECT_EQ(SaveIndexForPath("folder.obj/file"), 0);
  EXPECT_EQ(SaveIndexForPath("x.png"), 0);
  EXPECT_EQ(ReplaceExtension("dir.v2/ship.obj", ".vxl"), "dir.v2/ship.vxl");
  EXPECT_EQ(ReplaceExtension("dir.v2/ship", ".vxl"), "dir.v2/ship.vxl");
  EXPECT_EQ(RemoveExtension("C:\\a.b\\c.mqo"), "C:\\a.b\\c");
  EXPECT_EQ(AddSaveExtension("dir.v2/ship", ".obj"), "dir.v2/ship.obj");
  EXPECT_EQ(AddSaveExtension("dir.v2/ship.Obj", ".obj"), "dir.v2/ship.Obj");
  EXPECT_EQ(AddSaveExtension("ship.x", ".x"), "ship.x");
  EXPECT_EQ(AddSaveExtension("ship.xsi", ".x"), "ship.xsi.x");
  EXPECT_EQ(AddSaveExtension("", ".vxl"), "");
  EXPECT_EQ(AddSaveExtension("ship", ""), "ship");
}

// The dialogs' type lists: entry k of the Open list is open index k and
// holds exactly the extensions of that index's readers; entry k of the Save
// list is save index k. The texts are the dialogs' own.
TEST(FormatRegistry, DialogFiltersFollowTheReaderAndWriterTables) {
  EXPECT_EQ(
      OpenDialogFilter(),
      "Supported Files|*.vxl;*.rok;*.obj;*.dxf;*.mx;*.mqo;*.lwo;*.3ds;*.fcw;*.gltf;*.glb;*.stl|"
      "VXL File (*.vxl)|*.vxl|Hexagreat-3D File (*.rok)|*.rok|OBJ File (*.obj)|*.obj|DXF File "
      "(*.dxf)|*.dxf|MX File (*.mx)|*.mx|MQO File (*.mqo)|*.mqo|LWO File (*.lwo)|*.lwo|3DS "
      "File (*.3ds)|*.3ds|FCW File (*.fcw)|*.fcw|All Files (*.*)|*.*|glTF File (*.gltf;*.glb)|"
      "*.gltf;*.glb|STL File (*.stl)|*.stl");
  const auto split = [](const std::string& filter) {
    std::vector<std::string> fields;
    std::stringstream in(filter);
    for (std::string field; std::getline(in, field, '|');) fields.push_back(field);
    return fields;
  };
  const std::vector<std::string> open = split(OpenDialogFilter());
  ASSERT_EQ(open.size(), 2u * kOpenStl);
  for (const ReaderEntry& reader : ReaderTable()) {
    if (reader.openIndex > kOpenStl) continue;
    SCOPED_TRACE(reader.name);
    const std::string pattern = std::string("*") + reader.extension;
    const std::string own = open[2 * static_cast<size_t>(reader.openIndex) - 1];
    EXPECT_NE((";" + own + ";").find(";" + pattern + ";"), std::string::npos) << own;
    EXPECT_NE(open[1].find(pattern), std::string::npos);
  }
  const std::vector<std::string> save = split(SaveDialogFilter());
  ASSERT_EQ(save.size(), 2u * kLastSaveIndex);
  for (const WriterEntry& writer : WriterTable()) {
    const size_t at = 2 * static_cast<size_t>(writer.saveIndex - 1);
    EXPECT_EQ(save[at], std::string(writer.name) + " File (*" + writer.extension + ")");
    EXPECT_EQ(save[at + 1], std::string("*") + writer.extension);
  }
  EXPECT_EQ(save[2 * 16], "STL File (*.stl)");
}

}  // namespace
}  // namespace vexal
