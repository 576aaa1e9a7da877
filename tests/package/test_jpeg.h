// Small real JPEG files made with libjpeg's compressor, for tests.
#pragma once

#include <cstdint>
#include <vector>

namespace tovrin::test {

// A width x height picture with a colour gradient (or grey ramp), baseline or progressive.
std::vector<uint8_t> MakeJPEG(int width, int height, bool grayscale = false,
                              bool progressive = false);

}  // namespace tovrin::test
