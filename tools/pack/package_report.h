// What `tovrin-pack inspect` reports about a screen saver, read as the engine reads it, and its
// two renderings: text for people and JSON for tools.
//
// The JSON shape is relied on by other tools:
//   {"packageLength": N, "settingsOffset": N,
//    "settings": {<property>: value, ..., "TextFont": {"Name", "Height", "Color", "Charset",
//                 "Style": [names], "Pitch": name}, <comma list>: [strings], ...},
//    "pictures": [{"offset", "width", "height", "jpegLength", "grayscale", "progressive"}],
//    "sounds": [{"offset", "name", "size"}],
//    "movies": [{"offset", "name", "size", "container", "video", "audio", "width", "height",
//                "durationMs", "problem"}] (the last seven when the movie was read: container ""
//                for a file a show does not play; video, audio, sizes and duration as the video
//                player reads them, "" and 0 where this build cannot tell; problem "" or why the
//                player would not play it),
//    "mediaLeftOut": null, or why the engine would write none of the sounds and movies}
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "movie_format.h"
#include "package/media_plan.h"
#include "package/package_locator.h"
#include "package/ss_file_locations.h"

namespace tovrin {

struct TPictureReport {
  int32_t Offset = 0;
  int32_t Width = 0;
  int32_t Height = 0;
  int64_t JpegLength = 0;
  bool HasJpeg = false;  // false: the item holds no known graphic
  bool Grayscale = false;
  bool Progressive = false;
};

struct TMediaReport {
  int32_t Offset = 0;
  std::string Name;  // as stored (Windows-1252)
  int32_t Size = 0;
  std::optional<TMovieFormat> Format;  // movies whose bytes lie inside the package
};

struct TPackageReport {
  std::string FileName;
  int64_t FileSize = 0;
  TPackageTrailer Trailer;
  std::unique_ptr<TSSFileLocations> Settings;
  std::vector<TPictureReport> Pictures;
  std::vector<TMediaReport> Sounds;
  std::vector<TMediaReport> Movies;
  TMediaPlan Media;  // the sounds and movies as the engine would extract them
};

// Opens the file and reads its trailer and settings object. Raises an Exception whose message
// starts with the file name and carries the reader's message.
TPackageReport ReadPackageHead(const std::string& fileName, TStream& stream);

// Reads the rest: every picture item (as the show reads it), and the sound and movie entries with
// the engine's plan for them.
void ReadPackageItems(TPackageReport& report, TStream& stream);
// Reads what each movie the engine would extract holds (TMediaReport::Format).
void DescribeMovies(TPackageReport& report);

std::string RenderReportJson(const TPackageReport& report);
std::string RenderReportText(const TPackageReport& report);

}  // namespace tovrin
