// Our software regions against the platform's: every region is made both ways, and the rectangle
// lists (GetRegionData) and bounding boxes must be equal.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "gdi_objects.h"
#include "gfx/region.h"
#include "rect_list.h"
#include "region_pairs.h"

namespace tovrin {
namespace {

using namespace gdi;

// Counts the cases of one sweep and keeps the first mismatch with both results, so that one
// failure message shows exactly what to fix.
//
// A case matches when our region is canonical, covers exactly GDI's pixels and has GDI's bounding
// box. GDI's rectangle list for the same pixels is then ours whenever GDI's own list is canonical
// (as CombineRgn leaves it). The regions that CreateRoundRectRgn and CreatePolygonRgn return
// under Wine are not always canonical (touching boxes in a row, equal bands left apart); those
// are compared by their pixels, which is all that clipping uses.
class TRegionSweep {
 public:
  void Check(const std::string& name, const TBoth& both) {
    ++FCases;
    if (!both.Ours.IsEmpty()) ++FNonEmpty;
    std::string problem = Compare(both);
    if (problem.empty()) return;
    if (FMismatches++ == 0) FFirst = name + "\n" + problem;
  }

  // A case left out because the reference is known to be wrong there.
  void Skip() { ++FSkipped; }

  void Report() const {
    EXPECT_EQ(FMismatches, 0) << FMismatches << " of " << FCases << " cases differ; the first:\n"
                              << FFirst;
    // A sweep of nothing but empty regions would agree with a region class that makes none.
    EXPECT_GT(FNonEmpty, FCases / 4)
        << "only " << FNonEmpty << " of " << FCases << " regions hold a pixel";
    std::printf(
        "(%d cases: %d compared rectangle for rectangle, the rest by pixels, as GDI cut "
        "them otherwise; %d left out for Wine's flat-ellipse fault)\n",
        FCases, FExactLists, FSkipped);
  }

 private:
  std::string Compare(const TBoth& both) {
    const TRegion& ours = both.Ours;
    gdi::TGdiRegionData theirs;
    if (both.Gdi == nullptr) {
      theirs.Ok = true;  // GDI made no region: nothing is drawn through it, as for an empty one
    } else {
      theirs = RegionData(both.Gdi.get());
      if (!theirs.Ok) return "GetRegionData failed";
    }
    std::string problem, why;
    if (!ours.IsValid() || !gdi::IsCanonical(ours.Rects(), why)) {
      problem += "our rectangle list is not canonical: " + why + "\n";
    }
    const std::string rowDifference = gdi::FirstRowDifference(ours.Rects(), theirs.Rects);
    if (!rowDifference.empty()) problem += "other pixels, first at " + rowDifference + "\n";
    // Wine keeps zero-width boxes in rounded rectangles (and carries them through CombineRgn)
    // and counts them in the reported bound; the box of the pixels themselves is what we match.
    if (ours.Extents() != gdi::PixelBound(theirs.Rects)) problem += "other bounding box\n";
    const bool gdiCanonical = gdi::IsCanonical(theirs.Rects, why);
    if (gdiCanonical) ++FExactLists;
    if (gdiCanonical && (ours.Rects() != theirs.Rects || ours.Extents() != theirs.Bound)) {
      problem += "other rectangle list or bound\n";
    }
    if (problem.empty()) return {};
    return problem + "ours: " + FormatRects(ours.Rects()) + " extents " +
           FormatRect(ours.Extents()) + "\nGDI:  " + FormatRects(theirs.Rects) + " bound " +
           FormatRect(theirs.Bound) + (gdiCanonical ? "" : " (not canonical: " + why + ")");
  }

  int FCases = 0;
  int FMismatches = 0;
  int FSkipped = 0;
  int FNonEmpty = 0;
  int FExactLists = 0;
  std::string FFirst;
};

TEST(RegionCompareTest, RectanglesIncludingEmptyAndInverted) {
  TRegionSweep sweep;
  const int32_t values[] = {-3, 0, 1, 2, 5, 9};
  for (int32_t l : values)
    for (int32_t t : values)
      for (int32_t r : values)
        for (int32_t b : values) sweep.Check(RectName(l, t, r, b), RectBoth(l, t, r, b));
  // Far-reaching rectangles, as styles make them beyond the picture.
  sweep.Check(RectName(-100000, -5, 100000, 7), RectBoth(-100000, -5, 100000, 7));
  sweep.Check(RectName(4000, 3000, -4000, -3000), RectBoth(4000, 3000, -4000, -3000));
  sweep.Report();
}

TEST(RegionCompareTest, RoundRectangles) {
  TRegionSweep sweep;
  const TRect boxes[] = {{0, 0, 10, 10}, {0, 0, 1, 1},  {0, 0, 2, 2},   {0, 0, 3, 3},
                         {3, 1, 20, 9},  {0, 0, 17, 4}, {12, 14, 2, 3}, {-7, -5, 33, 41},
                         {0, 0, 0, 10},  {5, 5, 6, 30}, {0, 0, 64, 48}, {-2, -2, 101, 7}};
  const int32_t ellipses[] = {-4, 0, 1, 2, 3, 4, 5, 6, 9, 10, 11, 15, 20, 40, 100};
  for (const TRect& box : boxes)
    for (int32_t w : ellipses)
      for (int32_t h : ellipses) {
        if (WineFlatEllipseFault(box.Left, box.Top, box.Right, box.Bottom, w, h)) {
          sweep.Skip();
          continue;
        }
        sweep.Check(RoundRectName(box.Left, box.Top, box.Right, box.Bottom, w, h),
                    RoundRectBoth(box.Left, box.Top, box.Right, box.Bottom, w, h));
      }
  // Boxes of every small size with circles and ellipses that fill them.
  for (int32_t size = 1; size <= 24; ++size)
    for (int32_t other = 1; other <= 24; other += 5) {
      if (WineFlatEllipseFault(0, 0, size, other, size, other)) {
        sweep.Skip();
      } else {
        sweep.Check(RoundRectName(0, 0, size, other, size, other),
                    RoundRectBoth(0, 0, size, other, size, other));
      }
      if (WineFlatEllipseFault(1, 2, 1 + size, 2 + other, size + 1, other + 1)) {
        sweep.Skip();
      } else {
        sweep.Check(RoundRectName(1, 2, 1 + size, 2 + other, size + 1, other + 1),
                    RoundRectBoth(1, 2, 1 + size, 2 + other, size + 1, other + 1));
      }
    }
  sweep.Report();
}

// Ellipses tens of thousands of pixels across, where products of the radii outgrow 32 bits.
TEST(RegionCompareTest, GiantRoundRectangles) {
  TRegionSweep sweep;
  const int32_t cases[][6] = {{-5000, -5000, 5000, 5000, 10000, 10000},
                              {-20000, -3, 20000, 3000, 40000, 6000},
                              {-50000, -50000, 50000, 50000, 100000, 100000},
                              {0, 0, 100000, 50, 200000, 100},
                              {-200000, -10, 200000, 2000, 400000, 4000}};
  for (const auto& c : cases) {
    sweep.Check(RoundRectName(c[0], c[1], c[2], c[3], c[4], c[5]),
                RoundRectBoth(c[0], c[1], c[2], c[3], c[4], c[5]));
  }
  sweep.Report();
}

// The rounded rectangles of the curved-wipe and iris transitions at every fifth progress value
// (X and Y as the frame set-up computes them), on a landscape, a portrait and a tiny picture.
TEST(RegionCompareTest, RoundRectanglesOfTheTransitions) {
  TRegionSweep sweep;
  const TPoint sizes[] = {{160, 120}, {90, 130}, {7, 5}, {640, 480}, {1920, 1080}, {1080, 1920}};
  for (const TPoint size : sizes) {
    const int32_t W = size.X, H = size.Y;
    const int step = W > 200 ? 25 : 5;
    for (int progress = 0; progress <= 100; progress += step) {
      int32_t X, Y;
      if (W >= H) {
        X = ::MulDiv(W, progress, 100);
        Y = ::MulDiv(X, H, W);
      } else {
        Y = ::MulDiv(H, progress, 100);
        X = ::MulDiv(Y, W, H);
      }
      const int32_t shapes[][6] = {
          {-2 * W, -5, 2 * X, H + 5, 2 * W, 2 * W},
          {W - 2 * X, -5, 3 * W, H + 5, 2 * W, 2 * W},
          {-5, -2 * H, W + 5, 2 * Y, 2 * H, 2 * H},
          {-5, H - 2 * Y, W + 5, 3 * H, 2 * H, 2 * H},
          {-2 * W, -2 * H, 2 * X, 2 * Y, 2 * W, 2 * H},
          {W - 2 * X, -2 * H, 3 * W, 2 * Y, 2 * W, 2 * H},
          {-2 * W, H - 2 * Y, 2 * X, 3 * H, 2 * W, 2 * H},
          {W - 2 * X, H - 2 * Y, 3 * W, 3 * H, 2 * H, 2 * H},
          {W / 2 - X, H / 2 - Y, W / 2 + X, H / 2 + Y, (9 * X) / 5, (9 * Y) / 5},
          {X - W / 2, Y - H / 2, (3 * W) / 2 - X, (3 * H) / 2 - Y, (9 * (W - X)) / 5,
           (9 * (H - Y)) / 5},
      };
      for (const auto& s : shapes) {
        if (WineFlatEllipseFault(s[0], s[1], s[2], s[3], s[4], s[5])) {
          sweep.Skip();
          continue;
        }
        sweep.Check(RoundRectName(s[0], s[1], s[2], s[3], s[4], s[5]) + " on " + std::to_string(W) +
                        "x" + std::to_string(H),
                    RoundRectBoth(s[0], s[1], s[2], s[3], s[4], s[5]));
      }
      // The shrinking iris shows the picture outside its box.
      const int32_t* iris = shapes[9];
      if (WineFlatEllipseFault(iris[0], iris[1], iris[2], iris[3], iris[4], iris[5])) continue;
      TBoth inside = RoundRectBoth(iris[0], iris[1], iris[2], iris[3], iris[4], iris[5]);
      CombineInto(inside, RectBoth(0, 0, W, H), TCombineMode::RGN_XOR);
      sweep.Check("XOR of the picture and " +
                      RoundRectName(iris[0], iris[1], iris[2], iris[3], iris[4], iris[5]),
                  inside);
    }
  }
  sweep.Report();
}

TEST(RegionCompareTest, RandomTriangles) {
  TRegionSweep sweep;
  TSweepRandom random(1);
  for (int i = 0; i < 3000; ++i) {
    const int32_t reach = i < 2000 ? 24 : 300;
    std::vector<TPoint> points;
    for (int k = 0; k < 3; ++k) {
      points.push_back({random.Range(-8, reach), random.Range(-8, reach)});
    }
    sweep.Check("CreatePolygonRgn " + PointsText(points), PolygonBoth(points));
  }
  sweep.Report();
}

TEST(RegionCompareTest, SpecialPolygons) {
  TRegionSweep sweep;
  const std::vector<std::vector<TPoint>> polygons = {
      {},                          // no points
      {{3, 3}},                    // one point
      {{0, 0}, {10, 10}},          // two points
      {{4, 4}, {4, 4}, {4, 4}},    // all the same point
      {{0, 0}, {5, 5}, {10, 10}},  // collinear
      {{0, 5}, {20, 5}, {10, 5}},  // a horizontal line
      {{7, 0}, {7, 20}, {7, 9}},   // a vertical line
      {{0, 0}, {1, 0}, {0, 1}},    // the smallest triangle
      {{0, 0}, {2, 0}, {0, 2}},
      {{0, 0}, {100, 1}, {0, 2}},                     // a sliver
      {{0, 0}, {10, 0}, {10, 10}, {0, 10}},           // a square, clockwise
      {{0, 0}, {0, 10}, {10, 10}, {10, 0}},           // and anticlockwise
      {{0, 0}, {10, 10}, {10, 0}, {0, 10}},           // a bow tie
      {{10, 0}, {16, 19}, {0, 7}, {20, 7}, {4, 19}},  // a pentagram: centre wound twice
      {{0, 0}, {20, 0}, {20, 20}, {0, 20}, {0, 0}, {20, 0}, {20, 20}, {0, 20}},  // wound twice
      {{0, 0}, {20, 0}, {20, 20}, {0, 20}, {5, 5}, {5, 15}, {15, 15}, {15, 5}, {5, 5}, {0, 20}},
      {{0, 0}, {30, 0}, {30, 30}, {10, 30}, {10, 10}, {20, 10}, {20, 20}, {0, 20}},
      {{-5, -5}, {5, -5}, {-5, 5}},                         // partly negative
      {{0, 0}, {1, 13}, {2, 0}, {3, 13}, {4, 0}, {5, 13}},  // a comb of thin spikes
      {{0, 0}, {25, 3}, {3, 25}, {28, 28}, {0, 14}, {28, 0}},
  };
  for (const auto& points : polygons) {
    sweep.Check("CreatePolygonRgn " + PointsText(points), PolygonBoth(points));
  }
  TSweepRandom random(2);
  for (int i = 0; i < 1000; ++i) {
    std::vector<TPoint> points(static_cast<size_t>(random.Range(4, 9)));
    for (TPoint& p : points) p = {random.Range(-6, 30), random.Range(-6, 30)};
    sweep.Check("CreatePolygonRgn " + PointsText(points), PolygonBoth(points));
  }
  sweep.Report();
}

// The triangles of the triangle-wipe transitions, merged as the styles merge them.
TEST(RegionCompareTest, TriangleWipeShapes) {
  TRegionSweep sweep;
  const TPoint sizes[] = {{160, 120}, {90, 130}, {7, 5}, {1920, 1080}, {600, 1000}};
  for (const TPoint size : sizes) {
    const int32_t W = size.X, H = size.Y;
    const int step = W > 200 ? 30 : 10;
    for (int progress = 0; progress <= 100; progress += step) {
      const int32_t X =
          W >= H ? ::MulDiv(W, progress, 100) : ::MulDiv(::MulDiv(H, progress, 100), W, H);
      const int32_t Y = W >= H ? ::MulDiv(X, H, W) : ::MulDiv(H, progress, 100);
      const std::string at = " on " + std::to_string(W) + "x" + std::to_string(H) +
                             " at progress " + std::to_string(progress);
      sweep.Check("corner" + at, TriangleBoth(0, 0, 2 * X, 0, 0, 2 * Y));
      sweep.Check("corner" + at, TriangleBoth(W, 0, W - 2 * X, 0, W, 2 * Y));
      sweep.Check("corner" + at, TriangleBoth(0, H, 2 * X, H, 0, H - 2 * Y));
      sweep.Check("corner" + at, TriangleBoth(W, H, W - 2 * X, H, W, H - 2 * Y));

      TBoth t = TriangleBoth(0, H, 0, 0, X, H);
      TBoth r = TriangleBoth(W, H, W, 0, W - X, 0);
      CombineInto(r, t, TCombineMode::RGN_OR);
      sweep.Check("two wedges from the sides" + at, r);

      TBoth centre = TriangleBoth(W / 2, H / 2, 0, H, 0, H - Y);
      CombineInto(centre, TriangleBoth(0, 0, X, 0, W / 2, H / 2), TCombineMode::RGN_OR);
      CombineInto(centre, TriangleBoth(W - X, H, W / 2, H / 2, W, H), TCombineMode::RGN_OR);
      CombineInto(centre, TriangleBoth(W / 2, H / 2, W, 0, W, Y), TCombineMode::RGN_OR);
      sweep.Check("four wedges about the centre" + at, centre);

      const int32_t legX = X / 5, legY = ::MulDiv(legX, H, W);
      TBoth grid;
      bool first = true;
      for (int32_t i = 0; i < 10; ++i)
        for (int32_t j = 0; j < 10; ++j) {
          const int32_t x = (j * W) / 10, y = (i * H) / 10;
          TBoth shape = TriangleBoth(x, y, x + legX, y, x, y + legY);
          if (first) {
            grid = std::move(shape);
            first = false;
          } else {
            CombineInto(grid, shape, TCombineMode::RGN_OR);
          }
        }
      sweep.Check("grid of triangles" + at, grid);
    }
  }
  sweep.Report();
}

TEST(RegionCompareTest, CombinationsOfShapes) {
  TRegionSweep sweep;
  TSweepRandom random(3);
  const TCombineMode modes[] = {TCombineMode::RGN_AND, TCombineMode::RGN_OR, TCombineMode::RGN_XOR,
                                TCombineMode::RGN_DIFF};
  for (int i = 0; i < 2000; ++i) {
    std::string nameA, nameB;
    const TBoth a = RandomShape(random, nameA);
    const TBoth b = RandomShape(random, nameB);
    for (TCombineMode mode : modes) {
      sweep.Check(std::string(ModeName(mode)) + " of " + nameA + " and " + nameB,
                  Combined(a, b, mode));
    }
  }
  // Chains: each step combines a new shape into the running result, which grows complex.
  for (int chain = 0; chain < 200; ++chain) {
    std::string text, name;
    TBoth result = RandomShape(random, text);
    for (int step = 0; step < 8; ++step) {
      const TBoth shape = RandomShape(random, name);
      const TCombineMode mode = modes[random.Range(0, 3)];
      CombineInto(result, shape, mode);
      text += "\n " + std::string(ModeName(mode)) + " " + name;
      sweep.Check("chain " + text, result);
    }
  }
  sweep.Report();
}

// Interlaced bands as the band transitions build them: many thin rectangles merged one by one,
// then two band sets intersected.
TEST(RegionCompareTest, BandUnionsAndTheirIntersection) {
  TRegionSweep sweep;
  const int32_t W = 203, H = 117;
  for (int32_t reach = 0; reach <= 2 * W; reach += 29) {
    TBoth rows = RectBoth(0, 0, 0, 0), columns = RectBoth(0, 0, 0, 0);
    for (int32_t i = 0; i < H + 5; i += 10) {
      const int32_t a = std::min(reach, W);
      CombineInto(rows, RectBoth(W - a, i, W, i + 5), TCombineMode::RGN_OR);
      if (reach > W) CombineInto(rows, RectBoth(0, i + 5, reach - W, i + 10), TCombineMode::RGN_OR);
    }
    for (int32_t j = 0; j < W + 5; j += 10) {
      const int32_t b = std::min(reach * H / W, H);
      CombineInto(columns, RectBoth(j, 0, j + 5, b), TCombineMode::RGN_OR);
      CombineInto(columns, RectBoth(j + 5, H - b, j + 10, H), TCombineMode::RGN_OR);
    }
    const std::string at = " at reach " + std::to_string(reach);
    sweep.Check("row bands" + at, rows);
    sweep.Check("column bands" + at, columns);
    sweep.Check("row and column bands" + at, Combined(rows, columns, TCombineMode::RGN_OR));
    sweep.Check("rows inside columns" + at, Combined(rows, columns, TCombineMode::RGN_AND));
  }
  sweep.Report();
}

TEST(RegionCompareTest, OffsetMovesEveryRectangle) {
  TRegionSweep sweep;
  TSweepRandom random(4);
  for (int i = 0; i < 300; ++i) {
    std::string name;
    TBoth shape = RandomShape(random, name);
    const int32_t dx = random.Range(-50, 50), dy = random.Range(-50, 50);
    shape.Ours.Offset(dx, dy);
    OffsetRgn(shape.Gdi.get(), dx, dy);
    sweep.Check(name + " moved by " + std::to_string(dx) + "," + std::to_string(dy), shape);
  }
  sweep.Report();
}

}  // namespace
}  // namespace tovrin
