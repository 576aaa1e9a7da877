#include "test_jpeg.h"

#include "jpeg_maker.h"

namespace tovrin::test {

std::vector<uint8_t> MakeJpeg(const TJpegParams& params) {
  const int components = params.Grayscale ? 1 : 3;
  const int seed = params.Seed;
  // Sample i of row y is (37 i + 11 y + 53 seed) mod 256, counting samples along the row.
  const auto sample = [seed](int i, int y) {
    return static_cast<uint32_t>((i * 37 + y * 11 + seed * 53) & 0xFF);
  };
  const auto source = [&](int x, int y) {
    if (components == 1) return sample(x, y) << 8;  // grey pictures take the green channel
    return (sample(3 * x, y) << 16) | (sample(3 * x + 1, y) << 8) | sample(3 * x + 2, y);
  };
  using testing::TJpegKind;
  const TJpegKind kind = params.Grayscale
                             ? (params.Progressive ? TJpegKind::GreyProgressive : TJpegKind::Grey)
                             : (params.Progressive ? TJpegKind::Progressive : TJpegKind::Colour);
  return testing::MakeJpeg(params.Width, params.Height, kind, source, 90);
}

}  // namespace tovrin::test
