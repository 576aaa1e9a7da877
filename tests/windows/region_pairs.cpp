#include "region_pairs.h"

#include <algorithm>
#include <cstdlib>

namespace tovrin::gdi {

TBoth RectBoth(int32_t l, int32_t t, int32_t r, int32_t b) {
  return {TRegion::CreateRectRgn(l, t, r, b), TRgnHandle(CreateRectRgn(l, t, r, b))};
}

TBoth RoundRectBoth(int32_t l, int32_t t, int32_t r, int32_t b, int32_t w, int32_t h) {
  return {TRegion::CreateRoundRectRgn(l, t, r, b, w, h),
          TRgnHandle(CreateRoundRectRgn(l, t, r, b, w, h))};
}

bool WineFlatEllipseFault(int32_t l, int32_t t, int32_t r, int32_t b, int32_t w, int32_t h) {
  const int64_t boxWidth = std::abs(int64_t{r} - l) - 1, boxHeight = std::abs(int64_t{b} - t) - 1;
  const int64_t ew = std::min<int64_t>(std::abs(int64_t{w}), boxWidth);
  const int64_t eh = std::min<int64_t>(std::abs(int64_t{h}), boxHeight);
  return ew >= 2 && eh >= 3 && eh >= 2 * (ew - 1) * (ew - 1);
}

TBoth PolygonBoth(const std::vector<TPoint>& points) {
  std::vector<POINT> gdiPoints;
  for (const TPoint& p : points) gdiPoints.push_back(POINT{p.X, p.Y});
  return {
      TRegion::CreatePolygonRgn(points),
      TRgnHandle(CreatePolygonRgn(gdiPoints.data(), static_cast<int>(gdiPoints.size()), WINDING))};
}

TBoth TriangleBoth(int32_t x0, int32_t y0, int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  return PolygonBoth({{x0, y0}, {x1, y1}, {x2, y2}, {x0, y0}});
}

void CombineInto(TBoth& a, const TBoth& b, TCombineMode mode) {
  a.Ours = TRegion::Combine(a.Ours, b.Ours, mode);
  CombineRgn(a.Gdi.get(), a.Gdi.get(), b.Gdi.get(), static_cast<int>(mode));
}

TBoth Combined(const TBoth& a, const TBoth& b, TCombineMode mode) {
  TBoth r{TRegion::Combine(a.Ours, b.Ours, mode), TRgnHandle(CreateRectRgn(0, 0, 0, 0))};
  CombineRgn(r.Gdi.get(), a.Gdi.get(), b.Gdi.get(), static_cast<int>(mode));
  return r;
}

const char* ModeName(TCombineMode mode) {
  switch (mode) {
    case TCombineMode::RGN_AND:
      return "AND";
    case TCombineMode::RGN_OR:
      return "OR";
    case TCombineMode::RGN_XOR:
      return "XOR";
    case TCombineMode::RGN_DIFF:
      return "DIFF";
    case TCombineMode::RGN_COPY:
      return "COPY";
  }
  return "?";
}

std::string PointsText(const std::vector<TPoint>& points) {
  std::string s;
  for (const TPoint& p : points) s += "(" + std::to_string(p.X) + "," + std::to_string(p.Y) + ")";
  return s;
}

std::string RectName(int32_t l, int32_t t, int32_t r, int32_t b) {
  return "CreateRectRgn" + FormatRect(TRect{l, t, r, b});
}

std::string RoundRectName(int32_t l, int32_t t, int32_t r, int32_t b, int32_t w, int32_t h) {
  return "CreateRoundRectRgn(" + std::to_string(l) + "," + std::to_string(t) + "," +
         std::to_string(r) + "," + std::to_string(b) + "," + std::to_string(w) + "," +
         std::to_string(h) + ")";
}

TBoth RandomShape(TSweepRandom& random, std::string& name) {
  const int32_t l = random.Range(-5, 30), t = random.Range(-5, 30);
  const int32_t r = random.Range(-5, 30), b = random.Range(-5, 30);
  switch (random.Range(0, 2)) {
    case 0:
      name = RectName(l, t, r, b);
      return RectBoth(l, t, r, b);
    case 1: {
      int32_t w, h;
      do {
        w = random.Range(0, 40);
        h = random.Range(0, 40);
      } while (WineFlatEllipseFault(l, t, r, b, w, h));
      name = RoundRectName(l, t, r, b, w, h);
      return RoundRectBoth(l, t, r, b, w, h);
    }
    default: {
      std::vector<TPoint> points{{l, t}, {r, b}, {random.Range(-5, 30), random.Range(-5, 30)}};
      if (random.Range(0, 1) == 1) points.push_back({random.Range(-5, 30), random.Range(-5, 30)});
      name = "CreatePolygonRgn " + PointsText(points);
      return PolygonBoth(points);
    }
  }
}

}  // namespace tovrin::gdi
