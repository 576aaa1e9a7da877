// The regions of the region and random-block styles built on their own, without
// drawing, at 1920x1080 and 3840x2160: the share of a frame spent before any pixel moves.
//   <build>/bench/region_build_bench --benchmark_min_time=0.2
// Arguments: width, height, style, progress (Step 4, as the composer benchmark uses).
#include <benchmark/benchmark.h>

#include <optional>

#include "core/random.h"
#include "picshow/styles/frame_extents.h"
#include "picshow/styles/geometric_regions.h"
#include "picshow/styles/random_regions.h"

namespace tovrin {
namespace {

void BM_StyleRegion(benchmark::State& state) {
  const int32_t w = static_cast<int32_t>(state.range(0));
  const int32_t h = static_cast<int32_t>(state.range(1));
  const int style = static_cast<int>(state.range(2));
  const TFrameExtents e = ComputeFrameExtents(w, h, static_cast<int32_t>(state.range(3)), 4);
  TRandom random(12345);
  size_t rects = 0;
  for (auto _ : state) {
    std::optional<TRegion> r = IsRandomRegionStyle(style) ? RandomStyleRegion(style, e, random)
                                                          : GeometricStyleRegion(style, e);
    rects = r ? r->Rects().size() : 0;
    benchmark::DoNotOptimize(r);
  }
  state.counters["rects"] = static_cast<double>(rects);
}

void Styles(benchmark::internal::Benchmark* b) {
  static constexpr int kStyles[] = {
      58,  59,  60,  61,  62,  63,  64,  65,  66,  67,  68,  69,  70,  71,  72,  73,  74,
      75,  76,  77,  78,  79,  80,  81,  82,  83,  84,  85,  86,  87,  88,  89,  90,  91,
      92,  93,  94,  95,  96,  97,  98,  99,  100, 101, 102, 103, 104, 105, 106, 107, 108,
      109, 110, 111, 112, 113, 114, 115, 116, 117, 123, 124, 125, 126, 127};
  for (const auto& [w, h] : {std::pair{1920, 1080}, std::pair{3840, 2160}}) {
    for (const int progress : {37, 75}) {
      for (const int style : kStyles) b->Args({w, h, style, progress});
    }
  }
}
BENCHMARK(BM_StyleRegion)->Apply(Styles)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace tovrin

BENCHMARK_MAIN();
