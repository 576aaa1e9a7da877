// A screen saver must not burn a core while it waits between frames: a blocking transition on
// the real clock spends nearly all of its wall time waiting on the message queue.
#include <chrono>
#include <cstdio>

#include "pic_show_fixture.h"

#if !defined(_WIN32)
#include <sys/resource.h>
#endif

namespace tovrin::test {
namespace {

#if !defined(_WIN32)
double ProcessCpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  auto seconds = [](const timeval& t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}
#endif

TEST(CpuTimeTest, BlockingTransitionAtTheDefaultsWaitsWithoutSpinning) {
#if defined(_WIN32)
  GTEST_SKIP() << "process CPU time is measured with getrusage";
#else
  THeadlessApplication app(THeadlessApplication::TClockKind::ckReal);
  THeadlessWindow window(64, 64);
  TPicShow show(app, window);
  show.SetThreaded(false);
  show.SetStyle(5);  // a plain wipe: next to no drawing per frame
  show.SetPicture(Solid(64, 64, kBlue));
  int frames = 0;
  show.OnProgress = [&](TCustomPicShow&) { ++frames; };

  const double cpuBefore = ProcessCpuSeconds();
  const auto wallBefore = std::chrono::steady_clock::now();
  show.Execute();
  const double wall =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - wallBefore).count();
  const double cpu = ProcessCpuSeconds() - cpuBefore;

  std::printf("25-frame blocking transition: wall %.1f ms, CPU %.1f ms (%.1f%%)\n", wall * 1e3,
              cpu * 1e3, 100.0 * cpu / wall);
  EXPECT_EQ(frames, 25);
  EXPECT_GE(wall, 24 * 0.040) << "24 waits of more than Delay";
  EXPECT_LT(cpu, 0.2 * wall) << "the wait between frames must not spin";
#endif
}

}  // namespace
}  // namespace tovrin::test
