// HEIC files written with libheif's HEVC encoder, for the import tests and the HEIF fuzz seeds.
#pragma once

#include <libheif/heif.h>

#include <cstdint>
#include <vector>

#include "gfx/bitmap.h"

namespace tovrin::test {

// A HEIC file of `coded` (quality 95) whose container asks for `turn` on display, with `exifTiff`
// (the TIFF block of an EXIF segment) as its EXIF metadata when not empty. Empty when libheif
// cannot encode it (no HEVC encoder in this build of libheif).
std::vector<uint8_t> MakeHeic(const TBitmap& coded, heif_orientation turn,
                              const std::vector<uint8_t>& exifTiff);

}  // namespace tovrin::test
