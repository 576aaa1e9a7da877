// How rectangle styles 1 to 57 are drawn: the pieces of rect_pieces.h are drawn in order;
// every piece but the last is copied at once (a fold mirrored through MirrorCopy), and the last is
// left in Dest and Source for the finishing step.
#include "gfx/region.h"
#include "gfx/stretch.h"
#include "picshow/styles/rect_pieces.h"
#include "picshow/styles/style_table.h"

namespace tovrin {

namespace {

// Lays a pending OldPic outside the pieces that this frame draws over it: every piece but the
// last now, and the last one in the finishing step while 0 < Progress < 100. At Progress 100 the
// finishing step covers everything with NewPic, so OldPic is not laid at all.
void LayOldPicAroundPieces(TStyleFrame& frame, const TRectStylePieces& pieces) {
  const uint8_t progress = frame.Progress();
  if (progress == 100) return;
  const int drawn = progress == 0 ? pieces.Count - 1 : pieces.Count;
  TRegion covered;
  for (int i = 0; i < drawn; ++i) {
    const TRectPiece& piece = pieces.Pieces[i];
    const TRect box = piece.Mirror == TPieceMirror::None
                          ? StretchCopyBox(frame.Media(), piece.Dest, frame.NewPic(), piece.Source)
                          : MirrorCopyBox(frame.Media(), piece.Dest, frame.NewPic(), piece.Source,
                                          piece.Mirror == TPieceMirror::Horizontal,
                                          piece.Mirror == TPieceMirror::Vertical);
    covered = TRegion::Combine(covered, TRegion::CreateRectRgn(box), TCombineMode::RGN_OR);
  }
  frame.DrawPendingOldPicOutside(covered);
}

}  // namespace

void ComposeRectangleStyle(TStyleFrame& frame) {
  const TRectStylePieces pieces = RectangleStylePieces(frame.Args.Style, frame.Extents);
  if (frame.OldPicPending) LayOldPicAroundPieces(frame, pieces);
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
