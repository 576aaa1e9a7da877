#include "build_options.h"

#include <CLI/CLI.hpp>
#include <cstdint>

#include "core/ansi_text.h"
#include "core/conversions.h"
#include "import/fit_box.h"
#include "option_values.h"
#include "tool_command_line.h"

namespace tovrin {

namespace {

int32_t ParseSoundOrder(std::string_view what, std::string_view text) {
  if (SameText(text, "list")) return 0;
  if (SameText(text, "random")) return 2;
  if (SameText(text, "repeat-one")) return 3;
  return ParseRangedInteger(what, text, INT32_MIN, INT32_MAX, PackWording);
}

}  // namespace

void AddBuildOptions(CLI::App& build, TBuildRequest& request) {
  TPackSettings& s = request.Options;
  // The kinds of option, each converting its value into one field of the settings.
  const auto text = [&](const char* name, std::optional<std::string> TPackSettings::*field,
                        const std::string& description) {
    return AddOption(build, name, description,
                     [&s, field](std::string_view, const std::string& v) {
                       s.*field = Utf8ToAnsiStrict(v);
                     })
        ->type_name("TEXT");
  };
  const auto yesNo = [&](const char* name, std::optional<bool> TPackSettings::*field,
                         const std::string& description) {
    return AddFlagOption(
        build, name,
        description + " (default: no; --" + std::string(name + 2) + "=no also accepted)",
        [&s, field](std::string_view what, const std::string& v) {
          s.*field = ParseBoolean(what, v);
        });
  };
  const auto number = [&](const char* name, const char* type, const std::string& description,
                          TOptionValue parse) {
    return AddOption(build, name, description, std::move(parse))->type_name(type);
  };
  const auto media = [&](const char* name, std::vector<std::string>& files,
                         const std::string& description) {
    // One file per occurrence: the operands after it stay pictures.
    return build.add_option(name, files, description)
        ->type_name("FILE")
        ->allow_extra_args(false)
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
  };

  build
      .add_option("--engine", request.EnginePath,
                  "engine executable to copy (default: the tovrin beside this tool, or "
                  "../../src/app/tovrin in a build tree)")
      ->type_name("FILE");
  build.add_option("-o,--output", request.OutputPath, "screen saver to write")
      ->type_name("FILE")
      ->required();
  build
      .add_option("--settings", request.SettingsPath,
                  "INI file, section [Settings], one key per property; the options here "
                  "override it (default: none)")
      ->type_name("FILE");

  text("--text", &TPackSettings::Text, "caption on every other picture (default: none)");
  text("--font-name", &TPackSettings::FontName, "caption face (default: MS Sans Serif)")
      ->type_name("NAME");
  CLI::Option* size = number(
      "--font-size", "POINTS",
      "caption size, 1 to 1000; stored height = -MulDiv(POINTS, 96, 72) (default: 8)",
      [&s](std::string_view what, const std::string& v) {
        s.FontHeight = FontHeightForPoints(ParseRangedInteger(what, v, 1, 1000, PackWording));
      });
  CLI::Option* height =
      number("--font-height", "N", "stored height itself, -1000 to 1000 (default: -11, 8 points)",
             [&s](std::string_view what, const std::string& v) {
               s.FontHeight = ParseRangedInteger(what, v, -1000, 1000, PackWording);
             });
  size->excludes(height);
  number("--font-color", "COLOR",
         "colour name (clRed, clWhite, ...), #RRGGBB (web order), 0xBBGGRR (as stored) or "
         "decimal (default: clWindowText)",
         [&s](std::string_view what, const std::string& v) { s.FontColor = ParseColor(what, v); });
  number(
      "--font-charset", "CS", "ANSI_CHARSET, ... or 0-255 (default: 1)",
      [&s](std::string_view what, const std::string& v) { s.FontCharset = ParseCharset(what, v); });
  number("--font-style", "LIST", "bold,italic,underline,strikeout (default: none)",
         [&s](std::string_view what, const std::string& v) {
           s.FontStyle = ParseFontStyles(what, v);
         });
  number("--interval", "MS",
         "pause after each transition in milliseconds; 0 shows only the first picture "
         "(default: 5000)",
         [&s](std::string_view what, const std::string& v) {
           s.Interval = ParseRangedInteger(what, v, 0, INT32_MAX, PackWording);
         });
  number("--effects", "LIST", "transition styles 0-127, e.g. 5,9,12 (default: none, no transition)",
         [&s](std::string_view what, const std::string& v) { s.Effects = ParseEffects(what, v); });
  yesNo("--random-pictures", &TPackSettings::RandomPic, "show the pictures in random order");
  yesNo("--shuffle", &TPackSettings::Shuffle,
        "show every picture once per round, each round in a fresh random order, never the same "
        "picture twice in a row (overrides --random-pictures)");
  yesNo("--motion", &TPackSettings::Motion,
        "fill the screen with each picture and move it slowly while it is held: landscape "
        "pictures zoom, portraits pan down or up, panoramas pan across");
  number("--fill", "FILL",
         "what shows around a picture that does not cover the screen: black, or blur (an "
         "enlarged, blurred and darkened copy of the picture) (default: black)",
         [&s](std::string_view what, const std::string& v) { s.PicFill = ParsePicFill(what, v); });
  build
      .add_option("--caption", request.CaptionTemplate,
                  "each picture's own caption, on every picture in the caption font instead of "
                  "--text: a template of {date} (taken, as 14 July 2023), {year}, {name} (file "
                  "name without extension), {folder}, {description} (the photo's own), {place} "
                  "(the town nearest to the photo's GPS position, as Town, Country) and literal "
                  "text; a field a photo lacks is left out with the text before it (default: "
                  "none)")
      ->type_name("TEMPLATE");
  yesNo("--random-effects", &TPackSettings::RandomStyle,
        "pick each transition at random from the list");
  yesNo("--stretch", &TPackSettings::Stretch, "scale the pictures to the screen");
  yesNo("--clear-old", &TPackSettings::ClearOldImage, "clear the screen before each transition");
  media("--sound", request.Sounds,
        "add a sound; repeatable, played in the order given (default: none)");
  number("--sound-order", "ORDER",
         "list (0), random (2), repeat-one (3) or a number (default: list)",
         [&s](std::string_view what, const std::string& v) {
           s.SoundRandom = ParseSoundOrder(what, v);
         });
  yesNo("--sound-loop", &TPackSettings::SoundLoop, "set the stored sound-loop flag");
  yesNo("--mute", &TPackSettings::Mute, "no sound unless the user's setup choice says otherwise");
  media("--movie", request.Movies, "add a movie; repeatable (default: none)");
  AddOption(build, "--kind",
            "photo, or movie (stored as flash, the name the engine reads; flash is accepted "
            "too); any other text is stored as given (default: photo)",
            [&s](std::string_view, const std::string& v) {
              s.Ver = v == "movie" ? std::string("flash") : Utf8ToAnsiStrict(v);
            })
      ->type_name("KIND");
  text("--title", &TPackSettings::Title, "title shown by the setup dialog (default: none)");
  text("--author", &TPackSettings::Author, "author shown by the setup dialog (default: none)");
  text("--email", &TPackSettings::Email, "e-mail shown by the setup dialog (default: none)");
  text("--web", &TPackSettings::Web, "web address shown by the setup dialog (default: none)");

  // The pictures: what is done to them before they are stored.
  TImportOptions& pictures = request.PictureOptions;
  number("--fit", "WxH",
         "shrink each picture larger than the box (e.g. 1920x1080) to fit it, proportions kept, "
         "and re-encode it; pictures inside the box are never enlarged (default: none)",
         [&pictures](std::string_view what, const std::string& v) {
           const TSizeValue box = ParseSizeValue(what, v, 1, MaxFitSide, PackWording);
           pictures.Fit = {box.Width, box.Height};
         });
  number("--quality", "Q",
         "JPEG quality 1 to 100 of the pictures that are re-encoded (default: " +
             std::to_string(DefaultJpegQuality) + ")",
         [&pictures](std::string_view what, const std::string& v) {
           pictures.Quality = ParseRangedInteger(what, v, 1, 100, PackWording);
         });
  AddFlagOption(build, "--keep-orientation",
                "store pictures as they are, not turned upright by their EXIF orientation "
                "(default: no; --keep-orientation=no also accepted)",
                [&pictures](std::string_view what, const std::string& v) {
                  pictures.ApplyOrientation = !ParseBoolean(what, v);
                });
  AddFlagOption(build, "--recursive",
                "folders given as pictures: take the pictures of their subfolders too (default: "
                "no; --recursive=no also accepted)",
                [&request](std::string_view what, const std::string& v) {
                  request.Recursive = ParseBoolean(what, v);
                });

  AddOperandList(build, "PICTURE", request.Pictures,
                 "pictures (" + AcceptedPictureTypes() +
                     ") and folders of them, shown in the order given (default: none; a flash "
                     "show may have only movies)");
}

void CheckBuildRequest(const TBuildRequest& request) {
  if (request.Pictures.empty() && request.Movies.empty()) {
    throw EUsageError("build needs at least one picture (or a movie for a flash show)");
  }
}

}  // namespace tovrin
