// Rounded rectangles and polygons: cases pinned to what the platform's GDI gives for the same
// calls (its rectangle lists brought to canonical form), shape properties over random sizes, and
// polygons against a per-pixel evaluation of the winding rule.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <utility>
#include <vector>

#include "gfx/region.h"
#include "region_mask.h"

namespace tovrin {
namespace {

using testing::ExpectRegionIs;
using testing::RectsText;
using testing::TMask;

std::string RoundRectText(int32_t l, int32_t t, int32_t r, int32_t b, int32_t w, int32_t h) {
  return RectsText(TRegion::CreateRoundRectRgn(l, t, r, b, w, h).Rects());
}

std::string PolygonText(const std::vector<TPoint>& points) {
  return RectsText(TRegion::CreatePolygonRgn(points).Rects());
}

TEST(RegionShapesTest, RoundRectsPinnedToThePlatform) {
  EXPECT_EQ(RoundRectText(0, 0, 10, 8, 5, 5), "(1,0,8,1)(0,1,9,6)(1,6,8,7)");
  EXPECT_EQ(RoundRectText(2, 3, 14, 12, 8, 6),
            "(4,3,11,4)(3,4,12,5)(2,5,13,9)(3,9,12,10)(4,10,11,11)");
  EXPECT_EQ(RoundRectText(0, 0, 12, 12, 12, 12),
            "(3,0,8,1)(2,1,9,2)(1,2,10,3)(0,3,11,8)(1,8,10,9)(2,9,9,10)(3,10,8,11)");
  // Negative ellipse sizes count by their magnitude.
  EXPECT_EQ(RoundRectText(0, 0, 20, 10, -6, -4), "(1,0,18,1)(0,1,19,8)(1,8,18,9)");
  // Inverted box, ellipse under two pixels wide: the plain rectangle without its last column
  // and row.
  EXPECT_EQ(RoundRectText(10, 20, 0, 0, 1, 30), "(0,0,9,19)");
  // A box of zero width: the platform's one-pixel strip left of it.
  EXPECT_EQ(RoundRectText(5, 5, 5, 10, 3, 3), "(4,5,5,9)");
}

TEST(RegionShapesTest, PolygonsPinnedToThePlatform) {
  // Triangle of the triangle-wipe styles (first point repeated at the end).
  EXPECT_EQ(PolygonText({{0, 0}, {8, 0}, {0, 6}, {0, 0}}),
            "(0,0,8,1)(0,1,7,2)(0,2,6,3)(0,3,4,4)(0,4,3,5)(0,5,2,6)");
  EXPECT_EQ(PolygonText({{2, 0}, {0, 4}, {4, 4}}), "(2,1,3,2)(1,2,3,3)(1,3,4,4)");
  // Bow-tie: the two halves meet in row 5, where they form one box.
  EXPECT_EQ(PolygonText({{0, 0}, {10, 10}, {10, 0}, {0, 10}}),
            "(0,1,1,2)(9,1,10,2)(0,2,2,3)(8,2,10,3)(0,3,3,4)(7,3,10,4)(0,4,4,5)(6,4,10,5)"
            "(0,5,10,6)(0,6,4,7)(6,6,10,7)(0,7,3,8)(7,7,10,8)(0,8,2,9)(8,8,10,9)(0,9,1,10)"
            "(9,9,10,10)");
  // A self-intersecting star: the winding rule fills its centre.
  EXPECT_EQ(PolygonText({{10, 0},
                         {13, 7},
                         {20, 7},
                         {14, 11},
                         {17, 19},
                         {10, 14},
                         {3, 19},
                         {6, 11},
                         {0, 7},
                         {7, 7}}),
            "(10,1,11,3)(9,3,12,5)(8,5,13,7)(0,7,20,8)(2,8,19,9)(3,9,17,10)(5,10,16,11)"
            "(6,11,14,12)(6,12,15,14)(5,14,16,15)(5,15,9,16)(12,15,16,16)(5,16,8,17)"
            "(13,16,16,17)(4,17,6,18)(15,17,17,18)(4,18,5,19)(16,18,17,19)");
  EXPECT_EQ(PolygonText({{0, 0}, {6, 0}, {6, 6}, {0, 6}, {3, 3}}),
            "(0,0,6,1)(1,1,6,2)(2,2,6,3)(3,3,6,4)(2,4,6,5)(1,5,6,6)");
  EXPECT_EQ(PolygonText({{0, 0}, {4, 0}, {4, 4}, {0, 4}}), "(0,0,4,4)");
  // Degenerate polygons cover nothing.
  EXPECT_EQ(PolygonText({{0, 0}, {5, 5}}), "");
  EXPECT_EQ(PolygonText({{0, 0}, {5, 5}, {10, 10}}), "");
  EXPECT_EQ(PolygonText({{0, 0}, {9, 0}, {3, 0}, {0, 0}}), "");
  EXPECT_EQ(PolygonText({}), "");
}

// Every row of a rounded rectangle is at most one span, the shape is symmetric about both centre
// lines, the spans widen monotonically towards the middle, and the extents are the box without
// its last column and row.
TEST(RegionShapesTest, RoundRectShapeOverRandomSizes) {
  std::mt19937 rng(4242);
  const auto uniform = [&](int32_t lo, int32_t hi) {
    return std::uniform_int_distribution<int32_t>(lo, hi)(rng);
  };
  for (int iteration = 0; iteration < 600; ++iteration) {
    const int32_t l = uniform(-50, 50), t = uniform(-50, 50);
    const int32_t r = l + uniform(2, 150), b = t + uniform(2, 150);
    const int32_t w = uniform(-200, 200), h = uniform(-200, 200);
    const TRegion region = TRegion::CreateRoundRectRgn(l, t, r, b, w, h);
    const std::string what = "CreateRoundRectRgn(" + std::to_string(l) + "," + std::to_string(t) +
                             "," + std::to_string(r) + "," + std::to_string(b) + "," +
                             std::to_string(w) + "," + std::to_string(h) + ")";
    ASSERT_TRUE(region.IsValid()) << what;
    // The middle row spans the whole box; the top and bottom rows may be empty when the ellipse
    // is as wide as the box.
    EXPECT_EQ(region.Extents().Left, l) << what;
    EXPECT_EQ(region.Extents().Right, r - 1) << what;
    EXPECT_EQ(region.Extents().Top - t, (b - 1) - region.Extents().Bottom) << what;
    // Insets per row, -1 for a row with no pixel.
    std::vector<int32_t> inset;
    for (int32_t y = t; y < b - 1; ++y) {
      int32_t first = 0, last = 0, runs = 0;
      for (int32_t x = l - 1; x <= r; ++x) {
        const bool in = region.Contains(x, y);
        if (in && !region.Contains(x - 1, y)) {
          if (++runs == 1) first = x;
        }
        if (in) last = x;
      }
      ASSERT_LE(runs, 1) << what << " row " << y;
      if (runs == 0) {
        inset.push_back(-1);
        continue;
      }
      EXPECT_EQ(first - l, (r - 1) - 1 - last) << what << " row " << y << " is not symmetric";
      inset.push_back(first - l);
    }
    const size_t n = inset.size();
    for (size_t i = 0; i < n; ++i) {
      EXPECT_EQ(inset[i], inset[n - 1 - i]) << what << " rows " << i << " and " << n - 1 - i;
      if (i > 0 && 2 * i <= n && inset[i] >= 0) {
        EXPECT_LE(inset[i], inset[i - 1] < 0 ? inset[i] : inset[i - 1]) << what << " row " << i;
      }
    }
    if (::testing::Test::HasFailure()) break;
  }
}

TEST(RegionShapesTest, RoundRectsOfTheTransitions) {
  // The iris at half way on a 400 x 300 picture.
  const TRegion iris = TRegion::CreateRoundRectRgn(0, 0, 400, 300, 360, 270);
  ASSERT_TRUE(iris.IsValid());
  EXPECT_EQ(RectsText({iris.Extents()}), "(0,0,399,299)");
  EXPECT_TRUE(iris.Contains(200, 0));
  EXPECT_FALSE(iris.Contains(0, 0));
  EXPECT_TRUE(iris.Contains(0, 149));
  // The curved wipe's ellipse is far larger than the picture: only the middle of its curve is
  // inside the picture, and the box stays within the 32-bit range.
  const int32_t W = 1024, H = 768, X = 512;
  const TRegion wipe = TRegion::CreateRoundRectRgn(-2 * W, -5, 2 * X, H + 5, 2 * W, 2 * W);
  ASSERT_TRUE(wipe.IsValid());
  EXPECT_EQ(RectsText({wipe.Extents()}), RectsText({TRect{-2 * W, -5, 2 * X - 1, H + 4}}));
  // The straight part is the single middle band; rows away from it are shorter.
  EXPECT_TRUE(wipe.Contains(2 * X - 2, (H + 5 - 5) / 2));
  EXPECT_FALSE(wipe.Contains(2 * X - 2, 0));
}

TEST(RegionShapesTest, NarrowEllipseTipsAreClosed) {
  // An ellipse far taller than the square of its width: its tip rows get the centre column.
  const TRegion r = TRegion::CreateRoundRectRgn(0, 0, 4, 41, 3, 40);
  ASSERT_TRUE(r.IsValid());
  for (int32_t y = 0; y < 40; ++y) {
    EXPECT_TRUE(r.Contains(1, y)) << "row " << y;
    EXPECT_FALSE(r.Contains(3, y)) << "row " << y;
  }
  EXPECT_EQ(RectsText({r.Extents()}), "(0,0,3,40)");
}

TEST(RegionShapesTest, HugeEllipseIsSymmetric) {
  // The error terms of an ellipse this size overflow 64-bit arithmetic (the sanitizer build would
  // flag it) while the walk stays short: about a million rows.
  const TRegion r =
      TRegion::CreateRoundRectRgn(-900001, -1800001, 900000, 1800000, 900000, 1800000);
  ASSERT_TRUE(r.IsValid());
  const TRect e = r.Extents();
  EXPECT_EQ(RectsText({e}), "(-900001,-1800001,899999,1799999)");
  const std::vector<TRect>& rects = r.Rects();
  for (size_t i = 0; i < rects.size(); ++i) {
    const TRect& a = rects[i];
    const TRect& m = rects[rects.size() - 1 - i];
    // Upside down, every band lands on its partner; every band is centred.
    ASSERT_EQ(a.Top - e.Top, e.Bottom - m.Bottom) << i;
    ASSERT_EQ(a.Left, m.Left) << i;
    ASSERT_EQ(a.Left - e.Left, e.Right - a.Right) << i;
  }
}

// The winding rule evaluated for one pixel at a time, straight from its definition: on row y,
// an edge spanning the row stands at its exact crossing rounded up; the edges standing at or left
// of x add +1 (downwards) or -1 (upwards).
bool WindingInside(const std::vector<TPoint>& pts, int32_t x, int32_t y) {
  if (pts.size() < 3) return false;
  int winding = 0;
  for (size_t i = 0; i < pts.size(); ++i) {
    const TPoint& p = pts[(i + pts.size() - 1) % pts.size()];
    const TPoint& q = pts[i];
    if (p.Y == q.Y) continue;
    const TPoint& up = p.Y < q.Y ? p : q;
    const TPoint& down = p.Y < q.Y ? q : p;
    if (y < up.Y || y >= down.Y) continue;
    const int64_t num = static_cast<int64_t>(down.X - up.X) * (y - up.Y);
    const int64_t den = down.Y - up.Y;
    // ceil(num / den) for den > 0
    const int64_t cross = up.X + (num >= 0 ? (num + den - 1) / den : -((-num) / den));
    if (cross <= x) winding += p.Y < q.Y ? 1 : -1;
  }
  return winding != 0;
}

TEST(RegionShapesTest, RandomPolygonsFollowTheWindingRule) {
  std::mt19937 rng(31337);
  const TRect window{-30, -30, 70, 70};
  for (int iteration = 0; iteration < 800; ++iteration) {
    const int32_t spread = std::uniform_int_distribution<int32_t>(1, 3)(rng) * 10;
    std::uniform_int_distribution<int32_t> coord(20 - spread, 20 + spread);
    std::vector<TPoint> pts(std::uniform_int_distribution<size_t>(3, 9)(rng));
    for (TPoint& p : pts) p = TPoint{coord(rng), coord(rng)};
    const TRegion region = TRegion::CreatePolygonRgn(pts);
    std::string what = "polygon";
    for (const TPoint& p : pts)
      what += " (" + std::to_string(p.X) + "," + std::to_string(p.Y) + ")";
    ExpectRegionIs(region,
                   TMask::FromPredicate(
                       window, [&](int32_t x, int32_t y) { return WindingInside(pts, x, y); }),
                   what);
    if (::testing::Test::HasFailure()) break;
  }
}

TEST(RegionShapesTest, LongThinPolygonEdgesStayExact) {
  // Steep and shallow edges over long distances: stepping from row to row must land on the same
  // columns as the direct computation, with no drift.
  const std::vector<TPoint> pts{{0, 0}, {997, 3}, {1000, 2000}, {3, 1999}};
  const TRegion region = TRegion::CreatePolygonRgn(pts);
  ASSERT_TRUE(region.IsValid());
  for (int32_t y : {0, 1, 2, 3, 500, 1333, 1998, 1999}) {
    for (int32_t x = -2; x < 1003; ++x) {
      ASSERT_EQ(region.Contains(x, y), WindingInside(pts, x, y)) << x << "," << y;
    }
  }
}

}  // namespace
}  // namespace tovrin
