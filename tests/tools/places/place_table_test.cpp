// The table of places as tovrin-pack carries it: written and read back, and refused whole when
// damaged, never read past.
#include "places/place_table.h"

#include <gtest/gtest.h>

#include "core/errors.h"

namespace tovrin {
namespace {

TPlaceTable SmallTable() {
  TPlaceTable t;
  t.Countries = {"Poland", ""};
  t.Places = {{"Krak\xC3\xB3w", 0, 5006143, 1993658},
              {"Nowhere", 1, -9000000, -18000000},
              {"Edge", 0, 9000000, 18000000}};
  return t;
}

TEST(PlaceTable, ReadsBackWhatWasWritten) {
  const TPlaceTable read = ReadPlaceTable(WritePlaceTable(SmallTable()));
  const TPlaceTable expected = SmallTable();
  EXPECT_EQ(read.Countries, expected.Countries);
  ASSERT_EQ(read.Places.size(), expected.Places.size());
  for (size_t i = 0; i < read.Places.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(read.Places[i].Name, expected.Places[i].Name);
    EXPECT_EQ(read.Places[i].Country, expected.Places[i].Country);
    EXPECT_EQ(read.Places[i].Latitude, expected.Places[i].Latitude);
    EXPECT_EQ(read.Places[i].Longitude, expected.Places[i].Longitude);
  }
  EXPECT_TRUE(ReadPlaceTable({}).Places.empty());
}

TEST(PlaceTable, DamagedTablesAreRefused) {
  const std::vector<uint8_t> good = WritePlaceTable(SmallTable());
  // The first place starts after the header (16) and the countries (1 + 6, 1 + 0).
  constexpr size_t kFirstPlace = 16 + 7 + 1;
  struct TCase {
    const char* name;
    size_t at;
    uint8_t value;
  };
  const TCase cases[] = {
      {"magic", 0, 'X'},
      {"version", 4, 2},
      {"country count larger than the table", 11, 0x7F},
      {"place count larger than the table", 15, 0x7F},
      {"latitude beyond the pole", kFirstPlace + 3, 0x7F},
      {"longitude beyond the date line", kFirstPlace + 7, 0x7F},
      {"country index past the countries", kFirstPlace + 8, 2},
      {"name length past the end", kFirstPlace + 10, 0xFF},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<uint8_t> broken = good;
    broken[c.at] = c.value;
    EXPECT_THROW(ReadPlaceTable(broken), EConvertError);
  }
  std::vector<uint8_t> longer = good;
  longer.push_back(0);
  EXPECT_THROW(ReadPlaceTable(longer), EConvertError);
  // Every prefix but the empty one is refused (the sanitizer build checks no read goes past).
  for (size_t n = 1; n < good.size(); ++n) {
    EXPECT_THROW(ReadPlaceTable(std::span<const uint8_t>(good.data(), n)), EConvertError) << n;
  }
}

TEST(PlaceTable, WritingRefusesWhatCannotBeStored) {
  TPlaceTable longName = SmallTable();
  longName.Places[0].Name = std::string(256, 'a');
  EXPECT_THROW(WritePlaceTable(longName), EConvertError);
  TPlaceTable noCountry = SmallTable();
  noCountry.Places[0].Country = 2;
  EXPECT_THROW(WritePlaceTable(noCountry), EConvertError);
}

}  // namespace
}  // namespace tovrin
