#include "picshow/styles/pixel_drawing.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "core/random.h"
#include "noise_bitmap.h"

namespace tovrin {
namespace {

using test::NoiseBitmap;

TBitmap Solid(int32_t w, int32_t h, uint8_t value) {
  TBitmap b(w, h);
  for (int32_t y = 0; y < h; ++y) std::fill_n(b.ScanLine(y), 3 * w, value);
  return b;
}

TEST(CrossFadeTest, MultiplyShiftDividesByAHundredForEveryProduct) {
  for (uint32_t v = 0; v <= 25500; ++v) ASSERT_EQ(Div100(static_cast<uint16_t>(v)), v / 100) << v;
}

TEST(CrossFadeTest, OneMultiplyGivesEveryShareOfEveryWeight) {
  for (uint32_t w = 1; w <= 99; ++w) {
    const uint32_t factor = ShareFactor(static_cast<uint16_t>(w));
    for (uint32_t m = 0; m <= 255; ++m) ASSERT_EQ((m * factor) >> 16, m * w / 100) << m << " " << w;
  }
}

TEST(CrossFadeTest, EveryByteIsTheSumOfTwoTruncatedShares) {
  // 37 pixels wide: 111 bytes a row, so the blocks of 16 leave a tail, and rows carry padding.
  const TBitmap old = NoiseBitmap(37, 23, 1);
  const TBitmap pic = NoiseBitmap(37, 23, 2);
  for (int32_t p = 0; p <= 100; ++p) {
    TBitmap media = old;
    BlendFrame(media, pic, p);
    for (int32_t y = 0; y < 23; ++y) {
      for (int32_t i = 0; i < 111; ++i) {
        const int m = old.ScanLine(y)[i], q = pic.ScanLine(y)[i];
        ASSERT_EQ(media.ScanLine(y)[i], ((100 - p) * m) / 100 + (q * p) / 100)
            << "P " << p << " row " << y << " byte " << i;
      }
      // Padding bytes are not pixels and stay as they were.
      for (size_t i = 111; i < media.Stride(); ++i) ASSERT_EQ(media.ScanLine(y)[i], 0);
    }
  }
}

TEST(CrossFadeTest, RowsOfEveryLengthAgainstThePlainFormula) {
  // Rows from 1 to 48 pixels cover every mix of 32-byte and 16-byte blocks and a byte tail.
  for (int32_t w = 1; w <= 48; ++w) {
    const TBitmap old = NoiseBitmap(w, 3, 20 + static_cast<uint32_t>(w)),
                  pic = NoiseBitmap(w, 3, 99);
    for (const int32_t p : {1, 37, 50, 99}) {
      TBitmap media = old;
      BlendFrame(media, pic, p);
      for (int32_t y = 0; y < 3; ++y) {
        for (int32_t i = 0; i < 3 * w; ++i) {
          const int m = old.ScanLine(y)[i], q = pic.ScanLine(y)[i];
          ASSERT_EQ(media.ScanLine(y)[i], ((100 - p) * m) / 100 + (q * p) / 100)
              << "width " << w << " P " << p << " row " << y << " byte " << i;
        }
      }
    }
  }
}

TEST(CrossFadeTest, HalfwayAndEndValues) {
  TBitmap media = Solid(5, 3, 255);
  BlendFrame(media, Solid(5, 3, 0), 50);
  EXPECT_EQ(media, Solid(5, 3, 127));
  media = Solid(5, 3, 1);
  BlendFrame(media, Solid(5, 3, 1), 50);
  EXPECT_EQ(media, Solid(5, 3, 0));  // both halves truncate to 0

  const TBitmap old = NoiseBitmap(641, 3, 3), pic = NoiseBitmap(641, 3, 4);
  media = old;
  BlendFrame(media, pic, 0);
  EXPECT_EQ(media, old);
  BlendFrame(media, pic, 100);
  EXPECT_EQ(media, pic);
  // A progress outside 0..100 is held at the nearer end rather than overflowing a byte.
  media = old;
  BlendFrame(media, pic, 250);
  EXPECT_EQ(media, pic);
}

double NearestEven(double v) {
  return std::nearbyint(v);
}
double HalfAwayFromZero(double v) {
  return std::round(v);
}

// The rotation computed the plain way: every product formed per pixel, rounded by `round`
// (nearbyint unless a test says otherwise).
void ReferenceRotate(TBitmap& target, const TBitmap& picture, int32_t cx, int32_t cy, double theta,
                     double (*round)(double) = NearestEven) {
  const double s = std::sin(theta), c = std::cos(theta);
  for (int32_t y = 0; y < picture.Height(); ++y) {
    for (int32_t x = 0; x < picture.Width(); ++x) {
      const double dx = x - cx, dy = y - cy;
      const long long u = std::llround(round(dx * c - dy * s)) + cx;
      const long long v = std::llround(round(dx * s + dy * c)) + cy;
      if (u < 0 || u >= target.Width() || v < 0 || v >= target.Height()) continue;
      std::copy_n(picture.ScanLine(static_cast<int32_t>(v)) + 3 * u, 3, target.ScanLine(y) + 3 * x);
    }
  }
}

TEST(SwingInTest, MatchesThePlainRotationAtEveryProgress) {
  for (const TPoint size : {TPoint{37, 23}, TPoint{23, 37}, TPoint{1, 1}, TPoint{64, 64}}) {
    const TBitmap old = NoiseBitmap(size.X, size.Y, 5), pic = NoiseBitmap(size.X, size.Y, 6);
    const TFrameExtents e = ComputeFrameExtents(size.X, size.Y, 0, 4);
    const TPoint pivots[] = {{-1, -1}, {-1, e.H}, {e.W, -1}, {e.W, e.H}};
    for (int32_t p = 0; p <= 100; ++p) {
      for (int k = 0; k < 4; ++k) {
        TBitmap got = old, want = old;
        TFrameExtents at = e;
        at.Progress = p;
        ComposePixelStyle(119 + k, got, pic, at);
        ReferenceRotate(want, pic, pivots[k].X, pivots[k].Y, SwingInAngle(p));
        ASSERT_EQ(got, want) << "style " << 119 + k << " at " << p << " on " << size.X << "x"
                             << size.Y;
      }
    }
  }
}

TEST(SwingInTest, RoundsHalvesToEven) {
  // Just above pi/6 the sine is exactly 0.5, so on the pivot's row (dy = 0) every odd dx puts v
  // on a half. Rounding those halves away from zero would pick other source rows.
  const double theta = std::nextafter(std::numbers::pi / 6, 1.0);
  ASSERT_EQ(std::sin(theta), 0.5);
  const TBitmap pic = NoiseBitmap(200, 120, 7);
  TBitmap got = Solid(200, 120, 0), want = got, awayFromZero = got;
  RotateFrame(got, pic, 3, 4, theta);
  ReferenceRotate(want, pic, 3, 4, theta);
  ReferenceRotate(awayFromZero, pic, 3, 4, theta, HalfAwayFromZero);
  EXPECT_EQ(got, want);
  EXPECT_NE(got, awayFromZero);
}

TEST(SwingInTest, StartShowsTheOldPictureAndEndTheNewOne) {
  EXPECT_NEAR(SwingInAngle(0), std::numbers::pi / 2, 1e-15);
  EXPECT_EQ(SwingInAngle(100), 0.0);
  for (const TPoint size : {TPoint{641, 481}, TPoint{300, 400}}) {
    const TBitmap old = NoiseBitmap(size.X, size.Y, 8), pic = NoiseBitmap(size.X, size.Y, 9);
    TFrameExtents e = ComputeFrameExtents(size.X, size.Y, 0, 4);
    TBitmap media = old;
    ComposePixelStyle(119, media, pic, e);  // every source point is at u = -y - 2
    EXPECT_EQ(media, old);
    e = ComputeFrameExtents(size.X, size.Y, 100, 4);
    for (int style = 119; style <= 122; ++style) {
      media = old;
      ComposePixelStyle(style, media, pic, e);
      EXPECT_EQ(media, pic) << style;
    }
  }
}

TEST(SwingInTest, AnyAngleAndPivotMatchesThePlainRotation) {
  // Angles of every quadrant and sign turn u and v up or down along a row, and pivots inside,
  // outside and far away put the copied run anywhere in the row, or nowhere. Rows wider than
  // the column strips the rotation works in split runs across strips.
  TRandom random(21);
  for (const TPoint size : {TPoint{37, 23}, TPoint{4, 4}, TPoint{1, 9}, TPoint{2, 5}, TPoint{3, 2},
                            TPoint{70, 3}, TPoint{1100, 17}}) {
    const TBitmap old = NoiseBitmap(size.X, size.Y, 22), pic = NoiseBitmap(size.X, size.Y, 23);
    for (int trial = 0; trial < 300; ++trial) {
      const double theta = (static_cast<double>(random.Next(20001)) - 10000.0) / 1000.0;
      const int32_t cx = static_cast<int32_t>(random.Next(3 * size.X + 1)) - size.X;
      const int32_t cy = static_cast<int32_t>(random.Next(3 * size.Y + 1)) - size.Y;
      TBitmap got = old, want = old;
      RotateFrame(got, pic, cx, cy, theta);
      ReferenceRotate(want, pic, cx, cy, theta);
      ASSERT_EQ(got, want) << theta << " about " << cx << "," << cy << " on " << size.X << "x"
                           << size.Y;
    }
  }
  // Pivots far outside: large products still round exactly, and the run is found or is empty.
  const TBitmap pic = NoiseBitmap(9, 7, 24);
  for (const int32_t c : {-1000000000, 1000000000}) {
    for (const double theta : {0.0, 1e-9, std::numbers::pi / 2, -std::numbers::pi / 4}) {
      TBitmap got = Solid(9, 7, 5), want = got;
      RotateFrame(got, pic, c, -c, theta);
      ReferenceRotate(want, pic, c, -c, theta);
      EXPECT_EQ(got, want) << c << " " << theta;
    }
  }
}

TEST(SwingInTest, WholePictureTurnedInPlaceKeepsEveryPixel) {
  // No padding at 4 pixels a row: the last source pixel ends the store, so copying it must not
  // read past it. Half a turn about the centre of a 4 x 4 picture maps it onto itself.
  const TBitmap pic = NoiseBitmap(4, 4, 25);
  ASSERT_EQ(pic.Stride(), 12u);
  TBitmap got = Solid(4, 4, 0);
  RotateFrame(got, pic, 2, 2, std::numbers::pi);
  for (int32_t y = 1; y < 4; ++y) {
    for (int32_t x = 1; x < 4; ++x) {
      EXPECT_EQ(got.Pixel(x, y), pic.Pixel(4 - x, 4 - y)) << x << "," << y;
    }
  }
  // Row 0 and column 0 turn onto row and column 4, outside the picture: they keep their black.
  for (int32_t i = 0; i < 4; ++i) {
    EXPECT_EQ(got.Pixel(i, 0), clBlack);
    EXPECT_EQ(got.Pixel(0, i), clBlack);
  }
}

TEST(PixelStylesTest, MismatchedBitmapsAreNeverReadOrWrittenOutside) {
  // Sizes that disagree compose only the common part; other formats are left alone.
  const TBitmap big = NoiseBitmap(40, 30, 10);
  TBitmap small = NoiseBitmap(7, 5, 11);
  const TBitmap smallBefore = small;
  BlendFrame(small, big, 100);
  for (int32_t y = 0; y < 5; ++y) {
    EXPECT_TRUE(std::equal(small.ScanLine(y), small.ScanLine(y) + 21, big.ScanLine(y)));
  }
  TBitmap media = big;
  RotateFrame(media, smallBefore, -1, -1, 0.3);
  BlendFrame(media, TBitmap(), 50);
  // Only the 7 x 5 corner they share may change.
  for (int32_t y = 0; y < 30; ++y) {
    const size_t from = y < 5 ? 21 : 0;
    EXPECT_TRUE(
        std::equal(media.ScanLine(y) + from, media.ScanLine(y) + 120, big.ScanLine(y) + from))
        << "row " << y;
  }
  TBitmap grey(8, 8, TPixelFormat::pf8bit);
  const TBitmap greyBefore = grey;
  BlendFrame(grey, NoiseBitmap(8, 8, 12), 50);
  RotateFrame(grey, NoiseBitmap(8, 8, 12), 0, 0, 1.0);
  EXPECT_EQ(grey, greyBefore);
  // A bitmap blended with itself stays itself (each share truncates, so only at the ends).
  TBitmap self = NoiseBitmap(9, 4, 13);
  const TBitmap selfBefore = self;
  BlendFrame(self, self, 100);
  EXPECT_EQ(self, selfBefore);
  // Other style numbers do nothing.
  media = big;
  ComposePixelStyle(117, media, small, ComputeFrameExtents(40, 30, 50, 4));
  EXPECT_EQ(media, big);
}

}  // namespace
}  // namespace tovrin
