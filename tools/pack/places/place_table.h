// The table of places tovrin-pack names photos' positions after: towns with their countries and
// coordinates, made at build time from GeoNames data (make_place_table.mjs) and built into the
// tool.
//
// Layout, all numbers little-endian:
//
//   "TVPL" <version:u32 = 1> <countries:u32> <places:u32>
//   countries times:  <length:u8> <name: UTF-8>                 index 0 first
//   places times:     <latitude:i32> <longitude:i32>            in 1/100000 degrees, N and E
//                     <country:u16> <length:u8> <name: UTF-8>   positive; country an index above
//
// Nothing follows the last place. The reader checks every count, length and value against the
// bytes present and the globe's limits, and refuses the table whole when one does not fit.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace tovrin {

struct TPlace {
  std::string Name;   // UTF-8
  uint16_t Country;   // index into TPlaceTable::Countries
  int32_t Latitude;   // 1/100000 degrees, -9000000 to 9000000
  int32_t Longitude;  // 1/100000 degrees, -18000000 to 18000000
};

struct TPlaceTable {
  std::vector<std::string> Countries;  // UTF-8 names; an empty one for a place of no country
  std::vector<TPlace> Places;
};

constexpr int32_t kPlaceUnitsPerDegree = 100000;

// Raises EConvertError ("table of places: ...") for a table that is not in the layout above.
// Empty bytes give an empty table.
TPlaceTable ReadPlaceTable(std::span<const uint8_t> bytes);

// The bytes of a table in the layout above; the inverse of ReadPlaceTable, used by tests.
// Raises EConvertError for a name longer than 255 bytes or a country index out of range.
std::vector<uint8_t> WritePlaceTable(const TPlaceTable& table);

}  // namespace tovrin
