#include "platform/sdl/linux_processes.h"

#include <signal.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <climits>
#include <fstream>
#include <string>

namespace tovrin {

std::optional<TProcStat> ParseProcStat(std::string_view line) {
  const size_t close = line.rfind(')');
  if (close == std::string_view::npos || line.find('(') > close) return std::nullopt;
  // Fields 3 and on, separated by single spaces, follow ") ".
  std::string_view rest = line.substr(close + 1);
  TProcStat stat;
  for (int field = 3; field <= 22; ++field) {
    if (rest.empty() || rest.front() != ' ') return std::nullopt;
    rest.remove_prefix(1);
    const size_t end = std::min(rest.find(' '), rest.size());
    const std::string_view value = rest.substr(0, end);
    if (value.empty()) return std::nullopt;
    if (field == 3) {
      if (value.size() != 1) return std::nullopt;
      stat.State = value.front();
    } else if (field == 22) {
      const auto [ptr, ec] =
          std::from_chars(value.data(), value.data() + value.size(), stat.StartTime);
      if (ec != std::errc() || ptr != value.data() + value.size()) return std::nullopt;
    }
    rest.remove_prefix(end);
  }
  return stat;
}

TProcessInfo LookUpLinuxProcess(int64_t pid) {
  if (pid <= 0 || pid > INT_MAX) return {};
  // EPERM: the process exists but belongs to another user.
  if (kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH) return {};
  TProcessInfo info{.Running = true};
  std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
  std::string line;
  if (!std::getline(in, line)) return info;  // no /proc to ask: running, start unknown
  const std::optional<TProcStat> stat = ParseProcStat(line);
  if (!stat) return info;
  // Z: ended, waiting for its parent; X: being removed.
  if (stat->State == 'Z' || stat->State == 'X') return {};
  info.StartTime = stat->StartTime;
  return info;
}

}  // namespace tovrin
