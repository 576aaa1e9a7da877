// Region-style frames composed twice: once by ComposeFrame with our regions, and once with real
// GDI regions built by the literal sequence of region calls each style makes (CreateRectRgn,
// CreateRoundRectRgn, CreatePolygonRgn with WINDING, CombineRgn into the result shape by shape),
// drawn through ExtSelectClipRgn onto a DIB section. Every frame must be the same, byte for byte.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "core/random.h"
#include "gdi_objects.h"
#include "gfx/muldiv.h"
#include "picshow/styles/compose_frame.h"
#include "picshow/styles/frame_extents.h"
#include "region_pairs.h"

namespace tovrin {
namespace {

using namespace gdi;

constexpr int kAnd = 1, kOr = 2, kXor = 3;

// A region result built shape by shape: the first shape becomes the result, each later one is
// combined in with RGN_OR and deleted. Null while no shape was made ("none").
class TGdiResult {
 public:
  ~TGdiResult() {
    if (FRgn) DeleteObject(FRgn);
  }
  void Add(HRGN shape) {
    if (!FRgn) {
      FRgn = shape;
    } else {
      CombineRgn(FRgn, FRgn, shape, kOr);
      DeleteObject(shape);
    }
  }
  HRGN Release() {
    HRGN r = FRgn;
    FRgn = nullptr;
    return r;
  }

 private:
  HRGN FRgn = nullptr;
};

HRGN Rect(int32_t l, int32_t t, int32_t r, int32_t b) {
  return CreateRectRgn(l, t, r, b);
}

// A shape of two rectangles: the first with the second combined into it and deleted.
HRGN TwoRects(HRGN first, HRGN second) {
  CombineRgn(first, first, second, kOr);
  DeleteObject(second);
  return first;
}

HRGN Triangle(int32_t x0, int32_t y0, int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  const POINT points[4] = {{x0, y0}, {x1, y1}, {x2, y2}, {x0, y0}};
  return CreatePolygonRgn(points, 4, WINDING);
}

HRGN BandRegion(int32_t a, int32_t b, int32_t w, int32_t h, int32_t s, int rowMode,
                int columnMode) {
  TGdiResult result;
  // Row pass.
  {
    const bool second = a > w;
    for (int32_t i = second ? 5 : 0; i < h + 5; i += 10) {
      HRGN shape = nullptr;
      if (second) {
        if (rowMode == 1 || rowMode == 4) shape = Rect(2 * w - a, i, w, i + 5);
        if (rowMode == 2 || rowMode == 5) shape = Rect(0, i, a - w, i + 5);
        if (shape) shape = TwoRects(shape, Rect(0, i - 5, w, i));
      } else {
        if (a + s > w) a = w;
        if (rowMode == 1 || rowMode == 5) shape = Rect(w - a, i, w, i + 5);
        if (rowMode == 2 || rowMode == 4) shape = Rect(0, i, a, i + 5);
        if (rowMode == 3) shape = TwoRects(Rect(0, i + 5, a, i + 10), Rect(w - a, i, w, i + 5));
      }
      if (shape) result.Add(shape);
    }
  }
  // Column pass.
  {
    const bool second = b > h;
    for (int32_t j = second ? 5 : 0; j < w + 5; j += 10) {
      HRGN shape = nullptr;
      if (second) {
        if (columnMode == 1 || columnMode == 4) shape = Rect(j, 2 * h - b, j + 5, h);
        if (columnMode == 2 || columnMode == 5) shape = Rect(j, 0, j + 5, b - h);
        if (shape) shape = TwoRects(shape, Rect(j - 5, 0, j, h));
      } else {
        if (b + s > h) b = h;
        if (columnMode == 1 || columnMode == 5) shape = Rect(j, h - b, j + 5, h);
        if (columnMode == 2 || columnMode == 4) shape = Rect(j, 0, j + 5, b);
        if (columnMode == 3) shape = TwoRects(Rect(j + 5, 0, j + 10, b), Rect(j, h - b, j + 5, h));
      }
      if (shape) result.Add(shape);
    }
  }
  return result.Release();
}

int32_t Jitter(TRandom& random, int32_t range) {
  const int32_t added = random.Next(range);
  const int32_t subtracted = random.Next(range);
  return added - subtracted;
}

HRGN RaggedRegion(int32_t a, int32_t b, int32_t w, int32_t h, int rowMode, int columnMode,
                  TRandom& random) {
  TGdiResult result;
  if (rowMode != 0) {
    const int32_t j = a < w ? w / 7 : 0;
    for (int32_t y = 0; y < h; y += 5) {
      const int32_t y2 = y + 5 + h % 5;
      HRGN shape;
      if (rowMode == 1) {
        shape = Rect(w - a + Jitter(random, j), y, w, y2);
      } else if (rowMode == 2) {
        shape = Rect(0, y, a + Jitter(random, j), y2);
      } else if (rowMode == 3) {
        HRGN first = Rect((w - a + Jitter(random, j)) / 2, y, w / 2, y2);
        shape = TwoRects(first, Rect(w / 2, y, (w + a + Jitter(random, j)) / 2, y2));
      } else {
        HRGN first = Rect(w - (a + Jitter(random, j)) / 2, y, w, y2);
        shape = TwoRects(first, Rect(0, y, (a + Jitter(random, j)) / 2, y2));
      }
      result.Add(shape);
    }
  }
  if (columnMode != 0) {
    const int32_t j = b < h ? h / 7 : 0;
    for (int32_t x = 0; x < w; x += 5) {
      const int32_t x2 = x + 5 + w % 5;
      HRGN shape;
      if (columnMode == 1) {
        shape = Rect(x, h - b + Jitter(random, j), x2, h);
      } else if (columnMode == 2) {
        shape = Rect(x, 0, x2, b + Jitter(random, j));
      } else if (columnMode == 3) {
        HRGN first = Rect(x, (h - b + Jitter(random, j)) / 2, x2, h / 2);
        shape = TwoRects(first, Rect(x, h / 2, x2, (h + b + Jitter(random, j)) / 2));
      } else {
        HRGN first = Rect(x, h - (b + Jitter(random, j)) / 2, x2, h);
        shape = TwoRects(first, Rect(x, 0, x2, (b + Jitter(random, j)) / 2));
      }
      result.Add(shape);
    }
  }
  return result.Release();
}

HRGN CrumbleRegion(int32_t a, int32_t b, int32_t w, int32_t h, int rowMode, int columnMode,
                   TRandom& random) {
  TGdiResult result;
  if (rowMode != 0) {
    const int32_t d = a < w ? w / 10 : 0;
    const int32_t s = std::max(d / 20, 2);
    const int32_t n = d / s, t0 = ((3 * d) / s) / 4;
    for (int32_t y = 0; y < h; y += s / 2) {
      HRGN shape = rowMode == 1 ? Rect(w - a, y, w, y + s) : Rect(0, y, a, y + s);
      for (int32_t k = n; k >= 1; --k) {
        const int32_t t = t0 >= k ? 1 : 0;
        if (random.Next(k) <= t) {
          HRGN block;
          if (rowMode == 1) {
            const int32_t x = w - a - k * s;
            block = Rect(x, y, x + s, y + s);
          } else {
            const int32_t x = k * s + a;
            block = Rect(x - s, y, x, y + s);
          }
          shape = TwoRects(shape, block);
        }
      }
      result.Add(shape);
    }
  }
  if (columnMode != 0) {
    const int32_t d = b < h ? h / 10 : 0;
    const int32_t s = std::max(d / 20, 2);
    const int32_t n = d / s, t0 = ((3 * d) / s) / 4;
    for (int32_t x = 0; x < w; x += s / 2) {
      HRGN shape = columnMode == 1 ? Rect(x, h - b, x + s, h) : Rect(x, 0, x + s, b);
      for (int32_t k = n; k >= 1; --k) {
        const int32_t t = t0 >= k ? 1 : 0;
        if (random.Next(k) <= t) {
          HRGN block;
          if (columnMode == 1) {
            const int32_t y = h - b - k * s;
            block = Rect(x, y, x + s, y + s);
          } else {
            const int32_t y = k * s + b;
            block = Rect(x, y - s, x + s, y);
          }
          shape = TwoRects(shape, block);
        }
      }
      result.Add(shape);
    }
  }
  return result.Release();
}

HRGN RandomBlockRegion(int32_t w, int32_t h, int32_t p, TRandom& random) {
  TGdiResult result;
  const int32_t d = std::max(std::min(w, h) / 50 + p / 10, 1);
  for (int32_t x = 0; x < w; x += d) {
    for (int32_t y = 0; y < h; y += d) {
      if (random.Next(100) < p) result.Add(Rect(x - d, y - d, x + d, y + d));
    }
  }
  return result.Release();
}

// A rounded rectangle, noting when it is one of the very narrow ellipses whose tip rows Wine's GDI
// leaves undefined (our regions close the tip; such frames cannot be compared here).
HRGN RoundRect(int32_t l, int32_t t, int32_t r, int32_t b, int32_t w, int32_t h, bool& wineFault) {
  wineFault = wineFault || WineFlatEllipseFault(l, t, r, b, w, h);
  return CreateRoundRectRgn(l, t, r, b, w, h);
}

// The region of a region style made with GDI's own calls; null for none.
HRGN StyleRegion(int style, const TFrameExtents& e, TRandom& random, bool& wineFault) {
  const int32_t W = e.W, H = e.H, X = e.X, Y = e.Y, S = e.S;
  struct TBand {
    int style, a2x, b2y, useS, rows, columns;
  };
  // Reach factors: 2 = twice the extent, 1 = the extent, 0 = none.
  static constexpr TBand kBands[] = {
      {60, 2, 0, 1, 1, 0}, {61, 2, 0, 1, 2, 0}, {62, 2, 0, 1, 4, 0}, {63, 2, 0, 1, 5, 0},
      {64, 1, 0, 0, 3, 0}, {71, 0, 2, 1, 0, 1}, {72, 0, 2, 1, 0, 2}, {73, 0, 2, 1, 0, 4},
      {74, 0, 2, 1, 0, 5}, {75, 0, 1, 0, 0, 3}, {86, 2, 2, 1, 1, 1}, {87, 2, 2, 1, 1, 2},
      {88, 2, 2, 1, 2, 1}, {89, 2, 2, 1, 2, 2}, {90, 2, 2, 1, 4, 4}, {91, 2, 2, 1, 4, 5},
      {92, 2, 2, 1, 5, 4}, {93, 2, 2, 1, 5, 5}, {94, 1, 1, 1, 1, 3}, {95, 1, 1, 1, 2, 3},
      {96, 1, 1, 1, 3, 1}, {97, 1, 1, 1, 3, 2}, {98, 1, 1, 0, 3, 3}};
  for (const TBand& band : kBands) {
    if (band.style == style)
      return BandRegion(band.a2x * X, band.b2y * Y, W, H, band.useS ? S : 0, band.rows,
                        band.columns);
  }
  switch (style) {
    case 99: {
      HRGN t = BandRegion(2 * X, 2 * Y, W, H, S, 1, 1);
      HRGN r = BandRegion(2 * X, 2 * Y, W, H, S, 2, 2);
      if (r && t) CombineRgn(r, r, t, kAnd);
      if (t) DeleteObject(t);
      return r;
    }
    case 58:
      return RoundRect(-2 * W, -5, 2 * X, H + 5, 2 * W, 2 * W, wineFault);
    case 59:
      return RoundRect(W - 2 * X, -5, 3 * W, H + 5, 2 * W, 2 * W, wineFault);
    case 69:
      return RoundRect(-5, -2 * H, W + 5, 2 * Y, 2 * H, 2 * H, wineFault);
    case 70:
      return RoundRect(-5, H - 2 * Y, W + 5, 3 * H, 2 * H, 2 * H, wineFault);
    case 80:
      return RoundRect(-2 * W, -2 * H, 2 * X, 2 * Y, 2 * W, 2 * H, wineFault);
    case 81:
      return RoundRect(W - 2 * X, -2 * H, 3 * W, 2 * Y, 2 * W, 2 * H, wineFault);
    case 82:
      return RoundRect(-2 * W, H - 2 * Y, 2 * X, 3 * H, 2 * W, 2 * H, wineFault);
    case 83:
      return RoundRect(W - 2 * X, H - 2 * Y, 3 * W, 3 * H, 2 * H, 2 * H, wineFault);
    case 84:
      return RoundRect(W / 2 - X, H / 2 - Y, W / 2 + X, H / 2 + Y, (9 * X) / 5, (9 * Y) / 5,
                       wineFault);
    case 85: {
      HRGN t = CreateRectRgn(0, 0, W, H);
      HRGN r = RoundRect(X - W / 2, Y - H / 2, (3 * W) / 2 - X, (3 * H) / 2 - Y, (9 * (W - X)) / 5,
                         (9 * (H - Y)) / 5, wineFault);
      CombineRgn(r, r, t, kXor);
      DeleteObject(t);
      return r;
    }
    case 110:
      return Triangle(0, 0, 2 * X, 0, 0, 2 * Y);
    case 111:
      return Triangle(W, 0, W - 2 * X, 0, W, 2 * Y);
    case 112:
      return Triangle(0, H, 2 * X, H, 0, H - 2 * Y);
    case 113:
      return Triangle(W, H, W - 2 * X, H, W, H - 2 * Y);
    case 114: {
      HRGN t = Triangle(0, H, 0, 0, X, H);
      return TwoRects(Triangle(W, H, W, 0, W - X, 0), t);
    }
    case 115: {
      HRGN t = Triangle(W, 0, 0, 0, W, Y);
      return TwoRects(Triangle(W, H, 0, H, 0, H - Y), t);
    }
    case 116: {
      HRGN r = Triangle(W / 2, H / 2, 0, H, 0, H - Y);
      r = TwoRects(r, Triangle(0, 0, X, 0, W / 2, H / 2));
      r = TwoRects(r, Triangle(W - X, H, W / 2, H / 2, W, H));
      return TwoRects(r, Triangle(W / 2, H / 2, W, 0, W, Y));
    }
    case 117: {
      TGdiResult result;
      const int32_t x1 = X / 5, y1 = MulDiv(x1, H, W);
      for (int i = 0; i < 10; ++i) {
        for (int j = 0; j < 10; ++j) {
          const int32_t x = (j * W) / 10, y = (i * H) / 10;
          result.Add(Triangle(x, y, x + x1, y, x, y + y1));
        }
      }
      return result.Release();
    }
    case 123:
      return CrumbleRegion(X, Y, W, H, 1, 0, random);
    case 124:
      return CrumbleRegion(X, Y, W, H, 2, 0, random);
    case 125:
      return CrumbleRegion(X, Y, W, H, 0, 1, random);
    case 126:
      return CrumbleRegion(X, Y, W, H, 0, 2, random);
    case 127:
      return RandomBlockRegion(W, H, e.Progress, random);
    default:
      break;
  }
  static constexpr int kRagged[][3] = {
      {65, 1, 0},  {66, 2, 0},  {67, 3, 0},  {68, 4, 0},  {76, 0, 1},  {77, 0, 2},
      {78, 0, 3},  {79, 0, 4},  {100, 1, 1}, {101, 1, 2}, {102, 2, 1}, {103, 2, 2},
      {104, 1, 3}, {105, 2, 3}, {106, 3, 1}, {107, 3, 2}, {108, 3, 3}, {109, 4, 4}};
  for (const auto& r : kRagged) {
    if (r[0] == style) return RaggedRegion(r[1] ? X : 0, r[2] ? Y : 0, W, H, r[1], r[2], random);
  }
  ADD_FAILURE() << "style " << style << " is not a region style";
  return nullptr;
}

TBitmap Picture(int32_t w, int32_t h, bool incoming) {
  TBitmap b(w, h);
  for (int32_t y = 0; y < h; ++y) {
    for (int32_t x = 0; x < w; ++x) {
      b.SetPixel(x, y,
                 incoming ? RGB(uint8_t(x * 3), uint8_t(200 - y), 0x40)
                          : RGB(uint8_t(y * 5), 0x90, uint8_t(x)));
    }
  }
  return b;
}

TEST(StyleFramesCompareTest, RegionStylesMatchGdiRegionsFrameByFrame) {
  struct TSize {
    int32_t W, H;
  };
  const TSize sizes[] = {{64, 48}, {37, 23}, {23, 37}, {121, 91}, {2, 1}};
  int frames = 0, mismatches = 0, wineFaults = 0;
  std::string first;
  for (const TSize size : sizes) {
    const TBitmap oldPic = Picture(size.W, size.H, false);
    const TBitmap newPic = Picture(size.W, size.H, true);
    TDibSection gdiFrame(size.W, size.H);
    TDibSection gdiNew(size.W, size.H);
    ASSERT_TRUE(gdiFrame.Valid() && gdiNew.Valid());
    gdiNew.Load(newPic);
    for (int style = 58; style <= 127; ++style) {
      if (style >= 118 && style <= 122) continue;  // pixel styles draw without regions
      for (int progress = 0; progress <= 100; progress += (progress < 96 ? 7 : 1)) {
        const uint32_t seed = static_cast<uint32_t>(style * 7919 + progress * 31 + size.W);
        // Ours, through the composer.
        TBitmap media(size.W, size.H);
        TBitmap incoming = newPic;
        uint8_t p = static_cast<uint8_t>(progress);
        TRandom ourRandom(seed);
        TComposeHooks hooks;
        hooks.Invalidate = [](const TRect&) {};
        ComposeFrame(TComposeFrameArgs{oldPic, incoming, media, static_cast<uint8_t>(style), p, 4,
                                       false, ourRandom, hooks});
        // GDI's, from the same extents and the same random sequence.
        const TFrameExtents e = ComputeFrameExtents(size.W, size.H, progress, 4);
        TRandom gdiRandom(seed);
        bool wineFault = false;
        HRGN region = StyleRegion(style, e, gdiRandom, wineFault);
        gdiFrame.Load(oldPic);
        if (progress == 100) {
          BitBlt(gdiFrame.DC(), 0, 0, size.W, size.H, gdiNew.DC(), 0, 0, SRCCOPY);
        } else if (progress != 0 && region) {
          ExtSelectClipRgn(gdiFrame.DC(), region, kAnd);
          BitBlt(gdiFrame.DC(), 0, 0, size.W, size.H, gdiNew.DC(), 0, 0, SRCCOPY);
          SelectClipRgn(gdiFrame.DC(), nullptr);
        }
        if (region) DeleteObject(region);
        GdiFlush();
        ++frames;
        EXPECT_EQ(ourRandom.Seed(), gdiRandom.Seed())
            << "style " << style << " draws a different number of random numbers";
        if (wineFault) {
          ++wineFaults;
          continue;
        }
        const std::string difference = FirstPixelDifference(media, gdiFrame.Save());
        if (!difference.empty() && ++mismatches == 1) {
          first = "style " + std::to_string(style) + " progress " + std::to_string(progress) +
                  " size " + std::to_string(size.W) + "x" + std::to_string(size.H) + ": " +
                  difference;
        }
      }
    }
  }
  std::printf("%d frames compared, %d left out for Wine's undefined ellipses\n",
              frames - wineFaults, wineFaults);
  EXPECT_GT(frames, 4000);
  // Only a handful of frames on the narrowest pictures meet Wine's undefined ellipses.
  EXPECT_LT(wineFaults, frames / 50) << wineFaults << " frames left out";
  EXPECT_EQ(mismatches, 0) << mismatches << " of " << frames << " frames differ; first: " << first;
}

}  // namespace
}  // namespace tovrin
