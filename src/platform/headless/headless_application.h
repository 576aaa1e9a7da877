// THeadlessApplication: the application object of the off-screen back end (tests, rendering).
//
// Two clocks:
//   Virtual (the default): the tick count moves only when the message pump says so, so loops
//     that wait for time run instantly and give the same result on every run:
//       ProcessMessages()    advances the clock by MsPerPump() (0 by default), then runs what
//                            is pending;
//       WaitMessage(t)       returns at once if something is pending; otherwise jumps the clock
//                            to the first scheduled message due within t and returns true, or
//                            jumps it by t and returns false; with t = Infinite and nothing
//                            scheduled it blocks for real until another thread posts;
//       Sleep(ms)            advances the clock by ms at once and records ms in Sleeps();
//       HandleMessage()      runs one message and advances the clock by MsPerPump().
//   Real: the tick count is the steady clock's milliseconds and the waits are real waits; used
//     to measure how much CPU time waiting costs.
// Timers fire as the clock reaches them: on the virtual clock a wait jumps to the next one.
// PostAt schedules a message for a tick (a test drives "a key pressed in the middle of a
// transition" with it).
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <vector>

#include "platform/common/message_queue.h"
#include "platform/common/queued_application.h"

namespace tovrin {

class THeadlessApplication final : public TQueuedApplication {
 public:
  enum class TClockKind : uint8_t { ckVirtual, ckReal };

  explicit THeadlessApplication(TClockKind clock = TClockKind::ckVirtual);

  uint32_t TickCount() const override;
  void ProcessMessages() override;
  bool WaitMessage(uint32_t timeoutMs) override;
  void HandleMessage() override;
  void Sleep(uint32_t ms) override;
  // Also wakes the main thread's wait (as PostAt does), so that it looks at the new timer.
  uint32_t SetTimer(uint32_t intervalMs, TMessage onTimer) override;

  // Main thread: queues msg when the tick count reaches tick (compared as a wrapping
  // difference from now, so a tick up to 2^31 ms ahead counts as future).
  void PostAt(uint32_t tick, TMessage msg);

  // Virtual clock only.
  void SetTickCount(uint32_t tick) { FTick.store(tick); }
  void AdvanceClock(uint32_t ms) { FTick.fetch_add(ms); }
  uint32_t MsPerPump() const { return FMsPerPump.load(); }
  void SetMsPerPump(uint32_t ms) { FMsPerPump.store(ms); }
  // The durations passed to Sleep, in call order (any thread).
  std::vector<uint32_t> Sleeps() const;
  // How many times ProcessMessages, WaitMessage and HandleMessage were called.
  uint64_t PumpCount() const { return FPumps.load(); }

  TClockKind Clock() const { return FClock; }

 private:
  // Moves scheduled messages and timer events that are due into the queue.
  void ReleaseDueMessages();
  // Milliseconds from now to the first scheduled message or timer (0 if overdue); false if none.
  bool NextDue(uint32_t& inMs) const;

  const TClockKind FClock;
  const TMessageQueue::TClock::time_point FStart;
  std::atomic<uint32_t> FTick{0};
  std::atomic<uint32_t> FMsPerPump{0};
  std::atomic<uint64_t> FPumps{0};
  struct TScheduled {
    uint32_t Due;
    TMessage Msg;
  };
  // Scheduled messages in order of posting; main thread only. Few, so scanned linearly.
  std::vector<TScheduled> FScheduled;
  mutable std::mutex FSleepsMutex;
  std::vector<uint32_t> FSleeps;
};

}  // namespace tovrin
