// The region, random and pixel styles at full-screen size. A frame must be composed within a few
// times the plain copy of one frame (BM_MemcpyFrame), which is measured here as the floor.
//   <build>/bench/styles_bench --benchmark_min_time=0.2
#include <benchmark/benchmark.h>

#include <cstring>

#include "core/random.h"
#include "gfx/bitmap.h"
#include "picshow/styles/frame_extents.h"
#include "picshow/styles/geometric_regions.h"
#include "picshow/styles/pixel_drawing.h"
#include "picshow/styles/random_regions.h"

namespace tovrin {
namespace {

constexpr int kW = 1920;
constexpr int kH = 1080;

TBitmap Frame(uint8_t salt) {
  TBitmap b(kW, kH);
  for (int y = 0; y < kH; ++y) {
    uint8_t* row = b.ScanLine(y);
    for (int x = 0; x < kW * 3; ++x) row[x] = static_cast<uint8_t>(x * 7 + y * 13 + salt);
  }
  return b;
}

void BM_MemcpyFrame(benchmark::State& state) {
  const TBitmap src = Frame(0);
  TBitmap dest(kW, kH);
  for (auto _ : state) {
    std::memcpy(dest.Bits(), src.Bits(), src.Stride() * kH);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_MemcpyFrame)->Unit(benchmark::kMicrosecond);

// Arguments: style, progress.
void BM_GeometricRegion(benchmark::State& state) {
  const TFrameExtents e = ComputeFrameExtents(kW, kH, static_cast<int32_t>(state.range(1)), 4);
  size_t rects = 0;
  for (auto _ : state) {
    std::optional<TRegion> r = GeometricStyleRegion(static_cast<int>(state.range(0)), e);
    rects = r ? r->Rects().size() : 0;
    benchmark::DoNotOptimize(r);
  }
  state.counters["rects"] = static_cast<double>(rects);
}
BENCHMARK(BM_GeometricRegion)
    ->ArgsProduct({{58, 80, 84, 85, 60, 64, 90, 98, 99, 116, 117}, {25, 75}})
    ->Unit(benchmark::kMicrosecond);

void BM_RandomRegion(benchmark::State& state) {
  const TFrameExtents e = ComputeFrameExtents(kW, kH, static_cast<int32_t>(state.range(1)), 4);
  TRandom random(1);
  size_t rects = 0;
  for (auto _ : state) {
    std::optional<TRegion> r = RandomStyleRegion(static_cast<int>(state.range(0)), e, random);
    rects = r ? r->Rects().size() : 0;
    benchmark::DoNotOptimize(r);
  }
  state.counters["rects"] = static_cast<double>(rects);
}
BENCHMARK(BM_RandomRegion)
    ->ArgsProduct({{65, 67, 100, 108, 109, 123, 125, 127}, {25, 75}})
    ->Unit(benchmark::kMicrosecond);

void BM_PixelStyle(benchmark::State& state) {
  const TBitmap old = Frame(1);
  const TBitmap pic = Frame(2);
  TBitmap media(kW, kH);
  const TFrameExtents e = ComputeFrameExtents(kW, kH, 40, 4);
  for (auto _ : state) {
    // The composer starts every frame from the old picture.
    std::memcpy(media.Bits(), old.Bits(), old.Stride() * kH);
    ComposePixelStyle(static_cast<int>(state.range(0)), media, pic, e);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_PixelStyle)->Arg(118)->Arg(119)->Arg(122)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace tovrin

BENCHMARK_MAIN();
