#include "show/shuffle_order.h"

#include <utility>

#include "core/random.h"

namespace tovrin {

void TShuffleOrder::DrawRound(const std::function<bool(int32_t)>& excluded) {
  FRound.clear();
  FPosition = 0;
  for (int32_t i = 0; i < FCount; ++i) {
    if (!excluded(i)) FRound.push_back(i);
  }
  const int32_t size = static_cast<int32_t>(FRound.size());
  // Fisher-Yates: each position from the last down takes one of the pictures not yet placed.
  for (int32_t i = size - 1; i > 0; --i) {
    std::swap(FRound[static_cast<size_t>(i)], FRound[static_cast<size_t>(Random(i + 1))]);
  }
  // The picture just shown does not come again at once: it swaps places with another one of the
  // round, any but the first.
  if (size > 1 && FRound.front() == FLast) {
    std::swap(FRound.front(), FRound[static_cast<size_t>(1 + Random(size - 1))]);
  }
}

bool TShuffleOrder::RoundDone(const std::function<bool(int32_t)>& excluded) {
  while (FPosition < FRound.size() && excluded(FRound[FPosition])) ++FPosition;
  return FPosition >= FRound.size();
}

int32_t TShuffleOrder::Next(const std::function<bool(int32_t)>& excluded) {
  while (FPosition < FRound.size()) {
    const int32_t index = FRound[FPosition++];
    if (!excluded(index)) return FLast = index;
  }
  // A round drawn fresh holds only pictures not excluded: its first one is the answer.
  DrawRound(excluded);
  ++FRounds;
  if (FRound.empty()) return -1;
  FPosition = 1;
  return FLast = FRound.front();
}

}  // namespace tovrin
