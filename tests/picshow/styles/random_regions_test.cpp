#include "picshow/styles/random_regions.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <vector>

#include "gfx/region_shape_union.h"

namespace tovrin {
namespace {

TFrameExtents At(int32_t w, int32_t h, int32_t progress, int32_t step = 4) {
  return ComputeFrameExtents(w, h, progress, step);
}

TRegion Rgn(int32_t l, int32_t t, int32_t r, int32_t b) {
  return TRegion::CreateRectRgn(l, t, r, b);
}
TRegion Or(const TRegion& a, const TRegion& b) {
  return TRegion::Combine(a, b, TCombineMode::RGN_OR);
}

// Collects shapes the literal way: the first becomes the result, each later one is OR-ed in.
struct TLiteral {
  std::optional<TRegion> Result;
  void Merge(const TRegion& shape) { Result = Result ? Or(*Result, shape) : shape; }
};

// A jitter drawn from the test's own generator: the first draw added, the second subtracted.
int32_t Jit(TRandom& random, int32_t range) {
  const int32_t first = random.Next(range);
  const int32_t second = random.Next(range);
  return first - second;
}

// The ragged routine as a literal sequence of region calls, rows and columns written out apart.
std::optional<TRegion> LiteralRagged(int32_t a, int32_t b, int32_t w, int32_t h, int rowMode,
                                     int columnMode, TRandom& random) {
  TLiteral out;
  if (rowMode != 0) {
    const int32_t range = a < w ? w / 7 : 0;
    for (int32_t y = 0; y < h; y += 5) {
      const int32_t y2 = y + 5 + h % 5;
      if (rowMode == 1) {
        out.Merge(Rgn(w - a + Jit(random, range), y, w, y2));
      } else if (rowMode == 2) {
        out.Merge(Rgn(0, y, a + Jit(random, range), y2));
      } else if (rowMode == 3) {
        TRegion shape = Rgn((w - a + Jit(random, range)) / 2, y, w / 2, y2);
        out.Merge(Or(shape, Rgn(w / 2, y, (w + a + Jit(random, range)) / 2, y2)));
      } else {
        TRegion shape = Rgn(w - (a + Jit(random, range)) / 2, y, w, y2);
        out.Merge(Or(shape, Rgn(0, y, (a + Jit(random, range)) / 2, y2)));
      }
    }
  }
  if (columnMode != 0) {
    const int32_t range = b < h ? h / 7 : 0;
    for (int32_t x = 0; x < w; x += 5) {
      const int32_t x2 = x + 5 + w % 5;
      if (columnMode == 1) {
        out.Merge(Rgn(x, h - b + Jit(random, range), x2, h));
      } else if (columnMode == 2) {
        out.Merge(Rgn(x, 0, x2, b + Jit(random, range)));
      } else if (columnMode == 3) {
        TRegion shape = Rgn(x, (h - b + Jit(random, range)) / 2, x2, h / 2);
        out.Merge(Or(shape, Rgn(x, h / 2, x2, (h + b + Jit(random, range)) / 2)));
      } else {
        TRegion shape = Rgn(x, h - (b + Jit(random, range)) / 2, x2, h);
        out.Merge(Or(shape, Rgn(x, 0, x2, (b + Jit(random, range)) / 2)));
      }
    }
  }
  return out.Result;
}

std::optional<TRegion> LiteralCrumble(int32_t a, int32_t b, int32_t w, int32_t h, int rowMode,
                                      int columnMode, TRandom& random) {
  TLiteral out;
  if (rowMode != 0) {
    const int32_t d = a < w ? w / 10 : 0;
    const int32_t s = std::max(d / 20, 2), n = d / s, t0 = ((3 * d) / s) / 4;
    for (int32_t y = 0; y < h; y += s / 2) {
      TRegion shape = rowMode == 1 ? Rgn(w - a, y, w, y + s) : Rgn(0, y, a, y + s);
      for (int32_t k = n; k >= 1; --k) {
        const int32_t t = t0 >= k ? 1 : 0;
        if (random.Next(k) > t) continue;
        if (rowMode == 1) {
          const int32_t x = w - a - k * s;
          shape = Or(shape, Rgn(x, y, x + s, y + s));
        } else {
          const int32_t x = k * s + a;
          shape = Or(shape, Rgn(x - s, y, x, y + s));
        }
      }
      out.Merge(shape);
    }
  }
  if (columnMode != 0) {
    const int32_t d = b < h ? h / 10 : 0;
    const int32_t s = std::max(d / 20, 2), n = d / s, t0 = ((3 * d) / s) / 4;
    for (int32_t x = 0; x < w; x += s / 2) {
      TRegion shape = columnMode == 1 ? Rgn(x, h - b, x + s, h) : Rgn(x, 0, x + s, b);
      for (int32_t k = n; k >= 1; --k) {
        const int32_t t = t0 >= k ? 1 : 0;
        if (random.Next(k) > t) continue;
        if (columnMode == 1) {
          const int32_t y = h - b - k * s;
          shape = Or(shape, Rgn(x, y, x + s, y + s));
        } else {
          const int32_t y = k * s + b;
          shape = Or(shape, Rgn(x, y - s, x + s, y));
        }
      }
      out.Merge(shape);
    }
  }
  return out.Result;
}

std::optional<TRegion> LiteralBlocks(int32_t w, int32_t h, int32_t p, TRandom& random) {
  TLiteral out;
  const int32_t d = std::max(std::min(w, h) / 50 + p / 10, 1);
  for (int32_t x = 0; x < w; x += d) {
    for (int32_t y = 0; y < h; y += d) {
      if (random.Next(100) < p) out.Merge(Rgn(x - d, y - d, x + d, y + d));
    }
  }
  return out.Result;
}

// The pixel spans of one row of a region, as [left, right) pairs.
std::vector<std::pair<int32_t, int32_t>> RowSpans(const TRegion& region, int32_t y) {
  std::vector<std::pair<int32_t, int32_t>> spans;
  for (const TRect& r : region.Rects()) {
    if (r.Top <= y && y < r.Bottom) spans.emplace_back(r.Left, r.Right);
  }
  return spans;
}
using TSpans = std::vector<std::pair<int32_t, int32_t>>;

// Advances a copy of a generator n times.
uint32_t SeedAfter(uint32_t seed, int draws) {
  TRandom random(seed);
  for (int i = 0; i < draws; ++i) random.Next(1);
  return random.Seed();
}

// ---- Against the literal region calls -----------------------------------------------------------

TEST(RandomStylesTest, EveryRandomStyleEqualsTheLiteralRegionCallsAndDraws) {
  struct TCall {
    int Style;
    std::function<std::optional<TRegion>(const TFrameExtents&, TRandom&)> Literal;
  };
  std::vector<TCall> calls;
  const int raggedModes[][2] = {{1, 0}, {2, 0}, {3, 0}, {4, 0}};
  for (int i = 0; i < 4; ++i) {
    const int rows = raggedModes[i][0];
    calls.push_back({65 + i, [rows](const TFrameExtents& e, TRandom& r) {
                       return LiteralRagged(e.X, 0, e.W, e.H, rows, 0, r);
                     }});
    calls.push_back({76 + i, [rows](const TFrameExtents& e, TRandom& r) {
                       return LiteralRagged(0, e.Y, e.W, e.H, 0, rows, r);
                     }});
  }
  const int both[][2] = {{1, 1}, {1, 2}, {2, 1}, {2, 2}, {1, 3},
                         {2, 3}, {3, 1}, {3, 2}, {3, 3}, {4, 4}};
  for (int i = 0; i < 10; ++i) {
    const int rows = both[i][0], columns = both[i][1];
    calls.push_back({100 + i, [rows, columns](const TFrameExtents& e, TRandom& r) {
                       return LiteralRagged(e.X, e.Y, e.W, e.H, rows, columns, r);
                     }});
  }
  const int crumble[][2] = {{1, 0}, {2, 0}, {0, 1}, {0, 2}};
  for (int i = 0; i < 4; ++i) {
    const int rows = crumble[i][0], columns = crumble[i][1];
    calls.push_back({123 + i, [rows, columns](const TFrameExtents& e, TRandom& r) {
                       return LiteralCrumble(e.X, e.Y, e.W, e.H, rows, columns, r);
                     }});
  }
  calls.push_back({127, [](const TFrameExtents& e, TRandom& r) {
                     return LiteralBlocks(e.W, e.H, e.Progress, r);
                   }});

  const TPoint sizes[] = {{320, 240}, {241, 181}, {37, 23}, {1, 1}, {180, 260}, {0, 0}};
  uint32_t seed = 7;
  for (const TPoint size : sizes) {
    for (const int progress : {0, 3, 25, 50, 77, 99, 100}) {
      const TFrameExtents e = At(size.X, size.Y, progress);
      for (const TCall& call : calls) {
        seed = seed * 2654435761u + 12345u;
        TRandom mine(seed), theirs(seed);
        const std::optional<TRegion> got = RandomStyleRegion(call.Style, e, mine);
        const std::optional<TRegion> want = call.Literal(e, theirs);
        ASSERT_EQ(got.has_value(), want.has_value()) << "style " << call.Style;
        if (got) {
          ASSERT_EQ(*got, *want) << "style " << call.Style << " on " << size.X << "x" << size.Y
                                 << " at " << progress << " seed " << seed;
        }
        // Same number of draws: the next frame starts from the same generator state.
        ASSERT_EQ(mine.Seed(), theirs.Seed()) << "style " << call.Style;
      }
    }
  }
}

TEST(RandomStylesTest, RandomSizesSeedsAndProgressesMatchTheLiteralCalls) {
  // Odd and tiny pictures either way round, then random ones; Progress 0 and 100 and Steps 1 and
  // 100 each time, then random ones; a fresh seed for every call.
  std::vector<TPoint> sizes{{1, 1}, {2, 1}, {1, 2}, {37, 23}, {23, 37}, {7, 300}, {300, 7}};
  TRandom pick(90210);
  for (int i = 0; i < 10; ++i) sizes.push_back({1 + pick.Next(400), 1 + pick.Next(400)});
  const auto literal = [](int style, const TFrameExtents& e, TRandom& r) -> std::optional<TRegion> {
    static constexpr int kRagged[][3] = {
        {65, 1, 0},  {66, 2, 0},  {67, 3, 0},  {68, 4, 0},  {76, 0, 1},  {77, 0, 2},
        {78, 0, 3},  {79, 0, 4},  {100, 1, 1}, {101, 1, 2}, {102, 2, 1}, {103, 2, 2},
        {104, 1, 3}, {105, 2, 3}, {106, 3, 1}, {107, 3, 2}, {108, 3, 3}, {109, 4, 4}};
    for (const auto& [s, rows, columns] : kRagged) {
      if (s == style) {
        return LiteralRagged(rows ? e.X : 0, columns ? e.Y : 0, e.W, e.H, rows, columns, r);
      }
    }
    if (style >= 123 && style <= 126) {
      static constexpr int kCrumble[][2] = {{1, 0}, {2, 0}, {0, 1}, {0, 2}};
      const auto [rows, columns] = kCrumble[style - 123];
      return LiteralCrumble(e.X, e.Y, e.W, e.H, rows, columns, r);
    }
    return LiteralBlocks(e.W, e.H, e.Progress, r);
  };
  for (const TPoint size : sizes) {
    for (int round = 0; round < 5; ++round) {
      const int progress = round == 0 ? 0 : round == 1 ? 100 : pick.Next(101);
      const int step = round % 2 == 0 ? 1 : round == 3 ? 100 : 1 + pick.Next(100);
      const TFrameExtents e = At(size.X, size.Y, progress, step);
      for (int style = 65; style <= 127; ++style) {
        if (!IsRandomRegionStyle(style)) continue;
        const uint32_t seed = static_cast<uint32_t>(pick.Next(1 << 30)) * 4u + 1u;
        TRandom mine(seed), theirs(seed);
        const std::optional<TRegion> got = RandomStyleRegion(style, e, mine);
        const std::optional<TRegion> want = literal(style, e, theirs);
        ASSERT_EQ(got.has_value(), want.has_value()) << "style " << style;
        if (got) {
          ASSERT_EQ(*got, *want) << "style " << style << " on " << size.X << "x" << size.Y << " at "
                                 << progress << " seed " << seed;
        }
        ASSERT_EQ(mine.Seed(), theirs.Seed()) << "style " << style;
      }
    }
  }
}

TEST(RandomStylesTest, SinglePassColumnStylesAreRowStylesTurned) {
  const std::pair<int, int> twins[] = {{65, 76}, {66, 77},   {67, 78},
                                       {68, 79}, {123, 125}, {124, 126}};
  for (const auto& [rows, columns] : twins) {
    TRandom a(99), b(99);
    const TRegion wide = *RandomStyleRegion(rows, At(257, 163, 40), a);
    const TRegion tall = *RandomStyleRegion(columns, At(163, 257, 40), b);
    std::vector<TRect> turned;
    for (const TRect& r : wide.Rects()) turned.push_back({r.Top, r.Left, r.Bottom, r.Right});
    EXPECT_EQ(TShapeUnion::UnionOfRects(turned), tall) << rows << " and " << columns;
  }
}

// ---- Ragged ------------------------------------------------------------------------------------

TEST(RaggedTest, JitterIsFirstDrawMinusSecondWithASeventhOfTheWidth) {
  // 700 wide: J = 100. Two bands of 5 rows; each band end is 700 - 350 + (first - second).
  TRandom random(2024);
  TRandom copy(2024);
  const TRegion r = *RaggedRegion(350, 0, 700, 10, 1, 0, random);
  for (const int32_t y : {0, 5}) {
    const int32_t first = copy.Next(100);
    const int32_t second = copy.Next(100);
    ASSERT_NE(first, second);  // the seed must tell added from subtracted
    EXPECT_EQ(RowSpans(r, y), (TSpans{{350 + first - second, 700}})) << "band at " << y;
  }
  EXPECT_EQ(random.Seed(), copy.Seed());
}

TEST(RaggedTest, TwoRectangleShapesDrawTheFirstRectanglesJitterFirst) {
  // Mode 3, one band: [(500 + j1) / 2, 350) joined to [350, (900 + j2) / 2).
  TRandom random(77);
  TRandom copy(77);
  const TRegion r = *RaggedRegion(200, 0, 700, 5, 3, 0, random);
  const int32_t a1 = copy.Next(100), s1 = copy.Next(100);
  const int32_t a2 = copy.Next(100), s2 = copy.Next(100);
  ASSERT_NE(a1 - s1, a2 - s2);
  EXPECT_EQ(RowSpans(r, 0), (TSpans{{(500 + a1 - s1) / 2, (900 + a2 - s2) / 2}}));
}

TEST(RaggedTest, CompleteReachIsStraightButStillDraws) {
  // A = W: no jitter, yet every band still draws its two numbers.
  TRandom random(5);
  const TRegion r = *RaggedRegion(700, 0, 700, 10, 2, 0, random);
  EXPECT_EQ(r.Rects(), (std::vector<TRect>{{0, 0, 700, 10}}));
  EXPECT_EQ(random.Seed(), SeedAfter(5, 4));
}

TEST(RaggedTest, BandsStretchByTheHeightsRemainderAndOverlap) {
  // 483 high: 97 bands starting every 5 rows, each 8 tall; the last ends at 488.
  TRandom random(1);
  const TRegion r = *RaggedRegion(640, 0, 640, 483, 2, 0, random);
  EXPECT_EQ(r.Rects(), (std::vector<TRect>{{0, 0, 640, 488}}));
  EXPECT_EQ(random.Seed(), SeedAfter(1, 97 * 2));
  // With jitter, a row in the overlap belongs to two bands: rows 5..7 are covered by band 0's
  // [0, 320 + j0) and band 1's [0, 320 + j1).
  TRandom jittered(3), copy(3);
  const TRegion j = *RaggedRegion(320, 0, 640, 483, 2, 0, jittered);
  const int32_t j0 = Jit(copy, 91), j1 = Jit(copy, 91);
  EXPECT_EQ(RowSpans(j, 6), (TSpans{{0, 320 + std::max(j0, j1)}}));
  EXPECT_EQ(RowSpans(j, 4), (TSpans{{0, 320 + j0}}));
}

TEST(RaggedTest, EmptyPictureMakesNoShape) {
  TRandom random(1);
  EXPECT_FALSE(RaggedRegion(0, 0, 0, 0, 1, 1, random).has_value());
  EXPECT_FALSE(CrumbleRegion(0, 0, 0, 0, 1, 2, random).has_value());
  EXPECT_FALSE(RandomBlockRegion(0, 0, 50, random).has_value());
}

// ---- Crumble -----------------------------------------------------------------------------------

TEST(CrumbleTest, BlocksAheadOfTheEdgeFollowTheDraws) {
  // 1024 wide, A < W: D = 102, s = 5, n = 20, t0 = 15; two rows high: one band, 20 draws.
  for (const int mode : {1, 2}) {
    TRandom random(31337), copy(31337);
    const TRegion r = *CrumbleRegion(500, 0, 1024, 2, mode, 0, random);
    TSpans want;
    if (mode == 2) want.emplace_back(0, 500);
    for (int32_t k = 20; k >= 1; --k) {
      if (copy.Next(k) > (k <= 15 ? 1 : 0)) continue;
      if (mode == 1) {
        want.emplace_back(524 - 5 * k, 529 - 5 * k);
      } else {
        want.emplace_back(495 + 5 * k, 500 + 5 * k);
      }
    }
    if (mode == 1) want.emplace_back(524, 1024);
    std::sort(want.begin(), want.end());
    TSpans joined;  // touching blocks are one span
    for (const auto& s : want) {
      if (!joined.empty() && s.first <= joined.back().second) {
        joined.back().second = std::max(joined.back().second, s.second);
      } else {
        joined.push_back(s);
      }
    }
    EXPECT_EQ(RowSpans(r, 0), joined) << "mode " << mode;
    EXPECT_EQ(random.Seed(), copy.Seed());
  }
  // Ten rows: bands start every s / 2 = 2 rows, so five bands of 20 draws.
  TRandom random(8);
  CrumbleRegion(500, 0, 1024, 10, 1, 0, random);
  EXPECT_EQ(random.Seed(), SeedAfter(8, 100));
}

TEST(CrumbleTest, ReachesOffThePictureMatchTheLiteralCalls) {
  // Negative reaches turn the solid part inside out (the rectangle call swaps its corners), and
  // blocks may then touch either of its ends; reaches at and past the side have no blocks.
  TRandom pick(5);
  for (const int32_t w : {1, 39, 40, 59, 60, 200, 641}) {
    for (const int32_t a : {-w, -w / 3, -1, 0, 1, w / 2, w - 1, w, w + 7, 2 * w}) {
      for (const int mode : {1, 2, 3}) {
        const uint32_t seed = static_cast<uint32_t>(pick.Next(1 << 30));
        TRandom mine(seed), theirs(seed), mineTurned(seed), theirsTurned(seed);
        ASSERT_EQ(*CrumbleRegion(a, 0, w, 9, mode, 0, mine),
                  *LiteralCrumble(a, 0, w, 9, mode, 0, theirs))
            << "rows, reach " << a << " of " << w << ", mode " << mode;
        ASSERT_EQ(mine.Seed(), theirs.Seed());
        ASSERT_EQ(*CrumbleRegion(0, a, 9, w, 0, mode, mineTurned),
                  *LiteralCrumble(0, a, 9, w, 0, mode, theirsTurned))
            << "columns, reach " << a << " of " << w << ", mode " << mode;
        ASSERT_EQ(mineTurned.Seed(), theirsTurned.Seed());
      }
    }
  }
}

TEST(CrumbleTest, CompleteReachHasNoBlocksAndCoversThePicture) {
  // A = W: D = 0, s = 2, n = 0: no draws, bands of 2 rows every row.
  TRandom random(8);
  const TRegion r = *CrumbleRegion(1024, 0, 1024, 10, 1, 0, random);
  EXPECT_EQ(r.Rects(), (std::vector<TRect>{{0, 0, 1024, 11}}));
  EXPECT_EQ(random.Seed(), 8u);
}

// ---- Random blocks -----------------------------------------------------------------------------

TEST(RandomBlocksTest, GridOfSeventeenOnEightHundredBySixHundredAtHalfway) {
  // d = 600 / 50 + 50 / 10 = 17: 48 columns by 36 rows of grid points, x outer.
  TRandom random(4242), copy(4242);
  const std::optional<TRegion> r = RandomBlockRegion(800, 600, 50, random);
  ASSERT_TRUE(r.has_value());
  EXPECT_EQ(random.Seed(), SeedAfter(4242, 48 * 36));
  // Each chosen point shows a square 34 pixels wide about it: a pixel is covered when a chosen
  // point lies within (-17, 17] of it on both axes.
  std::vector<char> chosen(48 * 36);
  for (int i = 0; i < 48; ++i) {
    for (int j = 0; j < 36; ++j) chosen[i * 36 + j] = copy.Next(100) < 50;
  }
  int mismatches = 0;
  for (int32_t y = 0; y < 600; ++y) {
    for (int32_t x = 0; x < 800; ++x) {
      bool want = false;
      for (int i = x / 17; i <= (x + 17) / 17 && i < 48; ++i) {
        for (int j = y / 17; j <= (y + 17) / 17 && j < 36; ++j) {
          const int32_t gx = 17 * i, gy = 17 * j;
          if (chosen[i * 36 + j] && gx - 17 <= x && x < gx + 17 && gy - 17 <= y && y < gy + 17) {
            want = true;
          }
        }
      }
      if (r->Contains(x, y) != want && mismatches++ == 0) {
        ADD_FAILURE() << "pixel (" << x << ", " << y << ") expected " << want;
      }
    }
  }
  EXPECT_EQ(mismatches, 0);
}

TEST(RandomBlocksTest, NothingAtZeroProgressYetEveryPointDraws) {
  TRandom random(6);
  EXPECT_FALSE(RandomBlockRegion(800, 600, 0, random).has_value());
  // d = 12 at Progress 0: 67 x 50 grid points.
  EXPECT_EQ(random.Seed(), SeedAfter(6, 67 * 50));
  // At 100 every point is chosen and the squares cover the picture.
  TRandom all(6);
  const TRegion full = *RandomBlockRegion(800, 600, 100, all);
  EXPECT_EQ(full.Rects(), (std::vector<TRect>{{-22, -22, 814, 616}}));
}

TEST(RandomStylesTest, OtherStylesHaveNoRegionAndDrawNothing) {
  TRandom random(11);
  for (int style : {0, 58, 64, 99, 110, 117, 118, 122, 128}) {
    EXPECT_FALSE(IsRandomRegionStyle(style));
    EXPECT_FALSE(RandomStyleRegion(style, At(100, 80, 50), random).has_value()) << style;
  }
  EXPECT_EQ(random.Seed(), 11u);
}

}  // namespace
}  // namespace tovrin
