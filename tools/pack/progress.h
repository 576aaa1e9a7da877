// Progress display for long builds: one line on standard error, rewritten in place.
//
//   [########------------]  37/100  52.4 MB  0:42 left  IMG_0042.jpg
//
// pictures done of all, bytes written so far, the time left at the pace so far, and the picture
// being worked on. It is shown only when standard error is a terminal and there are enough items
// to be worth it, so scripts and tests that capture the output see nothing of it.
#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

namespace tovrin {

class TProgress {
 public:
  // Items below this count finish too fast for a progress line to help.
  static constexpr int MinItems = 10;

  // total: the number of steps. enabled: whether to draw at all (see StandardErrorIsTerminal).
  TProgress(int total, bool enabled, std::FILE* out = stderr);
  ~TProgress();  // clears the line if it is still shown
  TProgress(const TProgress&) = delete;
  TProgress& operator=(const TProgress&) = delete;

  // Reports that `done` steps of the total are finished, `bytes` written so far, and names the
  // step being worked on (or the last one).
  void Step(int done, int64_t bytes, std::string_view label);
  // Removes the line, so later messages start at the left margin.
  void Finish();

 private:
  int FTotal;
  bool FEnabled;
  bool FShown = false;
  std::FILE* FOut;
  std::chrono::steady_clock::time_point FStart;
};

// The line for `done` of `total` steps after `elapsed` seconds, cut or padded to the line's
// width (never inside a UTF-8 character). The time left is unknown ("--:--") until a step is done.
std::string ProgressLine(int done, int total, int64_t bytes, double elapsed,
                         std::string_view label);

bool StandardErrorIsTerminal();

}  // namespace tovrin
