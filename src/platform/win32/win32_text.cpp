#include "platform/win32/win32_text.h"

#include "platform/win32/win32_api.h"

#include <algorithm>
#include <cstring>

namespace tovrin {

namespace {

// A memory device context with the caption font selected; everything freed with it.
class TFontDC {
 public:
  explicit TFontDC(const TTextFont& font)
      : FDC(CreateCompatibleDC(nullptr)),
        FFont(CreateFontA(font.Height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                          OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                          DEFAULT_PITCH | FF_DONTCARE, font.Name.c_str())) {
    if (FDC && FFont) FOldFont = SelectObject(FDC, FFont);
  }
  ~TFontDC() {
    if (FOldFont) SelectObject(FDC, FOldFont);
    if (FFont) DeleteObject(FFont);
    if (FDC) DeleteDC(FDC);
  }
  TFontDC(const TFontDC&) = delete;
  TFontDC& operator=(const TFontDC&) = delete;

  bool Ok() const { return FOldFont != nullptr; }
  HDC DC() const { return FDC; }
  TTextSize Extent(std::string_view text) const {
    SIZE size{};
    if (!GetTextExtentPoint32A(FDC, text.data(), static_cast<int>(text.size()), &size)) {
      return TTextSize{};
    }
    return TTextSize{size.cx, size.cy};
  }

 private:
  HDC FDC;
  HFONT FFont;
  HGDIOBJ FOldFont = nullptr;
};

// A 24-bit top-down DIB section, selected into dc while it lives.
class TDibSection {
 public:
  TDibSection(HDC dc, int32_t width, int32_t height) : FDC(dc) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    FBitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    FBits = static_cast<uint8_t*>(bits);
    if (FBitmap) FOld = SelectObject(dc, FBitmap);
  }
  ~TDibSection() {
    if (FOld) SelectObject(FDC, FOld);
    if (FBitmap) DeleteObject(FBitmap);
  }
  TDibSection(const TDibSection&) = delete;
  TDibSection& operator=(const TDibSection&) = delete;
  bool Ok() const { return FOld != nullptr && FBits != nullptr; }
  uint8_t* Bits() const { return FBits; }

 private:
  HDC FDC;
  HBITMAP FBitmap = nullptr;
  HGDIOBJ FOld = nullptr;
  uint8_t* FBits = nullptr;
};

}  // namespace

TTextSize TWin32TextRenderer::TextExtent(const TTextFont& font, std::string_view text) {
  TFontDC dc(font);
  if (!dc.Ok()) return TTextSize{};
  return dc.Extent(text);
}

void TWin32TextRenderer::TextOut(TBitmap& target, int32_t x, int32_t y, const TTextFont& font,
                                 std::string_view text) {
  if (text.empty() || target.Empty() || target.PixelFormat() != TPixelFormat::pf24bit) return;
  TFontDC dc(font);
  if (!dc.Ok()) return;
  const TTextSize size = dc.Extent(text);
  // Glyphs may reach a little beyond the advance width (overhangs): a margin of one line
  // height on either side holds them.
  const int32_t margin = std::max(size.Height, 1);
  const TRect box = IntersectRect(TRect{x - margin, y, x + size.Width + margin, y + size.Height},
                                  target.BoundsRect());
  if (box.IsEmpty()) return;
  TDibSection section(dc.DC(), box.Width(), box.Height());
  if (!section.Ok()) return;
  const size_t stride = TBitmap::StrideFor(box.Width(), TPixelFormat::pf24bit);
  const size_t rowBytes = size_t(box.Width()) * 3;
  for (int32_t row = 0; row < box.Height(); ++row) {
    std::memcpy(section.Bits() + row * stride, target.ScanLine(box.Top + row) + box.Left * 3,
                rowBytes);
  }
  SetBkMode(dc.DC(), TRANSPARENT);
  SetTextColor(dc.DC(), static_cast<COLORREF>(ColorToRGB(font.Color)));
  SetTextAlign(dc.DC(), TA_LEFT | TA_TOP | TA_NOUPDATECP);
  TextOutA(dc.DC(), x - box.Left, y - box.Top, text.data(), static_cast<int>(text.size()));
  GdiFlush();
  for (int32_t row = 0; row < box.Height(); ++row) {
    std::memcpy(target.ScanLine(box.Top + row) + box.Left * 3, section.Bits() + row * stride,
                rowBytes);
  }
}

}  // namespace tovrin
