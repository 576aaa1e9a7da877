// Random region styles: shapes drawn anew for every frame from the system's random generator.
//
//   ragged         65..68, 76..79, 100..109  a wipe along 5-pixel bands whose ends jitter,
//                                            settling to a straight edge as the wipe completes
//   crumble        123..126                  a straight edge with blocks scattered ahead of it,
//                                            denser near the edge
//   random blocks  127                       squares at random grid points, more and larger as
//                                            Progress grows
//
// The order of the draws is part of the result: the same seed gives the same frame. A jitter of
// range J is Next(J) - Next(J), the first draw added and the second subtracted; Next(0) returns 0
// but still advances the generator, so a finished wipe draws as many numbers as a running one.
//
// Each function returns the area of the frame that shows the incoming picture (frame coordinates,
// possibly reaching beyond the picture), or std::nullopt when it made no shape at all. The pixel
// sets are exactly those of the equivalent sequence of GDI CreateRectRgn and CombineRgn calls.
#pragma once

#include <cstdint>
#include <optional>

#include "core/random.h"
#include "gfx/region.h"
#include "picshow/styles/frame_extents.h"

namespace tovrin {

constexpr bool IsRandomRegionStyle(int style) {
  return (style >= 65 && style <= 68) || (style >= 76 && style <= 79) ||
         (style >= 100 && style <= 109) || (style >= 123 && style <= 127);
}

// Ragged bands over a w x h picture: row bands reach a across from the side rowMode names, column
// bands reach b down or up by columnMode. Modes: 0 none; 1 from the right (rows) or bottom
// (columns); 2 from the left or top; 3 from the centre line outwards; 4 and any other non-zero
// mode from both sides inwards. Row bands start every 5 pixels and are 5 + h mod 5 tall (columns
// likewise with w). The jitter range is a seventh of the side until the reach covers it, then 0.
// Per band, left to right, each rectangle draws one jitter (two numbers).
std::optional<TRegion> RaggedRegion(int32_t a, int32_t b, int32_t w, int32_t h, int rowMode,
                                    int columnMode, TRandom& random);

// A straight edge reaching a (rows) or b (columns) with blocks scattered ahead of it. Modes: 0
// none; 1 from the right or bottom; any other from the left or top. In a zone a tenth of the side
// deep, blocks of size s = max(zone / 20, 2) sit k = n..1 positions ahead of the edge (n = zone
// / s), each kept when Next(k) <= t, t = 1 within the nearer three quarters of the zone, else 0.
// Bands are s tall and start every s / 2 pixels.
std::optional<TRegion> CrumbleRegion(int32_t a, int32_t b, int32_t w, int32_t h, int rowMode,
                                     int columnMode, TRandom& random);

// Squares 2d wide centred on the points of a grid d apart, d = min(w, h) / 50 + p / 10 (at least
// 1), each shown when Next(100) < p; the grid is walked column by column (x outer, y inner).
// std::nullopt when no square was chosen (always at p = 0).
std::optional<TRegion> RandomBlockRegion(int32_t w, int32_t h, int32_t p, TRandom& random);

// The region of random region style `style` for the frame extents e; std::nullopt for any other
// style, or where the routine made no shape.
std::optional<TRegion> RandomStyleRegion(int style, const TFrameExtents& e, TRandom& random);

}  // namespace tovrin
