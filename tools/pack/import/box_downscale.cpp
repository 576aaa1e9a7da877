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
  const size_t rowValues = static_cast<size_t>(sw) * static_cast<size_t>(ch);
  const TTaps down = MakeTaps(sh, height);
  const TTaps across = MakeTaps(sw, width);

  TBitmap result(width, height, source.PixelFormat());
  result.Palette() = source.Palette();
  // Columns first, over whole rows (a loop the compiler vectorises), so that the filter across,
  // which is not, runs on `height` rows rather than on all of the source's. The sums are whole
  // numbers held in floats: exact up to 2^24, and further off by parts in ten million, far below
  // the half level the final rounding allows.
  std::vector<float> columns(rowValues);
  const float scale = 1.0f / (static_cast<float>(sw) * static_cast<float>(sh));
  for (int32_t y = 0; y < height; ++y) {
    const auto oy = static_cast<size_t>(y);
    std::fill(columns.begin(), columns.end(), 0.0f);
    int32_t r = down.First[oy];
    for (uint32_t k = down.Start[oy]; k < down.Start[oy + 1]; ++k, ++r) {
      const auto w = static_cast<float>(down.Weights[k]);
      const uint8_t* row = source.ScanLine(r);
      for (size_t i = 0; i < rowValues; ++i) columns[i] += w * row[i];
    }
    uint8_t* out = result.ScanLine(y);
    const auto put = [&](size_t at, float sum) {
      out[at] = static_cast<uint8_t>(std::min(255.0f, sum * scale + 0.5f));
    };
    for (size_t x = 0; x < static_cast<size_t>(width); ++x) {
      const float* in = columns.data() + static_cast<size_t>(across.First[x]) * ch;
      const uint32_t first = across.Start[x], end = across.Start[x + 1];
      if (ch == 3) {
        float b = 0, g = 0, red = 0;
        for (uint32_t k = first; k < end; ++k, in += 3) {
          const auto w = static_cast<float>(across.Weights[k]);
          b += w * in[0];
          g += w * in[1];
          red += w * in[2];
        }
        put(3 * x, b);
        put(3 * x + 1, g);
        put(3 * x + 2, red);
      } else {
        float sum = 0;
        for (uint32_t k = first; k < end; ++k, ++in)
          sum += static_cast<float>(across.Weights[k]) * *in;
        put(x, sum);
      }
    }
  }
  return result;
}

}  // namespace tovrin
