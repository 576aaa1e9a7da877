#include "platform/canvas_lock.h"

#include <cassert>

namespace tovrin {

void TCanvasLock::Lock() {
  std::unique_lock lock(FMutex);
  const auto self = std::this_thread::get_id();
  if (FCount > 0 && FOwner == self) {
    ++FCount;
    return;
  }
  FReleased.wait(lock, [this] { return FCount == 0; });
  FOwner = self;
  FCount = 1;
}

bool TCanvasLock::TryLock() {
  std::lock_guard lock(FMutex);
  if (FCount > 0) return false;
  FOwner = std::this_thread::get_id();
  FCount = 1;
  return true;
}

void TCanvasLock::Unlock() {
  std::lock_guard lock(FMutex);
  assert(FCount > 0 && FOwner == std::this_thread::get_id());
  if (FCount == 0) return;
  if (--FCount == 0) {
    FOwner = std::thread::id{};
    FReleased.notify_one();
  }
}

bool TCanvasLock::Locked() const {
  std::lock_guard lock(FMutex);
  return FCount > 0;
}

}  // namespace tovrin
