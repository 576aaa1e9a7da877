// The Linux back end at 1920 x 1080 on an Xvfb of its own, on the real clock:
//
//   present     one full frame sent through the show's window (converted into the window
//               surface and put to the display), the fastest of 40, against the yardstick of
//               one memory copy of the frame measured in the same run, and against Delay
//               (40 ms, the time a transition allows a frame)
//   transition  whole transitions of the picture control at its defaults (25 frames, 40 ms
//               each: 1000 ms) for several styles: wall time, frames that reached the display,
//               the longest gap between two of them
//   idle        the processor time the process uses while it waits out a 5 s slide interval,
//               as a share of one core: silent, and with music playing (SDL's dummy audio
//               device unless SDL_AUDIODRIVER names another)
//
// Run: build/native/bench/sdl_show_bench (needs Xvfb).
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <vector>

#include "bench_measures.h"
#include "no_form_events.h"
#include "picshow/custom_pic_show.h"
#include "platform/sdl/pixel_copy.h"
#include "platform/sdl/sdl_application.h"
#include "platform/sdl/sdl_audio.h"
#include "platform/sdl/sdl_form_window.h"
#include "platform/sdl/sdl_video.h"
#include "platform/timer.h"
#include "wave_bytes.h"
#include "xvfb_display.h"

namespace tovrin {
namespace {

using bench::Clock;
using bench::Gradient;
using bench::MsBetween;
constexpr int32_t kWidth = 1920;
constexpr int32_t kHeight = 1080;

int Main() {
  TXvfbDisplay display(kWidth, kHeight);
  if (!display.Ok()) {
    std::fprintf(stderr, "sdl_show_bench: Xvfb could not start\n");
    return 1;
  }
  TSdlApplication app;
  TSdlVideo video(app);
  testing::TNoFormEvents form;
  TSdlFormWindow window(video, app, form);
  window.SetColor(clBlack);
  window.SetBounds(0, 0, kWidth, kHeight);
  TPicShow show(app, window);
  show.SetThreaded(false);
  show.SetAlign(TAlign::alClient);
  show.SetCenter(true);
  show.SetStretch(true);
  window.SetVisible(true);

  // ---- present
  const TBitmap first = Gradient(kWidth, kHeight, 1);
  const TBitmap second = Gradient(kWidth, kHeight, 3);
  show.SetStyle(0);
  show.SetPicture(first);
  show.Execute();
  TBitmap copy(kWidth, kHeight);
  const size_t bytes = first.Stride() * static_cast<size_t>(kHeight);
  double copyMs = 1e9;
  double presentMs = 1e9;
  double convertMs = 1e9;
  std::vector<uint8_t> pixels(4 * static_cast<size_t>(kWidth) * kHeight);
  for (int i = 0; i < 40; ++i) {
    const auto a = Clock::now();
    std::memcpy(copy.Bits(), first.Bits(), bytes);
    const auto b = Clock::now();
    window.InvalidateRect(TRect{0, 0, kWidth, kHeight}, false);
    window.Update();
    const auto c = Clock::now();
    CopyToXrgb32(first, 0, 0, kWidth, kHeight, pixels.data(), 4 * static_cast<size_t>(kWidth));
    const auto d = Clock::now();
    copyMs = std::min(copyMs, MsBetween(a, b));
    presentMs = std::min(presentMs, MsBetween(b, c));
    convertMs = std::min(convertMs, MsBetween(c, d));
  }
  std::printf("of which converting to display pixels: %.2f ms\n", convertMs);
  std::printf(
      "present 1920x1080: %.2f ms (fastest of 40); one frame copy %.2f ms: %.1fx the copy, "
      "%.1f%% of Delay 40 ms\n",
      presentMs, copyMs, presentMs / copyMs, presentMs / 40.0 * 100.0);

  // ---- transition
  std::vector<Clock::time_point> presented;
  window.OnPresented = [&] { presented.push_back(Clock::now()); };
  const TBitmap* pictures[] = {&second, &first};
  int which = 0;
  for (const TShowStyle style : {1, 5, 9, 12, 33, 84, 99, 117, 127}) {
    show.SetStyle(style);
    show.SetPicture(*pictures[which]);
    which ^= 1;
    presented.clear();
    const auto start = Clock::now();
    show.Execute();
    const auto end = Clock::now();
    double gap = 0;
    for (size_t i = 1; i < presented.size(); ++i) {
      gap = std::max(gap, MsBetween(presented[i - 1], presented[i]));
    }
    const double mean = presented.size() > 1 ? MsBetween(presented.front(), presented.back()) /
                                                   static_cast<double>(presented.size() - 1)
                                             : 0.0;
    std::printf(
        "transition style %3d: %6.0f ms, %2zu frames presented, %4.1f ms apart on average, "
        "longest gap %5.1f ms\n",
        style, MsBetween(start, end), presented.size(), mean, gap);
  }
  window.OnPresented = nullptr;

  // ---- idle
  // A minute of music: 44.1 kHz 16-bit stereo, a quiet saw tooth.
  const std::string wave = "/tmp/tovrin_bench_" + std::to_string(getpid()) + ".wav";
  {
    std::vector<int16_t> samples(size_t{44100} * 60 * 2);
    for (size_t i = 0; i < samples.size(); ++i) {
      samples[i] = static_cast<int16_t>((i / 2 % 200) * 20 - 2000);
    }
    const std::vector<uint8_t> bytes = testing::WaveBytes(samples, 2, 44100);
    std::ofstream(wave, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
  }
  setenv("SDL_AUDIODRIVER", "dummy", 0);
  for (const bool music : {false, true}) {
    TSdlMediaPlayer player(app, true);
    if (music) {
      player.SetFileName(wave);
      player.Open();
      player.Play();
    }
    const bench::TIdle idle = bench::MeasureIdle(app, 5000);
    std::printf(
        "idle%s: %.1f ms of processor time in %.0f ms of waiting: %.3f%% of a core, %llu "
        "wake-ups of the loop\n",
        music ? " with music" : "", idle.CpuMs, idle.WallMs, idle.CpuMs / idle.WallMs * 100.0,
        static_cast<unsigned long long>(idle.Wakes));
  }
  std::remove(wave.c_str());
  return 0;
}

}  // namespace
}  // namespace tovrin

int main() {
  return tovrin::Main();
}
