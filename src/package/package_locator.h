// The package locator: finds the content package behind the program image and reads its items.
//
//   | program image | picture items, media items, settings object | trailer (40 bytes) |
//
// Trailer: PackageLength (20 bytes) and SettingsOffset (20 bytes), decimal digits padded with
// spaces; a field that is not a number reads as 0. Offsets are absolute file positions.
//
// Media files are written only into the given temporary directory, under names that must be
// plain file names (EUnsafeContent otherwise, before anything is written).
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "package/image.h"
#include "package/ss_file_locations.h"
#include "package/stream.h"

namespace tovrin {

inline constexpr int64_t PackageTrailerSize = 40;
inline constexpr int64_t TrailerFieldSize = 20;

struct TPackageTrailer {
  bool Ok = false;
  int32_t PackageLength = 0;
  int32_t SettingsOffset = 0;
};

// Opens the program file for reading, sharing it with readers ("Cannot open file %s").
std::unique_ptr<TFileStream> OpenSelfStream(const std::string& programPath);

// Reads the 40-byte trailer at the end of the stream; Ok is false after a short read.
TPackageTrailer ReadPackageTrailer(TStream& stream);

// Reads the settings object at settingsOffset: into settings when given (returns nullptr), or
// into a new TSSFileLocations that the caller owns.
std::unique_ptr<TSSFileLocations> ReadShowSettings(TStream& stream, int64_t settingsOffset,
                                                   TSSFileLocations* settings);

// Reads picture item index (offset PicOffsetAt(index)) from its own stream on the program file.
std::unique_ptr<TImage> ReadPictureItem(const std::string& programPath,
                                        const TSSFileLocations& settings, int32_t index);
// The same from an open stream.
std::unique_ptr<TImage> ReadPictureItemAt(TStream& stream, int64_t offset);

// The temporary directory (UTF-8), ending in the path separator: GetTempPathW on Windows; $TMPDIR
// or /tmp elsewhere.
std::string GetTempDir();
// JoinPath(tempDir, name), the stored name (package text, Windows-1252) turned into UTF-8: the one
// place where a media name becomes a path, for extracting, playing and deleting alike.
std::string MediaFilePath(const std::string& name, const std::string& tempDir);

// Copies every sound, then every movie, from the program stream into tempDir. Every name is
// checked before the first file is created; a size of 0 gives an empty file; a negative size, or
// a copy past the end of the stream, fails ("Invalid media size", "Stream read error").
void ExtractMediaFiles(const TSSFileLocations& settings, TStream& stream,
                       const std::string& tempDir);
// Deletes the files ExtractMediaFiles made (results ignored; names that are not plain file names
// are left alone).
void DeleteMediaFiles(const TSSFileLocations& settings, const std::string& tempDir);

}  // namespace tovrin
