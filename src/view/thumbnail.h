// Preview pictures for file managers: a model drawn twice, over black and
// over white, gives every pixel its colour and its coverage, so the preview
// can stand on a transparent background; then it is cut to the model.
#pragma once

#include "images/image.h"

namespace vexal {

// The RGBA picture of a frame drawn over black and the same frame over
// white (both 3-channel, same size): where the two agree the model covers
// the pixel fully; where they differ by the whole range it is background
// (alpha 0); in between it is partly covered (a see-through material), and
// the colour is the one over black divided by the coverage. Empty when the
// two frames do not match in size or channels.
NImage MatteFromBlackAndWhite(const NImage& overBlack, const NImage& overWhite);

// The smallest rectangle holding every pixel of an RGBA image whose alpha
// is not 0; empty when there is none.
NRect OpaqueBounds(const NImage& rgba);

// The part of image inside area (clipped to the image), as a new image of
// the same channels; empty when nothing is left.
NImage CropImage(const NImage& image, const NRect& area);

}  // namespace vexal
