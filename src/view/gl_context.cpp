#include "view/gl_context.h"

#include <GL/gl.h>

#include <cmath>

namespace vexal {

GLLib::~GLLib() { Release(); }

bool GLLib::Create(GLPlatformContext& platform) {
  Release();
  platform_ = &platform;
  reason.clear();
  const int result = platform.create(reason);
  if (result != 0) {
    error = result == kNoPixelFormat ? kNoPixelFormat : kSetPixelFormatFailed;
    platform.destroy();
    platform_ = nullptr;
    valid = 0;
    return false;
  }
  valid = 1;
  return true;
}

void GLLib::Release() {
  if (platform_ != nullptr) {
    platform_->doneCurrent();
    platform_->destroy();
  }
  platform_ = nullptr;
  valid = 0;
}

bool GLLib::Begin() {
  if (valid == 0 || platform_ == nullptr) return false;
  if (!platform_->makeCurrent()) {
    error = kMakeCurrentFailed;
    return false;
  }
  glEnable(GL_DEPTH_TEST);
  return true;
}

void GLLib::End() {
  if (valid == 0 || platform_ == nullptr) return;
  glFlush();
  platform_->swapBuffers();
  platform_->doneCurrent();
}

void GLLib::SetProjection(int width, int height, bool perspective) {
  if (valid == 0 || platform_ == nullptr || height <= 0 || width < 0) return;
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  const double aspect = static_cast<double>(width) / static_cast<double>(height);
  if (aspect == 0.0) {
    // A window with no width yet shows nothing: keep the identity, as GLU
    // does, rather than an infinite frustum or an empty box OpenGL refuses.
  } else if (perspective) {
    // The 30 degree frustum from z 0.5 to 5000, built as GLU builds it.
    constexpr double kNear = 0.5, kFar = 5000.0;
    const double radians = 30.0 / 2.0 * 3.14159265358979323846 / 180.0;
    const double cotangent = std::cos(radians) / std::sin(radians);
    const double depth = kFar - kNear;
    const GLdouble m[16] = {cotangent / aspect, 0, 0, 0, 0, cotangent, 0, 0, 0, 0,
                            -(kFar + kNear) / depth, -1, 0, 0, -2 * kNear * kFar / depth, 0};
    glMultMatrixd(m);
  } else {
    const double h = std::tan(0.2617993878) * 8.0;
    glOrtho(-h * aspect, h * aspect, -h, h, -100, 100);
  }
  glMatrixMode(GL_MODELVIEW);
  glViewport(0, 0, width, height);
}

}  // namespace vexal
