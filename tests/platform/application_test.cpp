// The headless application: the virtual clock that its pump advances, scheduled and posted
// messages, the idle event, and synchronize requests from other threads.
#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "application_contract.h"
#include "platform/headless/headless_application.h"

namespace tovrin {
namespace {

TEST(HeadlessApplicationTest, VirtualClockMovesOnlyWithThePump) {
  THeadlessApplication app;
  EXPECT_EQ(app.TickCount(), 0u);
  app.ProcessMessages();
  EXPECT_EQ(app.TickCount(), 0u);
  app.SetMsPerPump(7);
  app.ProcessMessages();
  app.ProcessMessages();
  EXPECT_EQ(app.TickCount(), 14u);
  EXPECT_FALSE(app.WaitMessage(30)) << "nothing arrives: the wait jumps the clock";
  EXPECT_EQ(app.TickCount(), 44u);
  app.Sleep(6);
  EXPECT_EQ(app.TickCount(), 50u);
  EXPECT_EQ(app.Sleeps(), std::vector<uint32_t>{6});
}

TEST(HeadlessApplicationTest, ScheduledMessagesArriveAtTheirTickInOrder) {
  THeadlessApplication app;
  std::vector<std::string> log;
  app.PostAt(30, [&] { log.push_back("b@" + std::to_string(app.TickCount())); });
  app.PostAt(10, [&] { log.push_back("a@" + std::to_string(app.TickCount())); });
  app.PostAt(30, [&] { log.push_back("c@" + std::to_string(app.TickCount())); });
  EXPECT_FALSE(app.WaitMessage(5));
  EXPECT_EQ(app.TickCount(), 5u);
  EXPECT_TRUE(app.WaitMessage(100)) << "a message due within the timeout ends the wait";
  EXPECT_EQ(app.TickCount(), 10u);
  app.ProcessMessages();
  EXPECT_TRUE(app.WaitMessage(TApplication::Infinite));
  app.ProcessMessages();
  EXPECT_EQ(log, (std::vector<std::string>{"a@10", "b@30", "c@30"}));
}

TEST(HeadlessApplicationTest, SchedulingWorksAcrossTheWrapOfTheTickCount) {
  THeadlessApplication app;
  app.SetTickCount(0xFFFFFFF0u);
  bool ran = false;
  app.PostAt(0x10u, [&] { ran = true; });
  EXPECT_FALSE(app.WaitMessage(16));
  EXPECT_EQ(app.TickCount(), 0u);
  EXPECT_TRUE(app.WaitMessage(100));
  EXPECT_EQ(app.TickCount(), 0x10u);
  app.ProcessMessages();
  EXPECT_TRUE(ran);
}

TEST(HeadlessApplicationTest, RealClockWaitsReturnWhenAMessageArrives) {
  THeadlessApplication app(THeadlessApplication::TClockKind::ckReal);
  const uint32_t start = app.TickCount();
  std::thread poster([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    app.Post([] {});
  });
  EXPECT_TRUE(app.WaitMessage(5000));
  poster.join();
  EXPECT_LT(app.TickCount() - start, 2000u) << "woken by the post, not by the timeout";
  EXPECT_TRUE(app.WaitMessage(0)) << "a message stays pending until it is run";
  app.ProcessMessages();
  EXPECT_FALSE(app.WaitMessage(0));
}

}  // namespace
}  // namespace tovrin

namespace tovrin::testing {
namespace {
struct TMakeHeadless {
  static std::unique_ptr<TApplication> Make() { return std::make_unique<THeadlessApplication>(); }
};
}  // namespace
INSTANTIATE_TYPED_TEST_SUITE_P(Headless, ApplicationContract, TMakeHeadless);
}  // namespace tovrin::testing
