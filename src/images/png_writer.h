// PNG encoding of an NImage, for the command-line tool and the viewer's
// export.
#pragma once

#include <string>

#include "images/image.h"

namespace vexal {

// Encodes image as an 8-bit PNG: 1 channel with a palette as an indexed PNG
// (with a transparency chunk for 4-byte palettes), 1 or 2 channels without a
// palette as grey / grey+alpha, 3 as RGB, 4 as RGBA. Indexed images with
// alpha (2 channels with a palette) are written expanded to RGBA. False with
// a reason on an empty image or an encoder error.
bool EncodePng(const NImage& image, std::string& out, std::string* reason);

}  // namespace vexal
