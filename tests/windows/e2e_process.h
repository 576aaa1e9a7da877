// What the end-to-end tests of the real screen saver need to drive it from outside: processes
// started with their own environment and killed if a test leaves them running, the windows a
// process shows, real input through the system's input queue, and paths.
#pragma once

#include "windows_api.h"

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace tovrin::test {

// How long the end-to-end tests wait for a Wine process with a window to start (it can take
// seconds) and for a show to end.
constexpr uint32_t kStartMs = 20000;
constexpr uint32_t kEndMs = 10000;

// A Windows path for a Unix path (Wine's Z: drive); other paths are returned unchanged.
std::string WindowsPath(const std::string& path);

// The file that receives the samples the wave device plays (TOVRIN_ALSA_FILE, set for the whole
// test stage: Wine builds a new process's Unix environment from its own, not from the Windows
// environment a parent hands over), emptied; "" when the stage did not set one up.
std::string EmptySoundTranscript();

// UTF-8 and UTF-16, for paths outside the ANSI code page.
std::wstring Wide(const std::string& utf8);
std::string Utf8(const std::wstring& wide);

// A started program; terminated (and waited for) on destruction if it still runs.
class TProcess {
 public:
  // Starts commandLine (UTF-8) with the current environment changed by env (UTF-8; an empty value
  // removes a variable). Check Started(). Wine passes only the Windows side of these to the
  // program: its own variables (WINEDLLOVERRIDES, ...) and the Unix libraries' come from this
  // process's start. A suspended process runs once Resume is called.
  explicit TProcess(const std::string& commandLine,
                    const std::map<std::string, std::string>& env = {}, bool suspended = false);
  ~TProcess();
  TProcess(const TProcess&) = delete;
  TProcess& operator=(const TProcess&) = delete;

  bool Started() const { return FProcess != nullptr; }
  void Resume();
  DWORD Id() const { return FId; }
  bool Running() const;
  // Waits up to ms for the end; true when it has ended.
  bool WaitForEnd(uint32_t ms);
  DWORD ExitCode() const;
  // Processor time the process has used so far, in milliseconds.
  double CpuMs() const;

 private:
  HANDLE FProcess = nullptr;
  HANDLE FThread = nullptr;
  DWORD FId = 0;
};

// The windows of every kind (top-level, child, message-only) that process pid creates while the
// object lives, seen from outside through the system's window-creation events (a WinEvent hook
// out of context, delivered to this thread's message loop: pump it, e.g. with PumpFor). Start
// the process suspended and resume it after creating this, so that no window escapes.
class TWindowCreations {
 public:
  explicit TWindowCreations(DWORD pid);
  ~TWindowCreations();
  TWindowCreations(const TWindowCreations&) = delete;
  TWindowCreations& operator=(const TWindowCreations&) = delete;

  bool Watching() const { return FHook != nullptr; }
  // One entry per window created so far: its class name, or "?" when the window was gone before
  // the event reached this thread.
  const std::vector<std::string>& Created() const { return FCreated; }

 private:
  static void CALLBACK OnEvent(HWINEVENTHOOK hook, DWORD event, HWND window, LONG object,
                               LONG child, DWORD thread, DWORD time);
  HWINEVENTHOOK FHook = nullptr;
  std::vector<std::string> FCreated;
};

// Runs commandLine to its end (at most ms) and returns its exit code, or -1.
int RunToEnd(const std::string& commandLine, uint32_t ms = 60000);

// The visible top-level windows of process pid whose class is className ("" for any).
std::vector<HWND> ProcessWindows(DWORD pid, const std::string& className = "");
// Waits (pumping this thread's messages) up to ms for such a window; nullptr when none came.
HWND WaitForWindow(DWORD pid, const std::string& className, uint32_t ms);
std::string WindowText(HWND window);
std::string ClassOf(HWND window);

// Real input, through the system's queue, to whatever window the system gives it to.
void PressKey(WORD key);
void ClickMouse();
// Moves the cursor to (x, y) of the desk (desktop coordinates, over every monitor).
void MoveMouseTo(int32_t x, int32_t y);

}  // namespace tovrin::test
