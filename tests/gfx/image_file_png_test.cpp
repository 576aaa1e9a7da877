// PNG output read back with libpng (only in builds that have libpng).
#include <gtest/gtest.h>

#include <png.h>

#include <cstdio>

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

}  // namespace
}  // namespace tovrin
