// Picture control benchmarks at full-screen size.
//
//   BM_MemcpyClientArea     the floor: one memory copy of a 1920 x 1080 24-bit client area
//   BM_PaintFullScreen      one paint of the whole control as the show uses it (Center and
//                           Stretch on, Media at screen size): BackBuffer rebuilt, then copied
//                           to the window's screen
//   BM_PaintCentredSmaller  the same with a smaller picture centred (colour fill + draw + copy)
//   BM_WipeFrame            one transition frame of a wipe at 1920 x 1080: compose + invalidate
//                           + paint of the changed area
//   BM_BlockingTransition   a whole 25-frame transition at the defaults on the real clock, with
//                           the process CPU time it used as the counter cpu_ms (wall time is the
//                           measured time)
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>
#include <memory>

#include "picshow/custom_pic_show.h"
#include "platform/headless/headless_application.h"
#include "platform/headless/headless_window.h"

#if !defined(_WIN32)
#include <sys/resource.h>
#endif

namespace tovrin {
namespace {

constexpr int32_t kWidth = 1920;
constexpr int32_t kHeight = 1080;

TBitmap Gradient(int32_t w, int32_t h) {
  TBitmap b(w, h);
  for (int32_t y = 0; y < h; ++y) {
    uint8_t* row = b.ScanLine(y);
    for (int32_t x = 0; x < w; ++x) {
      row[3 * x] = static_cast<uint8_t>(x);
      row[3 * x + 1] = static_cast<uint8_t>(y);
      row[3 * x + 2] = static_cast<uint8_t>(x + y);
    }
  }
  return b;
}

void BM_MemcpyClientArea(benchmark::State& state) {
  TBitmap src = Gradient(kWidth, kHeight);
  TBitmap dest(kWidth, kHeight);
  const size_t bytes = src.Stride() * static_cast<size_t>(kHeight);
  for (auto _ : state) {
    std::memcpy(dest.Bits(), src.Bits(), bytes);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
}

// A control on a full-screen window that has shown a picture of w x h.
struct ShownPicture {
  ShownPicture(int32_t w, int32_t h) : Window(kWidth, kHeight), Show(App, Window) {
    Show.SetThreaded(false);
    Show.SetAlign(TAlign::alClient);
    Show.SetCenter(true);
    Show.SetStretch(w == kWidth && h == kHeight);
    Show.SetStyle(0);
    Show.SetPicture(Gradient(w, h));
    Show.Execute();
  }
  THeadlessApplication App;
  THeadlessWindow Window;
  TPicShow Show;
};

void BM_PaintFullScreen(benchmark::State& state) {
  ShownPicture rig(kWidth, kHeight);
  for (auto _ : state) {
    rig.Window.PaintNow();
    benchmark::ClobberMemory();
  }
}

void BM_PaintCentredSmaller(benchmark::State& state) {
  ShownPicture rig(1600, 900);
  for (auto _ : state) {
    rig.Window.PaintNow();
    benchmark::ClobberMemory();
  }
}

void BM_WipeFrame(benchmark::State& state) {
  ShownPicture rig(kWidth, kHeight);
  rig.Show.SetStyle(5);
  rig.Show.SetManual(true);
  rig.Show.SetPicture(Gradient(kWidth, kHeight));
  rig.Show.Execute();
  uint8_t progress = 1;
  for (auto _ : state) {
    rig.Show.SetProgress(progress);
    progress = static_cast<uint8_t>(progress % 99 + 1);
  }
  rig.Show.Stop();
}

#if !defined(_WIN32)
double ProcessCpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  auto seconds = [](const timeval& t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

void BM_BlockingTransition(benchmark::State& state) {
  THeadlessApplication app(THeadlessApplication::TClockKind::ckReal);
  THeadlessWindow window(640, 480);
  TPicShow show(app, window);
  show.SetThreaded(false);
  show.SetStyle(5);
  bool blue = false;
  double cpu = 0;
  for (auto _ : state) {
    TBitmap picture(320, 240);
    picture.Fill((blue = !blue) ? 0xFF0000 : 0x0000FF);
    show.SetPicture(picture);
    const double before = ProcessCpuSeconds();
    show.Execute();
    cpu += ProcessCpuSeconds() - before;
  }
  state.counters["cpu_ms"] =
      benchmark::Counter(cpu * 1e3 / static_cast<double>(state.iterations()));
}
BENCHMARK(BM_BlockingTransition)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
#endif

BENCHMARK(BM_MemcpyClientArea)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PaintFullScreen)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PaintCentredSmaller)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_WipeFrame)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace tovrin

BENCHMARK_MAIN();
