// Copying our bitmaps (B, G, R bytes, or palette indices) into a display's 32-bit pixels, the
// one conversion presentation needs on the way to the screen.
#pragma once

#include <cstddef>
#include <cstdint>

#include "gfx/bitmap.h"

namespace tovrin {

// Writes the width x height block of src whose top-left is (srcX, srcY) to dst as 32-bit
// pixels 0xFFRRGGBB (B, G, R, 255 in memory: X11's usual 24-bit TrueColor), dstPitch bytes
// from row to row. The block must lie inside src. 8-bit bitmaps go through their palette.
void CopyToXrgb32(const TBitmap& src, int32_t srcX, int32_t srcY, int32_t width, int32_t height,
                  uint8_t* dst, size_t dstPitch);

}  // namespace tovrin
