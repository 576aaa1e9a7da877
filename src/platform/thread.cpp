#include "platform/thread.h"

namespace tovrin {

TThread::~TThread() {
  WaitFor();
}

void TThread::Start(TThreadPriority priority) {
  FPriority = priority;
  FThread = std::thread([this] { Run(); });
}

void TThread::Run() {
  try {
    Execute();
  } catch (...) {
    FFatalException = std::current_exception();
  }
  if (OnTerminate) {
    try {
      Synchronize(OnTerminate);
    } catch (...) {
      // An end handler's error has nobody to go to in a worker; it is dropped, as the
      // framework's own thread procedure does.
    }
  }
  FFinished.store(true);
  FApplication.WakeMainThread();
}

void TThread::WaitFor() {
  if (!FThread.joinable()) return;
  if (FApplication.IsMainThread()) {
    FApplication.ServeSynchronizeUntil([this] { return FFinished.load(); });
  }
  FThread.join();
}

}  // namespace tovrin
