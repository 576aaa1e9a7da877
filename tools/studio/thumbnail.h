// Small upright pictures of the user's photos, for the page's thumbnails and the style gallery.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "gfx/bitmap.h"

namespace tovrin {

// The photo upright (its EXIF orientation applied), 24-bit, decoded at the smallest reduced
// scale that still covers width x height (upright sides); not larger than the photo. JPEG is
// decoded at a reduced scale (1/2, 1/4 or 1/8) by libjpeg; PNG and HEIF through tovrin-pack's
// import, fitted into the same box. Raises EInvalidGraphic (or EOutOfResources) when the photo
// cannot be read.
TBitmap DecodeUpright(std::span<const uint8_t> file, int32_t width, int32_t height);

// A JPEG of the photo upright, its longest side `size` pixels (never enlarged). Raises as
// DecodeUpright.
std::vector<uint8_t> MakeThumbnail(std::span<const uint8_t> file, int32_t size);

// The picture scaled into a width x height bitmap, proportions kept, centred on black.
TBitmap FittedOnBlack(const TBitmap& picture, int32_t width, int32_t height);

}  // namespace tovrin
