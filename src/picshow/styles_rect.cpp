// Rectangle styles 1 to 57 in the frame composer: the pieces of rect_styles.h are drawn in order;
// every piece but the last is copied at once (a fold mirrored through MirrorCopy), and the last is
// left in Dest and Source for the finishing step.
#include "gfx/stretch.h"
#include "picshow/rect_styles.h"
#include "picshow/style_table.h"

namespace tovrin {

void ComposeRectangleStyle(TStyleFrame& frame) {
  const TRectStylePieces pieces = RectangleStylePieces(frame.Args.Style, frame.Extents);
  for (int i = 0; i + 1 < pieces.Count; ++i) {
    const TRectPiece& piece = pieces.Pieces[i];
    if (piece.Mirror == TPieceMirror::None) {
      frame.Dest = piece.Dest;
      frame.Source = piece.Source;
      frame.CopyPieceNow();
    } else {
      // MirrorCopy takes its rectangles by value; the fold is invalidated where it lies unmirrored.
      MirrorCopy(frame.Media(), piece.Dest, frame.NewPic(), piece.Source,
                 piece.Mirror == TPieceMirror::Horizontal, piece.Mirror == TPieceMirror::Vertical);
      frame.Args.Hooks.Invalidate(piece.Dest);
    }
  }
  frame.Dest = pieces.Last().Dest;
  frame.Source = pieces.Last().Source;
}

}  // namespace tovrin
