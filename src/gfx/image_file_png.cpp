// PNG reading and writing through libpng, the one place that calls it.
//
// Reading uses libpng's simplified reader, which reports errors in its image's message. Writing
// uses the full writer, which reports errors by longjmp to the setjmp in WritePNG(); that frame
// holds no object with a destructor, and the buffers it writes from and into are owned by
// EncodePNG's frame, outside the jump.
#include <png.h>

#include <new>
#include <string>

#include "core/errors.h"
#include "gfx/image_file.h"

namespace tovrin {

namespace {

struct TPngSink {
  std::vector<uint8_t>* Out;
  bool Failed;
};

extern "C" void OnPngWrite(png_structp png, png_bytep data, png_size_t length) {
  auto* sink = static_cast<TPngSink*>(png_get_io_ptr(png));
  try {
    sink->Out->insert(sink->Out->end(), data, data + length);
  } catch (...) {
    sink->Failed = true;
  }
  // Outside the catch block: png_error leaves by longjmp.
  if (sink->Failed) png_error(png, "out of memory");
}

extern "C" void OnPngFlush(png_structp) {}

extern "C" void OnPngWarning(png_structp, png_const_charp) {}

// rows[y] points at row y as B, G, R bytes. Returns false when libpng failed.
bool WritePNG(png_structp png, png_infop info, TPngSink* sink, png_bytepp rows, uint32_t width,
              uint32_t height) {
  if (setjmp(png_jmpbuf(png)) != 0) return false;
  png_set_write_fn(png, sink, OnPngWrite, OnPngFlush);
  png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  png_set_bgr(png);
  png_write_image(png, rows);
  png_write_end(png, nullptr);
  return true;
}

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

class TPngWriter {
 public:
  TPngWriter() {
    FPng = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, OnPngWarning);
    if (FPng != nullptr) FInfo = png_create_info_struct(FPng);
  }
  ~TPngWriter() { png_destroy_write_struct(&FPng, &FInfo); }
  TPngWriter(const TPngWriter&) = delete;
  TPngWriter& operator=(const TPngWriter&) = delete;
  png_structp Png() const { return FPng; }
  png_infop Info() const { return FInfo; }

 private:
  png_structp FPng = nullptr;
  png_infop FInfo = nullptr;
};

}  // namespace

bool PNGSupported() {
  return true;
}

std::vector<uint8_t> EncodePNG(const TBitmap& bitmap) {
  if (bitmap.Empty()) throw EWriteError("Cannot write an empty picture as PNG");
  // libpng writes 24-bit rows; a pf8bit bitmap is resolved through its palette first.
  std::vector<uint8_t> expanded;
  std::vector<png_bytep> rows(static_cast<size_t>(bitmap.Height()));
  if (bitmap.PixelFormat() == TPixelFormat::pf24bit) {
    for (int32_t y = 0; y < bitmap.Height(); ++y) {
      rows[size_t(y)] = const_cast<png_bytep>(bitmap.ScanLine(y));
    }
  } else {
    const size_t stride = size_t(bitmap.Width()) * 3;
    expanded.resize(stride * size_t(bitmap.Height()));
    for (int32_t y = 0; y < bitmap.Height(); ++y) {
      uint8_t* out = expanded.data() + stride * size_t(y);
      const uint8_t* in = bitmap.ScanLine(y);
      for (int32_t x = 0; x < bitmap.Width(); ++x) {
        const TPaletteEntry& e = bitmap.Palette()[in[x]];
        out[3 * x] = e.Blue;
        out[3 * x + 1] = e.Green;
        out[3 * x + 2] = e.Red;
      }
      rows[size_t(y)] = out;
    }
  }

  std::vector<uint8_t> out;
  TPngSink sink{&out, false};
  TPngWriter writer;
  if (writer.Png() == nullptr || writer.Info() == nullptr) throw std::bad_alloc();
  if (!WritePNG(writer.Png(), writer.Info(), &sink, rows.data(), uint32_t(bitmap.Width()),
                uint32_t(bitmap.Height()))) {
    if (sink.Failed) throw std::bad_alloc();
    throw EWriteError("PNG encoding failed");
  }
  return out;
}

TBitmap DecodePNG(std::span<const uint8_t> png) {
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
