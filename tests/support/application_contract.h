// What every back end's application object must do alike, run against each of them: the pump
// runs only what was pending, idle runs when the queue empties and not while messages wait, a post
// from another thread wakes an endless wait at once, and Synchronize runs on the main thread and
// hands errors back. A back end's test file instantiates the suite with a maker:
//
//   struct TMakeSdl { static std::unique_ptr<TApplication> Make() { ... } };
//   INSTANTIATE_TYPED_TEST_SUITE_P(Sdl, ApplicationContract, TMakeSdl);
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "platform/application.h"

namespace tovrin::testing {

template <typename TMaker>
class ApplicationContract : public ::testing::Test {
 protected:
  std::unique_ptr<TApplication> FApp = TMaker::Make();
};

TYPED_TEST_SUITE_P(ApplicationContract);

TYPED_TEST_P(ApplicationContract, ProcessMessagesRunsOnlyWhatWasPendingAtTheCall) {
  TApplication& app = *this->FApp;
  int runs = 0;
  std::function<void()> repost = [&] {
    ++runs;
    app.Post(repost);
  };
  app.Post(repost);
  app.ProcessMessages();
  EXPECT_EQ(runs, 1) << "a message that re-posts itself cannot trap the pump";
  app.ProcessMessages();
  EXPECT_EQ(runs, 2);
}

TYPED_TEST_P(ApplicationContract, IdleRunsWhenTheQueueEmptiesAndNotWhileMessagesWait) {
  TApplication& app = *this->FApp;
  std::vector<std::string> log;
  app.SetOnIdle([&] {
    log.push_back("idle");
    if (log.size() == 1) {
      app.Post([&] { log.push_back("a"); });
      app.Post([&] { log.push_back("b"); });
    } else {
      app.Terminate();
    }
  });
  app.Run();
  EXPECT_EQ(log, (std::vector<std::string>{"idle", "a", "b", "idle"}));
}

TYPED_TEST_P(ApplicationContract, APostFromAnotherThreadWakesAnEndlessWait) {
  TApplication& app = *this->FApp;
  std::atomic<bool> ran{false};
  const auto start = std::chrono::steady_clock::now();
  std::thread poster([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    app.Post([&] { ran = true; });
  });
  EXPECT_TRUE(app.WaitMessage(TApplication::Infinite));
  const auto waited = std::chrono::steady_clock::now() - start;
  poster.join();
  EXPECT_FALSE(ran.load()) << "WaitMessage runs nothing";
  EXPECT_TRUE(app.WaitMessage(0)) << "a message stays pending until it is run";
  app.ProcessMessages();
  EXPECT_TRUE(ran.load());
  EXPECT_LT(waited, std::chrono::milliseconds(300)) << "the post must wake the wait at once";
}

TYPED_TEST_P(ApplicationContract, SynchronizeRunsOnTheMainThreadAndHandsErrorsBack) {
  TApplication& app = *this->FApp;
  std::atomic<bool> done{false};
  std::vector<bool> ranInMain;
  std::thread::id ranOn;
  std::string error;
  std::thread worker([&] {
    app.Synchronize([&] {
      ranInMain.push_back(app.IsMainThread());
      ranOn = std::this_thread::get_id();
    });
    try {
      app.Synchronize([] { throw std::runtime_error("refused"); });
    } catch (const std::exception& e) {
      error = e.what();
    }
    done = true;
    app.WakeMainThread();
  });
  app.ServeSynchronizeUntil([&] { return done.load(); });
  worker.join();
  EXPECT_EQ(ranInMain, std::vector<bool>{true});
  EXPECT_EQ(ranOn, std::this_thread::get_id());
  EXPECT_EQ(error, "refused") << "the error goes back to the thread that asked";
  EXPECT_TRUE(app.IsMainThread());
}

REGISTER_TYPED_TEST_SUITE_P(ApplicationContract, ProcessMessagesRunsOnlyWhatWasPendingAtTheCall,
                            IdleRunsWhenTheQueueEmptiesAndNotWhileMessagesWait,
                            APostFromAnotherThreadWakesAnEndlessWait,
                            SynchronizeRunsOnTheMainThreadAndHandsErrorsBack);

}  // namespace tovrin::testing
