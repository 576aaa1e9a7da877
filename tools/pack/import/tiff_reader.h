// Reading the 16- and 32-bit numbers of an EXIF (TIFF) structure in its own byte order, and the
// JPEG markers and TIFF layout the EXIF readers look for. Callers check that the bytes they ask
// for are present.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace tovrin {

namespace exif {
inline constexpr uint8_t kMarkerSOS = 0xDA;
inline constexpr uint8_t kMarkerEOI = 0xD9;
inline constexpr uint8_t kMarkerAPP1 = 0xE1;
// What an APP1 segment holding EXIF starts with; the TIFF structure follows.
inline constexpr std::string_view kExifHeader{"Exif\0\0", 6};
inline constexpr size_t kIfdEntrySize = 12;  // tag, type, count, value or offset
inline constexpr uint16_t kTypeAscii = 2;
inline constexpr uint16_t kTypeShort = 3;
inline constexpr uint16_t kTypeLong = 4;
inline constexpr uint16_t kTypeRational = 5;
}  // namespace exif

struct TTiffReader {
  std::span<const uint8_t> Bytes;
  bool BigEndian;

  uint16_t U16(size_t at) const {
    const uint8_t a = Bytes[at], b = Bytes[at + 1];
    return static_cast<uint16_t>(BigEndian ? (a << 8) | b : (b << 8) | a);
  }
  uint32_t U32(size_t at) const {
    const uint32_t hi = U16(at), lo = U16(at + 2);
    return BigEndian ? (hi << 16) | lo : (lo << 16) | hi;
  }
};

}  // namespace tovrin
