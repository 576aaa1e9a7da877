// Decoding HEIC/HEIF pictures (the default of many phones) for tovrin-pack, through libheif.
#pragma once

#include <cstdint>
#include <span>

#include "fit_box.h"
#include "gfx/bitmap.h"

namespace tovrin {

// False in builds without libheif (Windows), where DecodeHeif raises EInvalidGraphic saying so.
bool HeifDecodingSupported();

// Decodes the primary picture of a HEIF file to pf24bit. libheif applies the rotation, mirroring
// and cropping that the container records (irot, imir, clap), so the result is upright as it
// stands: an EXIF orientation the file may also carry describes the coded picture before those
// boxes and must not be applied on top. High bit depths are reduced to 8 bits; transparent
// pixels are composed onto black. Raises EInvalidGraphic with libheif's message when the file
// cannot be decoded, EOutOfResources when the picture is too large for a bitmap (checked before
// decoding).
TBitmap DecodeHeif(std::span<const uint8_t> heif);

// The width and height DecodeHeif would give, read from the file's boxes without decoding
// anything. Raises EInvalidGraphic as DecodeHeif does.
TPictureSize HeifPictureSize(std::span<const uint8_t> heif);

}  // namespace tovrin
