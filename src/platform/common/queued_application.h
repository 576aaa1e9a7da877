// TQueuedApplication: the part of the application object that every back end shares, portable
// (std only): the main thread's TMessageQueue, the TTimerSet, the terminated flag and the main
// thread's identity, with the methods that are the same everywhere (posting, synchronizing,
// waking, timers, Terminate and Run).
//
// A back end derives from it and adds what its system decides: the tick count, how the main
// thread waits and is woken (it sets Queue().OnWake when a wait of its own must be interrupted),
// the message pump (ProcessMessages, WaitMessage, HandleMessage) and Sleep. Its pump moves due
// timer events into the queue with QueueDueTimers and bounds its waits with Timers().NextDue.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <thread>

#include "platform/application.h"
#include "platform/common/message_queue.h"
#include "platform/common/timer_set.h"

namespace tovrin {

class TQueuedApplication : public TApplication {
 public:
  TQueuedApplication(const TQueuedApplication&) = delete;
  TQueuedApplication& operator=(const TQueuedApplication&) = delete;

  // HandleMessage until Terminate has been called.
  void Run() override;
  // Sets the terminated flag and wakes the main thread's wait.
  void Terminate() override;
  bool Terminated() const override { return FTerminated.load(); }
  void Post(TMessage msg) override { FQueue.Post(std::move(msg)); }
  void Synchronize(const TMessage& fn) override;
  void ServeSynchronizeUntil(const std::function<bool()>& done) override;
  void WakeMainThread() override { FQueue.Wake(); }
  bool IsMainThread() const override { return std::this_thread::get_id() == FMainThread; }
  // Timers count on TickCount(); an event is queued by the pump's QueueDueTimers.
  uint32_t SetTimer(uint32_t intervalMs, TMessage onTimer) override;
  void KillTimer(uint32_t id) override { FTimers.Remove(id); }

 protected:
  // The calling thread becomes the main thread.
  TQueuedApplication() : FMainThread(std::this_thread::get_id()) {}
  ~TQueuedApplication() override = default;

  TMessageQueue& Queue() { return FQueue; }
  const TMessageQueue& Queue() const { return FQueue; }
  // Main thread only.
  TTimerSet& Timers() { return FTimers; }
  const TTimerSet& Timers() const { return FTimers; }
  // Main thread: posts the events of the timers due at TickCount() to the queue.
  void QueueDueTimers();

 private:
  const std::thread::id FMainThread;
  std::atomic<bool> FTerminated{false};
  TMessageQueue FQueue;
  TTimerSet FTimers;
};

}  // namespace tovrin
