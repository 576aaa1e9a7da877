#include "picshow/styles/rect_pieces.h"

namespace tovrin {

namespace {

// One piece of a single-axis style, as intervals [a, b) along the style's axis; the other axis
// always spans the whole picture.
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

TRect Horizontal(TSpan s, int32_t h) {
  return TRect{s.A, 0, s.B, h};
}
TRect Vertical(TSpan s, int32_t w) {
  return TRect{0, s.A, w, s.B};
}

}  // namespace

int32_t RollFoldWidth(int32_t x, int32_t w) {
  if (x < w / 5) return x / 2;
  if (x + w / 5 > w) return (w - x) / 2;
  return w / 10;
}

TRectStylePieces RectangleStylePieces(int style, const TFrameExtents& e) {
  TRectStylePieces result;
  const int32_t W = e.W, H = e.H, X = e.X, Y = e.Y;
  auto add = [&result](TRect dest, TRect source) {
    result.Pieces[result.Count++] = {dest, source, TPieceMirror::None};
  };

  if (style >= 1 && style <= 34) {
    const bool vertical = style > 17;
    const int k = vertical ? style - 17 : style;
    const TAxisPieces axis = vertical ? AxisStyle(k, H, Y) : AxisStyle(k, W, X);
    for (int i = 0; i < axis.Count; ++i) {
      const TAxisPiece& a = axis.Pieces[i];
      TRectPiece& piece = result.Pieces[result.Count++];
      piece.Dest = vertical ? Vertical(a.Dest, W) : Horizontal(a.Dest, H);
      piece.Source = vertical ? Vertical(a.Source, W) : Horizontal(a.Source, H);
      if (a.Fold) piece.Mirror = vertical ? TPieceMirror::Vertical : TPieceMirror::Horizontal;
    }
    return result;
  }

  const TRect F{0, 0, W, H};
  const TRect centre{Half(W - X), Half(H - Y), Half(W + X), Half(H + Y)};
  switch (style) {
    case 35:
      add({W - X, H - Y, W, H}, F);
      break;
    case 36:
      add({W - X, 0, W, Y}, F);
      break;
    case 37:
      add({0, 0, X, Y}, F);
      break;
    case 38:
      add({0, H - Y, X, H}, F);
      break;
    case 39:
      add({W - X, H - Y, 2 * W - X, 2 * H - Y}, F);
      break;
    case 40:
      add({W - X, Y - H, 2 * W - X, Y}, F);
      break;
    case 41:
      add({X - W, Y - H, X, Y}, F);
      break;
    case 42:
      add({X - W, H - Y, X, 2 * H - Y}, F);
      break;
    case 43:
      add({0, 0, X, Y}, {0, 0, X, Y});
      break;
    case 44:
      add({0, H - Y, X, H}, {0, H - Y, X, H});
      break;
    case 45:
      add({W - X, H - Y, W, H}, {W - X, H - Y, W, H});
      break;
    case 46:
      add({W - X, 0, W, Y}, {W - X, 0, W, Y});
      break;
    case 47:
      add({0, 0, 2 * W - X, 2 * H - Y}, {0, 0, X, Y});
      break;
    case 48:
      add({0, Y - H, 2 * W - X, H}, {0, H - Y, X, H});
      break;
    case 49:
      add({X - W, Y - H, W, H}, {W - X, H - Y, W, H});
      break;
    case 50:
      add({X - W, 0, W, 2 * H - Y}, {W - X, 0, W, Y});
      break;
    case 51:
      add({X - W, Y - H, 2 * W - X, 2 * H - Y}, centre);
      break;
    case 52:
      add(centre, F);
      break;
    case 53:
      add(centre, centre);
      break;
    case 54:
      for (const TRect r : {TRect{0, 0, W, Half(Y)}, TRect{0, H - Half(Y), W, H},
                            TRect{0, 0, Half(X), H}, TRect{W - Half(X), 0, W, H}}) {
        add(r, r);
      }
      break;
    case 55:
      for (const TRect r :
           {TRect{0, 0, Half(X) + 1, Half(Y) + 1}, TRect{0, H - Half(Y) - 1, Half(X) + 1, H},
            TRect{W - Half(X) - 1, H - Half(Y) - 1, W, H},
            TRect{W - Half(X) - 1, 0, W, Half(Y) + 1}}) {
        add(r, r);
      }
      break;
    case 56:
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
  return result;
}

}  // namespace tovrin
