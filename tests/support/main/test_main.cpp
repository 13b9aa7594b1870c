// The main of every test program: each process gets its own temporary
// folder (testing::TempDir() reads TEST_TMPDIR), so tests that CTest runs in
// parallel never share a scratch file, and the folder goes when they end.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <string>

int main(int argc, char** argv) {
  std::string pattern = (std::filesystem::temp_directory_path() / "vexal-test-XXXXXX").string();
  const char* folder = mkdtemp(pattern.data());
  if (folder) setenv("TEST_TMPDIR", folder, 1);
  testing::InitGoogleTest(&argc, argv);
  const int result = RUN_ALL_TESTS();
  if (folder) {
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
  }
  return result;
}
