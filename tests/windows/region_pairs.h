// Regions made both ways, ours and the platform's, for the comparison tests: each builder makes
// the same shape with TRegion and with GDI, and the names print a call that remakes the shape.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "gdi_objects.h"
#include "gfx/region.h"

namespace tovrin::gdi {

// Both sides of one shape. Gdi is null when GDI refused to make the region.
struct TBoth {
  TRegion Ours;
  TRgnHandle Gdi;
};

TBoth RectBoth(int32_t l, int32_t t, int32_t r, int32_t b);
TBoth RoundRectBoth(int32_t l, int32_t t, int32_t r, int32_t b, int32_t w, int32_t h);
TBoth PolygonBoth(const std::vector<TPoint>& points);
// The triangle shape of the triangle-wipe transitions: four points, the first repeated at the end.
TBoth TriangleBoth(int32_t x0, int32_t y0, int32_t x1, int32_t y1, int32_t x2, int32_t y2);

// a := a mode b on both sides, the way the transitions merge shapes (the result replaces a).
void CombineInto(TBoth& a, const TBoth& b, TCombineMode mode);
// A new region a mode b on both sides.
TBoth Combined(const TBoth& a, const TBoth& b, TCombineMode mode);

// Wine's CreateRoundRectRgn goes wrong for tall, narrow ellipses: with the ellipse clamped to
// the box's pixel size (w' x h', the box being one pixel smaller than asked at its right and
// bottom), every case with w' >= 2 and h' >= max(3, 2 (w' - 1)^2) cuts more columns than the
// ellipse is wide (for (0,0,11,11, 2,7) its top row is [3,7) where a 2-pixel ellipse can cut one
// column at most), leaves a 2 x 3 ellipse uncut, and for boxes 2 to 5 pixels wide returns
// rectangles outside the box or with uninitialised coordinates. Such cases say nothing about the
// platform, so the sweeps leave them out and count them.
bool WineFlatEllipseFault(int32_t l, int32_t t, int32_t r, int32_t b, int32_t w, int32_t h);

const char* ModeName(TCombineMode mode);
std::string PointsText(const std::vector<TPoint>& points);
std::string RectName(int32_t l, int32_t t, int32_t r, int32_t b);
std::string RoundRectName(int32_t l, int32_t t, int32_t r, int32_t b, int32_t w, int32_t h);

// A random rectangle, rounded rectangle (outside Wine's fault) or polygon of three or four
// points within (-5..30)^2, and in `name` a text that remakes it.
TBoth RandomShape(TSweepRandom& random, std::string& name);

}  // namespace tovrin::gdi
