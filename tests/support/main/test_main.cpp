// The main of every test program: each process gets its own temporary
// folder (testing::TempDir() reads TEST_TMPDIR), so tests that CTest runs in
// parallel never share a scratch file, and the folder goes when they end.
// The programs' state and configuration folders are inside it.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>

#include "io/message_catalog.h"

int main(int argc, char** argv) {
  std::string pattern = (std::filesystem::temp_directory_path() / "vexal-test-XXXXXX").string();
  const char* folder = mkdtemp(pattern.data());
  if (folder) {
    // Traversable by other users: a settings test checks, as an unprivileged
    // user, whether a folder inside is writable.
    chmod(folder, 0755);
    setenv("TEST_TMPDIR", folder, 1);
    // Recovery copies and settings of the programs under test stay in it,
    // never in the user's own folders.
    setenv("XDG_STATE_HOME", (std::string(folder) + "/state").c_str(), 1);
    setenv("XDG_CONFIG_HOME", (std::string(folder) + "/config").c_str(), 1);
  }
  // Widgets are tested without a display.
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  // Tests check the English texts unless they choose Japanese themselves,
  // whatever the locale of the machine running them.
  vexal::SetMessageLanguage(vexal::MessageLanguage::kEnglish);
  testing::InitGoogleTest(&argc, argv);
  const int result = RUN_ALL_TESTS();
  if (folder) {
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
  }
  return result;
}
