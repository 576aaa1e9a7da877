// TActivationGuard, the FormActivate delivery both on-screen back ends share: activations that
// arrive while FormActivate runs come after it, once, and only while the window still holds the
// activation; a window destroyed by its handler, or a handler that raises, ends the delivery.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>

#include "platform/common/activation_guard.h"

namespace tovrin {
namespace {

TEST(ActivationGuard, ActivationsDuringFormActivateComeAfterItOnce) {
  struct TCase {
    int Arrivals;  // activations arriving during the first FormActivate
    bool StillActive;
    std::string Expected;  // "(" and ")": a FormActivate starting and returning
  };
  const TCase cases[] = {
      {0, true, "()"},
      {1, true, "()()"},
      {3, true, "()()"},
      {1, false, "()"},
  };
  for (const TCase& c : cases) {
    TActivationGuard guard;
    std::string trace;
    int stillActiveAsked = 0;
    std::function<void()> activate;
    const auto stillActive = [&] {
      ++stillActiveAsked;
      return c.StillActive;
    };
    activate = [&] {
      trace += "(";
      if (trace.size() == 1) {
        for (int i = 0; i < c.Arrivals; ++i) guard.Deliver(activate, stillActive);
      }
      trace += ")";
    };
    guard.Deliver(activate, stillActive);
    EXPECT_EQ(trace, c.Expected) << c.Arrivals << " arrivals, still active " << c.StillActive;
    EXPECT_EQ(stillActiveAsked, c.Arrivals > 0 ? 1 : 0) << c.Arrivals << " arrivals";
  }
}

TEST(ActivationGuard, WindowDestroyedInsideFormActivateEndsTheDelivery) {
  auto guard = std::make_unique<TActivationGuard>();
  int runs = 0;
  bool asked = false;
  const std::function<bool()> stillActive = [&] { return asked = true; };
  std::function<void()> activate = [&] {
    ++runs;
    guard->Deliver(activate, stillActive);  // the modal loop hands over an activation...
    guard.reset();                          // ...and the handler then destroys the window
  };
  guard->Deliver(activate, stillActive);
  EXPECT_EQ(runs, 1);
  EXPECT_FALSE(asked);
}

TEST(ActivationGuard, RaisingFormActivateLeavesTheGuardReady) {
  TActivationGuard guard;
  int runs = 0;
  const std::function<bool()> stillActive = [] { return true; };
  const std::function<void()> raise = [&] {
    ++runs;
    throw std::runtime_error("handler failed");
  };
  EXPECT_THROW(guard.Deliver(raise, stillActive), std::runtime_error);
  // Delivered at once, not taken for an activation arriving during the first.
  guard.Deliver([&] { ++runs; }, stillActive);
  EXPECT_EQ(runs, 2);
}

}  // namespace
}  // namespace tovrin
