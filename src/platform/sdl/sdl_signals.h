// TSignalBlock: SIGTERM and SIGINT read as data instead of interrupting the program.
//
// Made first thing in the main thread, before any other thread exists (SDL's, the audio
// thread, the toolkit's), it blocks both signals in the calling thread; threads started later
// inherit the mask, so the signals stay pending for the whole process and reach it only through
// the signalfd, which the message loop reads. Nothing runs in signal context. Children started
// with posix_spawn get the default mask back (see TSdlSystemServices::ShellOpen).
#pragma once

#include <signal.h>

namespace tovrin {

class TSignalBlock {
 public:
  TSignalBlock();
  ~TSignalBlock();
  TSignalBlock(const TSignalBlock&) = delete;
  TSignalBlock& operator=(const TSignalBlock&) = delete;

  // The signalfd (non-blocking, close-on-exec), or -1 when it could not be made (the signals
  // then keep their default action).
  int Fd() const { return FFd; }

 private:
  sigset_t FPrevious;
  int FFd = -1;
};

}  // namespace tovrin
