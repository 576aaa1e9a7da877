#include "platform/sdl/sdl_application.h"

#include <sys/eventfd.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <thread>

#include "core/errors.h"

namespace tovrin {

TSdlApplication::TSdlApplication(int signalFd)
    : FStart(TMessageQueue::TClock::now()), FSignalFd(signalFd) {
  FWakeFd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  if (FWakeFd < 0) throw Exception("Cannot create the message loop's wake-up descriptor");
  // Writing an eventfd is safe from any thread; the loop reads it back to zero.
  const int fd = FWakeFd;
  Queue().OnWake = [fd] {
    const uint64_t one = 1;
    ssize_t written;
    do {
      written = write(fd, &one, sizeof one);
    } while (written < 0 && errno == EINTR);
  };
}

TSdlApplication::~TSdlApplication() {
  Queue().OnWake = nullptr;
  close(FWakeFd);
}

uint32_t TSdlApplication::TickCount() const {
  const auto elapsed =
      std::chrono::duration_cast<std::chrono::milliseconds>(TMessageQueue::TClock::now() - FStart);
  return static_cast<uint32_t>(elapsed.count());
}

void TSdlApplication::AddSource(TLoopSource& source) {
  if (std::find(FSources.begin(), FSources.end(), &source) == FSources.end()) {
    FSources.push_back(&source);
  }
}

void TSdlApplication::RemoveSource(TLoopSource& source) {
  std::erase(FSources, &source);
}

void TSdlApplication::ReadSignals() {
  if (FSignalFd < 0) return;
  signalfd_siginfo info;
  while (read(FSignalFd, &info, sizeof info) == static_cast<ssize_t>(sizeof info)) {
    const int signal = static_cast<int>(info.ssi_signo);
    Queue().Post([this, signal] {
      if (OnSignal) OnSignal(signal);
    });
  }
}

bool TSdlApplication::Pump(uint32_t timeoutMs, bool dispatch) {
  FFds.clear();
  FFds.push_back(pollfd{FWakeFd, POLLIN, 0});
  if (FSignalFd >= 0) FFds.push_back(pollfd{FSignalFd, POLLIN, 0});
  const size_t fixed = FFds.size();
  // Where each source's descriptors start in FFds.
  std::vector<size_t> starts;
  starts.reserve(FSources.size() + 1);
  const std::vector<TLoopSource*> sources = FSources;  // a handler may add or remove one
  uint64_t wait = timeoutMs;
  for (TLoopSource* source : sources) {
    starts.push_back(FFds.size());
    wait = std::min<uint64_t>(wait, source->Prepare(FFds));
  }
  starts.push_back(FFds.size());
  uint32_t timerIn = 0;
  if (Timers().NextDue(TickCount(), timerIn)) wait = std::min<uint64_t>(wait, timerIn);
  if (Queue().Pending() || (FSourcePending && !dispatch)) wait = 0;

  const int timeout = wait == Infinite ? -1 : static_cast<int>(std::min<uint64_t>(wait, INT32_MAX));
  if (timeout != 0) ++FWaitCount;
  int ready;
  do {
    ready = poll(FFds.data(), FFds.size(), timeout);
  } while (ready < 0 && errno == EINTR);

  if (FFds[0].revents & POLLIN) {
    uint64_t count;
    while (read(FWakeFd, &count, sizeof count) > 0) {
    }
  }
  if (fixed > 1 && (FFds[1].revents & POLLIN)) ReadSignals();

  // Copied: a dispatching source may run handlers that pump the loop again.
  const std::vector<pollfd> results(FFds.begin() + static_cast<ptrdiff_t>(fixed), FFds.end());
  bool sourcePending = false;
  for (size_t i = 0; i < sources.size(); ++i) {
    const size_t begin = starts[i] - fixed;
    const size_t count = starts[i + 1] - starts[i];
    // A source removed by a handler of an earlier one is skipped.
    if (std::find(FSources.begin(), FSources.end(), sources[i]) == FSources.end()) continue;
    if (sources[i]->Check(results.data() + begin, count, dispatch)) sourcePending = true;
  }
  FSourcePending = sourcePending;
  QueueDueTimers();
  return FSourcePending || Queue().Pending();
}

void TSdlApplication::ProcessMessages() {
  Pump(0, true);
  Queue().RunPending();
}

bool TSdlApplication::WaitMessage(uint32_t timeoutMs) {
  if (timeoutMs == Infinite) {
    // Timers wake the wait without making anything pending until their event is queued; keep
    // waiting until something is.
    while (!Pump(Infinite, false)) {
    }
    return true;
  }
  const uint32_t start = TickCount();
  for (;;) {
    const uint32_t elapsed = TickCount() - start;
    const uint32_t left = elapsed >= timeoutMs ? 0 : timeoutMs - elapsed;
    if (Pump(left, false)) return true;
    if (left == 0) return false;
  }
}

void TSdlApplication::HandleMessage() {
  if (!Pump(0, false)) {
    DoIdle();
    if (Terminated()) return;
    if (!Queue().Pending()) WaitMessage(Infinite);
  }
  ProcessMessages();
}

void TSdlApplication::Sleep(uint32_t ms) {
  std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

}  // namespace tovrin
