// Which movie a file holds, told from its first bytes: the containers a show plays (MP4, MOV,
// WebM, Matroska) and the old .swf movies. tovrin-pack takes movies by this and nothing else.
//
//   MP4 / MOV   offset 4: a box type, "ftyp" (then the major brand at 8: "qt  " is MOV) or, in
//               QuickTime files without one, "moov", "mdat", "wide", "free" or "skip" (MOV)
//   Matroska    offset 0: 1A 45 DF A3 (EBML), then within the header element a DocType element
//               (42 82, a size, then "webm" or "matroska")
//   SWF         offset 0: "FWS", "CWS" or "ZWS"
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace tovrin {

// What inspect says of a movie.
struct TMovieFormat {
  std::string Container;   // as MovieContainer names it; empty: not a movie a show plays
  std::string VideoCodec;  // with FFmpeg's libraries only (not in the Windows build)
  std::string AudioCodec;
  int32_t Width = 0;
  int32_t Height = 0;
  int64_t DurationMs = 0;
  std::string Problem;  // why the video player would not play it; empty when it would
};

// How many first bytes MovieContainer looks at.
inline constexpr size_t MovieSniffBytes = 64;

// "mp4", "mov", "webm", "matroska", "swf", or empty for anything else.
std::string MovieContainer(const uint8_t* bytes, size_t size);

// Raises EConvertError naming path unless the file holds a movie a show plays, and unless it is
// named as its player expects (.swf for SWF movies, any other name for videos: the engine picks
// the player by the name).
void CheckMovieFile(const std::string& path);

// The movie held by the length bytes at offset of the file at path: its container from its first
// bytes, and (where this build has the video player) its streams as the player reads them.
TMovieFormat DescribeMovie(const std::string& path, int64_t offset, int64_t length);

}  // namespace tovrin
