// The three pictures the engine shows in place of others, all 16 x 16 and drawn here rather than loaded from
// files: the default picture (a globe: the image is still to come, or images are switched off), the error
// picture (a yellow square with a black exclamation mark: loading failed) and the error picture's mask (a
// rounded square). Made once, on first use, and shared by every document.
#pragma once

#include "images/Image.h"

namespace lantern {

const TBitmap& DefaultBitmap();
const TBitmap& ErrorBitmap();
const platform::Mask& ErrorBitmapMask();

// True for the default and the error picture.
bool IsPlaceholder(const TImage* image);

} // namespace lantern
