// tovrin-pack's table of places: reading the built-in table and building its grid (once per
// build that asks for {place}), and naming 10,000 photo positions, spread over the land as
// photos are: each a few kilometres from a random place of the table.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <random>
#include <utility>
#include <vector>

#include "places/built_in_places.h"
#include "places/place_finder.h"

namespace tovrin {
namespace {

void BM_ReadTableAndBuildGrid(benchmark::State& state) {
  if (BuiltInPlaceTable().empty()) {
    state.SkipWithError("built without the table of places");
    return;
  }
  for (auto _ : state) {
    TPlaceFinder finder(ReadPlaceTable(BuiltInPlaceTable()));
    benchmark::DoNotOptimize(finder);
  }
  state.counters["bytes"] = static_cast<double>(BuiltInPlaceTable().size());
}
BENCHMARK(BM_ReadTableAndBuildGrid)->Unit(benchmark::kMillisecond);

void BM_Name10000Photos(benchmark::State& state) {
  if (BuiltInPlaceTable().empty()) {
    state.SkipWithError("built without the table of places");
    return;
  }
  const TPlaceTable table = ReadPlaceTable(BuiltInPlaceTable());
  std::mt19937 random(10000);
  std::uniform_real_distribution<double> offset(-0.05, 0.05);
  std::vector<std::pair<double, double>> photos;
  for (int i = 0; i < 10000; ++i) {
    const TPlace& p = table.Places[random() % table.Places.size()];
    photos.emplace_back(
        std::clamp(static_cast<double>(p.Latitude) / kPlaceUnitsPerDegree + offset(random), -90.0,
                   90.0),
        std::clamp(static_cast<double>(p.Longitude) / kPlaceUnitsPerDegree + offset(random), -180.0,
                   180.0));
  }
  const TPlaceFinder finder(table);
  for (auto _ : state) {
    size_t named = 0;
    for (const auto& [latitude, longitude] : photos) {
      named += finder.NameOfPlaceNear(latitude, longitude).has_value() ? 1 : 0;
    }
    benchmark::DoNotOptimize(named);
  }
}
BENCHMARK(BM_Name10000Photos)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tovrin

BENCHMARK_MAIN();
