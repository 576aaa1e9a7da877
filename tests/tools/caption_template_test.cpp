// Captions made from a template and what a photo says about itself.
#include "caption_template.h"

#include <gtest/gtest.h>

#include "core/errors.h"

namespace tovrin {
namespace {

TEST(CaptionTemplate, FieldsAPhotoLacksAreLeftOutWithTheirSeparators) {
  const TPhotoMetadata full{"2023:07:14 18:02:11", "Harbour at dusk", std::nullopt};
  const TPhotoMetadata dateOnly{"2023:07:14 18:02:11", "", std::nullopt};
  const TPhotoMetadata textOnly{"", "Harbour at dusk", std::nullopt};
  const TPhotoMetadata none{};
  struct TCase {
    const char* templ;
    const TPhotoMetadata& meta;
    const char* expected;
  };
  const TCase cases[] = {
      {"{date}, {description}", full, "14 July 2023, Harbour at dusk"},
      {"{date}, {description}", dateOnly, "14 July 2023"},
      {"{date}, {description}", textOnly, "Harbour at dusk"},
      {"{date}, {description}", none, ""},
      {"Taken {date} at {description}.", dateOnly, "Taken 14 July 2023."},
      {"Taken {date} at {description}.", textOnly, "Taken Harbour at dusk."},
      {"Taken {date} at {description}.", full, "Taken 14 July 2023 at Harbour at dusk."},
      {"{name} in {folder}, {year}", none, "IMG_0042 in Whitby 2019"},
      {"{name} in {folder}, {year}", full, "IMG_0042 in Whitby 2019, 2023"},
      {"{{{year}}}", full, "{2023}"},
      {"Holiday", none, "Holiday"},
      {"{description}", textOnly, "Harbour at dusk"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.templ);
    const TCaptionTemplate t("--caption", c.templ);
    EXPECT_EQ(t.Expand("/photos/Whitby 2019/IMG_0042.jpeg", c.meta, TPlaceFinder()), c.expected);
  }
}

TEST(CaptionTemplate, PlaceFromThePhotosPosition) {
  TPlaceTable table;
  table.Countries = {"United Kingdom"};
  table.Places = {{"Whitby", 0, 5448774, -61498}};
  const TPlaceFinder places(std::move(table));
  const TGeoPosition whitby{54.4884, -0.6078};
  const TGeoPosition atSea{54.9, 1.0};
  const TPhotoMetadata there{"2023:07:14 18:02:11", "Harbour", whitby};
  const TPhotoMetadata noGps{"2023:07:14 18:02:11", "Harbour", std::nullopt};
  const TPhotoMetadata farOut{"2023:07:14 18:02:11", "", atSea};
  const TPhotoMetadata onlyGps{"", "", whitby};
  struct TCase {
    const char* templ;
    const TPhotoMetadata& meta;
    const char* expected;
  };
  const TCase cases[] = {
      {"{date}, {place}", there, "14 July 2023, Whitby, United Kingdom"},
      {"{date}, {place}", noGps, "14 July 2023"},
      {"{date}, {place}", farOut, "14 July 2023"},
      {"{date}, {place}", onlyGps, "Whitby, United Kingdom"},
      {"{description} at {place}, {year}", there, "Harbour at Whitby, United Kingdom, 2023"},
      {"{description} at {place}, {year}", noGps, "Harbour, 2023"},
      {"{place}", farOut, ""},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.templ);
    const TCaptionTemplate t("--caption", c.templ);
    EXPECT_TRUE(t.Uses(TCaptionField::cfPlace));
    EXPECT_EQ(t.Expand("IMG_0042.jpeg", c.meta, places), c.expected);
    // A tool without its table of places names none.
    TPhotoMetadata withoutPosition = c.meta;
    withoutPosition.Position.reset();
    EXPECT_EQ(t.Expand("IMG_0042.jpeg", c.meta, TPlaceFinder()),
              t.Expand("IMG_0042.jpeg", withoutPosition, places));
  }
  EXPECT_FALSE(TCaptionTemplate("--caption", "{date}, {description}").Uses(TCaptionField::cfPlace));
}

TEST(CaptionTemplate, DatesAsPeopleWriteThem) {
  struct TCase {
    const char* exif;
    const char* date;  // nullptr: no date
    const char* year;
  };
  const TCase cases[] = {
      {"2023:07:14 18:02:11", "14 July 2023", "2023"},
      {"2024:02:29 00:00:00", "29 February 2024", "2024"},
      {"2000:01:01", "1 January 2000", "2000"},
      {"2023:02:29 10:00:00", nullptr, nullptr},  // not a leap year
      {"1900:02:29 10:00:00", nullptr, nullptr},
      {"0000:00:00 00:00:00", nullptr, nullptr},  // what cameras with no clock set write
      {"2023:13:01 10:00:00", nullptr, nullptr},
      {"2023-07-14 18:02:11", nullptr, nullptr},
      {"    :  :     :  :  ", nullptr, nullptr},
      {"2023:07", nullptr, nullptr},
      {"", nullptr, nullptr},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.exif);
    EXPECT_EQ(PhotoDateText(c.exif), c.date ? std::optional<std::string>(c.date) : std::nullopt);
    EXPECT_EQ(PhotoYearText(c.exif), c.year ? std::optional<std::string>(c.year) : std::nullopt);
  }
}

TEST(CaptionTemplate, MistakesAreRefusedWithTheirPlace) {
  for (const char* bad : {"{places}", "{date", "date}", "{Date}", "{}", "{date}, {whenever}"}) {
    SCOPED_TRACE(bad);
    EXPECT_THROW(TCaptionTemplate("--caption", bad), EConvertError);
  }
  try {
    TCaptionTemplate("--caption", "{when}");
    FAIL();
  } catch (const EConvertError& e) {
    EXPECT_NE(e.Message().find("--caption: unknown field {when}"), std::string::npos)
        << e.Message();
  }
}

}  // namespace
}  // namespace tovrin
