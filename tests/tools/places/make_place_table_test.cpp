// The build step that makes the table of places (make_place_table.mjs, run with node) on a small
// list in the form of the GeoNames data it is given: its table must read back with the tool's
// reader, with every usable place, the countries' everyday names and nothing unusable.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include <gtest/gtest.h>

#include "places/place_table.h"
#include "scratch_dir.h"

namespace tovrin {
namespace {

namespace fs = std::filesystem;

TEST(MakePlaceTable, TableReadsBackWithTheToolsReader) {
  if (std::string(TOVRIN_NODE_PROGRAM).empty()) GTEST_SKIP() << "no node to run the build step";
  const fs::path dir = test::ScratchDirFor("tovrin-places");
  std::ofstream(dir / "cities.json")
      << R"([{"name":"Krak\u00f3w","lat":"50.06143","lng":"19.93658","country":"PL"},)"
      << R"({"name":"Kinshasa","lat":"-4.32758","lng":"15.31357","country":"CD"},)"
      << R"({"name":"La Paz","lat":"-16.5","lng":"-68.15","country":"BO"},)"
      << R"({"name":"Pristina","lat":"42.67272","lng":"21.16688","country":"XK"},)"
      << R"({"name":"Off the map","lat":"91.5","lng":"0","country":"PL"},)"
      << R"({"name":"No position","lat":"","lng":"","country":"PL"},)"
      << R"({"name":"","lat":"1","lng":"1","country":"PL"},)"
      << R"({"name":"Wieliczka","lat":"49.98738","lng":"20.06473","country":"PL"}])";
  std::ofstream(dir / "iso.json")
      << R"({"3166-1":[{"alpha_2":"PL","name":"Poland"},)"
      << R"({"alpha_2":"CD","name":"Congo, The Democratic Republic of the"},)"
      << R"({"alpha_2":"BO","common_name":"Bolivia","name":"Bolivia, Plurinational State of"}]})";
  const std::string command = std::string(TOVRIN_NODE_PROGRAM) + " " + TOVRIN_MAKE_PLACE_TABLE +
                              " " + (dir / "cities.json").string() + " " +
                              (dir / "iso.json").string() + " " + (dir / "table.bin").string() +
                              " > " + (dir / "log").string() + " 2>&1";
  ASSERT_EQ(std::system(command.c_str()), 0) << command;
  std::ifstream in(dir / "table.bin", std::ios::binary);
  const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
  const TPlaceTable table = ReadPlaceTable(bytes);

  struct TExpected {
    const char* name;
    const char* country;
    int32_t latitude, longitude;
  };
  const TExpected expected[] = {
      {"Krak\xC3\xB3w", "Poland", 5006143, 1993658},
      {"Kinshasa", "Congo", -432758, 1531357},
      {"La Paz", "Bolivia", -1650000, -6815000},
      {"Pristina", "", 4267272, 2116688},  // a code the list lacks names no country
      {"Wieliczka", "Poland", 4998738, 2006473},
  };
  ASSERT_EQ(table.Places.size(), std::size(expected));
  for (size_t i = 0; i < table.Places.size(); ++i) {
    SCOPED_TRACE(expected[i].name);
    const TPlace& p = table.Places[i];
    EXPECT_EQ(p.Name, expected[i].name);
    EXPECT_EQ(table.Countries.at(p.Country), expected[i].country);
    EXPECT_EQ(p.Latitude, expected[i].latitude);
    EXPECT_EQ(p.Longitude, expected[i].longitude);
  }
  EXPECT_EQ(table.Countries.size(), 4u);  // each country once
  fs::remove_all(dir);
}

}  // namespace
}  // namespace tovrin
