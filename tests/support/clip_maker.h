// Movie clips made at test time by the ffmpeg program (its path comes from the build:
// TOVRIN_FFMPEG_PROGRAM): flat colour segments one after another, with a tone as sound when
// asked, in the container and codecs asked for.
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

// Writes the clip to path (its extension chooses the container); fails the calling test (and
// returns false) when ffmpeg fails.
bool MakeClip(const std::filesystem::path& path, const TClipRecipe& recipe);

// The clip's bytes (made in a scratch file beside nothing else).
std::vector<uint8_t> ClipBytes(const TClipRecipe& recipe, const std::string& extension);

}  // namespace tovrin::testing
