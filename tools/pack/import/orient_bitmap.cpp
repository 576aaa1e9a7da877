#include "orient_bitmap.h"

#include <cstddef>

namespace tovrin {

namespace {

// Upright pixel (x, y) comes from the stored pixel found by swapping x and y (when Swap), then
// counting x from the right (FlipX) and y from the bottom (FlipY) of the stored picture.
struct TOrientationMap {
  bool Swap;
  bool FlipX;
  bool FlipY;
};

constexpr TOrientationMap kMaps[9] = {
    {false, false, false},  // 0: not an orientation, kept as stored
    {false, false, false},  // 1
    {false, true, false},   // 2
    {false, true, true},    // 3
    {false, false, true},   // 4
    {true, false, false},   // 5
    {true, false, true},    // 6
    {true, true, true},     // 7
    {true, true, false},    // 8
};

}  // namespace

bool OrientationSwapsSides(int orientation) {
  return orientation >= 5 && orientation <= 8;
}

TBitmap OrientBitmap(const TBitmap& stored, int orientation) {
  const TOrientationMap map = kMaps[orientation >= 1 && orientation <= 8 ? orientation : 0];
  const int32_t sw = stored.Width(), sh = stored.Height();
  const int32_t w = map.Swap ? sh : sw, h = map.Swap ? sw : sh;
  TBitmap upright(w, h, stored.PixelFormat());
  upright.Palette() = stored.Palette();
  if (upright.Empty()) return upright;
  const int bpp = stored.BytesPerPixel();
  const auto stride = static_cast<ptrdiff_t>(stored.Stride());
  const uint8_t* bits = stored.Bits();
  for (int32_t y = 0; y < h; ++y) {
    // Walk the stored picture from the pixel that lands at (0, y): along a stored row when the
    // sides stay, down a stored column when they swap.
    int32_t sx = map.Swap ? y : 0, sy = map.Swap ? 0 : y;
    if (map.FlipX) sx = sw - 1 - sx;
    if (map.FlipY) sy = sh - 1 - sy;
    ptrdiff_t at = sy * stride + ptrdiff_t{sx} * bpp;
    ptrdiff_t step = map.Swap ? stride : bpp;
    if (map.Swap ? map.FlipY : map.FlipX) step = -step;
    uint8_t* out = upright.ScanLine(y);
    if (bpp == 3) {
      for (int32_t x = 0; x < w; ++x, at += step, out += 3) {
        out[0] = bits[at];
        out[1] = bits[at + 1];
        out[2] = bits[at + 2];
      }
    } else {
      for (int32_t x = 0; x < w; ++x, at += step) out[x] = bits[at];
    }
  }
  return upright;
}

}  // namespace tovrin
