// TWin32Canvas: a window's device context during a paint, as the TCanvas a control draws on.
//
// Draw hands the bitmap's rows to SetDIBitsToDevice as they are (a TBitmap has the layout of a
// top-down DIB), once per rectangle of the update region it touches, so only the invalid parts of
// a frame travel to the screen and nothing is copied on the way.
#pragma once

#include "platform/win32/win32_api.h"

#include <vector>

#include "platform/canvas.h"

namespace tovrin {

class TWin32Canvas final : public TCanvas {
 public:
  TWin32Canvas() = default;
  // dc: the device context; origin: the control's top-left in the window's client coordinates;
  // clip: the rectangles (client coordinates) drawing may change.
  void SetView(HDC dc, TPoint origin, std::vector<TRect> clip) {
    FDC = dc;
    FOrigin = origin;
    FClip = std::move(clip);
  }

  void Draw(int32_t x, int32_t y, const TBitmap& bitmap) override;
  TRect ClipRect() const override;

 private:
  HDC FDC = nullptr;
  TPoint FOrigin;
  std::vector<TRect> FClip;
};

// Copies the part of bitmap that falls inside clip (device coordinates) to dc, with the bitmap's
// top-left at (x, y), straight from its rows.
void DrawBitmapToDC(HDC dc, int32_t x, int32_t y, const TBitmap& bitmap, const TRect& clip);

// The rectangles of a region, in its own coordinates; more than maxRects give the bounding box
// alone (one large copy costs less than many small ones).
std::vector<TRect> RegionRects(HRGN region, size_t maxRects);

}  // namespace tovrin
