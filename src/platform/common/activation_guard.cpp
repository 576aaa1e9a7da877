#include "platform/common/activation_guard.h"

namespace tovrin {

void TActivationGuard::Deliver(const std::function<void()>& activate,
                               const std::function<bool()>& stillActive) {
  if (FActivating) {
    FActivateAgain = true;
    return;
  }
  // Read after each run of activate, which may have destroyed this guard with its window.
  const std::weak_ptr<bool> alive = FAlive;
  FActivating = true;
  do {
    FActivateAgain = false;
    try {
      activate();
    } catch (...) {
      if (!alive.expired()) FActivating = false;
      throw;
    }
    if (alive.expired()) return;
  } while (FActivateAgain && stillActive());
  FActivating = false;
}

}  // namespace tovrin
