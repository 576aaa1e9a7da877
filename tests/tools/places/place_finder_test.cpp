// Naming a position after the nearest town: known positions against a small table, the grid
// search against a brute-force search over random places (the poles and the 180th meridian
// included), and a few positions against the real table when the build has it.
#include "places/place_finder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <random>

#include "places/built_in_places.h"

namespace tovrin {
namespace {

int32_t Units(double degrees) {
  return static_cast<int32_t>(std::lround(degrees * kPlaceUnitsPerDegree));
}

TPlaceTable TestTable() {
  TPlaceTable t;
  t.Countries = {"Poland", "United Kingdom", "Australia", "Brazil", "Fiji", "Norway", "", "Monaco"};
  const auto add = [&t](const char* name, uint16_t country, double latitude, double longitude) {
    t.Places.push_back({name, country, Units(latitude), Units(longitude)});
  };
  add("Krak\xC3\xB3w", 0, 50.06143, 19.93658);
  add("Wieliczka", 0, 49.98738, 20.06473);
  add("\xC5\x81\xC3\xB3\x64\xC5\xBA", 0, 51.77058, 19.47395);
  add("Whitby", 1, 54.48774, -0.61498);
  add("Sydney", 2, -33.86785, 151.20732);
  add("Rio de Janeiro", 3, -22.90642, -43.18223);
  add("Just west of the line", 4, -16.8, 179.97);
  add("Just east of the line", 4, -17.5, -179.97);
  add("Longyearbyen", 5, 78.22334, 15.64689);
  add("First twin", 1, 10, 10);
  add("Second twin", 1, 10, 10);
  add("Station", 6, -89.9, 0);
  add("Monaco", 7, 43.73333, 7.41667);
  return t;
}

TEST(PlaceFinder, NamesTheNearestPlaceWithinReach) {
  const TPlaceFinder finder(TestTable());
  struct TCase {
    const char* name;
    double latitude, longitude;
    std::optional<std::string> expected;
  };
  const TCase cases[] = {
      {"north and east, on the spot", 50.06143, 19.93658, "Krak\xC3\xB3w, Poland"},
      {"between two towns, nearer the second", 50.0, 20.04, "Wieliczka, Poland"},
      {"a name outside Windows-1252", 51.76, 19.46, "\xC5\x81\xC3\xB3\x64\xC5\xBA, Poland"},
      {"north and west", 54.4884, -0.6078, "Whitby, United Kingdom"},
      {"south and east", -33.8568, 151.2153, "Sydney, Australia"},
      {"south and west", -22.9519, -43.2105, "Rio de Janeiro, Brazil"},
      {"across the 180th meridian from the east", -16.8, -179.99, "Just west of the line, Fiji"},
      {"across the 180th meridian from the west", -17.5, 179.99, "Just east of the line, Fiji"},
      {"far north, two cells of longitude away", 78.22, 16.6, "Longyearbyen, Norway"},
      {"two at one spot: the first listed", 10.01, 10.01, "First twin, United Kingdom"},
      {"a place of no country, near the pole", -90, 120, "Station"},
      {"a city state", 43.74, 7.42, "Monaco"},
      {"just within reach (24 km north of Whitby)", 54.48774 + 24 / 111.195, -0.61498,
       "Whitby, United Kingdom"},
      {"just beyond reach (26 km north of Whitby)", 54.48774 + 26 / 111.195, -0.61498,
       std::nullopt},
      {"in the middle of the Atlantic", 30, -40, std::nullopt},
      {"not on the globe", 91, 0, std::nullopt},
      {"not a number", std::nan(""), 0, std::nullopt},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(finder.NameOfPlaceNear(c.latitude, c.longitude), c.expected);
  }
  EXPECT_EQ(TPlaceFinder().NameOfPlaceNear(50.06143, 19.93658), std::nullopt);
}

TEST(PlaceFinder, GreatCircleDistances) {
  struct TCase {
    const char* name;
    double lat1, lon1, lat2, lon2, km;
  };
  const TCase cases[] = {
      {"a degree along the equator", 0, 0, 0, 1, 111.195},
      {"a degree across the 180th meridian", 0, 179.5, 0, -179.5, 111.195},
      {"London to Paris", 51.5074, -0.1278, 48.8566, 2.3522, 343.6},
      {"pole to pole", 90, 0, -90, 0, 20015.1},
      {"antipodes on the equator", 0, -90, 0, 90, 20015.1},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_NEAR(GreatCircleKm(c.lat1, c.lon1, c.lat2, c.lon2), c.km, 0.1);
  }
}

// The grid must find exactly what looking at every place finds.
TEST(PlaceFinder, AgreesWithLookingAtEveryPlace) {
  std::mt19937 random(2023);
  std::uniform_real_distribution<double> latitude(-90, 90), longitude(-180, 180), offset(-0.4, 0.4);
  TPlaceTable table;
  table.Countries = {""};
  // Uniform over the map, so the polar rows are as full as the others.
  for (int i = 0; i < 2000; ++i) {
    table.Places.push_back(
        {std::to_string(i), 0, Units(latitude(random)), Units(longitude(random))});
  }
  const TPlaceFinder finder(table);
  int named = 0;
  for (int i = 0; i < 1500; ++i) {
    const TPlace& near = table.Places[random() % table.Places.size()];
    const double lat = std::clamp(
        static_cast<double>(near.Latitude) / kPlaceUnitsPerDegree + offset(random), -90.0, 90.0);
    double lon = static_cast<double>(near.Longitude) / kPlaceUnitsPerDegree + offset(random) * 4;
    lon = lon > 180 ? lon - 360 : lon < -180 ? lon + 360 : lon;
    std::optional<std::string> expected;
    double best = kPlaceReachKm;
    for (const TPlace& p : table.Places) {
      const double d =
          GreatCircleKm(lat, lon, static_cast<double>(p.Latitude) / kPlaceUnitsPerDegree,
                        static_cast<double>(p.Longitude) / kPlaceUnitsPerDegree);
      if (d < best || (d == best && !expected)) {
        best = d;
        expected = p.Name;
      }
    }
    named += expected ? 1 : 0;
    ASSERT_EQ(finder.NameOfPlaceNear(lat, lon), expected) << lat << ", " << lon;
  }
  EXPECT_GT(named, 200);  // the offsets keep many queries within reach of a place
}

// A few positions against the table built into the tool, when the build had GeoNames data.
TEST(PlaceFinder, BuiltInTable) {
  if (BuiltInPlaceTable().empty()) GTEST_SKIP() << "built without the table of places";
  const TPlaceFinder finder(ReadPlaceTable(BuiltInPlaceTable()));
  EXPECT_EQ(finder.NameOfPlaceNear(50.0617, 19.9373), "Krak\xC3\xB3w, Poland");
  EXPECT_EQ(finder.NameOfPlaceNear(51.7592, 19.4560), "\xC5\x81\xC3\xB3\x64\xC5\xBA, Poland");
  EXPECT_EQ(finder.NameOfPlaceNear(54.4862, -0.6130), "Whitby, United Kingdom");
  EXPECT_EQ(finder.NameOfPlaceNear(64.1466, -21.9426), "Reykjav\xC3\xADk, Iceland");
  EXPECT_EQ(finder.NameOfPlaceNear(30, -40), std::nullopt);
}

}  // namespace
}  // namespace tovrin
