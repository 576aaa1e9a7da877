// PNG and HEIC/HEIF pictures converted to JPEG. The inputs are written here with libpng's and
// libheif's own encoders.
#include <png.h>

#include <libheif/heif.h>

#include <gtest/gtest.h>

#include <memory>

#include "core/errors.h"
#include "gfx/jpeg_decoder.h"
#include "heic_maker.h"
#include "import/exif_orientation.h"
#include "import/picture_import.h"
#include "package/jpeg_header.h"
#include "picture_samples.h"

// Debian's libx265 (the HEVC encoder libheif writes the test pictures with) leaves one small
// block per encoded picture allocated when its encoder is closed. The leak checker of the
// sanitizer build is told to ignore that library, and only that library.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libx265.so\n";
}

namespace tovrin {
namespace {

using test::TBytes;

// ---- PNG ----

TBytes Png(uint32_t width, uint32_t height, uint32_t format, const void* pixels,
           const TBytes& colormap = {}) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = width;
  image.height = height;
  image.format = format;
  image.colormap_entries = static_cast<png_uint_32>(colormap.size() / 4);
  png_alloc_size_t size = 0;
  const bool linear = (format & PNG_FORMAT_FLAG_LINEAR) != 0;
  png_image_write_get_memory_size(image, size, 0, pixels, 0,
                                  colormap.empty() ? nullptr : colormap.data());
  TBytes out(size);
  EXPECT_NE(png_image_write_to_memory(&image, out.data(), &size, 0, pixels, 0,
                                      colormap.empty() ? nullptr : colormap.data()),
            0)
      << image.message << (linear ? " (16-bit)" : "");
  out.resize(size);
  return out;
}

// A 32 x 32 picture of four flat 16 x 16 quarters, each given as 4 samples (unused ones ignored).
template <class T>
std::vector<T> Quarters(int channels, const T (&q)[4][4]) {
  std::vector<T> pixels;
  for (int y = 0; y < 32; ++y) {
    for (int x = 0; x < 32; ++x) {
      const T* s = q[(y / 16) * 2 + x / 16];
      pixels.insert(pixels.end(), s, s + channels);
    }
  }
  return pixels;
}

TEST(PngImportTest, EveryKindOfPngConverts) {
  const uint8_t rgba[4][4] = {
      {255, 0, 0, 255}, {0, 0, 255, 255}, {255, 255, 255, 0}, {255, 255, 255, 255}};
  const uint8_t greyAlpha[4][4] = {{40}, {200, 255}, {255, 0}, {120, 255}};
  const uint8_t grey[4][4] = {{40}, {200}, {0}, {120}};
  const uint8_t index[4][4] = {{0}, {1}, {2}, {3}};
  const uint16_t deep[4][4] = {{65535, 0, 0}, {0, 65535, 0}, {0, 0, 65535}, {0, 0, 0}};
  const TBytes palette = {255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 0, 0, 255, 255, 0, 255};
  const auto greyPixels = Quarters<uint8_t>(1, grey);
  const auto greyAlphaPixels = Quarters<uint8_t>(2, greyAlpha);
  struct TCase {
    const char* What;
    TBytes File;
    bool Grey;
    TColor Quarters[4];  // the colours expected in the stored JPEG
  };
  const auto rgbaPixels = Quarters<uint8_t>(4, rgba);
  const auto indexPixels = Quarters<uint8_t>(1, index);
  const auto deepPixels = Quarters<uint16_t>(3, deep);
  // Transparent pixels become black; their colour does not show through.
  const TCase cases[] = {
      {"RGBA",
       Png(32, 32, PNG_FORMAT_RGBA, rgbaPixels.data()),
       false,
       {RGB(255, 0, 0), RGB(0, 0, 255), RGB(0, 0, 0), RGB(255, 255, 255)}},
      {"grey",
       Png(32, 32, PNG_FORMAT_GRAY, greyPixels.data()),
       true,
       {RGB(40, 40, 40), RGB(200, 200, 200), RGB(0, 0, 0), RGB(120, 120, 120)}},
      {"grey with alpha",
       Png(32, 32, PNG_FORMAT_GA, greyAlphaPixels.data()),
       true,
       {RGB(0, 0, 0), RGB(200, 200, 200), RGB(0, 0, 0), RGB(120, 120, 120)}},
      {"palette with a transparent entry",
       Png(32, 32, PNG_FORMAT_RGBA_COLORMAP, indexPixels.data(), palette),
       false,
       {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 0), RGB(255, 255, 0)}},
      {"16-bit",
       Png(32, 32, PNG_FORMAT_LINEAR_RGB, deepPixels.data()),
       false,
       {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255), RGB(0, 0, 0)}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.What);
    const TImportedPicture result = ImportPicture(c.File, {});
    EXPECT_EQ(result.Action, TImportAction::iaReencoded);
    const TJPEGHeader header = ReadJPEGHeader(result.Jpeg.data(), result.Jpeg.size());
    EXPECT_EQ(header.Width, 32);
    EXPECT_EQ(header.Height, 32);
    EXPECT_EQ(header.Grayscale, c.Grey);
    const TBitmap decoded = DecodeJPEGForReencoding(result.Jpeg.data(), result.Jpeg.size(), 0, 0);
    for (int q = 0; q < 4; ++q) {
      const TColor got = decoded.Pixel(8 + 16 * (q % 2), 8 + 16 * (q / 2));
      const TColor want = c.Quarters[q];
      EXPECT_NEAR(GetRValue(got), GetRValue(want), 10) << "quarter " << q;
      EXPECT_NEAR(GetGValue(got), GetGValue(want), 10) << "quarter " << q;
      EXPECT_NEAR(GetBValue(got), GetBValue(want), 10) << "quarter " << q;
    }
  }
}

TEST(PngImportTest, LargePngsAreFittedAndDamagedOnesRefused) {
  const TBitmap upright = test::UprightPicture(300, 200);
  std::vector<uint8_t> rgb;
  for (int32_t y = 0; y < 200; ++y) {
    for (int32_t x = 0; x < 300; ++x) {
      const TColor c = upright.Pixel(x, y);
      rgb.insert(rgb.end(), {GetRValue(c), GetGValue(c), GetBValue(c)});
    }
  }
  const TBytes file = Png(300, 200, PNG_FORMAT_RGB, rgb.data());
  TImportOptions options;
  options.Fit = {150, 150};
  const TImportedPicture fitted = ImportPicture(file, options);
  EXPECT_EQ(fitted.Width, 150);
  EXPECT_EQ(fitted.Height, 100);
  for (size_t length : {size_t{8}, size_t{40}, file.size() / 2}) {
    const TBytes cut(file.begin(), file.begin() + static_cast<ptrdiff_t>(length));
    EXPECT_THROW(ImportPicture(cut, {}), EInvalidGraphic) << length;
  }
}

// ---- HEIC ----

// A HEIC file of `coded` with the container asking for `turn` on display, and an EXIF block
// whose orientation tag says `exifOrientation`.
TBytes Heic(const TBitmap& coded, heif_orientation turn, int exifOrientation) {
  TBytes file = test::MakeHeic(coded, turn, test::OrientationTiff({exifOrientation, true}));
  EXPECT_FALSE(file.empty());
  return file;
}

TEST(HeifImportTest, DebianLibheifCanEncodeTheTestPictures) {
  ASSERT_TRUE(heif_have_encoder_for_format(heif_compression_HEVC));
  ASSERT_TRUE(heif_have_decoder_for_format(heif_compression_HEVC));
}

// The container's rotation is applied by libheif; the EXIF orientation, which describes the
// same turn, must not be applied a second time, nor when the container has no rotation.
TEST(HeifImportTest, PhotosComeOutUpright) {
  const TBitmap upright = test::UprightPicture(64, 48);
  struct TCase {
    const char* What;
    TBitmap Coded;
    heif_orientation Turn;
    int Exif;
  };
  const TCase cases[] = {
      {"turned by the container, EXIF saying the same", test::StoredFor(upright, 6),
       heif_orientation_rotate_90_cw, 6},
      {"mirrored by the container", test::StoredFor(upright, 2), heif_orientation_flip_horizontally,
       2},
      {"coded upright, EXIF claiming a turn", upright, heif_orientation_normal, 6},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.What);
    const TBytes file = Heic(c.Coded, c.Turn, c.Exif);
    const TImportedPicture result = ImportPicture(file, {});
    EXPECT_EQ(result.Action, TImportAction::iaReencoded);
    const TBitmap decoded = DecodeJPEGForReencoding(result.Jpeg.data(), result.Jpeg.size(), 0, 0);
    ASSERT_EQ(decoded.Width(), 64);
    ASSERT_EQ(decoded.Height(), 48);
    EXPECT_LT(test::Compare(decoded, upright).Mean, 10.0);
    EXPECT_NE(ReadExifOrientation(result.Jpeg).State, TExifState::esFound);
  }
}

TEST(HeifImportTest, DamagedFilesAreRefused) {
  const TBytes file = Heic(test::UprightPicture(32, 32), heif_orientation_normal, 1);
  for (size_t length : {size_t{40}, file.size() / 2, file.size() - 20}) {
    const TBytes cut(file.begin(), file.begin() + static_cast<ptrdiff_t>(length));
    EXPECT_THROW(ImportPicture(cut, {}), Exception) << length;
  }
}

}  // namespace
}  // namespace tovrin
