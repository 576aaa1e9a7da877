#include "platform/sdl/sdl_signals.h"

#include <pthread.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <initializer_list>

namespace tovrin {

void AddEndingSignals(sigset_t& set) {
  for (const int signal : {SIGTERM, SIGINT, SIGHUP, SIGQUIT}) sigaddset(&set, signal);
}

TSignalBlock::TSignalBlock() {
  sigset_t set;
  sigemptyset(&set);
  AddEndingSignals(set);
  FFd = signalfd(-1, &set, SFD_NONBLOCK | SFD_CLOEXEC);
  if (FFd < 0) {
    sigemptyset(&FPrevious);
    return;
  }
  pthread_sigmask(SIG_BLOCK, &set, &FPrevious);
}

TSignalBlock::~TSignalBlock() {
  if (FFd < 0) return;
  close(FFd);
  pthread_sigmask(SIG_SETMASK, &FPrevious, nullptr);
}

}  // namespace tovrin
