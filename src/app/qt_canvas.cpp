#include "app/qt_canvas.h"

#include <algorithm>
#include <cmath>

#include "view/raster_line.h"

namespace vexal::app {

QColor ColorFromSetting(uint32_t value) {
  return QColor(static_cast<int>(value & 0xFF), static_cast<int>((value >> 8) & 0xFF),
                static_cast<int>((value >> 16) & 0xFF));
}

QtCanvas::QtCanvas(QImage& image) : image_(image), painter_(&image) {
  // Pixel-exact lines, as the window canvas draws them.
  painter_.setRenderHint(QPainter::Antialiasing, false);
}

void QtCanvas::setPen(uint32_t color, int width, PenMode mode) {
  // The renderer sets the pen before every element; most calls repeat it.
  if (penValid_ && color == penColor_ && width == penWidth_ && mode == mode_) return;
  penValid_ = true;
  penColor_ = color;
  penWidth_ = width;
  mode_ = mode;
  // Cosmetic pens take the raster engine's fast path for thin lines.
  QPen pen(mode == PenMode::kInvert ? QColor(Qt::white) : ColorFromSetting(color), width);
  pen.setCosmetic(true);
  painter_.setCompositionMode(mode == PenMode::kInvert ? QPainter::RasterOp_NotDestination
                                                       : QPainter::CompositionMode_SourceOver);
  painter_.setPen(pen);
}

void QtCanvas::fillRect(int left, int top, int right, int bottom, uint32_t color) {
  if (right <= left || bottom <= top) return;
  painter_.setCompositionMode(QPainter::CompositionMode_SourceOver);
  painter_.fillRect(QRect(left, top, right - left, bottom - top), ColorFromSetting(color));
  if (mode_ == PenMode::kInvert) painter_.setCompositionMode(QPainter::RasterOp_NotDestination);
}

void QtCanvas::frameRect(int left, int top, int right, int bottom, uint32_t color) {
  if (right <= left || bottom <= top) return;
  const QPen saved = painter_.pen();
  painter_.setCompositionMode(QPainter::CompositionMode_SourceOver);
  painter_.setPen(QPen(ColorFromSetting(color), 1));
  painter_.setBrush(Qt::NoBrush);
  painter_.drawRect(QRect(left, top, right - left - 1, bottom - top - 1));
  painter_.setPen(saved);
  penValid_ = false;
  if (mode_ == PenMode::kInvert) painter_.setCompositionMode(QPainter::RasterOp_NotDestination);
}

void QtCanvas::line(int x0, int y0, int x1, int y1) {
  if (penWidth_ == 1 && (image_.format() == QImage::Format_RGB32 ||
                         image_.format() == QImage::Format_ARGB32)) {
    thinLine(x0, y0, x1, y1);
    return;
  }
  // Far-off points of a perspective view can project to huge coordinates;
  // keep them within what the rasteriser handles.
  auto clampCoordinate = [](int v) { return std::clamp(v, -1000000, 1000000); };
  painter_.drawLine(clampCoordinate(x0), clampCoordinate(y0), clampCoordinate(x1),
                    clampCoordinate(y1));
}

// One-pixel lines straight into the image: the common case, and the one a
// model's thousands of edges need fast.
void QtCanvas::thinLine(int x0, int y0, int x1, int y1) {
  uchar* bits = image_.bits();
  const qsizetype stride = image_.bytesPerLine();
  const uint32_t pixel = 0xFF000000u | static_cast<uint32_t>(ColorFromSetting(penColor_).rgb());
  const bool invert = mode_ == PenMode::kInvert;
  ForEachLinePixel(x0, y0, x1, y1, {0, 0, image_.width(), image_.height()}, [&](int x, int y) {
    auto* target = reinterpret_cast<uint32_t*>(bits + y * stride) + x;
    *target = invert ? (*target ^ 0x00FFFFFFu) : pixel;
  });
}

}  // namespace vexal::app
