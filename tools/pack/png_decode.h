// Decoding PNG pictures for tovrin-pack, which stores them as JPEG.
#pragma once

#include <cstdint>
#include <span>

#include "gfx/bitmap.h"

namespace tovrin {

// False in builds without libpng (Windows), where DecodePng raises EInvalidGraphic saying so.
bool PngDecodingSupported();

// Decodes a PNG through libpng's simplified reader: grey pictures to pf8bit with the ordered
// grey palette, every other kind (palette, true colour, 16-bit samples) to pf24bit in sRGB.
// Transparent and partly transparent pixels are composed onto black, the colour around every
// picture in the show. Raises EInvalidGraphic with libpng's message when the data cannot be
// decoded, EOutOfResources when the picture is too large for a bitmap (checked from the header,
// before the pixels are allocated).
TBitmap DecodePng(std::span<const uint8_t> png);

}  // namespace tovrin
