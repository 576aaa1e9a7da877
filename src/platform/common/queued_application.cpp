#include "platform/common/queued_application.h"

namespace tovrin {

void TQueuedApplication::Run() {
  while (!Terminated()) HandleMessage();
}

void TQueuedApplication::Terminate() {
  FTerminated.store(true);
  FQueue.Wake();
}

void TQueuedApplication::Synchronize(const TMessage& fn) {
  // The main thread would wait for itself: it runs fn at once.
  if (IsMainThread()) {
    fn();
    return;
  }
  FQueue.Synchronize(fn);
}

void TQueuedApplication::ServeSynchronizeUntil(const std::function<bool()>& done) {
  FQueue.ServeSynchronizeUntil(done);
}

uint32_t TQueuedApplication::SetTimer(uint32_t intervalMs, TMessage onTimer) {
  return FTimers.Add(TickCount(), intervalMs, std::move(onTimer));
}

void TQueuedApplication::QueueDueTimers() {
  if (FTimers.Empty()) return;
  for (auto& event : FTimers.TakeDue(TickCount())) FQueue.Post(std::move(event));
}

}  // namespace tovrin
