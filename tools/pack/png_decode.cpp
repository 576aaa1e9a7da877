#include <png.h>

#include <string>

#include "core/errors.h"
#include "png_decode.h"

namespace tovrin {

namespace {

// Owns the simplified reader's state; png_image_free is safe on a finished or failed image.
class TPngImage {
 public:
  TPngImage() {
    FImage.version = PNG_IMAGE_VERSION;
    FImage.opaque = nullptr;
  }
  ~TPngImage() { png_image_free(&FImage); }
  TPngImage(const TPngImage&) = delete;
  TPngImage& operator=(const TPngImage&) = delete;
  png_image& Image() { return FImage; }

 private:
  png_image FImage{};
};

}  // namespace

bool PngDecodingSupported() {
  return true;
}

TBitmap DecodePng(std::span<const uint8_t> png) {
  TPngImage holder;
  png_image& image = holder.Image();
  if (png_image_begin_read_from_memory(&image, png.data(), png.size()) == 0) {
    throw EInvalidGraphic(std::string("not a readable PNG file (") + image.message + ")");
  }
  const bool grey = (image.format & PNG_FORMAT_FLAG_COLOR) == 0;
  const TPixelFormat format = grey ? TPixelFormat::pf8bit : TPixelFormat::pf24bit;
  if (image.width > 0x7FFFFFFFu || image.height > 0x7FFFFFFFu ||
      !TBitmap::SizeAllowed(static_cast<int32_t>(image.width), static_cast<int32_t>(image.height),
                            format)) {
    throw EOutOfResources("PNG picture of " + std::to_string(image.width) + " x " +
                          std::to_string(image.height) + " pixels is too large");
  }
  TBitmap bitmap(static_cast<int32_t>(image.width), static_cast<int32_t>(image.height), format);
  if (grey) {
    for (int i = 0; i < 256; ++i) {
      const auto v = static_cast<uint8_t>(i);
      bitmap.Palette()[static_cast<size_t>(i)] = TPaletteEntry{v, v, v};
    }
  }
  image.format = grey ? PNG_FORMAT_GRAY : PNG_FORMAT_BGR;
  const png_color black{0, 0, 0};
  if (png_image_finish_read(&image, &black, bitmap.Bits(), static_cast<png_int_32>(bitmap.Stride()),
                            nullptr) == 0) {
    throw EInvalidGraphic(std::string("not a readable PNG file (") + image.message + ")");
  }
  return bitmap;
}

}  // namespace tovrin
