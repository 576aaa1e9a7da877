// TPreviewHost: the window another program hands over for a preview (by its handle), drawn on
// through its device context.
#pragma once

#include "gfx/bitmap.h"
#include "gfx/rect.h"

namespace tovrin {

class TPreviewHost {
 public:
  virtual ~TPreviewHost() = default;
  // False once the window has been destroyed.
  virtual bool Exists() const = 0;
  virtual bool IsVisible() const = 0;
  // The window's rectangle in screen coordinates.
  virtual TRect WindowRect() const = 0;
  // Copies bitmap unscaled to (x, y) of the window's client area, clipped to it.
  virtual void Draw(int32_t x, int32_t y, const TBitmap& bitmap) = 0;
};

}  // namespace tovrin
