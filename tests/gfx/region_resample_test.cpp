// The moving picture's resampler against a plain floating-point bilinear reference.
#include "gfx/region_resample.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>

namespace tovrin {
namespace {

// A busy 24-bit bitmap: every channel of every pixel from a seeded generator.
TBitmap Noise(int32_t width, int32_t height, uint32_t seed) {
  TBitmap b(width, height);
  for (int32_t y = 0; y < height; ++y) {
    uint8_t* row = b.ScanLine(y);
    for (int32_t i = 0; i < width * 3; ++i) {
      seed = seed * 1103515245u + 12345u;
      row[i] = static_cast<uint8_t>(seed >> 23);
    }
  }
  return b;
}

// The header's formula in doubles: the sample point of destination (x, y), the four pixels
// around it (edges repeated), weighted exactly, rounded to nearest.
TBitmap Reference(const TBitmap& src, const TFixedRect& r, int32_t width, int32_t height) {
  TBitmap out(width, height);
  const auto axis = [](double origin, double extent, int32_t n, int32_t i, int32_t last, int32_t& a,
                       int32_t& b, double& f) {
    const double p = origin + (i + 0.5) * extent / n - 0.5;
    const double whole = std::floor(p);
    if (whole < 0) {
      a = b = 0;
      f = 0;
    } else if (whole >= last) {
      a = b = last;
      f = 0;
    } else {
      a = static_cast<int32_t>(whole);
      b = a + 1;
      f = p - whole;
    }
  };
  const double one = static_cast<double>(kFixedOne);
  for (int32_t y = 0; y < height; ++y) {
    int32_t y0, y1;
    double fy;
    axis(r.Top / one, r.Height / one, height, y, src.Height() - 1, y0, y1, fy);
    for (int32_t x = 0; x < width; ++x) {
      int32_t x0, x1;
      double fx;
      axis(r.Left / one, r.Width / one, width, x, src.Width() - 1, x0, x1, fx);
      for (int c = 0; c < 3; ++c) {
        const auto at = [&](int32_t px, int32_t py) { return src.ScanLine(py)[px * 3 + c]; };
        const double top = at(x0, y0) * (1 - fx) + at(x1, y0) * fx;
        const double bottom = at(x0, y1) * (1 - fx) + at(x1, y1) * fx;
        out.ScanLine(y)[x * 3 + c] =
            static_cast<uint8_t>(std::floor(top * (1 - fy) + bottom * fy + 0.5));
      }
    }
  }
  return out;
}

// The largest difference of any channel, and where.
struct TDiff {
  int Largest = 0;
  std::string Where;
};
TDiff Compare(const TBitmap& a, const TBitmap& b) {
  TDiff d;
  for (int32_t y = 0; y < a.Height(); ++y) {
    for (int32_t i = 0; i < a.Width() * 3; ++i) {
      const int e = std::abs(a.ScanLine(y)[i] - b.ScanLine(y)[i]);
      if (e > d.Largest) {
        d.Largest = e;
        d.Where = "x " + std::to_string(i / 3) + " y " + std::to_string(y);
      }
    }
  }
  return d;
}

TFixedRect Pixels(double left, double top, double width, double height) {
  const auto f = [](double v) { return static_cast<int64_t>(std::llround(v * kFixedOne)); };
  return TFixedRect{f(left), f(top), f(width), f(height)};
}

TEST(RegionResampleTest, MatchesTheBilinearReference) {
  struct TCase {
    const char* name;
    int32_t srcW, srcH, dstW, dstH;
    TFixedRect region;
    int tolerance;  // 0: exactly; else the 8-bit weights may round a level or two apart
  };
  const TCase cases[] = {
      // Whole-pixel regions of the destination's size are plain copies.
      {"identity", 37, 23, 37, 23, Pixels(0, 0, 37, 23), 0},
      {"identity at an offset", 50, 40, 31, 17, Pixels(7, 11, 31, 17), 0},
      // Sample points at quarters: 8-bit weights are exact.
      {"2x enlargement", 16, 12, 32, 24, Pixels(0, 0, 16, 12), 0},
      {"2x enlargement of a part", 40, 30, 26, 18, Pixels(5, 3, 13, 9), 0},
      // Sample points halfway: each destination pixel is the rounded mean of four.
      {"2x reduction", 32, 24, 16, 12, Pixels(0, 0, 32, 24), 0},
      {"motion zoom 1.15", 230, 130, 200, 113, Pixels(11.3, 4.7, 200 / 1.15, 113 / 1.15), 2},
      {"sub-pixel pan", 64, 200, 64, 36, Pixels(0, 97.37, 64, 36), 2},
      {"odd sizes, both axes fractional", 101, 67, 73, 59, Pixels(3.91, 2.13, 61.7, 49.3), 2},
      {"one source column", 1, 9, 5, 7, Pixels(0, 0.5, 1, 6.2), 2},
      {"one destination pixel", 20, 20, 1, 1, Pixels(4, 4, 3, 3), 2},
      // A region beyond the source repeats its edges and reads nothing outside it.
      {"beyond every edge", 12, 10, 30, 20, Pixels(-3.5, -2.25, 19, 14.5), 2},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.name);
    const TBitmap src = Noise(c.srcW, c.srcH, static_cast<uint32_t>(c.srcW * 131 + c.srcH));
    TBitmap dest = TBitmap::ForOverwrite(c.dstW, c.dstH);
    TRegionResampler resampler;
    resampler.Resample(dest, src, c.region);
    const TDiff d = Compare(dest, Reference(src, c.region, c.dstW, c.dstH));
    EXPECT_LE(d.Largest, c.tolerance) << "at " << d.Where;
  }
}

// One resampler serves frames of different sizes and sources in turn (the tables and cached rows
// of the last call must not leak into the next one).
TEST(RegionResampleTest, ASequenceOfCallsEqualsFreshResamplers) {
  const TBitmap a = Noise(90, 60, 1);
  const TBitmap b = Noise(90, 60, 2);
  struct TCall {
    const TBitmap* src;
    int32_t w, h;
    TFixedRect region;
  };
  const TCall calls[] = {
      {&a, 80, 45, Pixels(2, 3, 70, 39.4)},
      {&b, 80, 45, Pixels(2, 3, 70, 39.4)},  // same rows, other source
      {&b, 33, 70, Pixels(0.5, 0, 25.1, 53.2)},
      {&a, 80, 45, Pixels(10, 10, 80, 45)},
  };
  TRegionResampler shared;
  for (const TCall& call : calls) {
    TBitmap reused = TBitmap::ForOverwrite(call.w, call.h);
    shared.Resample(reused, *call.src, call.region);
    TBitmap fresh = TBitmap::ForOverwrite(call.w, call.h);
    TRegionResampler().Resample(fresh, *call.src, call.region);
    EXPECT_TRUE(reused == fresh) << call.w << "x" << call.h;
  }
}

}  // namespace
}  // namespace tovrin
