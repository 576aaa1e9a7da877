// The style gallery's strips: frames of one transition side by side, composed by the engine's own
// frame composer, for the page to animate by shifting the strip.
#pragma once

#include <cstdint>

#include "gfx/bitmap.h"

namespace tovrin {

// `frames` (1 or more) frames of `style` (0 to 127) from oldPic to newPic (24-bit, of one size)
// at evenly spaced progress from 0 to 100 (one frame: 100), left to right.
TBitmap ComposeStyleStrip(const TBitmap& oldPic, const TBitmap& newPic, int32_t style,
                          int32_t frames);

// Two plain pictures of width x height for a gallery without two photos of the user's: a dark
// blue and a light orange ground, each with a diagonal band of the other's colour, so that every
// style's shape shows.
TBitmap PlainPicture(int32_t width, int32_t height, bool second);

}  // namespace tovrin
