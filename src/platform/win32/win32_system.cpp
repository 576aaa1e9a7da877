#include "platform/win32/win32_system.h"

#include <shellapi.h>

#include <algorithm>

#include "core/paths.h"
#include "platform/win32/win32_application.h"
#include "platform/win32/win32_libraries.h"
#include "platform/win32/win32_unicode.h"

namespace tovrin {

namespace {

std::string WithTrailingBackslash(std::string dir) {
  if (!dir.empty() && dir.back() != '\\') dir += '\\';
  return dir;
}

using TVerifyScreenSavePwd = BOOL(WINAPI*)(HWND);
using TPwdChangePasswordA = DWORD(WINAPI*)(LPCSTR, HWND, DWORD, DWORD);

class TWin32Verifier final : public TPasswordVerifier {
 public:
  TWin32Verifier(std::unique_ptr<TSystemLibrary> library, TVerifyScreenSavePwd verify)
      : FLibrary(std::move(library)), FVerify(verify) {}
  bool Verify(TWindowHandle window) override {
    // Only the lowest byte of the result counts.
    return (static_cast<uint32_t>(FVerify(reinterpret_cast<HWND>(window))) & 0xFF) != 0;
  }

 private:
  std::unique_ptr<TSystemLibrary> FLibrary;
  TVerifyScreenSavePwd FVerify;
};

class TWin32Changer final : public TPasswordChanger {
 public:
  TWin32Changer(std::unique_ptr<TSystemLibrary> library, TPwdChangePasswordA change)
      : FLibrary(std::move(library)), FChange(change) {}
  void Change(TWindowHandle parent) override {
    FChange("SCRSAVE", reinterpret_cast<HWND>(parent), 0, 0);
  }

 private:
  std::unique_ptr<TSystemLibrary> FLibrary;
  TPwdChangePasswordA FChange;
};

class TWin32Lock final : public TInstanceLock {
 public:
  explicit TWin32Lock(HANDLE handle) : FHandle(handle) {}
  ~TWin32Lock() override { CloseHandle(FHandle); }
  TWin32Lock(const TWin32Lock&) = delete;
  TWin32Lock& operator=(const TWin32Lock&) = delete;

 private:
  HANDLE FHandle;
};

// ---- Input hook
//
// Hook procedures get no context pointer, so the one hook that may be installed at a time is
// reached through ActiveHook (main thread only: the system calls these hooks in the thread that
// installed them, from its message loop).

class TWin32InputHook;
TWin32InputHook* ActiveHook = nullptr;

class TWin32InputHook final : public TInputHook {
 public:
  TWin32InputHook(TWin32Application& application, TInputHookProc proc)
      : FApplication(application), FProc(std::make_shared<TInputHookProc>(std::move(proc))) {}
  ~TWin32InputHook() override { Remove(); }
  TWin32InputHook(const TWin32InputHook&) = delete;
  TWin32InputHook& operator=(const TWin32InputHook&) = delete;

  // Installs the journal-record hook (unless lowLevelOnly), else the low-level pair; false when
  // neither installs.
  bool Install(bool lowLevelOnly);
  void Remove() override;

  static LRESULT CALLBACK JournalProc(int code, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK KeyboardProc(int code, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK MouseProc(int code, WPARAM wParam, LPARAM lParam);

 private:
  // Runs the procedure now (journal hook: the event is recorded before it is dispatched).
  void Deliver(uint32_t message);
  // Runs the procedure from the message loop, once the system has acted on the event (a
  // low-level mouse hook runs before the cursor moves; the procedure reads the cursor).
  void DeliverLater(uint32_t message);

  TWin32Application& FApplication;
  // Shared with a running or queued delivery: the procedure may destroy this object.
  std::shared_ptr<TInputHookProc> FProc;
  HHOOK FJournal = nullptr;
  HHOOK FKeyboard = nullptr;
  HHOOK FMouse = nullptr;
};

bool TWin32InputHook::Install(bool lowLevelOnly) {
  const HINSTANCE instance = FApplication.Instance();
  if (!lowLevelOnly) {
    FJournal = SetWindowsHookExA(WH_JOURNALRECORD, &JournalProc, instance, 0);
    if (FJournal) return true;
  }
  FKeyboard = SetWindowsHookExA(WH_KEYBOARD_LL, &KeyboardProc, instance, 0);
  FMouse = SetWindowsHookExA(WH_MOUSE_LL, &MouseProc, instance, 0);
  return FKeyboard || FMouse;
}

void TWin32InputHook::Remove() {
  for (HHOOK* hook : {&FJournal, &FKeyboard, &FMouse}) {
    if (*hook) UnhookWindowsHookEx(*hook);
    *hook = nullptr;
  }
  if (ActiveHook == this) ActiveHook = nullptr;
}

void TWin32InputHook::Deliver(uint32_t message) {
  const std::shared_ptr<TInputHookProc> proc = FProc;
  FApplication.Guard([&] { (*proc)(message); });
}

void TWin32InputHook::DeliverLater(uint32_t message) {
  std::weak_ptr<TInputHookProc> weak = FProc;
  FApplication.Post([weak, message] {
    // Only while the hook is installed: a removed hook reports nothing more.
    const std::shared_ptr<TInputHookProc> proc = weak.lock();
    if (proc && ActiveHook) (*proc)(message);
  });
}

LRESULT CALLBACK TWin32InputHook::JournalProc(int code, WPARAM wParam, LPARAM lParam) {
  if (code < 0) return CallNextHookEx(nullptr, code, wParam, lParam);
  if (code == HC_ACTION && lParam && ActiveHook) {
    ActiveHook->Deliver(reinterpret_cast<const EVENTMSG*>(lParam)->message);
  }
  return 1;
}

LRESULT CALLBACK TWin32InputHook::KeyboardProc(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HC_ACTION && ActiveHook) ActiveHook->DeliverLater(static_cast<uint32_t>(wParam));
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK TWin32InputHook::MouseProc(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HC_ACTION && ActiveHook) ActiveHook->DeliverLater(static_cast<uint32_t>(wParam));
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

std::string SystemDirectory() {
  return Utf8FromWide(SystemFolder());
}

std::string TWin32System::ExeName() const {
  std::wstring buffer(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    // A full buffer may hold a cut name: try again with a larger one, up to the longest path.
    if (n < buffer.size() || buffer.size() >= 32768) {
      buffer.resize(std::min<size_t>(n, buffer.size()));
      return Utf8FromWide(buffer);
    }
    buffer.resize(buffer.size() * 2);
  }
}

std::string TWin32System::OwnFileToRead() const {
  // A running program's file cannot be replaced here: its own path names it for as long as it
  // runs.
  return ExeName();
}

std::string TWin32System::TempDir() const {
  wchar_t buffer[MAX_PATH + 1] = {};
  const DWORD n = GetTempPathW(MAX_PATH + 1, buffer);
  return WithTrailingBackslash(Utf8FromWide(std::wstring_view(buffer, n <= MAX_PATH ? n : 0)));
}

std::string TWin32System::SettingsDir() const {
  return WithTrailingBackslash(ExtractFileDir(ExeName()));
}

void TWin32System::SetScreenSaverRunning(bool running) {
  BYTE scratch[4] = {};
  SystemParametersInfoA(SPI_SETSCREENSAVERRUNNING, running ? 1 : 0, scratch, 0);
}

TRegistryInteger TWin32System::ReadDesktopInteger(const std::string& name) const {
  TRegistryInteger result;
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, KEY_READ, &key) !=
      ERROR_SUCCESS) {
    return result;  // rrNoKey
  }
  DWORD type = 0;
  DWORD value = 0;
  DWORD size = sizeof value;
  const LONG status =
      RegQueryValueExA(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
  RegCloseKey(key);
  if (status == ERROR_FILE_NOT_FOUND) {
    result.Result = TRegistryRead::rrMissing;
  } else if (status == ERROR_SUCCESS && type == REG_DWORD && size == sizeof value) {
    result.Result = TRegistryRead::rrValue;
    result.Value = static_cast<int32_t>(value);
  } else {
    // Text, binary, or anything larger than an integer.
    result.Result = TRegistryRead::rrNotInteger;
  }
  return result;
}

std::unique_ptr<TPasswordVerifier> TWin32System::LoadPasswordVerifier() {
  auto library = std::make_unique<TSystemLibrary>(L"PASSWORD.CPL");
  const auto verify = library->Entry<TVerifyScreenSavePwd>("VerifyScreenSavePwd");
  if (!verify) return nullptr;
  return std::make_unique<TWin32Verifier>(std::move(library), verify);
}

std::unique_ptr<TPasswordChanger> TWin32System::LoadPasswordChanger() {
  auto library = std::make_unique<TSystemLibrary>(L"MPR.DLL");
  const auto change = library->Entry<TPwdChangePasswordA>("PwdChangePasswordA");
  if (!change) return nullptr;
  return std::make_unique<TWin32Changer>(std::move(library), change);
}

TInstanceLockResult TWin32System::CreateInstanceLock(const std::string& name) {
  TInstanceLockResult result;
  // The name holds the program's file name, UTF-8 like every path.
  HANDLE handle = CreateSemaphoreW(nullptr, 0, 1, WideFromUtf8(name).c_str());
  const DWORD error = GetLastError();
  if (!handle) return result;
  if (error == ERROR_ALREADY_EXISTS) {
    CloseHandle(handle);
    result.AlreadyExists = true;
    return result;
  }
  result.Lock = std::make_unique<TWin32Lock>(handle);
  return result;
}

TModalResult TWin32System::MessageBox(TWindowHandle owner, const std::string& text,
                                      const std::string& caption, TMsgBoxKind kind) {
  const UINT style =
      kind == TMsgBoxKind::mbErrorOk ? MB_OK | MB_ICONERROR : MB_YESNO | MB_ICONINFORMATION;
  const int answer =
      MessageBoxA(reinterpret_cast<HWND>(owner), text.c_str(), caption.c_str(), style);
  switch (answer) {
    case IDOK:
      return TModalResult::mrOk;
    case IDYES:
      return TModalResult::mrYes;
    case IDNO:
      return TModalResult::mrNo;
    default:
      return TModalResult::mrNone;
  }
}

void TWin32System::ShellOpen(TWindowHandle owner, const std::string& target) {
  ShellExecuteW(reinterpret_cast<HWND>(owner), L"open", WideFromAnsi(target).c_str(), nullptr,
                nullptr, SW_SHOW);
}

namespace {

std::unique_ptr<TInputHook> InstallHook(TWin32Application& application, TInputHookProc proc,
                                        bool lowLevelOnly) {
  if (ActiveHook) return nullptr;  // one at a time
  auto hook = std::make_unique<TWin32InputHook>(application, std::move(proc));
  ActiveHook = hook.get();
  if (!hook->Install(lowLevelOnly)) return nullptr;  // the destructor clears ActiveHook
  return hook;
}

}  // namespace

std::unique_ptr<TInputHook> TWin32System::InstallInputHook(TInputHookProc proc) {
  return InstallHook(FApplication, std::move(proc), false);
}

std::unique_ptr<TInputHook> InstallLowLevelInputHook(TWin32Application& application,
                                                     TInputHookProc proc) {
  return InstallHook(application, std::move(proc), true);
}

TPoint TWin32System::CursorPos() const {
  POINT p{};
  GetCursorPos(&p);
  return TPoint{p.x, p.y};
}

}  // namespace tovrin
