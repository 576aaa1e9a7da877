// Small JPEG files made with libjpeg's compressor, for tests, fuzz seeds and benchmarks: the one
// maker every test program uses.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

namespace tovrin::testing {

enum class TJpegKind { Colour, Grey, Progressive, GreyProgressive, CmykAdobe, CmykPlain };

// The colour of pixel (x, y) as 0xRRGGBB.
using TPixelSource = std::function<uint32_t(int x, int y)>;

// A JPEG of the given size and kind whose pixels come from source (grey pictures take the
// green channel). CmykAdobe stores inverted ink values with an Adobe marker, as Adobe
// applications do; CmykPlain stores plain ink values without the marker.
std::vector<uint8_t> MakeJpeg(int width, int height, TJpegKind kind, const TPixelSource& source,
                              int quality = 90);

}  // namespace tovrin::testing
