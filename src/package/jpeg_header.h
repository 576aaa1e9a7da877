// Reads the header of a JPEG file in memory through libjpeg (jpeg_read_header only).
#pragma once

#include <cstddef>
#include <cstdint>

namespace tovrin {

struct TJPEGHeader {
  int32_t Width = 0;
  int32_t Height = 0;
  bool Grayscale = false;
  bool Progressive = false;
};

// Parses the header; a libjpeg error raises EInvalidGraphic with libjpeg's message. Never exits
// the process and leaks nothing on failure.
TJPEGHeader ReadJPEGHeader(const uint8_t* data, size_t size);

}  // namespace tovrin
