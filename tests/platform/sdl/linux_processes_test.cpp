// Whether a process runs, and when it started, on Linux: the facts a show uses to tell a folder
// left by a dead show from a live show's.
#include "platform/sdl/linux_processes.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <climits>
#include <fstream>
#include <string>

namespace tovrin {
namespace {

// A /proc/<pid>/stat line with the given command name, state and start time (field 22).
std::string StatLine(const std::string& comm, char state, const std::string& start) {
  std::string line = "4242 (" + comm + ") " + state;
  for (int field = 4; field <= 21; ++field) line += " " + std::to_string(field);
  return line + " " + start + " 8192 12 18446744073709551615";
}

TEST(LinuxProcessesTest, ReadsStateAndStartTimeOfAStatLine) {
  struct TCase {
    std::string Line;
    bool Valid;
    char State;
    uint64_t Start;
  };
  const TCase cases[] = {
      {StatLine("tovrin", 'S', "987654"), true, 'S', 987654},
      {StatLine("a) (b) Z 1 2", 'R', "55"), true, 'R', 55},  // the name holds ") " itself
      {StatLine("with space", 'Z', "7"), true, 'Z', 7},
      {StatLine("x", 'S', "18446744073709551615"), true, 'S', UINT64_MAX},
      {StatLine("x", 'S', "18446744073709551616"), false, 0, 0},  // past 64 bits
      {StatLine("x", 'S', "12a"), false, 0, 0},
      {StatLine("x", 'S', "-5"), false, 0, 0},
      {"4242 (x) S 4 5 6", false, 0, 0},  // cut before field 22
      {"4242 x S", false, 0, 0},          // no name in parentheses
      {"", false, 0, 0},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Line);
    const std::optional<TProcStat> stat = ParseProcStat(c.Line);
    ASSERT_EQ(stat.has_value(), c.Valid);
    if (!stat) continue;
    EXPECT_EQ(stat->State, c.State);
    EXPECT_EQ(stat->StartTime, c.Start);
  }
}

TEST(LinuxProcessesTest, TellsRunningProcessesFromEndedOnes) {
  std::ifstream self("/proc/self/stat");
  std::string line;
  ASSERT_TRUE(std::getline(self, line));
  const std::optional<TProcStat> own = ParseProcStat(line);
  ASSERT_TRUE(own.has_value());

  // A child that has ended and been collected, and one that has ended but is not collected yet.
  const pid_t collected = fork();
  if (collected == 0) _exit(0);
  ASSERT_GT(collected, 0);
  int status = 0;
  ASSERT_EQ(waitpid(collected, &status, 0), collected);
  const pid_t zombie = fork();
  if (zombie == 0) _exit(0);
  ASSERT_GT(zombie, 0);
  siginfo_t info{};
  // Waits for the end without collecting the child.
  ASSERT_EQ(waitid(P_PID, static_cast<id_t>(zombie), &info, WEXITED | WNOWAIT), 0);

  struct TCase {
    const char* Why;
    int64_t Pid;
    bool Running;
  };
  const TCase cases[] = {
      {"this process", getpid(), true},
      {"the first process", 1, true},
      {"ended and collected", collected, false},
      {"ended, not collected", zombie, false},
      {"0 (kill would mean the process group)", 0, false},
      {"-1 (kill would mean every process)", -1, false},
      {"beyond the ids Linux gives", int64_t{INT_MAX} + 1, false},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Why);
    EXPECT_EQ(LookUpLinuxProcess(c.Pid).Running, c.Running);
  }
  EXPECT_EQ(LookUpLinuxProcess(getpid()).StartTime, own->StartTime);
  EXPECT_NE(own->StartTime, 0u);
  waitpid(zombie, &status, 0);
}

}  // namespace
}  // namespace tovrin
