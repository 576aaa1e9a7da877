// Region building and combining at the sizes the region styles reach on a 1024 x 768 frame.
//   build/h-regions/bench/gfx_bench --benchmark_filter=Region --benchmark_min_time=0.2
#include <benchmark/benchmark.h>

#include <vector>

#include "gfx/muldiv.h"
#include "gfx/region.h"

namespace tovrin {
namespace {

constexpr int32_t kW = 1024;
constexpr int32_t kH = 768;

// Row and column bands 5 pixels thick every 10 pixels, reaching `reach` pixels in, each merged
// into the result with its own OR as the band styles do: 77 row bands and 103 column bands.
TRegion BandsMergedOneByOne(int32_t reach) {
  TRegion result;
  for (int32_t i = 0; i < kH + 5; i += 10) {
    result = TRegion::Combine(result, TRegion::CreateRectRgn(kW - reach, i, kW, i + 5),
                              TCombineMode::RGN_OR);
  }
  for (int32_t j = 0; j < kW + 5; j += 10) {
    result = TRegion::Combine(result, TRegion::CreateRectRgn(j, 0, j + 5, reach * kH / kW),
                              TCombineMode::RGN_OR);
  }
  return result;
}

void BM_RegionBandsOr(benchmark::State& state) {
  const int32_t reach = static_cast<int32_t>(state.range(0));
  size_t rects = 0;
  for (auto _ : state) {
    TRegion r = BandsMergedOneByOne(reach);
    rects = r.Rects().size();
    benchmark::DoNotOptimize(r);
  }
  state.counters["rects"] = static_cast<double>(rects);
}
BENCHMARK(BM_RegionBandsOr)->Arg(300)->Arg(700)->Unit(benchmark::kMicrosecond);

// A checkerboard of cells; `offset` shifts it so that two boards overlap partly.
TRegion Checkerboard(int32_t cell, int32_t offset) {
  std::vector<TRect> rects;
  for (int32_t y = 0; y < kH; y += cell) {
    for (int32_t x = ((y / cell) % 2) * cell; x < kW; x += 2 * cell) {
      rects.push_back(TRect{x + offset, y + offset, x + offset + cell, y + offset + cell});
    }
  }
  return TRegion::FromCanonicalRects(std::move(rects));
}

void BM_RegionCombine(benchmark::State& state) {
  const auto mode = static_cast<TCombineMode>(state.range(0));
  const TRegion a = Checkerboard(20, 0);  // 39 rows of 25 or 26 cells: 988 boxes
  const TRegion b = Checkerboard(20, 7);
  size_t rects = 0;
  for (auto _ : state) {
    TRegion r = TRegion::Combine(a, b, mode);
    rects = r.Rects().size();
    benchmark::DoNotOptimize(r);
  }
  state.counters["in_rects"] = static_cast<double>(a.Rects().size());
  state.counters["out_rects"] = static_cast<double>(rects);
}
BENCHMARK(BM_RegionCombine)
    ->Arg(static_cast<int>(TCombineMode::RGN_AND))
    ->Arg(static_cast<int>(TCombineMode::RGN_OR))
    ->Arg(static_cast<int>(TCombineMode::RGN_XOR))
    ->Arg(static_cast<int>(TCombineMode::RGN_DIFF))
    ->Unit(benchmark::kMicrosecond);

// The curved wipe's very large rounded rectangle and the iris.
void BM_RegionRoundRect(benchmark::State& state) {
  const int32_t x = kW / 2;
  for (auto _ : state) {
    TRegion wipe = TRegion::CreateRoundRectRgn(-2 * kW, -5, 2 * x, kH + 5, 2 * kW, 2 * kW);
    TRegion iris = TRegion::CreateRoundRectRgn(kW / 2 - x / 2, kH / 2 - 192, kW / 2 + x / 2,
                                               kH / 2 + 192, (9 * x / 2) / 5, (9 * 192) / 5);
    benchmark::DoNotOptimize(wipe);
    benchmark::DoNotOptimize(iris);
  }
}
BENCHMARK(BM_RegionRoundRect)->Unit(benchmark::kMicrosecond);

// The grid of 100 growing triangles, each a polygon merged with OR.
void BM_RegionTriangleGrid(benchmark::State& state) {
  const int32_t xp = MulDiv(kW, 60, 100) / 5;
  const int32_t yp = MulDiv(xp, kH, kW);
  for (auto _ : state) {
    TRegion result;
    for (int32_t i = 0; i < 10; ++i) {
      for (int32_t j = 0; j < 10; ++j) {
        const int32_t x = j * kW / 10;
        const int32_t y = i * kH / 10;
        const TPoint pts[] = {{x, y}, {x + xp, y}, {x, y + yp}, {x, y}};
        result = TRegion::Combine(result, TRegion::CreatePolygonRgn(pts), TCombineMode::RGN_OR);
      }
    }
    benchmark::DoNotOptimize(result);
  }
}
BENCHMARK(BM_RegionTriangleGrid)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace tovrin
