// The catalogue of the 128 transition styles as a table: one row per style number, giving its
// kind (which decides ComposeFrame's finishing step) and the function that composes it.
//
// A style function receives the frame (TStyleFrame) after the set-up of ComposeFrame and leaves
// in it what the finishing step needs: the last piece in Dest/Source (rectangle styles) or the
// region that shows NewPic (region styles). Pixel styles write Media themselves.
//
// Every row has its function: the rectangle styles 1 to 57 (rect_styles.h), the geometric region
// styles (region_styles.h), the random region styles (random_styles.h) and the pixel styles
// (pixel_styles.h), and the cut, style 0.
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

// The style functions, one file per family.
void ComposeCut(TStyleFrame& frame);             // 0                        styles_cut.cpp
void ComposeRectangleStyle(TStyleFrame& frame);  // 1 to 57                  styles_rect.cpp
void ComposeGeometricStyle(TStyleFrame& frame);  // bands, curves, triangles styles_region_pixel.cpp
void ComposeRandomStyle(TStyleFrame& frame);     // ragged, crumble, blocks  styles_region_pixel.cpp
void ComposePixelStyleFrame(TStyleFrame& frame);  // 118 to 122 styles_region_pixel.cpp

}  // namespace tovrin
