// PNG writing in builds without libpng (the Windows build): reported as unavailable.
#include "core/errors.h"
#include "gfx/image_file.h"

namespace tovrin {

bool PNGSupported() {
  return false;
}

std::vector<uint8_t> EncodePNG(const TBitmap&) {
  throw EWriteError("PNG output is not available in this build");
}

}  // namespace tovrin
