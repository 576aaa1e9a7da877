// HEIF decoding in builds without libheif (the Windows build): reported as unavailable.
#include "core/errors.h"
#include "heif_decode.h"

namespace tovrin {

bool HeifDecodingSupported() {
  return false;
}

namespace {

[[noreturn]] void Unavailable() {
  throw EInvalidGraphic(
      "HEIC/HEIF pictures cannot be read by this build of tovrin-pack; convert them to JPEG "
      "first, or pack them with the Linux build");
}

}  // namespace

TBitmap DecodeHeif(std::span<const uint8_t>) {
  Unavailable();
}

TPictureSize HeifPictureSize(std::span<const uint8_t>) {
  Unavailable();
}

}  // namespace tovrin
