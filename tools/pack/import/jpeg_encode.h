// Encoding a bitmap as a baseline JPEG file in memory, for pictures tovrin-pack had to decode.
#pragma once

#include <cstdint>
#include <vector>

#include "gfx/bitmap.h"

namespace tovrin {

inline constexpr int DefaultJpegQuality = 92;

// True when a pf8bit bitmap's palette is the ordered grey ramp (entry i = grey level i), so its
// bytes are grey levels and it can be stored as a grey-scale JPEG.
bool HasGreyRamp(const TBitmap& bitmap);

// Encodes `bitmap` (not empty) with libjpeg at quality 1 to 100 with optimised Huffman tables:
// pf24bit and pf8bit with another palette as YCbCr with 4:2:0 chroma, pf8bit with the grey ramp
// as a grey-scale JPEG. The file carries a JFIF marker and nothing else. Raises EWriteError
// with libjpeg's message if encoding fails.
std::vector<uint8_t> EncodeJpeg(const TBitmap& bitmap, int quality = DefaultJpegQuality);

}  // namespace tovrin
