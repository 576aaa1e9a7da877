// TThread: a worker thread that hands work to the main thread through the application's
// synchronize queue.
//
// Life of a thread:
//   Start()         the worker runs Execute();
//   Execute returns (or raises: the error is kept in FatalException() and goes no further);
//   OnTerminate     runs in the main thread, through Synchronize, if assigned;
//   Finished()      becomes true; WaitFor() returns; the object may be destroyed.
// A derived class must call WaitFor() in its own destructor (TThread's destructor does it too,
// but by then the derived part that Execute uses is gone). Never destroy a thread from its own
// OnTerminate handler: the worker is still inside Synchronize at that moment.
#pragma once

#include <atomic>
#include <cstdint>
#include <exception>
#include <functional>
#include <thread>

#include "platform/application.h"

namespace tovrin {

enum class TThreadPriority : uint8_t {
  tpIdle,
  tpLowest,
  tpLower,
  tpNormal,
  tpHigher,
  tpHighest,
  tpTimeCritical
};

class TThread {
 public:
  explicit TThread(TApplication& application) : FApplication(application) {}
  virtual ~TThread();
  TThread(const TThread&) = delete;
  TThread& operator=(const TThread&) = delete;

  // Starts the worker. The priority is a hint the back end may apply; the headless back end
  // keeps the operating system's default.
  void Start(TThreadPriority priority = TThreadPriority::tpNormal);
  // Asks Execute to end; Execute polls Terminated().
  void Terminate() { FTerminated.store(true); }
  bool Terminated() const { return FTerminated.load(); }
  bool Finished() const { return FFinished.load(); }
  TThreadPriority Priority() const { return FPriority; }
  // Waits until the worker has finished, OnTerminate included. From the main thread it keeps
  // serving synchronize requests meanwhile, so a worker waiting in Synchronize cannot dead-lock
  // the wait. Returns at once for a thread never started.
  void WaitFor();
  // The error that ended Execute, if any.
  std::exception_ptr FatalException() const { return FFatalException; }

  // Runs in the main thread after Execute has returned.
  std::function<void()> OnTerminate;

 protected:
  virtual void Execute() = 0;
  // Runs fn in the main thread and waits for it; its error is raised here.
  void Synchronize(const std::function<void()>& fn) { FApplication.Synchronize(fn); }
  TApplication& Application() const { return FApplication; }

 private:
  void Run();

  TApplication& FApplication;
  std::thread FThread;
  std::atomic<bool> FTerminated{false};
  std::atomic<bool> FFinished{false};
  TThreadPriority FPriority = TThreadPriority::tpNormal;
  std::exception_ptr FFatalException;
};

}  // namespace tovrin
