// CreatePolygonRgn with the non-zero winding rule and the platform's pixel rule.
//
// Each non-horizontal edge covers the rows from its upper end's y up to, not including, its lower
// end's y. On row y an edge stands at the first pixel column at or right of its exact crossing
// with the line y (the crossing rounded up); a pixel (x, y) is inside when the edges standing at
// or left of x add up to a non-zero winding count (+1 for an edge drawn downwards, -1 upwards):
//
//            (2,0)
//             /\          row 0: edges at 2 and 2      -> nothing
//            /  \         row 1: edges at 2 (1.5 up)   -> [2, 3)
//           /    \               and 3 (2.5 up)
//    (0,4) --------- (4,4)  row 4 is the lower edge: not covered
//
// Edges step from row to row with exact integer arithmetic (whole part plus a remainder kept in
// units of the edge's height), so no rounding error builds up. Spans of one row come from a walk
// over the edges sorted by column; the band builder joins equal rows into taller bands.
#include <algorithm>
#include <cstdint>
#include <vector>

#include "gfx/region.h"
#include "gfx/region_builder.h"

namespace tovrin {

namespace {

struct TEdge {
  int64_t YTop = 0;  // first row covered
  int64_t YEnd = 0;  // first row no longer covered
  int64_t X = 0;     // column on the current row: the crossing rounded up
  int64_t Err = 0;   // (X - exact crossing) * Height, in [0, Height)
  int64_t Step = 0;  // floor(dx / Height)
  int64_t Frac = 0;  // dx - Step * Height, in [0, Height)
  int64_t Height = 0;
  int Dir = 0;  // +1 for an edge drawn downwards, -1 upwards

  void NextRow() {
    X += Step;
    Err -= Frac;
    if (Err < 0) {
      ++X;
      Err += Height;
    }
  }
};

int64_t FloorDiv(int64_t a, int64_t b) {  // b > 0
  const int64_t q = a / b;
  return (a % b != 0 && a < 0) ? q - 1 : q;
}

}  // namespace

TRegion TRegion::CreatePolygonRgn(std::span<const TPoint> points) {
  if (points.size() < 3) return TRegion();

  std::vector<TEdge> edges;
  edges.reserve(points.size());
  const TPoint* prev = &points.back();
  for (const TPoint& cur : points) {
    if (prev->Y != cur.Y) {
      const bool down = prev->Y < cur.Y;
      const TPoint& upper = down ? *prev : cur;
      const TPoint& lower = down ? cur : *prev;
      TEdge e;
      e.YTop = upper.Y;
      e.YEnd = lower.Y;
      e.X = upper.X;
      e.Height = e.YEnd - e.YTop;
      const int64_t dx = static_cast<int64_t>(lower.X) - upper.X;
      e.Step = FloorDiv(dx, e.Height);
      e.Frac = dx - e.Step * e.Height;
      e.Dir = down ? 1 : -1;
      edges.push_back(e);
    }
    prev = &cur;
  }
  if (edges.empty()) return TRegion();

  std::sort(edges.begin(), edges.end(),
            [](const TEdge& a, const TEdge& b) { return a.YTop < b.YTop; });
  int64_t yEnd = edges.front().YEnd;
  for (const TEdge& e : edges) yEnd = std::max(yEnd, e.YEnd);

  TRegionBuilder out;
  std::vector<TEdge> active;
  size_t next = 0;
  for (int64_t y = edges.front().YTop; y < yEnd; ++y) {
    std::erase_if(active, [y](const TEdge& e) { return e.YEnd <= y; });
    while (next < edges.size() && edges[next].YTop == y) active.push_back(edges[next++]);
    // The order by column changes little from row to row: insertion sort is close to linear.
    for (size_t i = 1; i < active.size(); ++i) {
      for (size_t j = i; j > 0 && active[j].X < active[j - 1].X; --j) {
        std::swap(active[j], active[j - 1]);
      }
    }

    out.BeginBand(static_cast<int32_t>(y), static_cast<int32_t>(y + 1));
    int winding = 0;
    int64_t start = 0;
    for (const TEdge& e : active) {
      const int before = winding;
      winding += e.Dir;
      if (before == 0 && winding != 0) {
        start = e.X;
      } else if (before != 0 && winding == 0) {
        // Crossings lie between their edge's end points, so both ends fit in 32 bits.
        out.AddSpan(static_cast<int32_t>(start), static_cast<int32_t>(e.X));
      }
    }
    out.EndBand();

    for (TEdge& e : active) e.NextRow();
  }
  return out.Finish();
}

}  // namespace tovrin
