// The software renderer's canvas on a QImage: solid and inverting pens.
#pragma once

#include <QImage>
#include <QPainter>

#include "view/canvas.h"

namespace vexal::app {

// 0x00BBGGRR (red in the low byte) to a QColor.
QColor ColorFromSetting(uint32_t value);

class QtCanvas : public Canvas {
 public:
  explicit QtCanvas(QImage& image);
  int width() const override { return image_.width(); }
  int height() const override { return image_.height(); }
  void setPen(uint32_t color, int width, PenMode mode) override;
  void fillRect(int left, int top, int right, int bottom, uint32_t color) override;
  void frameRect(int left, int top, int right, int bottom, uint32_t color) override;
  void line(int x0, int y0, int x1, int y1) override;

 private:
  void thinLine(int x0, int y0, int x1, int y1);

  QImage& image_;
  QPainter painter_;
  PenMode mode_ = PenMode::kCopy;
  bool penValid_ = false;
  uint32_t penColor_ = 0;
  int penWidth_ = 1;
};

}  // namespace vexal::app
