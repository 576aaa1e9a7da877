#include "platform/headless/headless_application.h"

#include <algorithm>
#include <chrono>
#include <thread>

namespace tovrin {

namespace {

// True when tick a is at or after tick b on the wrapping 32-bit clock.
bool AtOrAfter(uint32_t a, uint32_t b) {
  return static_cast<int32_t>(a - b) >= 0;
}

}  // namespace

THeadlessApplication::THeadlessApplication(TClockKind clock)
    : FClock(clock), FStart(TMessageQueue::TClock::now()) {}

uint32_t THeadlessApplication::TickCount() const {
  if (FClock == TClockKind::ckVirtual) return FTick.load();
  const auto elapsed =
      std::chrono::duration_cast<std::chrono::milliseconds>(TMessageQueue::TClock::now() - FStart);
  return static_cast<uint32_t>(elapsed.count());
}

void THeadlessApplication::ReleaseDueMessages() {
  QueueDueTimers();
  if (FScheduled.empty()) return;
  const uint32_t now = TickCount();
  // Keep posting order among messages due at once.
  auto due = std::stable_partition(FScheduled.begin(), FScheduled.end(),
                                   [now](const TScheduled& s) { return !AtOrAfter(now, s.Due); });
  std::vector<TScheduled> released(std::make_move_iterator(due),
                                   std::make_move_iterator(FScheduled.end()));
  FScheduled.erase(due, FScheduled.end());
  std::stable_sort(released.begin(), released.end(),
                   [now](const TScheduled& a, const TScheduled& b) {
                     return static_cast<int32_t>(a.Due - now) < static_cast<int32_t>(b.Due - now);
                   });
  for (auto& s : released) Queue().Post(std::move(s.Msg));
}

bool THeadlessApplication::NextDue(uint32_t& inMs) const {
  const uint32_t now = TickCount();
  uint32_t timerIn = 0;
  const bool timer = Timers().NextDue(now, timerIn);
  if (FScheduled.empty()) {
    inMs = timerIn;
    return timer;
  }
  int64_t best = timer ? timerIn : INT64_MAX;
  for (const auto& s : FScheduled) {
    best = std::min<int64_t>(best, std::max<int32_t>(0, static_cast<int32_t>(s.Due - now)));
  }
  inMs = static_cast<uint32_t>(best);
  return true;
}

void THeadlessApplication::ProcessMessages() {
  ++FPumps;
  if (FClock == TClockKind::ckVirtual) FTick.fetch_add(FMsPerPump.load());
  ReleaseDueMessages();
  Queue().RunPending();
}

bool THeadlessApplication::WaitMessage(uint32_t timeoutMs) {
  ++FPumps;
  ReleaseDueMessages();
  if (Queue().Pending()) return true;
  uint32_t dueIn = 0;
  const bool scheduled = NextDue(dueIn);
  if (FClock == TClockKind::ckVirtual) {
    if (scheduled && (timeoutMs == Infinite || dueIn <= timeoutMs)) {
      FTick.fetch_add(dueIn);
      ReleaseDueMessages();
      return true;
    }
    if (timeoutMs == Infinite) return Queue().WaitForever();
    FTick.fetch_add(timeoutMs);
    return Queue().Pending();
  }
  // Real clock: wait for a post, a wake, the first scheduled message or the timeout.
  uint32_t wait = timeoutMs;
  if (scheduled) wait = std::min(wait, dueIn);
  bool pending;
  if (wait == Infinite) {
    pending = Queue().WaitForever();
  } else {
    pending = Queue().WaitUntil(TMessageQueue::TClock::now() + std::chrono::milliseconds(wait));
  }
  ReleaseDueMessages();
  return pending || Queue().Pending();
}

void THeadlessApplication::HandleMessage() {
  ReleaseDueMessages();
  if (!Queue().Pending()) {
    DoIdle();
    if (Terminated()) return;
    WaitMessage(Infinite);
  }
  if (FClock == TClockKind::ckVirtual) FTick.fetch_add(FMsPerPump.load());
  ++FPumps;
  Queue().RunPending();
}

void THeadlessApplication::PostAt(uint32_t tick, TMessage msg) {
  FScheduled.push_back(TScheduled{tick, std::move(msg)});
  Queue().Wake();
}

void THeadlessApplication::Sleep(uint32_t ms) {
  {
    std::lock_guard lock(FSleepsMutex);
    FSleeps.push_back(ms);
  }
  if (FClock == TClockKind::ckVirtual) {
    FTick.fetch_add(ms);
  } else {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
  }
}

uint32_t THeadlessApplication::SetTimer(uint32_t intervalMs, TMessage onTimer) {
  const uint32_t id = TQueuedApplication::SetTimer(intervalMs, std::move(onTimer));
  WakeMainThread();
  return id;
}

std::vector<uint32_t> THeadlessApplication::Sleeps() const {
  std::lock_guard lock(FSleepsMutex);
  return FSleeps;
}

}  // namespace tovrin
