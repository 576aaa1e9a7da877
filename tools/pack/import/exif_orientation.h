// The EXIF orientation tag of a JPEG file: how a viewer must turn the stored picture to show it
// upright.
//
// Where the tag lives:
//
//   FF D8                                   start of image
//   FF En <length:2> ...                    application segments (length counts itself)
//   FF E1 <length:2> "Exif\0\0" <TIFF>      the EXIF segment
//     TIFF: "II" 2A 00 or "MM" 00 2A        byte order (little / big endian), 42
//           <IFD0 offset:4>                 offsets count from the first byte of the TIFF header
//     IFD0: <count:2> then count entries of 12 bytes:
//           <tag:2> <type:2> <count:4> <value or offset:4>
//     Orientation: tag 0x0112, type 3 (SHORT), count 1; the value is the first two bytes of the
//     value field, 1 to 8
//   FF DA ...                               start of scan: no tags after it
//
// The file is untrusted: every length and offset is checked against the bytes present, and a
// segment that does not add up is reported as damaged, never read past.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace tovrin {

enum class TExifState {
  esAbsent,  // no EXIF segment, or one without an orientation tag: the picture is upright
  esFound,   // Value holds the orientation, 1 to 8
  esDamaged  // the EXIF segment cannot be read; Problem says why
};

struct TExifOrientation {
  TExifState State = TExifState::esAbsent;
  int Value = 1;
  // Where the two bytes of the value sit in the file (esFound only).
  size_t ValueOffset = 0;
  bool BigEndian = false;
  std::string Problem;
};

// Looks for the orientation tag in the first EXIF segment before the scan data. Never throws.
TExifOrientation ReadExifOrientation(std::span<const uint8_t> jpeg);

// Sets the orientation tag of a JPEG file to 1 (upright) in place, when it has one that is not.
// Returns true when a byte changed. Used on a picture that has been turned, so that a viewer of
// the stored file does not turn it a second time.
bool ClearExifOrientation(std::span<uint8_t> jpeg);

}  // namespace tovrin
