// The arithmetic of the image viewer window: zoom levels, displayed and
// client sizes, the caption and the alpha view, independent of widgets.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "images/image.h"

namespace vexal {

inline constexpr int kViewerLevels = 9;
inline constexpr int kViewerDefaultLevel = 3;
// 0.25, 0.5, 0.75, 1, 1.5, 2, 4, 6, 8.
double ViewerZoomFactor(int level);

struct ViewerSize {
  int width = 0;
  int height = 0;
};
// trunc(size x factor) of the level.
ViewerSize ViewerDisplayedSize(int imageWidth, int imageHeight, int level);
// The client area for a displayed size: at least 144 x 80, at most
// 784 x 528, otherwise 16 pixels larger than the view.
ViewerSize ViewerClientSize(ViewerSize displayed);

// "<path> [ <w>x<h> ] (8 bit)" (24 / 32 bit for 3 and 4 channels).
std::string ViewerCaption(const std::string& path, const NImage& image);

// The alpha channel as grey bytes (width x height), or empty when the image
// has none: a 4-byte palette, a second channel or a fourth channel.
std::vector<uint8_t> ViewerAlphaPlane(const NImage& image);
// The colour view as R G B bytes (width x height x 3), palettes expanded.
std::vector<uint8_t> ViewerColorPlane(const NImage& image);

}  // namespace vexal
