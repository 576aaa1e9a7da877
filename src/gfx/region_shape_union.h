// TShapeUnion: collects the shapes of a region style and merges them in one sweep.
//
// A region style builds its result from many shapes: the first shape becomes the result and every
// later one is OR-ed into it. Union is associative, so the pixel set is the same when all shapes
// are gathered first and merged at the end; doing so costs one sort and one band sweep over all
// rectangles instead of hundreds of incremental unions, each linear in the growing result.
//
// The result keeps the difference between "no shape at all" (std::nullopt) and shapes that cover
// no pixel (an empty region): a rectangle whose width or height is zero still counts as a shape.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "gfx/rect.h"
#include "gfx/region.h"

namespace tovrin {

class TShapeUnion {
 public:
  // Adds the rectangle CreateRectRgn(l, t, r, b) would make: inverted coordinates are swapped, a
  // zero width or height adds no pixel (but still counts as a shape). The coordinates are wide so
  // callers can compute them without overflow; they are clamped to the 32-bit range.
  void AddRect(int64_t l, int64_t t, int64_t r, int64_t b);

  bool HasShape() const { return FHasShape; }
  // The union of everything added, or std::nullopt when nothing was.
  std::optional<TRegion> Region() const;

  // The canonical region covering exactly the union of rects (empty ones are ignored).
  static TRegion UnionOfRects(std::vector<TRect> rects);

  // The pixels covered by both unions: a.Region() AND b.Region(), made in one sweep without
  // building either region. An empty region when either has no pixel (or no shape).
  static TRegion Intersection(const TShapeUnion& a, const TShapeUnion& b);

 private:
  // UnionOfRects for rectangles that are all non-empty.
  static TRegion UnionOf(const std::vector<TRect>& rects);

  bool FHasShape = false;
  std::vector<TRect> FRects;
};

}  // namespace tovrin
