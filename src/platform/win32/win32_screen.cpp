#include "platform/win32/win32_screen.h"

namespace tovrin {

namespace {

HCURSOR CursorHandle(TCursor cursor) {
  return LoadCursorA(nullptr, cursor == crHandPoint ? IDC_HAND : IDC_ARROW);
}

}  // namespace

int32_t TWin32Screen::PixelsPerInch() const {
  HDC dc = GetDC(nullptr);
  if (!dc) return 96;
  const int dpi = GetDeviceCaps(dc, LOGPIXELSY);
  ReleaseDC(nullptr, dc);
  return dpi > 0 ? dpi : 96;
}

void TWin32Screen::SetCursor(TCursor cursor) {
  FCursor = cursor;
  // Show the new shape now, as the system would at the next mouse move.
  ::SetCursor(CursorHandle(cursor));
}

bool TWin32Screen::ApplyCursor() const {
  if (FCursor == crDefault) return false;
  ::SetCursor(CursorHandle(FCursor));
  return true;
}

}  // namespace tovrin
