#include <libheif/heif.h>

#include <cstddef>
#include <memory>
#include <new>
#include <string>

#include "core/errors.h"
#include "heif_decode.h"

namespace tovrin {

namespace {

// The largest side libheif may decode. It allocates the whole picture (its planes, then the
// interleaved copy) before the first tile of a grid is decoded, and a grid declares its size
// apart from the size the handle reports, which is checked against the bitmap's limit below: a
// file of a few hundred bytes could otherwise make it allocate several gigabytes. 16384 is the
// side of the largest square bitmap (see TBitmap::MaxBitmapBytes).
constexpr int kMaxSide = 16384;

struct THeifDeleter {
  void operator()(heif_context* p) const { heif_context_free(p); }
  void operator()(heif_image_handle* p) const { heif_image_handle_release(p); }
  void operator()(heif_image* p) const { heif_image_release(p); }
  void operator()(heif_decoding_options* p) const { heif_decoding_options_free(p); }
};
template <class T>
using THeifPtr = std::unique_ptr<T, THeifDeleter>;

void Check(const heif_error& error) {
  if (error.code != heif_error_Ok) {
    throw EInvalidGraphic(std::string("not a readable HEIF file (") +
                          (error.message != nullptr ? error.message : "unknown error") + ")");
  }
}

// The file's boxes read (nothing decoded yet) and its primary picture's handle.
struct TPrimaryPicture {
  THeifPtr<heif_context> Context;
  THeifPtr<heif_image_handle> Handle;
};

TPrimaryPicture OpenPrimaryPicture(std::span<const uint8_t> heif) {
  TPrimaryPicture picture;
  picture.Context.reset(heif_context_alloc());
  if (!picture.Context) throw std::bad_alloc();
  heif_context_set_maximum_image_size_limit(picture.Context.get(), kMaxSide);
  Check(heif_context_read_from_memory_without_copy(picture.Context.get(), heif.data(), heif.size(),
                                                   nullptr));
  heif_image_handle* rawHandle = nullptr;
  Check(heif_context_get_primary_image_handle(picture.Context.get(), &rawHandle));
  picture.Handle.reset(rawHandle);
  return picture;
}

}  // namespace

bool HeifDecodingSupported() {
  return true;
}

TPictureSize HeifPictureSize(std::span<const uint8_t> heif) {
  const TPrimaryPicture picture = OpenPrimaryPicture(heif);
  return {heif_image_handle_get_width(picture.Handle.get()),
          heif_image_handle_get_height(picture.Handle.get())};
}

TBitmap DecodeHeif(std::span<const uint8_t> heif) {
  const TPrimaryPicture picture = OpenPrimaryPicture(heif);
  const THeifPtr<heif_image_handle>& handle = picture.Handle;

  // The handle's size is the one after the container's transformations.
  const int w = heif_image_handle_get_width(handle.get());
  const int h = heif_image_handle_get_height(handle.get());
  if (w <= 0 || h <= 0 || !TBitmap::SizeAllowed(w, h, TPixelFormat::pf24bit)) {
    throw EOutOfResources("HEIF picture of " + std::to_string(w) + " x " + std::to_string(h) +
                          " pixels is too large");
  }
  const bool alpha = heif_image_handle_has_alpha_channel(handle.get()) != 0;
  const bool premultiplied = heif_image_handle_is_premultiplied_alpha(handle.get()) != 0;
  const THeifPtr<heif_decoding_options> options(heif_decoding_options_alloc());
  if (!options) throw std::bad_alloc();
  options->ignore_transformations = 0;
  options->convert_hdr_to_8bit = 1;
  heif_image* rawImage = nullptr;
  Check(heif_decode_image(handle.get(), &rawImage, heif_colorspace_RGB,
                          alpha ? heif_chroma_interleaved_RGBA : heif_chroma_interleaved_RGB,
                          options.get()));
  const THeifPtr<heif_image> image(rawImage);

  int stride = 0;
  const uint8_t* plane =
      heif_image_get_plane_readonly(image.get(), heif_channel_interleaved, &stride);
  if (plane == nullptr || stride <= 0 ||
      heif_image_get_width(image.get(), heif_channel_interleaved) != w ||
      heif_image_get_height(image.get(), heif_channel_interleaved) != h ||
      heif_image_get_bits_per_pixel_range(image.get(), heif_channel_interleaved) != 8) {
    throw EInvalidGraphic("not a readable HEIF file (unexpected decoded layout)");
  }
  TBitmap bitmap(w, h);
  const int channels = alpha ? 4 : 3;
  for (int y = 0; y < h; ++y) {
    const uint8_t* in = plane + static_cast<ptrdiff_t>(y) * stride;
    uint8_t* out = bitmap.ScanLine(y);
    for (int x = 0; x < w; ++x, in += channels, out += 3) {
      unsigned r = in[0], g = in[1], b = in[2];
      if (alpha && !premultiplied) {
        const unsigned a = in[3];
        r = (r * a + 127) / 255;
        g = (g * a + 127) / 255;
        b = (b * a + 127) / 255;
      }
      out[0] = static_cast<uint8_t>(b);
      out[1] = static_cast<uint8_t>(g);
      out[2] = static_cast<uint8_t>(r);
    }
  }
  return bitmap;
}

}  // namespace tovrin
