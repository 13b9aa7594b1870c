// GLLib: the OpenGL context of one document window, over a platform seam.
//
// The platform (a Qt widget's context, or EGL for headless work) only knows
// how to create, make current, swap and destroy a context; GLLib adds the
// frame protocol every drawing and texture operation follows: Begin (context
// current, depth test on), draw, End (flush, swap, context released). No
// context stays current between frames.
#pragma once

#include <string>

namespace vexal {

// What a window system offers the renderer. Implementations must be safe to
// call in any order: doneCurrent and destroy without a context do nothing.
class GLPlatformContext {
 public:
  virtual ~GLPlatformContext() = default;
  // Creates the context with 24 colour bits and 32 depth bits (or the
  // nearest available). Returns 0 on success, 1 when no suitable pixel
  // format or configuration exists, 2 when the context itself could not be
  // made; `reason` then says why.
  virtual int create(std::string& reason) = 0;
  virtual bool makeCurrent() = 0;
  virtual void swapBuffers() = 0;
  virtual void doneCurrent() = 0;
  virtual void destroy() = 0;
};

class GLLib {
 public:
  // Failure codes kept in `error`.
  static constexpr int kNoPixelFormat = 1;
  static constexpr int kSetPixelFormatFailed = 2;
  static constexpr int kMakeCurrentFailed = 3;

  GLLib() = default;
  ~GLLib();
  GLLib(const GLLib&) = delete;
  GLLib& operator=(const GLLib&) = delete;

  // Releases any previous context, then creates one through `platform`,
  // which must outlive this holder (or the next Release). Returns `valid`.
  bool Create(GLPlatformContext& platform);
  // Destroys the context and forgets the platform; valid becomes 0.
  void Release();
  // Makes the context current and turns the depth test on. False when the
  // holder is not valid, or (error 3) when the context cannot be made current.
  bool Begin();
  // Flush, swap, release the context. Does nothing on an invalid holder.
  void End();
  // The projection for a client size: a 30 degree perspective (near 0.5,
  // far 5000) or the orthographic box of half height tan(15 deg) x 8, and
  // the viewport. Call with the context current; does nothing unless valid
  // and height > 0.
  void SetProjection(int width, int height, bool perspective);

  int valid = 0;
  int error = 0;
  // Why the last Create failed, for a status line or a log.
  std::string reason;

 private:
  GLPlatformContext* platform_ = nullptr;
};

}  // namespace vexal
