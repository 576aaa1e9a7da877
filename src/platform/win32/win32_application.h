// TWin32Application: the application object of the Win32 back end.
//
// One hidden top-level window (Handle()) belongs to the application: it owns the forms, so they
// get no task-bar button of their own, and it receives the back end's private messages: the wake
// message that runs the portable queue (posted messages and synchronize requests of TMessageQueue,
// whose OnWake posts it, at most one at a time) and the MCI notifications of the media players.
// The window, and OLE with it, is made by Initialize when a mode first needs it (a form, a sound,
// a movie, the setup dialog); a run that ends before that (a password change, a second instance,
// a preview that draws into its host's window) creates no window at all. Until the window exists
// the wake message goes to the main thread's queue.
//
// Waiting: WaitMessage and the idle wait block in MsgWaitForMultipleObjectsEx on the thread's
// native queue, bounded by the next due timer; nothing spins. Timers are the portable TTimerSet
// on timeGetTime() at 1 ms resolution (timeBeginPeriod, through TWin32Winmm), so a transition's
// 40 ms frames are not rounded up to the system's 15.6 ms ticks.
//
// Display changes: WM_DISPLAYCHANGE, WM_DPICHANGED and WM_SETTINGCHANGE for the work area, which
// the system sends to every top-level window, are noted by whichever of the back end's windows
// gets them (NoteDisplayMessage); OnDisplayChange runs once for them, later, from the portable
// queue, so never inside the system's broadcast and once however many windows were told.
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
#include "platform/win32/win32_winmm.h"

namespace tovrin {

// OLE (COM) on the calling thread, from Initialize to the object's end.
class TWin32OleScope {
 public:
  TWin32OleScope() = default;
  ~TWin32OleScope();
  TWin32OleScope(const TWin32OleScope&) = delete;
  TWin32OleScope& operator=(const TWin32OleScope&) = delete;

  // Initialises OLE once; later calls do nothing.
  void Initialize();

 private:
  bool FCalled = false;
  bool FOk = false;
};

// OLE is the first base, so that it is uninitialised only after everything the application holds
// (queued messages included) has been released.
class TWin32Application final : private TWin32OleScope, public TQueuedApplication {
 public:
  // The calling thread becomes the main thread. No window exists yet (see Initialize).
  TWin32Application();
  ~TWin32Application() override;
  TWin32Application(const TWin32Application&) = delete;
  TWin32Application& operator=(const TWin32Application&) = delete;

  uint32_t TickCount() const override;
  void ProcessMessages() override;
  bool WaitMessage(uint32_t timeoutMs) override;
  void HandleMessage() override;
  void Sleep(uint32_t ms) override { ::Sleep(ms); }

  // Main thread: initialises OLE (COM) on the main thread and makes the application's window,
  // once. The back end calls it before anything that needs either.
  void Initialize();
  // The application's window (made by Initialize on the first call); main thread only.
  HWND Handle() {
    if (!FHandle.load()) Initialize();
    return FHandle.load();
  }
  // The multimedia library (timer resolution, MCI).
  const TWin32Winmm& Winmm() const { return FWinmm; }
  HINSTANCE Instance() const { return FInstance; }

  // MCI notifications (MM_MCINOTIFY) for deviceId go to handler; an empty handler unregisters.
  void SetMciHandler(UINT deviceId, std::function<void(WPARAM)> handler);
  // A dialog window whose keys (Tab, Enter) IsDialogMessage handles in the loop; nullptr: none.
  void SetDialogWindow(HWND dialog) { FDialog = dialog; }

  // A window's message: when it tells of a display change, OnDisplayChange is queued (once until
  // it has run). Any window procedure of the back end may call it with any message.
  void NoteDisplayMessage(UINT msg, WPARAM wParam);
  // Runs from the message loop after display changes; the screen sets it.
  std::function<void()> OnDisplayChange;

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

  TWin32Winmm FWinmm;
  HINSTANCE FInstance;
  DWORD FMainThreadId;
  // Written once by the main thread; read by OnWake on any thread.
  std::atomic<HWND> FHandle{nullptr};
  HWND FDialog = nullptr;
  std::atomic<bool> FWakePosted{false};
  // OnDisplayChange is queued and has not run yet.
  bool FDisplayChangeQueued = false;
  // Depth of our own native dispatching; the wake message leaves the queue to it.
  int FPumpDepth = 0;
  std::map<UINT, std::function<void(WPARAM)>> FMciHandlers;
};

}  // namespace tovrin
