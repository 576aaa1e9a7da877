// Fuzz target for the Linux spellings of the engine's command line. The input is split at NUL
// bytes: the first piece is $XSCREENSAVER_WINDOW (unset when the piece is empty), the others are
// the arguments.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "app/linux_command_line.h"
#include "seed_corpus.h"

namespace tovrin::fuzz {

namespace {

void Require(bool promise) {
  if (!promise) __builtin_trap();
}

std::vector<uint8_t> Joined(const std::vector<std::string>& pieces) {
  std::vector<uint8_t> out;
  for (size_t i = 0; i < pieces.size(); ++i) {
    if (i > 0) out.push_back(0);
    out.insert(out.end(), pieces[i].begin(), pieces[i].end());
  }
  return out;
}

// The command lines the engine is started with: by users, by XScreenSaver and by Windows.
TSeeds CommandLineSeeds() {
  const std::vector<std::vector<std::string>> lines = {
      {"", "--show"},
      {"", "--preview", "0x2c00007"},
      {"", "--setup"},
      {"", "--help"},
      {"0x1e00002", "-root"},
      {"", "-root", "-mute"},
      {"", "-window-id", "4194311", "--mute"},
      {"12345"},
      {"", "/p", "1234"},
      {"", "/s"},
      {"", "/c:1234"},
      {"", "--show", "--setup"},
  };
  TSeeds seeds;
  for (const auto& line : lines) seeds.push_back(Joined(line));
  return seeds;
}

void CheckWindowId(std::string_view text) {
  uint32_t id = 0;
  if (!ParseWindowId(text, id)) return;
  Require(id != 0);
  // The id reads back the same from both spellings a host writes.
  char hex[16];
  std::snprintf(hex, sizeof hex, "0x%x", id);
  uint32_t again = 0;
  Require(ParseWindowId(std::to_string(id), again) && again == id);
  again = 0;
  Require(ParseWindowId(hex, again) && again == id);
}

}  // namespace

}  // namespace tovrin::fuzz

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  tovrin::fuzz::HandleSeedCorpusArgument(*argc, *argv, tovrin::fuzz::CommandLineSeeds);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tovrin;
  using tovrin::fuzz::Require;
  std::vector<std::string> pieces(1);
  for (size_t i = 0; i < size; ++i) {
    if (data[i] == 0) {
      pieces.emplace_back();
    } else {
      pieces.back().push_back(static_cast<char>(data[i]));
    }
  }
  const std::string window = pieces.front();
  const std::vector<std::string> args(pieces.begin() + 1, pieces.end());
  for (const std::string& piece : pieces) tovrin::fuzz::CheckWindowId(piece);

  const TLinuxCommandLine line =
      TranslateLinuxCommandLine(args, window.empty() ? nullptr : window.c_str());
  using TAction = TLinuxCommandLine::TAction;
  switch (line.Action) {
    case TAction::laUsageError:
      Require(!line.Error.empty());
      break;
    case TAction::laHelp:
      break;
    case TAction::laRun:
      Require(line.Error.empty());
      // A hosted show has one place to draw, and it is a show.
      Require(!(line.HostWindow != 0 && line.HostRoot));
      Require(!line.Hosted() || line.Arg1 == "/s");
      // --preview is taken only with a window id, which is passed on in decimal.
      if (std::find(args.begin(), args.end(), "--preview") != args.end()) {
        uint32_t id = 0;
        Require(line.Arg1 == "/p" && ParseWindowId(line.Arg2, id) &&
                std::to_string(id) == line.Arg2);
      }
      break;
  }
  return 0;
}
