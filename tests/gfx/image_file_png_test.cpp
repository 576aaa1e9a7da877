// PNG output read back with libpng and with our reader (only in builds that have libpng).
#include <gtest/gtest.h>

#include <png.h>

#include <cstdio>

#include "core/errors.h"
#include "gfx/image_file.h"
#include "image_file_test_util.h"

namespace tovrin {
namespace {

TEST(PNG, WrittenFileReadsBackWithLibpng) {
  if (!PNGSupported()) GTEST_SKIP() << "no libpng in this build";
  const TBitmap b = Sample();
  const std::string path = TempPath("out.png");
  SavePNG(b, path);
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  ASSERT_TRUE(png_image_begin_read_from_file(&image, path.c_str())) << image.message;
  image.format = PNG_FORMAT_RGB;
  std::vector<uint8_t> rgb(PNG_IMAGE_SIZE(image));
  ASSERT_TRUE(png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr)) << image.message;
  std::remove(path.c_str());
  ASSERT_EQ(image.width, 5u);
  ASSERT_EQ(image.height, 3u);
  for (int y = 0; y < 3; ++y) {
    for (int x = 0; x < 5; ++x) {
      const uint8_t* p = rgb.data() + (y * 5 + x) * 3;
      EXPECT_EQ(RGB(p[0], p[1], p[2]), b.Pixel(x, y)) << x << ", " << y;
    }
  }
}

// Writing and reading agree on the byte order of a pixel, and a palette bitmap is written through
// its palette. A file cut anywhere before the end of its pixel data is refused, not read past its
// end; the closing IEND chunk (12 bytes), which carries nothing, may be missing.
TEST(PNG, DecodeReadsWhatEncodeWrote) {
  const TBitmap b = Sample();
  const std::vector<uint8_t> png = EncodePNG(b);
  EXPECT_EQ(DecodePNG(png), b);
  TBitmap grey(3, 2, TPixelFormat::pf8bit);
  for (int i = 0; i < 256; ++i) {
    const auto v = static_cast<uint8_t>(255 - i);
    grey.Palette()[static_cast<size_t>(i)] = TPaletteEntry{v, v, v};
  }
  for (int y = 0; y < 2; ++y) {
    for (int x = 0; x < 3; ++x) grey.ScanLine(y)[x] = static_cast<uint8_t>(40 * (y * 3 + x));
  }
  const TBitmap read = DecodePNG(EncodePNG(grey));
  for (int y = 0; y < 2; ++y) {
    for (int x = 0; x < 3; ++x) EXPECT_EQ(read.Pixel(x, y), grey.Pixel(x, y)) << x << ", " << y;
  }
  const size_t iend = 12;
  ASSERT_GT(png.size(), iend);
  EXPECT_EQ(DecodePNG(std::span(png).first(png.size() - iend)), b);
  for (size_t length = 0; length < png.size() - iend; ++length) {
    EXPECT_THROW(DecodePNG(std::span(png).first(length)), EInvalidGraphic) << length;
  }
}

}  // namespace
}  // namespace tovrin
