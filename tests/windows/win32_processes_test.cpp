// Whether a process runs, and when it was created, on Windows: the facts a show uses to tell a
// folder left by a dead show from a live show's.
#include <gtest/gtest.h>

#include <string>

#include "platform/win32/win32_api.h"
#include "platform/win32/win32_processes.h"

namespace tovrin {
namespace {

TEST(Win32ProcessesTest, TellsRunningProcessesFromEndedOnes) {
  // A child that has ended: first while this test still holds a handle to it (the system keeps
  // the process object), then after the last handle is closed.
  wchar_t system[MAX_PATH];
  const UINT n = GetSystemDirectoryW(system, MAX_PATH);
  ASSERT_GT(n, 0u);
  std::wstring command = L"\"" + std::wstring(system, n) + L"\\cmd.exe\" /c exit 3";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION child{};
  ASSERT_TRUE(CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW,
                             nullptr, nullptr, &startup, &child));
  CloseHandle(child.hThread);
  ASSERT_EQ(WaitForSingleObject(child.hProcess, 30000), WAIT_OBJECT_0);
  const int64_t childId = child.dwProcessId;

  struct TCase {
    const char* Why;
    int64_t Pid;
    bool Running;
  };
  const TCase cases[] = {
      {"this process", CurrentWin32ProcessId(), true},
      {"ended, a handle still open", childId, false},
      {"0", 0, false},
      {"negative", -1, false},
      {"beyond 32 bits", int64_t{1} << 32, false},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Why);
    EXPECT_EQ(LookUpWin32Process(c.Pid).Running, c.Running);
  }
  CloseHandle(child.hProcess);
  EXPECT_FALSE(LookUpWin32Process(childId).Running) << "ended, no handle left";

  EXPECT_EQ(CurrentWin32ProcessId(), static_cast<int64_t>(GetCurrentProcessId()));
  FILETIME created{}, exited{}, kernel{}, user{};
  ASSERT_TRUE(GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user));
  const uint64_t ownStart = (uint64_t{created.dwHighDateTime} << 32) | created.dwLowDateTime;
  EXPECT_EQ(LookUpWin32Process(CurrentWin32ProcessId()).StartTime, ownStart);
  EXPECT_NE(ownStart, 0u);
}

}  // namespace
}  // namespace tovrin
