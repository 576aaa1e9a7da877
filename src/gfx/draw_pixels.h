// Pixel-run copying shared by the drawing and stretching functions (internal to the graphics
// layer). A run copier converts between the two bitmaps' formats once per call, not per pixel.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "gfx/bitmap.h"

namespace tovrin {

class TPixelCopier {
 public:
  // Copies from src into dest; Valid() is false for the one unsupported pairing (a pf24bit
  // source into a pf8bit destination).
  TPixelCopier(const TBitmap& dest, const TBitmap& src)
      : FDestBytes(dest.BytesPerPixel()),
        FSrcBytes(src.BytesPerPixel()),
        FPalette(src.PixelFormat() == TPixelFormat::pf8bit &&
                         dest.PixelFormat() == TPixelFormat::pf24bit
                     ? src.Palette().data()
                     : nullptr),
        FValid(!(src.PixelFormat() == TPixelFormat::pf24bit &&
                 dest.PixelFormat() == TPixelFormat::pf8bit)) {}

  bool Valid() const { return FValid; }
  // True when pixels are copied byte for byte (no palette lookup).
  bool Plain() const { return FPalette == nullptr; }
  int DestBytes() const { return FDestBytes; }
  int SrcBytes() const { return FSrcBytes; }

  // count pixels from src to dest, both contiguous.
  void CopyRun(uint8_t* dest, const uint8_t* src, size_t count) const {
    if (FPalette == nullptr) {
      std::memcpy(dest, src, count * static_cast<size_t>(FDestBytes));
      return;
    }
    for (size_t i = 0; i < count; ++i, dest += 3) PutEntry(dest, src[i]);
  }

  // Pixel i of dest takes the source pixel at byte offset srcOffsets[i] of srcRow, a row of
  // srcRowBytes bytes.
  void GatherRun(uint8_t* dest, const uint8_t* srcRow, size_t srcRowBytes,
                 const uint32_t* srcOffsets, size_t count) const {
    if (FPalette != nullptr) {
      for (size_t i = 0; i < count; ++i, dest += 3) PutEntry(dest, srcRow[srcOffsets[i]]);
    } else if (FDestBytes == 3) {
      // One 4-byte move instead of three byte moves where possible: the extra byte written is
      // the next pixel's first, rewritten right after; the extra byte read must still lie in
      // the source row.
      size_t i = 0;
      for (; i + 1 < count; ++i, dest += 3) {
        const size_t offset = srcOffsets[i];
        if (offset + 4 <= srcRowBytes) {
          uint32_t v;
          std::memcpy(&v, srcRow + offset, 4);
          std::memcpy(dest, &v, 4);
        } else {
          Put3(dest, srcRow + offset);
        }
      }
      if (i < count) Put3(dest, srcRow + srcOffsets[i]);
    } else {
      for (size_t i = 0; i < count; ++i) dest[i] = srcRow[srcOffsets[i]];
    }
  }

 private:
  static void Put3(uint8_t* dest, const uint8_t* src) {
    dest[0] = src[0];
    dest[1] = src[1];
    dest[2] = src[2];
  }
  void PutEntry(uint8_t* dest, uint8_t index) const {
    const TPaletteEntry& e = FPalette[index];
    dest[0] = e.Blue;
    dest[1] = e.Green;
    dest[2] = e.Red;
  }

  int FDestBytes;
  int FSrcBytes;
  const TPaletteEntry* FPalette;
  bool FValid;
};

}  // namespace tovrin
