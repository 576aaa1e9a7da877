// TWin32Application: the application object of the Win32 back end.
//
// One hidden top-level window (Handle()) belongs to the application: it owns the forms, so they
// get no task-bar button of their own, and it receives the back end's private messages: the wake
// message that runs the portable queue (posted messages and synchronize requests of TMessageQueue,
// whose OnWake posts it, at most one at a time) and the MCI notifications of the media players.
//
// Waiting: WaitMessage and the idle wait block in MsgWaitForMultipleObjectsEx on the thread's
// native queue, bounded by the next due timer; nothing spins. Timers are the portable TTimerSet
// on timeGetTime() at 1 ms resolution (timeBeginPeriod), so a transition's 40 ms frames are not
// rounded up to the system's 15.6 ms ticks.
//
// Errors: every window procedure and callback of the back end runs its work through Guard(),
// which hands an escaping exception to HandleException (by default a message box with its text,
// as the framework's default report) instead of letting it cross into the system.
#pragma once

#include "platform/win32/win32_api.h"

#include <atomic>
#include <exception>
#include <functional>
#include <map>
#include <string>

#include "platform/common/queued_application.h"

namespace tovrin {

// OLE (COM) initialised on the calling thread for the object's life.
class TWin32OleScope {
 public:
  TWin32OleScope();
  ~TWin32OleScope();
  TWin32OleScope(const TWin32OleScope&) = delete;
  TWin32OleScope& operator=(const TWin32OleScope&) = delete;

 private:
  bool FOk = false;
};

// OLE is the first base, so that it is initialised before anything the application holds exists
// and uninitialised only after all of it (queued messages included) has been released.
class TWin32Application final : private TWin32OleScope, public TQueuedApplication {
 public:
  // Initialises OLE (COM) on the calling thread, which becomes the main thread.
  TWin32Application();
  ~TWin32Application() override;
  TWin32Application(const TWin32Application&) = delete;
  TWin32Application& operator=(const TWin32Application&) = delete;

  uint32_t TickCount() const override;
  void ProcessMessages() override;
  bool WaitMessage(uint32_t timeoutMs) override;
  void HandleMessage() override;
  void Sleep(uint32_t ms) override { ::Sleep(ms); }

  HWND Handle() const { return FHandle; }
  HINSTANCE Instance() const { return FInstance; }

  // MCI notifications (MM_MCINOTIFY) for deviceId go to handler; an empty handler unregisters.
  void SetMciHandler(UINT deviceId, std::function<void(WPARAM)> handler);
  // A dialog window whose keys (Tab, Enter) IsDialogMessage handles in the loop; nullptr: none.
  void SetDialogWindow(HWND dialog) { FDialog = dialog; }

  // Runs fn and reports an exception it raises instead of passing it on.
  void Guard(const std::function<void()>& fn) noexcept;
  // The framework's default report of an error that escaped an event handler: a message box
  // with its text, or OnException when a test has set one.
  void HandleException(std::exception_ptr error) noexcept;
  std::function<void(const std::string&)> OnException;

 private:
  static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  // Removes and dispatches one native message; false when there was none.
  bool DispatchOne();
  // Dispatches up to limit native messages, as the application's own pump (FPumpDepth).
  void DispatchNative(int limit);
  // True when the native queue holds input or a message.
  bool NativePending() const;
  // Runs the portable queue's pending items (the wake message's work).
  void RunQueue();

  HINSTANCE FInstance;
  HWND FHandle = nullptr;
  HWND FDialog = nullptr;
  std::atomic<bool> FWakePosted{false};
  // Depth of our own native dispatching; the wake message leaves the queue to it.
  int FPumpDepth = 0;
  std::map<UINT, std::function<void(WPARAM)>> FMciHandlers;
};

}  // namespace tovrin
