// Caption text at full-screen size, with the FreeType renderer.
//
//   BM_FrameCopy          the yardstick: one memory copy of a 1920 x 1080 24-bit frame
//   BM_CaptionTextOut     one caption drawn onto a 1920 x 1080 frame once its font is cached,
//                         at em sizes of 16, 24, 48 and 96 pixels
//   BM_CaptionTextExtent  measuring the same caption
//   BM_FirstCaption       a new renderer's first caption: fontconfig's font list, the face,
//                         the size and every glyph loaded
#include <benchmark/benchmark.h>

#include <cstring>
#include <string>

#include "platform/freetype/freetype_text.h"

namespace tovrin {
namespace {

constexpr int32_t kWidth = 1920;
constexpr int32_t kHeight = 1080;
const std::string kCaption = "Summer holidays 2004 - Lake Geneva, Montreux (Switzerland)";

TTextFont CaptionFont(int32_t height) {
  return {"DejaVu Sans", height, RGB(255, 255, 0)};
}

void BM_FrameCopy(benchmark::State& state) {
  TBitmap from(kWidth, kHeight), to(kWidth, kHeight);
  from.Fill(RGB(10, 20, 30));
  const size_t bytes = from.Stride() * kHeight;
  for (auto _ : state) {
    std::memcpy(to.Bits(), from.Bits(), bytes);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_FrameCopy)->Unit(benchmark::kMicrosecond);

void BM_CaptionTextOut(benchmark::State& state) {
  TFreeTypeTextRenderer renderer;
  TBitmap frame(kWidth, kHeight);
  frame.Fill(RGB(40, 60, 80));
  const TTextFont font = CaptionFont(-static_cast<int32_t>(state.range(0)));
  const int32_t y = kHeight - renderer.TextExtent(font, kCaption).Height - 20;
  renderer.TextOut(frame, 20, y, font, kCaption);  // fills the caches
  for (auto _ : state) {
    renderer.TextOut(frame, 20, y, font, kCaption);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_CaptionTextOut)->Arg(16)->Arg(24)->Arg(48)->Arg(96)->Unit(benchmark::kMicrosecond);

void BM_CaptionTextExtent(benchmark::State& state) {
  TFreeTypeTextRenderer renderer;
  const TTextFont font = CaptionFont(-24);
  renderer.TextExtent(font, kCaption);
  for (auto _ : state) benchmark::DoNotOptimize(renderer.TextExtent(font, kCaption));
}
BENCHMARK(BM_CaptionTextExtent)->Unit(benchmark::kMicrosecond);

void BM_FirstCaption(benchmark::State& state) {
  TBitmap frame(kWidth, kHeight);
  for (auto _ : state) {
    TFreeTypeTextRenderer renderer;
    renderer.TextOut(frame, 20, 1000, CaptionFont(-24), kCaption);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_FirstCaption)->Unit(benchmark::kMillisecond)->Iterations(10);

}  // namespace
}  // namespace tovrin

BENCHMARK_MAIN();
