// TMessageQueue: the main thread's queue of posted messages and synchronize requests, portable
// (std only) so that every back end can use it; a back end with a native queue pokes it through
// OnWake.
//
// Synchronize requests always run before posted messages: a worker blocked in Synchronize holds
// up its frame timing, a posted message does not.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <exception>
#include <functional>
#include <mutex>

namespace tovrin {

class TMessageQueue {
 public:
  using TMessage = std::function<void()>;
  using TClock = std::chrono::steady_clock;

  // Any thread.
  void Post(TMessage msg);
  // Any thread but the main one: queues fn, waits until the main thread has run it, and raises
  // its error here.
  void Synchronize(const TMessage& fn);
  // Any thread: makes a current or the next wait return and re-examine its condition.
  void Wake();

  // Main thread. True when a message or synchronize request is waiting.
  bool Pending() const;
  // Runs the items that are waiting at the moment of the call; returns how many ran. An error
  // raised by a posted message leaves the rest queued and goes to the caller.
  size_t RunPending();
  // Blocks (real time) until an item is waiting, Wake is called, or the deadline passes.
  // Returns Pending().
  bool WaitUntil(TClock::time_point deadline);
  bool WaitForever();
  // Runs synchronize requests as they come, and nothing else, until done() holds.
  void ServeSynchronizeUntil(const std::function<bool()>& done);

  // Called (from any thread) after something has been queued or Wake was called.
  std::function<void()> OnWake;

 private:
  struct TSyncRequest {
    const TMessage* Fn = nullptr;
    bool Done = false;
    std::exception_ptr Error;
  };

  bool PendingLocked() const { return !FSync.empty() || !FPosted.empty(); }
  // Runs the first synchronize request; FMutex held on entry and on return.
  void RunSyncLocked(std::unique_lock<std::mutex>& lock);
  void Notify();

  mutable std::mutex FMutex;
  std::condition_variable FChanged;
  std::deque<TSyncRequest*> FSync;
  std::deque<TMessage> FPosted;
  bool FWoken = false;
};

}  // namespace tovrin
