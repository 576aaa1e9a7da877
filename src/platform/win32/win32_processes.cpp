#include "platform/win32/win32_processes.h"

#include "platform/win32/win32_api.h"

namespace tovrin {

namespace {

// A process handle, closed with the object.
class TProcessHandle {
 public:
  explicit TProcessHandle(HANDLE handle) : FHandle(handle) {}
  ~TProcessHandle() {
    if (FHandle != nullptr) CloseHandle(FHandle);
  }
  TProcessHandle(const TProcessHandle&) = delete;
  TProcessHandle& operator=(const TProcessHandle&) = delete;
  HANDLE Get() const { return FHandle; }

 private:
  HANDLE FHandle;
};

}  // namespace

TProcessInfo LookUpWin32Process(int64_t pid) {
  if (pid <= 0 || pid > int64_t{0xFFFFFFFF}) return {};
  const TProcessHandle process(
      OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, static_cast<DWORD>(pid)));
  if (process.Get() == nullptr) {
    // No such process; any other refusal (access denied) means it is there.
    if (GetLastError() == ERROR_INVALID_PARAMETER) return {};
    return TProcessInfo{.Running = true};
  }
  // A process that has ended stays reachable while someone holds a handle to it.
  DWORD exitCode = 0;
  if (GetExitCodeProcess(process.Get(), &exitCode) && exitCode != STILL_ACTIVE) return {};
  TProcessInfo info{.Running = true};
  FILETIME created{}, exited{}, kernel{}, user{};
  if (GetProcessTimes(process.Get(), &created, &exited, &kernel, &user)) {
    info.StartTime = (uint64_t{created.dwHighDateTime} << 32) | created.dwLowDateTime;
  }
  return info;
}

int64_t CurrentWin32ProcessId() {
  return static_cast<int64_t>(GetCurrentProcessId());
}

}  // namespace tovrin
