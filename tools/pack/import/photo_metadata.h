// What a JPEG photo says about itself, for captions: when and where it was taken and its
// description.
//
// Where each value is read from, in the segments before the scan data:
//
//   FF E1 "Exif\0\0" <TIFF>    IFD0 tag 0x010E ImageDescription (ASCII); tag 0x8769 points to the
//                              Exif IFD, whose tag 0x9003 DateTimeOriginal is ASCII
//                              "YYYY:MM:DD HH:MM:SS"; tag 0x8825 points to the GPS IFD:
//                                0x0001 GPSLatitudeRef   ASCII "N" or "S"
//                                0x0002 GPSLatitude      3 RATIONALs (two u32: numerator,
//                                0x0003 GPSLongitudeRef  ASCII "E" or "W"      denominator):
//                                0x0004 GPSLongitude     3 RATIONALs  degrees, minutes, seconds
//   FF E1 "http://ns.adobe.com/xap/1.0/\0" <XMP packet>
//                              <dc:description><rdf:Alt><rdf:li ...>text</rdf:li>: the first
//                              entry, XML character references resolved;
//                              exif:GPSLatitude / exif:GPSLongitude, as attributes or elements,
//                              "DDD,MM,SSk" or "DDD,MM.mmk" (k one of N S E W)
//   FF ED "Photoshop 3.0\0" <resource blocks>
//                              "8BIM" <id:2> <name: Pascal string, padded to even> <size:4>
//                              <data, padded to even>; resource 0x0404 holds IPTC datasets
//                              1C <record:1> <dataset:1> <length:2> <data>; 2:120 is the caption
//
// The position is taken from EXIF, else XMP; a zero denominator, a missing hemisphere, minutes
// or seconds of 60 or more, or a result outside the globe leave it out. The description is taken
// from XMP, else IPTC, else EXIF (cameras fill ImageDescription with their own name or with spaces
// more often than people do). Text that is not valid UTF-8 is taken as Latin-1. The file is
// untrusted: every length and offset is checked against the bytes present; what does not add up is
// left out, never read past. Nothing is allocated beyond the text found.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace tovrin {

// Where on the globe, in degrees: north and east positive.
struct TGeoPosition {
  double Latitude = 0;   // -90 to 90
  double Longitude = 0;  // -180 to 180

  bool operator==(const TGeoPosition&) const = default;
};

struct TPhotoMetadata {
  std::string DateTaken;                 // "YYYY:MM:DD HH:MM:SS" as stored, or empty
  std::string Description;               // UTF-8, spaces trimmed, or empty
  std::optional<TGeoPosition> Position;  // where it was taken, when the photo says
};

// Never throws.
TPhotoMetadata ReadPhotoMetadata(std::span<const uint8_t> jpeg);

}  // namespace tovrin
