#include "view/gl_context_egl.h"
#include "io/message_catalog.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>

#include <algorithm>
#include <cstring>

namespace vexal {
namespace {

// One EGL display serves every context of the process. eglTerminate would
// destroy the contexts of other windows too, so the display is initialised
// once and left to the process exit.
EGLDisplay SharedDisplay(std::string& reason) {
  static EGLDisplay display = EGL_NO_DISPLAY;
  static bool tried = false;
  static std::string failure;
  if (tried) {
    if (display == EGL_NO_DISPLAY) reason = failure;
    return display;
  }
  tried = true;
  EGLDisplay candidate = EGL_NO_DISPLAY;
  const char* clientExtensions = eglQueryString(EGL_NO_DISPLAY, EGL_EXTENSIONS);
  if (clientExtensions != nullptr &&
      std::strstr(clientExtensions, "EGL_MESA_platform_surfaceless") != nullptr) {
    auto getPlatformDisplay = reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(
        eglGetProcAddress("eglGetPlatformDisplayEXT"));
    if (getPlatformDisplay != nullptr) {
      candidate = getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    }
  }
  EGLint major = 0, minor = 0;
  if (candidate == EGL_NO_DISPLAY || eglInitialize(candidate, &major, &minor) != EGL_TRUE) {
    candidate = eglGetDisplay(EGL_DEFAULT_DISPLAY);
    if (candidate == EGL_NO_DISPLAY || eglInitialize(candidate, &major, &minor) != EGL_TRUE) {
      failure = "no EGL display could be initialised";
      reason = failure;
      return EGL_NO_DISPLAY;
    }
  }
  display = candidate;
  return display;
}

}  // namespace

EglContext::EglContext(int width, int height)
    : width_(std::max(width, 1)), height_(std::max(height, 1)) {}

EglContext::~EglContext() { destroy(); }

int EglContext::create(std::string& reason) {
  destroy();
  EGLDisplay display = SharedDisplay(reason);
  if (display == EGL_NO_DISPLAY) return 1;
  // The nearest configuration to 24 colour and 32 depth bits: ask for the
  // deepest depth buffer first and settle for less.
  EGLConfig config = nullptr;
  for (EGLint depth : {32, 24, 16}) {
    const EGLint attributes[] = {EGL_SURFACE_TYPE, EGL_PBUFFER_BIT, EGL_RED_SIZE, 8,
                                 EGL_GREEN_SIZE, 8, EGL_BLUE_SIZE, 8, EGL_DEPTH_SIZE, depth,
                                 EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT, EGL_NONE};
    EGLint count = 0;
    if (eglChooseConfig(display, attributes, &config, 1, &count) == EGL_TRUE && count > 0) break;
    config = nullptr;
  }
  if (config == nullptr) {
    reason = Translate("no EGL configuration with desktop OpenGL and a pbuffer");
    return 1;
  }
  EGLint depthBits = 0;
  eglGetConfigAttrib(display, config, EGL_DEPTH_SIZE, &depthBits);
  if (eglBindAPI(EGL_OPENGL_API) != EGL_TRUE) {
    reason = Translate("EGL cannot bind desktop OpenGL");
    return 2;
  }
  const EGLint surfaceAttributes[] = {EGL_WIDTH, width_, EGL_HEIGHT, height_, EGL_NONE};
  EGLSurface surface = eglCreatePbufferSurface(display, config, surfaceAttributes);
  if (surface == EGL_NO_SURFACE) {
    reason = Translate("EGL pbuffer could not be created");
    return 2;
  }
  const EGLint contextAttributes[] = {EGL_CONTEXT_OPENGL_PROFILE_MASK,
                                      EGL_CONTEXT_OPENGL_COMPATIBILITY_PROFILE_BIT, EGL_NONE};
  EGLContext context = eglCreateContext(display, config, EGL_NO_CONTEXT, contextAttributes);
  if (context == EGL_NO_CONTEXT) context = eglCreateContext(display, config, EGL_NO_CONTEXT, nullptr);
  if (context == EGL_NO_CONTEXT) {
    eglDestroySurface(display, surface);
    reason = Translate("EGL could not create an OpenGL context");
    return 2;
  }
  display_ = display;
  config_ = config;
  surface_ = surface;
  context_ = context;
  depthBits_ = depthBits;
  return 0;
}

bool EglContext::makeCurrent() {
  if (context_ == nullptr) return false;
  eglBindAPI(EGL_OPENGL_API);
  return eglMakeCurrent(display_, surface_, surface_, context_) == EGL_TRUE;
}

void EglContext::swapBuffers() {
  // A pbuffer has no front buffer to show; the frame stays readable.
}

void EglContext::doneCurrent() {
  if (display_ == nullptr) return;
  eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
}

void EglContext::destroy() {
  if (display_ == nullptr) return;
  doneCurrent();
  if (context_ != nullptr) eglDestroyContext(display_, context_);
  if (surface_ != nullptr) eglDestroySurface(display_, surface_);
  context_ = surface_ = config_ = nullptr;
  display_ = nullptr;
}

bool EglContext::resize(int width, int height) {
  width = std::max(width, 1);
  height = std::max(height, 1);
  if (display_ == nullptr) {
    width_ = width;
    height_ = height;
    return true;
  }
  if (width == width_ && height == height_) return true;
  const EGLint attributes[] = {EGL_WIDTH, width, EGL_HEIGHT, height, EGL_NONE};
  EGLSurface surface = eglCreatePbufferSurface(display_, config_, attributes);
  if (surface == EGL_NO_SURFACE) return false;
  doneCurrent();
  eglDestroySurface(display_, surface_);
  surface_ = surface;
  width_ = width;
  height_ = height;
  return true;
}

}  // namespace vexal
