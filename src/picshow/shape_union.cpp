// The union of many rectangles in one downward sweep over a compressed coordinate grid.
//
// The distinct Left/Right values of all rectangles cut the x axis into elementary intervals, and
// the distinct Top/Bottom values cut the y axis into strips; within a strip every rectangle either
// covers an elementary interval whole or misses it. The sweep visits the strips from the top down,
// and at each strip edge adds the rectangles that start there and drops those that end there:
//
//        x edges:  0   5  10  15  20             strip   covered intervals   spans
//   y= 0           +---+   +---+                 0..3    [0,5) [10,15)       [0,5) [10,15)
//                  | a |   | b |
//   y= 3   +-------+---+---+---+-------+         3..4    all of c            [-5,25)
//          |             c             |
//   y= 4   +-------+---+---+---+-------+         4..6    [0,5) [10,15)       (equal to strip
//                  | a |   | b |                                              0..3 but not
//                  touching)
//   y= 6           +---+   +---+
//
// Narrow rectangles (few elementary intervals wide, as the bands and blocks of the region styles
// are) are counted per interval, and a bit per interval says whether anything covers it, so a
// strip's spans come from scanning the bit words between spans. Wide rectangles (a row band across
// a grid of columns) would cost their whole width twice in counts; they are kept in a short list
// sorted by Left instead and merged with the bit runs as the strip is written, so the covered runs
// beneath them are skipped rather than walked. A strip's cost is thus its number of spans plus the
// bit words of its gaps, and the whole sweep is close to linear in the size of the result.
//
// The strips go through TRegionBuilder, which joins touching spans and merges a strip into the
// band above it when both hold the same spans: the result is the canonical region.
#include "picshow/shape_union.h"

#include <algorithm>
#include <bit>
#include <cstddef>
#include <limits>
#include <utility>

#include "gfx/region_builder.h"

namespace tovrin {

namespace {

int32_t Clamp32(int64_t v) {
  return static_cast<int32_t>(std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(),
                                                  std::numeric_limits<int32_t>::max()));
}

// The distinct values of a coordinate list in increasing order, and for each input its index in
// that order. Picture-sized ranges go through a presence table (linear); a range far wider than
// the number of values (coordinates clamped to the 32-bit limits) is sorted instead.
class TAxis {
 public:
  // coords holds 2 values per rectangle; Index(i) is the rank of coords[i] among the values.
  explicit TAxis(const std::vector<int32_t>& coords) : FIndex(coords.size()) {
    const auto [lo, hi] = std::minmax_element(coords.begin(), coords.end());
    const int64_t min = *lo;
    const int64_t range = int64_t{*hi} - min + 1;
    if (range <= static_cast<int64_t>(8 * coords.size()) + 8192) {
      std::vector<uint32_t> rank(static_cast<size_t>(range), 0);
      for (const int32_t c : coords) rank[static_cast<size_t>(c - min)] = 1;
      // Ranks by a running count, written without a branch per table entry.
      FValues.resize(rank.size());
      uint32_t next = 0;
      for (size_t v = 0; v < rank.size(); ++v) {
        const uint32_t present = rank[v];
        rank[v] = next;
        FValues[next] = static_cast<int32_t>(min + static_cast<int64_t>(v));
        next += present;
      }
      FValues.resize(next);
      for (size_t i = 0; i < coords.size(); ++i) {
        FIndex[i] = rank[static_cast<size_t>(coords[i] - min)];
      }
    } else {
      FValues = coords;
      std::sort(FValues.begin(), FValues.end());
      FValues.erase(std::unique(FValues.begin(), FValues.end()), FValues.end());
      for (size_t i = 0; i < coords.size(); ++i) {
        FIndex[i] = static_cast<uint32_t>(
            std::lower_bound(FValues.begin(), FValues.end(), coords[i]) - FValues.begin());
      }
    }
  }

  const std::vector<int32_t>& Values() const { return FValues; }
  uint32_t Index(size_t i) const { return FIndex[i]; }

 private:
  std::vector<int32_t> FValues;
  std::vector<uint32_t> FIndex;
};

// Rectangle numbers grouped by a key from 0 to keys - 1, in increasing key order (a counting sort).
class TBuckets {
 public:
  TBuckets(size_t keys, size_t count) : FStart(keys + 1, 0), FItems(count) {}
  void Count(uint32_t key) { ++FStart[key + 1]; }
  // After all keys are counted; then Put every item once with the key it was counted with.
  void Prepare() {
    for (size_t k = 1; k < FStart.size(); ++k) FStart[k] += FStart[k - 1];
    FFill.assign(FStart.begin(), FStart.end() - 1);
  }
  void Put(uint32_t key, uint32_t item) { FItems[FFill[key]++] = item; }
  const uint32_t* Begin(uint32_t key) const { return FItems.data() + FStart[key]; }
  const uint32_t* End(uint32_t key) const { return FItems.data() + FStart[key + 1]; }

 private:
  std::vector<uint32_t> FStart;
  std::vector<uint32_t> FFill;
  std::vector<uint32_t> FItems;
};

// Rectangles wider than this many elementary intervals go to the short list of wide ones.
constexpr uint32_t kWideIntervals = 24;

class TCoverageSweep {
 public:
  explicit TCoverageSweep(const std::vector<TRect>& rects) : FRects(rects) {
    const size_t n = rects.size();
    std::vector<int32_t> coords(2 * n);
    for (size_t i = 0; i < n; ++i) {
      coords[2 * i] = rects[i].Left;
      coords[2 * i + 1] = rects[i].Right;
    }
    const TAxis xAxis(coords);
    for (size_t i = 0; i < n; ++i) {
      coords[2 * i] = rects[i].Top;
      coords[2 * i + 1] = rects[i].Bottom;
    }
    const TAxis yAxis(coords);

    FXs = xAxis.Values();
    FYs = yAxis.Values();
    FSpan.resize(n);
    for (size_t i = 0; i < n; ++i) FSpan[i] = {xAxis.Index(2 * i), xAxis.Index(2 * i + 1)};
    FStarts = TBuckets(FYs.size(), n);
    FEnds = TBuckets(FYs.size(), n);
    for (size_t i = 0; i < n; ++i) {
      FStarts.Count(yAxis.Index(2 * i));
      FEnds.Count(yAxis.Index(2 * i + 1));
    }
    FStarts.Prepare();
    FEnds.Prepare();
    for (size_t i = 0; i < n; ++i) {
      FStarts.Put(yAxis.Index(2 * i), static_cast<uint32_t>(i));
      FEnds.Put(yAxis.Index(2 * i + 1), static_cast<uint32_t>(i));
    }
    const size_t intervals = FXs.size() - 1;
    FCount.assign(intervals, 0);
    // One spare word, always zero, so a scan for a set bit stops without a bounds check.
    FBits.assign(intervals / 64 + 2, 0);
    FIntervals = static_cast<uint32_t>(intervals);
  }

  TRegion Run() {
    TRegionBuilder out(OutputBound());
    for (uint32_t y = 0; y + 1 < FYs.size(); ++y) {
      for (const uint32_t* it = FEnds.Begin(y); it != FEnds.End(y); ++it) Remove(*it);
      for (const uint32_t* it = FStarts.Begin(y); it != FStarts.End(y); ++it) Insert(*it);
      if (FNarrow == 0 && FWide.empty()) continue;
      out.BeginBand(FYs[y], FYs[y + 1]);
      WriteSpans(out);
      out.EndBand();
    }
    return out.Finish();
  }

 private:
  struct TSpanIndex {
    uint32_t Left;
    uint32_t Right;
  };

  // An upper bound of the boxes the sweep writes: a strip has no more spans than active
  // rectangles, nor more than every other elementary interval. Reserving it up front saves the
  // copies of a growing list; pages of the reserve that are never written cost nothing.
  size_t OutputBound() const {
    const size_t perStripMax = (FIntervals + 1) / 2;
    size_t active = 0;
    size_t bound = 0;
    for (uint32_t y = 0; y + 1 < FYs.size(); ++y) {
      active += FStarts.End(y) - FStarts.Begin(y);
      active -= FEnds.End(y) - FEnds.Begin(y);
      bound += std::min(active, perStripMax);
    }
    return bound;
  }

  bool IsWide(uint32_t i) const { return FSpan[i].Right - FSpan[i].Left > kWideIntervals; }

  void Insert(uint32_t i) {
    const TSpanIndex s = FSpan[i];
    if (IsWide(i)) {
      const auto at =
          std::upper_bound(FWide.begin(), FWide.end(), s.Left,
                           [this](uint32_t l, uint32_t w) { return l < FSpan[w].Left; });
      FWide.insert(at, i);
      return;
    }
    ++FNarrow;
    for (uint32_t k = s.Left; k < s.Right; ++k) ++FCount[k];
    // Everything under the rectangle is covered now; the bits are set a word at a time.
    for (uint32_t k = s.Left; k < s.Right;) {
      const uint32_t end = std::min(s.Right, (k | 63) + 1);
      FBits[k >> 6] |= RangeMask(k & 63, end - k);
      k = end;
    }
  }

  void Remove(uint32_t i) {
    const TSpanIndex s = FSpan[i];
    if (IsWide(i)) {
      FWide.erase(std::find(FWide.begin(), FWide.end(), i));
      return;
    }
    --FNarrow;
    // The intervals whose count drops to zero are gathered in a register per bit word: updating
    // the word in memory for each interval would chain every step through a load and a store.
    for (uint32_t k = s.Left; k < s.Right;) {
      const uint32_t end = std::min(s.Right, (k | 63) + 1);
      uint64_t emptied = 0;
      for (; k < end; ++k) emptied |= uint64_t{--FCount[k] == 0} << (k & 63);
      FBits[(end - 1) >> 6] &= ~emptied;
    }
  }

  // count bits from bit `first` of a word on (first + count <= 64, count >= 1).
  static uint64_t RangeMask(uint32_t first, uint32_t count) {
    return (count == 64 ? ~uint64_t{0} : (uint64_t{1} << count) - 1) << first;
  }

  bool Bit(uint32_t k) const { return (FBits[k >> 6] >> (k & 63)) & 1; }

  // The first covered interval at or after k, or FIntervals when there is none.
  uint32_t NextSet(uint32_t k) const {
    if (k >= FIntervals) return FIntervals;
    size_t word = k >> 6;
    uint64_t bits = FBits[word] & (~uint64_t{0} << (k & 63));
    while (bits == 0) {
      if (++word >= FBits.size()) return FIntervals;
      bits = FBits[word];
    }
    return std::min(FIntervals, static_cast<uint32_t>(word * 64 + std::countr_zero(bits)));
  }

  // The first uncovered interval at or after k (the spare zero word bounds the scan).
  uint32_t NextClear(uint32_t k) const {
    size_t word = k >> 6;
    uint64_t bits = ~FBits[word] & (~uint64_t{0} << (k & 63));
    while (bits == 0) bits = ~FBits[++word];
    return static_cast<uint32_t>(word * 64 + std::countr_zero(bits));
  }

  // The strip's spans: the runs of covered intervals merged with the wide rectangles, in order.
  void WriteSpans(TRegionBuilder& out) const {
    const size_t wideCount = FWide.size();
    size_t w = 0;
    uint32_t k = 0;
    for (;;) {
      const uint32_t fromBits = FNarrow != 0 ? NextSet(k) : FIntervals;
      const uint32_t fromWide = w < wideCount ? FSpan[FWide[w]].Left : FIntervals;
      uint32_t start = std::min(fromBits, fromWide);
      if (start >= FIntervals) return;
      uint32_t end = start;
      for (;;) {
        if (w < wideCount && FSpan[FWide[w]].Left <= end) {
          end = std::max(end, FSpan[FWide[w]].Right);
          ++w;
        } else if (end < FIntervals && Bit(end)) {
          end = NextClear(end);
        } else {
          break;
        }
      }
      out.AddSpan(FXs[start], FXs[end]);
      k = end;
    }
  }

  const std::vector<TRect>& FRects;
  std::vector<int32_t> FXs;
  std::vector<int32_t> FYs;
  std::vector<TSpanIndex> FSpan;
  TBuckets FStarts{0, 0};
  TBuckets FEnds{0, 0};
  std::vector<uint32_t> FCount;
  std::vector<uint64_t> FBits;
  uint32_t FIntervals = 0;
  uint32_t FNarrow = 0;         // narrow rectangles active
  std::vector<uint32_t> FWide;  // wide rectangles active, sorted by Left
};

}  // namespace

void TShapeUnion::AddRect(int64_t l, int64_t t, int64_t r, int64_t b) {
  FHasShape = true;
  if (l > r) std::swap(l, r);
  if (t > b) std::swap(t, b);
  const TRect rect{Clamp32(l), Clamp32(t), Clamp32(r), Clamp32(b)};
  if (!rect.IsEmpty()) FRects.push_back(rect);
}

void TShapeUnion::AddRegion(const TRegion& region) {
  FHasShape = true;
  FRects.insert(FRects.end(), region.Rects().begin(), region.Rects().end());
}

std::optional<TRegion> TShapeUnion::Region() const {
  if (!FHasShape) return std::nullopt;
  return UnionOfRects(FRects);
}

TRegion TShapeUnion::UnionOfRects(std::vector<TRect> rects) {
  std::erase_if(rects, [](const TRect& r) { return r.IsEmpty(); });
  if (rects.empty()) return TRegion();
  return TCoverageSweep(rects).Run();
}

}  // namespace tovrin
