// Test pictures whose every byte is random, so that any pixel taken from the wrong place, or left
// as it was, shows.
#pragma once

#include <cstdint>

#include "core/random.h"
#include "gfx/bitmap.h"

namespace tovrin::test {

inline TBitmap NoiseBitmap(int32_t w, int32_t h, uint32_t seed) {
  TBitmap b(w, h);
  TRandom random(seed);
  for (int32_t y = 0; y < h; ++y) {
    uint8_t* row = b.ScanLine(y);
    for (int32_t i = 0; i < 3 * w; ++i) row[i] = static_cast<uint8_t>(random.Next(256));
  }
  return b;
}

}  // namespace tovrin::test
