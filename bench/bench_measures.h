// What the benchmarks that run on the real clock measure with: wall and processor time, medians,
// a picture with detail in every channel, and the processor time a loop spends waiting.
#pragma once

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <vector>

#include "gfx/bitmap.h"
#include "platform/timer.h"

namespace tovrin::bench {

using Clock = std::chrono::steady_clock;

inline double MsBetween(Clock::time_point a, Clock::time_point b) {
  return std::chrono::duration<double, std::milli>(b - a).count();
}

// Processor time of the whole process (every thread), user and system.
inline double CpuMs() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000.0 +
         (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1000.0;
}

inline double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values.empty() ? 0.0 : values[values.size() / 2];
}

// A w x h picture whose channels change along both axes; seed tells two pictures apart.
inline TBitmap Gradient(int32_t w, int32_t h, int seed) {
  TBitmap b(w, h);
  for (int32_t y = 0; y < h; ++y) {
    uint8_t* row = b.ScanLine(y);
    for (int32_t x = 0; x < w; ++x) {
      row[3 * x] = static_cast<uint8_t>(x + seed);
      row[3 * x + 1] = static_cast<uint8_t>(y * seed);
      row[3 * x + 2] = static_cast<uint8_t>(x + y);
    }
  }
  return b;
}

struct TIdle {
  double CpuMs = 0;
  double WallMs = 0;
  uint64_t Wakes = 0;
};

// Runs app's loop until a timer of intervalMs fires, as a show waits out a slide's interval, and
// returns the processor time spent and how often the loop woke. App is an application with
// HandleMessage and WaitCount, as the SDL back end's.
template <typename TApp>
TIdle MeasureIdle(TApp& app, uint32_t intervalMs) {
  bool done = false;
  TTimer slide(app);
  slide.SetInterval(intervalMs);
  slide.SetOnTimer([&] { done = true; });
  const double cpu0 = CpuMs();
  const uint64_t waits0 = app.WaitCount();
  const auto wall0 = Clock::now();
  while (!done) app.HandleMessage();
  return TIdle{CpuMs() - cpu0, MsBetween(wall0, Clock::now()), app.WaitCount() - waits0};
}

}  // namespace tovrin::bench
