// TTimerSet: the bookkeeping of the application's timers, portable (std only) so that every back
// end shares it. A back end asks it when the next timer is due (to bound its wait) and which
// timers are due now (to queue their events).
//
// Timers behave like the system's: an event is queued when the interval has passed and none of
// that timer is still waiting in the queue, so a slow handler never makes events pile up; the
// next interval counts from the moment the event was queued.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <vector>

namespace tovrin {

class TTimerSet {
 public:
  using TMessage = std::function<void()>;

  // A new timer firing every intervalMs (at least 1) from now; returns its id (never 0).
  uint32_t Add(uint32_t now, uint32_t intervalMs, TMessage onTimer);
  // Removes a timer; an event of it that is already queued does nothing when it runs.
  void Remove(uint32_t id);
  bool Empty() const { return FTimers.empty(); }

  // Milliseconds from now to the first timer that is due and not waiting in the queue (0 when
  // overdue); false when there is none.
  bool NextDue(uint32_t now, uint32_t& inMs) const;
  // The events of the timers due at now, in order of their due times; each is marked as waiting
  // until its event has run.
  std::vector<TMessage> TakeDue(uint32_t now);

 private:
  struct TState {
    uint32_t Interval = 1;
    uint32_t Due = 0;
    bool Queued = false;
    TMessage OnTimer;
  };

  // Shared with the queued events: an event whose timer is gone finds it expired and does nothing.
  std::map<uint32_t, std::shared_ptr<TState>> FTimers;
  uint32_t FNextId = 1;
};

}  // namespace tovrin
