#include "memory_budget.h"

#include <algorithm>
#include <utility>

namespace tovrin {

TMemoryBudget::TReservation::TReservation(TReservation&& other) noexcept
    : FBudget(std::exchange(other.FBudget, nullptr)), FBytes(std::exchange(other.FBytes, 0)) {}

TMemoryBudget::TReservation& TMemoryBudget::TReservation::operator=(TReservation&& other) noexcept {
  if (this != &other) {
    Release();
    FBudget = std::exchange(other.FBudget, nullptr);
    FBytes = std::exchange(other.FBytes, 0);
  }
  return *this;
}

TMemoryBudget::TReservation::~TReservation() {
  Release();
}

void TMemoryBudget::TReservation::Release() {
  if (FBudget != nullptr) std::exchange(FBudget, nullptr)->Release(std::exchange(FBytes, 0));
}

TMemoryBudget::TReservation TMemoryBudget::Reserve(int64_t bytes) {
  TRequest request{std::max<int64_t>(bytes, 0)};
  std::unique_lock lock(FLock);
  FLine.push_back(&request);
  GrantWhatFits();
  FGranted.wait(lock, [&] { return request.Granted; });
  return TReservation(*this, request.Bytes);
}

int64_t TMemoryBudget::Reserved() const {
  const std::lock_guard lock(FLock);
  return FReserved;
}

size_t TMemoryBudget::Waiting() const {
  const std::lock_guard lock(FLock);
  return FLine.size();
}

void TMemoryBudget::Release(int64_t bytes) {
  const std::lock_guard lock(FLock);
  FReserved -= bytes;
  GrantWhatFits();
}

void TMemoryBudget::GrantWhatFits() {
  bool granted = false;
  // First come, first served: a large request at the head is not overtaken by smaller ones
  // behind it, so it cannot wait for ever. Alone, any request fits.
  while (!FLine.empty() && (FReserved == 0 || FLine.front()->Bytes <= FTotal - FReserved)) {
    FReserved += FLine.front()->Bytes;
    FLine.front()->Granted = true;
    FLine.pop_front();
    granted = true;
  }
  if (granted) FGranted.notify_all();
}

}  // namespace tovrin
