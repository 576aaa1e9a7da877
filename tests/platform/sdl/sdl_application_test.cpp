// The Linux message loop: it waits without spinning, wakes for posts from other threads and for
// timers, serves synchronize requests, and reads SIGTERM as a message.
#include <gtest/gtest.h>
#include <pthread.h>
#include <signal.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "application_contract.h"
#include "platform/sdl/sdl_application.h"
#include "platform/sdl/sdl_signals.h"
#include "platform/timer.h"

namespace tovrin {
namespace {

using Clock = std::chrono::steady_clock;

int64_t MsSince(Clock::time_point start) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

TEST(SdlApplicationTest, WaitsOutItsTimeoutWithoutSpinning) {
  TSdlApplication app;
  const auto start = Clock::now();
  EXPECT_FALSE(app.WaitMessage(120));
  const int64_t waited = MsSince(start);
  EXPECT_GE(waited, 119);
  EXPECT_LT(waited, 400);
  EXPECT_LE(app.WaitCount(), 3u) << "one wait, not a poll every millisecond";
}

TEST(SdlApplicationTest, TimersFireAtTheirIntervalAndStopWhenKilled) {
  TSdlApplication app;
  int fired = 0;
  int killedFired = 0;
  TTimer timer(app);
  timer.SetInterval(30);
  timer.SetOnTimer([&] {
    if (++fired == 4) app.Terminate();
  });
  const uint32_t killed = app.SetTimer(10, [&] { ++killedFired; });
  app.KillTimer(killed);
  const auto start = Clock::now();
  app.Run();
  const int64_t took = MsSince(start);
  EXPECT_EQ(fired, 4);
  EXPECT_EQ(killedFired, 0);
  EXPECT_GE(took, 115);
  EXPECT_LT(took, 600);
  EXPECT_LE(app.WaitCount(), 12u) << "a wait per timer event, not a busy loop";
}

TEST(SdlApplicationTest, SigtermIsReadAsAMessageAndWakesTheWait) {
  TSignalBlock signals;
  ASSERT_GE(signals.Fd(), 0);
  TSdlApplication app(signals.Fd());
  int received = 0;
  app.OnSignal = [&](int signal) {
    received = signal;
    app.Terminate();
  };
  // Directed at this thread, which blocks it: it waits for the loop instead of ending the test.
  std::thread sender([self = pthread_self()] {
    std::this_thread::sleep_for(std::chrono::milliseconds(40));
    pthread_kill(self, SIGTERM);
  });
  const auto start = Clock::now();
  app.Run();
  EXPECT_EQ(received, SIGTERM);
  EXPECT_LT(MsSince(start), 300);
  sender.join();
}

}  // namespace
}  // namespace tovrin

namespace tovrin::testing {
namespace {
struct TMakeSdl {
  static std::unique_ptr<TApplication> Make() { return std::make_unique<TSdlApplication>(); }
};
}  // namespace
INSTANTIATE_TYPED_TEST_SUITE_P(Sdl, ApplicationContract, TMakeSdl);
}  // namespace tovrin::testing
