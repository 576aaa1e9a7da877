// The blurred backdrop: the picture's colours where they were, without its detail, darkened.
#include "gfx/blurred_backdrop.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

namespace tovrin {
namespace {

// Vertical stripes period wide, half red, half green.
TBitmap Stripes(int32_t width, int32_t height, int32_t period) {
  TBitmap b(width, height);
  for (int32_t y = 0; y < height; ++y) {
    for (int32_t x = 0; x < width; ++x) {
      b.SetPixel(x, y, (x % period) < period / 2 ? TColor{0x1020E0} : TColor{0x40C020});
    }
  }
  return b;
}

uint8_t Red(const TBitmap& b, int32_t x, int32_t y) {
  return b.ScanLine(y)[x * 3 + 2];
}

TEST(BlurredBackdrop, StripesVanishButTheColoursStay) {
  // A portrait picture of 32-pixel stripes behind a 640 x 480 frame: without the blur the
  // enlarged copy would still swing between the two reds across each stripe. Towards the sides
  // the colour of the picture's own edge (red on the left, green on the right) rightly weighs
  // more, so the evenness is measured across the middle half.
  const TBitmap picture = Stripes(160, 480, 32);
  TBitmap frame(640, 480);
  DrawBlurredBackdrop(frame, picture);
  int most = 0;
  for (int32_t y = 0; y < 480; y += 7) {
    int low = 255;
    int high = 0;
    for (int32_t x = 0; x < 640; ++x) {
      if (x >= 160 && x < 480) {
        low = std::min<int>(low, Red(frame, x, y));
        high = std::max<int>(high, Red(frame, x, y));
      }
      if (x > 0) most = std::max(most, std::abs(Red(frame, x, y) - Red(frame, x - 1, y)));
    }
    // The mean red is (0xE0 + 0x20) / 2 = 128, darkened to 128 * 140 / 256 = 70.
    EXPECT_LT(high - low, 16) << "row " << y;
    EXPECT_NEAR((low + high) / 2, 70, 10) << "row " << y;
  }
  EXPECT_LE(most, 2);
}

TEST(BlurredBackdrop, FlatPictureGivesItsDarkenedColourEverywhere) {
  struct TCase {
    int32_t picW, picH, frameW, frameH;
  };
  const TCase cases[] = {{30, 90, 200, 100}, {300, 20, 64, 48}, {1, 1, 33, 17}, {5, 5, 1, 1}};
  for (const TCase& c : cases) {
    SCOPED_TRACE(std::to_string(c.picW) + "x" + std::to_string(c.picH) + " in " +
                 std::to_string(c.frameW) + "x" + std::to_string(c.frameH));
    TBitmap picture(c.picW, c.picH);
    picture.Fill(TColor{0x4080F0});  // red F0, green 80, blue 40
    TBitmap frame(c.frameW, c.frameH);
    DrawBlurredBackdrop(frame, picture);
    for (int32_t y = 0; y < c.frameH; ++y) {
      for (int32_t x = 0; x < c.frameW; ++x) {
        const uint8_t* p = frame.ScanLine(y) + x * 3;
        ASSERT_NEAR(p[2], (0xF0 * kBackdropBrightness + 128) >> 8, 1) << x << "," << y;
        ASSERT_NEAR(p[1], (0x80 * kBackdropBrightness + 128) >> 8, 1) << x << "," << y;
        ASSERT_NEAR(p[0], (0x40 * kBackdropBrightness + 128) >> 8, 1) << x << "," << y;
      }
    }
  }
}

TEST(BlurredBackdrop, BoxBlurSpreadsAPointEvenlyAndKeepsEdges) {
  TBitmap b(9, 1);
  b.SetPixel(4, 0, TColor{0x0000FF});  // red 255 in the middle
  BoxBlur(b, 1, 1);
  // A 3-pixel mean: 85 on the point and its two neighbours, nothing further.
  const int expected[9] = {0, 0, 0, 85, 85, 85, 0, 0, 0};
  for (int32_t x = 0; x < 9; ++x) EXPECT_EQ(Red(b, x, 0), expected[x]) << x;
  // At an edge the end pixel repeats: a bright first pixel weighs twice in its own window.
  TBitmap edge(5, 1);
  edge.SetPixel(0, 0, TColor{0x0000FF});
  BoxBlur(edge, 1, 1);
  EXPECT_EQ(Red(edge, 0, 0), 170);
  EXPECT_EQ(Red(edge, 1, 0), 85);
  EXPECT_EQ(Red(edge, 2, 0), 0);
}

}  // namespace
}  // namespace tovrin
