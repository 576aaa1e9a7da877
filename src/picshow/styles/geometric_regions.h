// Geometric region styles: shapes that follow from the frame extents alone, with no random element.
//
//   curved wipe    58, 59, 69, 70, 80..83  one huge rounded rectangle whose curved side or corner
//                                          sweeps across the picture
//   iris           84, 85                  a rounded box about the centre, opening (84), or
//                                          closing with the picture outside it shown (85)
//   bands          60..64, 71..75, 86..99  5-pixel bands every 10 pixels growing from the edges
//   triangle wipe  110..117                triangles from corners, edges, the centre, or a grid
//
// Each function returns the area of the frame that shows the incoming picture, in frame
// coordinates (it may reach beyond the picture; drawing clips it), or std::nullopt when the
// routine made no shape at all. The pixel sets are exactly those of the equivalent sequence of GDI
// region calls (CreateRectRgn, CreateRoundRectRgn, CreatePolygonRgn and CombineRgn).
#pragma once

#include <cstdint>
#include <optional>

#include "gfx/region.h"
#include "picshow/styles/frame_extents.h"

namespace tovrin {

constexpr bool IsGeometricRegionStyle(int style) {
  return (style >= 58 && style <= 64) || (style >= 69 && style <= 75) ||
         (style >= 80 && style <= 99) || (style >= 110 && style <= 117);
}

// Interlaced bands over a w x h picture. a is the horizontal reach of the row bands, b the vertical
// reach of the column bands, s the snap distance, and each mode 0 to 5 says which bands grow from
// which side:
//
//   mode  reach    first half (reach <= side)            second half (reach > side)
//   0     -        no bands                              no bands
//   1     2X/2Y    even bands from the right / bottom    odd bands from the right / bottom
//   2     2X/2Y    even bands from the left / top        odd bands from the left / top
//   3     X/Y      even from the right / bottom and odd from the left / top    (does not occur)
//   4     2X/2Y    even bands from the left / top        odd bands from the right / bottom
//   5     2X/2Y    even bands from the right / bottom    odd bands from the left / top
//
// Even bands are rows (columns) 10k to 10k + 5, odd bands 10k + 5 to 10k + 10. In the first half a
// reach within s of the side snaps to the whole side. A pass whose mode makes no shape (mode 0, or
// mode 3 or an unknown mode in the second half) adds nothing; with no shape from either pass the
// result is std::nullopt.
std::optional<TRegion> BandRegion(int32_t a, int32_t b, int32_t w, int32_t h, int32_t s,
                                  int rowMode, int columnMode);

// The triangle (x0, y0), (x1, y1), (x2, y2), filled with the non-zero winding rule. Never none.
TRegion TriangleRegion(int32_t x0, int32_t y0, int32_t x1, int32_t y1, int32_t x2, int32_t y2);

// The region of geometric region style `style` for the frame extents e; std::nullopt for a style
// outside the four families (and where a band routine made no shape).
std::optional<TRegion> GeometricStyleRegion(int style, const TFrameExtents& e);

}  // namespace tovrin
