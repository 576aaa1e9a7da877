// The command line of tovrin-pack: a command word, then its options and operands.
//
//   tovrin-pack build [--engine ENGINE] -o OUT [options] PICTURE...
//   tovrin-pack inspect FILE [--json]
//   tovrin-pack extract FILE DIR
//   tovrin-pack --help
//
// Options take their value as the next argument or after "=" (--interval=3000); "--" ends the
// options. Yes/no options may carry a value (--stretch=no). A mistake raises EUsageError, which the
// program reports with a hint at --help and exit status 2.
#pragma once

#include <string>
#include <vector>

#include "core/errors.h"
#include "pack_settings.h"

namespace tovrin {

class EUsageError : public Exception {
  using Exception::Exception;
};

enum class TPackCommand { pcHelp, pcBuild, pcInspect, pcExtract };

struct TBuildRequest {
  std::string EnginePath;  // empty: the engine beside the tool
  std::string OutputPath;
  std::string SettingsPath;  // empty: no settings file
  TPackSettings Options;     // settings given as options; they override the settings file
  std::vector<std::string> Pictures;
  std::vector<std::string> Sounds;
  std::vector<std::string> Movies;
};

struct TInspectRequest {
  std::string FileName;
  bool Json = false;
};

struct TExtractRequest {
  std::string FileName;
  std::string Directory;
};

struct TCommandLine {
  TPackCommand Command = TPackCommand::pcHelp;
  TBuildRequest Build;
  TInspectRequest Inspect;
  TExtractRequest Extract;
};

// args: the arguments after the program name, as UTF-8.
TCommandLine ParseCommandLine(const std::vector<std::string>& args);

}  // namespace tovrin
