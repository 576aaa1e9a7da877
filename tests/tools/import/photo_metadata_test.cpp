// What a photo says about itself: the date it was taken, its description and where it was taken,
// from EXIF, XMP and IPTC, in either byte order, with non-ASCII text; damaged data is left out,
// never read past.
#include "import/photo_metadata.h"

#include <gtest/gtest.h>

#include <optional>

#include "picture_samples.h"

namespace tovrin::test {
namespace {

const TBytes& Plain() {
  static const TBytes jpeg = JpegOf(UprightPicture(16, 8));
  return jpeg;
}

TBytes With(std::initializer_list<TBytes> segments) {
  TBytes jpeg = Plain();
  for (const TBytes& s : segments) jpeg = WithSegment(jpeg, s);
  return jpeg;
}

TEST(PhotoMetadata, EachSourceAndWhichWins) {
  struct TCase {
    const char* name;
    TBytes jpeg;
    std::string date, description;
  };
  const TCase cases[] = {
      {"no metadata", Plain(), "", ""},
      {"EXIF little-endian",
       With({ExifSegment(CaptionTiff(false, "Harbour", "2023:07:14 18:02:11"))}),
       "2023:07:14 18:02:11", "Harbour"},
      {"EXIF big-endian, date only",
       With({ExifSegment(CaptionTiff(true, "", "1999:12:31 23:59:59"))}), "1999:12:31 23:59:59",
       ""},
      {"EXIF description padded with spaces, as cameras write it",
       With({ExifSegment(CaptionTiff(true, "  Quay   ", ""))}), "", "Quay"},
      {"XMP with character references",
       With({XmpSegment("Fish &amp; chips &#x2014; &lt;Whitby&gt; &#233;t&#xE9;")}), "",
       "Fish & chips \xE2\x80\x94 <Whitby> \xC3\xA9t\xC3\xA9"},
      {"IPTC in UTF-8", With({IptcSegment("Z\xC3\xBCrich See")}), "", "Z\xC3\xBCrich See"},
      {"IPTC in Latin-1", With({IptcSegment("Z\xFCrich")}), "", "Z\xC3\xBCrich"},
      {"XMP over IPTC over EXIF",
       With({ExifSegment(CaptionTiff(false, "exif", "2001:02:03 04:05:06")), IptcSegment("iptc"),
             XmpSegment("xmp")}),
       "2001:02:03 04:05:06", "xmp"},
      {"IPTC over EXIF", With({ExifSegment(CaptionTiff(false, "exif", "")), IptcSegment("iptc")}),
       "", "iptc"},
      {"non-ASCII EXIF text",
       With({ExifSegment(CaptionTiff(false, "\xE6\x97\xA5\xE6\x9C\xAC", ""))}), "",
       "\xE6\x97\xA5\xE6\x9C\xAC"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.name);
    const TPhotoMetadata meta = ReadPhotoMetadata(c.jpeg);
    EXPECT_EQ(meta.DateTaken, c.date);
    EXPECT_EQ(meta.Description, c.description);
  }
}

TEST(PhotoMetadata, DamagedOffsetsAndLengthsAreLeftOut) {
  TBytes tiff = CaptionTiff(false, "A long enough description", "2023:07:14 18:02:11");
  struct TCase {
    const char* name;
    size_t at;
    uint8_t value;
  };
  const TCase cases[] = {
      {"description offset past the end", 10 + 8 + 1, 0x7F},
      {"description count past the end", 10 + 4 + 1, 0x7F},
      {"Exif directory pointer past the end", 22 + 8 + 1, 0x7F},
      {"IFD0 entry count too large", 8, 0xFF},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.name);
    TBytes broken = tiff;
    broken[c.at] = c.value;
    const TPhotoMetadata meta = ReadPhotoMetadata(With({ExifSegment(broken)}));
    // What the damage touches is missing; nothing else is invented.
    EXPECT_TRUE(meta.Description.empty() || meta.Description == "A long enough description");
    EXPECT_TRUE(meta.DateTaken.empty() || meta.DateTaken == "2023:07:14 18:02:11");
  }
}

// Every prefix of a file with all three kinds of metadata: never a read past the bytes given
// (the sanitizer build checks), and what is found is only ever what the whole file says.
TEST(PhotoMetadata, TruncatedAtEveryLength) {
  const TBytes full = With({ExifSegment(CaptionTiff(true, "exif", "2023:07:14 18:02:11")),
                            IptcSegment("iptc"), XmpSegment("xmp")});
  for (size_t n = 0; n <= full.size(); ++n) {
    const TPhotoMetadata meta = ReadPhotoMetadata(std::span<const uint8_t>(full.data(), n));
    ASSERT_TRUE(meta.DateTaken.empty() || meta.DateTaken == "2023:07:14 18:02:11") << n;
    ASSERT_TRUE(meta.Description.empty() || meta.Description == "xmp" ||
                meta.Description == "iptc" || meta.Description == "exif")
        << n;
  }
}

// Degrees from degrees, minutes and seconds, negative for S and W.
double Degrees(double d, double m, double s, bool negative = false) {
  const double value = d + m / 60 + s / 3600;
  return negative ? -value : value;
}

void ExpectPosition(const TPhotoMetadata& meta, std::optional<TGeoPosition> expected) {
  ASSERT_EQ(meta.Position.has_value(), expected.has_value());
  if (!expected) return;
  EXPECT_NEAR(meta.Position->Latitude, expected->Latitude, 1e-9);
  EXPECT_NEAR(meta.Position->Longitude, expected->Longitude, 1e-9);
}

TEST(PhotoMetadata, GpsPositionInEachHemisphere) {
  struct TCase {
    const char* name;
    TGpsFields gps;
    std::optional<TGeoPosition> expected;
  };
  const TCase cases[] = {
      {"north and east, degrees minutes seconds",
       {false, "N", "E", {{50, 1}, {3, 1}, {4110, 100}}, {{19, 1}, {56, 1}, {1188, 100}}},
       TGeoPosition{Degrees(50, 3, 41.1), Degrees(19, 56, 11.88)}},
      {"south and east, big-endian",
       {true, "S", "E", {{33, 1}, {51, 1}, {245, 10}}, {{151, 1}, {12, 1}, {551, 10}}},
       TGeoPosition{Degrees(33, 51, 24.5, true), Degrees(151, 12, 55.1)}},
      {"north and west, decimal minutes",
       {false, "N", "W", {{40, 1}, {4548, 100}, {0, 1}}, {{73, 1}, {5913, 100}, {0, 1}}},
       TGeoPosition{Degrees(40, 45.48, 0), Degrees(73, 59.13, 0, true)}},
      {"south and west, big-endian",
       {true, "S", "W", {{22, 1}, {57, 1}, {684, 100}}, {{43, 1}, {12, 1}, {378, 10}}},
       TGeoPosition{Degrees(22, 57, 6.84, true), Degrees(43, 12, 37.8, true)}},
      {"decimal degrees in one rational",
       {false, "N", "W", {{515000, 10000}}, {{1275, 10000}}},
       TGeoPosition{51.5, -0.1275}},
      {"the date line and the pole",
       {false, "S", "W", {{90, 1}, {0, 1}, {0, 1}}, {{180, 1}, {0, 1}, {0, 1}}},
       TGeoPosition{-90, -180}},
      // Each of these leaves the position out: it cannot be told where the photo was taken.
      {"zero denominator in the seconds",
       {false, "N", "E", {{50, 1}, {3, 1}, {4110, 0}}, {{19, 1}, {56, 1}, {1188, 100}}},
       std::nullopt},
      {"zero denominator in the longitude's degrees",
       {true, "N", "E", {{50, 1}, {3, 1}, {0, 1}}, {{19, 0}, {56, 1}, {0, 1}}},
       std::nullopt},
      {"no latitude reference", {false, "", "E", {{50, 1}}, {{19, 1}}}, std::nullopt},
      {"no longitude reference", {false, "N", "", {{50, 1}}, {{19, 1}}}, std::nullopt},
      {"a reference that is no hemisphere", {false, "X", "E", {{50, 1}}, {{19, 1}}}, std::nullopt},
      {"latitude and longitude references swapped",
       {false, "E", "N", {{50, 1}}, {{19, 1}}},
       std::nullopt},
      {"no longitude", {false, "N", "E", {{50, 1}}, {}}, std::nullopt},
      {"sixty minutes", {false, "N", "E", {{50, 1}, {60, 1}, {0, 1}}, {{19, 1}}}, std::nullopt},
      {"sixty seconds", {false, "N", "E", {{50, 1}}, {{19, 1}, {0, 1}, {60, 1}}}, std::nullopt},
      {"latitude beyond the pole",
       {false, "N", "E", {{90, 1}, {0, 1}, {1, 1}}, {{19, 1}}},
       std::nullopt},
      {"longitude beyond the date line", {false, "N", "W", {{50, 1}}, {{181, 1}}}, std::nullopt},
      {"four rationals",
       {false, "N", "E", {{50, 1}, {0, 1}, {0, 1}, {0, 1}}, {{19, 1}}},
       std::nullopt},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.name);
    ExpectPosition(ReadPhotoMetadata(With({ExifSegment(GpsTiff(c.gps))})), c.expected);
  }
}

TEST(PhotoMetadata, GpsPositionFromXmp) {
  struct TCase {
    const char* name;
    std::string inside;
    std::optional<TGeoPosition> expected;
  };
  const TCase cases[] = {
      {"attributes, decimal minutes", " exif:GPSLatitude='51,30.5N' exif:GPSLongitude=\"0,7.5W\">",
       TGeoPosition{Degrees(51, 30.5, 0), Degrees(0, 7.5, 0, true)}},
      {"elements, seconds",
       "><exif:GPSLatitude>33,51,24S</exif:GPSLatitude>"
       "<exif:GPSLongitude>151,12,55E</exif:GPSLongitude>",
       TGeoPosition{Degrees(33, 51, 24, true), Degrees(151, 12, 55)}},
      {"a hemisphere letter of the other axis",
       " exif:GPSLatitude='51,30.5E' exif:GPSLongitude='0,7.5W'>", std::nullopt},
      {"sixty minutes", " exif:GPSLatitude='51,60N' exif:GPSLongitude='0,7.5W'>", std::nullopt},
      {"no number", " exif:GPSLatitude='N' exif:GPSLongitude='0,7.5W'>", std::nullopt},
      {"an empty part", " exif:GPSLatitude='51,,5N' exif:GPSLongitude='0,7.5W'>", std::nullopt},
      {"four parts", " exif:GPSLatitude='51,30,10,5N' exif:GPSLongitude='0,7.5W'>", std::nullopt},
      {"latitude only", " exif:GPSLatitude='51,30.5N'>", std::nullopt},
      {"an unclosed attribute", " exif:GPSLatitude='51,30.5N exif:GPSLongitude='0,7.5W>",
       std::nullopt},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.name);
    ExpectPosition(ReadPhotoMetadata(With({XmpPacketSegment(c.inside)})), c.expected);
  }
  // EXIF's position wins over XMP's, as its numbers are the camera's own.
  const TGpsFields exif{false, "N", "E", {{50, 1}}, {{19, 1}}};
  ExpectPosition(ReadPhotoMetadata(With(
                     {ExifSegment(GpsTiff(exif)), XmpPacketSegment(" exif:GPSLatitude='51,30N' "
                                                                   "exif:GPSLongitude='0,30W'>")})),
                 TGeoPosition{50, 19});
  // Photos without any position.
  ExpectPosition(ReadPhotoMetadata(Plain()), std::nullopt);
  ExpectPosition(ReadPhotoMetadata(With({ExifSegment(CaptionTiff(false, "Harbour", ""))})),
                 std::nullopt);
}

// Damage to the GPS directory's pointers and counts: the position is left out, nothing is read
// past the data (the sanitizer build checks).
TEST(PhotoMetadata, DamagedGpsDirectoryIsLeftOut) {
  const TGpsFields gps{
      true, "S", "W", {{22, 1}, {57, 1}, {684, 100}}, {{43, 1}, {12, 1}, {378, 10}}};
  const TBytes tiff = GpsTiff(gps);
  struct TCase {
    const char* name;
    size_t at;
    uint8_t value;
  };
  // Big-endian: a 32-bit value's low byte is its last. The GPS directory is at 26, its entries
  // from 28 in the order latitude reference, latitude, longitude reference, longitude.
  const TCase cases[] = {
      {"GPS directory pointer past the end", 10 + 8 + 1, 0x7F},
      {"GPS directory entry count too large", 26, 0x7F},
      {"latitude offset past the end", 28 + 12 + 8 + 1, 0x7F},
      {"latitude count past the end", 28 + 12 + 4 + 1, 0x7F},
      {"longitude offset one byte short of its data", 28 + 36 + 8 + 3, 80 + 24 + 1},
      {"longitude of type LONG", 28 + 36 + 2 + 1, 4},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.name);
    TBytes broken = tiff;
    broken[c.at] = c.value;
    EXPECT_FALSE(ReadPhotoMetadata(With({ExifSegment(broken)})).Position.has_value());
  }
  // Every prefix: a position is either absent or the whole file's.
  const TBytes full = With({ExifSegment(tiff)});
  const std::optional<TGeoPosition> whole = ReadPhotoMetadata(full).Position;
  ASSERT_TRUE(whole.has_value());
  for (size_t n = 0; n < full.size(); ++n) {
    const TPhotoMetadata meta = ReadPhotoMetadata(std::span<const uint8_t>(full.data(), n));
    ASSERT_TRUE(!meta.Position || *meta.Position == *whole) << n;
  }
}

}  // namespace
}  // namespace tovrin::test
