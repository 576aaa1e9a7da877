#include "e2e_process.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "screen_capture.h"

namespace tovrin::test {

std::string WindowsPath(const std::string& path) {
  if (path.empty() || path[0] != '/') return path;
  std::string out = "Z:" + path;
  std::replace(out.begin(), out.end(), '/', '\\');
  return out;
}

namespace {

// Changes this process's environment for a scope (the started program inherits it) and puts it
// back afterwards.
class TEnvironmentChange {
 public:
  explicit TEnvironmentChange(const std::map<std::string, std::string>& env) {
    for (const auto& [name, value] : env) {
      char old[32768];
      const DWORD n = GetEnvironmentVariableA(name.c_str(), old, sizeof old);
      FSaved.emplace_back(name, n > 0 && n < sizeof old ? std::string(old, n) : std::string());
      SetEnvironmentVariableA(name.c_str(), value.empty() ? nullptr : value.c_str());
    }
  }
  ~TEnvironmentChange() {
    for (const auto& [name, value] : FSaved) {
      SetEnvironmentVariableA(name.c_str(), value.empty() ? nullptr : value.c_str());
    }
  }
  TEnvironmentChange(const TEnvironmentChange&) = delete;
  TEnvironmentChange& operator=(const TEnvironmentChange&) = delete;

 private:
  std::vector<std::pair<std::string, std::string>> FSaved;
};

}  // namespace

TProcess::TProcess(const std::string& commandLine, const std::map<std::string, std::string>& env) {
  std::vector<char> line(commandLine.begin(), commandLine.end());
  line.push_back('\0');
  TEnvironmentChange environment(env);
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  if (CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                     &info)) {
    CloseHandle(info.hThread);
    FProcess = info.hProcess;
    FId = info.dwProcessId;
  }
}

TProcess::~TProcess() {
  if (!FProcess) return;
  if (Running()) {
    TerminateProcess(FProcess, 99);
    WaitForSingleObject(FProcess, 10000);
  }
  CloseHandle(FProcess);
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
  // Normalised coordinates rounded up land exactly on the pixel.
  const int32_t w = GetSystemMetrics(SM_CXSCREEN);
  const int32_t h = GetSystemMetrics(SM_CYSCREEN);
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  input.mi.dx = static_cast<LONG>((int64_t{x} * 65536 + w - 1) / w);
  input.mi.dy = static_cast<LONG>((int64_t{y} * 65536 + h - 1) / h);
  SendInput(1, &input, sizeof(INPUT));
}

}  // namespace tovrin::test
