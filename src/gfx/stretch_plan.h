// Which source pixel lands on which destination pixel in a COLORONCOLOR stretch copy.
//
// The selection is separable: every drawn destination column x takes source column
// Columns.Source[x - Columns.First], every drawn row y takes source row Rows.Source[y -
// Rows.First]. The drawn pixels form one box (Columns.First .. + size) x (Rows.First .. + size);
// pixels outside it are left alone.
//
// How GDI picks pixels, per axis, for a destination extent D and source extent S (absolute
// values; a negative extent walks its axis downwards from the origin):
//
//   D >= S (enlarging or 1:1): destination step k = 0 .. D-1 takes source step
//            m(k) = floor(((2k + 1) * S - 1) / (2D))
//   D <  S (shrinking):        source step k = 0 .. S-1 falls on destination step
//            n(k) = floor(((2k + 1) * D - 1) / (2S))
//          several source steps share a destination step; across columns the LAST of them is
//          kept, across rows the FIRST (GDI overwrites pixels within a row but skips whole rows
//          once a destination row has been filled):
//
//            source columns 0..9 -> 3 columns:  n = 0 0 0 1 1 1 1 2 2 2   keeps 2, 6, 9
//            source rows    0..9 -> 3 rows:     n = 0 0 0 1 1 1 1 2 2 2   keeps 0, 3, 7
//
// This is a Bresenham walk whose error term starts at 3*minor - 2*major; the closed forms above
// give the same steps without walking, so a far-off or huge rectangle costs nothing extra.
// Before walking, GDI narrows both rectangles to their visible parts with rounded mappings
// (inflated by one pixel); a step is drawn only when its destination lies in the narrowed
// destination and its source in the narrowed source. A destination of extent 1 uses one source
// pixel fewer than asked (a source extent S > 1 becomes S - 1).
#pragma once

#include <cstdint>
#include <vector>

#include "gfx/rect.h"

namespace tovrin {

struct TAxisMap {
  int32_t First = 0;            // first destination coordinate drawn
  std::vector<int32_t> Source;  // source coordinate for First + i
  bool Empty() const { return Source.empty(); }
};

struct TStretchPlan {
  TAxisMap Columns;
  TAxisMap Rows;
  bool Empty() const { return Columns.Empty() || Rows.Empty(); }
};

// The plan for copying srcRect of a srcWidth x srcHeight bitmap to destRect (origins and signed
// extents, as StretchCopy takes them) when destination pixels may only be drawn inside destClip
// (the destination bitmap's bounds, narrowed by a clip region's extents). Every source coordinate
// in the result lies inside the source bitmap and every destination coordinate inside destClip.
TStretchPlan PlanStretch(const TRect& destRect, const TRect& srcRect, int32_t srcWidth,
                         int32_t srcHeight, const TRect& destClip);

}  // namespace tovrin
