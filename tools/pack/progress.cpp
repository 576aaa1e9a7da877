#include "progress.h"

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace tovrin {

namespace {
constexpr size_t kLineWidth = 72;
}

bool StandardErrorIsTerminal() {
#ifdef _WIN32
  return _isatty(2) != 0;
#else
  return isatty(STDERR_FILENO) != 0;
#endif
}

TProgress::TProgress(int total, bool enabled, std::FILE* out)
    : FTotal(total), FEnabled(enabled && total >= MinItems), FOut(out) {}

TProgress::~TProgress() {
  Finish();
}

void TProgress::Step(int done, std::string_view label) {
  if (!FEnabled) return;
  std::string line = "[" + std::to_string(done) + "/" + std::to_string(FTotal) + "] " +
                     std::to_string(done * 100 / (FTotal > 0 ? FTotal : 1)) + "% ";
  line += label;
  if (line.size() > kLineWidth) {
    // Cut at a character boundary, so a UTF-8 name does not end in half a character.
    size_t cut = kLineWidth;
    while (cut > 0 && (static_cast<unsigned char>(line[cut]) & 0xC0) == 0x80) --cut;
    line.resize(cut);
  }
  line.resize(kLineWidth, ' ');
  std::fprintf(FOut, "\r%s", line.c_str());
  std::fflush(FOut);
  FShown = true;
}

void TProgress::Finish() {
  if (!FShown) return;
  std::fprintf(FOut, "\r%s\r", std::string(kLineWidth, ' ').c_str());
  std::fflush(FOut);
  FShown = false;
}

}  // namespace tovrin
