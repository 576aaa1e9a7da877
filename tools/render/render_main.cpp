// tovrin-render: composes transition frames off screen, exactly as the screen saver composes them.
//
//   tovrin-render frame --style S --progress P [--step K] [--seed N] --old OLD --new NEW --out OUT
//   tovrin-render frames LIST
//   tovrin-render strip --style S --old OLD --new NEW --out OUT [--step K] [--seed N]
//                       [--columns C] [--thumb-width W] [--frames-dir DIR] [--size WxH]
//   tovrin-render show SAVER --out DIR [--size WxH] [--slides N | --seconds S] [--fps F]
//                      [--contact FILE] [--log]
#include <CLI/CLI.hpp>
#include <cstdio>
#include <vector>

#include "core/errors.h"
#include "tool_command_line.h"
#include "tools/render/render_commands.h"

namespace tovrin {
namespace {

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

// The commands, in the order --help lists them.
constexpr TRenderCommand (*kCommands[])(CLI::App&) = {
    AddFrameCommand,
    AddFramesCommand,
    AddStripCommand,
#ifdef TOVRIN_RENDER_SHOW
    AddShowCommand,
#endif
};

int Main(int argc, char** argv) {
  CLI::App tool("Composes transition frames off screen, exactly as the screen saver composes them.",
                "tovrin-render");
  ConfigureToolApp(tool);
  tool.footer(
      "Exit status: 0 success, 1 a picture could not be read or written, 2 a mistake on the "
      "command line.");
  std::vector<TRenderCommand> commands;
  for (const auto add : kCommands) commands.push_back(add(tool));
  try {
    const TToolCommandLine parsed =
        ParseToolCommandLine(tool, std::vector<std::string>(argv + 1, argv + argc));
    if (parsed.Help) {
      std::fputs(parsed.Help->c_str(), stdout);
      return 0;
    }
    for (const TRenderCommand& command : commands) {
      if (command.Command == parsed.Command) command.Run();
    }
  } catch (const EUsageError& e) {
    std::fprintf(stderr, "tovrin-render: %s\n(see tovrin-render --help)\n", e.what());
    return kExitUsage;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "tovrin-render: %s\n", e.what());
    return kExitFailure;
  }
  return 0;
}

}  // namespace
}  // namespace tovrin

int main(int argc, char** argv) {
  return tovrin::Main(argc, argv);
}
