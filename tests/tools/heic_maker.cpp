#include "heic_maker.h"

#include <memory>

namespace tovrin::test {

namespace {

struct THeifFree {
  void operator()(heif_context* p) const { heif_context_free(p); }
  void operator()(heif_image* p) const { heif_image_release(p); }
  void operator()(heif_encoder* p) const { heif_encoder_release(p); }
  void operator()(heif_image_handle* p) const { heif_image_handle_release(p); }
  void operator()(heif_encoding_options* p) const { heif_encoding_options_free(p); }
};
using TContext = std::unique_ptr<heif_context, THeifFree>;
using TImage = std::unique_ptr<heif_image, THeifFree>;
using TEncoder = std::unique_ptr<heif_encoder, THeifFree>;
using THandle = std::unique_ptr<heif_image_handle, THeifFree>;
using TOptions = std::unique_ptr<heif_encoding_options, THeifFree>;

extern "C" heif_error AppendBytes(heif_context*, const void* data, size_t size, void* user) {
  auto* out = static_cast<std::vector<uint8_t>*>(user);
  const auto* bytes = static_cast<const uint8_t*>(data);
  out->insert(out->end(), bytes, bytes + size);
  return heif_error{heif_error_Ok, heif_suberror_Unspecified, "ok"};
}

}  // namespace

std::vector<uint8_t> MakeHeic(const TBitmap& coded, heif_orientation turn,
                              const std::vector<uint8_t>& exifTiff) {
  const TContext context(heif_context_alloc());
  heif_encoder* rawEncoder = nullptr;
  if (heif_context_get_encoder_for_format(context.get(), heif_compression_HEVC, &rawEncoder).code !=
      heif_error_Ok) {
    return {};
  }
  const TEncoder encoder(rawEncoder);
  heif_encoder_set_lossy_quality(encoder.get(), 95);
  heif_image* rawImage = nullptr;
  if (heif_image_create(coded.Width(), coded.Height(), heif_colorspace_RGB,
                        heif_chroma_interleaved_RGB, &rawImage)
          .code != heif_error_Ok) {
    return {};
  }
  const TImage image(rawImage);
  heif_image_add_plane(image.get(), heif_channel_interleaved, coded.Width(), coded.Height(), 8);
  int stride = 0;
  uint8_t* plane = heif_image_get_plane(image.get(), heif_channel_interleaved, &stride);
  if (plane == nullptr) return {};
  for (int32_t y = 0; y < coded.Height(); ++y) {
    for (int32_t x = 0; x < coded.Width(); ++x) {
      const TColor c = coded.Pixel(x, y);
      uint8_t* p = plane + static_cast<ptrdiff_t>(y) * stride + 3 * x;
      p[0] = GetRValue(c);
      p[1] = GetGValue(c);
      p[2] = GetBValue(c);
    }
  }
  const TOptions options(heif_encoding_options_alloc());
  options->image_orientation = turn;
  heif_image_handle* rawHandle = nullptr;
  if (heif_context_encode_image(context.get(), image.get(), encoder.get(), options.get(),
                                &rawHandle)
          .code != heif_error_Ok) {
    return {};
  }
  const THandle handle(rawHandle);
  if (!exifTiff.empty()) {
    heif_context_add_exif_metadata(context.get(), handle.get(), exifTiff.data(),
                                   static_cast<int>(exifTiff.size()));
  }
  std::vector<uint8_t> file;
  heif_writer writer{1, AppendBytes};
  if (heif_context_write(context.get(), &writer, &file).code != heif_error_Ok) return {};
  return file;
}

}  // namespace tovrin::test
