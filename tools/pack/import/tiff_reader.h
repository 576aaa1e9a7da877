// Reading the 16- and 32-bit numbers of an EXIF (TIFF) structure in its own byte order. Callers
// check that the bytes they ask for are present.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace tovrin {

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
