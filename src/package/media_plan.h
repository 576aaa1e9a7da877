// Which sounds and movies of a package may be written out as files: decided from the settings
// and the package's place in the file alone, without touching a file, so that the engine and
// tovrin-pack apply one rule.
//
//   | program image | pictures, media ........ | settings object | trailer |
//                   ^ package start            ^ SettingsOffset  ^ file size - 40
//   package start = file size - 40 - PackageLength
//
// The media are extracted only when all of these hold, and then as a whole; otherwise none is:
//  - the package lies inside the file (its start is not before the first byte) and the settings
//    object starts inside it;
//  - every sound and movie has a name and a size entry beside its offset; no size is negative,
//    and its bytes lie between the package's start and the settings object;
//  - every name is a safe file name (core/file_names.h) once read as UTF-8, and no two names
//    are the same file on Windows (letter case ignored, beyond ASCII too);
//  - the sizes add up to no more than PackageLength: however often the entries name one range,
//    a package never writes more than its own length.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "package/ss_file_locations.h"

namespace tovrin {

enum class TMediaKind { mkSound, mkMovie };

// One file to write: Size bytes from Offset of the program file.
struct TMediaFile {
  TMediaKind Kind = TMediaKind::mkSound;
  int32_t Index = 0;  // in its own list
  int64_t Offset = 0;
  int64_t Size = 0;
  std::string StoredName;  // as stored (Windows-1252)
  std::string FileName;    // the name on disk (UTF-8)
};

struct TMediaPlan {
  std::vector<TMediaFile> Files;  // every sound, then every movie; empty when refused
  std::string Refusal;            // why the media are left out; "" when they may be written
  int64_t TotalBytes = 0;         // the sizes of Files added up
  bool Accepted() const { return Refusal.empty(); }
};

// Plans the extraction of the media that settings describes, in a file of fileSize bytes whose
// trailer holds packageLength and settingsOffset. Never throws for what a package holds.
TMediaPlan PlanMediaExtraction(const TSSFileLocations& settings, int64_t fileSize,
                               int64_t packageLength, int64_t settingsOffset);

// The name a stored (Windows-1252) media name has on disk and in paths: UTF-8.
std::string MediaFileName(const std::string& storedName);

}  // namespace tovrin
