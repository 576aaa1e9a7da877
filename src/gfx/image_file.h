// Image files for the tools and tests: binary PPM (P6) read and write, PNG read and write, JPEG
// read.
// Every reader checks the size it finds before allocating, and fails with EInvalidGraphic on a
// malformed file (EOutOfResources when the picture is too large for a bitmap); writers fail with
// EFCreateError / EWriteError. pf8bit bitmaps are written through their palette as 24-bit
// pictures.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "gfx/bitmap.h"

namespace tovrin {

// PPM: "P6", width, height, maxval 255 (separated by white space, "#" comments allowed in the
// header), one white-space byte, then width x height RGB triples, rows top-down.
TBitmap ReadPPM(const std::vector<uint8_t>& bytes);
std::vector<uint8_t> EncodePPM(const TBitmap& bitmap);
TBitmap LoadPPM(const std::string& path);
void SavePPM(const TBitmap& bitmap, const std::string& path);

// PNG, through libpng. Not available in builds without libpng (Windows): there PNGSupported()
// is false, EncodePNG and SavePNG fail with EWriteError and DecodePNG with EInvalidGraphic.
bool PNGSupported();
// Written as 8-bit RGB, no interlace.
std::vector<uint8_t> EncodePNG(const TBitmap& bitmap);
void SavePNG(const TBitmap& bitmap, const std::string& path);
// Decoded through libpng's simplified reader: grey pictures to pf8bit with the ordered grey
// palette, every other kind (palette, true colour, 16-bit samples) to pf24bit in sRGB.
// Transparent and partly transparent pixels are composed onto black, the colour around every
// picture in the show. Raises EInvalidGraphic with libpng's message when the data cannot be
// decoded, EOutOfResources when the picture is too large for a bitmap (checked from the header,
// before the pixels are allocated).
TBitmap DecodePNG(std::span<const uint8_t> png);

// JPEG: decoded with DecodeJPEG; grey-scale pictures are expanded to pf24bit.
TBitmap LoadJPEG(const std::string& path);
TBitmap ReadJPEG(const std::vector<uint8_t>& bytes);

// Reads a whole file; fails with EFOpenError ("Cannot open file %s") or EReadError.
std::vector<uint8_t> ReadFileBytes(const std::string& path);

}  // namespace tovrin
