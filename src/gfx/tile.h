// TileGraphic: covers a rectangle of a canvas with copies of a graphic at its own size.
#pragma once

#include "gfx/bitmap.h"
#include "gfx/rect.h"

namespace tovrin {

// Draws graphic unscaled at (rect.Left + c * w, rect.Top + r * h) for every row r from 0 to
// rect height / h and column c from 0 to rect width / w (integer division, w and h the graphic's
// size): the last row and column may reach beyond rect, and an extra one is drawn when a side
// divides evenly. Drawing is clipped to canvas only, not to rect. An empty graphic draws nothing.
void TileGraphic(TBitmap& canvas, const TRect& rect, const TBitmap& graphic);

}  // namespace tovrin
