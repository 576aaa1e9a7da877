// The engine's entry routine, as far as the layers built so far reach: it registers the stream
// classes, seeds the process-wide generator, classifies the mode switch and, for the modes that
// read the package, reads the whole package from the program's own file. With no display back
// end linked yet it then says what it would run and ends with status 3.
#include <cstdio>
#include <exception>
#include <string>

#include "app/saver_mode.h"
#include "core/conversions.h"
#include "core/errors.h"
#include "core/random.h"
#include "package/package_locator.h"
#include "package/persistent.h"

namespace {

using namespace tovrin;

constexpr int ExitNoBackEnd = 3;

void PrintHelp() {
  std::fputs(
      "usage: tovrin [switch [window]]\n"
      "\n"
      "Runs the picture show packaged behind this program file.\n"
      "\n"
      "  /S, -S, S      show the pictures full screen (also any unrecognised switch)\n"
      "  /P <window>    draw the preview into the host window with that decimal handle\n"
      "  /C, or none    open the setup dialog (\"/c:1234\" is the same; the number is ignored)\n"
      "  /A <window>    change the screen-saver password (parent window handle)\n"
      "  --help         this text\n"
      "\n"
      "Only the first two characters of the switch count, letter case ignored; a switch that\n"
      "starts with the letter alone (\"Preview\") selects that mode too.\n",
      stdout);
}

std::string ProgramPath(const char* argv0) {
#ifdef _WIN32
  return argv0;
#else
  (void)argv0;
  return "/proc/self/exe";
#endif
}

std::string Count(int32_t n, const char* one, const char* many) {
  return std::to_string(n) + " " + (n == 1 ? one : many);
}

int Run(int argc, char** argv) {
  const std::string modeArg = argc > 1 ? argv[1] : "";
  const std::string hostWindowArg = argc > 2 ? UpperCase(argv[2]) : "";
  const TSaverMode mode = ClassifyMode(modeArg);

  if (mode == smChangePassword) {
    StrToInt(hostWindowArg);  // the parent window handle must be a number
    std::fprintf(stderr, "change-password mode: no password service built yet\n");
    return ExitNoBackEnd;
  }
  if (mode == smPreview) StrToInt(hostWindowArg);  // the host window handle

  const std::string path = ProgramPath(argv[0]);
  std::unique_ptr<TFileStream> stream = OpenSelfStream(path);
  const TPackageTrailer trailer = ReadPackageTrailer(*stream);
  if (!trailer.Ok) throw EReadError("Stream read error");
  TSSFileLocations settings;
  ReadShowSettings(*stream, trailer.SettingsOffset, &settings);
  for (int32_t i = 0; i < settings.PicCount(); ++i) {
    ReadPictureItemAt(*stream, settings.PicOffsetAt(i));
  }
  std::fprintf(stderr, "%s mode: %s, %s, %s; display back end not built yet\n",
               std::string(SaverModeName(mode)).c_str(),
               Count(settings.PicCount(), "picture", "pictures").c_str(),
               Count(settings.SndCount(), "sound", "sounds").c_str(),
               Count(settings.FlashCount(), "movie", "movies").c_str());
  return ExitNoBackEnd;
}

}  // namespace

int main(int argc, char** argv) {
  RegisterStreamClass(TSSFileLocations::StaticClassInfo());
  RegisterStreamClass(TImage::StaticClassInfo());
  RandomizeFromTimeOfDay();

  if (argc > 1 && std::string(argv[1]) == "--help") {
    PrintHelp();
    return 0;
  }
  try {
    return Run(argc, argv);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "tovrin: %s\n", e.what());
    return 1;
  }
}
