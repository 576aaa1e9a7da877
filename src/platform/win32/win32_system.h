// TWin32System: the system services of the Win32 back end.
//
//   files          GetModuleFileNameW, GetTempPathW, as UTF-8; settings beside the program
//   saver flag     SystemParametersInfoA(SPI_SETSCREENSAVERRUNNING)
//   desktop        HKCU\Control Panel\Desktop, read only: a REG_DWORD reads as a value, any
//                  other type (the text "1" included) as rrNotInteger
//   passwords      VerifyScreenSavePwd from PASSWORD.CPL, PwdChangePasswordA from MPR.DLL, each
//                  loaded by its full path in the system directory (TSystemLibrary; none when
//                  the system directory is unknown) and freed with its object
//   instance lock  a named semaphore (CreateSemaphoreW, count 0 of 1)
//   shell          MessageBoxA; ShellExecuteW "open" with the package's text (Windows-1252)
//   input hook     WH_JOURNALRECORD; where the system refuses it (current Windows does, to
//                  ordinary programs), low-level keyboard and mouse hooks that report the same
//                  message numbers and pass every event on
//   processes      OpenProcess, GetExitCodeProcess, GetProcessTimes (win32_processes.h)
#pragma once

#include "platform/win32/win32_api.h"

#include "platform/system_services.h"
#include "platform/win32/win32_processes.h"

namespace tovrin {

class TWin32Application;

class TWin32System final : public TSystemServices {
 public:
  explicit TWin32System(TWin32Application& application) : FApplication(application) {}

  std::string ExeName() const override;
  std::string OwnFileToRead() const override;
  std::string TempDir() const override;
  std::string SettingsDir() const override;
  void SetScreenSaverRunning(bool running) override;
  TRegistryInteger ReadDesktopInteger(const std::string& name) const override;
  std::unique_ptr<TPasswordVerifier> LoadPasswordVerifier() override;
  std::unique_ptr<TPasswordChanger> LoadPasswordChanger() override;
  TInstanceLockResult CreateInstanceLock(const std::string& name) override;
  TModalResult MessageBox(TWindowHandle owner, const std::string& text, const std::string& caption,
                          TMsgBoxKind kind) override;
  void ShellOpen(TWindowHandle owner, const std::string& target) override;
  std::unique_ptr<TInputHook> InstallInputHook(TInputHookProc proc) override;
  TPoint CursorPos() const override;
  int64_t ProcessId() const override { return CurrentWin32ProcessId(); }
  TProcessInfo LookUpProcess(int64_t pid) const override { return LookUpWin32Process(pid); }

 private:
  TWin32Application& FApplication;
};

// The low-level hook pair alone, the input hook's fallback where the journal hook is refused (for
// tests of that path on a system that grants the journal hook).
std::unique_ptr<TInputHook> InstallLowLevelInputHook(TWin32Application& application,
                                                     TInputHookProc proc);

// The system directory with a trailing backslash (UTF-8), as the libraries are looked up in;
// empty when the system does not report one.
std::string SystemDirectory();

}  // namespace tovrin
