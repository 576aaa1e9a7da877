#include "platform/common/timer_set.h"

#include <algorithm>

namespace tovrin {

namespace {

// Wrapping difference: positive when tick lies after now.
int32_t Until(uint32_t now, uint32_t tick) {
  return static_cast<int32_t>(tick - now);
}

}  // namespace

uint32_t TTimerSet::Add(uint32_t now, uint32_t intervalMs, TMessage onTimer) {
  auto state = std::make_shared<TState>();
  state->Interval = std::max<uint32_t>(1, intervalMs);
  state->Due = now + state->Interval;
  state->OnTimer = std::move(onTimer);
  uint32_t id = FNextId++;
  if (id == 0) id = FNextId++;
  FTimers.emplace(id, std::move(state));
  return id;
}

void TTimerSet::Remove(uint32_t id) {
  FTimers.erase(id);
}

bool TTimerSet::NextDue(uint32_t now, uint32_t& inMs) const {
  bool any = false;
  int32_t best = INT32_MAX;
  for (const auto& [id, state] : FTimers) {
    if (state->Queued) continue;
    any = true;
    best = std::min(best, std::max(0, Until(now, state->Due)));
  }
  inMs = any ? static_cast<uint32_t>(best) : 0;
  return any;
}

std::vector<TTimerSet::TMessage> TTimerSet::TakeDue(uint32_t now) {
  std::vector<std::pair<int32_t, TMessage>> due;
  for (auto& [id, state] : FTimers) {
    if (state->Queued || Until(now, state->Due) > 0) continue;
    state->Queued = true;
    const int32_t late = -Until(now, state->Due);
    state->Due = now + state->Interval;
    std::weak_ptr<TState> weak = state;
    due.emplace_back(late, [weak] {
      const std::shared_ptr<TState> alive = weak.lock();
      if (!alive) return;
      alive->Queued = false;
      // A copy: the handler may replace or remove its own timer.
      const TMessage handler = alive->OnTimer;
      if (handler) handler();
    });
  }
  std::stable_sort(due.begin(), due.end(),
                   [](const auto& a, const auto& b) { return a.first > b.first; });
  std::vector<TMessage> result;
  result.reserve(due.size());
  for (auto& d : due) result.push_back(std::move(d.second));
  return result;
}

}  // namespace tovrin
