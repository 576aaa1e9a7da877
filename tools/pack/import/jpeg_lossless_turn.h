// Turning a JPEG upright without decoding it, through TurboJPEG's lossless transforms.
//
// The transforms move and mirror the 8 x 8 blocks of DCT coefficients, so no quality is lost.
// They work on whole MCUs (8 or 16 pixels a side, by the chroma subsampling): when the picture's
// width or height is not a multiple of the MCU, a turn that brings the partial MCUs of the right
// or bottom edge to the left or top cannot be done exactly. TurboJPEG could then leave those
// pixels where they were (a strip of wrong pixels) or trim them off (up to 15 rows or columns of
// the photo lost); we ask for a perfect transform (TJXOPT_PERFECT) and, when it is refused, the
// caller decodes and re-encodes the picture instead, which keeps every pixel.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace tovrin {

struct TLosslessTurn {
  std::vector<uint8_t> Jpeg;  // the turned file, when the transform was perfect
  std::string Refusal;        // otherwise TurboJPEG's reason
  bool Done() const { return Refusal.empty(); }
};

// Applies EXIF orientation 2 to 8 to the JPEG losslessly. Markers (EXIF, ICC profile, comments)
// are copied, with the EXIF orientation set to 1 in the copy. Never throws for bad input: a file
// TurboJPEG cannot transform, or transforms only with a warning, comes back as a refusal.
TLosslessTurn TurnJpegLossless(std::span<const uint8_t> jpeg, int orientation);

}  // namespace tovrin
