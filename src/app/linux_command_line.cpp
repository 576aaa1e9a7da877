#include "app/linux_command_line.h"

#include <cstdint>

namespace tovrin {

namespace {

// One of "-name" or "--name".
bool Is(const std::string& arg, std::string_view name) {
  if (arg.size() > 1 && arg[0] == '-' && arg[1] == '-')
    return std::string_view(arg).substr(2) == name;
  return arg.size() > 1 && arg[0] == '-' && std::string_view(arg).substr(1) == name;
}

bool IsLong(const std::string& arg, std::string_view name) {
  return arg.size() > 2 && arg[0] == '-' && arg[1] == '-' &&
         std::string_view(arg).substr(2) == name;
}

TLinuxCommandLine UsageError(std::string error) {
  TLinuxCommandLine result;
  result.Action = TLinuxCommandLine::TAction::laUsageError;
  result.Error = std::move(error);
  return result;
}

}  // namespace

bool ParseWindowId(std::string_view text, uint32_t& id) {
  int base = 10;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    base = 16;
    text.remove_prefix(2);
  }
  if (text.empty() || text.size() > 10) return false;
  uint64_t value = 0;
  for (const char c : text) {
    int digit;
    if (c >= '0' && c <= '9') {
      digit = c - '0';
    } else if (base == 16 && c >= 'a' && c <= 'f') {
      digit = c - 'a' + 10;
    } else if (base == 16 && c >= 'A' && c <= 'F') {
      digit = c - 'A' + 10;
    } else {
      return false;
    }
    value = value * static_cast<uint64_t>(base) + static_cast<uint64_t>(digit);
  }
  if (value == 0 || value > 0xFFFFFFFFu) return false;
  id = static_cast<uint32_t>(value);
  return true;
}

TLinuxCommandLine TranslateLinuxCommandLine(const std::vector<std::string>& args,
                                            const char* xscreensaverWindow) {
  TLinuxCommandLine result;
  // The mode a Linux switch chose ("" for none yet), to refuse two different ones.
  std::string mode;
  auto choose = [&mode](const std::string& m) {
    if (!mode.empty() && mode != m) return false;
    mode = m;
    return true;
  };
  // The arguments that are not Linux switches.
  std::vector<std::string> rest;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    const bool hasValue = i + 1 < args.size();
    if (IsLong(arg, "help") || arg == "-h") {
      result.Action = TLinuxCommandLine::TAction::laHelp;
      return result;
    }
    if (IsLong(arg, "show") || IsLong(arg, "setup")) {
      if (!choose(arg.substr(2))) return UsageError("two modes given: " + mode + " and " + arg);
    } else if (IsLong(arg, "preview")) {
      if (!hasValue) return UsageError("--preview needs a window id");
      uint32_t id = 0;
      if (!ParseWindowId(args[i + 1], id)) return UsageError("not a window id: " + args[i + 1]);
      if (!choose("preview")) return UsageError("two modes given: " + mode + " and preview");
      result.Arg2 = std::to_string(id);
      ++i;
    } else if (Is(arg, "root")) {
      if (!choose("hosted")) return UsageError("two modes given: " + mode + " and " + arg);
      // One place to draw: the last host switch names it.
      uint32_t id = 0;
      if (xscreensaverWindow && ParseWindowId(xscreensaverWindow, id)) {
        result.HostWindow = id;
        result.HostRoot = false;
      } else {
        result.HostWindow = 0;
        result.HostRoot = true;
      }
    } else if (Is(arg, "window-id")) {
      if (!hasValue) return UsageError(arg + " needs a window id");
      uint32_t id = 0;
      if (!ParseWindowId(args[i + 1], id)) return UsageError("not a window id: " + args[i + 1]);
      if (!choose("hosted")) return UsageError("two modes given: " + mode + " and " + arg);
      result.HostWindow = id;
      result.HostRoot = false;
      ++i;
    } else if (Is(arg, "mute")) {
      result.Mute = true;
    } else {
      rest.push_back(arg);
    }
  }

  if (mode.empty()) {
    uint32_t id = 0;
    if (rest.empty() && xscreensaverWindow && ParseWindowId(xscreensaverWindow, id)) {
      // Started by a screen-saver host without a switch: its window is where the show goes.
      result.HostWindow = id;
      result.Arg1 = "/s";
      return result;
    }
    // The Windows spellings, unchanged.
    if (!rest.empty()) result.Arg1 = rest[0];
    if (rest.size() > 1) result.Arg2 = rest[1];
    return result;
  }
  if (mode == "show" || mode == "hosted") {
    result.Arg1 = "/s";
  } else if (mode == "preview") {
    result.Arg1 = "/p";
  } else {
    result.Arg1 = "/c";
  }
  return result;
}

const char* LinuxUsage() {
  return "usage: tovrin [--show | --preview WINDOW | --setup | -root | -window-id ID] [-mute]\n"
         "\n"
         "Runs the picture show packaged behind this program file.\n"
         "\n"
         "  --show              show the pictures full screen\n"
         "  --preview WINDOW    draw the first picture into the X11 window WINDOW\n"
         "  --setup             open the setup dialog (also with no switch at all)\n"
         "  -root               run inside XScreenSaver: draw into $XSCREENSAVER_WINDOW, or into\n"
         "                      the root window when it is not set\n"
         "  -window-id ID       draw the show into the X11 window ID (decimal or 0x hex); the\n"
         "                      host ends it with SIGTERM\n"
         "  -mute               no music\n"
         "  --help              this text\n"
         "\n"
         "The Windows switches work as well: /s, /p WINDOW, /c, /a WINDOW.\n";
}

}  // namespace tovrin
