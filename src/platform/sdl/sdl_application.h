// TSdlApplication: the application object of the Linux back end.
//
// One loop waits with poll() on everything that can wake the main thread, and never spins:
//
//   wake descriptor    an eventfd that TMessageQueue's OnWake writes (posts and synchronize
//                      requests from any thread, the end of a sound on the audio thread);
//   signal descriptor  a signalfd for SIGTERM and SIGINT (blocked in every thread, see
//                      TSignalBlock), so a signal is read as data by the loop and no handler
//                      runs inside an interrupted call;
//   sources            the display connection (SDL's events) and, while a setup dialog is open,
//                      the toolkit's main context; each says which descriptors it waits on and
//                      how long it may sleep;
//   timers             TTimerSet bounds the wait by the next due timer.
//
// SDL_WaitEventTimeout is not used: its cross-thread wake-up is an X client message sent to
// the first SDL window, and in a window another program hands over (the screen-saver host's)
// that message goes to the window's creator, so a posted message would wait for the timeout;
// without any window it falls back to sleeping 1 ms at a time.
//
// WaitMessage only collects (SDL_PumpEvents moves display events into SDL's queue); handlers
// run in ProcessMessages and HandleMessage, as the interface says.
#pragma once

#include <poll.h>

#include <cstdint>
#include <functional>
#include <vector>

#include "platform/common/message_queue.h"
#include "platform/common/queued_application.h"

namespace tovrin {

// Something besides the queue that the loop waits on.
class TLoopSource {
 public:
  virtual ~TLoopSource() = default;
  // Adds the descriptors to wait on and returns how long the wait may last at most
  // (TApplication::Infinite when the source does not care; 0 when events are already waiting).
  virtual uint32_t Prepare(std::vector<pollfd>& fds) = 0;
  // After the wait: fds are the source's descriptors with their results. With dispatch false
  // the source only collects what has arrived and returns whether anything waits to be
  // delivered; with dispatch true it delivers it (runs handlers) and returns false.
  virtual bool Check(const pollfd* fds, size_t count, bool dispatch) = 0;
};

class TSdlApplication final : public TQueuedApplication {
 public:
  // signalFd: a signalfd the loop reads (-1 for none); each signal read runs OnSignal from the
  // queue. The descriptor stays the caller's.
  explicit TSdlApplication(int signalFd = -1);
  ~TSdlApplication() override;
  TSdlApplication(const TSdlApplication&) = delete;
  TSdlApplication& operator=(const TSdlApplication&) = delete;

  uint32_t TickCount() const override;
  void ProcessMessages() override;
  bool WaitMessage(uint32_t timeoutMs) override;
  void HandleMessage() override;
  void Sleep(uint32_t ms) override;

  // Sources are registered for their life; the application never owns them.
  void AddSource(TLoopSource& source);
  void RemoveSource(TLoopSource& source);

  // Runs (from the queue) for each SIGTERM or SIGINT read; the signal's number is passed.
  std::function<void(int)> OnSignal;

  // How many times the loop has waited in poll() with a non-zero timeout (a measure of wake-ups).
  uint64_t WaitCount() const { return FWaitCount; }

 private:
  // One pass: waits up to timeoutMs for anything, reads the wake and signal descriptors, lets
  // every source collect (or deliver, with dispatch) and queues the due timers. Returns whether
  // anything is waiting to run.
  bool Pump(uint32_t timeoutMs, bool dispatch);
  void ReadSignals();

  const TMessageQueue::TClock::time_point FStart;
  const int FSignalFd;
  int FWakeFd = -1;
  std::vector<TLoopSource*> FSources;
  std::vector<pollfd> FFds;
  // Whether the last collecting pump left source events undelivered.
  bool FSourcePending = false;
  uint64_t FWaitCount = 0;
};

}  // namespace tovrin
