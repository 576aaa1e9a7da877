// Software clip regions with the exact pixel sets and rectangle lists of Windows GDI.
//
// A region is a set of pixels held as y-x banded rectangles, right and bottom exclusive:
//
//      x:  0    4    8   12
//   y= 0   +----+    +---+     band 0: y 0..2   boxes [0,4) [8,12)
//          |    |    |   |
//   y= 2   +----+----+---+     band 1: y 2..5   box   [0,12)
//          |             |
//   y= 5   +--+      +---+     band 2: y 5..6   boxes [0,2) [9,12)
//   y= 6   +--+      +---+
//
// Invariants (checked by IsValid()):
//   - every box is non-empty (Left < Right, Top < Bottom);
//   - boxes are sorted by Top, then by Left; boxes with the same Top form a band and all share
//     its Top and Bottom; bands do not overlap and follow each other downwards;
//   - within a band boxes neither overlap nor touch (touching boxes are merged into one);
//   - two bands that touch vertically never hold the same list of x-intervals (they are merged
//     into one taller band);
//   - the extents are the bounding box of all boxes, or (0,0,0,0) for the empty region.
// These rules make the representation canonical: two regions cover the same pixels exactly when
// their rectangle lists are equal. The pixel sets are GDI's for every call; the lists are the ones
// GetRegionData reports wherever GDI's own list is canonical, which holds for rectangles and for
// everything CombineRgn makes from canonical operands. Two of GDI's shape builders can leave lists
// that are not: rounded rectangles come one box per row with equal rows not joined (and a row of
// zero width may appear), and winding polygons may hold two touching boxes where two spans meet at
// one column. Compare with GDI after bringing its list to canonical form.
//
// Set operations are linear in the number of boxes of their operands; shapes are linear in their
// height (times the edge count for polygons). The class is a plain value type; the graphics layer
// reports no errors, and coordinates are plain 32-bit integers throughout.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "gfx/rect.h"

namespace tovrin {

enum class TCombineMode { RGN_AND = 1, RGN_OR = 2, RGN_XOR = 3, RGN_DIFF = 4, RGN_COPY = 5 };

class TRegion {
 public:
  // The empty region.
  TRegion() = default;

  // The rectangle (l, t, r, b); inverted coordinates are swapped first, a rectangle with zero
  // width or height gives the empty region.
  static TRegion CreateRectRgn(int32_t l, int32_t t, int32_t r, int32_t b);
  static TRegion CreateRectRgn(const TRect& r) {
    return CreateRectRgn(r.Left, r.Top, r.Right, r.Bottom);
  }

  // The rounded rectangle GDI makes for the same call: the box (l, t, r, b) normalised, with
  // corners cut by an ellipse of |w| x |h| pixels (each clamped to the box). Like GDI, the region
  // leaves out the box's last column and last row, and an ellipse under 2 pixels either way gives
  // the plain rectangle; for a box of zero width or height that is GDI's one-pixel strip just
  // before it (CreateRoundRectRgn(5, 5, 5, 10, 3, 3) covers (4, 5, 5, 9)). The extents are the
  // true bounding box of the pixels. Cost and size grow with the ellipse height.
  static TRegion CreateRoundRectRgn(int32_t l, int32_t t, int32_t r, int32_t b, int32_t w,
                                    int32_t h);

  // The polygon through `points` (closed implicitly) with the non-zero winding fill rule and GDI's
  // pixel rule: on each row y, from the top vertex's row up to but not including the bottom
  // vertex's, an edge stands at its exact crossing of that row rounded up, and a pixel is inside
  // when the edges at or left of it wind a non-zero number of times. Fewer than three points give
  // the empty region, as in GDI.
  static TRegion CreatePolygonRgn(std::span<const TPoint> points);

  // a `mode` b, as CombineRgn: RGN_AND, RGN_OR, RGN_DIFF (a without b), RGN_XOR (in exactly one
  // of them) or RGN_COPY (a). Both operands must be valid (asserted in debug builds).
  static TRegion Combine(const TRegion& a, const TRegion& b, TCombineMode mode);

  // The union of `regions`: the same region as OR-ing them together one by one, made in one
  // sweep down all of them at once.
  static TRegion Union(std::span<const TRegion> regions);

  // Moves every box by (dx, dy). Coordinates that would leave the 32-bit range are clamped to it,
  // so pixels pushed past the end of the coordinate space are dropped.
  void Offset(int32_t dx, int32_t dy);

  bool IsEmpty() const { return FRects.empty(); }
  // Bounding box of the region; (0,0,0,0) when empty.
  TRect Extents() const { return FExtents; }
  // The boxes in canonical y-x banded order (see the file comment).
  const std::vector<TRect>& Rects() const { return FRects; }
  // True when pixel (x, y) belongs to the region.
  bool Contains(int32_t x, int32_t y) const;
  // True when all invariants of the representation hold.
  bool IsValid() const;

  friend bool operator==(const TRegion& a, const TRegion& b) { return a.FRects == b.FRects; }

  // Builds a region from boxes that already satisfy the invariants (see the file comment); the
  // extents are computed here. The invariants are asserted in debug builds only, so a caller must
  // not pass anything else.
  static TRegion FromCanonicalRects(std::vector<TRect> rects);

 private:
  friend class TRegionBuilder;

  void UpdateExtents();

  TRect FExtents;
  std::vector<TRect> FRects;
};

}  // namespace tovrin
