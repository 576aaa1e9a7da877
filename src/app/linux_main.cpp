// The Linux engine: the command line's Linux and XScreenSaver spellings translated, the SDL
// back end made (first, before any other thread exists: it takes SIGTERM and SIGINT for its
// message loop), then the entry routine. The process ends when the entry routine returns.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/entry.h"
#include "app/linux_command_line.h"
#include "platform/freetype/freetype_text.h"
#include "platform/sdl/sdl_platform.h"

int main(int argc, char** argv) {
  using namespace tovrin;
  const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
  const TLinuxCommandLine command =
      TranslateLinuxCommandLine(args, std::getenv("XSCREENSAVER_WINDOW"));
  switch (command.Action) {
    case TLinuxCommandLine::TAction::laHelp:
      std::fputs(LinuxUsage(), stdout);
      return 0;
    case TLinuxCommandLine::TAction::laUsageError:
      std::fprintf(stderr, "tovrin: %s\n%s", command.Error.c_str(), LinuxUsage());
      return 2;
    case TLinuxCommandLine::TAction::laRun:
      break;
  }

  TSdlOptions options;
  options.HostWindow = command.HostWindow;
  options.HostRootWindow = command.HostRoot;
  options.Sound = !command.Mute;
  TFreeTypeTextRenderer text;
  TSdlPlatform platform(options, text);
  InitializeEngine();
  RunEntry(platform, command.Arg1, command.Arg2);
  return 0;
}
