// Unscaled bitmap drawing: the Draw(x, y, bitmap) of a canvas, with and without a region clip.
//
// Both functions copy src at its own size with its top-left corner at (x, y) of dest and draw
// only what falls inside dest (and inside the clip region). Formats:
//   pf24bit -> pf24bit   bytes copied
//   pf8bit  -> pf24bit   each index resolved through src's palette
//   pf8bit  -> pf8bit    indices copied (dest keeps its own palette)
//   pf24bit -> pf8bit    not supported: asserts in debug builds, draws nothing otherwise
// Neither function allocates or fails; empty bitmaps and empty overlaps draw nothing.
#pragma once

#include <cstdint>

#include "gfx/bitmap.h"

namespace tovrin {

class TRegion;

void Draw(TBitmap& dest, int32_t x, int32_t y, const TBitmap& src);

// As Draw, limited to the pixels of dest that lie inside clip (in dest coordinates).
void DrawClipped(TBitmap& dest, int32_t x, int32_t y, const TBitmap& src, const TRegion& clip);

// dest becomes background with foreground drawn over it inside region, in one pass over the rows:
// the same pixels as Draw(dest, 0, 0, background) followed by DrawClipped(dest, 0, 0, foreground,
// region), without writing the whole of dest twice. All three are pf24bit bitmaps of one size.
void ComposeThroughRegion(TBitmap& dest, const TBitmap& background, const TBitmap& foreground,
                          const TRegion& region);

}  // namespace tovrin
