// The command line of tovrin-pack: a command, then its options and operands.
//
//   tovrin-pack build [--engine ENGINE] -o OUT [options] PICTURE...
//   tovrin-pack inspect FILE [--json]
//   tovrin-pack extract FILE DIR [--overwrite]
//   tovrin-pack install SAVER [--name NAME] [--label TEXT] [--folder DIR] [--uninstall]
//   tovrin-pack --help
//
// Parsed with CLI11 under the conventions of tools/cli (values after a blank or "=", "--" ends the
// options, -h/--help anywhere). A mistake raises EUsageError, which the program reports with a
// hint at --help and exit status 2.
#pragma once

#include <string>
#include <vector>

#include "build_options.h"
#include "tool_command_line.h"

namespace tovrin {

enum class TPackCommand { pcHelp, pcBuild, pcInspect, pcExtract, pcInstall };

struct TInspectRequest {
  std::string FileName;
  bool Json = false;
};

struct TExtractRequest {
  std::string FileName;
  std::string Directory;
  bool Overwrite = false;  // replace files already in Directory instead of refusing
};

struct TInstallRequest {
  std::string Saver;   // the saver's file; with Uninstall, its name will do
  std::string Name;    // the name to install under; empty: the saver's file name
  std::string Label;   // the name shown in the list; empty: the saver's title, else the name
  std::string Folder;  // where the program goes; empty: the platform's usual place
  bool Uninstall = false;
};

struct TCommandLine {
  TPackCommand Command = TPackCommand::pcHelp;
  std::string HelpText;  // pcHelp: the help asked for
  TBuildRequest Build;
  TInspectRequest Inspect;
  TExtractRequest Extract;
  TInstallRequest Install;
};

// args: the arguments after the program name, as UTF-8.
TCommandLine ParseCommandLine(const std::vector<std::string>& args);

}  // namespace tovrin
