// Shrinking a bitmap with a box filter: every output pixel is the average of the source area it
// covers, partly covered source pixels counted by the share they cover.
//
//   source row   |  0  |  1  |  2  |  3  |  4  |        5 source pixels to 2 output pixels:
//   output row   |     0     ^     1     |        output 0 = (p0 + p1 + p2 / 2) / 2.5
//
// Each source pixel is dw units wide and each output pixel sw units, so an output pixel covers
// exactly sw units of source and the weights are whole numbers. Columns are summed first, then
// rows, and the result is rounded once, at the end.
#pragma once

#include <cstdint>

#include "gfx/bitmap.h"

namespace tovrin {

// A width x height copy of `source` (1 <= width <= source.Width(), likewise height). pf24bit
// filters each channel; pf8bit filters the bytes as grey levels and keeps the palette, so it is
// meant for grey pictures with an ordered grey palette.
TBitmap BoxDownscale(const TBitmap& source, int32_t width, int32_t height);

}  // namespace tovrin
