// Pictures and picture files for the tests of tovrin-pack's picture conversion: an upright test
// picture whose every turn and mirror image differs from it, the primitive turns that make the
// stored pictures a camera would write, and EXIF blocks built byte by byte.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "gfx/bitmap.h"

namespace tovrin::test {

using TBytes = std::vector<uint8_t>;

// Red grows to the right, green downwards, blue falls with both: any turn or mirror image of it
// differs from it by a third of the range or more, and it is smooth enough for JPEG to keep it
// within a few levels.
TBitmap UprightPicture(int32_t width, int32_t height);

// Turned a quarter to the right, and mirrored left to right: written naively, pixel by pixel,
// keeping the pixel format and palette.
TBitmap TurnedRight(const TBitmap& picture);
TBitmap Mirrored(const TBitmap& picture);

// What a camera stores for an upright picture under an EXIF orientation: the picture that a
// viewer turns (as the orientation says) back into `upright`.
TBitmap StoredFor(const TBitmap& upright, int orientation);

// A colour JPEG (4:2:0, quality 95) of the bitmap.
TBytes JpegOf(const TBitmap& picture);

// The TIFF block of an EXIF segment whose first directory holds an image-width entry and then
// the orientation entry (tag 0x0112) with the given fields.
struct TExifFields {
  int Value = 1;
  bool BigEndian = false;
  uint16_t Type = 3;
  uint32_t Count = 1;
  uint32_t DirectoryOffset = 8;
};
TBytes OrientationTiff(const TExifFields& fields);

// An APP1 segment "Exif\0\0" + tiff; its length field counts `tiff.size() + extraLength` more
// bytes than are there when extraLength is not 0 (a segment cut short).
TBytes ExifSegment(const TBytes& tiff, int extraLength = 0);

// The TIFF block of an EXIF segment as cameras write it for captions: IFD0 holds ImageDescription
// (when description is not empty) and the pointer to the Exif directory, which holds
// DateTimeOriginal (when date is not empty). Texts are stored with their closing NUL, after the
// directories.
TBytes CaptionTiff(bool bigEndian, const std::string& description, const std::string& date);

// The TIFF block of an EXIF segment with a GPS position: IFD0 holds only the pointer (tag 0x8825)
// to the GPS directory, which holds the two hemisphere letters (inline ASCII, up to 3 characters)
// and the two coordinates as RATIONALs (numerator, denominator), stored after the directories.
// An empty reference or coordinate leaves its entry out.
using TRational = std::pair<uint32_t, uint32_t>;
struct TGpsFields {
  bool BigEndian = false;
  std::string LatitudeRef, LongitudeRef;
  std::vector<TRational> Latitude, Longitude;
};
TBytes GpsTiff(const TGpsFields& fields);

// An APP1 XMP segment whose rdf:Description holds `inside` as it is: attributes, then ">", then
// elements, e.g. " exif:GPSLatitude='51,30.5N'>".
TBytes XmpPacketSegment(const std::string& inside);

// An APP1 XMP segment whose dc:description holds text (already XML-escaped) in an rdf:Alt.
TBytes XmpSegment(const std::string& escapedText);

// An APP13 Photoshop segment: a resolution resource, then the IPTC resource 0x0404 with the
// record version, a keyword and the caption dataset 2:120.
TBytes IptcSegment(const std::string& caption);

// The JPEG with `segment` put right after its start-of-image marker.
TBytes WithSegment(const TBytes& jpeg, const TBytes& segment);

// Mean and largest absolute difference over all channels of two bitmaps of one size (pf8bit is
// read through its palette).
struct TDifference {
  double Mean = 0;
  int Max = 0;
};
TDifference Compare(const TBitmap& a, const TBitmap& b);

}  // namespace tovrin::test
