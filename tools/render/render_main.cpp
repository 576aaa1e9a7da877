// tovrin-render: composes transition frames off screen.
//
//   tovrin-render frame --style S --progress P [--step K] [--seed N] --old OLD --new NEW --out OUT
//   tovrin-render frames LIST
//   tovrin-render strip --style S --old OLD --new NEW --out OUT [--step K] [--seed N]
//                       [--columns C] [--thumb-width W] [--frames-dir DIR]
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <algorithm>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "core/conversions.h"
#include "core/errors.h"
#include "tools/render/contact_sheet.h"
#include "tools/render/render_frame.h"

namespace tovrin {
namespace {

constexpr const char* kUsage = R"(usage:
  tovrin-render frame --style S --progress P [--step K] [--seed N] --old OLD --new NEW --out OUT
  tovrin-render frames LIST
  tovrin-render strip --style S --old OLD --new NEW --out OUT [--step K] [--seed N]
                      [--columns C] [--thumb-width W] [--frames-dir DIR] [--size WxH]

Composes frames of a transition off screen, exactly as the screen saver composes them.

frame   One frame: Media after composing style S (0-127) at Progress P (0-100) with Step K
        (1-100, default 4), the random generator's state set to N (default 0) right before the
        frame, and no event handlers. OLD and NEW are pictures of one size, binary PPM (P6) or
        JPEG. OUT is written as PNG when it ends in .png, otherwise as binary PPM.
frames  The same for every line of the file LIST, each line "S P K N OLD NEW OUT" (blank lines and
        lines starting with # are skipped). Each picture is loaded once.
strip   A whole forward run of style S (Progress 0, K, 2K, ... 100) as a contact sheet in OUT
        (C columns, default 6; thumbnails W pixels wide, default 240), and with --frames-dir every
        frame at full size as DIR/frame_PPP.ppm. With --size both pictures are first scaled to
        W x H (as the show scales pictures to the screen), so pictures of different sizes can be
        shown.

Exit status: 0 on success, 1 when a picture cannot be read or written, 2 on a usage error.
)";

struct TUsageError : Exception {
  using Exception::Exception;
};

int ParseInt(const std::string& option, const std::string& text, int low, int high) {
  const auto value = TryStrToInt(text);
  if (!value || *value < low || *value > high) {
    throw TUsageError(option + " takes a whole number from " + std::to_string(low) + " to " +
                      std::to_string(high) + ", not '" + text + "'");
  }
  return *value;
}

uint32_t ParseSeed(const std::string& text) {
  // Any 32-bit state: decimal, negative values taken modulo 2^32 as the generator's word.
  try {
    size_t used = 0;
    const long long v = std::stoll(text, &used, 10);
    if (used == text.size() && v >= -2147483648LL && v <= 4294967295LL)
      return static_cast<uint32_t>(v);
  } catch (const std::exception&) {
  }
  throw TUsageError("--seed takes a 32-bit number, not '" + text + "'");
}

// Options of the form --name VALUE; every option must be known and given once.
std::map<std::string, std::string> ParseOptions(const std::vector<std::string>& args,
                                                const std::vector<std::string>& known) {
  std::map<std::string, std::string> options;
  for (size_t i = 0; i < args.size(); i += 2) {
    const std::string& name = args[i];
    if (std::find(known.begin(), known.end(), name) == known.end())
      throw TUsageError("unknown argument '" + name + "'");
    if (i + 1 >= args.size()) throw TUsageError(name + " needs a value");
    if (!options.emplace(name, args[i + 1]).second) throw TUsageError(name + " given twice");
  }
  return options;
}

std::string Required(const std::map<std::string, std::string>& options, const std::string& name) {
  const auto it = options.find(name);
  if (it == options.end()) throw TUsageError("missing " + name);
  return it->second;
}

TFrameRequest RequestFrom(const std::map<std::string, std::string>& options, bool needProgress) {
  TFrameRequest r;
  r.Style = ParseInt("--style", Required(options, "--style"), 0, 127);
  if (needProgress) r.Progress = ParseInt("--progress", Required(options, "--progress"), 0, 100);
  if (options.count("--step")) r.Step = ParseInt("--step", options.at("--step"), 1, 100);
  if (options.count("--seed")) r.Seed = ParseSeed(options.at("--seed"));
  return r;
}

int CommandFrame(const std::vector<std::string>& args) {
  const auto options = ParseOptions(
      args, {"--style", "--progress", "--step", "--seed", "--old", "--new", "--out"});
  const TFrameRequest request = RequestFrom(options, true);
  const std::string out = Required(options, "--out");
  const TBitmap oldPic = LoadPicture(Required(options, "--old"));
  const TBitmap newPic = LoadPicture(Required(options, "--new"));
  SavePicture(RenderFrame(oldPic, newPic, request), out);
  return 0;
}

int CommandFrames(const std::vector<std::string>& args) {
  if (args.size() != 1) throw TUsageError("frames takes one argument, the list file");
  std::ifstream list(args[0]);
  if (!list) throw Exception("Cannot open file " + args[0]);
  TPictureCache pictures;
  std::string line;
  int lineNumber = 0, rendered = 0;
  while (std::getline(list, line)) {
    ++lineNumber;
    const std::string text = Trim(line);
    if (text.empty() || text[0] == '#') continue;
    std::istringstream fields(text);
    std::string s, p, k, n, oldPath, newPath, out, extra;
    if (!(fields >> s >> p >> k >> n >> oldPath >> newPath >> out) || (fields >> extra)) {
      throw TUsageError(args[0] + ":" + std::to_string(lineNumber) +
                        ": expected seven fields \"S P K N OLD NEW OUT\"");
    }
    try {
      TFrameRequest request;
      request.Style = ParseInt("style", s, 0, 127);
      request.Progress = ParseInt("progress", p, 0, 100);
      request.Step = ParseInt("step", k, 1, 100);
      request.Seed = ParseSeed(n);
      SavePicture(RenderFrame(pictures.Get(oldPath), pictures.Get(newPath), request), out);
    } catch (const Exception& e) {
      throw Exception(args[0] + ":" + std::to_string(lineNumber) + ": " + e.Message());
    }
    ++rendered;
  }
  std::cerr << "tovrin-render: " << rendered << " frames\n";
  return 0;
}

// "WxH" for --size.
TSize ParseSize(const std::string& text) {
  const size_t x = text.find('x');
  if (x != std::string::npos) {
    const auto w = TryStrToInt(text.substr(0, x)), h = TryStrToInt(text.substr(x + 1));
    if (w && h && *w >= 1 && *h >= 1 && *w <= 16384 && *h <= 16384) return TSize{*w, *h};
  }
  throw TUsageError("--size takes WIDTHxHEIGHT, each 1 to 16384, not '" + text + "'");
}

int CommandStrip(const std::vector<std::string>& args) {
  const auto options =
      ParseOptions(args, {"--style", "--step", "--seed", "--old", "--new", "--out", "--columns",
                          "--thumb-width", "--frames-dir", "--size"});
  const TFrameRequest request = RequestFrom(options, false);
  TSheetLayout layout;
  if (options.count("--columns")) layout.Columns = ParseInt("--columns", options.at("--columns"), 1, 100);
  if (options.count("--thumb-width"))
    layout.ThumbWidth = ParseInt("--thumb-width", options.at("--thumb-width"), 8, 4096);
  const std::string out = Required(options, "--out");
  TBitmap oldPic = LoadPicture(Required(options, "--old"));
  TBitmap newPic = LoadPicture(Required(options, "--new"));
  if (options.count("--size")) {
    const TSize size = ParseSize(options.at("--size"));
    oldPic = ScaledTo(oldPic, size);
    newPic = ScaledTo(newPic, size);
  }
  const std::vector<int> values = TransitionProgressValues(request.Step, true);
  SavePicture(RenderContactSheet(oldPic, newPic, request, values, layout), out);
  if (options.count("--frames-dir")) {
    const std::filesystem::path dir = options.at("--frames-dir");
    std::filesystem::create_directories(dir);
    for (int progress : values) {
      TFrameRequest r = request;
      r.Progress = progress;
      char name[32];
      std::snprintf(name, sizeof name, "frame_%03d.ppm", progress);
      SavePicture(RenderFrame(oldPic, newPic, r), (dir / name).string());
    }
  }
  return 0;
}

int Main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.empty() || args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
    std::cout << kUsage;
    return args.empty() ? 2 : 0;
  }
  const std::string command = args[0];
  args.erase(args.begin());
  try {
    if (command == "frame") return CommandFrame(args);
    if (command == "frames") return CommandFrames(args);
    if (command == "strip") return CommandStrip(args);
    throw TUsageError("unknown command '" + command + "'");
  } catch (const TUsageError& e) {
    std::cerr << "tovrin-render: " << e.Message() << "\n(see tovrin-render --help)\n";
    return 2;
  } catch (const std::exception& e) {
    std::cerr << "tovrin-render: " << e.what() << "\n";
    return 1;
  }
}

}  // namespace
}  // namespace tovrin

int main(int argc, char** argv) { return tovrin::Main(argc, argv); }
