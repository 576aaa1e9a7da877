#include "gdi_objects.h"

#include <cstdio>
#include <cstring>

namespace tovrin::gdi {

TGdiRegionData RegionData(HRGN region) {
  TGdiRegionData result;
  const DWORD size = GetRegionData(region, 0, nullptr);
  if (size < sizeof(RGNDATAHEADER)) return result;
  // RGNDATA ends in a RECT array, so a vector of RECTs is suitably aligned for it.
  std::vector<RECT> block((size + sizeof(RECT) - 1) / sizeof(RECT) + 1);
  auto* data = reinterpret_cast<RGNDATA*>(block.data());
  if (GetRegionData(region, size, data) == 0) return result;
  const RGNDATAHEADER& header = data->rdh;
  if (header.iType != RDH_RECTANGLES ||
      header.dwSize + header.nCount * sizeof(RECT) > block.size() * sizeof(RECT)) {
    return result;
  }
  const auto* rects = reinterpret_cast<const RECT*>(data->Buffer);
  result.Rects.reserve(header.nCount);
  for (DWORD i = 0; i < header.nCount; ++i) {
    result.Rects.push_back(TRect{rects[i].left, rects[i].top, rects[i].right, rects[i].bottom});
  }
  result.Bound =
      TRect{header.rcBound.left, header.rcBound.top, header.rcBound.right, header.rcBound.bottom};
  result.Ok = true;
  return result;
}

std::string FormatRect(const TRect& r) {
  return "(" + std::to_string(r.Left) + "," + std::to_string(r.Top) + "," +
         std::to_string(r.Right) + "," + std::to_string(r.Bottom) + ")";
}

std::string FormatRects(const std::vector<TRect>& rects, size_t limit) {
  std::string s = std::to_string(rects.size()) + " rects:";
  for (size_t i = 0; i < rects.size() && i < limit; ++i) s += " " + FormatRect(rects[i]);
  if (rects.size() > limit) s += " ...";
  return s;
}

TDibSection::TDibSection(int32_t width, int32_t height)
    : FWidth(width), FHeight(height), FStride(TBitmap::StrideFor(width, TPixelFormat::pf24bit)) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down rows, like TBitmap
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  FDC = CreateCompatibleDC(nullptr);
  if (FDC == nullptr) return;
  void* bits = nullptr;
  FBitmap = CreateDIBSection(FDC, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (FBitmap == nullptr) return;
  FBits = static_cast<uint8_t*>(bits);
  FOldBitmap = SelectObject(FDC, FBitmap);
}

TDibSection::~TDibSection() {
  if (FDC != nullptr && FOldBitmap != nullptr) SelectObject(FDC, FOldBitmap);
  if (FBitmap != nullptr) DeleteObject(FBitmap);
  if (FDC != nullptr) DeleteDC(FDC);
}

void TDibSection::Load(const TBitmap& bitmap) {
  GdiFlush();
  const size_t rowBytes = static_cast<size_t>(FWidth) * 3;
  for (int32_t y = 0; y < FHeight; ++y) {
    std::memcpy(FBits + FStride * static_cast<size_t>(y), bitmap.ScanLine(y), rowBytes);
  }
}

TBitmap TDibSection::Save() const {
  GdiFlush();  // GDI may batch drawing; the bits are only final after a flush
  TBitmap bitmap(FWidth, FHeight);
  const size_t rowBytes = static_cast<size_t>(FWidth) * 3;
  for (int32_t y = 0; y < FHeight; ++y) {
    std::memcpy(bitmap.ScanLine(y), FBits + FStride * static_cast<size_t>(y), rowBytes);
  }
  return bitmap;
}

std::string FirstPixelDifference(const TBitmap& ours, const TBitmap& theirs) {
  if (ours.Width() != theirs.Width() || ours.Height() != theirs.Height()) return "sizes differ";
  for (int32_t y = 0; y < ours.Height(); ++y) {
    const uint8_t* a = ours.ScanLine(y);
    const uint8_t* b = theirs.ScanLine(y);
    for (int32_t x = 0; x < ours.Width(); ++x) {
      if (std::memcmp(a + 3 * x, b + 3 * x, 3) != 0) {
        char text[96];
        std::snprintf(text, sizeof text, "pixel %d,%d: ours %02X%02X%02X, GDI %02X%02X%02X", x, y,
                      a[3 * x], a[3 * x + 1], a[3 * x + 2], b[3 * x], b[3 * x + 1], b[3 * x + 2]);
        return text;
      }
    }
  }
  return {};
}

int32_t TSweepRandom::Range(int32_t lo, int32_t hi) {
  // 64-bit linear congruential step (Knuth's MMIX constants); the high bits are the best ones.
  FState = FState * 6364136223846793005ull + 1442695040888963407ull;
  const uint64_t span = static_cast<uint64_t>(static_cast<int64_t>(hi) - lo + 1);
  return static_cast<int32_t>(lo + static_cast<int64_t>(((FState >> 32) * span) >> 32));
}

}  // namespace tovrin::gdi
