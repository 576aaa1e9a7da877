// Movie clips made at test time by the ffmpeg program (its path comes from the build:
// TOVRIN_FFMPEG_PROGRAM): flat colour segments one after another, with a tone as sound when
// asked, in the container and codecs asked for.
//
// Under Wine the test programs cannot run the host's ffmpeg, so the clips are made on the host
// before the run: a clip is looked up in the folder TOVRIN_TEST_CLIPS by a name made from its
// ffmpeg options and extension. A clip not there yet fails the test and is asked for in the
// folder's wanted.txt (a line "NAME<TAB>OPTIONS"); scripts/windows-test.sh makes what was asked
// for with the host's ffmpeg and runs the program again.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace tovrin::testing {

struct TClipSegment {
  uint32_t Rgb = 0;     // 0xRRGGBB
  uint32_t Frames = 1;  // at the clip's rate
};

struct TClipRecipe {
  std::vector<TClipSegment> Segments;
  int Width = 64;
  int Height = 48;
  int Rate = 25;
  std::string VideoCodec = "libx264";  // an ffmpeg encoder name
  std::string AudioCodec;              // empty: no sound
  int ToneSegment = -1;  // with sound: the tone sounds during this segment alone (-1: all along)
  std::string Extra;     // further ffmpeg output options
};

// The ffmpeg options (inputs, filters, codecs; no output) that make the clip.
std::string ClipOptions(const TClipRecipe& recipe);

// Runs "ffmpeg OPTIONS output" (under Wine: copies the clip the host made with them); fails the
// calling test (and returns false) when ffmpeg fails.
bool RunFfmpeg(const std::string& options, const std::filesystem::path& output);

// Writes the clip to path (its extension chooses the container); fails the calling test (and
// returns false) when ffmpeg fails.
bool MakeClip(const std::filesystem::path& path, const TClipRecipe& recipe);

// The clip's bytes (made in a scratch file beside nothing else).
std::vector<uint8_t> ClipBytes(const TClipRecipe& recipe, const std::string& extension);

}  // namespace tovrin::testing
