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
// their rectangle lists are equal, and the list is the one GDI's GetRegionData reports.
//
// All operations are linear in the number of boxes of their operands (plus sorting for the
// polygon scan conversion). The class is a plain value type.
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
  // corners cut by an ellipse of size w x h (clamped to the box). Like GDI, the region leaves out
  // the box's last column and last row.
  static TRegion CreateRoundRectRgn(int32_t l, int32_t t, int32_t r, int32_t b, int32_t w,
                                    int32_t h);

  // The polygon through `points` (closed implicitly) with the non-zero winding fill rule, using
  // GDI's pixel-centre scan conversion. Fewer than three points give the empty region.
  static TRegion CreatePolygonRgn(std::span<const TPoint> points);

  // a `mode` b. RGN_COPY returns a; RGN_XOR is (a - b) | (b - a).
  static TRegion Combine(const TRegion& a, const TRegion& b, TCombineMode mode);

  // Moves every box by (dx, dy). Coordinates are expected to stay within 32-bit range.
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
