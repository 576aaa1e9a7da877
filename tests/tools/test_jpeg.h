// Tiny JPEG files made with libjpeg for the tool's tests.
#pragma once

#include <cstdint>
#include <vector>

namespace tovrin::test {

struct TJpegParams {
  int Width = 8;
  int Height = 8;
  bool Grayscale = false;
  bool Progressive = false;
  uint8_t Seed = 0;  // varies the pixels, so every picture's bytes differ
};

std::vector<uint8_t> MakeJpeg(const TJpegParams& params);

}  // namespace tovrin::test
