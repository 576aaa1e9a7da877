#include "platform/sdl/pixel_copy.h"

#include <bit>
#include <cassert>
#include <cstring>

namespace tovrin {

namespace {

inline uint32_t Xrgb(uint8_t b, uint8_t g, uint8_t r) {
  return uint32_t{b} | (uint32_t{g} << 8) | (uint32_t{r} << 16) | 0xFF000000u;
}

}  // namespace

void CopyToXrgb32(const TBitmap& src, int32_t srcX, int32_t srcY, int32_t width, int32_t height,
                  uint8_t* dst, size_t dstPitch) {
  if (width <= 0 || height <= 0) return;
  assert(srcX >= 0 && srcY >= 0 && srcX + width <= src.Width() && srcY + height <= src.Height());
  if (src.PixelFormat() == TPixelFormat::pf8bit) {
    uint32_t lookup[256];
    for (int i = 0; i < 256; ++i) {
      const TPaletteEntry& e = src.Palette()[static_cast<size_t>(i)];
      lookup[i] = Xrgb(e.Blue, e.Green, e.Red);
    }
    for (int32_t y = 0; y < height; ++y) {
      const uint8_t* s = src.ScanLine(srcY + y) + srcX;
      uint8_t* d = dst + static_cast<size_t>(y) * dstPitch;
      for (int32_t x = 0; x < width; ++x) {
        std::memcpy(d + 4 * static_cast<size_t>(x), &lookup[s[x]], 4);
      }
    }
    return;
  }
  // Four pixels are twelve source bytes, read as three 32-bit words and cut into four 32-bit
  // pixels (little-endian: a word's lowest byte is the first in memory); the rest of a row goes
  // pixel by pixel, so nothing past the block is read.
  static_assert(std::endian::native == std::endian::little);
  const int32_t quads = width / 4;
  for (int32_t y = 0; y < height; ++y) {
    const uint8_t* s = src.ScanLine(srcY + y) + 3 * static_cast<size_t>(srcX);
    uint8_t* d = dst + static_cast<size_t>(y) * dstPitch;
    for (int32_t q = 0; q < quads; ++q) {
      uint32_t in[3];
      std::memcpy(in, s, sizeof in);
      const uint32_t out[4] = {
          in[0] | 0xFF000000u,
          (in[0] >> 24) | (in[1] << 8) | 0xFF000000u,
          (in[1] >> 16) | (in[2] << 16) | 0xFF000000u,
          (in[2] >> 8) | 0xFF000000u,
      };
      std::memcpy(d, out, sizeof out);
      s += 12;
      d += 16;
    }
    for (int32_t x = quads * 4; x < width; ++x) {
      d[0] = s[0];
      d[1] = s[1];
      d[2] = s[2];
      d[3] = 0xFF;
      s += 3;
      d += 4;
    }
  }
}

}  // namespace tovrin
