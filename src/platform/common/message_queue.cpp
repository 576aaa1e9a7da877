#include "platform/common/message_queue.h"

namespace tovrin {

void TMessageQueue::Notify() {
  FChanged.notify_all();
  if (OnWake) OnWake();
}

void TMessageQueue::Post(TMessage msg) {
  {
    std::lock_guard lock(FMutex);
    FPosted.push_back(std::move(msg));
  }
  Notify();
}

void TMessageQueue::Synchronize(const TMessage& fn) {
  TSyncRequest request;
  request.Fn = &fn;
  {
    std::unique_lock lock(FMutex);
    FSync.push_back(&request);
    FChanged.notify_all();
    if (OnWake) OnWake();
    FChanged.wait(lock, [&request] { return request.Done; });
  }
  if (request.Error) std::rethrow_exception(request.Error);
}

void TMessageQueue::Wake() {
  {
    std::lock_guard lock(FMutex);
    FWoken = true;
  }
  Notify();
}

bool TMessageQueue::Pending() const {
  std::lock_guard lock(FMutex);
  return PendingLocked();
}

void TMessageQueue::RunSyncLocked(std::unique_lock<std::mutex>& lock) {
  TSyncRequest* request = FSync.front();
  FSync.pop_front();
  lock.unlock();
  std::exception_ptr error;
  try {
    (*request->Fn)();
  } catch (...) {
    error = std::current_exception();
  }
  lock.lock();
  // The request lives on the waiting worker's stack: touch it only under the lock, and not
  // after Done is set and the lock released.
  request->Error = error;
  request->Done = true;
  FChanged.notify_all();
}

size_t TMessageQueue::RunPending() {
  std::unique_lock lock(FMutex);
  size_t budget = FSync.size() + FPosted.size();
  size_t ran = 0;
  while (ran < budget && PendingLocked()) {
    ++ran;
    if (!FSync.empty()) {
      RunSyncLocked(lock);
      continue;
    }
    TMessage msg = std::move(FPosted.front());
    FPosted.pop_front();
    lock.unlock();
    msg();  // an error goes to the caller; the lock is not held here
    lock.lock();
  }
  return ran;
}

bool TMessageQueue::WaitUntil(TClock::time_point deadline) {
  std::unique_lock lock(FMutex);
  FChanged.wait_until(lock, deadline, [this] { return PendingLocked() || FWoken; });
  FWoken = false;
  return PendingLocked();
}

bool TMessageQueue::WaitForever() {
  std::unique_lock lock(FMutex);
  FChanged.wait(lock, [this] { return PendingLocked() || FWoken; });
  FWoken = false;
  return PendingLocked();
}

void TMessageQueue::ServeSynchronizeUntil(const std::function<bool()>& done) {
  std::unique_lock lock(FMutex);
  for (;;) {
    while (!FSync.empty()) RunSyncLocked(lock);
    if (done()) return;
    FChanged.wait(lock, [this] { return !FSync.empty() || FWoken; });
    FWoken = false;
  }
}

}  // namespace tovrin
