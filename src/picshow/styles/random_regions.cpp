#include "picshow/styles/random_regions.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cassert>
#include <cstdint>
#include <utility>

#include "gfx/region_shape_union.h"

namespace tovrin {

namespace {

// Row passes and column passes are the same routine with the axes exchanged: `along` is the axis
// the reach grows on (x for row bands), `across` the one the bands are stacked on. side is the
// picture's length along, span its length across. Arithmetic is 64-bit so no size can overflow it.
class TAxisShapes {
 public:
  TAxisShapes(TShapeUnion& shapes, bool rows) : FShapes(shapes), FRows(rows) {}

  void Add(int64_t along0, int64_t along1, int64_t across0, int64_t across1) {
    if (FRows) {
      FShapes.AddRect(along0, across0, along1, across1);
    } else {
      FShapes.AddRect(across0, along0, across1, along1);
    }
  }

 private:
  TShapeUnion& FShapes;
  bool FRows;
};

int32_t NextOf(TRandom& random, int64_t n) {
  return random.Next(static_cast<int32_t>(n));
}

// Next(j) - Next(j), the first draw added. Two statements, because the operands of a subtraction
// are evaluated in no fixed order.
int64_t Jitter(TRandom& random, int64_t j) {
  const int64_t added = NextOf(random, j);
  return added - NextOf(random, j);
}

void RaggedPass(TAxisShapes shapes, int64_t reach, int64_t side, int64_t span, int mode,
                TRandom& random) {
  if (mode == 0) return;
  // The jitter stops once the reach covers the side, so the last frames have straight edges.
  const int64_t range = reach < side ? side / 7 : 0;
  // Bands start every 5 pixels and are 5 + (span mod 5) thick, so neighbours overlap by that
  // remainder and the last band reaches the far edge.
  const int64_t thickness = 5 + span % 5;
  for (int64_t c = 0; c < span; c += 5) {
    const int64_t c2 = c + thickness;
    switch (mode) {
      case 1:
        shapes.Add(side - reach + Jitter(random, range), side, c, c2);
        break;
      case 2:
        shapes.Add(0, reach + Jitter(random, range), c, c2);
        break;
      case 3: {  // outwards from the centre line
        const int64_t first = Jitter(random, range);
        shapes.Add((side - reach + first) / 2, side / 2, c, c2);
        const int64_t second = Jitter(random, range);
        shapes.Add(side / 2, (side + reach + second) / 2, c, c2);
        break;
      }
      default: {  // inwards from both sides
        const int64_t first = Jitter(random, range);
        shapes.Add(side - (reach + first) / 2, side, c, c2);
        const int64_t second = Jitter(random, range);
        shapes.Add(0, (reach + second) / 2, c, c2);
        break;
      }
    }
  }
}

void CrumblePass(TAxisShapes shapes, int64_t reach, int64_t side, int64_t span, int mode,
                 TRandom& random) {
  if (mode == 0) return;
  const int64_t depth = reach < side ? side / 10 : 0;  // the zone ahead of the edge
  const int64_t size = std::max<int64_t>(depth / 20, 2);
  const int64_t count = depth / size;
  const int64_t nearCount = ((3 * depth) / size) / 4;  // blocks this close are twice as likely
  const bool fromFar = mode == 1;                      // from the right or the bottom
  for (int64_t c = 0; c < span; c += size / 2) {
    // The solid part, from the edge's side to the reach. A reach past the edge's side inverts
    // it, as the rectangle call swaps inverted corners.
    int64_t solid0 = fromFar ? side - reach : 0;
    int64_t solid1 = fromFar ? side : reach;
    if (solid0 > solid1) std::swap(solid0, solid1);
    // The draws go k = count down to 1. Their choices are gathered as bits first: a kept block
    // is close to a coin toss, and a branch on each draw would be mispredicted about every other
    // time. One word holds them: a zone under 60 deep has blocks of 2, so at most 29 of them, a
    // deeper one blocks of a twentieth of it, so at most 26.
    assert(count < 64);
    uint64_t kept = 0;
    for (int64_t k = count; k >= 1; --k) {
      const int32_t threshold = nearCount >= k ? 1 : 0;
      kept |= uint64_t{NextOf(random, k) <= threshold} << k;
    }
    // Neighbouring blocks touch, so each run of kept ones is one rectangle, and a run that
    // reaches the solid part (block 1 lies against the edge) joins it. The union is the same as
    // from the blocks one by one.
    while (kept != 0) {
      const int64_t kHigh = 63 - std::countl_zero(kept);
      const uint64_t gaps = ~kept & ((uint64_t{2} << kHigh) - 1);  // clear bits up to kHigh
      const int64_t kLow = 64 - std::countl_zero(gaps);            // gaps holds bit 0
      kept &= (uint64_t{1} << kLow) - 1;
      // Block k covers [side - reach - k * size, + size) from the far side, or ends at
      // k * size + reach from the near one.
      const int64_t low = fromFar ? side - reach - kHigh * size : kLow * size + reach - size;
      const int64_t high = fromFar ? side - reach - kLow * size + size : kHigh * size + reach;
      if (high == solid0 || low == solid1) {
        solid0 = std::min(solid0, low);
        solid1 = std::max(solid1, high);
      } else {
        shapes.Add(low, high, c, c + size);
      }
    }
    shapes.Add(solid0, solid1, c, c + size);
  }
}

struct TRaggedStyle {
  bool UseX;  // A = X, else 0
  bool UseY;  // B = Y, else 0
  int8_t Rows;
  int8_t Columns;
};

const TRaggedStyle* FindRaggedStyle(int style) {
  static constexpr std::array<TRaggedStyle, 8> kSingle{{
      {true, false, 1, 0},  // 65
      {true, false, 2, 0},  // 66
      {true, false, 3, 0},  // 67
      {true, false, 4, 0},  // 68
      {false, true, 0, 1},  // 76
      {false, true, 0, 2},  // 77
      {false, true, 0, 3},  // 78
      {false, true, 0, 4},  // 79
  }};
  static constexpr std::array<TRaggedStyle, 10> kBoth{{
      {true, true, 1, 1},  // 100
      {true, true, 1, 2},  // 101
      {true, true, 2, 1},  // 102
      {true, true, 2, 2},  // 103
      {true, true, 1, 3},  // 104
      {true, true, 2, 3},  // 105
      {true, true, 3, 1},  // 106
      {true, true, 3, 2},  // 107
      {true, true, 3, 3},  // 108
      {true, true, 4, 4},  // 109
  }};
  if (style >= 65 && style <= 68) return &kSingle[style - 65];
  if (style >= 76 && style <= 79) return &kSingle[style - 76 + 4];
  if (style >= 100 && style <= 109) return &kBoth[style - 100];
  return nullptr;
}

}  // namespace

std::optional<TRegion> RaggedRegion(int32_t a, int32_t b, int32_t w, int32_t h, int rowMode,
                                    int columnMode, TRandom& random) {
  TShapeUnion shapes;
  RaggedPass(TAxisShapes(shapes, true), a, w, h, rowMode, random);
  RaggedPass(TAxisShapes(shapes, false), b, h, w, columnMode, random);
  return shapes.Region();
}

std::optional<TRegion> CrumbleRegion(int32_t a, int32_t b, int32_t w, int32_t h, int rowMode,
                                     int columnMode, TRandom& random) {
  TShapeUnion shapes;
  CrumblePass(TAxisShapes(shapes, true), a, w, h, rowMode, random);
  CrumblePass(TAxisShapes(shapes, false), b, h, w, columnMode, random);
  return shapes.Region();
}

std::optional<TRegion> RandomBlockRegion(int32_t w, int32_t h, int32_t p, TRandom& random) {
  const int64_t d = std::max<int64_t>(std::min(w, h) / 50 + p / 10, 1);
  TShapeUnion shapes;
  for (int64_t x = 0; x < w; x += d) {
    for (int64_t y = 0; y < h; y += d) {
      if (random.Next(100) < p) shapes.AddRect(x - d, y - d, x + d, y + d);
    }
  }
  return shapes.Region();
}

std::optional<TRegion> RandomStyleRegion(int style, const TFrameExtents& e, TRandom& random) {
  if (const TRaggedStyle* ragged = FindRaggedStyle(style)) {
    return RaggedRegion(ragged->UseX ? e.X : 0, ragged->UseY ? e.Y : 0, e.W, e.H, ragged->Rows,
                        ragged->Columns, random);
  }
  switch (style) {
    case 123:
      return CrumbleRegion(e.X, e.Y, e.W, e.H, 1, 0, random);
    case 124:
      return CrumbleRegion(e.X, e.Y, e.W, e.H, 2, 0, random);
    case 125:
      return CrumbleRegion(e.X, e.Y, e.W, e.H, 0, 1, random);
    case 126:
      return CrumbleRegion(e.X, e.Y, e.W, e.H, 0, 2, random);
    case 127:
      return RandomBlockRegion(e.W, e.H, e.Progress, random);
    default:
      return std::nullopt;
  }
}

}  // namespace tovrin
