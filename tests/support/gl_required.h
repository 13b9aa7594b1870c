// Whether a test that finds no OpenGL context fails instead of skipping.
// A machine without EGL skips the GL tests and still reports green, so
// where the renderer must be checked (CI) VEXAL_REQUIRE_GL=1 is set and a
// missing context is a failure.
#pragma once

#include <cstdlib>
#include <string_view>

namespace vexal::testing {

// True when VEXAL_REQUIRE_GL is set to anything but "" or "0".
inline bool OpenGLRequired() {
  const char* value = std::getenv("VEXAL_REQUIRE_GL");
  return value != nullptr && std::string_view(value) != "" && std::string_view(value) != "0";
}

}  // namespace vexal::testing

// Skips the current test for a missing OpenGL context, or fails it when
// VEXAL_REQUIRE_GL asks for GL. Use where GTEST_SKIP would be.
#define VEXAL_SKIP_WITHOUT_GL(reason)                                           \
  do {                                                                          \
    if (::vexal::testing::OpenGLRequired()) {                                   \
      FAIL() << "no OpenGL context, and VEXAL_REQUIRE_GL is set: " << (reason); \
    }                                                                           \
    GTEST_SKIP() << "no OpenGL context: " << (reason);                          \
  } while (false)
