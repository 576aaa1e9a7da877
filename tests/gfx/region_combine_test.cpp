// Region set operations and queries against brute-force pixel masks, with seeded random shapes.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "gfx/region.h"
#include "region_mask.h"

namespace tovrin {
namespace {

using testing::ExpectRegionIs;
using testing::RectsText;
using testing::TMask;

const TRect kWindow{-24, -24, 88, 88};
constexpr TCombineMode kModes[] = {TCombineMode::RGN_AND, TCombineMode::RGN_OR,
                                   TCombineMode::RGN_XOR, TCombineMode::RGN_DIFF,
                                   TCombineMode::RGN_COPY};

// A random shape inside kWindow, with the mask of its pixels worked out without TRegion where
// that is easy (rectangles and unions of rectangles) and from its own boxes otherwise.
struct TShape {
  TRegion Region;
  TMask Mask{kWindow};
  std::string Name;
};

class TShapeMaker {
 public:
  explicit TShapeMaker(uint32_t seed) : FRng(seed) {}

  int32_t Coord() { return Uniform(-20, 84); }
  int32_t Uniform(int32_t lo, int32_t hi) {
    return std::uniform_int_distribution<int32_t>(lo, hi)(FRng);
  }

  // A union of up to n rectangles (possibly inverted or empty), its mask filled directly.
  TShape Rects(int n) {
    TShape s;
    s.Name = "rects";
    const int count = Uniform(1, n);
    for (int i = 0; i < count; ++i) {
      int32_t l = Coord(), t = Coord(), r = Coord(), b = Coord();
      if (Uniform(0, 3) == 0) r = l + Uniform(0, 3);  // thin or empty ones too
      s.Region =
          TRegion::Combine(s.Region, TRegion::CreateRectRgn(l, t, r, b), TCombineMode::RGN_OR);
      for (int32_t y = std::min(t, b); y < std::max(t, b); ++y) {
        for (int32_t x = std::min(l, r); x < std::max(l, r); ++x) s.Mask.Set(x, y, true);
      }
      s.Name += " " + std::to_string(l) + "," + std::to_string(t) + "," + std::to_string(r) + "," +
                std::to_string(b);
    }
    return s;
  }

  // Horizontal or vertical stripes, like the band styles make.
  TShape Stripes() {
    TShape s;
    s.Name = "stripes";
    const bool rows = Uniform(0, 1) == 0;
    const int32_t period = Uniform(2, 10);
    const int32_t thick = Uniform(1, period);
    const int32_t reach = Uniform(0, 60);
    for (int32_t i = -20; i < 80; i += period) {
      const TRegion band = rows ? TRegion::CreateRectRgn(-20, i, reach, i + thick)
                                : TRegion::CreateRectRgn(i, -20, i + thick, reach);
      s.Region = TRegion::Combine(s.Region, band, TCombineMode::RGN_OR);
    }
    s.Mask = TMask::FromRegion(s.Region, kWindow);
    return s;
  }

  TShape RoundRect() {
    TShape s;
    s.Region = TRegion::CreateRoundRectRgn(Coord(), Coord(), Coord(), Coord(), Uniform(-40, 90),
                                           Uniform(-40, 90));
    s.Mask = TMask::FromRegion(s.Region, kWindow);
    s.Name = "round rect " + RectsText({s.Region.Extents()});
    return s;
  }

  TShape Polygon() {
    std::vector<TPoint> points(static_cast<size_t>(Uniform(3, 7)));
    for (TPoint& p : points) p = TPoint{Coord(), Coord()};
    TShape s;
    s.Region = TRegion::CreatePolygonRgn(points);
    s.Mask = TMask::FromRegion(s.Region, kWindow);
    s.Name = "polygon";
    return s;
  }

  TShape Any() {
    switch (Uniform(0, 4)) {
      case 0:
        return Rects(1);
      case 1:
        return Rects(8);
      case 2:
        return Stripes();
      case 3:
        return RoundRect();
      default:
        return Polygon();
    }
  }

 private:
  std::mt19937 FRng;
};

TEST(RegionCombineTest, RandomOperandsMatchThePixelMasks) {
  TShapeMaker maker(20261207);
  for (int iteration = 0; iteration < 800; ++iteration) {
    const TShape a = maker.Any();
    const TShape b = maker.Any();
    // The operands' own boxes must match the independently filled masks (rect unions).
    ExpectRegionIs(a.Region, a.Mask, a.Name);
    for (TCombineMode mode : kModes) {
      const TRegion r = TRegion::Combine(a.Region, b.Region, mode);
      ExpectRegionIs(r, TMask::Combine(a.Mask, b.Mask, mode),
                     "iteration " + std::to_string(iteration) + " mode " +
                         std::to_string(static_cast<int>(mode)) + ": " + a.Name + " with " +
                         b.Name);
    }
    if (::testing::Test::HasFailure()) break;  // one broken case is enough to read
  }
}

// Many operands at once: side by side, stacked, overlapping, repeated, empty, and more than one
// starting on the same row, against the OR of their masks.
TEST(RegionCombineTest, UnionOfManyMatchesTheMasks) {
  TShapeMaker maker(4242);
  for (int iteration = 0; iteration < 300; ++iteration) {
    std::vector<TRegion> operands;
    TMask want{kWindow};
    const int count = maker.Uniform(0, 12);
    for (int i = 0; i < count; ++i) {
      TShape s = maker.Uniform(0, 5) == 0 ? TShape{} : maker.Any();
      if (maker.Uniform(0, 2) == 0 && i > 0) s.Region = operands.back();  // a repeat
      s.Mask = TMask::FromRegion(s.Region, kWindow);
      want = TMask::Combine(want, s.Mask, TCombineMode::RGN_OR);
      operands.push_back(s.Region);
    }
    const TRegion got = TRegion::Union(operands);
    ExpectRegionIs(got, want, "iteration " + std::to_string(iteration));
    TRegion chained;
    for (const TRegion& r : operands) chained = TRegion::Combine(chained, r, TCombineMode::RGN_OR);
    EXPECT_EQ(got, chained) << "iteration " << iteration;
    if (::testing::Test::HasFailure()) break;
  }
  // A hundred copies of one shape moved about, as the triangle grid makes them.
  const TRegion shape = maker.Polygon().Region;
  std::vector<TRegion> copies;
  TRegion chained;
  for (int i = 0; i < 10; ++i) {
    for (int j = 0; j < 10; ++j) {
      TRegion c = shape;
      c.Offset(7 * j - 30, 5 * i - 20);
      chained = TRegion::Combine(chained, c, TCombineMode::RGN_OR);
      copies.push_back(std::move(c));
    }
  }
  EXPECT_EQ(TRegion::Union(copies), chained);
}

TEST(RegionCombineTest, SameSetsGiveSameLists) {
  TShapeMaker maker(77);
  for (int iteration = 0; iteration < 400; ++iteration) {
    const TRegion a = maker.Any().Region;
    const TRegion b = maker.Any().Region;
    const TRegion c = maker.Any().Region;
    using enum TCombineMode;
    EXPECT_EQ(TRegion::Combine(a, b, RGN_OR), TRegion::Combine(b, a, RGN_OR));
    EXPECT_EQ(TRegion::Combine(a, b, RGN_AND), TRegion::Combine(b, a, RGN_AND));
    EXPECT_EQ(TRegion::Combine(a, b, RGN_XOR),
              TRegion::Combine(TRegion::Combine(a, b, RGN_DIFF), TRegion::Combine(b, a, RGN_DIFF),
                               RGN_OR));
    EXPECT_EQ(TRegion::Combine(a, TRegion::Combine(a, b, RGN_DIFF), RGN_DIFF),
              TRegion::Combine(a, b, RGN_AND));
    EXPECT_EQ(TRegion::Combine(TRegion::Combine(a, b, RGN_OR), c, RGN_OR),
              TRegion::Combine(a, TRegion::Combine(b, c, RGN_OR), RGN_OR));
    EXPECT_EQ(TRegion::Combine(a, a, RGN_OR), a);
    EXPECT_EQ(TRegion::Combine(a, a, RGN_AND), a);
    EXPECT_TRUE(TRegion::Combine(a, a, RGN_XOR).IsEmpty());
    EXPECT_TRUE(TRegion::Combine(a, a, RGN_DIFF).IsEmpty());
    if (::testing::Test::HasFailure()) break;
  }
}

TEST(RegionCombineTest, ContainsAndExtentsFollowThePixels) {
  TShapeMaker maker(5);
  for (int iteration = 0; iteration < 300; ++iteration) {
    const TShape s = maker.Any();
    TRect box{};
    bool any = false;
    for (int32_t y = kWindow.Top; y < kWindow.Bottom; ++y) {
      for (int32_t x = kWindow.Left; x < kWindow.Right; ++x) {
        const bool in = s.Mask.Get(x, y);
        ASSERT_EQ(s.Region.Contains(x, y), in) << s.Name << " at (" << x << "," << y << ")";
        if (!in) continue;
        box = any ? TRect{std::min(box.Left, x), std::min(box.Top, y), std::max(box.Right, x + 1),
                          std::max(box.Bottom, y + 1)}
                  : TRect{x, y, x + 1, y + 1};
        any = true;
      }
    }
    EXPECT_EQ(s.Region.IsEmpty(), !any);
    EXPECT_EQ(RectsText({s.Region.Extents()}), RectsText({box})) << s.Name;
  }
}

TEST(RegionCombineTest, OffsetMovesEveryPixel) {
  TShapeMaker maker(9);
  for (int iteration = 0; iteration < 100; ++iteration) {
    const TShape s = maker.Any();
    const int32_t dx = maker.Uniform(-3, 3);
    const int32_t dy = maker.Uniform(-3, 3);
    TRegion moved = s.Region;
    moved.Offset(dx, dy);
    const TMask expected = TMask::FromPredicate(
        TRect{kWindow.Left - 3, kWindow.Top - 3, kWindow.Right + 3, kWindow.Bottom + 3},
        [&](int32_t x, int32_t y) { return s.Region.Contains(x - dx, y - dy); });
    ExpectRegionIs(moved, expected, s.Name);
  }
}

TEST(RegionCombineTest, OffsetPastTheCoordinateRangeClampsAndDrops) {
  TRegion r = TRegion::Combine(TRegion::CreateRectRgn(0, 0, 12, 4),
                               TRegion::CreateRectRgn(0, 4, 20, 8), TCombineMode::RGN_OR);
  r.Offset(INT32_MAX - 12, 0);
  // The wider lower band loses what passes the end and becomes equal to the upper one.
  EXPECT_TRUE(r.IsValid());
  EXPECT_EQ(RectsText(r.Rects()), RectsText({TRect{INT32_MAX - 12, 0, INT32_MAX, 8}}));
  r.Offset(0, INT32_MIN);
  EXPECT_EQ(RectsText(r.Rects()),
            RectsText({TRect{INT32_MAX - 12, INT32_MIN, INT32_MAX, INT32_MIN + 8}}));
  r.Offset(20, 0);  // entirely past the end
  EXPECT_TRUE(r.IsEmpty());
  EXPECT_TRUE(r.IsValid());
}

TEST(RegionCombineTest, RectanglesAreNormalisedAndZeroSizesAreEmpty) {
  EXPECT_EQ(RectsText(TRegion::CreateRectRgn(10, 20, 0, 5).Rects()), "(0,5,10,20)");
  EXPECT_EQ(RectsText({TRegion::CreateRectRgn(10, 20, 0, 5).Extents()}), "(0,5,10,20)");
  for (const TRegion& empty :
       {TRegion::CreateRectRgn(5, 5, 5, 9), TRegion::CreateRectRgn(1, 7, 9, 7), TRegion()}) {
    EXPECT_TRUE(empty.IsEmpty());
    EXPECT_TRUE(empty.IsValid());
    EXPECT_EQ(RectsText({empty.Extents()}), "(0,0,0,0)");
    EXPECT_FALSE(empty.Contains(5, 7));
  }
  // Right and bottom are exclusive.
  const TRegion r = TRegion::CreateRectRgn(0, 0, 4, 3);
  EXPECT_TRUE(r.Contains(3, 2));
  EXPECT_FALSE(r.Contains(4, 2));
  EXPECT_FALSE(r.Contains(3, 3));
  EXPECT_FALSE(r.Contains(-1, 0));
}

TEST(RegionCombineTest, EmptyOperandsAndDisjointExtents) {
  using enum TCombineMode;
  const TRegion a = TRegion::CreateRectRgn(0, 0, 10, 10);
  const TRegion far = TRegion::CreateRectRgn(20, 20, 30, 30);
  const TRegion none;
  EXPECT_EQ(TRegion::Combine(a, none, RGN_OR), a);
  EXPECT_EQ(TRegion::Combine(none, a, RGN_XOR), a);
  EXPECT_TRUE(TRegion::Combine(a, far, RGN_AND).IsEmpty());
  EXPECT_EQ(TRegion::Combine(a, far, RGN_DIFF), a);
  EXPECT_EQ(TRegion::Combine(a, far, RGN_COPY), a);
  EXPECT_TRUE(TRegion::Combine(none, a, RGN_DIFF).IsEmpty());
  // Touching rectangles merge into one box; side by side bands of equal spans into one band.
  EXPECT_EQ(RectsText(TRegion::Combine(a, TRegion::CreateRectRgn(10, 0, 20, 10), RGN_OR).Rects()),
            "(0,0,20,10)");
  EXPECT_EQ(RectsText(TRegion::Combine(a, TRegion::CreateRectRgn(0, 10, 10, 20), RGN_OR).Rects()),
            "(0,0,10,20)");
  // Coordinates at the ends of the 32-bit range do not disturb the sweep.
  const TRegion huge = TRegion::CreateRectRgn(INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX);
  EXPECT_EQ(TRegion::Combine(huge, a, RGN_AND), a);
  const TRegion ring = TRegion::Combine(huge, a, RGN_DIFF);
  EXPECT_TRUE(ring.IsValid());
  EXPECT_EQ(ring.Rects().size(), 4u);
  EXPECT_EQ(TRegion::Combine(ring, a, RGN_OR), huge);
}

#ifdef NDEBUG
// FromCanonicalRects asserts the invariants in debug builds, so broken lists can only be fed to
// IsValid in release builds.
TEST(RegionCombineTest, IsValidRejectsBrokenLists) {
  const auto valid = [](std::vector<TRect> rects) {
    return TRegion::FromCanonicalRects(std::move(rects)).IsValid();
  };
  EXPECT_TRUE(valid({{0, 0, 2, 1}, {3, 0, 5, 1}, {0, 1, 5, 2}}));
  EXPECT_FALSE(valid({{0, 0, 2, 1}, {2, 0, 5, 1}}));  // touching boxes in a band
  EXPECT_FALSE(valid({{3, 0, 5, 1}, {0, 0, 2, 1}}));  // unsorted band
  EXPECT_FALSE(valid({{0, 0, 2, 1}, {0, 1, 2, 2}}));  // equal touching bands not joined
  EXPECT_FALSE(valid({{0, 0, 2, 2}, {0, 1, 3, 3}}));  // overlapping bands
  EXPECT_FALSE(valid({{0, 0, 2, 1}, {4, 0, 6, 2}}));  // band of mixed heights
  EXPECT_FALSE(valid({{0, 0, 0, 1}}));                // empty box
  EXPECT_TRUE(valid({{0, 0, 2, 1}, {0, 2, 2, 3}}));   // equal bands with a gap are fine
}
#endif

}  // namespace
}  // namespace tovrin
