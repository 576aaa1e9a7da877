// The memory budget shared by the pictures a build converts at once, driven step by step: each
// request runs on a thread of its own, and after every step the test waits until each request
// either holds its reservation or stands in the budget's line (which the budget settles when a
// request arrives and when a reservation is released), then compares who holds memory.
#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "memory_budget.h"

namespace tovrin {
namespace {

class TBudgetScript {
 public:
  explicit TBudgetScript(int64_t total) : FBudget(total) {}
  // Ends every request, those still waiting as soon as they are granted.
  ~TBudgetScript() {
    {
      const std::lock_guard lock(FLock);
      for (auto& [name, request] : FRequests) request.Ending = true;
    }
    FChanged.notify_all();
    for (auto& [name, request] : FRequests) request.Thread.join();
  }
  TBudgetScript(const TBudgetScript&) = delete;
  TBudgetScript& operator=(const TBudgetScript&) = delete;

  // A conversion asks for `bytes`.
  void Ask(char name, int64_t bytes) {
    TRequest& request = FRequests[name];
    request.Bytes = bytes;
    request.Thread = std::thread([this, &request] { Run(request); });
    Settle();
  }

  // A conversion that holds its reservation ends, or fails with an exception.
  void End(char name, bool fails) {
    TRequest& request = FRequests.at(name);
    std::unique_lock lock(FLock);
    request.Ending = true;
    request.Fails = fails;
    FChanged.notify_all();
    FChanged.wait(lock, [&] { return request.Done; });
    lock.unlock();
    Settle();
  }

  // The requests holding memory, by name in order.
  std::string Holding() const {
    const std::lock_guard lock(FLock);
    std::string names;
    for (const auto& [name, request] : FRequests) {
      if (request.Granted && !request.Done) names += name;
    }
    return names;
  }
  int64_t HeldBytes() const {
    const std::lock_guard lock(FLock);
    int64_t bytes = 0;
    for (const auto& [name, request] : FRequests) {
      if (request.Granted && !request.Done) bytes += request.Bytes;
    }
    return bytes;
  }
  const TMemoryBudget& Budget() const { return FBudget; }

 private:
  struct TRequest {
    int64_t Bytes = 0;
    std::thread Thread;
    bool Granted = false;
    bool Ending = false;
    bool Fails = false;
    bool Done = false;
  };

  void Run(TRequest& request) {
    try {
      const TMemoryBudget::TReservation held = FBudget.Reserve(request.Bytes);
      std::unique_lock lock(FLock);
      request.Granted = true;
      FChanged.notify_all();
      FChanged.wait(lock, [&] { return request.Ending; });
      if (request.Fails) throw std::runtime_error("the conversion failed");
    } catch (const std::runtime_error&) {
      // The reservation has been given back while the exception left its scope.
    }
    const std::lock_guard lock(FLock);
    request.Done = true;
    FChanged.notify_all();
  }

  // Waits until every request not yet granted stands in the budget's line: then no request
  // can change its state until the script's next step.
  void Settle() {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    for (;;) {
      size_t ungranted = 0;
      {
        const std::lock_guard lock(FLock);
        for (const auto& [name, request] : FRequests) {
          ungranted += !request.Granted && !request.Done ? 1 : 0;
        }
      }
      if (ungranted == FBudget.Waiting()) return;
      if (std::chrono::steady_clock::now() > deadline) {
        ADD_FAILURE() << "the requests did not settle: " << ungranted << " not granted, "
                      << FBudget.Waiting() << " in line";
        return;
      }
      std::this_thread::yield();
    }
  }

  TMemoryBudget FBudget;
  mutable std::mutex FLock;
  std::condition_variable FChanged;
  std::map<char, TRequest> FRequests;  // nodes stay put while their threads use them
};

TEST(MemoryBudgetTest, ConversionsShareTheBudgetInTheOrderTheyAsk) {
  enum TAction { Ask, End, Fail };
  struct TStep {
    TAction Action;
    char Name;
    int64_t Bytes;        // for Ask
    const char* Holding;  // afterwards
  };
  struct TCase {
    const char* Name;
    std::vector<TStep> Steps;
  };
  const TCase cases[] = {
      {"within the budget they run together",
       {{Ask, 'A', 600, "A"}, {Ask, 'B', 400, "AB"}, {End, 'A', 0, "B"}, {Ask, 'C', 600, "BC"}}},
      {"beyond it a request waits for memory to be given back",
       {{Ask, 'A', 600, "A"}, {Ask, 'B', 500, "A"}, {End, 'A', 0, "B"}}},
      {"first come, first served: a small request does not overtake a waiting large one",
       {{Ask, 'A', 600, "A"}, {Ask, 'B', 500, "A"}, {Ask, 'C', 100, "A"}, {End, 'A', 0, "BC"}}},
      {"a request larger than the budget runs alone",
       {{Ask, 'A', 100, "A"},
        {Ask, 'B', 5000, "A"},
        {Ask, 'C', 100, "A"},
        {End, 'A', 0, "B"},
        {End, 'B', 0, "C"}}},
      {"a request larger than the budget runs at once when nothing is held",
       {{Ask, 'A', 5000, "A"}, {Ask, 'B', 0, "A"}, {End, 'A', 0, "B"}}},
      {"a failed conversion gives its memory back",
       {{Ask, 'A', 800, "A"},
        {Ask, 'B', 800, "A"},
        {Fail, 'A', 0, "B"},
        {Ask, 'C', 200, "BC"},
        {Fail, 'B', 0, "C"},
        {Fail, 'C', 0, ""}}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TBudgetScript script(1000);
    for (const TStep& step : c.Steps) {
      SCOPED_TRACE(std::string(step.Action == Ask   ? "ask "
                               : step.Action == End ? "end "
                                                    : "fail ") +
                   step.Name);
      if (step.Action == Ask) {
        script.Ask(step.Name, step.Bytes);
      } else {
        script.End(step.Name, step.Action == Fail);
      }
      EXPECT_EQ(script.Holding(), step.Holding);
      EXPECT_EQ(script.Budget().Reserved(), script.HeldBytes());
    }
  }
}

}  // namespace
}  // namespace tovrin
