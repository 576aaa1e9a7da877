// Processes on Windows: whether one runs and when it was created (OpenProcess, GetProcessTimes).
#pragma once

#include <cstdint>

#include "platform/system_services.h"

namespace tovrin {

// The process of that id; its start time is the creation time in 100 ns units since 1601.
// Ids outside 1..0xFFFFFFFF are no process's.
TProcessInfo LookUpWin32Process(int64_t pid);
// This process's id (GetCurrentProcessId).
int64_t CurrentWin32ProcessId();

}  // namespace tovrin
