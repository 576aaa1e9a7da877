// The catalogue of the 128 transition styles as a table: one row per style number, giving its
// kind (which decides ComposeFrame's finishing step) and the function that composes it.
//
// A style function receives the frame (TStyleFrame) after the set-up of ComposeFrame and leaves
// in it what the finishing step needs: the last piece in Dest/Source (rectangle styles) or the
// region that shows NewPic (region styles). Pixel styles write Media themselves.
//
// Where each style is computed and drawn. A family's geometry (*_pieces, *_regions) is a function
// of the frame's extents (and the random generator, for the random styles), tested on its own; its
// drawing (*_drawing) holds the table's function for its rows. Region styles are drawn by the
// finishing step in compose_frame.cpp, NewPic through the region their function leaves.
//
//   styles                    family                  geometry              drawing
//   0                         cut                     -                     cut_drawing.cpp
//   1..57                     rectangle pieces        rect_pieces.cpp       rect_drawing.cpp
//   58, 59, 69, 70, 80..85    curved wipes, iris      geometric_regions.cpp region_drawing.cpp
//   60..64, 71..75, 86..99    bands                   geometric_regions.cpp region_drawing.cpp
//   110..117                  triangle wipes          geometric_regions.cpp region_drawing.cpp
//   65..68, 76..79, 100..109  ragged bands            random_regions.cpp    region_drawing.cpp
//   123..126, 127             crumble, random blocks  random_regions.cpp    region_drawing.cpp
//   118..122                  cross-fade, swing-in    -                     pixel_drawing.cpp
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>

#include "core/random.h"
#include "gfx/bitmap.h"
#include "gfx/rect.h"
#include "gfx/region.h"
#include "picshow/styles/compose_frame.h"
#include "picshow/styles/frame_extents.h"

namespace tovrin {

enum class TStyleKind : uint8_t { skRectangle, skRegion, skPixel };

// What a style function works with during one frame.
struct TStyleFrame {
  const TComposeFrameArgs& Args;
  TFrameExtents Extents;          // W, H (NewPic's size), X, Y, S, Progress, Step
  TRect Dest;                     // last piece: rectangle of Media ...
  TRect Source;                   // ... filled from this rectangle of NewPic
  std::optional<TRegion> Region;  // region styles: the area of Media showing NewPic
  // Media does not hold OldPic yet: the composer left it to the style and the finishing step,
  // which lay it only where nothing else is drawn (see TStyleEntry::LaysOldPic).
  bool OldPicPending = false;

  TBitmap& NewPic() const { return Args.NewPic; }
  TBitmap& Media() const { return Args.Media; }
  uint8_t Progress() const { return Args.Progress; }
  // Copies the piece Source -> Dest of NewPic into Media now and invalidates Dest: every piece
  // of a multi-piece style but the last is drawn this way.
  void CopyPieceNow() const;
  // Lays the pending OldPic into Media now: whole, or outside covered only (pixels something
  // drawn later will overwrite anyway). Does nothing when OldPic is not pending.
  void DrawPendingOldPic();
  void DrawPendingOldPicOutside(const TRegion& covered);
};

using TStyleProc = void (*)(TStyleFrame& frame);

struct TStyleEntry {
  TStyleKind Kind;
  TStyleProc Compose;
  // The style may be given a frame whose OldPic is pending (TStyleFrame::OldPicPending): its
  // function lays OldPic itself before drawing over it, or leaves it to the finishing step.
  bool LaysOldPic;
};

inline constexpr int StyleCount = 128;

// The row of a style number 0..127.
const TStyleEntry& StyleEntry(uint8_t style);

// The style functions, one file per family (see the map above).
void ComposeCut(TStyleFrame& frame);              // 0                          cut_drawing.cpp
void ComposeRectangleStyle(TStyleFrame& frame);   // 1 to 57                    rect_drawing.cpp
void ComposeGeometricStyle(TStyleFrame& frame);   // bands, curves, triangles   region_drawing.cpp
void ComposeRandomStyle(TStyleFrame& frame);      // ragged, crumble, blocks    region_drawing.cpp
void ComposePixelStyleFrame(TStyleFrame& frame);  // 118 to 122                 pixel_drawing.cpp

}  // namespace tovrin
