// What `tovrin-pack build` is asked to do, and the options that say it: every option of the build
// command is defined in AddBuildOptions.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "import/picture_import.h"
#include "pack_settings.h"

namespace CLI {
class App;
}  // namespace CLI

namespace tovrin {

struct TBuildRequest {
  std::string EnginePath;  // empty: the engine beside the tool
  std::string OutputPath;
  std::string SettingsPath;           // empty: no settings file
  TPackSettings Options;              // settings given as options; they override the settings file
  std::vector<std::string> Pictures;  // files, and folders of pictures
  bool Recursive = false;             // folders: their subfolders too
  TImportOptions PictureOptions;      // turning, fitting and re-encoding the pictures
  std::vector<std::string> Sounds;
  std::vector<std::string> Movies;
  // Each picture's own caption from this template (UTF-8; caption_template.h); empty: none.
  std::string CaptionTemplate;
  // Told on the building thread before each picture is converted and once at the end (done ==
  // total), for a caller that shows its own progress; may be empty.
  std::function<void(int done, int total)> OnPictureProgress;
};

// Adds the build command's options and operands to `build`, each bound to its field of `request`,
// which must outlive the parse. Values are converted as the settings file converts them (texts
// from UTF-8 to Windows-1252, colour names, font sizes, effect lists); a value they refuse is a
// mistake on the command line.
void AddBuildOptions(CLI::App& build, TBuildRequest& request);

// Raises EUsageError when the request has nothing to pack.
void CheckBuildRequest(const TBuildRequest& request);

}  // namespace tovrin
