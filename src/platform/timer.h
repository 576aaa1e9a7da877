// TTimer: a component that raises OnTimer every Interval milliseconds while it is Enabled.
//
// Changing Enabled, Interval or OnTimer restarts the countdown. A timer with Interval 0 or
// without a handler never fires. Main thread only.
#pragma once

#include <cstdint>
#include <functional>

#include "platform/application.h"

namespace tovrin {

class TTimer {
 public:
  using TTimerEvent = std::function<void()>;

  explicit TTimer(TApplication& application) : FApplication(application) {}
  ~TTimer() { Kill(); }
  TTimer(const TTimer&) = delete;
  TTimer& operator=(const TTimer&) = delete;

  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool value);
  uint32_t Interval() const { return FInterval; }  // default 1000
  void SetInterval(uint32_t value);
  void SetOnTimer(TTimerEvent handler);
  const TTimerEvent& OnTimer() const { return FOnTimer; }

 private:
  void Kill();
  void UpdateTimer();

  TApplication& FApplication;
  bool FEnabled = true;
  uint32_t FInterval = 1000;
  TTimerEvent FOnTimer;
  uint32_t FId = 0;
};

}  // namespace tovrin
