// Turning and mirroring a bitmap as an EXIF orientation asks, so that it shows upright.
//
//   1 as stored        2 mirrored          3 turned 180        4 upside down
//   5 transposed       6 turned 90 right   7 transversed       8 turned 90 left
//
// Orientations 5 to 8 swap width and height.
#pragma once

#include <cstdint>

#include "gfx/bitmap.h"

namespace tovrin {

// True for the orientations that swap width and height (5 to 8).
bool OrientationSwapsSides(int orientation);

// The upright picture of `stored` under the EXIF orientation (1 to 8; other values give a copy).
// The pixel format and palette are kept.
TBitmap OrientBitmap(const TBitmap& stored, int orientation);

}  // namespace tovrin
