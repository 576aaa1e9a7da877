// What a photo says about itself: the date it was taken and its description, from EXIF, XMP and
// IPTC, in either byte order, with non-ASCII text; damaged data is left out, never read past.
#include "import/photo_metadata.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace tovrin::test
