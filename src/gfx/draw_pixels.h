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

  // Pixel i of dest takes the source pixel at byte offset srcOffsets[i] of the source row.
  void GatherRun(uint8_t* dest, const uint8_t* srcRow, const uint32_t* srcOffsets,
                 size_t count) const {
    if (FPalette != nullptr) {
      for (size_t i = 0; i < count; ++i, dest += 3) PutEntry(dest, srcRow[srcOffsets[i]]);
    } else if (FDestBytes == 3) {
      for (size_t i = 0; i < count; ++i, dest += 3) {
        const uint8_t* s = srcRow + srcOffsets[i];
        dest[0] = s[0];
        dest[1] = s[1];
        dest[2] = s[2];
      }
    } else {
      for (size_t i = 0; i < count; ++i) dest[i] = srcRow[srcOffsets[i]];
    }
  }

 private:
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
