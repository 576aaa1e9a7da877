#include "clip_maker.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>

namespace tovrin::testing {

namespace {

std::string Hex(uint32_t rgb) {
  char text[16];
  std::snprintf(text, sizeof(text), "0x%06X", rgb & 0xFFFFFF);
  return text;
}

}  // namespace

std::string ClipOptions(const TClipRecipe& recipe) {
  std::string options;
  std::string concat;
  uint32_t frames = 0;
  double toneFrom = 0;
  double toneTo = 0;
  for (size_t i = 0; i < recipe.Segments.size(); ++i) {
    const TClipSegment& s = recipe.Segments[i];
    options += " -f lavfi -i color=c=" + Hex(s.Rgb) + ":s=" + std::to_string(recipe.Width) + "x" +
               std::to_string(recipe.Height) + ":r=" + std::to_string(recipe.Rate) +
               ":d=" + std::to_string(static_cast<double>(s.Frames) / recipe.Rate);
    concat += "[" + std::to_string(i) + ":v]";
    if (static_cast<int>(i) == recipe.ToneSegment) {
      toneFrom = static_cast<double>(frames) / recipe.Rate;
      toneTo = static_cast<double>(frames + s.Frames) / recipe.Rate;
    }
    frames += s.Frames;
  }
  const double seconds = static_cast<double>(frames) / recipe.Rate;
  if (!recipe.AudioCodec.empty()) {
    options +=
        " -f lavfi -i sine=frequency=440:sample_rate=44100:duration=" + std::to_string(seconds);
  }
  // The tone of one segment alone: silence (volume 0) before and after it.
  std::string sound;
  if (!recipe.AudioCodec.empty() && recipe.ToneSegment >= 0) {
    sound = ";[" + std::to_string(recipe.Segments.size()) + ":a]volume=volume=0:enable=lt(t\\," +
            std::to_string(toneFrom) + ")+gte(t\\," + std::to_string(toneTo) + ")[a]";
  }
  options += " -filter_complex '" + concat + "concat=n=" + std::to_string(recipe.Segments.size()) +
             ":v=1:a=0,format=yuv420p[v]" + sound + "' -map '[v]'";
  if (!recipe.AudioCodec.empty()) {
    options += sound.empty() ? " -map " + std::to_string(recipe.Segments.size()) + ":a"
                             : std::string(" -map '[a]'");
    options += " -c:a " + recipe.AudioCodec;
  }
  options += " -c:v " + recipe.VideoCodec + " -t " + std::to_string(seconds) + " " + recipe.Extra;
  return options;
}

#if defined(_WIN32)

std::string HostClipName(const std::string& options, const std::filesystem::path& output) {
  // FNV-1a over the options and the container's extension.
  uint64_t hash = 0xCBF29CE484222325u;
  for (const char c : options + "|" + output.extension().string()) {
    hash = (hash ^ static_cast<uint8_t>(c)) * 0x100000001B3u;
  }
  char name[24];
  std::snprintf(name, sizeof name, "%016llX", static_cast<unsigned long long>(hash));
  return name + output.extension().string();
}

bool RunFfmpeg(const std::string& options, const std::filesystem::path& output) {
  const char* folder = std::getenv("TOVRIN_TEST_CLIPS");
  if (!folder) {
    ADD_FAILURE() << "TOVRIN_TEST_CLIPS names no folder of clips made on the host";
    return false;
  }
  const std::string name = HostClipName(options, output);
  const std::filesystem::path made = std::filesystem::path(folder) / name;
  std::error_code error;
  if (std::filesystem::is_regular_file(made, error)) {
    std::filesystem::copy_file(made, output, std::filesystem::copy_options::overwrite_existing,
                               error);
    EXPECT_FALSE(error) << "copying " << made << ": " << error.message();
    return !error;
  }
  // Binary: the host's shell reads the lines, and a carriage return would end up in ffmpeg's.
  std::ofstream(std::filesystem::path(folder) / "wanted.txt", std::ios::app | std::ios::binary)
      << name << '\t' << options << '\n';
  ADD_FAILURE() << "the clip " << name << " has not been made on the host yet (asked for in "
                << folder << "/wanted.txt): ffmpeg" << options;
  return false;
}

#else

bool RunFfmpeg(const std::string& options, const std::filesystem::path& output) {
  const std::string command = std::string(TOVRIN_FFMPEG_PROGRAM) + " -nostdin -v error -y" +
                              options + " '" + output.string() + "'";
  const int rc = std::system(command.c_str());
  EXPECT_EQ(rc, 0) << command;
  return rc == 0;
}

#endif

bool MakeClip(const std::filesystem::path& path, const TClipRecipe& recipe) {
  return RunFfmpeg(ClipOptions(recipe), path);
}

std::vector<uint8_t> ClipBytes(const TClipRecipe& recipe, const std::string& extension) {
  static std::atomic<int> counter{0};
  const std::filesystem::path path =
      std::filesystem::temp_directory_path() /
      ("tovrin_clip_" + std::to_string(getpid()) + "_" + std::to_string(counter++) + extension);
  std::vector<uint8_t> bytes;
  if (MakeClip(path, recipe)) {
    std::ifstream in(path, std::ios::binary);
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  std::filesystem::remove(path);
  return bytes;
}

}  // namespace tovrin::testing
