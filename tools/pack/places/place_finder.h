// Naming a photo's position after the town it was taken in or near.
//
// The places are sorted into a grid of half-degree cells, built once:
//
//    90 +----+----+----+---     row = floor((latitude + 90) / 0.5),     0 to 359
//       |    |    |    |        column = floor((longitude + 180) / 0.5), 0 to 719,
//       +----+----+----+---     the 180th meridian belonging to column 0
//       |    | x  |    |
//   -90 +----+----+----+---     FCellStart[row * 720 + column] .. FCellStart[... + 1]
//     -180              180     index FPoints, sorted by cell
//
// A look-up visits only the cells within reach of the position (more columns toward the poles,
// where meridians close in, and across the 180th meridian) and measures great-circle distances
// on a sphere of the Earth's mean radius.
//
// Which place: the nearest within kPlaceReachKm, whatever its size; further away a photo was
// taken in no town, and none is named. The table holds towns of more than a thousand people and
// seats of administrations (GeoNames' selection), not hamlets, so the nearest is one a person
// would name. Two places at the same distance: the one listed first.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "place_table.h"

namespace tovrin {

constexpr double kPlaceReachKm = 25;

// Great-circle distance in kilometres between two positions given in degrees.
double GreatCircleKm(double latitude1, double longitude1, double latitude2, double longitude2);

class TPlaceFinder {
 public:
  TPlaceFinder() = default;  // knows no place
  explicit TPlaceFinder(TPlaceTable table);

  bool Empty() const { return FPoints.empty(); }

  // The nearest place's name, "Town, Country" (just "Town" for a place of no country or one
  // named as its country), or
  // nothing when none lies within reach or the position is not on the globe. UTF-8.
  std::optional<std::string> NameOfPlaceNear(double latitude, double longitude) const;

 private:
  struct TPoint {
    double Latitude, Longitude, CosLatitude;  // radians
    uint32_t Place;                           // index into FTable.Places
  };
  TPlaceTable FTable;
  std::vector<TPoint> FPoints;       // sorted by cell, then by place
  std::vector<uint32_t> FCellStart;  // one more than the cells
};

}  // namespace tovrin
