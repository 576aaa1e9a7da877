// TXvfbDisplay: an X server of the test's own (Xvfb), so that tests that open windows never
// touch the developer's desktop and run the same on a machine without one. Sets DISPLAY for
// the process while it lives.
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

extern char** environ;

namespace tovrin {

class TXvfbDisplay {
 public:
  // A screen of width x height at 24 bits; Ok() tells whether the server came up.
  explicit TXvfbDisplay(int width = 640, int height = 480) {
    int pipeFds[2];
    if (pipe(pipeFds) != 0) return;
    const std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
    const std::string fd = std::to_string(pipeFds[1]);
    const char* argv[] = {"Xvfb",         "-displayfd", fd.c_str(), "-screen",  "0",
                          screen.c_str(), "-nolisten",  "tcp",      "-noreset", nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    // The server must not inherit blocked signals: it is ended with SIGTERM.
    posix_spawnattr_t attr;
    posix_spawnattr_init(&attr);
    sigset_t none;
    sigemptyset(&none);
    posix_spawnattr_setsigmask(&attr, &none);
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGMASK);
    const int rc = posix_spawnp(&FPid, "Xvfb", &actions, &attr, const_cast<char**>(argv), environ);
    posix_spawnattr_destroy(&attr);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeFds[1]);
    if (rc != 0) {
      FPid = 0;
      close(pipeFds[0]);
      return;
    }
    // Xvfb writes the display number when it is ready for clients.
    std::string number;
    char c;
    while (read(pipeFds[0], &c, 1) == 1 && c != '\n') number += c;
    close(pipeFds[0]);
    if (number.empty()) return;
    FDisplay = ":" + number;
    setenv("DISPLAY", FDisplay.c_str(), 1);
  }
  ~TXvfbDisplay() {
    if (FPid <= 0) return;
    kill(FPid, SIGTERM);
    int status = 0;
    waitpid(FPid, &status, 0);
  }
  TXvfbDisplay(const TXvfbDisplay&) = delete;
  TXvfbDisplay& operator=(const TXvfbDisplay&) = delete;

  bool Ok() const { return !FDisplay.empty(); }
  const std::string& Display() const { return FDisplay; }

 private:
  pid_t FPid = 0;
  std::string FDisplay;
};

}  // namespace tovrin
