#include "command_line.h"

#include <CLI/CLI.hpp>

#include "places/built_in_places.h"

namespace tovrin {

TCommandLine ParseCommandLine(const std::vector<std::string>& args) {
  TCommandLine cl;
  CLI::App app("Makes, inspects and unpacks finished screen savers.", "tovrin-pack");
  ConfigureToolApp(app);
  app.footer(
      "Exit status: 0 success, 1 a refused input or a failure (the message on standard error), "
      "2 a mistake on the command line.");

  CLI::App* build = app.add_subcommand(
      "build",
      "Writes OUT: a copy of the engine, the pictures in the order given, the sounds, the "
      "movies, the show settings and the package trailer. OUT appears complete or not at all.");
  build->footer(
      "Settings file keys: Text, TextFont.Name, TextFont.Size (points) or TextFont.Height, "
      "TextFont.Color, TextFont.Charset, TextFont.Style, TextFont.Pitch, lRandomPic, "
      "lRandomStyle, lClearOldImage, lStretch, Interval, SoundRandom, lSoundLoop, lMute, Title, "
      "Author, Email, Web, Ver, EffectCommaList, DescriptCommaList, lShuffle, PicFill, "
      "lPicCaptions, lMotion; values as "
      "the options take them. Texts are read as UTF-8 and stored in Windows-1252. The towns "
      "{place} names: " +
      std::string(kPlacesAttribution) + ".");
  AddBuildOptions(*build, cl.Build);

  CLI::App* inspect = app.add_subcommand(
      "inspect",
      "Prints the trailer, the settings and a line per picture, sound and movie, reading every "
      "picture as the show does.");
  inspect->add_option("FILE", cl.Inspect.FileName, "screen saver to read")->required();
  inspect->add_flag("--json", cl.Inspect.Json,
                    "print one line of JSON: packageLength, settingsOffset, settings, pictures, "
                    "sounds, movies (default: text)");

  CLI::App* extract = app.add_subcommand(
      "extract",
      "Writes the pictures as .jpg files and the sounds and movies under their stored names "
      "into DIR; unsafe stored names are refused before anything is written.");
  extract->add_option("FILE", cl.Extract.FileName, "screen saver to read")->required();
  extract->add_option("DIR", cl.Extract.Directory, "folder to write into, created when missing")
      ->required();
  extract->add_flag("--overwrite", cl.Extract.Overwrite,
                    "replace files that already stand in DIR (default: refuse, writing nothing)");

  CLI::App* install = app.add_subcommand(
      "install",
#ifdef _WIN32
      "Copies SAVER into DIR as NAME.scr and says how to choose it in Windows' screen-saver "
      "settings. With --uninstall, removes it from DIR.");
#else
      "Adds SAVER to XScreenSaver for you: copies it to ~/.local/libexec/xscreensaver/NAME, "
      "writes its settings description to ~/.local/share/xscreensaver/config/NAME.xml and puts "
      "it first in the programs list of ~/.xscreensaver (keeping the file's other lines and its "
      "old bytes in ~/.xscreensaver.tovrin-backup). With --uninstall, undoes all three. Exit "
      "status 1 when a part could not be done; the message says what to do instead.");
#endif
  install
      ->add_option("SAVER", cl.Install.Saver,
                   "screen saver to install (with --uninstall: "
                   "the saver or its name)")
      ->required();
  AddOption(*install, "--name", "name to install under (default: SAVER's file name)",
            [&](std::string_view, const std::string& v) { cl.Install.Name = v; });
  AddOption(*install, "--label",
            "name shown in the list of savers (default: the saver's title, "
            "else NAME)",
            [&](std::string_view, const std::string& v) { cl.Install.Label = v; });
#ifdef _WIN32
  AddOption(*install, "--folder", "folder to copy the saver into (REQUIRED)",
            [&](std::string_view, const std::string& v) { cl.Install.Folder = v; });
#else
  AddOption(*install, "--folder",
            "folder to copy the program into (default: ~/.local/libexec/xscreensaver)",
            [&](std::string_view, const std::string& v) { cl.Install.Folder = v; });
#endif
  install->add_flag("--uninstall", cl.Install.Uninstall,
                    "remove what an install of that name made (default: install)");

  // "tovrin-pack help" asks for help as --help does.
  const bool helpWord = !args.empty() && args.front() == "help";
  const TToolCommandLine parsed =
      ParseToolCommandLine(app, helpWord ? std::vector<std::string>{"--help"} : args);
  if (parsed.Help) {
    cl.HelpText = *parsed.Help;
    return cl;
  }
  if (parsed.Command == build) {
    cl.Command = TPackCommand::pcBuild;
    CheckBuildRequest(cl.Build);
  } else if (parsed.Command == inspect) {
    cl.Command = TPackCommand::pcInspect;
  } else if (parsed.Command == install) {
    cl.Command = TPackCommand::pcInstall;
#ifdef _WIN32
    if (cl.Install.Folder.empty()) throw EUsageError("missing --folder");
#endif
  } else {
    cl.Command = TPackCommand::pcExtract;
  }
  return cl;
}

}  // namespace tovrin
