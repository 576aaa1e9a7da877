// TActivationGuard: delivers a form window's activation (FormActivate) never nested in itself.
//
// FormActivate may open a modal window (a message box, the password dialog) whose loop delivers
// the form's messages while it is open. When the form is activated again meanwhile (the modal
// window closed, or the focus came back from elsewhere), that activation is not delivered inside
// the running FormActivate but after it returns, once however many arrived, and only if the form
// still holds the activation then.
//
// The guard is a member of the window it serves. A handler may destroy the window: the guard
// goes with it, notices, and touches nothing afterwards. Main thread only.
#pragma once

#include <functional>
#include <memory>

namespace tovrin {

class TActivationGuard {
 public:
  TActivationGuard() = default;
  TActivationGuard(const TActivationGuard&) = delete;
  TActivationGuard& operator=(const TActivationGuard&) = delete;

  // The window was activated. Outside a delivery: runs activate (FormActivate), then runs it
  // again while an activation arrived during the last run and stillActive() (asked only then)
  // says the window still holds the activation. Inside a delivery (called from activate): only
  // notes the arrival. An exception from activate ends the delivery and passes on.
  void Deliver(const std::function<void()>& activate, const std::function<bool()>& stillActive);

 private:
  bool FActivating = false;
  bool FActivateAgain = false;
  // Expires when the guard (and so its window) is destroyed.
  std::shared_ptr<bool> FAlive = std::make_shared<bool>(true);
};

}  // namespace tovrin
