#include "gfx/stretch_plan.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

namespace tovrin {

namespace {

// A half-open range [Lo, Hi) of coordinates or walk steps, in 64 bits so that extents made from
// any two 32-bit coordinates cannot overflow.
struct TSpan {
  int64_t Lo = 0;
  int64_t Hi = 0;
  bool Empty() const { return Hi <= Lo; }
};

// One axis of a copy as GDI takes it: an origin and a signed extent.
struct TAxis {
  int64_t Origin = 0;
  int64_t Extent = 0;
};

TSpan Intersect(const TSpan& a, const TSpan& b) {
  return TSpan{std::max(a.Lo, b.Lo), std::min(a.Hi, b.Hi)};
}

// The pixels an axis covers: a negative extent e at origin o covers o + e + 1 .. o.
TSpan Covered(const TAxis& a) {
  if (a.Extent >= 0) return TSpan{a.Origin, a.Origin + a.Extent};
  return TSpan{a.Origin + a.Extent + 1, a.Origin + 1};
}

// a * b / c truncated toward zero like C integer division, saturated far outside the 32-bit
// coordinate range (where only the comparison with 32-bit spans matters).
int64_t MulDivTrunc(int64_t a, int64_t b, int64_t c) {
  constexpr int64_t kLimit = int64_t{1} << 62;
  const __int128 q = static_cast<__int128>(a) * b / c;
  return static_cast<int64_t>(std::clamp<__int128>(q, -kLimit, kLimit));
}

// Narrows the visible destination span dv and source span sv of a stretched axis the way GDI
// does before it walks: the source span is mapped into the destination with truncating
// division, inflated by one pixel and intersected, then the result is mapped back the same way.
// Returns false when nothing stays visible.
bool NarrowStretched(TAxis& dst, const TAxis& src, TSpan& dv, TSpan& sv) {
  const int64_t srcShift = src.Origin + (src.Extent < 0 ? 1 : 0);
  int64_t lo = MulDivTrunc(sv.Lo - srcShift, dst.Extent, src.Extent);
  int64_t hi = MulDivTrunc(sv.Hi - srcShift, dst.Extent, src.Extent);
  if (lo > hi) std::swap(lo, hi);

  // When a mirroring source does not fit in its bitmap, GDI does not mirror the destination
  // area of the part that is left: it moves the destination origin instead.
  if (src.Extent < 0 && dst.Extent > 0 &&
      (src.Origin + src.Extent + 1 < sv.Lo || src.Origin > sv.Hi)) {
    dst.Origin += (dst.Extent - hi) - lo;
  } else if (src.Extent > 0 && dst.Extent < 0 &&
             (src.Origin < sv.Lo || src.Origin + src.Extent > sv.Hi)) {
    dst.Origin -= hi - (dst.Extent - lo);
  }

  dv = Intersect(dv, TSpan{dst.Origin + lo - 1, dst.Origin + hi + 1});
  if (dv.Empty()) return false;

  const int64_t dstShift = dst.Origin + (dst.Extent < 0 ? 1 : 0);
  lo = src.Origin + MulDivTrunc(dv.Lo - dstShift, src.Extent, dst.Extent);
  hi = src.Origin + MulDivTrunc(dv.Hi - dstShift, src.Extent, dst.Extent);
  if (lo > hi) std::swap(lo, hi);
  sv = Intersect(sv, TSpan{lo - 1, hi + 1});
  return !sv.Empty();
}

// The walk steps k in [0, count) whose coordinate origin + inc * k lies in span.
TSpan StepsInside(int64_t origin, int64_t inc, int64_t count, const TSpan& span) {
  const TSpan steps = inc > 0 ? TSpan{span.Lo - origin, span.Hi - origin}
                              : TSpan{origin - span.Hi + 1, origin - span.Lo + 1};
  return Intersect(steps, TSpan{0, count});
}

// floor((a + i * b) / c) for i = 0, 1, 2, ... with a >= 0, b >= 0 and c > 0, one term after the
// other, exactly and without a division per term. The quotient and remainder of the start and
// of the increment are taken once; each step adds them and carries the remainder.
class TFloorSequence {
 public:
  TFloorSequence(__int128 a, int64_t b, int64_t c)
      : FQuotient(static_cast<int64_t>(a / c)),
        FRemainder(static_cast<int64_t>(a % c)),
        FStepQuotient(b / c),
        FStepRemainder(b % c),
        FDivisor(c) {}

  int64_t Value() const { return FQuotient; }
  void Next() {
    FQuotient += FStepQuotient;
    FRemainder += FStepRemainder;
    if (FRemainder >= FDivisor) {
      FRemainder -= FDivisor;
      ++FQuotient;
    }
  }

 private:
  int64_t FQuotient;
  int64_t FRemainder;
  int64_t FStepQuotient;
  int64_t FStepRemainder;
  int64_t FDivisor;
};

// The destination coordinates of one axis and the source coordinate each takes (see the file
// comment of stretch_plan.h). keepLast chooses which of several source pixels that shrink onto
// one destination pixel is kept.
TAxisMap WalkAxis(const TAxis& dst, const TAxis& src, const TSpan& dv, const TSpan& sv,
                  bool keepLast) {
  TAxisMap map;
  const int64_t d = std::abs(dst.Extent);
  const int64_t s = std::abs(src.Extent);
  const int64_t dInc = dst.Extent < 0 ? -1 : 1;
  const int64_t sInc = src.Extent < 0 ? -1 : 1;
  const TSpan dSteps = StepsInside(dst.Origin, dInc, d, dv);
  const TSpan sSteps = StepsInside(src.Origin, sInc, s, sv);
  if (dSteps.Empty() || sSteps.Empty()) return map;

  // Source step for each destination step in dSteps, or -1 where the source is not visible.
  // Both closed forms divide a numerator that grows by a fixed amount per destination step, so
  // the quotients are carried from step to step instead of dividing anew.
  std::vector<int64_t> taken(static_cast<size_t>(dSteps.Hi - dSteps.Lo), -1);
  if (d >= s) {
    // m(j) = floor(((2j + 1) * s - 1) / (2d))
    TFloorSequence m(static_cast<__int128>(2 * dSteps.Lo + 1) * s - 1, 2 * s, 2 * d);
    for (size_t i = 0; i < taken.size(); ++i, m.Next()) {
      if (m.Value() >= sSteps.Lo && m.Value() < sSteps.Hi) taken[i] = m.Value();
    }
  } else {
    // The source steps that fall on destination step j are [f(j), f(j + 1) - 1], where f(j) is
    // the smallest k with n(k) >= j: ceil((2js + 1 - d) / (2d)) = floor((2js + d) / (2d)).
    TFloorSequence f(static_cast<__int128>(2 * dSteps.Lo) * s + d, 2 * s, 2 * d);
    for (size_t i = 0; i < taken.size(); ++i) {
      const int64_t first = std::max<int64_t>(f.Value(), sSteps.Lo);
      f.Next();
      const int64_t last = std::min<int64_t>(f.Value() - 1, sSteps.Hi - 1);
      if (first <= last) taken[i] = keepLast ? last : first;
    }
  }

  // The visible steps are contiguous (a straight walk through two intervals); order them by
  // destination coordinate.
  for (size_t i = 0; i < taken.size(); ++i) {
    const size_t idx = dInc > 0 ? i : taken.size() - 1 - i;
    const int64_t k = taken[idx];
    if (k < 0) continue;
    const int64_t destCoord = dst.Origin + dInc * (dSteps.Lo + static_cast<int64_t>(idx));
    if (map.Source.empty()) map.First = static_cast<int32_t>(destCoord);
    map.Source.push_back(static_cast<int32_t>(src.Origin + sInc * k));
  }
  return map;
}

// An unscaled axis: destination coordinate c takes source coordinate c - shift.
TAxisMap ShiftAxis(const TSpan& span, int64_t shift) {
  TAxisMap map;
  if (span.Empty()) return map;
  map.First = static_cast<int32_t>(span.Lo);
  map.Source.reserve(static_cast<size_t>(span.Hi - span.Lo));
  for (int64_t c = span.Lo; c < span.Hi; ++c) map.Source.push_back(static_cast<int32_t>(c - shift));
  return map;
}

}  // namespace

TStretchPlan PlanStretch(const TRect& destRect, const TRect& srcRect, int32_t srcWidth,
                         int32_t srcHeight, const TRect& destClip) {
  TAxis dx{destRect.Left, int64_t{destRect.Right} - destRect.Left};
  TAxis dy{destRect.Top, int64_t{destRect.Bottom} - destRect.Top};
  TAxis sx{srcRect.Left, int64_t{srcRect.Right} - srcRect.Left};
  TAxis sy{srcRect.Top, int64_t{srcRect.Bottom} - srcRect.Top};

  TSpan dvx = Intersect(Covered(dx), TSpan{destClip.Left, destClip.Right});
  TSpan dvy = Intersect(Covered(dy), TSpan{destClip.Top, destClip.Bottom});
  TSpan svx = Intersect(Covered(sx), TSpan{0, srcWidth});
  TSpan svy = Intersect(Covered(sy), TSpan{0, srcHeight});
  TStretchPlan plan;
  if (dvx.Empty() || dvy.Empty() || svx.Empty() || svy.Empty()) return plan;

  if (dx.Extent == sx.Extent && dy.Extent == sy.Extent) {
    // Same extents (mirrored or not on both sides alike): a plain copy of the overlap.
    const int64_t shiftX = dx.Origin - sx.Origin;
    const int64_t shiftY = dy.Origin - sy.Origin;
    const TSpan x = Intersect(dvx, TSpan{svx.Lo + shiftX, svx.Hi + shiftX});
    const TSpan y = Intersect(dvy, TSpan{svy.Lo + shiftY, svy.Hi + shiftY});
    if (x.Empty() || y.Empty()) return plan;
    plan.Columns = ShiftAxis(x, shiftX);
    plan.Rows = ShiftAxis(y, shiftY);
    return plan;
  }

  if (!NarrowStretched(dx, sx, dvx, svx) || !NarrowStretched(dy, sy, dvy, svy)) return plan;

  // A destination one pixel wide (or high) takes its source one pixel shorter.
  if (dx.Extent == 1 && sx.Extent > 1) --sx.Extent;
  if (dy.Extent == 1 && sy.Extent > 1) --sy.Extent;

  if (dx.Extent == sx.Extent && dy.Extent == sy.Extent) {
    // That shortening made the copy unscaled: GDI then copies the narrowed destination span
    // from the start of the narrowed source span. Pixels that would come from outside the
    // source bitmap are not drawn.
    const TSpan x{dvx.Lo, std::min(dvx.Hi, dvx.Lo + (srcWidth - svx.Lo))};
    const TSpan y{dvy.Lo, std::min(dvy.Hi, dvy.Lo + (srcHeight - svy.Lo))};
    plan.Columns = ShiftAxis(x, dvx.Lo - svx.Lo);
    plan.Rows = ShiftAxis(y, dvy.Lo - svy.Lo);
    return plan;
  }

  plan.Columns = WalkAxis(dx, sx, dvx, svx, /*keepLast=*/true);
  plan.Rows = WalkAxis(dy, sy, dvy, svy, /*keepLast=*/false);
  if (plan.Empty()) plan = TStretchPlan{};
  return plan;
}

}  // namespace tovrin
