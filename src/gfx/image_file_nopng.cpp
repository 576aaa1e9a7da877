// PNG in builds without libpng (the Windows build): reading and writing reported as unavailable.
#include "core/errors.h"
#include "gfx/image_file.h"

namespace tovrin {

bool PNGSupported() {
  return false;
}

std::vector<uint8_t> EncodePNG(const TBitmap&) {
  throw EWriteError("PNG output is not available in this build");
}

TBitmap DecodePNG(std::span<const uint8_t>) {
  throw EInvalidGraphic("PNG input is not available in this build");
}

}  // namespace tovrin
