#include "view/gl_offscreen.h"

#include <GL/gl.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "model/camera.h"
#include "settings/settings.h"
#include "view/raster_line.h"
#include "view/software_renderer.h"
#include "io/message_catalog.h"

namespace vexal {

ImageCanvas::ImageCanvas(int width, int height) {
  image_.Allocate(std::max(width, 1), std::max(height, 1), 3);
}

void ImageCanvas::setPen(uint32_t color, int width, PenMode mode) {
  penColor_ = color;
  penWidth_ = std::max(width, 1);
  penMode_ = mode;
}

void ImageCanvas::fillRect(int left, int top, int right, int bottom, uint32_t color) {
  left = std::max(left, 0);
  top = std::max(top, 0);
  right = std::min(right, image_.width);
  bottom = std::min(bottom, image_.height);
  for (int y = top; y < bottom; ++y) {
    uint8_t* p = image_.row(y) + static_cast<size_t>(left) * 3;
    for (int x = left; x < right; ++x, p += 3) {
      p[0] = static_cast<uint8_t>(color & 255u);
      p[1] = static_cast<uint8_t>((color >> 8) & 255u);
      p[2] = static_cast<uint8_t>((color >> 16) & 255u);
    }
  }
}

void ImageCanvas::frameRect(int left, int top, int right, int bottom, uint32_t color) {
  if (right <= left || bottom <= top) return;
  fillRect(left, top, right, top + 1, color);
  fillRect(left, bottom - 1, right, bottom, color);
  fillRect(left, top, left + 1, bottom, color);
  fillRect(right - 1, top, right, bottom, color);
}

void ImageCanvas::plot(int x, int y) {
  const int half = (penWidth_ - 1) / 2;
  for (int dy = -half; dy < penWidth_ - half; ++dy) {
    for (int dx = -half; dx < penWidth_ - half; ++dx) {
      const int px = x + dx, py = y + dy;
      if (px < 0 || py < 0 || px >= image_.width || py >= image_.height) continue;
      uint8_t* p = image_.row(py) + static_cast<size_t>(px) * 3;
      if (penMode_ == PenMode::kInvert) {
        p[0] = static_cast<uint8_t>(~p[0]);
        p[1] = static_cast<uint8_t>(~p[1]);
        p[2] = static_cast<uint8_t>(~p[2]);
      } else {
        p[0] = static_cast<uint8_t>(penColor_ & 255u);
        p[1] = static_cast<uint8_t>((penColor_ >> 8) & 255u);
        p[2] = static_cast<uint8_t>((penColor_ >> 16) & 255u);
      }
    }
  }
}

void ImageCanvas::line(int x0, int y0, int x1, int y1) {
  // A wide pen's square reaches this far beyond the pixel it is centred on.
  const int reach = penWidth_ / 2;
  ForEachLinePixel(x0, y0, x1, y1, {-reach, -reach, image_.width + reach, image_.height + reach},
                   [this](int x, int y) { plot(x, y); });
}

bool ReadFrameImage(int width, int height, NImage& image) {
  if (width <= 0 || height <= 0) return false;
  std::vector<uint8_t> rgba(static_cast<size_t>(width) * static_cast<size_t>(height) * 4);
  glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glFinish();
  glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
  glPopClientAttrib();
  if (!image.Allocate(width, height, 3)) return false;
  for (int y = 0; y < height; ++y) {
    const uint8_t* in = rgba.data() + static_cast<size_t>(height - 1 - y) * width * 4;
    uint8_t* out = image.row(y);
    for (int x = 0; x < width; ++x, in += 4, out += 3) {
      out[0] = in[0];
      out[1] = in[1];
      out[2] = in[2];
    }
  }
  return true;
}

OffscreenGLView::OffscreenGLView(int width, int height)
    : width_(std::max(width, 1)), height_(std::max(height, 1)), platform_(width_, height_) {}

OffscreenGLView::~OffscreenGLView() {
  if (gl_.valid != 0) DeleteTextureNames(gl_, textures_);
  gl_.Release();
}

bool OffscreenGLView::open(std::string& reason) {
  if (!gl_.Create(platform_)) {
    reason = gl_.reason.empty() ? "no OpenGL context" : gl_.reason;
    return false;
  }
  return true;
}

void OffscreenGLView::loadTextures(Document& document) { LoadAllTextures(document, gl_, textures_); }

bool OffscreenGLView::resize(int width, int height) {
  if (!platform_.resize(width, height)) return false;
  width_ = platform_.width();
  height_ = platform_.height();
  return true;
}

bool OffscreenGLView::render(Document& document, const GLViewSettings& settings, NImage& image,
                             GLDrawPath path) {
  SetScreenSize(document.scene, width_, height_);
  if (!gl_.Begin()) return false;
  // The window sets the projection with twice the half sizes it keeps.
  const int width = 2 * static_cast<int>(document.scene.screen.x);
  const int height = 2 * static_cast<int>(document.scene.screen.y);
  gl_.SetProjection(width, height, document.scene.perspective == 1);
  DrawFrameGL(document, textures_, settings, buffers_, path);
  const bool read = ReadFrameImage(width_, height_, image);
  gl_.End();
  return read;
}

bool RenderSnapshot(Document& document, const Settings& settings, const SnapshotOptions& options,
                    NImage& image, std::string& reason, bool* usedOpenGL) {
  if (usedOpenGL != nullptr) *usedOpenGL = false;
  if (options.width <= 0 || options.height <= 0 || options.width > kMaxImageSide ||
      options.height > kMaxImageSide) {
    reason = Translate("image size out of range");
    return false;
  }
  if (options.renderer == SnapshotRenderer::kOpenGL) {
    OffscreenGLView view(options.width, options.height);
    std::string why;
    if (view.open(why)) {
      view.loadTextures(document);
      if (view.render(document, GLViewSettingsFrom(settings), image)) {
        if (usedOpenGL != nullptr) *usedOpenGL = true;
        return true;
      }
      why = Translate("the OpenGL context could not be made current");
    }
    if (!options.fallBackToSoftware) {
      reason = why;
      return false;
    }
  }
  SetScreenSize(document.scene, options.width, options.height);
  ImageCanvas canvas(options.width, options.height);
  if (canvas.image().empty()) {
    reason = Translate("out of memory for the image");
    return false;
  }
  RedrawSoftware(document, ViewColorsFrom(settings), canvas);
  image = std::move(canvas.image());
  return true;
}

}  // namespace vexal
