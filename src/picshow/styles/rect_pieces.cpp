#include "picshow/styles/rect_pieces.h"

namespace tovrin {

namespace {

// One piece of a style along one axis, as intervals [a, b) of the frame (Dest) and of the incoming
// picture (Source).
struct TSpan {
  int32_t A = 0;
  int32_t B = 0;
};
struct TAxisPiece {
  TSpan Dest;
  TSpan Source;
  bool Fold = false;
};
struct TAxisPieces {
  std::array<TAxisPiece, 2> Pieces{};
  int Count = 0;
  void Add(TSpan dest, TSpan source, bool fold = false) { Pieces[Count++] = {dest, source, fold}; }
};

// Styles 1 to 17 along one axis of length w with extent x.
TAxisPieces AxisStyle(int k, int32_t w, int32_t x) {
  TAxisPieces p;
  const TSpan full{0, w};
  switch (k) {
    case 1:
      p.Add({w - x, w}, full);
      break;  // squeeze
    case 2:
      p.Add({0, x}, full);
      break;  // squeeze
    case 3:
      p.Add({w - x, 2 * w - x}, full);
      break;  // slide
    case 4:
      p.Add({x - w, x}, full);
      break;  // slide
    case 5:
      p.Add({0, x}, {0, x});
      break;  // wipe
    case 6:
      p.Add({w - x, w}, {w - x, w});
      break;  // wipe
    case 7:
      p.Add({0, 2 * w - x}, {0, x});
      break;  // expand
    case 8:
      p.Add({x - w, w}, {w - x, w});
      break;  // expand
    case 9:
      p.Add({x - w, 2 * w - x}, {Half(w - x), Half(w + x)});
      break;  // expand
    case 10:
      p.Add({Half(w - x), Half(w + x)}, full);
      break;    // squeeze
    case 11: {  // wipe
      const TSpan s{Half(w - x), Half(w + x)};
      p.Add(s, s);
      break;
    }
    case 12: {  // wipe from both edges
      const TSpan left{0, Half(x) + 1}, right{w - Half(x) - 1, w};
      p.Add(left, left);
      p.Add(right, right);
      break;
    }
    case 13:  // squeeze each half towards its edge
      p.Add({0, Half(x) + 1}, {0, Half(w) + 1});
      p.Add({w - Half(x) - 1, w}, {Half(w), w});
      break;
    case 14: {  // roll, edge moving towards the far side
      const int32_t b = RollFoldWidth(x, w);
      p.Add({x, x + b}, {x + b, x + 2 * b}, true);
      p.Add({0, x}, {0, x});
      break;
    }
    case 15: {  // roll, edge moving towards the near side
      const int32_t b = RollFoldWidth(x, w);
      p.Add({w - x - b, w - x}, {w - x - 2 * b, w - x - b}, true);
      p.Add({w - x, w}, {w - x, w});
      break;
    }
    case 16:  // smear
      p.Add({0, x}, {0, x});
      p.Add({x, w}, {x, x + w / 20});
      break;
    case 17:  // smear
      p.Add({w - x, w}, {w - x, w});
      p.Add({0, w - x}, {w - x - w / 20, w - x});
      break;
    default:
      break;
  }
  return p;
}

// Styles 1 to 53 are each an axis style across, down, or one of each (0: the axis is left whole).
// With both, the style's one piece spans the horizontal piece's columns and the vertical piece's
// rows; only single-axis styles have two pieces or a fold.
struct TAxisPair {
  uint8_t Across = 0;
  uint8_t Down = 0;
};
constexpr std::array<TAxisPair, 53> kAxisPairs = [] {
  std::array<TAxisPair, 53> rows{};
  for (uint8_t k = 1; k <= 17; ++k) {
    rows[k - 1] = {k, 0};       // 1..17: the horizontal axis alone
    rows[k + 17 - 1] = {0, k};  // 18..34: the same, turned
  }
  // 35..53, across and down: squeezed into a corner (35..38), sliding in from a corner (39..42),
  // wiped from a corner (43..46), expanding from a corner (47..50), from the centre (51..53).
  // clang-format off
  const std::array<TAxisPair, 19> corners{{{1, 1}, {1, 2}, {2, 2}, {2, 1},
                                           {3, 3}, {3, 4}, {4, 4}, {4, 3},
                                           {5, 5}, {5, 6}, {6, 6}, {6, 5},
                                           {7, 7}, {7, 8}, {8, 8}, {8, 7},
                                           {9, 9}, {10, 10}, {11, 11}}};
  // clang-format on
  for (size_t i = 0; i < corners.size(); ++i) rows[34 + i] = corners[i];
  return rows;
}();

// Styles 54 to 57: four pieces each, one per edge or quarter.
void FourPieceStyle(int style, const TFrameExtents& e, TRectStylePieces& result) {
  const int32_t W = e.W, H = e.H, X = e.X, Y = e.Y;
  auto add = [&result](TRect dest, TRect source) {
    result.Pieces[result.Count++] = {dest, source, TPieceMirror::None};
  };
  switch (style) {
    case 54:  // wiped in from all four edges
      for (const TRect r : {TRect{0, 0, W, Half(Y)}, TRect{0, H - Half(Y), W, H},
                            TRect{0, 0, Half(X), H}, TRect{W - Half(X), 0, W, H}}) {
        add(r, r);
      }
      break;
    case 55:  // wiped in from all four corners
      for (const TRect r :
           {TRect{0, 0, Half(X) + 1, Half(Y) + 1}, TRect{0, H - Half(Y) - 1, Half(X) + 1, H},
            TRect{W - Half(X) - 1, H - Half(Y) - 1, W, H},
            TRect{W - Half(X) - 1, 0, W, Half(Y) + 1}}) {
        add(r, r);
      }
      break;
    case 56:  // each quarter squeezed into its corner
      add({0, 0, Half(X) + 1, Half(Y) + 1}, {0, 0, Half(W) + 1, Half(H) + 1});
      add({0, H - Half(Y), Half(X) + 1, H}, {0, Half(H) + 1, Half(W) + 1, H});
      add({W - Half(X), H - Half(Y), W, H}, {Half(W) + 1, Half(H) + 1, W, H});
      add({W - Half(X), 0, W, Half(Y) + 1}, {Half(W) + 1, 0, W, Half(H) + 1});
      break;
    case 57:
      // The quarters slide in from the left, the top, the right and the bottom. X - W and Y - H
      // are zero or negative; their halves truncate toward zero.
      add({Half(X - W), 0, Half(X) + 1, Half(H) + 1}, {0, 0, Half(W) + 1, Half(H) + 1});
      add({Half(W) - 1, Half(Y - H), W, Half(Y) + 1}, {Half(W) - 1, 0, W, Half(H) + 1});
      add({W - Half(X), Half(H) - 1, Half(W - X) + W, H}, {Half(W) + 1, Half(H) - 1, W, H});
      add({0, H - Half(Y), Half(W) + 1, Half(H - Y) + H}, {0, Half(H) + 1, Half(W) + 1, H});
      break;
    default:
      break;
  }
}

}  // namespace

int32_t RollFoldWidth(int32_t x, int32_t w) {
  if (x < w / 5) return x / 2;
  if (x + w / 5 > w) return (w - x) / 2;
  return w / 10;
}

TRectStylePieces RectangleStylePieces(int style, const TFrameExtents& e) {
  TRectStylePieces result;
  if (style >= 54 && style <= 57) {
    FourPieceStyle(style, e, result);
    return result;
  }
  if (style < 1 || style > static_cast<int>(kAxisPairs.size())) return result;

  const TAxisPair pair = kAxisPairs[style - 1];
  if (pair.Across == 0 || pair.Down == 0) {
    // One axis: its pieces span the whole picture along the other.
    const bool vertical = pair.Across == 0;
    const TAxisPieces axis =
        vertical ? AxisStyle(pair.Down, e.H, e.Y) : AxisStyle(pair.Across, e.W, e.X);
    for (int i = 0; i < axis.Count; ++i) {
      const TAxisPiece& a = axis.Pieces[i];
      TRectPiece& piece = result.Pieces[result.Count++];
      piece.Dest = vertical ? TRect{0, a.Dest.A, e.W, a.Dest.B} : TRect{a.Dest.A, 0, a.Dest.B, e.H};
      piece.Source =
          vertical ? TRect{0, a.Source.A, e.W, a.Source.B} : TRect{a.Source.A, 0, a.Source.B, e.H};
      if (a.Fold) piece.Mirror = vertical ? TPieceMirror::Vertical : TPieceMirror::Horizontal;
    }
    return result;
  }
  // Both axes: the corner and centre styles have one piece along each.
  const TAxisPiece a = AxisStyle(pair.Across, e.W, e.X).Pieces[0];
  const TAxisPiece d = AxisStyle(pair.Down, e.H, e.Y).Pieces[0];
  result.Pieces[result.Count++] = {TRect{a.Dest.A, d.Dest.A, a.Dest.B, d.Dest.B},
                                   TRect{a.Source.A, d.Source.A, a.Source.B, d.Source.B},
                                   TPieceMirror::None};
  return result;
}

}  // namespace tovrin
