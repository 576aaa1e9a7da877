// The union of many rectangles in one downward sweep over a compressed coordinate grid.
//
// The distinct Left/Right values of all rectangles cut the x axis into elementary intervals, and
// the distinct Top/Bottom values cut the y axis into strips; within a strip every rectangle either
// covers an elementary interval whole or misses it. The sweep visits the strips from the top down,
// and at each strip edge adds the rectangles that start there and drops those that end there:
//
//        x edges:  0   5  10  15  20        strip   covered        spans
//   y= 0           +---+   +---+            0..3    a, b           [0,5) [10,15)
//                  | a |   | b |
//   y= 3   +-------+---+---+---+-------+    3..4    a, b, c        [-10,30)
//          |             c             |
//   y= 4   +-------+---+---+---+-------+    4..6    a, b           [0,5) [10,15), a band of
//                  | a |   | b |                                   its own: 0..3 does not
//   y= 6           +---+   +---+                                   touch it
//
// Narrow rectangles (a few elementary intervals wide, as the columns and blocks of the region
// styles are) are counted per interval, and a bit per interval says whether anything covers it;
// the runs of set bits are listed again only after a narrow rectangle came or went. Wide
// rectangles (a row band across a grid of columns) would cost their whole width twice in counts;
// they are kept in a short list sorted by Left instead and merged with the runs as the strip is
// written, the runs beneath them passed over by a binary search. A strip costs its number of spans
// plus, when narrow rectangles changed, the bit words of its row, so the whole sweep is close to
// linear in the size of the result.
//
// The strips go through TRegionBuilder, which joins touching spans and merges a strip into the
// band above it when both hold the same spans: the result is the canonical region.
#include "gfx/region_shape_union.h"

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

// The distinct values of one coordinate pair of a rectangle list (Left/Right or Top/Bottom) in
// increasing order, and the rank of any of them. Picture-sized ranges go through a rank table
// (linear); a range far wider than the number of values (coordinates clamped to the 32-bit
// limits) is sorted and searched instead.
class TAxis {
 public:
  TAxis(const std::vector<TRect>& rects, int32_t TRect::*low, int32_t TRect::*high) {
    int64_t min = rects.front().*low;
    int64_t max = rects.front().*high;
    for (const TRect& r : rects) {
      min = std::min<int64_t>(min, r.*low);
      max = std::max<int64_t>(max, r.*high);
    }
    FMin = min;
    const int64_t range = max - min + 1;
    if (range <= static_cast<int64_t>(8 * rects.size()) + 8192) {
      FRank.assign(static_cast<size_t>(range), 0);
      for (const TRect& r : rects) {
        FRank[static_cast<size_t>(r.*low - min)] = 1;
        FRank[static_cast<size_t>(r.*high - min)] = 1;
      }
      // Ranks by a running count, written without a branch per table entry.
      FValues.resize(FRank.size());
      uint32_t next = 0;
      for (size_t v = 0; v < FRank.size(); ++v) {
        const uint32_t present = FRank[v];
        FRank[v] = next;
        FValues[next] = static_cast<int32_t>(min + static_cast<int64_t>(v));
        next += present;
      }
      FValues.resize(next);
    } else {
      FValues.reserve(2 * rects.size());
      for (const TRect& r : rects) {
        FValues.push_back(r.*low);
        FValues.push_back(r.*high);
      }
      std::sort(FValues.begin(), FValues.end());
      FValues.erase(std::unique(FValues.begin(), FValues.end()), FValues.end());
    }
  }

  size_t Size() const { return FValues.size(); }
  // The values, in increasing order; Rank and Size work no longer afterwards.
  std::vector<int32_t> TakeValues() { return std::move(FValues); }
  // The rank of v, which must be one of the values.
  uint32_t Rank(int32_t v) const {
    if (!FRank.empty()) return FRank[static_cast<size_t>(int64_t{v} - FMin)];
    return static_cast<uint32_t>(std::lower_bound(FValues.begin(), FValues.end(), v) -
                                 FValues.begin());
  }

 private:
  int64_t FMin = 0;
  std::vector<int32_t> FValues;
  std::vector<uint32_t> FRank;  // by value - FMin; empty when the values were sorted
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

// NextEdge() once no edge is left. An edge at this value can only be a bottom (a box needs a row
// below its top) and then is the last edge, after which nothing is covered: it need not be passed.
constexpr int32_t kPastLastEdge = std::numeric_limits<int32_t>::max();

// Rectangles wider than this many elementary intervals go to the short list of wide ones.
constexpr uint32_t kWideIntervals = 24;

class TCoverageSweep {
 public:
  explicit TCoverageSweep(const std::vector<TRect>& rects) {
    const size_t n = rects.size();
    FSpan.resize(n);
    {
      TAxis xAxis(rects, &TRect::Left, &TRect::Right);
      for (size_t i = 0; i < n; ++i) {
        FSpan[i] = {xAxis.Rank(rects[i].Left), xAxis.Rank(rects[i].Right)};
      }
      FXs = xAxis.TakeValues();
    }
    TAxis yAxis(rects, &TRect::Top, &TRect::Bottom);
    FStarts = TBuckets(yAxis.Size(), n);
    FEnds = TBuckets(yAxis.Size(), n);
    for (const TRect& r : rects) {
      FStarts.Count(yAxis.Rank(r.Top));
      FEnds.Count(yAxis.Rank(r.Bottom));
    }
    FStarts.Prepare();
    FEnds.Prepare();
    for (size_t i = 0; i < n; ++i) {
      FStarts.Put(yAxis.Rank(rects[i].Top), static_cast<uint32_t>(i));
      FEnds.Put(yAxis.Rank(rects[i].Bottom), static_cast<uint32_t>(i));
    }
    FYs = yAxis.TakeValues();
    const size_t intervals = FXs.size() - 1;
    FCount.assign(intervals, 0);
    // One spare word, always zero, so a scan for a set bit stops without a bounds check.
    FBits.assign(intervals / 64 + 2, 0);
    FIntervals = static_cast<uint32_t>(intervals);
  }

  // The sweep stands at a strip edge: every edge above has been passed, and the coverage is that
  // of the strip below the last one passed. NextEdge() is the next edge to pass, or INT32_MAX
  // after the last.
  int32_t NextEdge() const { return FNext < FYs.size() ? FYs[FNext] : kPastLastEdge; }
  // Passes the next edge: the rectangles ending there leave, those starting there enter.
  void Advance() {
    const uint32_t y = FNext++;
    for (const uint32_t* it = FEnds.Begin(y); it != FEnds.End(y); ++it) Remove(*it);
    for (const uint32_t* it = FStarts.Begin(y); it != FStarts.End(y); ++it) Insert(*it);
  }
  // True when nothing covers the current strip.
  bool IsEmpty() const { return FNarrow == 0 && FWide.empty(); }

  // The number of boxes to reserve for the result. A strip has no more spans than active
  // rectangles, nor more than every other elementary interval; reserving that bound up front
  // saves the copies of a growing list, and pages of the reserve that are never written cost
  // nothing. The bound grows with the square of the rectangles for a grid of thin rows and
  // columns, so beyond a few megabytes it is capped and the list grows as usual.
  size_t OutputBound() const {
    const size_t perStripMax = (FIntervals + 1) / 2;
    const size_t cap = (size_t{1} << 18) + 16 * FSpan.size();
    size_t active = 0;
    size_t bound = 0;
    for (uint32_t y = 0; y + 1 < FYs.size() && bound < cap; ++y) {
      active += FStarts.End(y) - FStarts.Begin(y);
      active -= FEnds.End(y) - FEnds.Begin(y);
      bound += std::min(active, perStripMax);
    }
    return std::min(bound, cap);
  }

  // The current strip's spans, in increasing order, each passed to out.AddSpan(left, right): the
  // runs of covered intervals merged with the wide rectangles. Runs covered by a wide rectangle
  // are passed over by a binary search, not one by one.
  template <typename TSink>
  void WriteSpans(TSink& out) {
    if (FRunsDirty) UpdateRuns();
    const TSpanIndex* run = FRuns.data();
    const TSpanIndex* const runEnd = run + FRuns.size();
    const size_t wideCount = FWide.size();
    size_t w = 0;
    while (w < wideCount) {
      const TSpanIndex wide = FSpan[FWide[w]];
      // Runs wholly before this wide rectangle stand alone.
      for (; run != runEnd && run->Right < wide.Left; ++run) {
        out.AddSpan(FXs[run->Left], FXs[run->Right]);
      }
      uint32_t start = wide.Left;
      uint32_t end = wide.Right;
      ++w;
      if (run != runEnd && run->Left < start) start = run->Left;
      for (;;) {
        if (w < wideCount && FSpan[FWide[w]].Left <= end) {
          end = std::max(end, FSpan[FWide[w]].Right);
          ++w;
        } else if (run != runEnd && run->Left <= end) {
          // Runs are sorted and apart, so the last one starting within reach ends furthest.
          run = std::upper_bound(run, runEnd, end,
                                 [](uint32_t x, const TSpanIndex& r) { return x < r.Left; });
          end = std::max(end, run[-1].Right);
        } else {
          break;
        }
      }
      out.AddSpan(FXs[start], FXs[end]);
    }
    for (; run != runEnd; ++run) out.AddSpan(FXs[run->Left], FXs[run->Right]);
  }

 private:
  struct TSpanIndex {
    uint32_t Left;
    uint32_t Right;
  };

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
    FRunsDirty = true;
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
    FRunsDirty = true;
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

  // Rebuilds the list of runs of covered intervals from the bit words after the narrow
  // rectangles changed: the cost is the number of words plus the number of runs.
  void UpdateRuns() {
    FRuns.clear();
    FRunsDirty = false;
    const size_t words = FBits.size();
    size_t word = 0;
    uint64_t bits = FBits[0];
    for (;;) {
      // Find the next set bit: the start of a run.
      while (bits == 0) {
        if (++word == words) return;
        bits = FBits[word];
      }
      const uint32_t start = static_cast<uint32_t>(word * 64 + std::countr_zero(bits));
      // Find the next clear bit after it (the spare zero word ends every run).
      bits = ~bits & (~uint64_t{0} << (start & 63));
      while (bits == 0) bits = ~FBits[++word];
      const uint32_t stop = static_cast<uint32_t>(word * 64 + std::countr_zero(bits));
      FRuns.push_back({start, stop});
      bits = ~bits & (~uint64_t{0} << (stop & 63));
    }
  }

  std::vector<int32_t> FXs;
  std::vector<int32_t> FYs;
  std::vector<TSpanIndex> FSpan;
  TBuckets FStarts{0, 0};
  TBuckets FEnds{0, 0};
  std::vector<uint32_t> FCount;
  std::vector<uint64_t> FBits;
  uint32_t FIntervals = 0;
  uint32_t FNext = 0;             // index in FYs of the next edge to pass
  uint32_t FNarrow = 0;           // narrow rectangles active
  std::vector<uint32_t> FWide;    // wide rectangles active, sorted by Left
  std::vector<TSpanIndex> FRuns;  // runs of covered intervals, while FRunsDirty is false
  bool FRunsDirty = true;
};

// A strip's spans gathered into a list instead of a region.
struct TSpanList {
  struct TSpan {
    int32_t Left;
    int32_t Right;
  };
  std::vector<TSpan> Spans;
  void AddSpan(int32_t left, int32_t right) { Spans.push_back({left, right}); }
};

// The overlaps of two sorted lists of spans that neither overlap nor touch. Two overlaps never
// touch each other (the pixels either side of the seam would lie in one span of each list), so
// they go to the builder as they are. The span ending first can meet nothing further.
void IntersectSpans(const std::vector<TSpanList::TSpan>& a, const std::vector<TSpanList::TSpan>& b,
                    TRegionBuilder& out) {
  auto ia = a.begin();
  auto ib = b.begin();
  while (ia != a.end() && ib != b.end()) {
    const int32_t left = std::max(ia->Left, ib->Left);
    const int32_t right = std::min(ia->Right, ib->Right);
    if (left < right) out.AddSpan(left, right);
    if (ia->Right < ib->Right) {
      ++ia;
    } else {
      ++ib;
    }
  }
}

}  // namespace

void TShapeUnion::AddRect(int64_t l, int64_t t, int64_t r, int64_t b) {
  FHasShape = true;
  if (l > r) std::swap(l, r);
  if (t > b) std::swap(t, b);
  const TRect rect{Clamp32(l), Clamp32(t), Clamp32(r), Clamp32(b)};
  if (!rect.IsEmpty()) FRects.push_back(rect);
}

std::optional<TRegion> TShapeUnion::Region() const {
  if (!FHasShape) return std::nullopt;
  return UnionOf(FRects);
}

TRegion TShapeUnion::UnionOfRects(std::vector<TRect> rects) {
  std::erase_if(rects, [](const TRect& r) { return r.IsEmpty(); });
  return UnionOf(rects);
}

TRegion TShapeUnion::UnionOf(const std::vector<TRect>& rects) {
  if (rects.empty()) return TRegion();
  TCoverageSweep sweep(rects);
  TRegionBuilder out(sweep.OutputBound());
  for (int32_t top = sweep.NextEdge(); top != kPastLastEdge;) {
    sweep.Advance();
    const int32_t bottom = sweep.NextEdge();
    if (!sweep.IsEmpty()) {
      out.BeginBand(top, bottom);
      sweep.WriteSpans(out);
      out.EndBand();
    }
    top = bottom;
  }
  return out.Finish();
}

TRegion TShapeUnion::Intersection(const TShapeUnion& a, const TShapeUnion& b) {
  if (a.FRects.empty() || b.FRects.empty()) return TRegion();
  TCoverageSweep sa(a.FRects);
  TCoverageSweep sb(b.FRects);
  TRegionBuilder out(std::max(sa.OutputBound(), sb.OutputBound()));
  TSpanList spansA;
  TSpanList spansB;
  // The strips are those of both sweeps together: a strip ends at the next edge of either.
  for (int32_t top = std::min(sa.NextEdge(), sb.NextEdge()); top != kPastLastEdge;) {
    if (sa.NextEdge() == top) sa.Advance();
    if (sb.NextEdge() == top) sb.Advance();
    const int32_t bottom = std::min(sa.NextEdge(), sb.NextEdge());
    if (!sa.IsEmpty() && !sb.IsEmpty()) {
      spansA.Spans.clear();
      spansB.Spans.clear();
      sa.WriteSpans(spansA);
      sb.WriteSpans(spansB);
      out.BeginBand(top, bottom);
      IntersectSpans(spansA.Spans, spansB.Spans, out);
      out.EndBand();
    }
    top = bottom;
  }
  return out.Finish();
}

}  // namespace tovrin
