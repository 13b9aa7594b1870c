#include "settings/settings.h"

#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <set>
#include <string>

#include "model/scene.h"
#include "settings/settings_keys.h"

namespace vexal {
namespace {

namespace fs = std::filesystem;

class SettingsFileTest : public testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = testing::TempDir() + "settings_test_XXXXXX";
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    folder_ = pattern;
  }
  void TearDown() override {
    std::error_code ignored;
    fs::permissions(folder_, fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(folder_, ignored);
  }

  std::string PathOf(const std::string& name) const { return (folder_ / name).string(); }

  std::string Write(const std::string& name, const std::string& text) const {
    const std::string path = PathOf(name);
    std::ofstream(path, std::ios::binary) << text;
    return path;
  }

  static std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  // Loads a [Main]-only file; the load must succeed.
  Settings LoadMain(const std::string& lines) const {
    Settings settings;
    std::string reason;
    EXPECT_TRUE(LoadSettings(Write("main.ini", "[Main]\r\n" + lines), settings, &reason)) << reason;
    return settings;
  }

  fs::path folder_;
};

// Sets an environment variable for the life of the object.
class ScopedEnvironment {
 public:
  ScopedEnvironment(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    if (value) {
      ::setenv(name, value, 1);
    } else {
      ::unsetenv(name);
    }
  }
  ~ScopedEnvironment() {
    if (old_) {
      ::setenv(name_, old_->c_str(), 1);
    } else {
      ::unsetenv(name_);
    }
  }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

bool SameField(const SettingsKey& key, const Settings& a, const Settings& b) {
  switch (key.kind) {
    case SettingsKey::Kind::kInteger:
      return a.*key.integer == b.*key.integer;
    case SettingsKey::Kind::kFloat:
      return a.*key.real == b.*key.real;
    case SettingsKey::Kind::kText:
      return a.*key.text == b.*key.text;
  }
  return false;
}

TEST(SettingsKeys, OneKeyPerFieldInFileOrder) {
  const auto keys = SettingsKeys();
  ASSERT_EQ(keys.size(), 141u);
  std::set<int Settings::*> integers;
  std::set<std::string> names;
  std::vector<std::string> sectionOrder;
  Settings probe;
  for (const SettingsKey& key : keys) {
    EXPECT_TRUE(names.insert(key.name).second) << key.name;
    if (sectionOrder.empty() || sectionOrder.back() != key.section)
      sectionOrder.push_back(key.section);
    // Each key must own a field of its own: writing through one key must not
    // show up under any other.
    if (key.kind == SettingsKey::Kind::kInteger) probe.*key.integer = 0;
    if (key.kind == SettingsKey::Kind::kFloat) probe.*key.real = 0.0f;
    if (key.kind == SettingsKey::Kind::kText) (probe.*key.text).clear();
  }
  for (const SettingsKey& key : keys) {
    Settings changed = probe;
    if (key.kind == SettingsKey::Kind::kInteger) changed.*key.integer = 1;
    if (key.kind == SettingsKey::Kind::kFloat) changed.*key.real = 1.0f;
    if (key.kind == SettingsKey::Kind::kText) changed.*key.text = "x";
    int differing = 0;
    for (const SettingsKey& other : keys) differing += SameField(other, probe, changed) ? 0 : 1;
    EXPECT_EQ(differing, 1) << key.name;
  }
  EXPECT_EQ(sectionOrder,
            (std::vector<std::string>{"System", "Window", "Main", "FileHistory", "FileFormat"}));
}

TEST_F(SettingsFileTest, EveryKeySurvivesSaveAndLoad) {
  // A distinct non-default value for every key, inside the limits loading
  // applies (segment counts, texture sizes, positive scales).
  Settings saved;
  int index = 0;
  for (const SettingsKey& key : SettingsKeys()) {
    ++index;
    switch (key.kind) {
      case SettingsKey::Kind::kInteger:
        saved.*key.integer = 10 + index % 80;
        break;
      case SettingsKey::Kind::kFloat:
        saved.*key.real = 0.1f + static_cast<float>(index) / 7.0f;  // needs all nine digits
        break;
      case SettingsKey::Kind::kText:
        saved.*key.text = "C:\\Models\\\x95\x5C " + std::to_string(index) + ";v=2 .vxl";
        break;
    }
  }
  saved.BootFirst = 1;      // always written as 1
  saved.MainLeft = -32000;  // where Windows parks a minimised window
  saved.WindowSelectColor = -1;
  saved.PipeOffset = -359.5f;
  saved.MqoImportScale = 1e-7f;
  saved.FcwExportScale = 999999.9f;
  saved.FileHistory05 = "";
  saved.FileHistory06 = " leading and trailing blanks ";

  const Settings defaults;
  for (const SettingsKey& key : SettingsKeys()) {
    if (key.section != std::string("FileHistory") || saved.*key.text != "") {
      ASSERT_FALSE(SameField(key, saved, defaults)) << key.name << " is still the default";
    }
  }

  const std::string path = PathOf("vexal.ini");
  std::string reason;
  ASSERT_TRUE(SaveSettings(path, saved, &reason)) << reason;
  Settings loaded;
  ASSERT_TRUE(LoadSettings(path, loaded, &reason)) << reason;
  for (const SettingsKey& key : SettingsKeys()) {
    EXPECT_TRUE(SameField(key, saved, loaded)) << key.name;
  }
  // Tiny and huge floats stay plain decimals that any INI reader takes.
  const std::string text = Read(path);
  EXPECT_NE(text.find("\r\nMqoImportScale=0.0000001\r\n"), std::string::npos);
  EXPECT_EQ(text.find("e-"), std::string::npos);
  EXPECT_EQ(text.find("e+"), std::string::npos);
  // Saving what was loaded gives the same bytes.
  const std::string again = PathOf("again.ini");
  ASSERT_TRUE(SaveSettings(again, loaded, &reason)) << reason;
  EXPECT_EQ(Read(path), Read(again));
}

TEST_F(SettingsFileTest, FirstSaveWritesEveryKeyWithPlainNumbers) {
  const std::string path = PathOf("fresh.ini");
  std::string reason;
  ASSERT_TRUE(SaveSettings(path, Settings{}, &reason)) << reason;
  const std::string text = Read(path);
  EXPECT_EQ(text.rfind("[System]\r\nBootFirst=1\r\nUndoDepth=10\r\nAutoSaveSeconds=120\r\nLanguage=auto\r\n\r\n"
                       "[Window]\r\nSaveMainWindow=1\r\n",
                       0),
            0u);
  for (const char* line :
       {"\r\nWindowBGColor=10592673\r\n", "\r\nGridType=-1\r\n", "\r\nGridWidthX=0.125\r\n",
        "\r\nCellEdgeNormalWidth=2\r\n", "\r\nPipeOffset=0\r\n", "\r\nMqoImportScale=0.01\r\n",
        "\r\nMqoExportScale=100\r\n", "\r\nFileHistory09=\r\n", "\r\nMxTextureExtension=.bmp\r\n",
        "\r\nLocateLeft=726\r\n"}) {
    EXPECT_NE(text.find(line), std::string::npos) << line;
  }
  size_t lines = 0;
  for (size_t at = text.find("=\r\n"); at != std::string::npos; at = text.find("=\r\n", at + 1))
    ++lines;
  EXPECT_EQ(lines, 11u) << "only the ten history entries and the last folder are empty";

  Settings loaded;
  ASSERT_TRUE(LoadSettings(path, loaded, &reason)) << reason;
  Settings expected;
  expected.BootFirst = 1;
  for (const SettingsKey& key : SettingsKeys())
    EXPECT_TRUE(SameField(key, expected, loaded)) << key.name;
}

// The first-run file written out by hand from the key list: every section,
// key name, order, type and default at once. Window bounds the shell never
// filled are written as the "unset" marker so they read back as unset.
TEST_F(SettingsFileTest, FirstRunFileMatchesTheKeyListByteForByte) {
  const std::string unset = std::to_string(kUnsetPlacement);
  std::string expected =
      "[System]\r\nBootFirst=1\r\nUndoDepth=10\r\nAutoSaveSeconds=120\r\nLanguage=auto\r\n\r\n[Window]\r\n";
  auto lines = [&](std::initializer_list<const char*> keys, const std::string& value) {
    for (const char* key : keys) expected += std::string(key) + "=" + value + "\r\n";
  };
  lines({"SaveMainWindow", "SaveSubWindow"}, "1");
  lines({"MainState"}, "0");
  lines({"MainLeft", "MainTop", "MainWidth", "MainHeight"}, unset);
  expected += "LocateLeft=726\r\nLocateTop=100\r\nLocateWidth=200\r\nLocateHeight=128\r\n";
  lines({"PaletteLeft", "PaletteTop", "GridLeft", "GridTop", "RandomLeft", "RandomTop",
         "AttachLeft", "AttachTop", "PipeLeft", "PipeTop", "NumericLeft", "NumericTop",
         "ProjectionLeft", "ProjectionTop", "PrimitiveLeft", "PrimitiveTop"},
        unset);
  lines({"ShowSubWindow", "ShowLocateWindow", "ShowPaletteWindow"}, "1");
  lines({"ShowGridWindow", "ShowRandomWindow", "ShowAttachWindow", "ShowPipeWindow",
         "ShowNumericWindow", "ShowProjectionWindow", "ShowPrimitiveWindow"},
        "0");
  expected +=
      "WindowBGColor=10592673\r\nWindowNormalColor=0\r\nWindowSelectColor=255\r\n"
      "WindowHideColor=12632256\r\n\r\n[Main]\r\n"
      "SetDefaultWindow=1\r\nDualBoot=0\r\nGridType=-1\r\nOpenLastFile=0\r\n"
      "RecordAllHistory=0\r\nUseOpenGL=1\r\nPerspective=1\r\nVisibleDoubleSide=1\r\n"
      "VisibleHandle=1\r\nVisibleHideLine=1\r\nVisibleSmooth=0\r\nSetDefaultObject=1\r\n"
      "VisibleDummy=1\r\nVisibleGrid=1\r\nVisibleTexture=1\r\nVisibleBackPicture=1\r\n"
      "VisibleLight=1\r\nVisibleReflection=1\r\nVisibleTransparence=0\r\n"
      "VisibleTranslucent=0\r\nLinearTexture=0\r\nLinearBackPicture=0\r\nVisibleCellEdge=0\r\n"
      "UseMouseWheel=1\r\nUseMoveAttach=0\r\nUseLoopSplit=0\r\nUseLoopSplit2=0\r\n"
      "UseLassoSelect=0\r\nUseSelectFace=0\r\nUseFlatView=0\r\nUseAngleSmooth=1\r\n"
      "RealTimeSmooth=0\r\nCellEdgeNormal=1\r\nCellEdgeBorder=1\r\nCellEdgeBoundary=1\r\n"
      "CellEdgeSmooth=1\r\nCellEdgeNormalWidth=2\r\nCellEdgeBorderWidth=2\r\n"
      "CellEdgeBoundaryWidth=1\r\nCellEdgeSmoothWidth=1\r\n"
      "GridCheckX=1\r\nGridCheckY=1\r\nGridCheckZ=1\r\n"
      "GridWidthX=0.125\r\nGridWidthY=0.125\r\nGridWidthZ=0.125\r\n"
      "RandomCheckX=1\r\nRandomCheckY=1\r\nRandomCheckZ=1\r\n"
      "RandomWidthX=0.125\r\nRandomWidthY=0.125\r\nRandomWidthZ=0.125\r\n"
      "PipeSegment=6\r\nPipeRadius=0.125\r\nPipeOffset=0\r\nAttachLineSegment=6\r\n"
      "\r\n[FileHistory]\r\n";
  for (int i = 0; i < kFileHistoryCount; ++i) expected += "FileHistory0" + std::to_string(i) + "=\r\n";
  expected += "LastFolder=\r\n";
  expected += "\r\n[FileFormat]\r\n";
  for (const char* format : {"Rok", "Dxf", "Lwo", "Wrl", "Mx", "Obj", "Tds", "X", "Xsi"}) {
    expected += std::string(format) + "ImportScale=1\r\n" + format + "ExportScale=1\r\n";
  }
  expected +=
      "MqoImportScale=0.01\r\nMqoExportScale=100\r\nFcwImportScale=0.01\r\nFcwExportScale=100\r\n"
      "DxfRotateImport=1\r\nDxfRotateExport=1\r\nObjExportMaterial=0\r\nObjExportGroup=0\r\n"
      "MxTextureWidth=256\r\nMxTextureHeight=256\r\nMxTextureExtension=.bmp\r\n";

  const std::string path = PathOf("first.ini");
  std::string reason;
  ASSERT_TRUE(SaveSettings(path, Settings{}, &reason)) << reason;
  EXPECT_EQ(Read(path), expected);
}

TEST_F(SettingsFileTest, ReadsAWindowsWrittenFile) {
  Settings settings;
  std::string reason;
  ASSERT_TRUE(LoadSettings(VEXAL_TEST_DATA "/settings/windows_written.ini", settings, &reason))
      << reason;
  EXPECT_EQ(settings.BootFirst, 1);
  EXPECT_EQ(settings.SaveSubWindow, 0);
  EXPECT_EQ(settings.MainState, 2);
  EXPECT_EQ(settings.MainLeft, -4);
  EXPECT_EQ(settings.MainWidth, 1288);
  EXPECT_EQ(settings.LocateLeft, 1040);
  EXPECT_EQ(settings.LocateTop, 100);  // not in the file
  EXPECT_EQ(settings.ShowGridWindow, 1);
  EXPECT_EQ(settings.WindowBGColor, 8421504);
  EXPECT_EQ(settings.UseMouseWheel, 0);  // written in lower case
  EXPECT_EQ(settings.PipeSegment, 8);    // blanks around '=', first of two
  EXPECT_EQ(settings.GridWidthX, 0.25f);
  EXPECT_EQ(settings.PipeRadius, 0.3f);
  EXPECT_EQ(settings.VisibleTranslucent, 1);
  EXPECT_EQ(settings.FileHistory00,
            "C:\\Documents and Settings\\taro\\\x83\x82\x83\x66\x83\x8B\\robot.vxl");
  EXPECT_EQ(settings.FileHistory01, "D:\\\x95\x5C\\ship.mqo");
  EXPECT_EQ(settings.FileHistory02, "");
  EXPECT_EQ(settings.FileHistory03, "\\\\server\\share\\tank;v2.vxl");
  EXPECT_EQ(settings.FileHistory04, "");
  EXPECT_EQ(settings.MqoImportScale, 0.01f);
  EXPECT_EQ(settings.MqoExportScale, 100.0f);
  EXPECT_EQ(settings.FcwImportScale, 0.01f);
  EXPECT_EQ(settings.DxfRotateImport, 0);
  EXPECT_EQ(settings.DxfRotateExport, 1);
  EXPECT_EQ(settings.MxTextureExtension, ".tga");
}

TEST_F(SettingsFileTest, ValuesThatAreNotNumbersGiveDefaults) {
  const Settings settings = LoadMain(
      "PipeRadius=nan\r\n"
      "GridWidthX=inf\r\n"
      "GridWidthY=-INFINITY\r\n"
      "GridWidthZ=1e39\r\n"
      "RandomWidthX=0.5.5\r\n"
      "RandomWidthY=\r\n"
      "RandomWidthZ=1,5,0\r\n"
      "CellEdgeNormalWidth=+-3\r\n"
      "UseOpenGL=abc\r\n"
      "Perspective=12abc\r\n"
      "VisibleHandle=1.0\r\n"
      "VisibleDummy=99999999999\r\n"
      "VisibleGrid=0x1FFFFFFFF\r\n"
      "VisibleLight=+-1\r\n"
      "VisibleTexture=- 1\r\n"
      "GridType=\r\n"
      "[FileFormat]\r\n"
      "ObjImportScale=nan(0x1)\r\n"
      "MxTextureWidth=0x\r\n");
  const Settings defaults;
  for (const SettingsKey& key : SettingsKeys()) {
    EXPECT_TRUE(SameField(key, defaults, settings)) << key.name;
  }
}

TEST_F(SettingsFileTest, AcceptsOtherSpellingsOfNumbers) {
  const Settings settings = LoadMain(
      "WindowBGColor=0xFFFFFF\r\n"
      "WindowHideColor=$c0c0c0\r\n"
      "WindowNormalColor=0xFFFFFFFF\r\n"
      "GridType=+1\r\n"
      "VisibleSmooth=-0\r\n"
      "UseLoopSplit=  7  \r\n"
      "GridWidthX=1,5\r\n"
      "GridWidthY=.5\r\n"
      "GridWidthZ=2.5E-1\r\n"
      "PipeOffset=-90\r\n");
  // Colour keys live in [Window]; these in [Main] must not be found there.
  EXPECT_EQ(settings.WindowBGColor, Settings{}.WindowBGColor);
  EXPECT_EQ(settings.GridType, 1);
  EXPECT_EQ(settings.VisibleSmooth, 0);
  EXPECT_EQ(settings.UseLoopSplit, 7);
  EXPECT_EQ(settings.GridWidthX, 1.5f);
  EXPECT_EQ(settings.GridWidthY, 0.5f);
  EXPECT_EQ(settings.GridWidthZ, 0.25f);
  EXPECT_EQ(settings.PipeOffset, -90.0f);

  Settings colours;
  ASSERT_TRUE(LoadSettings(Write("colours.ini",
                                 "[Window]\r\nWindowBGColor=0xFFFFFF\r\nWindowHideColor=$c0c0c0\r\n"
                                 "WindowNormalColor=0xFFFFFFFF\r\n"),
                           colours, nullptr));
  EXPECT_EQ(colours.WindowBGColor, 0xFFFFFF);
  EXPECT_EQ(colours.WindowHideColor, 0xC0C0C0);
  EXPECT_EQ(colours.WindowNormalColor, -1);
}

TEST_F(SettingsFileTest, ValuesOutsideTheToolWindowLimitsAreBroughtBack) {
  Settings settings = LoadMain(
      "PipeSegment=1000000000\r\n"
      "AttachLineSegment=-5\r\n"
      "PipeRadius=0\r\n"
      "PipeOffset=720\r\n"
      "GridWidthX=0\r\n"
      "GridWidthY=-0.5\r\n"
      "RandomWidthZ=5e8\r\n[System]\r\nUndoDepth=1001\r\nAutoSaveSeconds=-1\r\n");
  EXPECT_EQ(settings.UndoDepth, 1000);
  EXPECT_EQ(settings.AutoSaveSeconds, 0);
  EXPECT_EQ(settings.PipeSegment, 96);
  EXPECT_EQ(settings.AttachLineSegment, 2);
  EXPECT_EQ(settings.PipeRadius, 0.125f);
  EXPECT_EQ(settings.PipeOffset, 360.0f);
  EXPECT_EQ(settings.GridWidthX, 0.125f);
  EXPECT_EQ(settings.GridWidthY, 0.125f);
  EXPECT_EQ(settings.RandomWidthZ, 1000000.0f);

  settings = LoadMain(
      "PipeSegment=0\r\nAttachLineSegment=97\r\n[FileFormat]\r\n"
      "ObjExportScale=0\r\nMqoImportScale=-3\r\nDxfImportScale=1e9\r\n"
      "MxTextureHeight=100000\r\nMxTextureWidth=-1\r\n[System]\r\nUndoDepth=1\r\n"
      "AutoSaveSeconds=100000\r\n");
  EXPECT_EQ(settings.UndoDepth, 2);
  EXPECT_EQ(settings.AutoSaveSeconds, 86400);
  EXPECT_EQ(settings.PipeSegment, 3);
  EXPECT_EQ(settings.AttachLineSegment, 96);
  EXPECT_EQ(settings.ObjExportScale, 1.0f);
  EXPECT_EQ(settings.MqoImportScale, 0.01f);
  EXPECT_EQ(settings.DxfImportScale, 1000000.0f);
  EXPECT_EQ(settings.MxTextureHeight, 8192);
  EXPECT_EQ(settings.MxTextureWidth, 0);
}

TEST_F(SettingsFileTest, SubWindowSwitchOffShowsOnlyLocateAndPalette) {
  const std::string shows =
      "ShowLocateWindow=0\r\nShowPaletteWindow=0\r\nShowGridWindow=1\r\nShowRandomWindow=1\r\n"
      "ShowAttachWindow=1\r\nShowPipeWindow=1\r\nShowNumericWindow=1\r\nShowProjectionWindow=1\r\n"
      "ShowPrimitiveWindow=1\r\n";
  Settings settings;
  ASSERT_TRUE(
      LoadSettings(Write("off.ini", "[Window]\r\nShowSubWindow=0\r\n" + shows), settings, nullptr));
  EXPECT_EQ(settings.ShowSubWindow, 0);
  EXPECT_EQ(settings.ShowLocateWindow + settings.ShowPaletteWindow, 2);
  EXPECT_EQ(settings.ShowGridWindow + settings.ShowRandomWindow + settings.ShowAttachWindow +
                settings.ShowPipeWindow + settings.ShowNumericWindow +
                settings.ShowProjectionWindow + settings.ShowPrimitiveWindow,
            0);

  ASSERT_TRUE(
      LoadSettings(Write("on.ini", "[Window]\r\nShowSubWindow=1\r\n" + shows), settings, nullptr));
  EXPECT_EQ(settings.ShowLocateWindow + settings.ShowPaletteWindow, 0);
  EXPECT_EQ(settings.ShowGridWindow + settings.ShowPrimitiveWindow, 2);
}

TEST_F(SettingsFileTest, MissingOrUnreadableFileGivesDefaults) {
  Settings settings;
  settings.UseAngleSmooth = 0;
  settings.FileHistory00 = "stale";
  std::string reason;
  EXPECT_TRUE(LoadSettings(PathOf("absent.ini"), settings, &reason));
  for (const SettingsKey& key : SettingsKeys())
    EXPECT_TRUE(SameField(key, Settings{}, settings)) << key.name;

  settings.UseAngleSmooth = 0;
  ASSERT_TRUE(fs::create_directory(PathOf("a folder.ini")));
  EXPECT_FALSE(LoadSettings(PathOf("a folder.ini"), settings, &reason));
  EXPECT_FALSE(reason.empty());
  EXPECT_EQ(settings.UseAngleSmooth, 1);

  // A pipe would block a plain read forever; a huge file is no settings file.
  ASSERT_EQ(::mkfifo(PathOf("pipe.ini").c_str(), 0600), 0);
  EXPECT_FALSE(LoadSettings(PathOf("pipe.ini"), settings, &reason));
  std::string huge = "[Main]\nUseAngleSmooth=0\n";
  while (huge.size() < (5u << 20)) huge += "; a comment line\n";
  EXPECT_FALSE(LoadSettings(Write("huge.ini", huge), settings, &reason));
  EXPECT_EQ(settings.UseAngleSmooth, 1);

  settings.UseAngleSmooth = 0;
  const std::string overlong =
      "[Main]\nUseAngleSmooth=0\nFileHistory00=" + std::string(70000, 'x') + "\n";
  reason.clear();
  EXPECT_FALSE(LoadSettings(Write("overlong.ini", overlong), settings, &reason));
  EXPECT_NE(reason.find("line 3"), std::string::npos) << reason;
  EXPECT_EQ(settings.UseAngleSmooth, 1);
}

TEST_F(SettingsFileTest, HistoryPathWithLineBreakCannotInjectKeys) {
  Settings saved;
  saved.FileHistory00 = "evil\r\n[Main]\r\nUseOpenGL=0";
  saved.FileHistory01 = "/home/user/kept.vxl";
  const std::string path = PathOf("inject.ini");
  std::string reason;
  ASSERT_TRUE(SaveSettings(path, saved, &reason)) << reason;
  Settings loaded;
  ASSERT_TRUE(LoadSettings(path, loaded, &reason));
  EXPECT_EQ(loaded.UseOpenGL, 1);
  EXPECT_EQ(loaded.FileHistory00, "");
  EXPECT_EQ(loaded.FileHistory01, "/home/user/kept.vxl");
}

TEST_F(SettingsFileTest, SaveCreatesItsFolderAndFailsCleanly) {
  std::string reason;
  const std::string nested = PathOf("config/vexal/vexal.ini");
  ASSERT_TRUE(SaveSettings(nested, Settings{}, &reason)) << reason;
  EXPECT_TRUE(fs::is_regular_file(nested));

  // A plain file where the folder should be: the save reports failure.
  Write("blocker", "not a folder");
  reason.clear();
  EXPECT_FALSE(SaveSettings(PathOf("blocker/vexal.ini"), Settings{}, &reason));
  EXPECT_FALSE(reason.empty());
}

TEST_F(SettingsFileTest, FilesLiveInTheConfigFolderUnlessAVexalIniStandsBesideTheProgram) {
  const ScopedEnvironment config("XDG_CONFIG_HOME", PathOf("config").c_str());
  const std::string bin = PathOf("bin");
  fs::create_directory(bin);
  const std::string home = PathOf("config/vexal/");
  // A writable folder of the program is not reason enough to write there.
  EXPECT_EQ(SettingsFilePath(bin + "/vexal", ".ini"), home + "vexal.ini");
  EXPECT_EQ(SettingsFilePath(bin + "/vexal", ".kbd"), home + "vexal.kbd");
  EXPECT_EQ(SettingsFilePath("", ".ini"), home + "vexal.ini");
  EXPECT_FALSE(IsPortable(bin + "/vexal"));

  // A folder called vexal.ini is not a settings file.
  fs::create_directory(bin + "/vexal.ini");
  EXPECT_EQ(SettingsFilePath(bin + "/vexal", ".ini"), home + "vexal.ini");
  fs::remove(bin + "/vexal.ini");

  // Portable: a vexal.ini put there by hand keeps both files beside the
  // program, whatever the program file is called.
  Write("bin/vexal.ini", "[System]\r\n");
  EXPECT_TRUE(IsPortable(bin + "/vexal"));
  for (const char* program : {"/vexal", "/vexal-tool", "/vexal.bin"}) {
    EXPECT_EQ(SettingsFilePath(bin + program, ".ini"), bin + "/vexal.ini") << program;
    EXPECT_EQ(SettingsFilePath(bin + program, ".kbd"), bin + "/vexal.kbd") << program;
  }
}

TEST_F(SettingsFileTest, AFirstRunWritesNothingBesideTheProgram) {
  const ScopedEnvironment config("XDG_CONFIG_HOME", PathOf("config").c_str());
  const std::string bin = PathOf("bin");
  fs::create_directory(bin);
  const std::string path = SettingsFilePath(bin + "/vexal", ".ini");
  Settings settings;
  std::string reason;
  ASSERT_TRUE(LoadSettings(path, settings, &reason)) << reason;
  settings.LastFolder = "/data/models";
  ASSERT_TRUE(SaveSettings(path, settings, &reason)) << reason;
  EXPECT_TRUE(fs::is_empty(bin));
  Settings again;
  ASSERT_TRUE(LoadSettings(PathOf("config/vexal/vexal.ini"), again, &reason)) << reason;
  EXPECT_EQ(again.LastFolder, "/data/models");
}

TEST(SettingsFilePath, FallsBackToHomeConfigWithoutAnAbsoluteConfigHome) {
  const std::string unwritable = "/nonexistent-folder-for-settings-test/vexal";
  {
    // Without HOME the account's own home folder stands in.
    const ScopedEnvironment home("HOME", nullptr);
    const ScopedEnvironment config("XDG_CONFIG_HOME", nullptr);
    const passwd* account = ::getpwuid(::getuid());
    ASSERT_NE(account, nullptr);
    EXPECT_EQ(SettingsFilePath(unwritable, ".ini"),
              std::string(account->pw_dir) + "/.config/vexal/vexal.ini");
  }
  const ScopedEnvironment home("HOME", "/home/taro");
  {
    const ScopedEnvironment config("XDG_CONFIG_HOME", nullptr);
    EXPECT_EQ(SettingsFilePath(unwritable, ".ini"), "/home/taro/.config/vexal/vexal.ini");
  }
  {
    const ScopedEnvironment config("XDG_CONFIG_HOME", "relative/config");
    EXPECT_EQ(SettingsFilePath(unwritable, ".ini"), "/home/taro/.config/vexal/vexal.ini");
  }
  {
    const ScopedEnvironment config("XDG_CONFIG_HOME", "");
    EXPECT_EQ(SettingsFilePath(unwritable, ".kbd"), "/home/taro/.config/vexal/vexal.kbd");
  }
}

TEST(ApplySceneDefaults, EachSwitchLandsInItsOwnField) {
  struct Pair {
    int Settings::*key;
    int32_t SCENE::*field;
  };
  const Pair pairs[] = {
      {&Settings::VisibleDoubleSide, &SCENE::doubleSided},
      {&Settings::UseOpenGL, &SCENE::useGL},
      {&Settings::Perspective, &SCENE::perspectiveDefault},
      {&Settings::Perspective, &SCENE::perspective},
      {&Settings::VisibleHandle, &SCENE::showHandle},
      {&Settings::VisibleSmooth, &SCENE::smooth},
      {&Settings::VisibleHideLine, &SCENE::showHiddenEdges},
      {&Settings::VisibleDummy, &SCENE::showDummy},
      {&Settings::VisibleGrid, &SCENE::showGrid},
      {&Settings::VisibleTexture, &SCENE::showTexture},
      {&Settings::LinearTexture, &SCENE::linearTexture},
      {&Settings::LinearBackPicture, &SCENE::linearBackPicture},
      {&Settings::VisibleLight, &SCENE::showLight},
      {&Settings::VisibleBackPicture, &SCENE::showBackPicture},
      {&Settings::VisibleCellEdge, &SCENE::cellEdge},
      {&Settings::VisibleReflection, &SCENE::showReflection},
  };
  Settings allOff;
  for (const Pair& pair : pairs) allOff.*pair.key = 0;
  for (const Pair& pair : pairs) {
    Settings settings = allOff;
    settings.*pair.key = 5;  // any non-zero value switches on
    SCENE scene;
    for (const Pair& each : pairs) scene.*each.field = -7;
    ApplySceneDefaults(settings, scene);
    for (const Pair& each : pairs) {
      EXPECT_EQ(scene.*each.field, each.key == pair.key ? 1 : 0);
    }
  }
}

TEST(ApplySceneDefaults, AlphaModeFromTransparencySwitches) {
  const struct {
    int transparence, translucent, alphaMode;
  } cases[] = {{0, 0, 0}, {0, 1, 0}, {1, 0, 1}, {1, 1, 2}, {-1, 3, 2}};
  for (const auto& c : cases) {
    Settings settings;
    settings.VisibleTransparence = c.transparence;
    settings.VisibleTranslucent = c.translucent;
    SCENE scene;
    scene.alphaMode = 9;
    ApplySceneDefaults(settings, scene);
    EXPECT_EQ(scene.alphaMode, c.alphaMode) << c.transparence << "," << c.translucent;
  }
  // The defaults of both records agree.
  SCENE fresh;
  SCENE applied;
  ApplySceneDefaults(Settings{}, applied);
  EXPECT_EQ(applied.showGrid, fresh.showGrid);
  EXPECT_EQ(applied.alphaMode, fresh.alphaMode);
  EXPECT_EQ(applied.showHiddenEdges, fresh.showHiddenEdges);
  EXPECT_EQ(applied.useGL, fresh.useGL);
}

TEST(FileHistoryEntry, IndexesTheTenKeysInOrder) {
  Settings settings;
  for (int i = 0; i < kFileHistoryCount; ++i) FileHistoryEntry(settings, i) = std::to_string(i);
  EXPECT_EQ(settings.FileHistory00, "0");
  EXPECT_EQ(settings.FileHistory04, "4");
  EXPECT_EQ(settings.FileHistory09, "9");
}

}  // namespace
}  // namespace vexal
