#include "screen_capture.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>

#include "gdi_objects.h"

namespace tovrin::test {

TBitmap CaptureScreen(const TRect& rect) {
  gdi::TDibSection dib(rect.Width(), rect.Height());
  if (!dib.Valid()) return TBitmap();
  HDC screen = GetDC(nullptr);
  BitBlt(dib.DC(), 0, 0, rect.Width(), rect.Height(), screen, rect.Left, rect.Top, SRCCOPY);
  ReleaseDC(nullptr, screen);
  GdiFlush();
  return dib.Save();
}

bool SaveBmp(const TBitmap& bitmap, const std::string& path) {
  std::ofstream out(path, std::ios::binary);
  if (!out) return false;
  const uint32_t imageBytes = static_cast<uint32_t>(bitmap.Stride() * bitmap.Height());
  BITMAPFILEHEADER file{};
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
  file.bfSize = file.bfOffBits + imageBytes;
  BITMAPINFOHEADER info{};
  info.biSize = sizeof info;
  info.biWidth = bitmap.Width();
  info.biHeight = -bitmap.Height();  // top-down, as the rows are stored
  info.biPlanes = 1;
  info.biBitCount = 24;
  info.biCompression = BI_RGB;
  info.biSizeImage = imageBytes;
  out.write(reinterpret_cast<const char*>(&file), sizeof file);
  out.write(reinterpret_cast<const char*>(&info), sizeof info);
  out.write(reinterpret_cast<const char*>(bitmap.Bits()), imageBytes);
  return static_cast<bool>(out);
}

void PumpFor(uint32_t ms) {
  PumpUntil([] { return false; }, ms);
}

bool PumpUntil(const std::function<bool()>& done, uint32_t ms) {
  const DWORD start = GetTickCount();
  for (;;) {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    if (done()) return true;
    const DWORD elapsed = GetTickCount() - start;
    if (elapsed >= ms) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, std::min<DWORD>(10, ms - elapsed), QS_ALLINPUT);
  }
}

int MaxChannelDifference(const TBitmap& a, const TBitmap& b) {
  if (a.Width() != b.Width() || a.Height() != b.Height()) return 256;
  int worst = 0;
  for (int32_t y = 0; y < a.Height(); ++y) {
    const uint8_t* p = a.ScanLine(y);
    const uint8_t* q = b.ScanLine(y);
    for (int32_t i = 0; i < a.Width() * 3; ++i) worst = std::max(worst, std::abs(p[i] - q[i]));
  }
  return worst;
}

}  // namespace tovrin::test
