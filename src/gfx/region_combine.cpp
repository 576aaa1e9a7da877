// Set operations on regions: one band sweep for every mode.
//
// The sweep walks down both operands at once. The y-edges of both band lists cut the plane into
// strips; inside a strip each operand is either absent or one fixed list of x-intervals:
//
//     A bands   B bands      strips
//    ========               --------  A only
//    ========   ========    --------  A and B
//               ========    --------  B only
//
// For each strip the two interval lists are merged by walking their end points from left to
// right; at every end point the operation's rule tells whether the point lies in the result
// (for example "in A and not in B" for RGN_DIFF). A span of the result starts where the rule turns
// true and ends where it turns false, so touching spans never appear. The strip is handed to
// TRegionBuilder, which joins it to the band above when both are equal. The cost is linear in the
// number of boxes of both operands.
#include <algorithm>
#include <cassert>
#include <cstdint>
#include <limits>
#include <type_traits>
#include <utility>
#include <vector>

#include "gfx/region.h"
#include "gfx/region_builder.h"

namespace tovrin {

namespace {

// One operand's position in the sweep: the band [Begin, BandEnd) of its box list.
class TBandCursor {
 public:
  explicit TBandCursor(const std::vector<TRect>& rects)
      : FIt(rects.data()), FEnd(rects.data() + rects.size()) {
    FindBandEnd();
  }
  bool Done() const { return FIt == FEnd; }
  int32_t Top() const { return FIt->Top; }
  int32_t Bottom() const { return FIt->Bottom; }
  const TRect* Begin() const { return FIt; }
  const TRect* BandEnd() const { return FBandEnd; }
  void NextBand() {
    FIt = FBandEnd;
    FindBandEnd();
  }
  const TRect* End() const { return FEnd; }
  // The first box at or after the cursor whose band reaches below y: bottoms never decrease
  // along a box list, so this is a band boundary.
  const TRect* FirstReachingBelow(int32_t y) const {
    return std::partition_point(FIt, FEnd, [y](const TRect& r) { return r.Bottom <= y; });
  }
  void MoveTo(const TRect* bandStart) {
    FIt = bandStart;
    FindBandEnd();
  }

 private:
  void FindBandEnd() {
    FBandEnd = FIt;
    while (FBandEnd != FEnd && FBandEnd->Top == FIt->Top) ++FBandEnd;
  }

  const TRect* FIt;
  const TRect* FEnd;
  const TRect* FBandEnd = nullptr;
};

// Writes into the builder's current band the spans where rule(inA, inB) holds, for the interval
// lists [a, aEnd) and [b, bEnd) (each sorted, neither overlapping nor touching).
template <typename Rule>
void MergeSpans(TRegionBuilder& out, const TRect* a, const TRect* aEnd, const TRect* b,
                const TRect* bEnd, Rule rule) {
  constexpr int64_t kPastEnd = std::numeric_limits<int64_t>::max();
  bool inA = false;
  bool inB = false;
  bool inOut = false;
  int32_t start = 0;
  const bool keepAOnly = rule(true, false);
  const bool keepBOnly = rule(false, true);
  while (a != aEnd || b != bEnd) {
    if (!inA && !inB) {
      // Between intervals of both lists: the intervals of one list that end before the other
      // list's next one starts are taken (or dropped) whole, without stepping through their ends.
      if (a != aEnd && (b == bEnd || a->Right < b->Left)) {
        const int64_t limit = b == bEnd ? kPastEnd : b->Left;
        for (; a != aEnd && a->Right < limit; ++a) {
          if (keepAOnly) out.AddSpan(a->Left, a->Right);
        }
        continue;
      }
      if (b != bEnd && (a == aEnd || b->Right < a->Left)) {
        const int64_t limit = a == aEnd ? kPastEnd : a->Left;
        for (; b != bEnd && b->Right < limit; ++b) {
          if (keepBOnly) out.AddSpan(b->Left, b->Right);
        }
        continue;
      }
    }
    const int64_t xa = a == aEnd ? kPastEnd : (inA ? a->Right : a->Left);
    const int64_t xb = b == bEnd ? kPastEnd : (inB ? b->Right : b->Left);
    const int32_t x = static_cast<int32_t>(xa < xb ? xa : xb);
    if (xa == x) {
      if (inA) ++a;
      inA = !inA;
    }
    if (xb == x) {
      if (inB) ++b;
      inB = !inB;
    }
    const bool in = rule(inA, inB);
    if (in != inOut) {
      if (in) {
        start = x;
      } else {
        out.AddSpan(start, x);
      }
      inOut = in;
    }
  }
}

struct TAndRule {
  constexpr bool operator()(bool a, bool b) const { return a && b; }
};
struct TOrRule {
  constexpr bool operator()(bool a, bool b) const { return a || b; }
};
struct TDiffRule {
  constexpr bool operator()(bool a, bool b) const { return a && !b; }
};
struct TXorRule {
  constexpr bool operator()(bool a, bool b) const { return a != b; }
};

// The AND of two interval lists: each overlap of an interval of a with one of b is a span of
// the result. Two overlaps never touch (a pixel on either side of the seam would lie in the same
// interval of a and of b, hence in one overlap), so the spans come out final. The interval ending
// first is the one that can meet nothing further.
void IntersectSpans(TRegionBuilder& out, const TRect* a, const TRect* aEnd, const TRect* b,
                    const TRect* bEnd) {
  while (a != aEnd && b != bEnd) {
    const int32_t left = std::max(a->Left, b->Left);
    const int32_t right = std::min(a->Right, b->Right);
    if (left < right) out.AddSpan(left, right);
    if (a->Right < b->Right) {
      ++a;
    } else {
      ++b;
    }
  }
}

template <typename Rule>
TRegion Sweep(const TRegion& a, const TRegion& b, Rule rule) {
  assert(a.IsValid() && b.IsValid());
  static_assert(!Rule{}(false, false), "a rule must leave out what is in neither operand");
  const bool keepAOnly = rule(true, false);
  const bool keepBOnly = rule(false, true);

  TRegionBuilder out(a.Rects().size() + b.Rects().size());
  TBandCursor ca(a.Rects());
  TBandCursor cb(b.Rects());
  int32_t y = std::numeric_limits<int32_t>::min();  // rows above y are done
  while (true) {
    const bool ha = !ca.Done();
    const bool hb = !cb.Done();
    // Stop when neither operand has bands left, or when the one left cannot add to the result;
    // when it can, its remaining bands are copied as they are.
    if (!ha && !hb) break;
    if (!ha) {
      if (keepBOnly) out.AppendBands(cb.Begin(), cb.End(), y);
      break;
    }
    if (!hb) {
      if (keepAOnly) out.AppendBands(ca.Begin(), ca.End(), y);
      break;
    }
    // Bands of one operand that end before the other's next band are copied (or skipped) whole:
    // merging one small shape into a large region touches only the rows they share.
    if (ca.Bottom() <= std::max(cb.Top(), y)) {
      const TRect* stop = ca.FirstReachingBelow(std::max(cb.Top(), y));
      if (keepAOnly) out.AppendBands(ca.Begin(), stop, y);
      ca.MoveTo(stop);
      continue;
    }
    if (cb.Bottom() <= std::max(ca.Top(), y)) {
      const TRect* stop = cb.FirstReachingBelow(std::max(ca.Top(), y));
      if (keepBOnly) out.AppendBands(cb.Begin(), stop, y);
      cb.MoveTo(stop);
      continue;
    }

    // The next strip starts at the higher of the two current band tops (clipped to y) and ends
    // at the first band edge below that.
    const int32_t aTop = ha ? std::max(ca.Top(), y) : 0;
    const int32_t bTop = hb ? std::max(cb.Top(), y) : 0;
    const int32_t y0 = !ha ? bTop : !hb ? aTop : std::min(aTop, bTop);
    const bool inA = ha && aTop == y0;
    const bool inB = hb && bTop == y0;
    int32_t y1 = std::numeric_limits<int32_t>::max();
    if (ha) y1 = std::min(y1, inA ? ca.Bottom() : aTop);
    if (hb) y1 = std::min(y1, inB ? cb.Bottom() : bTop);

    out.BeginBand(y0, y1);
    if (inA && inB) {
      if constexpr (std::is_same_v<Rule, TAndRule>) {
        IntersectSpans(out, ca.Begin(), ca.BandEnd(), cb.Begin(), cb.BandEnd());
      } else {
        MergeSpans(out, ca.Begin(), ca.BandEnd(), cb.Begin(), cb.BandEnd(), rule);
      }
    } else if (inA ? keepAOnly : keepBOnly) {
      const TRect* it = inA ? ca.Begin() : cb.Begin();
      const TRect* end = inA ? ca.BandEnd() : cb.BandEnd();
      for (; it != end; ++it) out.AddSpan(it->Left, it->Right);
    }
    out.EndBand();

    y = y1;
    if (inA && ca.Bottom() == y1) ca.NextBand();
    if (inB && cb.Bottom() == y1) cb.NextBand();
  }
  TRegion result = out.Finish();
  assert(result.IsValid());
  return result;
}

bool ExtentsOverlap(const TRect& a, const TRect& b) {
  return a.Right > b.Left && a.Left < b.Right && a.Bottom > b.Top && a.Top < b.Bottom;
}

}  // namespace

TRegion TRegion::Combine(const TRegion& a, const TRegion& b, TCombineMode mode) {
  // Cheap answers first: empty operands and operands whose extents do not meet.
  const bool disjoint = a.IsEmpty() || b.IsEmpty() || !ExtentsOverlap(a.Extents(), b.Extents());
  switch (mode) {
    case TCombineMode::RGN_COPY:
      return a;
    case TCombineMode::RGN_AND:
      if (disjoint) return TRegion();
      return Sweep(a, b, TAndRule{});
    case TCombineMode::RGN_OR:
      if (a.IsEmpty()) return b;
      if (b.IsEmpty()) return a;
      return Sweep(a, b, TOrRule{});
    case TCombineMode::RGN_DIFF:
      if (disjoint) return a;
      return Sweep(a, b, TDiffRule{});
    case TCombineMode::RGN_XOR:
      // The symmetric difference, (a - b) | (b - a), in one pass.
      if (a.IsEmpty()) return b;
      if (b.IsEmpty()) return a;
      return Sweep(a, b, TXorRule{});
  }
  return TRegion();
}

// The sweep of Combine, widened to any number of operands. The band edges of all operands cut the
// plane into strips; the spans of every operand present in a strip are sorted by their left end
// and handed to the builder, which joins those that overlap or touch. Operands join the sweep at
// their top and leave it after their last band, so a strip looks only at the operands it meets.
TRegion TRegion::Union(std::span<const TRegion> regions) {
  std::vector<const TRegion*> pending;
  size_t boxes = 0;
  for (const TRegion& r : regions) {
    assert(r.IsValid());
    if (r.IsEmpty()) continue;
    pending.push_back(&r);
    boxes += r.Rects().size();
  }
  if (pending.empty()) return TRegion();
  if (pending.size() == 1) return *pending.front();
  std::stable_sort(pending.begin(), pending.end(), [](const TRegion* a, const TRegion* b) {
    return a->Extents().Top < b->Extents().Top;
  });

  TRegionBuilder out(boxes);
  std::vector<TBandCursor> active;
  std::vector<std::pair<int32_t, int32_t>> spans;
  size_t next = 0;
  int32_t y = pending.front()->Extents().Top;  // rows above y are done
  while (true) {
    for (TBandCursor& c : active) {
      while (!c.Done() && c.Bottom() <= y) c.NextBand();
    }
    std::erase_if(active, [](const TBandCursor& c) { return c.Done(); });
    for (; next < pending.size() && pending[next]->Extents().Top <= y; ++next) {
      active.emplace_back(pending[next]->Rects());
    }
    if (active.empty()) {
      if (next == pending.size()) break;
      y = pending[next]->Extents().Top;
      continue;
    }
    // The strip [y, y1) ends at the first band edge or operand top below y.
    int32_t y1 =
        next < pending.size() ? pending[next]->Extents().Top : std::numeric_limits<int32_t>::max();
    spans.clear();
    size_t present = 0;
    for (const TBandCursor& c : active) {
      if (c.Top() > y) {
        y1 = std::min(y1, c.Top());
        continue;
      }
      y1 = std::min(y1, c.Bottom());
      ++present;
      for (const TRect* it = c.Begin(); it != c.BandEnd(); ++it) {
        spans.emplace_back(it->Left, it->Right);
      }
    }
    if (!spans.empty()) {
      // One operand's spans are sorted already, and operands side by side often come in order.
      if (present > 1 && !std::is_sorted(spans.begin(), spans.end())) {
        std::sort(spans.begin(), spans.end());
      }
      out.BeginBand(y, y1);
      for (const auto& [left, right] : spans) out.AddSpan(left, right);
      out.EndBand();
    }
    y = y1;
  }
  TRegion result = out.Finish();
  assert(result.IsValid());
  return result;
}

}  // namespace tovrin
