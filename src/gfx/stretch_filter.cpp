// StretchDrawGraphic: filtered scaling of a whole picture into a rectangle.
//
// Separable resampling in fixed point: every destination column (and row) has a short list of
// source columns (rows) with weights summing to 1 << kWeightBits. Shrinking averages the source
// area a destination pixel covers (a box filter with fractional edges); enlarging interpolates
// linearly between the two nearest source pixel centres. Source rows are filtered horizontally
// into 16-bit intermediates (8 fractional bits) once each, kept in a small ring while the
// destination rows that need them are produced, so memory stays at a few rows whatever the
// picture's size. Only the destination pixels inside the bitmap are computed.
#include <algorithm>
#include <cassert>
#include <cmath>
#include <cstdint>
#include <vector>

#include "gfx/draw.h"
#include "gfx/stretch.h"

namespace tovrin {

namespace {

constexpr int kWeightBits = 14;
constexpr int32_t kWeightOne = 1 << kWeightBits;

// Source taps of each destination index in [First, First + count) of one axis.
struct TAxisFilter {
  int32_t Taps = 0;              // taps per destination index (padded with zero weights)
  std::vector<int32_t> Start;    // first source index per destination index
  std::vector<int32_t> Weights;  // Taps weights per destination index
};

// Filter for scaling srcSize pixels to destSize pixels, for destination indices
// [first, first + count).
TAxisFilter MakeFilter(int64_t srcSize, int64_t destSize, int64_t first, int64_t count) {
  TAxisFilter f;
  if (destSize < srcSize) {
    // Destination pixel i covers source [i * S / D, (i + 1) * S / D); in units of 1 / D that is
    // [i * S, (i + 1) * S), and source pixel j is [j * D, (j + 1) * D).
    f.Taps = static_cast<int32_t>((srcSize + destSize - 1) / destSize) + 1;
  } else {
    f.Taps = 2;
  }
  f.Start.resize(static_cast<size_t>(count));
  f.Weights.assign(static_cast<size_t>(count) * static_cast<size_t>(f.Taps), 0);
  for (int64_t n = 0; n < count; ++n) {
    const int64_t i = first + n;
    int32_t* w = f.Weights.data() + n * f.Taps;
    if (destSize < srcSize) {
      const int64_t lo = i * srcSize;
      const int64_t hi = lo + srcSize;
      const int64_t j0 = lo / destSize;
      const int64_t j1 = std::min<int64_t>((hi - 1) / destSize, srcSize - 1);
      f.Start[static_cast<size_t>(n)] = static_cast<int32_t>(j0);
      int32_t sum = 0;
      int largest = 0;
      for (int64_t j = j0; j <= j1; ++j) {
        const int64_t overlap = std::min(hi, (j + 1) * destSize) - std::max(lo, j * destSize);
        const int k = static_cast<int>(j - j0);
        w[k] = static_cast<int32_t>((overlap * kWeightOne + srcSize / 2) / srcSize);
        sum += w[k];
        if (w[k] > w[largest]) largest = k;
      }
      w[largest] += kWeightOne - sum;  // rounding leftovers go to the strongest tap
    } else {
      // Centre of destination pixel i in source coordinates: (i + 0.5) * S / D - 0.5.
      const double pos =
          (static_cast<double>(i) + 0.5) * static_cast<double>(srcSize) / destSize - 0.5;
      const double clamped = std::clamp(pos, 0.0, static_cast<double>(srcSize - 1));
      const int64_t j = std::min<int64_t>(static_cast<int64_t>(clamped), srcSize - 1);
      const int32_t frac =
          static_cast<int32_t>(std::lround((clamped - static_cast<double>(j)) * kWeightOne));
      f.Start[static_cast<size_t>(n)] = static_cast<int32_t>(std::min<int64_t>(j, srcSize - 2));
      if (srcSize == 1) {
        f.Start[static_cast<size_t>(n)] = 0;
        w[0] = kWeightOne;
      } else if (j == srcSize - 1) {
        w[1] = kWeightOne;  // Start is S - 2: all weight on the last pixel
      } else {
        w[0] = kWeightOne - frac;
        w[1] = frac;
      }
    }
  }
  return f;
}

// One source row converted to B, G, R bytes (through the palette for pf8bit).
const uint8_t* RowAsBGR(const TBitmap& src, int32_t y, std::vector<uint8_t>& scratch) {
  if (src.PixelFormat() == TPixelFormat::pf24bit) return src.ScanLine(y);
  const uint8_t* in = src.ScanLine(y);
  const auto& pal = src.Palette();
  for (int32_t x = 0; x < src.Width(); ++x) {
    const TPaletteEntry& e = pal[in[x]];
    scratch[3 * static_cast<size_t>(x)] = e.Blue;
    scratch[3 * static_cast<size_t>(x) + 1] = e.Green;
    scratch[3 * static_cast<size_t>(x) + 2] = e.Red;
  }
  return scratch.data();
}

}  // namespace

void StretchDrawGraphic(TBitmap& dest, const TRect& rect, const TBitmap& src) {
  if (dest.Empty() || src.Empty()) return;
  const int64_t destW = int64_t{rect.Right} - rect.Left;
  const int64_t destH = int64_t{rect.Bottom} - rect.Top;
  if (destW <= 0 || destH <= 0) return;
  if (destW == src.Width() && destH == src.Height()) {
    Draw(dest, rect.Left, rect.Top, src);
    return;
  }
  if (dest.PixelFormat() != TPixelFormat::pf24bit) {
    // Blended colours cannot be written as palette indices: pick pixels instead.
    StretchCopy(dest, rect, src, src.BoundsRect());
    return;
  }

  // The part of rect inside dest, as offsets into rect.
  const int64_t x0 = std::max<int64_t>(0, -int64_t{rect.Left});
  const int64_t x1 = std::min<int64_t>(destW, int64_t{dest.Width()} - rect.Left);
  const int64_t y0 = std::max<int64_t>(0, -int64_t{rect.Top});
  const int64_t y1 = std::min<int64_t>(destH, int64_t{dest.Height()} - rect.Top);
  if (x1 <= x0 || y1 <= y0) return;

  const TAxisFilter fx = MakeFilter(src.Width(), destW, x0, x1 - x0);
  const TAxisFilter fy = MakeFilter(src.Height(), destH, y0, y1 - y0);
  const size_t outW = static_cast<size_t>(x1 - x0);
  const size_t ringSize = static_cast<size_t>(fy.Taps);

  // ring[slot] holds the horizontally filtered source row ringRow[slot] (value << 8).
  std::vector<uint16_t> ring(ringSize * outW * 3);
  std::vector<int32_t> ringRow(ringSize, -1);
  std::vector<uint8_t> scratch(
      src.PixelFormat() == TPixelFormat::pf8bit ? static_cast<size_t>(src.Width()) * 3 : 0);
  std::vector<uint32_t> acc(outW * 3);

  const auto filterRow = [&](int32_t sy) {
    const size_t slot = static_cast<size_t>(sy) % ringSize;
    if (ringRow[slot] == sy) return;
    ringRow[slot] = sy;
    const uint8_t* in = RowAsBGR(src, sy, scratch);
    uint16_t* out = ring.data() + slot * outW * 3;
    for (size_t n = 0; n < outW; ++n) {
      const uint8_t* p = in + 3 * static_cast<size_t>(fx.Start[n]);
      const int32_t* w = fx.Weights.data() + n * static_cast<size_t>(fx.Taps);
      uint32_t b = 0, g = 0, r = 0;
      for (int32_t t = 0; t < fx.Taps; ++t, p += 3) {
        if (w[t] == 0) continue;  // padding, or a pixel that rounds to nothing: not read
        b += static_cast<uint32_t>(w[t]) * p[0];
        g += static_cast<uint32_t>(w[t]) * p[1];
        r += static_cast<uint32_t>(w[t]) * p[2];
      }
      constexpr int shift = kWeightBits - 8;
      constexpr uint32_t half = 1u << (shift - 1);
      out[3 * n] = static_cast<uint16_t>((b + half) >> shift);
      out[3 * n + 1] = static_cast<uint16_t>((g + half) >> shift);
      out[3 * n + 2] = static_cast<uint16_t>((r + half) >> shift);
    }
  };

  for (int64_t m = 0; m < y1 - y0; ++m) {
    const int32_t start = fy.Start[static_cast<size_t>(m)];
    const int32_t* w = fy.Weights.data() + m * fy.Taps;
    std::fill(acc.begin(), acc.end(), 0u);
    for (int32_t t = 0; t < fy.Taps; ++t) {
      if (w[t] == 0) continue;
      filterRow(start + t);
      const uint16_t* row = ring.data() + (static_cast<size_t>(start + t) % ringSize) * outW * 3;
      const uint32_t wt = static_cast<uint32_t>(w[t]);
      for (size_t k = 0; k < outW * 3; ++k) acc[k] += wt * row[k];
    }
    uint8_t* out = dest.ScanLine(static_cast<int32_t>(rect.Top + y0 + m)) +
                   3 * static_cast<size_t>(rect.Left + x0);
    constexpr int shift = kWeightBits + 8;
    constexpr uint32_t half = 1u << (shift - 1);
    for (size_t k = 0; k < outW * 3; ++k) out[k] = static_cast<uint8_t>((acc[k] + half) >> shift);
  }
}

}  // namespace tovrin
