// The many-shape union against unions made one at a time and against brute-force pixel sets, with
// the shapes the region styles make: rows, thin columns and blocks on grids.
#include "gfx/region_shape_union.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <optional>
#include <utility>
#include <vector>

#include "core/random.h"

namespace tovrin {
namespace {

TRegion Rgn(int32_t l, int32_t t, int32_t r, int32_t b) {
  return TRegion::CreateRectRgn(l, t, r, b);
}
TRegion Or(const TRegion& a, const TRegion& b) {
  return TRegion::Combine(a, b, TCombineMode::RGN_OR);
}

TEST(ShapeUnionTest, MatchesOneUnionAtATimeForRandomRectangles) {
  TRandom random(12345);
  for (int round = 0; round < 200; ++round) {
    const int count = 1 + random.Next(40);
    TShapeUnion shapes;
    TRegion expected;
    for (int i = 0; i < count; ++i) {
      // Inverted and zero-sized rectangles included: they are swapped or add nothing.
      const int32_t l = random.Next(60) - 10, t = random.Next(60) - 10;
      const int32_t r = random.Next(60) - 10, b = random.Next(60) - 10;
      shapes.AddRect(l, t, r, b);
      expected = Or(expected, Rgn(l, t, r, b));
    }
    const std::optional<TRegion> got = shapes.Region();
    ASSERT_TRUE(got.has_value());
    EXPECT_TRUE(got->IsValid());
    ASSERT_EQ(*got, expected) << "round " << round;
    EXPECT_EQ(got->Extents(), expected.Extents());
  }
}

TEST(ShapeUnionTest, NoShapeIsNoneButAnEmptyShapeIsAnEmptyRegion) {
  TShapeUnion none;
  EXPECT_FALSE(none.Region().has_value());
  TShapeUnion empty;
  empty.AddRect(5, 0, 5, 10);  // zero width: a shape with no pixel
  ASSERT_TRUE(empty.Region().has_value());
  EXPECT_TRUE(empty.Region()->IsEmpty());
}

TEST(ShapeUnionTest, MergesTouchingBoxesAndEqualBandsCanonically) {
  // Four quarters of a square, given in a scrambled order, are one rectangle.
  TShapeUnion shapes;
  shapes.AddRect(5, 5, 10, 10);
  shapes.AddRect(0, 0, 5, 5);
  shapes.AddRect(5, 0, 10, 5);
  shapes.AddRect(0, 5, 5, 10);
  EXPECT_EQ(shapes.Region()->Rects(), (std::vector<TRect>{{0, 0, 10, 10}}));
  // Coordinates beyond 32 bits are clamped, not wrapped.
  TShapeUnion wide;
  wide.AddRect(-(int64_t{1} << 40), 0, int64_t{1} << 40, 1);
  EXPECT_EQ(wide.Region()->Extents(), (TRect{INT32_MIN, 0, INT32_MAX, 1}));
}

// The canonical box list of the pixels of rects, worked out from a pixel mask with no region code:
// each row's runs, and rows with equal runs joined into one band.
std::vector<TRect> PixelReference(const std::vector<TRect>& rects) {
  if (rects.empty()) return {};
  TRect box = rects.front();
  for (const TRect& r : rects) {
    box = {std::min(box.Left, r.Left), std::min(box.Top, r.Top), std::max(box.Right, r.Right),
           std::max(box.Bottom, r.Bottom)};
  }
  const std::vector<char> mask = [&] {
    std::vector<char> m(static_cast<size_t>(box.Width()) * box.Height(), 0);
    for (const TRect& r : rects) {
      for (int32_t y = r.Top; y < r.Bottom; ++y) {
        for (int32_t x = r.Left; x < r.Right; ++x) {
          m[static_cast<size_t>(y - box.Top) * box.Width() + (x - box.Left)] = 1;
        }
      }
    }
    return m;
  }();
  std::vector<TRect> out;
  std::vector<std::pair<int32_t, int32_t>> previous;
  size_t previousStart = 0;
  for (int32_t y = box.Top; y < box.Bottom; ++y) {
    std::vector<std::pair<int32_t, int32_t>> runs;
    for (int32_t x = box.Left; x < box.Right; ++x) {
      if (!mask[static_cast<size_t>(y - box.Top) * box.Width() + (x - box.Left)]) continue;
      if (!runs.empty() && runs.back().second == x) {
        ++runs.back().second;
      } else {
        runs.emplace_back(x, x + 1);
      }
    }
    if (!runs.empty() && runs == previous && out.back().Bottom == y) {
      for (size_t i = previousStart; i < out.size(); ++i) out[i].Bottom = y + 1;
      continue;
    }
    previousStart = out.size();
    for (const auto& [l, r] : runs) out.push_back({l, y, r, y + 1});
    previous = runs;
  }
  return out;
}

// A random mix of the shapes the region styles make: full-width rows, thin columns, blocks and
// odd rectangles, some touching or overlapping, in a window of about 300 x 200 pixels so that the
// columns' edges run to several words of interval bits.
std::vector<TRect> RandomStyleShapes(TRandom& random) {
  std::vector<TRect> rects;
  const int count = 1 + random.Next(160);
  for (int i = 0; i < count; ++i) {
    const int32_t x = random.Next(320) - 20, y = random.Next(220) - 20;
    switch (random.Next(4)) {
      case 0:  // a row band, wide
        rects.push_back({x / 4, y, x / 4 + 60 + random.Next(240), y + 1 + random.Next(7)});
        break;
      case 1:  // a column, narrow and tall
        rects.push_back({x, y / 4, x + 1 + random.Next(6), y / 4 + 20 + random.Next(180)});
        break;
      case 2: {  // a block on a grid, so that neighbours touch
        const int32_t d = 2 + random.Next(9);
        rects.push_back({x / d * d, y / d * d, x / d * d + d, y / d * d + d});
        break;
      }
      default:
        rects.push_back({x, y, x + 1 + random.Next(80), y + 1 + random.Next(80)});
        break;
    }
  }
  return rects;
}

TEST(ShapeUnionTest, MatchesThePixelSetForRowsColumnsAndBlocks) {
  TRandom random(2718);
  for (int round = 0; round < 300; ++round) {
    const std::vector<TRect> rects = RandomStyleShapes(random);
    const TRegion got = TShapeUnion::UnionOfRects(rects);
    ASSERT_TRUE(got.IsValid()) << "round " << round;
    ASSERT_EQ(got.Rects(), PixelReference(rects)) << "round " << round;
  }
  // Columns every 3 pixels across 400 pixels cross a wide row: over 64 intervals of bits, runs
  // beside and beneath the row, and a row starting and ending in the middle of a run.
  std::vector<TRect> grid;
  for (int32_t x = 0; x < 400; x += 3) grid.push_back({x, 0, x + 2, 50});
  grid.push_back({31, 10, 301, 15});
  grid.push_back({0, 20, 1, 25});  // within the first column: nothing new
  grid.push_back({398, 30, 420, 35});
  EXPECT_EQ(TShapeUnion::UnionOfRects(grid).Rects(), PixelReference(grid));
}

TEST(ShapeUnionTest, ResultsBeyondTheReservedBoundGrowAsUsual) {
  // A thousand one-pixel columns, and short rows beside them that make every other row of pixels
  // differ from its neighbours: 600 bands of about a thousand boxes, more than the sweep reserves
  // for 1300 rectangles.
  std::vector<TRect> rects;
  TRegion columns;
  TRegion rows;
  for (int32_t i = 0; i < 1000; ++i) {
    rects.push_back({2 * i, 0, 2 * i + 1, 600});
    columns = Or(columns, Rgn(2 * i, 0, 2 * i + 1, 600));
  }
  for (int32_t j = 0; j < 300; ++j) {
    rects.push_back({2001, 2 * j, 2002, 2 * j + 1});
    rows = Or(rows, Rgn(2001, 2 * j, 2002, 2 * j + 1));
  }
  const TRegion got = TShapeUnion::UnionOfRects(rects);
  EXPECT_EQ(got.Rects().size(), 600u * 1000u + 300u);
  EXPECT_EQ(got, Or(columns, rows));
}

TEST(ShapeUnionTest, CoordinatesAtTheThirtyTwoBitLimits) {
  // Such ranges cannot be tabled; the distinct coordinates are sorted instead. A bottom at
  // INT32_MAX is the last strip edge of all.
  const std::vector<TRect> rects{{INT32_MIN, 0, INT32_MAX, 1},
                                 {0, 0, 10, INT32_MAX},
                                 {5, 100, 20, 200},
                                 {INT32_MAX - 1, -5, INT32_MAX, 3}};
  TRegion want;
  for (const TRect& r : rects) want = Or(want, Rgn(r.Left, r.Top, r.Right, r.Bottom));
  EXPECT_EQ(TShapeUnion::UnionOfRects(rects), want);
  EXPECT_EQ(TShapeUnion::UnionOfRects(rects).Extents(),
            (TRect{INT32_MIN, -5, INT32_MAX, INT32_MAX}));
}

TEST(ShapeUnionTest, IntersectionEqualsTheAndOfBothUnions) {
  TRandom random(31);
  for (int round = 0; round < 300; ++round) {
    TShapeUnion a;
    TShapeUnion b;
    for (const TRect& r : RandomStyleShapes(random)) a.AddRect(r.Left, r.Top, r.Right, r.Bottom);
    // Every fifth round b is shifted off a, so that their strips never meet.
    const int32_t shift = round % 5 == 0 ? 400 : 0;
    for (const TRect& r : RandomStyleShapes(random)) {
      b.AddRect(r.Left + shift, r.Top + shift, r.Right + shift, r.Bottom + shift);
    }
    const TRegion got = TShapeUnion::Intersection(a, b);
    ASSERT_TRUE(got.IsValid());
    ASSERT_EQ(got, TRegion::Combine(*a.Region(), *b.Region(), TCombineMode::RGN_AND))
        << "round " << round;
  }
  // A side with no pixel, or no shape at all, leaves nothing.
  TShapeUnion some;
  some.AddRect(0, 0, 10, 10);
  TShapeUnion none;
  TShapeUnion empty;
  empty.AddRect(3, 3, 3, 9);
  EXPECT_TRUE(TShapeUnion::Intersection(some, none).IsEmpty());
  EXPECT_TRUE(TShapeUnion::Intersection(empty, some).IsEmpty());
  // One reaching to INT32_MAX against one that ends first.
  TShapeUnion tall;
  tall.AddRect(0, 5, 4, INT32_MAX);
  EXPECT_EQ(TShapeUnion::Intersection(tall, some).Rects(), (std::vector<TRect>{{0, 5, 4, 10}}));
}

}  // namespace
}  // namespace tovrin
