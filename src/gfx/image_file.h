// Image files for the tools and tests: binary PPM (P6) read and write, PNG write, JPEG read.
// Every reader checks the size it finds before allocating, and fails with EInvalidGraphic on a
// malformed file (EOutOfResources when the picture is too large for a bitmap); writers fail with
// EFCreateError / EWriteError. pf8bit bitmaps are written through their palette as 24-bit
// pictures.
#pragma once

#include <cstdint>
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

// PNG: 8-bit RGB, no interlace. Not available in builds without libpng (Windows): there
// PNGSupported() is false and SavePNG fails with EWriteError.
bool PNGSupported();
std::vector<uint8_t> EncodePNG(const TBitmap& bitmap);
void SavePNG(const TBitmap& bitmap, const std::string& path);

// JPEG: decoded with DecodeJPEG; grey-scale pictures are expanded to pf24bit.
TBitmap LoadJPEG(const std::string& path);
TBitmap ReadJPEG(const std::vector<uint8_t>& bytes);

// Reads a whole file; fails with EFOpenError ("Cannot open file %s") or EReadError.
std::vector<uint8_t> ReadFileBytes(const std::string& path);

}  // namespace tovrin
