// CreateRoundRectRgn with the platform's exact rows.
//
// The box is normalised and then loses its last column and row (the platform's region covers the
// box without them). The corner ellipse, w x h clamped to that box, is traced one quadrant at a
// time with an integer midpoint walk; the result is an inset per row, the number of pixels cut
// from each side of that row (kept as runs of rows with equal insets):
//
//      row         inset
//      top         ins[eh-1]        . . # # # # # # . .    rows of the upper arc mirror
//      top+1       ins[eh-2]        . # # # # # # # # .    those of the lower arc
//      ...
//      top+eh/2    0  (straight part, down to the first row of the lower arc)
//      ...
//      bottom-1    ins[eh-1]        . . # # # # # # . .
//
// ins[eh/2 .. eh-1] come from the walk, which starts at the ellipse's middle row (inset 0) and
// steps outwards, moving one column in when the error term says the curve has crossed it and one
// row down when it says the curve has left the row. Each row is then the span
// [left + inset, right - inset), empty rows adding nothing.
#include <algorithm>
#include <cstdint>
#include <limits>
#include <vector>

#include "gfx/region.h"
#include "gfx/region_builder.h"

namespace tovrin {

namespace {

int32_t Clamp32(int64_t v) {
  return static_cast<int32_t>(std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(),
                                                  std::numeric_limits<int32_t>::max()));
}

// Rows of the lower arc that share one inset: rows [Row, next run's Row) of the ellipse.
struct TInsetRun {
  int64_t Row;
  int64_t Inset;
};

// Insets of the rows eh/2 .. eh-1 of an ellipse of ew x eh pixels (both at least 2), as runs of
// equal insets (at most ew/2 + 2 of them, however tall the ellipse). The walk follows a quarter of
// the ellipse with semi-axes a = ew - 1 and b = eh - 1 in doubled coordinates, so odd sizes stay
// on the pixel grid.
std::vector<TInsetRun> EllipseInsets(int64_t ew, int64_t eh) {
  // The error terms grow with the cube of the ellipse size: 128 bits hold them for every size a
  // 32-bit box allows (64 bits would overflow from about a million pixels on).
  __extension__ using TWide = __int128;
  const TWide a = ew - 1;
  const TWide b = eh - 1;
  const TWide aStep = 8 * a * a;  // growth of the row term per row
  const TWide bStep = 8 * b * b;  // growth of the column term per column
  TWide colTerm = 4 * b * b * (1 - a);
  TWide rowTerm = 4 * a * a * (1 + b % 2);
  TWide err = colTerm + rowTerm + a * a * (b % 2);

  std::vector<TInsetRun> runs{{eh / 2, 0}};
  int64_t x = 0;
  int64_t y = eh / 2;
  while (x <= ew / 2) {
    const TWide e2 = 2 * err;
    if (e2 >= colTerm) {  // the curve has passed this column: move one column inwards
      ++x;
      colTerm += bStep;
      err += colTerm;
    }
    if (e2 <= rowTerm) {  // the curve has left this row: the next row starts at the new inset
      ++y;
      rowTerm += aStep;
      err += rowTerm;
      if (y < eh && x != runs.back().Inset) runs.push_back({y, x});
    }
  }
  // A very narrow ellipse (height far above the square of its width) makes the walk stop at
  // the middle column before it reaches the last rows; those rows are the ellipse's tip, and they
  // get the inset of its centre line. (The platform leaves them unset.)
  if (y + 1 < eh && runs.back().Inset != ew / 2) runs.push_back({y + 1, ew / 2});
  return runs;
}

}  // namespace

TRegion TRegion::CreateRoundRectRgn(int32_t l, int32_t t, int32_t r, int32_t b, int32_t w,
                                    int32_t h) {
  int64_t left = l;
  int64_t top = t;
  int64_t right = r;
  int64_t bottom = b;
  if (left > right) std::swap(left, right);
  if (top > bottom) std::swap(top, bottom);
  --right;
  --bottom;

  const int64_t ew =
      std::min(right - left, (w < 0 ? -static_cast<int64_t>(w) : static_cast<int64_t>(w)));
  const int64_t eh =
      std::min(bottom - top, (h < 0 ? -static_cast<int64_t>(h) : static_cast<int64_t>(h)));
  // A corner ellipse under two pixels is a plain rectangle. This includes a box of zero width
  // or height, whose decremented side then lies one pixel before its other side: the platform
  // gives that one-pixel strip, and so do we.
  if (ew < 2 || eh < 2) {
    return CreateRectRgn(Clamp32(left), Clamp32(top), Clamp32(right), Clamp32(bottom));
  }

  // Runs are of the lower arc's rows r = eh/2 .. eh-1, which lie at bottom - eh + r; the upper
  // arc's row top + i mirrors r = eh - 1 - i, for i < eh/2.
  const std::vector<TInsetRun> runs = EllipseInsets(ew, eh);
  const int64_t half = eh / 2;
  TRegionBuilder out(2 * runs.size() + 1);
  const auto addRows = [&](int64_t y0, int64_t y1, int64_t in) {
    if (Clamp32(y0) >= Clamp32(y1)) return;  // no rows, or rows beyond the coordinate range
    out.BeginBand(Clamp32(y0), Clamp32(y1));
    out.AddSpan(Clamp32(left + in), Clamp32(right - in));
    out.EndBand();
  };
  const auto runEnd = [&](size_t k) { return k + 1 < runs.size() ? runs[k + 1].Row : eh; };
  for (size_t k = runs.size(); k-- > 0;) {
    const int64_t r0 = std::max(runs[k].Row, eh - half);
    const int64_t r1 = runEnd(k);
    if (r0 < r1) addRows(top + eh - r1, top + eh - r0, runs[k].Inset);
  }
  addRows(top + half, bottom - eh + half + 1, 0);
  for (size_t k = 0; k < runs.size(); ++k) {
    const int64_t r0 = std::max(runs[k].Row, half + 1);
    const int64_t r1 = runEnd(k);
    if (r0 < r1) addRows(bottom - eh + r0, bottom - eh + r1, runs[k].Inset);
  }
  return out.Finish();
}

}  // namespace tovrin
