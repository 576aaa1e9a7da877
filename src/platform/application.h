// The application object: the one place where code above the platform layer gets the time and
// lets messages run.
//
// Threads: everything here is called from the main thread except Post, Synchronize,
// WakeMainThread, Sleep, TickCount and IsMainThread, which any thread may call.
//
// Back ends: headless/ (a virtual or the real clock), sdl/ and win32/, each built on
// TQueuedApplication (common/queued_application.h), which holds what they share. Code above the
// platform layer sees only this interface and never learns which one runs.
#pragma once

#include <cstdint>
#include <functional>

namespace tovrin {

class TApplication {
 public:
  using TMessage = std::function<void()>;
  // Timeout meaning "wait until something arrives".
  static constexpr uint32_t Infinite = 0xFFFFFFFFu;

  virtual ~TApplication() = default;

  // Milliseconds since a fixed moment, 32 bits, wrapping. Take differences as uint32_t.
  virtual uint32_t TickCount() const = 0;

  // Runs the messages and synchronize requests pending at the moment of the call, then returns;
  // returns at once when none are pending. Never waits.
  virtual void ProcessMessages() = 0;
  // Blocks until a message or synchronize request is pending or timeoutMs milliseconds have
  // passed, without running anything. Returns true when something is pending. A screen saver
  // waits here between frames so that it does not burn a core.
  virtual bool WaitMessage(uint32_t timeoutMs) = 0;
  // Waits for the next message and runs it; when the queue has become empty, runs the idle
  // handler once before waiting.
  virtual void HandleMessage() = 0;
  // HandleMessage until Terminate has been called.
  virtual void Run() = 0;
  virtual void Terminate() = 0;
  virtual bool Terminated() const = 0;

  // Queues msg to run in the main thread from its message loop (posting a message). Any thread.
  // Not named PostMessage: the Win32 headers make that name a macro.
  virtual void Post(TMessage msg) = 0;

  // Runs fn in the main thread and returns when it has run; an exception it raises is passed
  // back to the caller. Called from the main thread itself, runs fn directly.
  virtual void Synchronize(const TMessage& fn) = 0;
  // Main thread: runs synchronize requests as they arrive (and nothing else) until done() is
  // true. done() is evaluated after every request and after every WakeMainThread.
  virtual void ServeSynchronizeUntil(const std::function<bool()>& done) = 0;
  // Makes a pending ServeSynchronizeUntil or WaitMessage re-examine its condition. Any thread.
  virtual void WakeMainThread() = 0;

  // True in the thread that created the application.
  virtual bool IsMainThread() const = 0;
  // Pauses the calling thread (a worker's frame timing) for ms milliseconds.
  virtual void Sleep(uint32_t ms) = 0;

  // Timers: onTimer runs in the main thread, from the message loop, every intervalMs while the
  // timer exists; events never pile up (TTimerSet has the exact rules). Returns the timer's id.
  // Main thread only; TTimer is the form to use.
  virtual uint32_t SetTimer(uint32_t intervalMs, TMessage onTimer) = 0;
  virtual void KillTimer(uint32_t id) = 0;

  // The idle event: runs in the main thread each time the queue has been emptied by
  // HandleMessage.
  void SetOnIdle(TMessage handler) { FOnIdle = std::move(handler); }

 protected:
  void DoIdle() {
    if (FOnIdle) FOnIdle();
  }

 private:
  TMessage FOnIdle;
};

}  // namespace tovrin
