// The table of places built into this program (place_table.h's layout), made from GeoNames data
// when the build found it; empty when it did not.
#pragma once

#include <cstdint>
#include <span>

namespace tovrin {

std::span<const uint8_t> BuiltInPlaceTable();

// Where the table's places come from and under which terms, for the tool's help and README.
inline constexpr const char* kPlacesAttribution = "Places from GeoNames (geonames.org), CC BY 4.0";

}  // namespace tovrin
