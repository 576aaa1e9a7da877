#include "test_jpeg.h"

#include "jpeg_maker.h"

namespace tovrin::test {

std::vector<uint8_t> MakeJPEG(int width, int height, bool grayscale, bool progressive) {
  if (grayscale) {
    // A grey ramp from left to right (the maker takes a grey picture's green channel).
    return testing::MakeJpeg(
        width, height, progressive ? testing::TJpegKind::GreyProgressive : testing::TJpegKind::Grey,
        [width](int x, int) {
          return static_cast<uint32_t>((x * 255) / (width > 1 ? width - 1 : 1)) << 8;
        },
        80);
  }
  return testing::MakeJpeg(
      width, height, progressive ? testing::TJpegKind::Progressive : testing::TJpegKind::Colour,
      [](int x, int y) {
        const uint32_t r = static_cast<uint8_t>(x * 7), g = static_cast<uint8_t>(y * 5),
                       b = static_cast<uint8_t>((x + y) * 3);
        return (r << 16) | (g << 8) | b;
      },
      80);
}

}  // namespace tovrin::test
