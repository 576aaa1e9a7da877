// Processes on Linux: whether one runs (kill with signal 0) and when it started (/proc/<pid>/stat).
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "platform/system_services.h"

namespace tovrin {

// What a /proc/<pid>/stat line tells: the state letter (field 3) and the start time (field 22,
// clock ticks after boot).
struct TProcStat {
  char State = '?';
  uint64_t StartTime = 0;
};
// Reads a /proc/<pid>/stat line; nullopt when it is not one. The command name (field 2) is
// skipped up to its last ')', as it may hold spaces and parentheses itself.
std::optional<TProcStat> ParseProcStat(std::string_view line);

// The process of that id. A process that has ended but is not yet collected by its parent (a
// zombie) does not run. Ids outside 1..INT_MAX are no process's (kill would take 0 and negative
// ones for groups).
TProcessInfo LookUpLinuxProcess(int64_t pid);

}  // namespace tovrin
