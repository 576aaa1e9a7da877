// PNG decoding in builds without libpng (the Windows build): reported as unavailable.
#include "core/errors.h"
#include "png_decode.h"

namespace tovrin {

bool PngDecodingSupported() {
  return false;
}

TBitmap DecodePng(std::span<const uint8_t>) {
  throw EInvalidGraphic("PNG pictures cannot be read by this build of tovrin-pack");
}

}  // namespace tovrin
