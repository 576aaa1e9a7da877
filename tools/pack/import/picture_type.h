// Which kind of picture file a file is, by its first bytes, and which kinds this build reads.
//
//   JPEG       FF D8 FF
//   PNG        89 50 4E 47 0D 0A 1A 0A
//   HEIC/HEIF  <box size:4> "ftyp" <major brand:4> <minor version:4> <compatible brands:4 each>
//              with a HEIF brand (heic, heix, hevc, hevx, heim, heis, hevm, hevs, mif1, msf1)
//              as the major brand or among the compatible ones
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace tovrin {

enum class TPictureType { ptUnknown, ptJpeg, ptPng, ptHeif };

// The kind of file whose first bytes are `head` (64 bytes or more are enough for any of them).
TPictureType SniffPictureType(std::span<const uint8_t> head);

// The kind a folder entry is taken for by its extension (letter case ignored): .jpg, .jpeg,
// .jpe, .jfif; .png; .heic, .heif, .hif. ptUnknown for any other name.
TPictureType PictureTypeOfName(std::string_view fileName);

// "JPEG", "PNG", "HEIC/HEIF".
const char* PictureTypeName(TPictureType type);

// Whether this build can read the kind (JPEG always; PNG and HEIC/HEIF where their libraries
// are built in).
bool PictureTypeSupported(TPictureType type);

// The kinds this build reads, for messages: "JPEG, PNG or HEIC/HEIF".
std::string AcceptedPictureTypes();

}  // namespace tovrin
