// Stretch copies: the pixel selection against a step-by-step reference walk, pinned results
// observed from the platform's StretchBlt, and the bitmap copies built on the plan.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "gfx/region.h"
#include "gfx/stretch.h"
#include "gfx/stretch_plan.h"

namespace tovrin {
namespace {

// The destination row of a one-row copy as text: source column per pixel, "." where untouched.
std::string PlanRow(const TStretchPlan& plan, int destWidth) {
  std::string out;
  for (int x = 0; x < destWidth; ++x) {
    const int i = x - plan.Columns.First;
    if (!out.empty()) out += ' ';
    if (plan.Empty() || i < 0 || i >= static_cast<int>(plan.Columns.Source.size())) {
      out += '.';
    } else {
      out += std::to_string(plan.Columns.Source[static_cast<size_t>(i)]);
    }
  }
  return out;
}

struct TPinned {
  int SrcWidth, DestWidth;
  TRect Dest, Src;
  const char* Expected;
};

// One-row copies whose results were recorded from the platform's StretchBlt in COLORONCOLOR
// mode (source pixel x holds colour x; "." = destination pixel left alone).
TEST(StretchPlan, MatchesRecordedPlatformResults) {
  const TPinned cases[] = {
      {10, 3, {0, 0, 3, 1}, {0, 0, 10, 1}, "2 6 9"},                // shrink keeps the last
      {3, 10, {0, 0, 10, 1}, {0, 0, 3, 1}, "0 0 0 1 1 1 1 2 2 2"},  // enlarge
      {6, 8, {7, 0, 2, 1}, {0, 0, 6, 1}, ". . . 5 4 3 1 0"},        // mirrored destination
      {6, 8, {1, 0, 6, 1}, {5, 0, -1, 1}, ". 5 4 2 1 0 . ."},       // mirrored source
      {6, 8, {-3, 0, 7, 1}, {0, 0, 6, 1}, "2 2 3 3 4 5 5 ."},       // off the left edge
      {6, 8, {2, 0, 7, 1}, {-2, 0, 5, 1}, ". . . 0 1 3 4 ."},       // source reaches outside
      // A mirrored source reaching outside its bitmap: the destination moves instead.
      {6, 8, {1, 0, 7, 1}, {4, 0, -2, 1}, ". . 4 3 2 1 0 ."},
      {6, 8, {5, 0, 6, 1}, {2, 0, 5, 1}, ". . . . . 3 . ."},  // one pixel wide: source shortened
      {6, 8, {3, 0, -2, 1}, {3, 0, 6, 1}, "5 4 3 3 . . . ."},
  };
  for (const TPinned& c : cases) {
    const TStretchPlan plan =
        PlanStretch(c.Dest, c.Src, c.SrcWidth, 1, TRect{0, 0, c.DestWidth, 1});
    EXPECT_EQ(PlanRow(plan, c.DestWidth), c.Expected)
        << "dest (" << c.Dest.Left << ", " << c.Dest.Right << ") src (" << c.Src.Left << ", "
        << c.Src.Right << ")";
  }
}

TEST(StretchPlan, ShrinkingRowsKeepsTheFirstOfEachGroup) {
  // 10 source rows onto 3: the platform keeps rows 0, 3 and 7 (columns keep 2, 6 and 9).
  const TStretchPlan plan = PlanStretch({0, 0, 1, 3}, {0, 0, 1, 10}, 1, 10, {0, 0, 1, 3});
  EXPECT_EQ(plan.Rows.Source, (std::vector<int32_t>{0, 3, 7}));
}

// The reference: GDI's Bresenham loop run step by step over the whole unclipped axis, keeping
// the steps whose destination lies in [clipLo, clipHi) and whose source lies in [0, srcSize).
std::vector<std::pair<int64_t, int64_t>> ReferenceAxis(int64_t dOrg, int64_t dExt, int64_t sOrg,
                                                       int64_t sExt, int64_t clipLo, int64_t clipHi,
                                                       int64_t srcSize, bool keepLast) {
  if (dExt == 0 || sExt == 0) return {};  // an empty rectangle copies nothing
  if (dExt == 1 && sExt > 1) --sExt;
  const int64_t dx = std::abs(sExt), dy = std::abs(dExt);
  const int64_t si = sExt < 0 ? -1 : 1, di = dExt < 0 ? -1 : 1;
  std::vector<std::pair<int64_t, int64_t>> kept;  // (dest, source), one per destination
  int64_t s = sOrg, d = dOrg;
  const bool shrink = dx > dy;
  int64_t err = shrink ? 3 * dy - 2 * dx : 3 * dx - 2 * dy;
  const int64_t add1 = shrink ? 2 * dy - 2 * dx : 2 * dx - 2 * dy;
  const int64_t add2 = shrink ? 2 * dy : 2 * dx;
  for (int64_t step = 0; step < (shrink ? dx : dy); ++step) {
    if (d >= clipLo && d < clipHi && s >= 0 && s < srcSize) {
      if (!kept.empty() && kept.back().first == d) {
        if (keepLast) kept.back().second = s;
      } else {
        kept.emplace_back(d, s);
      }
    }
    const bool minor = err > 0;
    err += minor ? add1 : add2;
    if (shrink) {
      s += si;
      if (minor) d += di;
    } else {
      d += di;
      if (minor) s += si;
    }
  }
  return kept;
}

TEST(StretchPlan, AgreesWithStepByStepWalk) {
  std::mt19937 rng(12345);
  const auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  int checked = 0;
  for (int iter = 0; iter < 20000; ++iter) {
    const int srcW = pick(1, 40), destW = pick(1, 40);
    const int dOrg = pick(-30, 60), sOrg = pick(-20, 50);
    int dExt = pick(-70, 70), sExt = pick(-70, 70);
    if (pick(0, 9) == 0) dExt = pick(-2, 2);
    // Left out: a mirrored source that does not fit its bitmap (GDI moves the destination, see
    // the pinned cases), equal extents (a plain copy) and the one-pixel quirk that turns into one.
    const int64_t sLo = sExt >= 0 ? sOrg : int64_t{sOrg} + sExt + 1;
    const int64_t sHi = sExt >= 0 ? int64_t{sOrg} + sExt : sOrg + 1;
    const bool fits = sLo >= 0 && sHi <= srcW;
    if ((sExt < 0) != (dExt < 0) && !fits) continue;
    if (dExt == sExt || (dExt == 1 && sExt == 2)) continue;
    const int clipLo = pick(0, destW - 1), clipHi = pick(clipLo + 1, destW);

    // Rows use the same walk as columns, keeping the first source instead of the last.
    const TStretchPlan plan = PlanStretch({dOrg, 0, dOrg + dExt, 1}, {sOrg, 0, sOrg + sExt, 1},
                                          srcW, 1, {clipLo, 0, clipHi, 1});
    const auto expected = ReferenceAxis(dOrg, dExt, sOrg, sExt, clipLo, clipHi, srcW, true);
    std::vector<std::pair<int64_t, int64_t>> actual;
    if (!plan.Empty()) {
      for (size_t i = 0; i < plan.Columns.Source.size(); ++i) {
        actual.emplace_back(plan.Columns.First + static_cast<int64_t>(i), plan.Columns.Source[i]);
      }
    }
    auto sorted = expected;
    std::sort(sorted.begin(), sorted.end());
    ASSERT_EQ(actual, sorted) << "dest " << dOrg << " " << dExt << " src " << sOrg << " " << sExt
                              << " srcW " << srcW << " clip " << clipLo << ".." << clipHi;

    const TStretchPlan vplan = PlanStretch({0, dOrg, 1, dOrg + dExt}, {0, sOrg, 1, sOrg + sExt}, 1,
                                           srcW, {0, clipLo, 1, clipHi});
    auto vexpected = ReferenceAxis(dOrg, dExt, sOrg, sExt, clipLo, clipHi, srcW, false);
    std::sort(vexpected.begin(), vexpected.end());
    std::vector<std::pair<int64_t, int64_t>> vactual;
    if (!vplan.Empty()) {
      for (size_t i = 0; i < vplan.Rows.Source.size(); ++i) {
        vactual.emplace_back(vplan.Rows.First + static_cast<int64_t>(i), vplan.Rows.Source[i]);
      }
    }
    ASSERT_EQ(vactual, vexpected) << "rows: dest " << dOrg << " " << dExt << " src " << sOrg << " "
                                  << sExt;
    ++checked;
  }
  EXPECT_GT(checked, 10000);
}

TEST(StretchPlan, FarOffAndHugeRectanglesCostNothingAndDrawNothingOutside) {
  // Extents near the 32-bit limits must neither overflow nor walk billions of steps.
  const TRect clip{0, 0, 100, 100};
  TStretchPlan plan =
      PlanStretch({INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX}, {0, 0, 10, 10}, 10, 10, clip);
  ASSERT_FALSE(plan.Empty());
  EXPECT_EQ(plan.Columns.First, 0);
  EXPECT_EQ(plan.Columns.Source.size(), 100u);
  plan = PlanStretch({0, 0, 100, 100}, {INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX}, 10, 10, clip);
  for (int32_t s : plan.Columns.Source) EXPECT_TRUE(s >= 0 && s < 10);
  EXPECT_TRUE(PlanStretch({200, 0, 300, 10}, {0, 0, 10, 10}, 10, 10, clip).Empty());
  EXPECT_TRUE(PlanStretch({0, 0, 0, 10}, {0, 0, 10, 10}, 10, 10, clip).Empty());
  EXPECT_TRUE(PlanStretch({0, 0, 10, 10}, {0, 0, 10, 0}, 10, 10, clip).Empty());
}

TEST(StretchPlan, HugeExtentsFollowTheClosedForms) {
  // The maps are stepped from one destination pixel to the next; deep inside extents of up to
  // two billion pixels they must still agree with the closed forms evaluated afresh.
  std::mt19937 rng(4242);
  const auto pick = [&](int64_t lo, int64_t hi) {
    return std::uniform_int_distribution<int64_t>(lo, hi)(rng);
  };
  for (int iter = 0; iter < 2000; ++iter) {
    const int64_t d = pick(100, 2'000'000'000), s = pick(100, 2'000'000'000);
    if (d == s) continue;
    const int64_t c0 = pick(0, d - 50);
    const TRect clip{static_cast<int32_t>(c0), 0, static_cast<int32_t>(c0 + 50), 1};
    const TStretchPlan plan =
        PlanStretch({0, 0, static_cast<int32_t>(d), 1}, {0, 0, static_cast<int32_t>(s), 1},
                    static_cast<int32_t>(s), 1, clip);
    ASSERT_EQ(plan.Columns.First, c0);
    ASSERT_EQ(plan.Columns.Source.size(), 50u) << "d " << d << " s " << s << " at " << c0;
    for (size_t i = 0; i < 50; ++i) {
      const __int128 j = c0 + static_cast<int64_t>(i);
      int64_t want;
      if (d >= s) {
        want = static_cast<int64_t>(((2 * j + 1) * s - 1) / (2 * d));
      } else {
        // The last source step k whose n(k) = floor(((2k + 1) d - 1) / (2s)) is still j.
        const __int128 next = 2 * (j + 1) * s + 1 - d;  // first step of pixel j + 1, times 2d
        want = static_cast<int64_t>((next + 2 * d - 1) / (2 * d)) - 1;
      }
      ASSERT_EQ(plan.Columns.Source[i], want) << "d " << d << " s " << s << " pixel " << c0 + i;
    }
  }
}

// A bitmap whose pixel (x, y) is B = x, G = y, R = 200.
TBitmap Coordinates(int w, int h) {
  TBitmap b(w, h);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x)
      b.SetPixel(x, y, RGB(200, static_cast<uint8_t>(y), static_cast<uint8_t>(x)));
  }
  return b;
}

// Every pixel of dest as StretchCopy should leave it: from the plan where drawn (and inside the
// region when there is one), else the colour it had.
void ExpectMatchesPlan(const TBitmap& dest, const TBitmap& before, const TBitmap& src,
                       const TStretchPlan& plan, const TRegion* clip) {
  for (int y = 0; y < dest.Height(); ++y) {
    for (int x = 0; x < dest.Width(); ++x) {
      TColor want = before.Pixel(x, y);
      const int i = x - plan.Columns.First, j = y - plan.Rows.First;
      if (!plan.Empty() && i >= 0 && j >= 0 && i < int(plan.Columns.Source.size()) &&
          j < int(plan.Rows.Source.size()) && (clip == nullptr || clip->Contains(x, y))) {
        want = src.Pixel(plan.Columns.Source[size_t(i)], plan.Rows.Source[size_t(j)]);
      }
      ASSERT_EQ(dest.Pixel(x, y), want) << "pixel " << x << ", " << y;
    }
  }
}

TEST(StretchCopy, PixelsFollowThePlanWithAndWithoutRegion) {
  std::mt19937 rng(777);
  const auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  // Widths with and without row padding: the row copy reads 4 bytes where the row allows it.
  const TBitmap sources[] = {Coordinates(23, 17), Coordinates(24, 16)};
  for (int iter = 0; iter < 400; ++iter) {
    const TBitmap& src = sources[iter / 2 % 2];
    TBitmap dest(pick(1, 30), pick(1, 30));
    dest.Fill(clWhite);
    const TBitmap before = dest;
    const int x = pick(-20, 30), y = pick(-20, 30);
    const TRect destRect{x, y, x + pick(-40, 40), y + pick(-40, 40)};
    const int sx = pick(-5, 25), sy = pick(-5, 20);
    const TRect srcRect{sx, sy, sx + pick(-30, 30), sy + pick(-30, 30)};
    TRegion clip;
    for (int k = 0; k < 3; ++k) {
      const int l = pick(-5, 30), t = pick(-5, 30);
      clip = TRegion::Combine(clip, TRegion::CreateRectRgn(l, t, l + pick(1, 15), t + pick(1, 15)),
                              TCombineMode::RGN_OR);
    }
    const bool clipped = iter % 2 == 1;
    StretchCopy(dest, destRect, src, srcRect, clipped ? &clip : nullptr);
    TRect planClip = dest.BoundsRect();
    if (clipped) planClip = IntersectRect(planClip, clip.Extents());
    const TStretchPlan plan =
        planClip.IsEmpty() ? TStretchPlan{}
                           : PlanStretch(destRect, srcRect, src.Width(), src.Height(), planClip);
    ExpectMatchesPlan(dest, before, src, plan, clipped ? &clip : nullptr);
    if (HasFatalFailure()) return;
  }
}

TEST(StretchCopy, EverySmallWidthBothDirections) {
  // Rows are gathered in blocks of four pixels with single-pixel heads and tails; every run
  // length and both ends of the source row (with and without padding) are covered here.
  for (int srcW = 1; srcW <= 9; ++srcW) {
    const TBitmap src = Coordinates(srcW, 2);
    for (int destW = 1; destW <= 20; ++destW) {
      for (bool mirror : {false, true}) {
        TBitmap dest(destW + 2, 2);
        dest.Fill(clWhite);
        const TBitmap before = dest;
        const TRect destRect = mirror ? TRect{destW, 0, 0, 2} : TRect{1, 0, destW + 1, 2};
        StretchCopy(dest, destRect, src, {0, 0, srcW, 2});
        const TStretchPlan plan =
            PlanStretch(destRect, {0, 0, srcW, 2}, srcW, 2, dest.BoundsRect());
        ASSERT_EQ(plan.Columns.Source.size(), size_t(destW));
        ExpectMatchesPlan(dest, before, src, plan, nullptr);
        if (HasFatalFailure()) return;
      }
    }
  }
}

TEST(StretchCopy, WideRowsEnlargedAndShrunkBothDirections) {
  // Enlarged 24-bit rows are gathered five pixels per 16-byte window; windows near the end of
  // the source row (with and without padding), mirrored maps and ratios near 1:1, where five
  // pixels fill a window to its last byte, are all here.
  for (int srcW : {40, 41, 42, 43}) {
    const TBitmap src = Coordinates(srcW, 3);
    for (int destW : {16, 39, 41, 42, 45, 46, 47, 60, 79, 80, 81, 119, 200}) {
      for (bool mirror : {false, true}) {
        TBitmap dest(destW + 7, 3);
        dest.Fill(clWhite);
        const TBitmap before = dest;
        const TRect destRect = mirror ? TRect{destW + 2, 0, 2, 3} : TRect{3, 0, destW + 3, 3};
        StretchCopy(dest, destRect, src, {0, 0, srcW, 3});
        const TStretchPlan plan =
            PlanStretch(destRect, {0, 0, srcW, 3}, srcW, 3, dest.BoundsRect());
        ExpectMatchesPlan(dest, before, src, plan, nullptr);
        if (HasFatalFailure()) return;
      }
    }
  }
}

TEST(StretchCopy, ShrunkRowsAtEveryAlignment) {
  // Shrunk 24-bit rows are gathered in 16-byte chunks that lie on 16-byte boundaries of the
  // destination, each from a 64-byte window of the source row, with single pixels before the
  // first chunk and after the last. Rows a multiple of 4 but not of 16 bytes apart start at every
  // alignment. The ratios run from about 1:1 to past the point where a chunk's pixels no longer
  // fit one window; mirrored maps and windows that reach the end of the source row (with and
  // without padding) are here too.
  for (int srcW : {190, 191, 250, 253}) {
    const TBitmap src = Coordinates(srcW, 5);
    for (int destW : {37, 50, 53, 64, 71, 96, 127, 170, 189}) {
      for (int left : {0, 1, 2, 5}) {
        for (bool mirror : {false, true}) {
          TBitmap dest(left + destW + 3, 5);
          dest.Fill(clWhite);
          const TBitmap before = dest;
          const TRect destRect =
              mirror ? TRect{left + destW, 0, left, 5} : TRect{left, 0, left + destW, 5};
          StretchCopy(dest, destRect, src, {0, 0, srcW, 5});
          const TStretchPlan plan =
              PlanStretch(destRect, {0, 0, srcW, 5}, srcW, 5, dest.BoundsRect());
          ExpectMatchesPlan(dest, before, src, plan, nullptr);
          if (HasFatalFailure()) return;
        }
      }
    }
  }
}

TEST(StretchCopy, EightBitSourceGoesThroughItsPalette) {
  TBitmap src(4, 2, TPixelFormat::pf8bit);
  for (int i = 0; i < 256; ++i) {
    src.Palette()[size_t(i)] = TPaletteEntry{uint8_t(i), uint8_t(255 - i), 7};
  }
  for (int y = 0; y < 2; ++y) {
    for (int x = 0; x < 4; ++x) src.ScanLine(y)[x] = uint8_t(10 * x + y);
  }
  TBitmap dest(8, 4);
  StretchCopy(dest, {0, 0, 8, 4}, src, {0, 0, 4, 2});
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 8; ++x) {
      const uint8_t index = uint8_t(10 * (x / 2) + y / 2);
      EXPECT_EQ(dest.Pixel(x, y), RGB(7, uint8_t(255 - index), index)) << x << ", " << y;
    }
  }
}

TEST(MirrorCopy, FoldCoversTwoMoreColumnsMirrored) {
  // The fold of the roll styles: dest (2, 0, 5, 1) from source (5, 0, 8, 1) mirrored left to
  // right becomes an extent of -5 at x = 6, covering columns 2..6.
  const TBitmap src = Coordinates(10, 1);
  TBitmap dest(10, 1);
  dest.Fill(clWhite);
  MirrorCopy(dest, {2, 0, 5, 1}, src, {5, 0, 8, 1}, true, false);
  TBitmap expected(10, 1);
  expected.Fill(clWhite);
  StretchCopy(expected, {6, 0, 1, 1}, src, {5, 0, 8, 1});
  EXPECT_EQ(dest, expected);
  EXPECT_EQ(dest.Pixel(1, 0), clWhite);
  EXPECT_EQ(dest.Pixel(7, 0), clWhite);
  EXPECT_EQ(GetBValue(dest.Pixel(2, 0)), 7);  // the far end of the source lands on the left
  EXPECT_EQ(GetBValue(dest.Pixel(6, 0)), 5);

  // The source is clipped to the bitmap first; an empty fold draws nothing.
  TBitmap untouched(10, 1);
  untouched.Fill(clWhite);
  const TBitmap blank = untouched;
  MirrorCopy(untouched, {3, 0, 3, 1}, src, {3, 0, 3, 1}, true, false);
  EXPECT_EQ(untouched, blank);
}

// The box a copy reports is exactly the set of pixels it writes: copying onto two canvases of
// different fills, the pixels that come out equal are the written ones.
TEST(StretchCopyBox, IsExactlyThePixelsWritten) {
  std::mt19937 gen(4242);
  const auto pick = [&gen](int lo, int hi) { return std::uniform_int_distribution(lo, hi)(gen); };
  const TBitmap src = Coordinates(23, 17);
  for (int round = 0; round < 3000; ++round) {
    const int w = pick(1, 30), h = pick(1, 20);
    const TRect destRect{pick(-12, w + 4), pick(-12, h + 4), pick(-12, w + 12), pick(-12, h + 12)};
    const TRect srcRect{pick(-8, 26), pick(-8, 20), pick(-8, 30), pick(-8, 24)};
    const bool mirror = round % 3 == 0;
    const bool mirrorH = pick(0, 1) == 1, mirrorV = pick(0, 1) == 1;
    TBitmap a(w, h), b(w, h);
    a.Fill(clWhite);
    b.Fill(clBlack);
    TRect box;
    if (mirror) {
      MirrorCopy(a, destRect, src, srcRect, mirrorH, mirrorV);
      MirrorCopy(b, destRect, src, srcRect, mirrorH, mirrorV);
      box = MirrorCopyBox(a, destRect, src, srcRect, mirrorH, mirrorV);
    } else {
      StretchCopy(a, destRect, src, srcRect);
      StretchCopy(b, destRect, src, srcRect);
      box = StretchCopyBox(a, destRect, src, srcRect);
    }
    for (int y = 0; y < h; ++y) {
      for (int x = 0; x < w; ++x) {
        const bool written = a.Pixel(x, y) == b.Pixel(x, y);
        const bool inBox = x >= box.Left && x < box.Right && y >= box.Top && y < box.Bottom;
        ASSERT_EQ(written, inBox) << "round " << round << " pixel " << x << "," << y;
      }
    }
  }
}

}  // namespace
}  // namespace tovrin
