// TSdlSystemServices: the Linux answers to what the show asks of the system.
//
//   ExeName         the program's file, from /proc/self/exe
//   OwnFileToRead   /proc/self/exe itself (the running file, whatever is renamed over its name),
//                   or ExeName where /proc is missing
//   TempDir         $TMPDIR, else /tmp
//   SettingsDir     $XDG_CONFIG_HOME/tovrin/<program file name>/ (else ~/.config/...), created
//                   on demand: the program's own directory is usually not writable here
//   screen-saver flag, registry, password services, input hook: the desktop has none of them
//                   for a screen saver (it locks the screen itself): the flag is only
//                   remembered, every registry key is missing, the password services and the
//                   hook are absent (nullptr)
//   instance lock   flock on a file in $XDG_RUNTIME_DIR (else in a folder of the user's own,
//                   mode 0700, in the temporary directory; none when that folder is not private)
//                   named from the lock's name; a hosted show (the host runs one per monitor)
//                   takes none
//   MessageBox      the platform's (GTK) message box
//   ShellOpen       xdg-open, started with posix_spawn (no shell), not waited for
//   processes       kill(pid, 0) and /proc/<pid>/stat (see linux_processes.h)
#pragma once

#include <sys/types.h>
#include <unistd.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/sdl/linux_processes.h"
#include "platform/sdl/sdl_video.h"
#include "platform/system_services.h"

namespace tovrin {

class TSdlSystemServices final : public TSystemServices {
 public:
  using TMessageBoxFn = std::function<TModalResult(TWindowHandle owner, const std::string& text,
                                                   const std::string& caption, TMsgBoxKind kind)>;
  // hosted: the show runs in a window another program hands over. messageBox shows the
  // message boxes.
  TSdlSystemServices(TSdlVideo& video, bool hosted, TMessageBoxFn messageBox);
  ~TSdlSystemServices() override;

  std::string ExeName() const override;
  std::string OwnFileToRead() const override;
  std::string TempDir() const override;
  std::string SettingsDir() const override;
  void SetScreenSaverRunning(bool running) override { FScreenSaverRunning = running; }
  TRegistryInteger ReadDesktopInteger(const std::string&) const override { return {}; }
  std::unique_ptr<TPasswordVerifier> LoadPasswordVerifier() override { return nullptr; }
  std::unique_ptr<TPasswordChanger> LoadPasswordChanger() override { return nullptr; }
  TInstanceLockResult CreateInstanceLock(const std::string& name) override;
  TModalResult MessageBox(TWindowHandle owner, const std::string& text, const std::string& caption,
                          TMsgBoxKind kind) override;
  void ShellOpen(TWindowHandle owner, const std::string& target) override;
  std::unique_ptr<TInputHook> InstallInputHook(TInputHookProc) override { return nullptr; }
  TPoint CursorPos() const override;
  int64_t ProcessId() const override { return getpid(); }
  TProcessInfo LookUpProcess(int64_t pid) const override { return LookUpLinuxProcess(pid); }

  bool ScreenSaverRunning() const { return FScreenSaverRunning; }

 private:
  // Collects the children ShellOpen started that have ended.
  void ReapChildren();

  TSdlVideo& FVideo;
  const bool FHosted;
  TMessageBoxFn FMessageBox;
  bool FScreenSaverRunning = false;
  std::vector<pid_t> FChildren;
};

}  // namespace tovrin
