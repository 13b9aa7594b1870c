// The drawing surface a document window gives the software renderer: the
// few pen and brush operations it needs. Colours are 0x00BBGGRR (red in the
// low byte), as stored in the settings file.
#pragma once

#include <cstdint>

namespace vexal {

enum class PenMode { kCopy, kInvert };

class Canvas {
 public:
  virtual ~Canvas() = default;
  virtual int width() const = 0;
  virtual int height() const = 0;
  virtual void setPen(uint32_t color, int width, PenMode mode) = 0;
  // Fills [left, right) x [top, bottom) with a solid colour.
  virtual void fillRect(int left, int top, int right, int bottom, uint32_t color) = 0;
  // A one-pixel frame just inside [left, right) x [top, bottom).
  virtual void frameRect(int left, int top, int right, int bottom, uint32_t color) = 0;
  // A line with the current pen; the end pixel is left out, as with GDI.
  virtual void line(int x0, int y0, int x1, int y1) = 0;
};

}  // namespace vexal
