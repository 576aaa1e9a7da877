// Filtered scaling of whole pictures (StretchDrawGraphic).
#include <gtest/gtest.h>

#include <cstdlib>

#include "gfx/draw.h"
#include "gfx/stretch.h"

namespace tovrin {
namespace {

TBitmap Solid(int w, int h, TColor c) {
  TBitmap b(w, h);
  b.Fill(c);
  return b;
}

TEST(StretchDrawGraphic, OneToOneIsAnExactCopy) {
  TBitmap src(7, 5);
  for (int y = 0; y < 5; ++y) {
    for (int x = 0; x < 7; ++x) src.SetPixel(x, y, RGB(uint8_t(x * 30), uint8_t(y * 50), 77));
  }
  TBitmap a(10, 10), b(10, 10);
  StretchDrawGraphic(a, {2, 3, 9, 8}, src);
  Draw(b, 2, 3, src);
  EXPECT_EQ(a, b);
}

TEST(StretchDrawGraphic, FlatColourStaysFlatAtAnyScale) {
  const TBitmap src = Solid(13, 9, RGB(10, 128, 250));
  for (const TRect& r : {TRect{0, 0, 5, 3}, TRect{0, 0, 40, 31}, TRect{0, 0, 1, 1},
                         TRect{0, 0, 13, 40}, TRect{0, 0, 2, 9}}) {
    TBitmap dest(r.Right, r.Bottom);
    StretchDrawGraphic(dest, r, src);
    for (int y = 0; y < r.Bottom; ++y) {
      for (int x = 0; x < r.Right; ++x)
        ASSERT_EQ(dest.Pixel(x, y), RGB(10, 128, 250)) << x << "," << y;
    }
  }
}

TEST(StretchDrawGraphic, ShrinkingAveragesAreas) {
  // A one-pixel checkerboard halved is an even grey; thirds of 0/255 stripes average out.
  TBitmap checker(8, 8);
  for (int y = 0; y < 8; ++y) {
    for (int x = 0; x < 8; ++x) checker.SetPixel(x, y, (x + y) % 2 ? clWhite : clBlack);
  }
  TBitmap half(4, 4);
  StretchDrawGraphic(half, {0, 0, 4, 4}, checker);
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 4; ++x) EXPECT_NEAR(GetGValue(half.Pixel(x, y)), 128, 1);
  }
  TBitmap stripes(6, 1);
  for (int x = 0; x < 6; ++x) stripes.SetPixel(x, 0, x % 3 == 0 ? clWhite : clBlack);
  TBitmap third(2, 1);
  StretchDrawGraphic(third, {0, 0, 2, 1}, stripes);
  EXPECT_NEAR(GetRValue(third.Pixel(0, 0)), 85, 1);
  EXPECT_NEAR(GetRValue(third.Pixel(1, 0)), 85, 1);
}

TEST(StretchDrawGraphic, EnlargingInterpolatesMonotonically) {
  TBitmap ramp(2, 1);
  ramp.SetPixel(0, 0, clBlack);
  ramp.SetPixel(1, 0, clWhite);
  TBitmap wide(10, 1);
  StretchDrawGraphic(wide, {0, 0, 10, 1}, ramp);
  EXPECT_EQ(wide.Pixel(0, 0), clBlack);
  EXPECT_EQ(wide.Pixel(9, 0), clWhite);
  for (int x = 1; x < 10; ++x) {
    EXPECT_GE(GetRValue(wide.Pixel(x, 0)), GetRValue(wide.Pixel(x - 1, 0))) << x;
  }
  EXPECT_NEAR(GetRValue(wide.Pixel(5, 0)), 140, 20);
}

TEST(StretchDrawGraphic, ClippedAndEmptyCases) {
  const TBitmap src = Solid(4, 4, clWhite);
  TBitmap dest(6, 6);
  StretchDrawGraphic(dest, {-10, -10, 3, 3}, src);  // only the part inside dest is drawn
  EXPECT_EQ(dest.Pixel(2, 2), clWhite);
  EXPECT_EQ(dest.Pixel(3, 3), clBlack);
  TBitmap untouched(6, 6);
  StretchDrawGraphic(untouched, {8, 8, 20, 20}, src);
  StretchDrawGraphic(untouched, {4, 4, 2, 2}, src);
  StretchDrawGraphic(untouched, {0, 0, 6, 6}, TBitmap{});
  EXPECT_EQ(untouched, TBitmap(6, 6));
}

TEST(StretchDrawGraphic, EightBitSourceThroughPalette) {
  TBitmap grey(3, 3, TPixelFormat::pf8bit);
  grey.Palette()[0] = TPaletteEntry{40, 40, 40};
  TBitmap dest(9, 9);
  StretchDrawGraphic(dest, {0, 0, 9, 9}, grey);
  EXPECT_EQ(dest.Pixel(4, 4), RGB(40, 40, 40));
}

}  // namespace
}  // namespace tovrin
