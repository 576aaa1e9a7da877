#include "picshow/styles/geometric_regions.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <vector>

#include "core/random.h"
#include "gfx/muldiv.h"
#include "gfx/region_shape_union.h"

namespace tovrin {
namespace {

using TPixelTest = std::function<bool(int32_t x, int32_t y)>;

TFrameExtents At(int32_t w, int32_t h, int32_t progress, int32_t step = 4) {
  return ComputeFrameExtents(w, h, progress, step);
}

TRegion Rgn(int32_t l, int32_t t, int32_t r, int32_t b) {
  return TRegion::CreateRectRgn(l, t, r, b);
}
TRegion Or(const TRegion& a, const TRegion& b) {
  return TRegion::Combine(a, b, TCombineMode::RGN_OR);
}

// The pixels of `region` inside `frame`, painted from its rectangle list (not through Contains).
std::vector<char> MaskOf(const TRegion& region, const TRect& frame) {
  std::vector<char> mask(static_cast<size_t>(frame.Width()) * frame.Height(), 0);
  for (const TRect& r : region.Rects()) {
    const TRect c = IntersectRect(r, frame);
    for (int32_t y = c.Top; y < c.Bottom; ++y) {
      for (int32_t x = c.Left; x < c.Right; ++x) {
        mask[static_cast<size_t>(y - frame.Top) * frame.Width() + (x - frame.Left)] = 1;
      }
    }
  }
  return mask;
}

// Checks every pixel of frame against want and reports the first mismatch and their number.
void ExpectPixels(const TRegion& region, const TRect& frame, const TPixelTest& want) {
  const std::vector<char> mask = MaskOf(region, frame);
  int mismatches = 0;
  for (int32_t y = frame.Top; y < frame.Bottom; ++y) {
    for (int32_t x = frame.Left; x < frame.Right; ++x) {
      const bool got = mask[static_cast<size_t>(y - frame.Top) * frame.Width() + (x - frame.Left)];
      if (got != want(x, y) && mismatches++ == 0) {
        ADD_FAILURE() << "pixel (" << x << ", " << y << "): region has it " << got << ", expected "
                      << !got;
      }
    }
  }
  EXPECT_EQ(mismatches, 0);
}

// The mirror image of a region about the diagonal x = y.
TRegion Transposed(const TRegion& region) {
  std::vector<TRect> rects;
  for (const TRect& r : region.Rects()) rects.push_back({r.Top, r.Left, r.Bottom, r.Right});
  return TShapeUnion::UnionOfRects(rects);
}

// ---- Bands --------------------------------------------------------------------------------------

// The band routine as a literal sequence of region calls: each shape made with CreateRectRgn, its
// pieces OR-ed into it, the shape OR-ed into the result. Rows and columns are written out apart.
std::optional<TRegion> LiteralBands(int32_t a, int32_t b, int32_t w, int32_t h, int32_t s,
                                    int rowMode, int columnMode) {
  std::optional<TRegion> result;
  const auto merge = [&](const std::optional<TRegion>& shape) {
    if (shape) result = result ? Or(*result, *shape) : *shape;
  };
  if (rowMode != 0) {
    const bool second = a > w;
    for (int32_t i = second ? 5 : 0; i < h + 5; i += 10) {
      std::optional<TRegion> shape;
      if (second) {
        if (rowMode == 1 || rowMode == 4) shape = Rgn(2 * w - a, i, w, i + 5);
        if (rowMode == 2 || rowMode == 5) shape = Rgn(0, i, a - w, i + 5);
        if (shape) shape = Or(*shape, Rgn(0, i - 5, w, i));
      } else {
        if (a + s > w) a = w;
        if (rowMode == 1 || rowMode == 5) shape = Rgn(w - a, i, w, i + 5);
        if (rowMode == 2 || rowMode == 4) shape = Rgn(0, i, a, i + 5);
        if (rowMode == 3) shape = Or(Rgn(0, i + 5, a, i + 10), Rgn(w - a, i, w, i + 5));
      }
      merge(shape);
    }
  }
  if (columnMode != 0) {
    const bool second = b > h;
    for (int32_t j = second ? 5 : 0; j < w + 5; j += 10) {
      std::optional<TRegion> shape;
      if (second) {
        if (columnMode == 1 || columnMode == 4) shape = Rgn(j, 2 * h - b, j + 5, h);
        if (columnMode == 2 || columnMode == 5) shape = Rgn(j, 0, j + 5, b - h);
        if (shape) shape = Or(*shape, Rgn(j - 5, 0, j, h));
      } else {
        if (b + s > h) b = h;
        if (columnMode == 1 || columnMode == 5) shape = Rgn(j, h - b, j + 5, h);
        if (columnMode == 2 || columnMode == 4) shape = Rgn(j, 0, j + 5, b);
        if (columnMode == 3) shape = Or(Rgn(j + 5, 0, j + 10, b), Rgn(j, h - b, j + 5, h));
      }
      merge(shape);
    }
  }
  return result;
}

struct TBandArgs {
  int Style, ReachX, ReachY;
  bool Snap;
  int Rows, Columns;
};
constexpr TBandArgs kBandStyles[] = {
    {60, 2, 0, true, 1, 0},  {61, 2, 0, true, 2, 0},  {62, 2, 0, true, 4, 0},
    {63, 2, 0, true, 5, 0},  {64, 1, 0, false, 3, 0}, {71, 0, 2, true, 0, 1},
    {72, 0, 2, true, 0, 2},  {73, 0, 2, true, 0, 4},  {74, 0, 2, true, 0, 5},
    {75, 0, 1, false, 0, 3}, {86, 2, 2, true, 1, 1},  {87, 2, 2, true, 1, 2},
    {88, 2, 2, true, 2, 1},  {89, 2, 2, true, 2, 2},  {90, 2, 2, true, 4, 4},
    {91, 2, 2, true, 4, 5},  {92, 2, 2, true, 5, 4},  {93, 2, 2, true, 5, 5},
    {94, 1, 1, true, 1, 3},  {95, 1, 1, true, 2, 3},  {96, 1, 1, true, 3, 1},
    {97, 1, 1, true, 3, 2},  {98, 1, 1, false, 3, 3},
};

// Every band style and style 99 for these extents against the literal region calls; style 99
// keeps only where the right/bottom set and the left/top set have both reached.
::testing::AssertionResult BandStylesMatchTheLiteralCalls(const TFrameExtents& e) {
  for (const TBandArgs& band : kBandStyles) {
    const std::optional<TRegion> want = LiteralBands(band.ReachX * e.X, band.ReachY * e.Y, e.W, e.H,
                                                     band.Snap ? e.S : 0, band.Rows, band.Columns);
    const std::optional<TRegion> got = GeometricStyleRegion(band.Style, e);
    if (got.has_value() != want.has_value() || (got && *got != *want)) {
      return ::testing::AssertionFailure() << "style " << band.Style;
    }
  }
  const TRegion t = *LiteralBands(2 * e.X, 2 * e.Y, e.W, e.H, e.S, 1, 1);
  const TRegion r = *LiteralBands(2 * e.X, 2 * e.Y, e.W, e.H, e.S, 2, 2);
  if (*GeometricStyleRegion(99, e) != TRegion::Combine(r, t, TCombineMode::RGN_AND)) {
    return ::testing::AssertionFailure() << "style 99";
  }
  return ::testing::AssertionSuccess();
}

TEST(BandStylesTest, EveryBandStyleEqualsTheLiteralRegionCalls) {
  const TPoint sizes[] = {{640, 480}, {641, 481}, {37, 23}, {1, 1}, {300, 400}, {0, 0}};
  const int progresses[] = {0, 1, 25, 47, 48, 50, 51, 75, 99, 100};
  for (const TPoint size : sizes) {
    for (const int progress : progresses) {
      for (const int step : {4, 100}) {
        ASSERT_TRUE(BandStylesMatchTheLiteralCalls(At(size.X, size.Y, progress, step)))
            << "on " << size.X << "x" << size.Y << " at " << progress << " step " << step;
      }
    }
  }
}

TEST(BandStylesTest, RandomSizesProgressesAndStepsMatchTheLiteralRegionCalls) {
  // Odd and tiny pictures, either way round, then random ones; Progress 0 and 100 and Steps 1 and
  // 100 each time, then random ones.
  std::vector<TPoint> sizes{{1, 1}, {2, 1}, {1, 2}, {37, 23}, {23, 37}, {5, 5}, {10, 11}};
  TRandom random(4096);
  for (int i = 0; i < 12; ++i) sizes.push_back({1 + random.Next(260), 1 + random.Next(260)});
  for (const TPoint size : sizes) {
    for (int round = 0; round < 6; ++round) {
      const int progress = round == 0 ? 0 : round == 1 ? 100 : random.Next(101);
      const int step = round % 2 == 0 ? 1 : round == 3 ? 100 : 1 + random.Next(100);
      ASSERT_TRUE(BandStylesMatchTheLiteralCalls(At(size.X, size.Y, progress, step)))
          << "on " << size.X << "x" << size.Y << " at " << progress << " step " << step;
    }
  }
}

TEST(BandStylesTest, ColumnStylesAreRowStylesTurned) {
  // On the transposed picture X and Y exchange roles, so a column style is its row twin turned.
  const std::pair<int, int> twins[] = {{60, 71}, {61, 72}, {62, 73}, {63, 74}, {64, 75},
                                       {86, 86}, {87, 88}, {89, 89}, {90, 90}, {91, 92},
                                       {93, 93}, {94, 96}, {95, 97}, {98, 98}, {99, 99}};
  for (const int progress : {10, 30, 50, 70, 90}) {
    const TFrameExtents wide = At(203, 151, progress);
    const TFrameExtents tall = At(151, 203, progress);
    for (const auto& [rows, columns] : twins) {
      EXPECT_EQ(Transposed(*GeometricStyleRegion(rows, wide)), *GeometricStyleRegion(columns, tall))
          << rows << " and " << columns << " at " << progress;
    }
  }
}

TEST(BandStylesTest, FirstHalfSnapsToTheFullWidthWithinOneStep) {
  const TRect picture{0, 0, 640, 480};
  // Progress 50, Step 4: X = 320, A = 640, S = 28: even rows full width, no odd row.
  TFrameExtents e = At(640, 480, 50);
  ASSERT_EQ(e.S, 28);
  ExpectPixels(*GeometricStyleRegion(60, e), picture,
               [](int32_t, int32_t y) { return y % 10 < 5; });
  // Progress 48: A = 614 and 614 + 28 > 640, so it snaps as well.
  ExpectPixels(*GeometricStyleRegion(60, At(640, 480, 48)), picture,
               [](int32_t, int32_t y) { return y % 10 < 5; });
  // Progress 47: A = 602 stays; even rows grow from the right edge to x = 38.
  ExpectPixels(*GeometricStyleRegion(60, At(640, 480, 47)), picture,
               [](int32_t x, int32_t y) { return y % 10 < 5 && x >= 38; });
  // The same frame from the left (61).
  ExpectPixels(*GeometricStyleRegion(61, At(640, 480, 47)), picture,
               [](int32_t x, int32_t y) { return y % 10 < 5 && x < 602; });
}

TEST(BandStylesTest, SecondHalfGrowsTheOddBandsFromTheModesSide) {
  const TRect picture{0, 0, 640, 480};
  const TFrameExtents e = At(640, 480, 75);  // A = 960
  const auto even = [](int32_t y) { return y % 10 < 5; };
  ExpectPixels(*GeometricStyleRegion(60, e), picture,
               [&](int32_t x, int32_t y) { return even(y) || x >= 320; });
  ExpectPixels(*GeometricStyleRegion(61, e), picture,
               [&](int32_t x, int32_t y) { return even(y) || x < 320; });
  ExpectPixels(*GeometricStyleRegion(62, e), picture,  // mode 4: odd bands from the right
               [&](int32_t x, int32_t y) { return even(y) || x >= 320; });
  ExpectPixels(*GeometricStyleRegion(63, e), picture,  // mode 5: odd bands from the left
               [&](int32_t x, int32_t y) { return even(y) || x < 320; });
  // In the first half modes 4 and 5 grow the even bands from the other sides.
  const TFrameExtents early = At(640, 480, 20);  // A = 256
  ExpectPixels(*GeometricStyleRegion(62, early), picture,
               [&](int32_t x, int32_t y) { return even(y) && x < 256; });
  ExpectPixels(*GeometricStyleRegion(63, early), picture,
               [&](int32_t x, int32_t y) { return even(y) && x >= 384; });
}

TEST(BandStylesTest, CombFillsHalfFromEachSideAndEverythingAtTheEnd) {
  const TRect picture{0, 0, 640, 480};
  ExpectPixels(*GeometricStyleRegion(64, At(640, 480, 50)), picture,
               [](int32_t x, int32_t y) { return y % 10 < 5 ? x >= 320 : x < 320; });
  ExpectPixels(*GeometricStyleRegion(98, At(640, 480, 100)), picture,
               [](int32_t, int32_t) { return true; });
  ExpectPixels(*GeometricStyleRegion(98, At(641, 481, 100)), TRect{0, 0, 641, 481},
               [](int32_t, int32_t) { return true; });
}

TEST(BandStylesTest, ModeZeroOnBothAxesMakesNoShape) {
  EXPECT_FALSE(BandRegion(100, 100, 50, 50, 0, 0, 0).has_value());
  // Mode 3 has no second half: with the reach past the side the pass makes nothing.
  EXPECT_FALSE(BandRegion(80, 0, 50, 50, 0, 3, 0).has_value());
  // A zero reach still makes (empty) shapes.
  const std::optional<TRegion> empty = BandRegion(0, 0, 50, 50, 0, 1, 0);
  ASSERT_TRUE(empty.has_value());
  EXPECT_TRUE(empty->IsEmpty());
}

// ---- Curved wipes and iris ----------------------------------------------------------------------

TEST(CurvedWipeTest, EachStyleIsItsRoundedRectangle) {
  const TFrameExtents e = At(400, 300, 30);  // X = 120, Y = 90
  ASSERT_EQ(e.X, 120);
  ASSERT_EQ(e.Y, 90);
  const auto rr = TRegion::CreateRoundRectRgn;
  EXPECT_EQ(*GeometricStyleRegion(58, e), rr(-800, -5, 240, 305, 800, 800));
  EXPECT_EQ(*GeometricStyleRegion(59, e), rr(160, -5, 1200, 305, 800, 800));
  EXPECT_EQ(*GeometricStyleRegion(69, e), rr(-5, -600, 405, 180, 600, 600));
  EXPECT_EQ(*GeometricStyleRegion(70, e), rr(-5, 120, 405, 900, 600, 600));
  EXPECT_EQ(*GeometricStyleRegion(80, e), rr(-800, -600, 240, 180, 800, 600));
  EXPECT_EQ(*GeometricStyleRegion(81, e), rr(160, -600, 1200, 180, 800, 600));
  EXPECT_EQ(*GeometricStyleRegion(82, e), rr(-800, 120, 240, 900, 800, 600));
  EXPECT_EQ(*GeometricStyleRegion(83, e), rr(160, 120, 1200, 900, 600, 600));
  EXPECT_EQ(*GeometricStyleRegion(84, e), rr(80, 60, 320, 240, 216, 162));
}

TEST(CurvedWipeTest, IrisOpensFromAndClosesTowardsTheCentre) {
  EXPECT_EQ(*GeometricStyleRegion(84, At(400, 300, 50)),
            TRegion::CreateRoundRectRgn(0, 0, 400, 300, 360, 270));
  const TRect picture{0, 0, 400, 300};
  // Closing iris at 0: the box covers the whole picture, so nothing of it shows.
  const TRegion closed = *GeometricStyleRegion(85, At(400, 300, 0));
  EXPECT_TRUE(TRegion::Combine(closed, Rgn(0, 0, 400, 300), TCombineMode::RGN_AND).IsEmpty());
  // On the way the corners show first, the centre last.
  const TRegion half = *GeometricStyleRegion(85, At(400, 300, 50));
  EXPECT_TRUE(half.Contains(0, 0));
  EXPECT_TRUE(half.Contains(399, 299));
  EXPECT_FALSE(half.Contains(200, 150));
  // Just before the end only the rounded box (196, 147, 204, 153), less its last row and column,
  // still shows the old picture; its rounded corners may go either way.
  const TRegion late = *GeometricStyleRegion(85, At(400, 300, 99));
  ExpectPixels(late, picture, [&](int32_t x, int32_t y) {
    if (x < 196 || x >= 203 || y < 147 || y >= 152) return true;
    if (x >= 198 && x < 201 && y >= 148 && y < 151) return false;
    return late.Contains(x, y);
  });
}

TEST(CurvedWipeTest, SizesBeyondThirtyTwoBitArithmeticDoNotWrap) {
  // 9X overflows 32 bits for X above 238 million; the ellipse must stay positive.
  TFrameExtents e;
  e.W = 400'000'000;
  e.H = 2;
  e.X = 300'000'000;
  e.Y = 2;
  const std::optional<TRegion> r = GeometricStyleRegion(84, e);
  ASSERT_TRUE(r.has_value());
  EXPECT_FALSE(r->IsEmpty());
  EXPECT_TRUE(r->Contains(200'000'000, 1));
}

// ---- Triangles ----------------------------------------------------------------------------------

TEST(TriangleWipeTest, HalfwayCornerWipeIsHalfThePicture) {
  const TRegion r = *GeometricStyleRegion(110, At(400, 300, 50));
  // Pixels clear of the diagonal x / 400 + y / 300 = 1 are decided; those on it may go either way.
  ExpectPixels(r, TRect{0, 0, 400, 300}, [&](int32_t x, int32_t y) {
    const double side = (x + 0.5) / 400 + (y + 0.5) / 300;
    if (std::abs(side - 1) < 0.01) return r.Contains(x, y);
    return side < 1;
  });
  // The other corners are the same triangle mirrored.
  const TRegion br = *GeometricStyleRegion(113, At(400, 300, 50));
  EXPECT_TRUE(br.Contains(399, 299));
  EXPECT_FALSE(br.Contains(0, 0));
  EXPECT_TRUE(GeometricStyleRegion(111, At(400, 300, 50))->Contains(399, 0));
  EXPECT_TRUE(GeometricStyleRegion(112, At(400, 300, 50))->Contains(0, 299));
}

TEST(TriangleWipeTest, WedgesAreTheUnionOfTheirTriangles) {
  const TFrameExtents e = At(641, 481, 40);
  const int32_t w = e.W, h = e.H, x = e.X, y = e.Y;
  EXPECT_EQ(*GeometricStyleRegion(114, e),
            Or(TriangleRegion(w, h, w, 0, w - x, 0), TriangleRegion(0, h, 0, 0, x, h)));
  EXPECT_EQ(*GeometricStyleRegion(115, e),
            Or(TriangleRegion(w, h, 0, h, 0, h - y), TriangleRegion(w, 0, 0, 0, w, y)));
  TRegion four = TriangleRegion(w / 2, h / 2, 0, h, 0, h - y);
  four = Or(four, TriangleRegion(0, 0, x, 0, w / 2, h / 2));
  four = Or(four, TriangleRegion(w - x, h, w / 2, h / 2, w, h));
  four = Or(four, TriangleRegion(w / 2, h / 2, w, 0, w, y));
  EXPECT_EQ(*GeometricStyleRegion(116, e), four);
}

TEST(TriangleWipeTest, GridGrowsATriangleInEveryCell) {
  // 400 x 300 at 50: X' = 40, Y' = 30, exactly one cell: each triangle covers its cell's
  // top-left half.
  const TRegion r = *GeometricStyleRegion(117, At(400, 300, 50));
  for (int i = 0; i < 10; ++i) {
    for (int j = 0; j < 10; ++j) {
      EXPECT_TRUE(r.Contains(40 * j + 1, 30 * i + 1)) << i << ", " << j;
      EXPECT_FALSE(r.Contains(40 * j + 38, 30 * i + 28)) << i << ", " << j;
    }
  }
  // Against the hundred triangles each made at its cell and merged one at a time, on odd sizes
  // where cells differ, and late enough that triangles reach into the next cells.
  for (const TPoint size : {TPoint{641, 481}, TPoint{37, 23}, TPoint{23, 37}, TPoint{1, 1}}) {
    for (int progress : {0, 37, 75, 100}) {
      const TFrameExtents e = At(size.X, size.Y, progress);
      const int32_t legX = e.X / 5;
      const int32_t legY = MulDiv(legX, e.H, e.W);
      TRegion want;
      for (int i = 0; i < 10; ++i) {
        for (int j = 0; j < 10; ++j) {
          const int32_t x = j * e.W / 10, y = i * e.H / 10;
          want = Or(want, TriangleRegion(x, y, x + legX, y, x, y + legY));
        }
      }
      EXPECT_EQ(*GeometricStyleRegion(117, e), want)
          << size.X << "x" << size.Y << " at " << progress;
    }
  }
}

TEST(GeometricStylesTest, OtherStylesHaveNoRegionAndEveryStyleHandlesTinyPictures) {
  for (int style : {0, 1, 57, 65, 100, 118, 127, 128}) {
    EXPECT_FALSE(IsGeometricRegionStyle(style));
    EXPECT_FALSE(GeometricStyleRegion(style, At(100, 100, 50)).has_value()) << style;
  }
  for (int style = 0; style < 128; ++style) {
    if (!IsGeometricRegionStyle(style)) continue;
    for (const TPoint size : {TPoint{1, 1}, TPoint{0, 0}, TPoint{2, 37}}) {
      for (int progress : {0, 50, 100}) {
        const std::optional<TRegion> r = GeometricStyleRegion(style, At(size.X, size.Y, progress));
        ASSERT_TRUE(r.has_value()) << style;
        EXPECT_TRUE(r->IsValid()) << style;
      }
    }
  }
}

}  // namespace
}  // namespace tovrin
