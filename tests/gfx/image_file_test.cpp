// Image files: PPM round trips and malformed headers, JPEG files expanded to 24 bits, file
// errors.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "core/errors.h"
#include "gfx/image_file.h"
#include "image_file_test_util.h"
#include "jpeg_maker.h"

namespace tovrin {

TBitmap Sample() {
  TBitmap b(5, 3);  // odd width: rows carry padding that must not leak into files
  for (int y = 0; y < 3; ++y) {
    for (int x = 0; x < 5; ++x) {
      b.SetPixel(x, y, RGB(uint8_t(x * 50), uint8_t(y * 100), uint8_t(x + y)));
    }
  }
  return b;
}

std::string TempPath(const char* name) {
  static const std::string run =
      std::to_string(std::chrono::steady_clock::now().time_since_epoch().count());
  return (std::filesystem::temp_directory_path() / ("tovrin_gfx_" + run + "_" + name)).string();
}

namespace {

std::vector<uint8_t> Bytes(const std::string& s) {
  return {s.begin(), s.end()};
}

TEST(PPM, RoundTripAndLayout) {
  const TBitmap b = Sample();
  const auto bytes = EncodePPM(b);
  EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 11), "P6\n5 3\n255\n");
  EXPECT_EQ(bytes.size(), 11u + 5 * 3 * 3);
  EXPECT_EQ(bytes[11 + 3 * 4], 200);  // red of pixel (4, 0) comes first
  EXPECT_EQ(ReadPPM(bytes), b);
  // Comments and any white space in the header.
  auto commented = Bytes("P6 # made by hand\n5\t3\r\n# maxval next\n255\n");
  commented.insert(commented.end(), bytes.begin() + 11, bytes.end());
  EXPECT_EQ(ReadPPM(commented), b);
}

TEST(PPM, MalformedHeadersAreRefused) {
  const char* bad[] = {
      "",
      "P3\n1 1\n255\n\x01\x02\x03",
      "P6",
      "P6\n",
      "P6\n1\n",
      "P6\n1 1\n",
      "P6\n0 1\n255\n",
      "P6\n1 1\n65535\n\0\0\0\0\0\0",
      "P6\nx 1\n255\n\1\2\3",
      "P6\n99999999999 1\n255\n",
      "P6\n2 2\n255\n\1\2\3",
      "P6\n1 1\n255",
  };
  for (const char* text : bad) {
    EXPECT_THROW(ReadPPM(Bytes(text)), EInvalidGraphic) << text;
  }
  // A size the bitmap may not hold is refused before anything is allocated.
  EXPECT_THROW(ReadPPM(Bytes("P6\n2000000000 2000000000\n255\n")), EOutOfResources);
}

TEST(ImageFiles, JpegFileExpandedAndFileErrors) {
  const auto jpeg =
      testing::MakeJpeg(8, 8, testing::TJpegKind::Grey, [](int, int) { return 0x808080u; });
  const std::string path = TempPath("grey.jpg");
  {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(jpeg.data()), std::streamsize(jpeg.size()));
  }
  const TBitmap b = LoadJPEG(path);
  std::remove(path.c_str());
  EXPECT_EQ(b.PixelFormat(), TPixelFormat::pf24bit);
  EXPECT_NEAR(GetGValue(b.Pixel(3, 3)), 128, 4);

  EXPECT_THROW(LoadPPM(TempPath("missing.ppm")), EFOpenError);
  EXPECT_THROW(SavePPM(Sample(), "/nonexistent-dir/x.ppm"), EFCreateError);
}

}  // namespace
}  // namespace tovrin
