// Rendering a document into an image without a window: OpenGL through an
// EGL pbuffer, or the software renderer on an in-memory canvas when no
// context can be had (or it is asked for). Batch previews, the render
// command and the picture tests use it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "images/image.h"
#include "model/document.h"
#include "view/canvas.h"
#include "view/gl_context_egl.h"
#include "view/gl_renderer.h"
#include "view/texture_loader.h"

namespace vexal {

// A Canvas over a 3-channel NImage (row 0 at the top), drawing as GDI does:
// rectangles exclude their right and bottom edges, lines leave out their
// last pixel, the inverting pen inverts. Pen widths above 1 are drawn as
// that many pixels across.
class ImageCanvas : public Canvas {
 public:
  ImageCanvas(int width, int height);
  int width() const override { return image_.width; }
  int height() const override { return image_.height; }
  void setPen(uint32_t color, int width, PenMode mode) override;
  void fillRect(int left, int top, int right, int bottom, uint32_t color) override;
  void frameRect(int left, int top, int right, int bottom, uint32_t color) override;
  void line(int x0, int y0, int x1, int y1) override;

  const NImage& image() const { return image_; }
  NImage& image() { return image_; }

 private:
  void plot(int x, int y);
  NImage image_;
  uint32_t penColor_ = 0;
  int penWidth_ = 1;
  PenMode penMode_ = PenMode::kCopy;
};

// Reads the current frame (width x height from the lower left corner of the
// framebuffer) into a 3-channel image with row 0 at the top.
bool ReadFrameImage(int width, int height, NImage& image);

// A document's view drawn off-screen by OpenGL: its own context, textures
// and renderer buffers, like one document window.
class OffscreenGLView {
 public:
  OffscreenGLView(int width, int height);
  ~OffscreenGLView();
  OffscreenGLView(const OffscreenGLView&) = delete;
  OffscreenGLView& operator=(const OffscreenGLView&) = delete;

  // Creates the context; false with a reason when none can be had.
  bool open(std::string& reason);
  bool valid() const { return gl_.valid != 0; }
  // Loads the 16 material textures and the 3 background pictures.
  void loadTextures(Document& document);
  // Sets SCENE.screen from the size, the projection from SCENE.perspective,
  // draws the frame (scene and handle overlay) and reads it back.
  bool render(Document& document, const GLViewSettings& settings, NImage& image,
              GLDrawPath path = GLDrawPath::kBatched);
  // Changes the frame size (the next render uses it).
  bool resize(int width, int height);

  GLLib& gl() { return gl_; }
  DocumentTextures& textures() { return textures_; }
  int width() const { return width_; }
  int height() const { return height_; }

 private:
  int width_;
  int height_;
  EglContext platform_;
  GLLib gl_;
  DocumentTextures textures_;
  GLRenderBuffers buffers_;
};

enum class SnapshotRenderer { kOpenGL, kSoftware };

struct SnapshotOptions {
  int width = 640;
  int height = 480;
  SnapshotRenderer renderer = SnapshotRenderer::kOpenGL;
  // With OpenGL asked for but unavailable, draw with the software renderer
  // (as a window does) instead of failing.
  bool fallBackToSoftware = true;
};

// Renders `document` as a window of the given size shows it. Returns false
// with a reason when nothing could be drawn; `usedOpenGL` (optional) says
// which renderer drew.
bool RenderSnapshot(Document& document, const Settings& settings, const SnapshotOptions& options,
                    NImage& image, std::string& reason, bool* usedOpenGL = nullptr);

}  // namespace vexal
