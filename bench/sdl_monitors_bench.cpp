// The Linux back end on a desk of two 1920 x 1080 monitors (one 3840 x 1080 Xvfb screen split
// with xrandr), on the real clock, with a show window on each monitor and a picture control in
// each, the second following the first as the show drives it (every frame of the first control
// is composed again at the second monitor's size right after it):
//
//   frame       one frame composed and presented on one monitor, and on both, for several
//               styles: the median per frame over whole transitions stepped by hand, the runs
//               for one and for both monitors alternating; the ratio both / one, against the
//               yardstick of one memory copy of a frame measured in the same run; in wall time
//               (which includes the X server's copy) and in this process's processor time (which
//               a loaded machine disturbs less)
//   transition  whole transitions at the control's defaults (25 frames, Delay 40 ms: 1000 ms)
//               paced by the first control: wall time, frames that reached each monitor, the
//               longest gap between two frames of the second monitor
//   idle        the processor time the process uses while it waits out a 5 s slide interval with
//               both windows shown and the monitors watched for changes, as a share of one core
//
// Run: build/native/bench/sdl_monitors_bench (needs Xvfb and xrandr).

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "bench_measures.h"
#include "no_form_events.h"
#include "picshow/custom_pic_show.h"
#include "platform/sdl/sdl_application.h"
#include "platform/sdl/sdl_form_window.h"
#include "platform/sdl/sdl_screen.h"
#include "platform/sdl/sdl_video.h"
#include "platform/sdl/x11_connection.h"
#include "platform/timer.h"
#include "xvfb_display.h"

namespace tovrin {
namespace {

using bench::Clock;
using bench::CpuMs;
using bench::Gradient;
using bench::Median;
using bench::MsBetween;
constexpr int32_t kWidth = 1920;
constexpr int32_t kHeight = 1080;
constexpr TShowStyle kStyles[] = {1, 5, 9, 12, 33, 84, 99, 117, 127};

// A show window on a monitor with its picture control, as the show makes them.
struct TMonitorShow {
  TMonitorShow(TSdlVideo& video, TSdlApplication& app, const TMonitor& monitor, bool first)
      : Window(video, app, Events), Show(app, Window) {
    Window.SetTakesFocus(first);
    Window.SetColor(clBlack);
    const TRect& r = monitor.Bounds;
    Window.SetBounds(r.Left, r.Top, r.Width(), r.Height());
    Show.SetAlign(TAlign::alClient);
    Show.SetCenter(true);
    Show.SetStretch(true);
    Show.SetThreaded(false);
    Window.SetTopmost();
    Window.SetVisible(true);
  }
  testing::TNoFormEvents Events;
  TSdlFormWindow Window;
  TPicShow Show;
};

int Main() {
  TXvfbDisplay display(2 * kWidth, kHeight);
  if (!display.Ok()) {
    std::fprintf(stderr, "sdl_monitors_bench: Xvfb could not start\n");
    return 1;
  }
  if (std::system("xrandr --setmonitor A 1920/508x1080/286+0+0 screen "
                  "--setmonitor B 1920/508x1080/286+1920+0 none >/dev/null") != 0) {
    std::fprintf(stderr, "sdl_monitors_bench: xrandr could not split the screen\n");
    return 1;
  }
  TSdlApplication app;
  TSdlVideo video(app);
  TX11Connection x11;
  TSdlScreen screen(
      app, video, [&]() -> TX11Connection& { return x11; }, 0);
  int changes = 0;
  screen.SetOnMonitorsChanged([&] { ++changes; });
  const std::vector<TMonitor> monitors = screen.Monitors();
  if (monitors.size() != 2) {
    std::fprintf(stderr, "sdl_monitors_bench: %zu monitors instead of 2\n", monitors.size());
    return 1;
  }
  TMonitorShow one(video, app, monitors[0], true);
  TMonitorShow two(video, app, monitors[1], false);
  screen.ShowCursor(false);

  const TBitmap first = Gradient(kWidth, kHeight, 1);
  const TBitmap second = Gradient(kWidth, kHeight, 3);
  for (TMonitorShow* m : {&one, &two}) {
    m->Show.SetStyle(0);
    m->Show.SetPicture(first);
    m->Show.Execute();
  }

  // ---- yardstick
  TBitmap copy(kWidth, kHeight);
  const size_t bytes = first.Stride() * static_cast<size_t>(kHeight);
  std::vector<double> copies;
  for (int i = 0; i < 40; ++i) {
    const auto a = Clock::now();
    std::memcpy(copy.Bits(), first.Bits(), bytes);
    copies.push_back(MsBetween(a, Clock::now()));
  }
  const double copyMs = Median(copies);
  std::printf("yardstick: one 1920x1080 frame copy %.2f ms (median of 40)\n", copyMs);

  // ---- frame
  const TBitmap* pictures[] = {&second, &first};
  int which = 0;
  // One transition stepped by hand on the first monitor alone or on both; wall and processor
  // ms per frame.
  struct TCost {
    double Wall = 0;
    double Cpu = 0;
  };
  auto stepped = [&](TShowStyle style, bool both) {
    const TBitmap& picture = *pictures[which];
    which ^= 1;
    std::vector<TMonitorShow*> shows{&one};
    if (both) shows.push_back(&two);
    for (TMonitorShow* m : shows) {
      m->Show.SetStyle(style);
      m->Show.SetPicture(picture);
      m->Show.SetManual(true);
      m->Show.Execute();
    }
    const auto start = Clock::now();
    const double cpuStart = CpuMs();
    int frames = 0;
    for (int progress = 4; progress <= 100; progress += 4, ++frames) {
      for (TMonitorShow* m : shows) {
        m->Show.SetProgress(static_cast<uint8_t>(progress));
        m->Window.Update();
      }
    }
    const TCost cost{MsBetween(start, Clock::now()) / frames, (CpuMs() - cpuStart) / frames};
    for (TMonitorShow* m : shows) {
      m->Show.Stop();
      m->Show.SetManual(false);
    }
    if (!both) {
      // The second monitor shows the same picture for the next run.
      two.Show.SetStyle(0);
      two.Show.SetPicture(picture);
      two.Show.Execute();
    }
    return cost;
  };
  double sumOne = 0;
  double sumBoth = 0;
  double sumCpuOne = 0;
  double sumCpuBoth = 0;
  for (const TShowStyle style : kStyles) {
    std::vector<double> oneMs, bothMs, oneCpu, bothCpu;
    for (int run = 0; run < 6; ++run) {
      // Alternating, and each mode first half of the time.
      const bool bothFirst = run % 2 == 1;
      for (const bool both : {bothFirst, !bothFirst}) {
        const TCost cost = stepped(style, both);
        (both ? bothMs : oneMs).push_back(cost.Wall);
        (both ? bothCpu : oneCpu).push_back(cost.Cpu);
      }
    }
    const double o = Median(oneMs);
    const double b = Median(bothMs);
    const double oc = Median(oneCpu);
    const double bc = Median(bothCpu);
    sumOne += o;
    sumBoth += b;
    sumCpuOne += oc;
    sumCpuBoth += bc;
    std::printf(
        "frame style %3d: one monitor %6.2f ms (%5.1fx the copy), both %6.2f ms (%5.1fx the "
        "copy): both / one %.2f; processor time %5.2f and %5.2f ms: %.2f\n",
        style, o, o / copyMs, b, b / copyMs, b / o, oc, bc, bc / oc);
  }
  std::printf(
      "frame, all styles: both / one %.2f in wall time, %.2f in processor time (at most 2.2 "
      "asked)\n",
      sumBoth / sumOne, sumCpuBoth / sumCpuOne);

  // ---- transition
  // As the show drives them: the first control paces the transition; the second composes its
  // frame at the same progress right after each of the first's. The same transition on the
  // first monitor alone, alternating with it, is the yardstick for the load of the moment.
  std::vector<Clock::time_point> presentedOne;
  std::vector<Clock::time_point> presentedTwo;
  one.Window.OnPresented = [&] { presentedOne.push_back(Clock::now()); };
  two.Window.OnPresented = [&] { presentedTwo.push_back(Clock::now()); };
  one.Show.OnProgress = [&](TCustomPicShow& sender) {
    if (two.Show.Busy()) two.Show.SetProgress(sender.Progress());
  };
  struct TRun {
    double Wall = 0;
    size_t FramesOne = 0;
    size_t FramesTwo = 0;
    double Gap = 0;  // the longest between two frames of the last monitor run
  };
  auto paced = [&](TShowStyle style, bool both) {
    const TBitmap& picture = *pictures[which];
    which ^= 1;
    if (both) {
      two.Show.SetStyle(style);
      two.Show.SetPicture(picture);
      two.Show.SetManual(true);
      two.Show.Execute();
    }
    one.Show.SetStyle(style);
    one.Show.SetPicture(picture);
    presentedOne.clear();
    presentedTwo.clear();
    const auto start = Clock::now();
    one.Show.Execute();
    TRun run;
    run.Wall = MsBetween(start, Clock::now());
    if (two.Show.Busy()) two.Show.Stop();
    two.Show.SetManual(false);
    if (!both) {
      two.Show.SetStyle(0);
      two.Show.SetPicture(picture);
      two.Show.Execute();
    }
    run.FramesOne = presentedOne.size();
    run.FramesTwo = both ? presentedTwo.size() : 0;
    const std::vector<Clock::time_point>& last = both ? presentedTwo : presentedOne;
    for (size_t i = 1; i < last.size(); ++i) {
      run.Gap = std::max(run.Gap, MsBetween(last[i - 1], last[i]));
    }
    return run;
  };
  double worstOne = 0;
  double worstBoth = 0;
  int index = 0;
  for (const TShowStyle style : kStyles) {
    const bool bothFirst = index++ % 2 == 1;
    const TRun first = paced(style, bothFirst);
    const TRun second = paced(style, !bothFirst);
    const TRun& alone = bothFirst ? second : first;
    const TRun& both = bothFirst ? first : second;
    worstOne = std::max(worstOne, alone.Wall);
    worstBoth = std::max(worstBoth, both.Wall);
    std::printf(
        "transition style %3d: one monitor %5.0f ms (%2zu frames, longest gap %4.1f ms); both "
        "%5.0f ms (%2zu + %2zu frames, longest gap on the second %4.1f ms)\n",
        style, alone.Wall, alone.FramesOne, alone.Gap, both.Wall, both.FramesOne, both.FramesTwo,
        both.Gap);
  }
  std::printf("transition, slowest: one monitor %.0f ms, both %.0f ms (at most 1050 asked)\n",
              worstOne, worstBoth);
  one.Show.OnProgress = nullptr;
  one.Window.OnPresented = nullptr;
  two.Window.OnPresented = nullptr;

  // ---- idle
  const bench::TIdle idle = bench::MeasureIdle(app, 5000);
  std::printf(
      "idle, two windows, monitors watched: %.1f ms of processor time in %.0f ms of waiting: "
      "%.3f%% of a core, %llu wake-ups of the loop, %d monitor changes seen\n",
      idle.CpuMs, idle.WallMs, idle.CpuMs / idle.WallMs * 100.0,
      static_cast<unsigned long long>(idle.Wakes), changes);
  return 0;
}

}  // namespace
}  // namespace tovrin

int main() {
  return tovrin::Main();
}
