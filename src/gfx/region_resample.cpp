#include "gfx/region_resample.h"

#include <bit>
#include <cassert>
#include <cstring>

namespace tovrin {

namespace {

// One axis of the sampling: where destination pixel i lands in the source, in 32.32 fixed point,
// stepped from the first one (see the header's formula).
struct TAxisStep {
  int64_t Start;
  int64_t Step;
};

TAxisStep AxisStep(int64_t origin, int64_t extent, int32_t destExtent) {
  // extent is below 2^31 (a bitmap side is at most 16384 pixels, times 65536 in the region's
  // units, plus the margin a caller's region may have), so the shift stays far inside 64 bits.
  // (Multiplied rather than shifted: origin may be negative.)
  const int64_t step = extent * 65536 / destExtent;
  return TAxisStep{origin * 65536 + step / 2 - (int64_t{1} << 31), step};
}

// The two source pixels at a position and the weight of the second, edges repeated.
struct TTap {
  int32_t First;
  int32_t Second;
  uint16_t Weight;
};

TTap TapAt(int64_t position, int32_t srcExtent) {
  const int64_t whole = position >> 32;  // floor, also for positions before the first pixel
  if (whole < 0) return TTap{0, 0, 0};
  if (whole >= srcExtent - 1) return TTap{srcExtent - 1, srcExtent - 1, 0};
  const auto i = static_cast<int32_t>(whole);
  return TTap{i, i + 1, static_cast<uint16_t>((position >> 24) & 0xFF)};
}

}  // namespace

void TRegionResampler::PlanColumns(int32_t destWidth, int32_t srcWidth, int64_t left,
                                   int64_t width) {
  const auto n = static_cast<size_t>(destWidth);
  FFirst.resize(n);
  FSecond.resize(n);
  FWeight.resize(n * 3);
  // One byte more than the columns need: the gather stores four bytes a pixel.
  FTapA.resize(n * 3 + 1);
  FTapB.resize(n * 3 + 1);
  const TAxisStep axis = AxisStep(left, width, destWidth);
  int64_t position = axis.Start;
  for (size_t x = 0; x < n; ++x, position += axis.Step) {
    const TTap tap = TapAt(position, srcWidth);
    FFirst[x] = tap.First * 3;
    FSecond[x] = tap.Second * 3;
    FWeight[x * 3] = FWeight[x * 3 + 1] = FWeight[x * 3 + 2] = tap.Weight;
  }
}

void TRegionResampler::InterpolateRow(const TBitmap& src, int32_t y, int slot, int32_t destWidth) {
  // The tables, the source row and the outputs never overlap; saying so lets the compiler keep
  // values in registers and vectorise.
  const uint8_t* __restrict row = src.ScanLine(y);
  const int32_t* __restrict first = FFirst.data();
  const int32_t* __restrict second = FSecond.data();
  // First the two source pixels of every column side by side (a plain gather), ...
  uint8_t* __restrict tapA = FTapA.data();
  uint8_t* __restrict tapB = FTapB.data();
  for (int32_t x = 0; x < destWidth; ++x) {
    const uint8_t* a = row + first[x];
    if (second[x] == first[x] + 3) {
      // Two neighbours, six bytes a0 a1 a2 b0 b1 b2: read as the four bytes from a0 and the
      // four from a2 (both inside the row), stored four bytes at a time; the fourth byte of
      // each store is overwritten by the next column.
      uint32_t lowFour;
      uint32_t highFour;
      std::memcpy(&lowFour, a, 4);
      std::memcpy(&highFour, a + 2, 4);
      // b0 b1 b2 are the last three bytes of highFour in memory.
      const uint32_t b = std::endian::native == std::endian::little ? highFour >> 8 : highFour << 8;
      std::memcpy(tapA + x * 3, &lowFour, 4);
      std::memcpy(tapB + x * 3, &b, 4);
    } else {
      // An edge column, its pixel repeated.
      std::memcpy(tapA + x * 3, a, 3);
      std::memcpy(tapB + x * 3, row + second[x], 3);
    }
  }
  // ... then a * (256 - w) + b * w for every channel at once, written as a * 256 + (b - a) * w:
  // the result is 0 to 65280, so 16-bit lanes that wrap give it exactly.
  uint16_t* __restrict out = FRows[slot].data();
  const uint16_t* __restrict weight = FWeight.data();
  const size_t values = static_cast<size_t>(destWidth) * 3;
  for (size_t i = 0; i < values; ++i) {
    out[i] = static_cast<uint16_t>((tapA[i] << 8) + (tapB[i] - tapA[i]) * weight[i]);
  }
  FRowOf[slot] = y;
}

void TRegionResampler::Resample(TBitmap& dest, const TBitmap& src, const TFixedRect& region) {
  assert(dest.PixelFormat() == TPixelFormat::pf24bit);
  assert(src.PixelFormat() == TPixelFormat::pf24bit);
  assert(&dest != &src);
  if (dest.Empty() || src.Empty() || region.Width <= 0 || region.Height <= 0) return;
  const int32_t W = dest.Width();
  const int32_t H = dest.Height();
  PlanColumns(W, src.Width(), region.Left, region.Width);
  const size_t rowValues = static_cast<size_t>(W) * 3;
  for (std::vector<uint16_t>& row : FRows) row.resize(rowValues);
  // The source may differ from the last call's: no row is carried over.
  FRowOf[0] = FRowOf[1] = -1;

  // The slot holding source row y, interpolating it into a slot other than `keep` when neither
  // holds it.
  const auto slotFor = [&](int32_t y, int keep) {
    if (FRowOf[0] == y) return 0;
    if (FRowOf[1] == y) return 1;
    const int slot = keep == 0 ? 1 : 0;
    InterpolateRow(src, y, slot, W);
    return slot;
  };

  const TAxisStep axis = AxisStep(region.Top, region.Height, H);
  int64_t position = axis.Start;
  for (int32_t y = 0; y < H; ++y, position += axis.Step) {
    const TTap tap = TapAt(position, src.Height());
    // Keep the second row when it is already there (a frame that skips rows).
    const int holdsSecond = tap.Weight == 0           ? -1
                            : FRowOf[0] == tap.Second ? 0
                            : FRowOf[1] == tap.Second ? 1
                                                      : -1;
    const int s0 = slotFor(tap.First, holdsSecond);
    // Byte output never overlaps the rows: without saying so the compiler may not vectorise.
    const uint16_t* __restrict r0 = FRows[s0].data();
    uint8_t* __restrict out = dest.ScanLine(y);
    if (tap.Weight == 0) {
      for (size_t i = 0; i < rowValues; ++i) {
        out[i] = static_cast<uint8_t>((r0[i] + 128u) >> 8);
      }
      continue;
    }
    const uint16_t* __restrict r1 = FRows[slotFor(tap.Second, s0)].data();
    // All in 16 bits, so the loop vectorises into 16-bit multiplies that keep their high half
    // (the weights are 1 to 255 here, times 256): each product is the row value times its
    // weight / 256, rounded down, and the sum is at most 65280 + 128.
    const auto w = static_cast<uint16_t>(tap.Weight << 8);
    const auto keep = static_cast<uint16_t>((256 - tap.Weight) << 8);
    for (size_t i = 0; i < rowValues; ++i) {
      const auto high0 = static_cast<uint16_t>((uint32_t{r0[i]} * keep) >> 16);
      const auto high1 = static_cast<uint16_t>((uint32_t{r1[i]} * w) >> 16);
      out[i] = static_cast<uint8_t>(static_cast<uint16_t>(high0 + high1 + 128u) >> 8);
    }
  }
}

}  // namespace tovrin
