#include "place_finder.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace tovrin {

namespace {

constexpr double kEarthRadiusKm = 6371.0088;  // mean radius
constexpr double kCellDegrees = 0.5;
constexpr int kRows = 360;
constexpr int kColumns = 720;
constexpr double kRadiansPerDegree = std::numbers::pi / 180;

int RowOf(double latitude) {
  return std::clamp(static_cast<int>(std::floor((latitude + 90) / kCellDegrees)), 0, kRows - 1);
}

// Any longitude, also beyond +-180, to its column.
int ColumnOf(double longitude) {
  const int column = static_cast<int>(std::floor((longitude + 180) / kCellDegrees));
  return ((column % kColumns) + kColumns) % kColumns;
}

double HaversineKm(double lat1, double lon1, double cos1, double lat2, double lon2, double cos2) {
  const double sinLat = std::sin((lat2 - lat1) / 2);
  const double sinLon = std::sin((lon2 - lon1) / 2);
  const double h = std::min(1.0, sinLat * sinLat + cos1 * cos2 * sinLon * sinLon);
  return 2 * kEarthRadiusKm * std::asin(std::sqrt(h));
}

}  // namespace

double GreatCircleKm(double latitude1, double longitude1, double latitude2, double longitude2) {
  const double lat1 = latitude1 * kRadiansPerDegree, lat2 = latitude2 * kRadiansPerDegree;
  return HaversineKm(lat1, longitude1 * kRadiansPerDegree, std::cos(lat1), lat2,
                     longitude2 * kRadiansPerDegree, std::cos(lat2));
}

TPlaceFinder::TPlaceFinder(TPlaceTable table) : FTable(std::move(table)) {
  // A counting sort by cell keeps places of one cell in table order, which breaks ties.
  const size_t count = FTable.Places.size();
  std::vector<uint32_t> cellOf(count);
  FCellStart.assign(size_t{kRows} * kColumns + 1, 0);
  for (size_t i = 0; i < count; ++i) {
    const TPlace& p = FTable.Places[i];
    const double latitude = static_cast<double>(p.Latitude) / kPlaceUnitsPerDegree;
    const double longitude = static_cast<double>(p.Longitude) / kPlaceUnitsPerDegree;
    cellOf[i] = static_cast<uint32_t>(RowOf(latitude) * kColumns + ColumnOf(longitude));
    ++FCellStart[cellOf[i] + 1];
  }
  for (size_t c = 1; c < FCellStart.size(); ++c) FCellStart[c] += FCellStart[c - 1];
  FPoints.resize(count);
  std::vector<uint32_t> next(FCellStart.begin(), FCellStart.end() - 1);
  for (size_t i = 0; i < count; ++i) {
    const TPlace& p = FTable.Places[i];
    const double latitude = static_cast<double>(p.Latitude) / kPlaceUnitsPerDegree;
    const double longitude = static_cast<double>(p.Longitude) / kPlaceUnitsPerDegree;
    FPoints[next[cellOf[i]]++] = {latitude * kRadiansPerDegree, longitude * kRadiansPerDegree,
                                  std::cos(latitude * kRadiansPerDegree), static_cast<uint32_t>(i)};
  }
}

std::optional<std::string> TPlaceFinder::NameOfPlaceNear(double latitude, double longitude) const {
  if (FPoints.empty() || !(latitude >= -90 && latitude <= 90) ||
      !(longitude >= -180 && longitude <= 180)) {
    return std::nullopt;
  }
  // Degrees of latitude within reach; of longitude at the band's edge nearest a pole, where a
  // degree is shortest. Near a pole every column is within reach.
  const double reachLatitude = kPlaceReachKm / (kEarthRadiusKm * kRadiansPerDegree);
  const int firstRow = RowOf(latitude - reachLatitude);
  const int lastRow = RowOf(latitude + reachLatitude);
  const double poleward = std::min(90.0, std::abs(latitude) + reachLatitude);
  const double cosPoleward = std::cos(poleward * kRadiansPerDegree);
  int firstColumn = 0, columns = kColumns;
  if (cosPoleward > reachLatitude / 180) {
    const double reachLongitude = reachLatitude / cosPoleward;
    const auto unwrapped = [](double degrees) {
      return static_cast<int>(std::floor((degrees + 180) / kCellDegrees));
    };
    firstColumn = ColumnOf(longitude - reachLongitude);
    columns = std::min(kColumns, unwrapped(longitude + reachLongitude) -
                                     unwrapped(longitude - reachLongitude) + 1);
  }

  const double lat = latitude * kRadiansPerDegree, lon = longitude * kRadiansPerDegree;
  const double cosLat = std::cos(lat);
  double best = kPlaceReachKm;
  std::optional<uint32_t> found;
  for (int row = firstRow; row <= lastRow; ++row) {
    for (int i = 0; i < columns; ++i) {
      const size_t cell = size_t(row) * kColumns + size_t((firstColumn + i) % kColumns);
      for (uint32_t k = FCellStart[cell]; k < FCellStart[cell + 1]; ++k) {
        const TPoint& p = FPoints[k];
        const double d = HaversineKm(lat, lon, cosLat, p.Latitude, p.Longitude, p.CosLatitude);
        if (d < best || (d == best && (!found || p.Place < *found))) {
          best = d;
          found = p.Place;
        }
      }
    }
  }
  if (!found) return std::nullopt;
  const TPlace& place = FTable.Places[*found];
  const std::string& country = FTable.Countries[place.Country];
  // A city state is named once: "Singapore", not "Singapore, Singapore".
  return country.empty() || country == place.Name ? place.Name : place.Name + ", " + country;
}

}  // namespace tovrin
