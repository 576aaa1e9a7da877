// Pixel-run copying shared by the drawing and stretching functions (internal to the graphics
// layer). A run copier converts between the two bitmaps' formats once per call, not per pixel.
#pragma once

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "gfx/bitmap.h"

namespace tovrin {

// AVX2 variants are compiled for x86-64 with GCC or Clang, and chosen at run time where the
// processor has AVX2. Not on Windows: GCC there cannot align the stack for 32-byte spills (the
// x64 ABI gives it 16).
#if (defined(__GNUC__) || defined(__clang__)) && defined(__x86_64__) && !defined(_WIN32)
#define TOVRIN_AVX2 1
#endif

// True when the AVX2 variants may run here.
inline bool CanUseAvx2() {
#if defined(TOVRIN_AVX2)
  return __builtin_cpu_supports("avx2");
#else
  return false;
#endif
}

// Copies n bytes from src to dest (not overlapping). Runs in a clip region are often a handful
// of pixels wide, where a call into the C library costs more than the copy itself: short runs
// are moved inline with a few (possibly overlapping) fixed-size moves, long ones by memcpy.
inline void CopyBytes(uint8_t* dest, const uint8_t* src, size_t n) {
  if (n >= 128) {
    std::memcpy(dest, src, n);
  } else if (n >= 16) {
    const auto move16 = [](uint8_t* d, const uint8_t* s) {
      uint8_t t[16];
      std::memcpy(t, s, 16);
      std::memcpy(d, t, 16);
    };
    for (size_t i = 0; i + 16 < n; i += 16) move16(dest + i, src + i);
    move16(dest + n - 16, src + n - 16);
  } else if (n >= 8) {
    uint64_t a, b;
    std::memcpy(&a, src, 8);
    std::memcpy(&b, src + n - 8, 8);
    std::memcpy(dest, &a, 8);
    std::memcpy(dest + n - 8, &b, 8);
  } else if (n >= 4) {
    uint32_t a, b;
    std::memcpy(&a, src, 4);
    std::memcpy(&b, src + n - 4, 4);
    std::memcpy(dest, &a, 4);
    std::memcpy(dest + n - 4, &b, 4);
  } else if (n > 0) {
    // 1 to 3 bytes: first, middle and last cover them all.
    const uint8_t first = src[0], middle = src[n / 2], last = src[n - 1];
    dest[0] = first;
    dest[n / 2] = middle;
    dest[n - 1] = last;
  }
}

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
      CopyBytes(dest, src, count * static_cast<size_t>(FDestBytes));
      return;
    }
    for (size_t i = 0; i < count; ++i, dest += 3) PutEntry(dest, src[i]);
  }

  // Pixel i of dest takes the source pixel at byte offset srcOffsets[i] of srcRow. For pf24bit
  // pixels the copy moves four bytes at a time: the extra byte written is the next pixel's
  // first, rewritten right after (the run's last pixel is moved byte by byte), and the extra
  // byte read must lie in the source row, which the caller guarantees for every pixel outside
  // [shortLo, shortHi) (those are moved byte by byte too).
  void GatherRun(uint8_t* dest, const uint8_t* srcRow, const uint32_t* srcOffsets, size_t count,
                 size_t shortLo, size_t shortHi) const {
    if (count == 0) return;
    if (FPalette != nullptr) {
      for (size_t i = 0; i < count; ++i, dest += 3) PutEntry(dest, srcRow[srcOffsets[i]]);
    } else if (FDestBytes == 3) {
      const size_t last = count - 1;  // always moved byte by byte
      const size_t a = std::min(shortLo, last);
      const size_t b = std::max(a, std::min(shortHi, last));
      dest = Wide(dest, srcRow, srcOffsets, 0, a);
      dest = Narrow(dest, srcRow, srcOffsets, a, b);
      dest = Wide(dest, srcRow, srcOffsets, b, last);
      Narrow(dest, srcRow, srcOffsets, last, count);
    } else {
      for (size_t i = 0; i < count; ++i) dest[i] = srcRow[srcOffsets[i]];
    }
  }

 private:
  // Pixels [from, to) with 4-byte moves (each writes one byte past its pixel); returns the
  // destination after them. Locals only: the compiler keeps them in registers although every
  // store goes through a byte pointer.
  static uint8_t* Wide(uint8_t* dest, const uint8_t* srcRow, const uint32_t* offsets, size_t from,
                       size_t to) {
    size_t i = from;
    if constexpr (std::endian::native == std::endian::little) {
      // Four pixels (12 bytes) assembled in registers and stored in two moves.
      for (; i + 4 <= to; i += 4, dest += 12) {
        uint32_t a, b, c, d;
        std::memcpy(&a, srcRow + offsets[i], 4);
        std::memcpy(&b, srcRow + offsets[i + 1], 4);
        std::memcpy(&c, srcRow + offsets[i + 2], 4);
        std::memcpy(&d, srcRow + offsets[i + 3], 4);
        const uint64_t low =
            (a & 0xFFFFFFu) | (uint64_t{b & 0xFFFFFFu} << 24) | (uint64_t{c} << 48);
        const uint32_t high = ((c >> 16) & 0xFFu) | ((d & 0xFFFFFFu) << 8);
        std::memcpy(dest, &low, 8);
        std::memcpy(dest + 8, &high, 4);
      }
    }
    for (; i < to; ++i, dest += 3) {
      uint32_t v;
      std::memcpy(&v, srcRow + offsets[i], 4);
      std::memcpy(dest, &v, 4);
    }
    return dest;
  }
  // Pixels [from, to) byte by byte.
  static uint8_t* Narrow(uint8_t* dest, const uint8_t* srcRow, const uint32_t* offsets, size_t from,
                         size_t to) {
    for (size_t i = from; i < to; ++i, dest += 3) Put3(dest, srcRow + offsets[i]);
    return dest;
  }
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
