// tovrin-studio: makes a screen saver in the browser. A local HTTP server on 127.0.0.1 whose page
// (built into the tool) adds photos, picks transitions and choices, previews the real show and
// builds the saver.
//
//   tovrin-studio [FOLDER...] [--port N] [--no-browser]
//
// The first line on standard output is the page's address. The studio ends when its page has
// sent no sign of life for a minute (after it first loaded), or on Ctrl-C / SIGTERM.
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <CLI/CLI.hpp>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <thread>
#include <vector>

#include "core/errors.h"
#include "engine_locator.h"
#include "request_guard.h"
#include "studio_server.h"
#include "studio_session.h"
#include "tool_command_line.h"
#include "value_parsers.h"

extern char** environ;

namespace tovrin {
namespace {

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;
// How long the page may be silent (it calls api/alive every 10 s) before the studio ends.
constexpr auto kPageSilence = std::chrono::seconds(60);

struct TStudioArguments {
  std::vector<std::string> Folders;
  int Port = 0;
  bool NoBrowser = false;
};

// The Windows engine, for the .scr target: beside the tool, or where the Linux package installs
// it (PREFIX/share/tovrin/windows/tovrin.exe); empty when there is none.
std::string FindWindowsEngine(const std::string& toolPath) {
  namespace fs = std::filesystem;
  const fs::path dir = fs::path(toolPath).parent_path();
  for (const fs::path& candidate :
       {dir / "tovrin.exe", (dir / ".." / "share" / "tovrin" / "windows" / "tovrin.exe")}) {
    std::error_code ec;
    if (fs::is_regular_file(candidate, ec)) return candidate.lexically_normal().string();
  }
  return "";
}

// Opens the page in the user's browser with xdg-open, without waiting for it and without a
// shell. A failure is told on standard error: the address printed still works.
void OpenBrowser(const std::string& address) {
  std::vector<char*> argv;
  std::string program = "xdg-open";
  std::string arg = address;
  argv.push_back(program.data());
  argv.push_back(arg.data());
  argv.push_back(nullptr);
  pid_t pid = 0;
  if (posix_spawnp(&pid, "xdg-open", nullptr, nullptr, argv.data(), environ) != 0) {
    std::fprintf(stderr, "tovrin-studio: cannot run xdg-open; open the address above yourself\n");
    return;
  }
  // xdg-open returns once the browser has the address; reaped on a thread so it leaves no zombie.
  std::thread([pid] {
    int status = 0;
    waitpid(pid, &status, 0);
  }).detach();
}

int Serve(const TStudioArguments& args, const std::string& toolPath) {
  // SIGINT and SIGTERM are taken by sigtimedwait below, never by a handler: blocked before any
  // thread starts, so every thread inherits the mask.
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGINT);
  sigaddset(&stopSignals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
  // A browser that goes away mid-answer must not end the studio.
  signal(SIGPIPE, SIG_IGN);

  TStudioSetup setup;
  for (const std::string& folder : args.Folders) {
    setup.Folders.push_back(std::filesystem::absolute(folder).lexically_normal().string());
  }
  try {
    setup.LinuxEngine = FindEngineBesideTool(toolPath);
  } catch (const Exception& e) {
    std::fprintf(stderr, "tovrin-studio: warning: %s\n", e.what());
  }
  setup.WindowsEngine = FindWindowsEngine(toolPath);
  TStudioSession session(setup);
  TStudioServer server(session, MakeSecret());
  server.Bind(args.Port);
  std::printf("%s\n", server.Address().c_str());
  std::fflush(stdout);
  std::thread serving([&server] { server.Run(); });
  if (!args.NoBrowser) OpenBrowser(server.Address());

  for (;;) {
    const timespec second{1, 0};
    const int signal = sigtimedwait(&stopSignals, nullptr, &second);
    if (signal == SIGINT || signal == SIGTERM) {
      std::fprintf(stderr, "tovrin-studio: stopped\n");
      break;
    }
    const auto life = server.LastSignOfLife();
    if (life && std::chrono::steady_clock::now() - *life > kPageSilence) {
      std::fprintf(stderr, "tovrin-studio: the page has been closed for a minute; ending\n");
      break;
    }
  }
  server.Stop();
  serving.join();
  return 0;
}

int Main(int argc, char** argv) {
  CLI::App tool(
      "Makes a screen saver in the browser: a page on this computer only, at an address with a "
      "secret, to add photos, pick transitions, preview the show and build the saver.",
      "tovrin-studio");
  ConfigureToolApp(tool);
  tool.require_subcommand(0);  // the studio has no commands
  tool.footer(
      "The first line on standard output is the page's address. The studio ends a minute after "
      "its page was closed, or on Ctrl-C.\nExit status: 0 success, 1 the studio could not start, "
      "2 a mistake on the command line.");
  TStudioArguments args;
  AddOperandList(tool, "FOLDER", args.Folders,
                 "folders of photos to start with; the page may add photos from these folders "
                 "and below them only");
  AddOption(tool, "--port", "the port on 127.0.0.1, 0 to 65535; 0: any free port (default: 0)",
            [&args](std::string_view what, const std::string& v) {
              args.Port = ParseRangedInteger(what, v, 0, 65535, TValueWording::vwIsNot);
            })
      ->type_name("N");
  tool.add_flag("--no-browser", args.NoBrowser, "do not open the page in the browser");
  try {
    const TToolCommandLine parsed =
        ParseToolCommandLine(tool, std::vector<std::string>(argv + 1, argv + argc));
    if (parsed.Help) {
      std::fputs(parsed.Help->c_str(), stdout);
      return 0;
    }
    for (const std::string& folder : args.Folders) {
      if (!std::filesystem::is_directory(folder)) {
        throw EUsageError("\"" + folder + "\" is not a folder");
      }
    }
    return Serve(args, ToolPath(argv[0]));
  } catch (const EUsageError& e) {
    std::fprintf(stderr, "tovrin-studio: %s\n(see tovrin-studio --help)\n", e.what());
    return kExitUsage;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "tovrin-studio: %s\n", e.what());
    return kExitFailure;
  }
}

}  // namespace
}  // namespace tovrin

int main(int argc, char** argv) {
  return tovrin::Main(argc, argv);
}
