// TCanvas: a drawing surface that finished bitmaps are handed to (a window's client area, the
// screen). Composition happens in TBitmaps; a canvas only receives them.
#pragma once

#include <cstdint>

#include "gfx/bitmap.h"
#include "gfx/rect.h"
#include "platform/canvas_lock.h"

namespace tovrin {

class TCanvas {
 public:
  virtual ~TCanvas() = default;

  // Copies bitmap unscaled with its top-left at (x, y) in the canvas's coordinates, limited to
  // ClipRect(). 8-bit bitmaps are resolved through their palette.
  virtual void Draw(int32_t x, int32_t y, const TBitmap& bitmap) = 0;
  // The area that drawing may change, in the canvas's coordinates.
  virtual TRect ClipRect() const = 0;

  // The canvas's lock (see TCanvasLock); drawing code takes it around its drawing.
  TCanvasLock& Lock() { return FLock; }

 private:
  TCanvasLock FLock;
};

}  // namespace tovrin
