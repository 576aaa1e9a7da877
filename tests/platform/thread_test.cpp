// TThread and the canvas lock.
#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <thread>

#include "platform/canvas_lock.h"
#include "platform/headless/headless_application.h"
#include "platform/thread.h"

namespace tovrin {
namespace {

class CountingThread final : public TThread {
 public:
  using TThread::TThread;
  ~CountingThread() override { WaitFor(); }
  int Steps = 0;  // written only in the main thread
  bool ThrowAtEnd = false;

 protected:
  void Execute() override {
    while (!Terminated()) {
      Synchronize([this] { ++Steps; });
      if (ThrowAtEnd && Steps >= 3) throw std::runtime_error("worker failed");
    }
  }
};

TEST(ThreadTest, WaitForServesTheWorkersSynchronizeCallsAndRunsOnTerminateInTheMainThread) {
  THeadlessApplication app;
  CountingThread thread(app);
  bool terminatedInMain = false;
  thread.OnTerminate = [&] { terminatedInMain = app.IsMainThread(); };
  thread.Start();
  while (thread.Steps < 5) app.HandleMessage();
  thread.Terminate();
  thread.WaitFor();
  EXPECT_TRUE(thread.Finished());
  EXPECT_TRUE(terminatedInMain);
  EXPECT_GE(thread.Steps, 5);
  EXPECT_EQ(thread.FatalException(), nullptr);
}

TEST(ThreadTest, AnErrorInExecuteIsKeptAndTheEndHandlerStillRuns) {
  THeadlessApplication app;
  CountingThread thread(app);
  thread.ThrowAtEnd = true;
  int ends = 0;
  thread.OnTerminate = [&] { ++ends; };
  thread.Start();
  thread.WaitFor();
  EXPECT_EQ(ends, 1);
  ASSERT_NE(thread.FatalException(), nullptr);
  EXPECT_THROW(std::rethrow_exception(thread.FatalException()), std::runtime_error);
}

TEST(ThreadTest, DestroyingARunningThreadWaitsForIt) {
  THeadlessApplication app;
  for (int i = 0; i < 50; ++i) {
    auto thread = std::make_unique<CountingThread>(app);
    thread->Start();
    thread->Terminate();
    thread.reset();
  }
  CountingThread neverStarted(app);
  neverStarted.WaitFor();  // returns at once
}

TEST(CanvasLockTest, ReentrantForItsOwnerButTryLockFailsForEveryone) {
  TCanvasLock lock;
  EXPECT_TRUE(lock.TryLock());
  EXPECT_FALSE(lock.TryLock()) << "held by the calling thread itself";
  lock.Lock();  // re-entrant
  lock.Unlock();
  EXPECT_TRUE(lock.Locked());
  bool otherGot = true;
  std::thread other([&] { otherGot = lock.TryLock(); });
  other.join();
  EXPECT_FALSE(otherGot);
  lock.Unlock();
  EXPECT_FALSE(lock.Locked());
}

TEST(CanvasLockTest, LockWaitsUntilTheOtherThreadReleases) {
  TCanvasLock lock;
  std::atomic<int> inside{0};
  std::atomic<int> maxInside{0};
  auto work = [&] {
    for (int i = 0; i < 1000; ++i) {
      TCanvasLockGuard guard(lock);
      const int now = ++inside;
      if (now > maxInside) maxInside = now;
      --inside;
    }
  };
  std::thread a(work), b(work);
  a.join();
  b.join();
  EXPECT_EQ(maxInside.load(), 1);
}

}  // namespace
}  // namespace tovrin
