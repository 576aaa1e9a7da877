#include "e2e_process.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <vector>

#include "screen_capture.h"

namespace tovrin::test {

std::string WindowsPath(const std::string& path) {
  if (path.empty() || path[0] != '/') return path;
  std::string out = "Z:" + path;
  std::replace(out.begin(), out.end(), '/', '\\');
  return out;
}

std::string EmptySoundTranscript() {
  const char* path = std::getenv("TOVRIN_ALSA_FILE");
  if (!path) return std::string();
  const std::string transcript = WindowsPath(path);
  std::ofstream(transcript, std::ios::binary | std::ios::trunc);
  return transcript;
}

namespace {

// Changes this process's environment for a scope (the started program inherits it) and puts it
// back afterwards.
class TEnvironmentChange {
 public:
  explicit TEnvironmentChange(const std::map<std::string, std::string>& env) {
    for (const auto& [name, value] : env) {
      const std::wstring wideName = Wide(name);
      std::vector<wchar_t> old(32768);
      const DWORD n =
          GetEnvironmentVariableW(wideName.c_str(), old.data(), static_cast<DWORD>(old.size()));
      FSaved.emplace_back(wideName,
                          n > 0 && n < old.size() ? std::wstring(old.data(), n) : std::wstring());
      const std::wstring wideValue = Wide(value);
      SetEnvironmentVariableW(wideName.c_str(), value.empty() ? nullptr : wideValue.c_str());
    }
  }
  ~TEnvironmentChange() {
    for (const auto& [name, value] : FSaved) {
      SetEnvironmentVariableW(name.c_str(), value.empty() ? nullptr : value.c_str());
    }
  }
  TEnvironmentChange(const TEnvironmentChange&) = delete;
  TEnvironmentChange& operator=(const TEnvironmentChange&) = delete;

 private:
  std::vector<std::pair<std::wstring, std::wstring>> FSaved;
};

}  // namespace

std::wstring Wide(const std::string& utf8) {
  if (utf8.empty()) return std::wstring();
  const int n =
      MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), n);
  return wide;
}

std::string Utf8(const std::wstring& wide) {
  if (wide.empty()) return std::string();
  const int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr,
                                    0, nullptr, nullptr);
  std::string utf8(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), utf8.data(), n,
                      nullptr, nullptr);
  return utf8;
}

TProcess::TProcess(const std::string& commandLine, const std::map<std::string, std::string>& env,
                   bool suspended) {
  std::wstring line = Wide(commandLine);
  line.push_back(L'\0');
  TEnvironmentChange environment(env);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  if (CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE,
                     suspended ? CREATE_SUSPENDED : 0, nullptr, nullptr, &startup, &info)) {
    if (suspended) {
      FThread = info.hThread;
    } else {
      CloseHandle(info.hThread);
    }
    FProcess = info.hProcess;
    FId = info.dwProcessId;
  }
}

TProcess::~TProcess() {
  if (FThread) CloseHandle(FThread);
  if (!FProcess) return;
  if (Running()) {
    TerminateProcess(FProcess, 99);
    WaitForSingleObject(FProcess, 10000);
  }
  CloseHandle(FProcess);
}

void TProcess::Resume() {
  if (!FThread) return;
  ResumeThread(FThread);
  CloseHandle(FThread);
  FThread = nullptr;
}

bool TProcess::Running() const {
  return FProcess && WaitForSingleObject(FProcess, 0) == WAIT_TIMEOUT;
}

bool TProcess::WaitForEnd(uint32_t ms) {
  if (!FProcess) return true;
  return PumpUntil([this] { return !Running(); }, ms);
}

DWORD TProcess::ExitCode() const {
  DWORD code = 0;
  if (FProcess) GetExitCodeProcess(FProcess, &code);
  return code;
}

double TProcess::CpuMs() const {
  FILETIME created, exited, kernel, user;
  if (!FProcess || !GetProcessTimes(FProcess, &created, &exited, &kernel, &user)) return 0;
  auto ms = [](const FILETIME& t) {
    return (static_cast<uint64_t>(t.dwHighDateTime) << 32 | t.dwLowDateTime) / 10000.0;
  };
  return ms(kernel) + ms(user);
}

int RunToEnd(const std::string& commandLine, uint32_t ms) {
  TProcess process(commandLine);
  if (!process.Started() || !process.WaitForEnd(ms)) return -1;
  return static_cast<int>(process.ExitCode());
}

std::string WindowText(HWND window) {
  char text[512] = {};
  GetWindowTextA(window, text, sizeof text);
  return text;
}

std::string ClassOf(HWND window) {
  char name[256] = {};
  GetClassNameA(window, name, sizeof name);
  return name;
}

std::vector<HWND> ProcessWindows(DWORD pid, const std::string& className) {
  struct TSearch {
    DWORD Pid;
    const std::string* Class;
    std::vector<HWND> Found;
  } search{pid, &className, {}};
  EnumWindows(
      [](HWND window, LPARAM param) -> BOOL {
        auto* s = reinterpret_cast<TSearch*>(param);
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == s->Pid && IsWindowVisible(window) &&
            (s->Class->empty() || ClassOf(window) == *s->Class)) {
          s->Found.push_back(window);
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.Found;
}

HWND WaitForWindow(DWORD pid, const std::string& className, uint32_t ms) {
  HWND found = nullptr;
  PumpUntil(
      [&] {
        const std::vector<HWND> windows = ProcessWindows(pid, className);
        found = windows.empty() ? nullptr : windows.front();
        return found != nullptr;
      },
      ms);
  return found;
}

namespace {

// The watches by hook: a WinEvent procedure gets no pointer of its own. This thread only.
std::map<HWINEVENTHOOK, TWindowCreations*>& Watches() {
  static std::map<HWINEVENTHOOK, TWindowCreations*> watches;
  return watches;
}

}  // namespace

TWindowCreations::TWindowCreations(DWORD pid)
    : FHook(SetWinEventHook(EVENT_OBJECT_CREATE, EVENT_OBJECT_CREATE, nullptr, &OnEvent, pid, 0,
                            WINEVENT_OUTOFCONTEXT)) {
  if (FHook) Watches()[FHook] = this;
}

TWindowCreations::~TWindowCreations() {
  if (!FHook) return;
  UnhookWinEvent(FHook);
  Watches().erase(FHook);
}

void CALLBACK TWindowCreations::OnEvent(HWINEVENTHOOK hook, DWORD, HWND window, LONG object,
                                        LONG child, DWORD, DWORD) {
  // The event also reports objects inside windows (carets, scroll bars); a window is the object
  // OBJID_WINDOW itself.
  if (object != OBJID_WINDOW || child != CHILDID_SELF) return;
  const auto it = Watches().find(hook);
  if (it == Watches().end()) return;
  const std::string name = ClassOf(window);
  it->second->FCreated.push_back(name.empty() ? "?" : name);
}

void PressKey(WORD key) {
  INPUT input[2] = {};
  input[0].type = INPUT_KEYBOARD;
  input[0].ki.wVk = key;
  input[1] = input[0];
  input[1].ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(2, input, sizeof(INPUT));
}

void ClickMouse() {
  INPUT input[2] = {};
  input[0].type = INPUT_MOUSE;
  input[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  input[1].type = INPUT_MOUSE;
  input[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  SendInput(2, input, sizeof(INPUT));
}

void MoveMouseTo(int32_t x, int32_t y) {
  // Normalised coordinates over the whole desk (all monitors), rounded up, land exactly on the
  // pixel.
  const int32_t left = GetSystemMetrics(SM_XVIRTUALSCREEN);
  const int32_t top = GetSystemMetrics(SM_YVIRTUALSCREEN);
  const int32_t w = GetSystemMetrics(SM_CXVIRTUALSCREEN);
  const int32_t h = GetSystemMetrics(SM_CYVIRTUALSCREEN);
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_VIRTUALDESK;
  input.mi.dx = static_cast<LONG>((int64_t{x - left} * 65536 + w - 1) / w);
  input.mi.dy = static_cast<LONG>((int64_t{y - top} * 65536 + h - 1) / h);
  SendInput(1, &input, sizeof(INPUT));
}

}  // namespace tovrin::test
