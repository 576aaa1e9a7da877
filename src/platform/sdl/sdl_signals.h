// TSignalBlock: the signals that end a program (SIGTERM, SIGINT, SIGHUP, SIGQUIT) read as data
// instead of interrupting it, so that a show ends in order (its media folder removed) whichever
// one its host, a terminal or a lost session sends.
//
// Made first thing in the main thread, before any other thread exists (SDL's, the audio
// thread, the toolkit's), it blocks these signals in the calling thread; threads started later
// inherit the mask, so the signals stay pending for the whole process and reach it only through
// the signalfd, which the message loop reads. Nothing runs in signal context. Children started
// with posix_spawn get the default mask back (see TSdlSystemServices::ShellOpen).
#pragma once

#include <signal.h>

namespace tovrin {

// Adds the signals TSignalBlock takes to set.
void AddEndingSignals(sigset_t& set);

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
