// TCanvasLock: the per-canvas lock that serialises drawing on one surface between threads.
//
// Lock() is re-entrant within one thread (a thread that holds the lock may take it again and
// must release it as often). TryLock() never waits and fails whenever the lock is held, by any
// thread, the calling one included: code that must not disturb a drawing in progress (clearing
// the shown frame) uses it to step aside.
#pragma once

#include <condition_variable>
#include <mutex>
#include <thread>

namespace tovrin {

class TCanvasLock {
 public:
  TCanvasLock() = default;
  TCanvasLock(const TCanvasLock&) = delete;
  TCanvasLock& operator=(const TCanvasLock&) = delete;

  void Lock();
  // Takes the lock only if nobody holds it; returns whether it did.
  bool TryLock();
  // Releases one Lock or successful TryLock of the calling thread.
  void Unlock();
  bool Locked() const;

 private:
  mutable std::mutex FMutex;
  std::condition_variable FReleased;
  std::thread::id FOwner;
  int FCount = 0;
};

// Holds a TCanvasLock for a scope.
class TCanvasLockGuard {
 public:
  explicit TCanvasLockGuard(TCanvasLock& lock) : FLock(lock) { FLock.Lock(); }
  ~TCanvasLockGuard() { FLock.Unlock(); }
  TCanvasLockGuard(const TCanvasLockGuard&) = delete;
  TCanvasLockGuard& operator=(const TCanvasLockGuard&) = delete;

 private:
  TCanvasLock& FLock;
};

}  // namespace tovrin
