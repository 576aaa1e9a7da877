// TSystemServices: what the show asks of the operating system besides windows: where files live,
// the screen-saver-running flag, the desktop's password setting and the password services, the
// single-instance lock, message boxes, the shell, the input hook of movie mode, and whether a
// process still runs.
//
// Services that may be absent on a system (the password libraries, the hook) come back as
// nullptr; the caller decides what that means. Nothing here raises unless it says so.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "gfx/rect.h"
#include "platform/form_window.h"

namespace tovrin {

// Reading an integer value of the desktop settings (HKCU\Control Panel\Desktop on Windows).
enum class TRegistryRead : uint8_t {
  rrNoKey,       // the key cannot be opened
  rrMissing,     // the key opens, the value is not there
  rrNotInteger,  // the value is stored as something else (text, binary)
  rrValue,       // Value holds it
};
struct TRegistryInteger {
  TRegistryRead Result = TRegistryRead::rrNoKey;
  int32_t Value = 0;
};

// The system's screen-saver password verifier, loaded; freed when destroyed.
class TPasswordVerifier {
 public:
  virtual ~TPasswordVerifier() = default;
  // Shows the system's password dialog over window; true when the password was accepted.
  virtual bool Verify(TWindowHandle window) = 0;
};

// The system's screen-saver password change, loaded; freed when destroyed.
class TPasswordChanger {
 public:
  virtual ~TPasswordChanger() = default;
  // Lets the user change the password, with parent as the owner window. The result is not used.
  virtual void Change(TWindowHandle parent) = 0;
};

// A named lock that exists while this object lives.
class TInstanceLock {
 public:
  virtual ~TInstanceLock() = default;
};
struct TInstanceLockResult {
  std::unique_ptr<TInstanceLock> Lock;  // nullptr when the lock could not be made at all
  bool AlreadyExists = false;           // another process holds a lock of that name
};

// An input hook: the callback sees every input event of the session, by its window message
// number (0x100 WM_KEYDOWN, 0x101 WM_KEYUP, 0x200..0x209 mouse), before any window does.
// Remove() may be called from inside the callback; destroying the object removes it too.
class TInputHook {
 public:
  virtual ~TInputHook() = default;
  virtual void Remove() = 0;
};
using TInputHookProc = std::function<void(uint32_t message)>;

// A process as the system reports it. The start time tells a process from a later one that was
// given the same id after the first had ended.
struct TProcessInfo {
  bool Running = false;    // a process of that id exists and has not ended
  uint64_t StartTime = 0;  // when it started, in the system's own units; 0 when not known
};

enum class TMsgBoxKind : uint8_t {
  mbInformationYesNo,  // an information icon, buttons Yes and No
  mbErrorOk,           // an error icon, button OK (the report of an error that escaped a handler)
};
enum class TModalResult : uint8_t { mrNone, mrOk, mrYes, mrNo };

class TSystemServices {
 public:
  virtual ~TSystemServices() = default;

  // The program's own file, as the system reports it.
  virtual std::string ExeName() const = 0;
  // The name to open the program's own file by, once, for reading its package while it runs.
  // Where a new file can be renamed over a running program's name (Linux), this names the
  // file the process was started from rather than whatever now bears its name.
  virtual std::string OwnFileToRead() const = 0;
  // The temporary directory, ending in the path separator.
  virtual std::string TempDir() const = 0;
  // The directory of the per-installation settings file (CONTROL.INI): the program's directory
  // on Windows, a per-user configuration directory elsewhere. Created when missing (best effort).
  virtual std::string SettingsDir() const = 0;

  // Tells the system whether a screen saver is running.
  virtual void SetScreenSaverRunning(bool running) = 0;
  // Reads an integer value of the desktop settings.
  virtual TRegistryInteger ReadDesktopInteger(const std::string& name) const = 0;
  // The verifier, or nullptr when its library or entry point is missing.
  virtual std::unique_ptr<TPasswordVerifier> LoadPasswordVerifier() = 0;
  // The password change, or nullptr when its library or entry point is missing.
  virtual std::unique_ptr<TPasswordChanger> LoadPasswordChanger() = 0;
  // Creates the named single-instance lock.
  virtual TInstanceLockResult CreateInstanceLock(const std::string& name) = 0;

  // A modal message box; returns the button the user chose.
  virtual TModalResult MessageBox(TWindowHandle owner, const std::string& text,
                                  const std::string& caption, TMsgBoxKind kind) = 0;
  // Opens a document, address or mail address with the desktop's handler; errors are ignored.
  virtual void ShellOpen(TWindowHandle owner, const std::string& target) = 0;

  // Installs a session-wide input hook; nullptr when the system refuses.
  virtual std::unique_ptr<TInputHook> InstallInputHook(TInputHookProc proc) = 0;
  // The mouse cursor's position in screen pixels.
  virtual TPoint CursorPos() const = 0;

  // This process's id.
  virtual int64_t ProcessId() const = 0;
  // The process of that id. One the system will not tell about (another user's, say) counts as
  // running with an unknown start time; an id that cannot be a process's counts as not running.
  virtual TProcessInfo LookUpProcess(int64_t pid) const = 0;
};

}  // namespace tovrin
