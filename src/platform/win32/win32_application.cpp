#include "platform/win32/win32_application.h"

#include <ole2.h>

#include <algorithm>

#include "core/paths.h"
#include "platform/win32/win32_window_class.h"

namespace tovrin {

namespace {

constexpr char kWindowClass[] = "TovrinApplication";
// The wake message: the portable queue has something to run.
constexpr UINT WM_TOVRIN_WAKE = WM_APP + 1;
// A pump handles at most this many native messages, so a window that keeps posting to itself
// cannot hold ProcessMessages forever.
constexpr int kMaxMessagesPerPump = 512;

std::string ProgramTitle() {
  char path[MAX_PATH] = {};
  const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string name = ExtractFileName(std::string(path, std::min<DWORD>(n, MAX_PATH)));
  const size_t dot = name.rfind('.');
  if (dot != std::string::npos && dot > 0) name.resize(dot);
  return name;
}

}  // namespace

void TWin32OleScope::Initialize() {
  if (FCalled) return;
  FCalled = true;
  FOk = SUCCEEDED(OleInitialize(nullptr));
}

TWin32OleScope::~TWin32OleScope() {
  if (FOk) OleUninitialize();
}

TWin32Application::TWin32Application()
    : FInstance(GetModuleHandleA(nullptr)), FMainThreadId(GetCurrentThreadId()) {
  Queue().OnWake = [this] {
    if (FWakePosted.exchange(true)) return;
    // Before the window exists the main thread's own queue takes the message (DispatchOne).
    const HWND window = FHandle.load();
    const BOOL posted = window ? PostMessageA(window, WM_TOVRIN_WAKE, 0, 0)
                               : PostThreadMessageA(FMainThreadId, WM_TOVRIN_WAKE, 0, 0);
    if (!posted) FWakePosted.store(false);
  };
}

TWin32Application::~TWin32Application() {
  Queue().OnWake = nullptr;
  if (const HWND window = FHandle.load()) DestroyWindow(window);
}

void TWin32Application::Initialize() {
  if (FHandle.load()) return;
  TWin32OleScope::Initialize();
  RegisterWindowClass(FInstance, kWindowClass, &TWin32Application::WndProc, 0, nullptr);
  // A real (not message-only) window, so that it can own the forms.
  FHandle.store(CreateWindowExA(0, kWindowClass, ProgramTitle().c_str(), WS_POPUP, 0, 0, 0, 0,
                                nullptr, nullptr, FInstance, this));
}

LRESULT CALLBACK TWin32Application::WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (auto* self = static_cast<TWin32Application*>(WindowObject(hwnd, msg, lParam))) {
    self->NoteDisplayMessage(msg, wParam);
    switch (msg) {
      case WM_TOVRIN_WAKE:
        // Inside our own pump the queue runs once after the native messages (so a message
        // that posts again cannot keep ProcessMessages going); a foreign loop (a message box,
        // the password dialog) runs it here.
        self->FWakePosted.store(false);
        if (self->FPumpDepth == 0) self->RunQueue();
        return 0;
      case MM_MCINOTIFY: {
        const auto it = self->FMciHandlers.find(static_cast<UINT>(lParam));
        if (it != self->FMciHandlers.end()) {
          // A copy: the handler may replace or remove itself.
          const std::function<void(WPARAM)> handler = it->second;
          self->Guard([&handler, wParam] { handler(wParam); });
        }
        return 0;
      }
      case WM_CLOSE:
        return 0;  // the application's window goes with the application, not on request
      default:
        break;
    }
  }
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

uint32_t TWin32Application::TickCount() const {
  return FWinmm.TimeGetTime();
}

bool TWin32Application::NativePending() const {
  return MsgWaitForMultipleObjectsEx(0, nullptr, 0, QS_ALLINPUT, MWMO_INPUTAVAILABLE) ==
         WAIT_OBJECT_0;
}

bool TWin32Application::DispatchOne() {
  MSG msg;
  if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) return false;
  if (msg.message == WM_QUIT) {
    Terminate();
    return true;
  }
  if (msg.hwnd == nullptr && msg.message == WM_TOVRIN_WAKE) {
    // Posted to the thread before the window existed: the pump runs the queue after this.
    FWakePosted.store(false);
    return true;
  }
  if (FDialog && IsDialogMessageA(FDialog, &msg)) return true;
  TranslateMessage(&msg);
  DispatchMessageA(&msg);
  return true;
}

void TWin32Application::RunQueue() {
  FWakePosted.store(false);
  Guard([this] { Queue().RunPending(); });
  // An error leaves the rest of the queue waiting: make sure a later pump runs it.
  if (Queue().Pending() && Queue().OnWake) Queue().OnWake();
}

void TWin32Application::DispatchNative(int limit) {
  ++FPumpDepth;
  struct TLeave {
    int& Depth;
    ~TLeave() { --Depth; }
  } leave{FPumpDepth};
  for (int i = 0; i < limit && DispatchOne(); ++i) {
  }
}

void TWin32Application::ProcessMessages() {
  QueueDueTimers();
  DispatchNative(kMaxMessagesPerPump);
  if (Queue().Pending()) RunQueue();
}

bool TWin32Application::WaitMessage(uint32_t timeoutMs) {
  QueueDueTimers();
  if (Queue().Pending() || NativePending()) return true;
  const uint32_t start = TickCount();
  for (;;) {
    DWORD wait = INFINITE;
    if (timeoutMs != Infinite) {
      const uint32_t elapsed = TickCount() - start;
      if (elapsed >= timeoutMs) return false;
      wait = timeoutMs - elapsed;
    }
    uint32_t timerIn = 0;
    if (Timers().NextDue(TickCount(), timerIn)) wait = std::min<DWORD>(wait, timerIn);
    const DWORD result =
        MsgWaitForMultipleObjectsEx(0, nullptr, wait, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    QueueDueTimers();
    if (result == WAIT_OBJECT_0 || Queue().Pending()) return true;
    if (result == WAIT_FAILED) return false;
  }
}

void TWin32Application::HandleMessage() {
  QueueDueTimers();
  if (!Queue().Pending() && !NativePending()) {
    Guard([this] { DoIdle(); });
    if (Terminated()) return;
    WaitMessage(Infinite);
  }
  DispatchNative(1);
  if (Queue().Pending()) RunQueue();
}

void TWin32Application::NoteDisplayMessage(UINT msg, WPARAM wParam) {
  const bool change = msg == WM_DISPLAYCHANGE || msg == WM_DPICHANGED ||
                      (msg == WM_SETTINGCHANGE && wParam == SPI_SETWORKAREA);
  if (!change || FDisplayChangeQueued) return;
  FDisplayChangeQueued = true;
  Post([this] {
    FDisplayChangeQueued = false;
    if (OnDisplayChange) OnDisplayChange();
  });
}

void TWin32Application::SetMciHandler(UINT deviceId, std::function<void(WPARAM)> handler) {
  if (handler) {
    FMciHandlers[deviceId] = std::move(handler);
  } else {
    FMciHandlers.erase(deviceId);
  }
}

void TWin32Application::Guard(const std::function<void()>& fn) noexcept {
  try {
    fn();
  } catch (...) {
    HandleException(std::current_exception());
  }
}

void TWin32Application::HandleException(std::exception_ptr error) noexcept {
  try {
    std::string text = "Unknown error";
    try {
      std::rethrow_exception(error);
    } catch (const std::exception& e) {
      text = e.what();
    } catch (...) {
    }
    if (OnException) {
      OnException(text);
      return;
    }
    MessageBoxA(GetActiveWindow(), text.c_str(), ProgramTitle().c_str(),
                MB_OK | MB_ICONERROR | MB_TASKMODAL);
  } catch (...) {
    // Reporting failed (no memory for the text): nothing more can be done here.
  }
}

}  // namespace tovrin
