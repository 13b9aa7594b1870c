// An off-screen OpenGL context through EGL, for rendering without a window
// or display server (batch previews, tests): Mesa's surfaceless platform
// when it is there, else the default display; a pbuffer of the frame size;
// a compatibility-profile desktop OpenGL context.
#pragma once

#include <string>

#include "view/gl_context.h"

namespace vexal {

class EglContext : public GLPlatformContext {
 public:
  EglContext(int width, int height);
  ~EglContext() override;
  EglContext(const EglContext&) = delete;
  EglContext& operator=(const EglContext&) = delete;

  int create(std::string& reason) override;
  bool makeCurrent() override;
  void swapBuffers() override;
  void doneCurrent() override;
  void destroy() override;

  // Replaces the pbuffer with one of a new size (the context survives).
  // False, leaving the old surface, when the new one cannot be made.
  bool resize(int width, int height);
  int width() const { return width_; }
  int height() const { return height_; }
  // Depth bits of the chosen configuration (0 before create).
  int depthBits() const { return depthBits_; }

 private:
  int width_;
  int height_;
  int depthBits_ = 0;
  void* display_ = nullptr;
  void* config_ = nullptr;
  void* surface_ = nullptr;
  void* context_ = nullptr;
};

}  // namespace vexal
