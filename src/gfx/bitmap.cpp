#include "gfx/bitmap.h"

#include <algorithm>
#include <cassert>
#include <cstring>
#include <string>

#include "core/errors.h"

namespace tovrin {

size_t TBitmap::StrideFor(int32_t width, TPixelFormat format) {
  const size_t bytes =
      static_cast<size_t>(std::max(width, 0)) * (format == TPixelFormat::pf24bit ? 3 : 1);
  return (bytes + 3) & ~size_t{3};
}

bool TBitmap::SizeAllowed(int32_t width, int32_t height, TPixelFormat format) {
  if (width < 0 || height < 0) return false;
  const size_t stride = StrideFor(width, format);
  return height == 0 || stride <= MaxBitmapBytes / static_cast<size_t>(height);
}

TBitmap::TBitmap(int32_t width, int32_t height, TPixelFormat format) : FFormat(format) {
  Allocate(width, height);
}

TBitmap TBitmap::ForOverwrite(int32_t width, int32_t height, TPixelFormat format) {
  TBitmap bitmap;
  bitmap.FFormat = format;
  bitmap.Allocate(width, height, TClear::No);
  return bitmap;
}

void TBitmap::Allocate(int32_t width, int32_t height, TClear clear) {
  if (!SizeAllowed(width, height, FFormat)) {
    throw EOutOfResources("Bitmap of " + std::to_string(width) + " x " + std::to_string(height) +
                          " pixels is too large");
  }
  if (width == 0 || height == 0) width = height = 0;
  FWidth = width;
  FHeight = height;
  FStride = StrideFor(width, FFormat);
  const size_t bytes = FStride * static_cast<size_t>(height);
  if (clear == TClear::Yes) {
    FPixels.assign(bytes, 0);
    return;
  }
  FPixels.clear();
  FPixels.resize(bytes);  // default-initialised: see TPageAlignedAllocator::construct
  const size_t used = static_cast<size_t>(width) * static_cast<size_t>(BytesPerPixel());
  if (used == FStride) return;
  for (int32_t y = 0; y < height; ++y) {
    std::memset(ScanLine(y) + used, 0, FStride - used);
  }
}

uint8_t* TBitmap::ScanLine(int32_t y) {
  assert(y >= 0 && y < FHeight);
  return FPixels.data() + FStride * static_cast<size_t>(y);
}

const uint8_t* TBitmap::ScanLine(int32_t y) const {
  assert(y >= 0 && y < FHeight);
  return FPixels.data() + FStride * static_cast<size_t>(y);
}

void TBitmap::SetSize(int32_t width, int32_t height, TColor fill) {
  if (width == FWidth && height == FHeight) return;
  TBitmap old = std::move(*this);
  FFormat = old.FFormat;
  FPalette = old.FPalette;
  Allocate(width, height, TClear::No);
  Fill(fill);
  const int32_t w = std::min(FWidth, old.FWidth);
  const int32_t h = std::min(FHeight, old.FHeight);
  const size_t rowBytes = static_cast<size_t>(w) * BytesPerPixel();
  for (int32_t y = 0; y < h; ++y) std::memcpy(ScanLine(y), old.ScanLine(y), rowBytes);
}

void TBitmap::SetPixelFormat(TPixelFormat format) {
  if (format == FFormat) return;
  FFormat = format;
  Allocate(FWidth, FHeight);
}

void TBitmap::Fill(TColor color) {
  if (Empty()) return;
  if (FFormat == TPixelFormat::pf8bit) {
    std::fill(FPixels.begin(), FPixels.end(), static_cast<uint8_t>(color & 0xFF));
    return;
  }
  const TColor rgb = ColorToRGB(color);
  uint8_t* row0 = ScanLine(0);
  for (int32_t x = 0; x < FWidth; ++x) {
    row0[3 * x] = GetBValue(rgb);
    row0[3 * x + 1] = GetGValue(rgb);
    row0[3 * x + 2] = GetRValue(rgb);
  }
  for (int32_t y = 1; y < FHeight; ++y) std::memcpy(ScanLine(y), row0, FStride);
}

TColor TBitmap::Pixel(int32_t x, int32_t y) const {
  assert(x >= 0 && x < FWidth);
  const uint8_t* row = ScanLine(y);
  if (FFormat == TPixelFormat::pf8bit) {
    const TPaletteEntry& e = FPalette[row[x]];
    return RGB(e.Red, e.Green, e.Blue);
  }
  return RGB(row[3 * x + 2], row[3 * x + 1], row[3 * x]);
}

void TBitmap::SetPixel(int32_t x, int32_t y, TColor color) {
  assert(x >= 0 && x < FWidth && FFormat == TPixelFormat::pf24bit);
  uint8_t* p = ScanLine(y) + 3 * x;
  p[0] = GetBValue(color);
  p[1] = GetGValue(color);
  p[2] = GetRValue(color);
}

TBitmap TBitmap::Part(const TRect& rect) const {
  const TRect inside{std::max(rect.Left, 0), std::max(rect.Top, 0), std::min(rect.Right, FWidth),
                     std::min(rect.Bottom, FHeight)};
  if (inside.IsEmpty()) return TBitmap();
  TBitmap out = ForOverwrite(inside.Width(), inside.Height(), FFormat);
  out.FPalette = FPalette;
  const auto offset = static_cast<size_t>(inside.Left) * static_cast<size_t>(BytesPerPixel());
  const auto length = static_cast<size_t>(inside.Width()) * static_cast<size_t>(BytesPerPixel());
  for (int32_t y = 0; y < inside.Height(); ++y) {
    std::copy_n(ScanLine(inside.Top + y) + offset, length, out.ScanLine(y));
  }
  return out;
}

}  // namespace tovrin
