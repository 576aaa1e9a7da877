// Decoding a JPEG for re-encoding, optionally at a reduced size.
//
// libjpeg can leave out the higher frequencies of every 8 x 8 block and so decode straight at
// 1/2, 1/4 or 1/8 of the size, several times faster than decoding everything and throwing most of
// it away. A picture that is to be shrunk anyway is decoded at the smallest of these scales that
// still leaves at least the size wanted, then filtered down the rest of the way.
#pragma once

#include <cstdint>
#include <span>

#include "gfx/bitmap.h"

namespace tovrin {

// The largest denominator of 1, 2, 4 and 8 at which a width x height JPEG still decodes to at
// least minWidth x minHeight pixels (libjpeg rounds scaled sides up).
int DecodeScaleFor(int32_t width, int32_t height, int32_t minWidth, int32_t minHeight);

// Decodes the JPEG at 1/scale of its size (scale 1, 2, 4 or 8) with the accurate integer inverse
// DCT: colour pictures (YCbCr, RGB, CMYK, YCCK) to pf24bit, grey-scale pictures to pf8bit with
// every one of the 256 levels kept and the ordered grey palette. *warnings (when given) receives
// the number of problems libjpeg recovered from. Raises EInvalidGraphic with libjpeg's message
// when the data cannot be decoded, EOutOfResources when the result would be too large a bitmap
// (checked before anything is allocated).
TBitmap DecodeJpegScaled(std::span<const uint8_t> jpeg, int scale, int* warnings = nullptr);

}  // namespace tovrin
