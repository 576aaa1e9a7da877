#include "exif_orientation.h"

#include <cstring>

#include "tiff_reader.h"

namespace tovrin {

namespace {

using namespace exif;

constexpr uint16_t kTagOrientation = 0x0112;

TExifOrientation Damaged(std::string problem) {
  TExifOrientation r;
  r.State = TExifState::esDamaged;
  r.Problem = std::move(problem);
  return r;
}

// tiff: the segment's bytes after "Exif\0\0"; base: where they start in the file.
TExifOrientation ReadTiff(std::span<const uint8_t> tiff, size_t base) {
  if (tiff.size() < 8) return Damaged("the EXIF header is cut short");
  bool bigEndian = false;
  if (tiff[0] == 'M' && tiff[1] == 'M') {
    bigEndian = true;
  } else if (!(tiff[0] == 'I' && tiff[1] == 'I')) {
    return Damaged("the EXIF data has no byte order mark");
  }
  const TTiffReader in{tiff, bigEndian};
  if (in.U16(2) != 42) return Damaged("the EXIF data is not a TIFF structure");
  const uint32_t ifd = in.U32(4);
  if (ifd < 8 || ifd > tiff.size() - 2) {
    return Damaged("the first EXIF directory lies outside the segment (offset " +
                   std::to_string(ifd) + ")");
  }
  const size_t count = in.U16(ifd);
  if (count > (tiff.size() - ifd - 2) / kIfdEntrySize) {
    return Damaged("the first EXIF directory runs past the end of the segment");
  }
  for (size_t i = 0; i < count; ++i) {
    const size_t entry = ifd + 2 + i * kIfdEntrySize;
    if (in.U16(entry) != kTagOrientation) continue;
    const uint16_t type = in.U16(entry + 2);
    const uint32_t values = in.U32(entry + 4);
    if (type != kTypeShort || values != 1) {
      return Damaged("the orientation tag has type " + std::to_string(type) + " and " +
                     std::to_string(values) + " values");
    }
    const uint16_t value = in.U16(entry + 8);
    if (value < 1 || value > 8) {
      return Damaged("the orientation " + std::to_string(value) + " is not one of 1 to 8");
    }
    TExifOrientation r;
    r.State = TExifState::esFound;
    r.Value = value;
    r.ValueOffset = base + entry + 8;
    r.BigEndian = bigEndian;
    return r;
  }
  return {};
}

}  // namespace

TExifOrientation ReadExifOrientation(std::span<const uint8_t> jpeg) {
  if (jpeg.size() < 2 || jpeg[0] != 0xFF || jpeg[1] != 0xD8) return {};
  size_t pos = 2;
  while (pos < jpeg.size()) {
    // A marker is FF and a code; any number of FF fill bytes may come first. Anything else
    // between segments means the file is not laid out as a JPEG; the decoder reports that.
    if (jpeg[pos] != 0xFF) return {};
    while (pos < jpeg.size() && jpeg[pos] == 0xFF) ++pos;
    if (pos >= jpeg.size()) return {};
    const uint8_t marker = jpeg[pos++];
    if (marker == kMarkerSOS || marker == kMarkerEOI) return {};
    if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) continue;  // no length field
    if (jpeg.size() - pos < 2) return {};
    const size_t length = (size_t{jpeg[pos]} << 8) | jpeg[pos + 1];
    if (length < 2) return {};
    const size_t payload = pos + 2;
    const size_t available = jpeg.size() - payload;
    const bool holdsExif =
        marker == kMarkerAPP1 && available >= kExifHeader.size() &&
        std::memcmp(jpeg.data() + payload, kExifHeader.data(), kExifHeader.size()) == 0;
    if (holdsExif) {
      if (length - 2 > available) return Damaged("the EXIF segment runs past the end of the file");
      if (length - 2 < kExifHeader.size()) return Damaged("the EXIF segment is cut short");
      const size_t tiff = payload + kExifHeader.size();
      return ReadTiff(jpeg.subspan(tiff, length - 2 - kExifHeader.size()), tiff);
    }
    pos = payload + (length - 2);
  }
  return {};
}

bool ClearExifOrientation(std::span<uint8_t> jpeg) {
  const TExifOrientation found = ReadExifOrientation(jpeg);
  if (found.State != TExifState::esFound || found.Value == 1) return false;
  jpeg[found.ValueOffset] = found.BigEndian ? 0 : 1;
  jpeg[found.ValueOffset + 1] = found.BigEndian ? 1 : 0;
  return true;
}

}  // namespace tovrin
