#include "platform/timer.h"

namespace tovrin {

void TTimer::SetEnabled(bool value) {
  FEnabled = value;
  UpdateTimer();
}

void TTimer::SetInterval(uint32_t value) {
  FInterval = value;
  UpdateTimer();
}

void TTimer::SetOnTimer(TTimerEvent handler) {
  FOnTimer = std::move(handler);
  UpdateTimer();
}

void TTimer::Kill() {
  if (FId != 0) FApplication.KillTimer(FId);
  FId = 0;
}

void TTimer::UpdateTimer() {
  Kill();
  if (!FEnabled || FInterval == 0 || !FOnTimer) return;
  // The event looks the handler up when it fires, so a handler replaced in between is the one
  // that runs.
  FId = FApplication.SetTimer(FInterval, [this] {
    if (FOnTimer) FOnTimer();
  });
}

}  // namespace tovrin
