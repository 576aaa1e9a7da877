// Test pictures of one colour, and a check that a rectangle of a bitmap holds one colour: enough
// to tell which picture a pixel of a composed frame came from.
#pragma once

#include <cstdint>

#include "gfx/bitmap.h"
#include "gfx/color.h"
#include "gfx/rect.h"

namespace tovrin::test {

inline constexpr TColor kRed = RGB(255, 0, 0);
inline constexpr TColor kBlue = RGB(0, 0, 255);
inline constexpr TColor kGreen = RGB(0, 255, 0);
inline constexpr TColor kGrey = RGB(128, 128, 128);
inline constexpr TColor kYellow = RGB(255, 255, 0);

inline TBitmap Solid(int32_t w, int32_t h, TColor color) {
  TBitmap b(w, h);
  b.Fill(color);
  return b;
}

// True when every pixel of the rectangle r of b has the colour c.
inline bool AllPixels(const TBitmap& b, const TRect& r, TColor c) {
  for (int32_t y = r.Top; y < r.Bottom; ++y) {
    for (int32_t x = r.Left; x < r.Right; ++x) {
      if (b.Pixel(x, y) != c) return false;
    }
  }
  return true;
}

}  // namespace tovrin::test
