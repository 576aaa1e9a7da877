// Progress display for long builds: one line on standard error, rewritten in place.
//
// It is shown only when standard error is a terminal and there are enough items to be worth it,
// so scripts and tests that capture the output see nothing of it.
#pragma once

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

  // Reports that step `done` (1-based) of the total is being worked on, with a label.
  void Step(int done, std::string_view label);
  // Removes the line, so later messages start at the left margin.
  void Finish();

 private:
  int FTotal;
  bool FEnabled;
  bool FShown = false;
  std::FILE* FOut;
};

bool StandardErrorIsTerminal();

}  // namespace tovrin
