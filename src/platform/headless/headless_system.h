// THeadlessSystem: the headless back end's system services. Paths and the desktop's password
// setting come from the script; the password verifier and changer, the single-instance lock and
// the input hook are there or not as the script says when they are asked for. The verifier's
// answer and the message box's are read from the script at each call, and so are the processes of
// the system (not recorded). Every other call is recorded in the platform's log
// ("SetScreenSaverRunning(1)", "Verifier.Verify=0", "InputHook.Remove").
//
// A test plays the system's side: it sees the screen-saver-running flag, places the mouse cursor
// and sends input to the installed hook.
#pragma once

#include <cstdint>
#include <memory>
#include <set>
#include <string>

#include "gfx/rect.h"
#include "platform/system_services.h"

namespace tovrin {

class THeadlessPlatform;

// Named locks shared by the platforms of one test, standing for the processes of one system.
struct THeadlessLockTable {
  std::set<std::string> Names;
};

class THeadlessSystem final : public TSystemServices {
 public:
  THeadlessSystem(THeadlessPlatform& platform, std::shared_ptr<THeadlessLockTable> locks);

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
  TPoint CursorPos() const override { return FCursorPos; }
  int64_t ProcessId() const override;
  TProcessInfo LookUpProcess(int64_t pid) const override;

  // ---- The system's side, for tests
  bool ScreenSaverRunning() const { return FScreenSaverRunning; }
  void SetCursorPos(TPoint p) { FCursorPos = p; }
  // The installed hook's procedure receives message now; false when no hook is installed.
  bool SendHookInput(uint32_t message);
  bool HookInstalled() const { return FHook != nullptr; }
  THeadlessLockTable& Locks() { return *FLocks; }

 private:
  class THook;

  THeadlessPlatform& FPlatform;
  std::shared_ptr<THeadlessLockTable> FLocks;
  bool FScreenSaverRunning = false;
  TPoint FCursorPos;
  // The hook procedure while a hook is installed.
  std::shared_ptr<TInputHookProc> FHook;
};

}  // namespace tovrin
