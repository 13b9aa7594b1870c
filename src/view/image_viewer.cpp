#include "view/image_viewer.h"

namespace vexal {

double ViewerZoomFactor(int level) {
  static constexpr double kFactors[kViewerLevels] = {0.25, 0.5, 0.75, 1.0, 1.5, 2.0, 4.0, 6.0, 8.0};
  if (level < 0) level = 0;
  if (level >= kViewerLevels) level = kViewerLevels - 1;
  return kFactors[level];
}

ViewerSize ViewerDisplayedSize(int imageWidth, int imageHeight, int level) {
  const double factor = ViewerZoomFactor(level);
  return {static_cast<int>(imageWidth * factor), static_cast<int>(imageHeight * factor)};
}

ViewerSize ViewerClientSize(ViewerSize displayed) {
  ViewerSize client;
  if (displayed.width <= 127) {
    client.width = 144;
  } else if (displayed.width < 769) {
    client.width = displayed.width + 16;
  } else {
    client.width = 784;
  }
  if (displayed.height <= 63) {
    client.height = 80;
  } else if (displayed.height < 513) {
    client.height = displayed.height + 16;
  } else {
    client.height = 528;
  }
  return client;
}

std::string ViewerCaption(const std::string& path, const NImage& image) {
  const char* depth = image.channels <= 2 ? "(8 bit)" : image.channels == 3 ? "(24 bit)" : "(32 bit)";
  return path + " [ " + std::to_string(image.width) + "x" + std::to_string(image.height) + " ] " +
         depth;
}

std::vector<uint8_t> ViewerAlphaPlane(const NImage& image) {
  const size_t count = static_cast<size_t>(image.width) * static_cast<size_t>(image.height);
  std::vector<uint8_t> alpha;
  if (image.channels == 1 && image.paletteChannels == 4) {
    alpha.resize(count);
    for (size_t i = 0; i < count; ++i) {
      const int index = image.pixels[i];
      alpha[i] = index < image.paletteCount ? image.palette[static_cast<size_t>(index) * 4 + 3] : 255;
    }
  } else if (image.channels == 2 || image.channels == 4) {
    alpha.resize(count);
    const int stride = image.channels;
    for (size_t i = 0; i < count; ++i) alpha[i] = image.pixels[i * stride + stride - 1];
  }
  return alpha;
}

std::vector<uint8_t> ViewerColorPlane(const NImage& image) {
  const size_t count = static_cast<size_t>(image.width) * static_cast<size_t>(image.height);
  std::vector<uint8_t> rgb(count * 3, 0);
  const int stride = image.channels;
  for (size_t i = 0; i < count; ++i) {
    if (stride <= 2) {
      const int index = image.pixels[i * stride];
      if (index < image.paletteCount) {
        const uint8_t* entry = image.palette.data() + static_cast<size_t>(index) * image.paletteChannels;
        rgb[i * 3] = entry[0];
        rgb[i * 3 + 1] = entry[1];
        rgb[i * 3 + 2] = entry[2];
      }
    } else {
      rgb[i * 3] = image.pixels[i * stride];
      rgb[i * 3 + 1] = image.pixels[i * stride + 1];
      rgb[i * 3 + 2] = image.pixels[i * stride + 2];
    }
  }
  return rgb;
}

}  // namespace vexal
