#include "app/qt_canvas.h"

#include <algorithm>
#include <cmath>

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
// model's thousands of edges need fast. The line is clipped to the image
// first, then stepped like GDI's LineTo: every pixel but the last.
void QtCanvas::thinLine(int x0, int y0, int x1, int y1) {
  const double width = image_.width();
  const double height = image_.height();
  const double dx = static_cast<double>(x1) - x0;
  const double dy = static_cast<double>(y1) - y0;
  const double steps = std::max(std::fabs(dx), std::fabs(dy));
  if (steps == 0) return;
  // Clip the parameter range [0, 1) to the pixels inside the image.
  double t0 = 0.0, t1 = 1.0;
  auto clip = [&](double p, double q) {
    if (p == 0) return q >= 0;
    const double r = q / p;
    if (p < 0) {
      if (r > t1) return false;
      if (r > t0) t0 = r;
    } else {
      if (r < t0) return false;
      if (r < t1) t1 = r;
    }
    return true;
  };
  if (!clip(-dx, x0 + 0.5) || !clip(dx, width - 0.5 - x0) || !clip(-dy, y0 + 0.5) ||
      !clip(dy, height - 0.5 - y0)) {
    return;
  }
  const long long first = static_cast<long long>(std::ceil(t0 * steps));
  long long last = static_cast<long long>(std::floor(t1 * steps));
  if (last >= static_cast<long long>(steps)) last = static_cast<long long>(steps) - 1;
  const double stepX = dx / steps;
  const double stepY = dy / steps;
  uchar* bits = image_.bits();
  const qsizetype stride = image_.bytesPerLine();
  const int w = image_.width();
  const int h = image_.height();
  const uint32_t pixel = 0xFF000000u | static_cast<uint32_t>(ColorFromSetting(penColor_).rgb());
  // Fixed-point stepping (16 fractional bits) from the first pixel inside.
  constexpr double kOne = 65536.0;
  int64_t fx = std::llround((x0 + stepX * static_cast<double>(first)) * kOne) + 32768;
  int64_t fy = std::llround((y0 + stepY * static_cast<double>(first)) * kOne) + 32768;
  const int64_t ix = std::llround(stepX * kOne);
  const int64_t iy = std::llround(stepY * kOne);
  const bool invert = mode_ == PenMode::kInvert;
  for (long long i = first; i <= last; ++i, fx += ix, fy += iy) {
    const int64_t x = fx >> 16;
    const int64_t y = fy >> 16;
    if (x < 0 || y < 0 || x >= w || y >= h) continue;
    auto* target = reinterpret_cast<uint32_t*>(bits + y * stride) + x;
    *target = invert ? (*target ^ 0x00FFFFFFu) : pixel;
  }
}

}  // namespace vexal::app
