#include "box_downscale.h"

#include <algorithm>
#include <cassert>
#include <vector>

namespace tovrin {

namespace {

// For each output pixel along one axis: the first source pixel it covers and the weight of each
// source pixel it covers, in units where a source pixel is `to` wide and an output pixel `from`.
struct TTaps {
  std::vector<int32_t> First;
  std::vector<uint32_t> Start;  // index of the output pixel's first weight; Start[to] = the end
  std::vector<uint32_t> Weights;
};

TTaps MakeTaps(int32_t from, int32_t to) {
  TTaps taps;
  taps.First.resize(static_cast<size_t>(to));
  taps.Start.resize(static_cast<size_t>(to) + 1);
  taps.Weights.reserve(static_cast<size_t>(from) + static_cast<size_t>(to));
  for (int32_t i = 0; i < to; ++i) {
    const int64_t lo = int64_t{i} * from, hi = lo + from;
    const auto first = static_cast<int32_t>(lo / to);
    const auto last = static_cast<int32_t>((hi - 1) / to);
    taps.First[static_cast<size_t>(i)] = first;
    taps.Start[static_cast<size_t>(i)] = static_cast<uint32_t>(taps.Weights.size());
    for (int32_t j = first; j <= last; ++j) {
      const int64_t overlap = std::min(hi, int64_t{j + 1} * to) - std::max(lo, int64_t{j} * to);
      taps.Weights.push_back(static_cast<uint32_t>(overlap));
    }
  }
  taps.Start[static_cast<size_t>(to)] = static_cast<uint32_t>(taps.Weights.size());
  return taps;
}

}  // namespace

TBitmap BoxDownscale(const TBitmap& source, int32_t width, int32_t height) {
  assert(width >= 1 && width <= source.Width() && height >= 1 && height <= source.Height());
  const int32_t sw = source.Width(), sh = source.Height();
  const int ch = source.BytesPerPixel();
  const auto rowValues = static_cast<size_t>(width) * static_cast<size_t>(ch);
  const TTaps across = MakeTaps(sw, width);
  const TTaps down = MakeTaps(sh, height);

  // Rows first: every source row shrunk to `width` pixels, kept with 8 bits of fraction.
  std::vector<uint16_t> rows(rowValues * static_cast<size_t>(sh));
  const double toRow = 256.0 / sw;
  for (int32_t y = 0; y < sh; ++y) {
    const uint8_t* in = source.ScanLine(y);
    uint16_t* out = rows.data() + rowValues * static_cast<size_t>(y);
    for (size_t x = 0; x < static_cast<size_t>(width); ++x) {
      const uint8_t* px = in + static_cast<size_t>(across.First[x]) * static_cast<size_t>(ch);
      for (int c = 0; c < ch; ++c) {
        uint64_t sum = 0;
        for (uint32_t k = across.Start[x], n = 0; k < across.Start[x + 1]; ++k, ++n) {
          sum += uint64_t{across.Weights[k]} * px[n * static_cast<uint32_t>(ch) + c];
        }
        out[x * static_cast<size_t>(ch) + static_cast<size_t>(c)] =
            static_cast<uint16_t>(static_cast<double>(sum) * toRow + 0.5);
      }
    }
  }

  // Then columns: each output row is the weighted sum of the shrunk rows it covers.
  TBitmap result(width, height, source.PixelFormat());
  result.Palette() = source.Palette();
  std::vector<uint64_t> sums(rowValues);
  const double toPixel = 1.0 / (256.0 * sh);
  for (int32_t y = 0; y < height; ++y) {
    std::fill(sums.begin(), sums.end(), 0);
    const auto oy = static_cast<size_t>(y);
    int32_t r = down.First[oy];
    for (uint32_t k = down.Start[oy]; k < down.Start[oy + 1]; ++k, ++r) {
      const uint64_t w = down.Weights[k];
      const uint16_t* row = rows.data() + rowValues * static_cast<size_t>(r);
      for (size_t i = 0; i < rowValues; ++i) sums[i] += w * row[i];
    }
    uint8_t* out = result.ScanLine(y);
    for (size_t i = 0; i < rowValues; ++i) {
      out[i] = static_cast<uint8_t>(std::min(255.0, static_cast<double>(sums[i]) * toPixel + 0.5));
    }
  }
  return result;
}

}  // namespace tovrin
