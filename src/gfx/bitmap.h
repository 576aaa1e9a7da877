// TBitmap: the pixel store every frame is composed in.
//
// Layout (the same as a bottom-up-free Windows DIB, so the Win32 back end can hand it to
// StretchDIBits without a copy):
//
//   row 0 (top)    | B G R | B G R | ... | pad to a multiple of 4 bytes |
//   row 1          | ...                                                |
//
// pf24bit: 3 bytes a pixel in B, G, R order. pf8bit: 1 byte a pixel, an index into a 256-entry
// palette (used for grey-scale JPEG pictures). Rows run top-down; ScanLine(y) is row y.
// Sizes are checked before anything is allocated: a size whose byte count would overflow or
// exceed MaxBitmapBytes raises EOutOfResources.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <new>
#include <utility>
#include <vector>

#include "gfx/color.h"
#include "gfx/rect.h"

namespace tovrin {

enum class TPixelFormat : uint8_t { pf8bit, pf24bit };

// Pixel stores start on a page boundary. A frame is composed by reading two bitmaps and writing a
// third at the same positions; the processor tells a load from an earlier store to the same place
// by the low 12 bits of their addresses first, so when the three stores share their offset within
// a page, a load never seems to depend on a store just made to another bitmap. Left to the heap,
// bitmaps of one size land a few bytes apart, and the loads of a row copy keep waiting on the
// stores before them: a wipe at 3840x2160 took twice as long.
template <typename T>
struct TPageAlignedAllocator {
  using value_type = T;
  static constexpr std::align_val_t kAlignment{4096};

  TPageAlignedAllocator() = default;
  template <typename U>
  explicit TPageAlignedAllocator(const TPageAlignedAllocator<U>&) {}

  T* allocate(size_t n) { return static_cast<T*>(::operator new(n * sizeof(T), kAlignment)); }
  void deallocate(T* p, size_t) { ::operator delete(p, kAlignment); }

  // Growing the store without a value leaves the new bytes as they come (default
  // initialisation): a store about to be overwritten whole is not written twice.
  template <typename U>
  void construct(U* p) noexcept {
    ::new (static_cast<void*>(p)) U;
  }
  template <typename U, typename... Args>
  void construct(U* p, Args&&... args) {
    ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
  }

  friend bool operator==(const TPageAlignedAllocator&, const TPageAlignedAllocator&) = default;
};

struct TPaletteEntry {
  uint8_t Blue = 0;
  uint8_t Green = 0;
  uint8_t Red = 0;
  friend bool operator==(const TPaletteEntry&, const TPaletteEntry&) = default;
};

class TBitmap {
 public:
  // The largest pixel store a bitmap may hold (1 GiB): a 16384 x 16384 24-bit picture fits.
  static constexpr size_t MaxBitmapBytes = size_t{1} << 30;

  TBitmap() = default;  // empty: 0 x 0, pf24bit
  // A bitmap of the given size, every byte 0 (black, or palette index 0).
  TBitmap(int32_t width, int32_t height, TPixelFormat format = TPixelFormat::pf24bit);
  // A bitmap of the given size whose pixels are not cleared: the caller writes every pixel
  // before any is read (a decoder filling every row, a copy covering it whole). Clearing a
  // frame-sized store costs about as much as the writing that replaces it. The row padding is
  // cleared, so bitmaps with equal pixels compare equal. Sizes are checked as by the
  // constructor.
  static TBitmap ForOverwrite(int32_t width, int32_t height,
                              TPixelFormat format = TPixelFormat::pf24bit);

  int32_t Width() const { return FWidth; }
  int32_t Height() const { return FHeight; }
  bool Empty() const { return FWidth <= 0 || FHeight <= 0; }
  TPixelFormat PixelFormat() const { return FFormat; }
  int BytesPerPixel() const { return FFormat == TPixelFormat::pf24bit ? 3 : 1; }
  // Bytes from the start of one row to the start of the next (a multiple of 4).
  size_t Stride() const { return FStride; }
  TRect BoundsRect() const { return TRect{0, 0, FWidth, FHeight}; }

  uint8_t* ScanLine(int32_t y);
  const uint8_t* ScanLine(int32_t y) const;
  uint8_t* Bits() { return FPixels.data(); }
  const uint8_t* Bits() const { return FPixels.data(); }

  // Changes the size keeping the pixels that still fit at their place; new pixels get fill
  // (for pf8bit, palette index 0). The pixel format is kept.
  void SetSize(int32_t width, int32_t height, TColor fill = clBlack);
  // Changes the pixel format; the picture is cleared to 0 bytes.
  void SetPixelFormat(TPixelFormat format);
  // Every pixel becomes color (pf24bit); pf8bit bitmaps get the palette index color & 0xFF.
  void Fill(TColor color);
  // The colour of pixel (x, y), resolved through the palette for pf8bit.
  TColor Pixel(int32_t x, int32_t y) const;
  void SetPixel(int32_t x, int32_t y, TColor color);  // pf24bit only

  // The pixels inside rect (clipped to the bitmap) as a bitmap of their own, with the same
  // pixel format and palette; empty when nothing is left.
  TBitmap Part(const TRect& rect) const;

  std::array<TPaletteEntry, 256>& Palette() { return FPalette; }
  const std::array<TPaletteEntry, 256>& Palette() const { return FPalette; }

  // The row stride for a width, and whether a size may be allocated (see MaxBitmapBytes).
  static size_t StrideFor(int32_t width, TPixelFormat format);
  static bool SizeAllowed(int32_t width, int32_t height, TPixelFormat format);

  friend bool operator==(const TBitmap&, const TBitmap&) = default;

 private:
  enum class TClear : bool { No, Yes };
  // clear No: the pixel bytes are left unwritten, the row padding is cleared.
  void Allocate(int32_t width, int32_t height, TClear clear = TClear::Yes);

  int32_t FWidth = 0;
  int32_t FHeight = 0;
  TPixelFormat FFormat = TPixelFormat::pf24bit;
  size_t FStride = 0;
  std::vector<uint8_t, TPageAlignedAllocator<uint8_t>> FPixels;
  std::array<TPaletteEntry, 256> FPalette{};
};

}  // namespace tovrin
