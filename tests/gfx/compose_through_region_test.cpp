// ComposeThroughRegion must give exactly what copying the background and then drawing the
// foreground through the region gives, for regions reaching outside the bitmap, empty ones and
// regions of many bands and boxes.
#include <gtest/gtest.h>

#include "core/random.h"
#include "gfx/draw.h"
#include "gfx/region.h"
#include "noise_bitmap.h"

namespace tovrin {
namespace {

using test::NoiseBitmap;

// ComposeThroughRegion against the background copied whole and the foreground drawn through the
// region, on a dest holding something else first; the two pictures are noise from seed.
::testing::AssertionResult ComposesLikeTwoDraws(int32_t w, int32_t h, uint32_t seed,
                                                const TRegion& region) {
  const TBitmap background = NoiseBitmap(w, h, 2 * seed),
                foreground = NoiseBitmap(w, h, 2 * seed + 1);
  TBitmap expected(background.Width(), background.Height());
  Draw(expected, 0, 0, background);
  DrawClipped(expected, 0, 0, foreground, region);
  TBitmap actual(background.Width(), background.Height());
  actual.Fill(0x123456);  // whatever was there before must not show through
  ComposeThroughRegion(actual, background, foreground, region);
  if (actual == expected) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << region.Rects().size() << " boxes";
}

TEST(ComposeThroughRegionTest, SameAsBackgroundThenClippedForeground) {
  TRandom random(2024);
  for (int round = 0; round < 300; ++round) {
    const int32_t w = 1 + random.Next(70), h = 1 + random.Next(50);
    TRegion region;
    const int shapes = random.Next(12);
    for (int i = 0; i < shapes; ++i) {
      const int32_t l = random.Next(w + 20) - 10, t = random.Next(h + 20) - 10;
      const TRegion shape =
          random.Next(3) == 0
              ? TRegion::CreateRoundRectRgn(l, t, l + random.Next(40), t + random.Next(40), 9, 7)
              : TRegion::CreateRectRgn(l, t, l + random.Next(30), t + random.Next(30));
      region = TRegion::Combine(region, shape,
                                random.Next(4) == 0 ? TCombineMode::RGN_XOR : TCombineMode::RGN_OR);
    }
    ASSERT_TRUE(ComposesLikeTwoDraws(w, h, round, region))
        << "round " << round << ", " << w << " x " << h;
  }
}

// Combs of narrow boxes (down to one pixel, some touching the edges) on rows wide enough for the
// vector paths, with their tails of every length.
TEST(ComposeThroughRegionTest, ManyNarrowBoxesPerBand) {
  TRandom random(77);
  for (int round = 0; round < 200; ++round) {
    const int32_t w = 1 + random.Next(300), h = 1 + random.Next(30);
    TRegion region;
    const int32_t period = 2 + random.Next(12);
    const int32_t width = 1 + random.Next(period - 1);
    const int32_t phase = random.Next(period) - period / 2;
    for (int32_t band = 0; band < h; band += 1 + random.Next(6)) {
      const int32_t shift = random.Next(3);
      for (int32_t x = phase + shift; x < w + period; x += period) {
        region = TRegion::Combine(
            region, TRegion::CreateRectRgn(x, band, x + width, band + 1 + random.Next(4)),
            TCombineMode::RGN_OR);
      }
    }
    ASSERT_TRUE(ComposesLikeTwoDraws(w, h, 1000 + round, region))
        << "round " << round << ", " << w << " x " << h << ", period " << period << ", width "
        << width;
  }
}

}  // namespace
}  // namespace tovrin
