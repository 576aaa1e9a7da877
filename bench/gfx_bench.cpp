// Frame-sized graphics operations. The plain memory copy of one frame is the floor the others
// are measured against.
//   build/h-blits/bench/gfx_bench --benchmark_min_time=0.2
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "gfx/draw.h"
#include "gfx/jpeg_decoder.h"
#include "gfx/region.h"
#include "gfx/stretch.h"
#include "jpeg_maker.h"

namespace tovrin {
namespace {

TBitmap Frame(int w, int h) {
  TBitmap b(w, h);
  for (int y = 0; y < h; ++y) {
    uint8_t* row = b.ScanLine(y);
    for (int x = 0; x < w * 3; ++x) row[x] = static_cast<uint8_t>(x * 7 + y * 13);
  }
  return b;
}

void SetBytes(benchmark::State& state, const TBitmap& frame) {
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(frame.Stride()) * frame.Height());
}

void BM_MemcpyFrame(benchmark::State& state) {
  const TBitmap src = Frame(int(state.range(0)), int(state.range(1)));
  TBitmap dest(src.Width(), src.Height());
  const size_t bytes = src.Stride() * size_t(src.Height());
  for (auto _ : state) {
    std::memcpy(dest.Bits(), src.Bits(), bytes);
    benchmark::ClobberMemory();
  }
  SetBytes(state, src);
}

void BM_Draw(benchmark::State& state) {
  const TBitmap src = Frame(int(state.range(0)), int(state.range(1)));
  TBitmap dest(src.Width(), src.Height());
  for (auto _ : state) {
    Draw(dest, 0, 0, src);
    benchmark::ClobberMemory();
  }
  SetBytes(state, src);
}

// 200 horizontal bands, each the height of one 400th of the frame with equal gaps, merged one by
// one as the band styles build their regions; then the frame is drawn through the region.
void BM_DrawClippedBands(benchmark::State& state) {
  const TBitmap src = Frame(int(state.range(0)), int(state.range(1)));
  TBitmap dest(src.Width(), src.Height());
  for (auto _ : state) {
    TRegion region;
    for (int i = 0; i < 200; ++i) {
      const int top = i * 2 * src.Height() / 400;
      const int bottom = (i * 2 + 1) * src.Height() / 400;
      region = TRegion::Combine(region, TRegion::CreateRectRgn(0, top, src.Width(), bottom),
                                TCombineMode::RGN_OR);
    }
    DrawClipped(dest, 0, 0, src, region);
    benchmark::ClobberMemory();
  }
  SetBytes(state, src);
}

// The whole frame compressed to half its width (the squeeze styles at Progress 50).
void BM_StretchHalfWidth(benchmark::State& state) {
  const TBitmap src = Frame(int(state.range(0)), int(state.range(1)));
  TBitmap dest(src.Width(), src.Height());
  const TRect destRect{src.Width() / 2, 0, src.Width(), src.Height()};
  for (auto _ : state) {
    StretchCopy(dest, destRect, src, src.BoundsRect());
    benchmark::ClobberMemory();
  }
  SetBytes(state, src);
}

void BM_DecodeJpeg12MP(benchmark::State& state) {
  static const std::vector<uint8_t> jpeg =
      testing::MakeJpeg(4000, 3000, testing::TJpegKind::Colour, [](int x, int y) {
        return uint32_t((x * 255 / 4000) << 16 | (y * 255 / 3000) << 8 | ((x ^ y) & 0xFF));
      });
  for (auto _ : state) {
    TBitmap b = DecodeJPEG(jpeg.data(), jpeg.size());
    benchmark::DoNotOptimize(b.Bits());
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * 4000 * 3000);
}

#define FRAME_SIZES Args({1920, 1080})->Args({3840, 2160})->Unit(benchmark::kMillisecond)
BENCHMARK(BM_MemcpyFrame)->FRAME_SIZES;
BENCHMARK(BM_Draw)->FRAME_SIZES;
BENCHMARK(BM_DrawClippedBands)->FRAME_SIZES;
BENCHMARK(BM_StretchHalfWidth)->FRAME_SIZES;
BENCHMARK(BM_DecodeJpeg12MP)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tovrin

BENCHMARK_MAIN();
