#include "progress.h"

#include <algorithm>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace tovrin {

namespace {

constexpr size_t kLineWidth = 79;
constexpr int kBarWidth = 20;

std::string Megabytes(int64_t bytes) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f MB", static_cast<double>(bytes) / 1e6);
  return text;
}

std::string Duration(double seconds) {
  const auto s = static_cast<int64_t>(seconds + 0.5);
  char text[32];
  if (s >= 3600) {
    std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", static_cast<long long>(s / 3600),
                  static_cast<long long>(s / 60 % 60), static_cast<long long>(s % 60));
  } else {
    std::snprintf(text, sizeof text, "%lld:%02lld", static_cast<long long>(s / 60),
                  static_cast<long long>(s % 60));
  }
  return text;
}

}  // namespace

bool StandardErrorIsTerminal() {
#ifdef _WIN32
  return _isatty(2) != 0;
#else
  return isatty(STDERR_FILENO) != 0;
#endif
}

std::string ProgressLine(int done, int total, int64_t bytes, double elapsed,
                         std::string_view label) {
  const int shown = std::clamp(done, 0, std::max(total, 0));
  const int filled = total > 0 ? shown * kBarWidth / total : kBarWidth;
  std::string line = "[" + std::string(static_cast<size_t>(filled), '#') +
                     std::string(static_cast<size_t>(kBarWidth - filled), '-') + "] ";
  line += std::to_string(shown) + "/" + std::to_string(total) + "  " + Megabytes(bytes) + "  ";
  line += shown > 0 ? Duration(elapsed / shown * (total - shown)) : std::string("--:--");
  line += " left  ";
  line += label;
  if (line.size() > kLineWidth) {
    // Cut at a character boundary, so a UTF-8 name does not end in half a character.
    size_t cut = kLineWidth;
    while (cut > 0 && (static_cast<unsigned char>(line[cut]) & 0xC0) == 0x80) --cut;
    line.resize(cut);
  }
  line.resize(kLineWidth, ' ');
  return line;
}

TProgress::TProgress(int total, bool enabled, std::FILE* out)
    : FTotal(total),
      FEnabled(enabled && total >= MinItems),
      FOut(out),
      FStart(std::chrono::steady_clock::now()) {}

TProgress::~TProgress() {
  Finish();
}

void TProgress::Step(int done, int64_t bytes, std::string_view label) {
  if (!FEnabled) return;
  const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - FStart;
  std::fprintf(FOut, "\r%s", ProgressLine(done, FTotal, bytes, elapsed.count(), label).c_str());
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
