// tovrin-pack: the authoring tool. Makes a finished screen saver from an engine and pictures,
// and inspects or unpacks one. See command_line.h for the command line.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "build_command.h"
#include "command_line.h"
#include "core/errors.h"
#include "engine_locator.h"
#include "install_command.h"
#include "package/image.h"
#include "package/persistent.h"
#include "package/ss_file_locations.h"
#include "read_back_command.h"
#include "terminal_text.h"

namespace {

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

// Where `install` puts a saver for this user; nothing on Windows, where the user names a folder.
tovrin::TSaverPlaces UserSaverPlaces() {
#ifdef _WIN32
  return {};
#else
  const char* home = std::getenv("HOME");
  const char* dataHome = std::getenv("XDG_DATA_HOME");
  return tovrin::SaverPlaces(home != nullptr ? home : "", dataHome != nullptr ? dataHome : "");
#endif
}

int Run(int argc, char** argv) {
  using namespace tovrin;
  const std::vector<std::string> args(argv + 1, argv + argc);
  TCommandLine commandLine;
  try {
    commandLine = ParseCommandLine(args);
  } catch (const EUsageError& e) {
    std::fprintf(stderr, "tovrin-pack: %s\nTry 'tovrin-pack --help'.\n", e.what());
    return kExitUsage;
  }
  // The reader creates the package's objects by their class names, as the engine does.
  RegisterStreamClass(TSSFileLocations::StaticClassInfo());
  RegisterStreamClass(TImage::StaticClassInfo());
  try {
    switch (commandLine.Command) {
      case TPackCommand::pcHelp:
        std::fputs(commandLine.HelpText.c_str(), stdout);
        break;
      case TPackCommand::pcBuild:
        RunBuild(commandLine.Build, ToolPath(argv[0]), stdout, stderr);
        break;
      case TPackCommand::pcInspect:
        RunInspect(commandLine.Inspect, stdout);
        break;
      case TPackCommand::pcExtract:
        RunExtract(commandLine.Extract, stdout, stderr);
        break;
      case TPackCommand::pcInstall:
        if (!RunInstall(commandLine.Install, UserSaverPlaces(), stdout, stderr)) {
          std::fflush(stdout);
          return kExitFailure;
        }
        break;
    }
  } catch (const std::exception& e) {
    // Error texts quote names and strings read from packages: control characters are escaped.
    std::fprintf(stderr, "tovrin-pack: %s\n", TerminalText(e.what()).c_str());
    return kExitFailure;
  }
  if (std::fflush(stdout) != 0) {
    std::fprintf(stderr, "tovrin-pack: cannot write to standard output\n");
    return kExitFailure;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  return Run(argc, argv);
}
