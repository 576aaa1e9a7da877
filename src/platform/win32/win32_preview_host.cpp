#include "platform/win32/win32_preview_host.h"

#include "platform/win32/win32_canvas.h"

namespace tovrin {

TRect TWin32PreviewHost::WindowRect() const {
  RECT r{};
  if (!GetWindowRect(FWindow, &r)) return TRect{};
  return TRect{r.left, r.top, r.right, r.bottom};
}

void TWin32PreviewHost::Draw(int32_t x, int32_t y, const TBitmap& bitmap) {
  HDC dc = GetDC(FWindow);
  if (!dc) return;
  RECT client{};
  GetClientRect(FWindow, &client);
  DrawBitmapToDC(dc, x, y, bitmap, TRect{client.left, client.top, client.right, client.bottom});
  GdiFlush();
  ReleaseDC(FWindow, dc);
}

}  // namespace tovrin
