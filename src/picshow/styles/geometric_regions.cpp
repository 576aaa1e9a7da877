#include "picshow/styles/geometric_regions.h"

#include <algorithm>
#include <array>
#include <limits>
#include <utility>
#include <vector>

#include "gfx/muldiv.h"
#include "gfx/region_shape_union.h"

namespace tovrin {

namespace {

// Style arithmetic runs in 64 bits so that no picture size can overflow it (9X, 3W, j * W); the
// shapes are then made from coordinates clamped to the 32-bit range.
int32_t Clamp32(int64_t v) {
  return static_cast<int32_t>(std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(),
                                                  std::numeric_limits<int32_t>::max()));
}

TRegion RoundRect(int64_t l, int64_t t, int64_t r, int64_t b, int64_t ew, int64_t eh) {
  return TRegion::CreateRoundRectRgn(Clamp32(l), Clamp32(t), Clamp32(r), Clamp32(b), Clamp32(ew),
                                     Clamp32(eh));
}

TRegion Triangle(int64_t x0, int64_t y0, int64_t x1, int64_t y1, int64_t x2, int64_t y2) {
  return TriangleRegion(Clamp32(x0), Clamp32(y0), Clamp32(x1), Clamp32(y1), Clamp32(x2),
                        Clamp32(y2));
}

// One pass of BandRegion. Row bands and column bands are the same pass with the axes exchanged:
// `along` is the axis the reach grows on (x for rows), `across` the one the bands are stacked on.
// side is the picture's length along, span its length across.
class TBandPass {
 public:
  TBandPass(TShapeUnion& shapes, bool rows) : FShapes(shapes), FRows(rows) {}

  void Run(int64_t reach, int64_t side, int64_t span, int64_t snap, int mode) {
    if (mode == 0) return;
    // The phase is decided once for the whole pass; the snap below does not change it.
    const bool secondHalf = reach > side;
    for (int64_t i = secondHalf ? 5 : 0; i < span + 5; i += 10) {
      if (secondHalf) {
        // The even band above, completed during the first half, joins the growing odd band.
        // (Shapes are added top to bottom where the order is free: the union sorts less.)
        if (mode == 1 || mode == 4) {
          Add(0, side, i - 5, i);
          Add(2 * side - reach, side, i, i + 5);
        } else if (mode == 2 || mode == 5) {
          Add(0, side, i - 5, i);
          Add(0, reach - side, i, i + 5);
        }
      } else {
        if (reach + snap > side) reach = side;
        switch (mode) {
          case 1:
          case 5:
            Add(side - reach, side, i, i + 5);
            break;
          case 2:
          case 4:
            Add(0, reach, i, i + 5);
            break;
          case 3:  // comb: odd bands from the near side, even bands from the far side
            Add(side - reach, side, i, i + 5);
            Add(0, reach, i + 5, i + 10);
            break;
          default:
            break;
        }
      }
    }
  }

 private:
  void Add(int64_t along0, int64_t along1, int64_t across0, int64_t across1) {
    if (FRows) {
      FShapes.AddRect(along0, across0, along1, across1);
    } else {
      FShapes.AddRect(across0, along0, across1, along1);
    }
  }

  TShapeUnion& FShapes;
  bool FRows;
};

// The band styles' arguments: reaches as multiples of X and Y, whether S snaps, and the modes.
struct TBandStyle {
  int8_t ReachX;  // A = ReachX * X
  int8_t ReachY;  // B = ReachY * Y
  bool Snap;      // S, or 0
  int8_t Rows;
  int8_t Columns;
};

const TBandStyle* FindBandStyle(int style) {
  static constexpr std::array<TBandStyle, 5> kRowStyles{{
      {2, 0, true, 1, 0},   // 60
      {2, 0, true, 2, 0},   // 61
      {2, 0, true, 4, 0},   // 62
      {2, 0, true, 5, 0},   // 63
      {1, 0, false, 3, 0},  // 64
  }};
  static constexpr std::array<TBandStyle, 5> kColumnStyles{{
      {0, 2, true, 0, 1},   // 71
      {0, 2, true, 0, 2},   // 72
      {0, 2, true, 0, 4},   // 73
      {0, 2, true, 0, 5},   // 74
      {0, 1, false, 0, 3},  // 75
  }};
  static constexpr std::array<TBandStyle, 13> kGridStyles{{
      {2, 2, true, 1, 1},   // 86
      {2, 2, true, 1, 2},   // 87
      {2, 2, true, 2, 1},   // 88
      {2, 2, true, 2, 2},   // 89
      {2, 2, true, 4, 4},   // 90
      {2, 2, true, 4, 5},   // 91
      {2, 2, true, 5, 4},   // 92
      {2, 2, true, 5, 5},   // 93
      {1, 1, true, 1, 3},   // 94
      {1, 1, true, 2, 3},   // 95
      {1, 1, true, 3, 1},   // 96
      {1, 1, true, 3, 2},   // 97
      {1, 1, false, 3, 3},  // 98
  }};
  if (style >= 60 && style <= 64) return &kRowStyles[style - 60];
  if (style >= 71 && style <= 75) return &kColumnStyles[style - 71];
  if (style >= 86 && style <= 98) return &kGridStyles[style - 86];
  return nullptr;
}

TShapeUnion BandShapes(int64_t a, int64_t b, int64_t w, int64_t h, int64_t s, int rowMode,
                       int columnMode) {
  TShapeUnion shapes;
  TBandPass(shapes, true).Run(a, w, h, s, rowMode);
  TBandPass(shapes, false).Run(b, h, w, s, columnMode);
  return shapes;
}

std::optional<TRegion> BandRegion64(int64_t a, int64_t b, int64_t w, int64_t h, int64_t s,
                                    int rowMode, int columnMode) {
  return BandShapes(a, b, w, h, s, rowMode, columnMode).Region();
}

std::optional<TRegion> CurvedWipeOrIris(int style, int64_t w, int64_t h, int64_t x, int64_t y) {
  switch (style) {
    case 58:
      return RoundRect(-2 * w, -5, 2 * x, h + 5, 2 * w, 2 * w);
    case 59:
      return RoundRect(w - 2 * x, -5, 3 * w, h + 5, 2 * w, 2 * w);
    case 69:
      return RoundRect(-5, -2 * h, w + 5, 2 * y, 2 * h, 2 * h);
    case 70:
      return RoundRect(-5, h - 2 * y, w + 5, 3 * h, 2 * h, 2 * h);
    case 80:
      return RoundRect(-2 * w, -2 * h, 2 * x, 2 * y, 2 * w, 2 * h);
    case 81:
      return RoundRect(w - 2 * x, -2 * h, 3 * w, 2 * y, 2 * w, 2 * h);
    case 82:
      return RoundRect(-2 * w, h - 2 * y, 2 * x, 3 * h, 2 * w, 2 * h);
    // The bottom-right corner's ellipse is 2H wide as well as high, unlike its three siblings.
    case 83:
      return RoundRect(w - 2 * x, h - 2 * y, 3 * w, 3 * h, 2 * h, 2 * h);
    case 84:
      return RoundRect(w / 2 - x, h / 2 - y, w / 2 + x, h / 2 + y, (9 * x) / 5, (9 * y) / 5);
    case 85: {
      // The picture minus a rounded box that shrinks towards the centre.
      const TRegion box = RoundRect(x - w / 2, y - h / 2, (3 * w) / 2 - x, (3 * h) / 2 - y,
                                    (9 * (w - x)) / 5, (9 * (h - y)) / 5);
      return TRegion::Combine(box, TRegion::CreateRectRgn(0, 0, Clamp32(w), Clamp32(h)),
                              TCombineMode::RGN_XOR);
    }
    default:
      return std::nullopt;
  }
}

std::optional<TRegion> TriangleWipe(int style, int64_t w, int64_t h, int64_t x, int64_t y) {
  switch (style) {
    case 110:
      return Triangle(0, 0, 2 * x, 0, 0, 2 * y);
    case 111:
      return Triangle(w, 0, w - 2 * x, 0, w, 2 * y);
    case 112:
      return Triangle(0, h, 2 * x, h, 0, h - 2 * y);
    case 113:
      return Triangle(w, h, w - 2 * x, h, w, h - 2 * y);
    default:
      break;
  }
  std::vector<TRegion> shapes;
  switch (style) {
    case 114:  // wedges from the left and right edges
      shapes.push_back(Triangle(0, h, 0, 0, x, h));
      shapes.push_back(Triangle(w, h, w, 0, w - x, 0));
      break;
    case 115:  // wedges from the top and bottom edges
      shapes.push_back(Triangle(w, 0, 0, 0, w, y));
      shapes.push_back(Triangle(w, h, 0, h, 0, h - y));
      break;
    case 116: {  // four wedges sweeping about the centre
      const int64_t cx = w / 2;
      const int64_t cy = h / 2;
      shapes.push_back(Triangle(cx, cy, 0, h, 0, h - y));
      shapes.push_back(Triangle(0, 0, x, 0, cx, cy));
      shapes.push_back(Triangle(w - x, h, cx, cy, w, h));
      shapes.push_back(Triangle(cx, cy, w, 0, w, y));
      break;
    }
    case 117: {  // a right triangle growing from the top-left corner of each cell of a 10 x 10 grid
      const int32_t legX = Clamp32(x / 5);
      const int64_t legY = MulDiv(legX, Clamp32(h), Clamp32(w));
      // The polygon rule works on whole-pixel differences only, so every cell's triangle is the
      // one at the origin moved to the cell's corner. It is made once, unless a corner lies beyond
      // the 32-bit range, where the clamped coordinates no longer make the same shape.
      const TRegion atOrigin = Triangle(0, 0, legX, 0, 0, legY);
      shapes.reserve(100);
      for (int64_t i = 0; i < 10; ++i) {
        for (int64_t j = 0; j < 10; ++j) {
          const int64_t cellX = (j * w) / 10;
          const int64_t cellY = (i * h) / 10;
          if (Clamp32(cellX + legX) == cellX + legX && Clamp32(cellY + legY) == cellY + legY) {
            TRegion cell = atOrigin;
            cell.Offset(static_cast<int32_t>(cellX), static_cast<int32_t>(cellY));
            shapes.push_back(std::move(cell));
          } else {
            shapes.push_back(Triangle(cellX, cellY, cellX + legX, cellY, cellX, cellY + legY));
          }
        }
      }
      break;
    }
    default:
      return std::nullopt;
  }
  return TRegion::Union(shapes);
}

}  // namespace

std::optional<TRegion> BandRegion(int32_t a, int32_t b, int32_t w, int32_t h, int32_t s,
                                  int rowMode, int columnMode) {
  return BandRegion64(a, b, w, h, s, rowMode, columnMode);
}

TRegion TriangleRegion(int32_t x0, int32_t y0, int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  // The polygon is closed explicitly by repeating its first point, as the shape is defined.
  const std::array<TPoint, 4> points{{{x0, y0}, {x1, y1}, {x2, y2}, {x0, y0}}};
  return TRegion::CreatePolygonRgn(points);
}

std::optional<TRegion> GeometricStyleRegion(int style, const TFrameExtents& e) {
  const int64_t w = e.W;
  const int64_t h = e.H;
  const int64_t x = e.X;
  const int64_t y = e.Y;
  if (const TBandStyle* band = FindBandStyle(style)) {
    const int64_t s = band->Snap ? e.S : 0;
    return BandRegion64(band->ReachX * x, band->ReachY * y, w, h, s, band->Rows, band->Columns);
  }
  if (style == 99) {
    // Only where both band sets have reached: rows and columns from the right and bottom, and
    // from the left and top.
    // The two band sets are intersected while they are swept, without building either.
    const TShapeUnion t = BandShapes(2 * x, 2 * y, w, h, e.S, 1, 1);
    const TShapeUnion r = BandShapes(2 * x, 2 * y, w, h, e.S, 2, 2);
    if (!r.HasShape() || !t.HasShape()) return r.Region();
    return TShapeUnion::Intersection(r, t);
  }
  if (style >= 110 && style <= 117) return TriangleWipe(style, w, h, x, y);
  return CurvedWipeOrIris(style, w, h, x, y);
}

}  // namespace tovrin
