#include "command_line.h"

#include <CLI/CLI.hpp>

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
      "lPicCaptions; values as "
      "the options take them. Texts are read as UTF-8 and stored in Windows-1252.");
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
  } else {
    cl.Command = TPackCommand::pcExtract;
  }
  return cl;
}

}  // namespace tovrin
