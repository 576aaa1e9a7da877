#include "platform/win32/win32_canvas.h"

#include <algorithm>
#include <memory>

namespace tovrin {

namespace {

// A BITMAPINFO with room for the 256 colours of an 8-bit bitmap's palette.
struct TDibInfo {
  BITMAPINFOHEADER Header;
  RGBQUAD Colors[256];
};

}  // namespace

void DrawBitmapToDC(HDC dc, int32_t x, int32_t y, const TBitmap& bitmap, const TRect& clip) {
  if (bitmap.Empty()) return;
  const TRect placed{x, y, x + bitmap.Width(), y + bitmap.Height()};
  const TRect r = IntersectRect(placed, clip);
  if (r.IsEmpty()) return;
  TDibInfo info{};
  info.Header.biSize = sizeof(BITMAPINFOHEADER);
  info.Header.biWidth = bitmap.Width();
  // Only the rows in r are described, top-down, starting at the first of them: the source
  // rectangle then starts at row 0, which reads the same for every DIB orientation rule.
  info.Header.biHeight = -r.Height();
  info.Header.biPlanes = 1;
  info.Header.biCompression = BI_RGB;
  if (bitmap.PixelFormat() == TPixelFormat::pf8bit) {
    info.Header.biBitCount = 8;
    info.Header.biClrUsed = 256;
    const auto& palette = bitmap.Palette();
    for (size_t i = 0; i < palette.size(); ++i) {
      info.Colors[i] = RGBQUAD{palette[i].Blue, palette[i].Green, palette[i].Red, 0};
    }
  } else {
    info.Header.biBitCount = 24;
  }
  SetDIBitsToDevice(dc, r.Left, r.Top, static_cast<DWORD>(r.Width()),
                    static_cast<DWORD>(r.Height()), r.Left - x, 0, 0, static_cast<UINT>(r.Height()),
                    bitmap.ScanLine(r.Top - y), reinterpret_cast<const BITMAPINFO*>(&info),
                    DIB_RGB_COLORS);
}

void TWin32Canvas::Draw(int32_t x, int32_t y, const TBitmap& bitmap) {
  if (!FDC) return;
  for (const TRect& clip : FClip) {
    DrawBitmapToDC(FDC, FOrigin.X + x, FOrigin.Y + y, bitmap, clip);
  }
}

TRect TWin32Canvas::ClipRect() const {
  if (FClip.empty()) return TRect{};
  TRect box = FClip.front();
  for (const TRect& r : FClip) {
    box.Left = std::min(box.Left, r.Left);
    box.Top = std::min(box.Top, r.Top);
    box.Right = std::max(box.Right, r.Right);
    box.Bottom = std::max(box.Bottom, r.Bottom);
  }
  box.Offset(-FOrigin.X, -FOrigin.Y);
  return box;
}

std::vector<TRect> RegionRects(HRGN region, size_t maxRects) {
  std::vector<TRect> rects;
  RECT box;
  const int kind = GetRgnBox(region, &box);
  if (kind == NULLREGION || kind == ERROR) return rects;
  const TRect bound{box.left, box.top, box.right, box.bottom};
  if (kind == SIMPLEREGION) return {bound};
  const DWORD size = GetRegionData(region, 0, nullptr);
  if (size < sizeof(RGNDATAHEADER)) return {bound};
  auto storage = std::make_unique<unsigned char[]>(size);
  auto* data = reinterpret_cast<RGNDATA*>(storage.get());
  if (GetRegionData(region, size, data) != size) return {bound};
  const DWORD count = data->rdh.nCount;
  if (count > maxRects || sizeof(RGNDATAHEADER) + size_t{count} * sizeof(RECT) > size) {
    return {bound};
  }
  const auto* list = reinterpret_cast<const RECT*>(data->Buffer);
  rects.reserve(count);
  for (DWORD i = 0; i < count; ++i) {
    rects.push_back(TRect{list[i].left, list[i].top, list[i].right, list[i].bottom});
  }
  return rects;
}

}  // namespace tovrin
