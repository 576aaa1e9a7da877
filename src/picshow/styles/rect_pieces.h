// Rectangle styles 1 to 57: each frame stretch-copies a few rectangles of the incoming picture
// into rectangles of the frame.
//
// A style is a short list of pieces, dest <- source, in drawing order. The composer copies every
// piece but the last at once (a fold piece through MirrorCopy), and leaves the last one in dest and
// source for the finishing step, which copies it only while 0 < Progress < 100.
//
//   styles  1..17  along the horizontal axis (squeeze, slide, wipe, expand, roll, smear)
//   styles 18..34  the same seventeen with the axes exchanged (style 17 + k is style k turned)
//   styles 35..57  both axes: corner and centre boxes, the four-piece wipes, squeezes and slides
#pragma once

#include <array>
#include <cstdint>

#include "gfx/rect.h"
#include "picshow/styles/frame_extents.h"

namespace tovrin {

enum class TPieceMirror : uint8_t { None, Horizontal, Vertical };

struct TRectPiece {
  TRect Dest;
  TRect Source;
  // A fold piece of the roll styles: drawn mirrored by MirrorCopy, never the last piece.
  TPieceMirror Mirror = TPieceMirror::None;
  friend bool operator==(const TRectPiece&, const TRectPiece&) = default;
};

struct TRectStylePieces {
  std::array<TRectPiece, 4> Pieces{};
  int Count = 0;
  const TRectPiece& Last() const { return Pieces[Count - 1]; }
};

constexpr bool IsRectangleStyle(int style) {
  return style >= 1 && style <= 57;
}

// The pieces of rectangle style 1 to 57 for a frame with these extents. Any other style number
// gives no pieces.
TRectStylePieces RectangleStylePieces(int style, const TFrameExtents& e);

// The fold width of the roll styles for an extent x along a side of length w: it grows to a tenth
// of the side while the edge crosses the first fifth, and shrinks to nothing over the last fifth.
int32_t RollFoldWidth(int32_t x, int32_t w);

}  // namespace tovrin
