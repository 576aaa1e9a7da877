// The package locator: finds the content package behind the program image and reads its items.
//
//   | program image | picture items, media items, settings object | trailer (40 bytes) |
//
// Trailer: PackageLength (20 bytes) and SettingsOffset (20 bytes), decimal digits padded with
// spaces; a field that is not a number reads as 0. Offsets are absolute file positions.
//
// Media files are written only into the given folder, and only as media_plan.h allows: a package
// whose media break its rules has none written.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "package/image.h"
#include "package/media_plan.h"
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

// Reads picture item index (offset PicOffsetAt(index)) from the program file, open as program.
std::unique_ptr<TImage> ReadPictureItem(TStream& program, const TSSFileLocations& settings,
                                        int32_t index);
// The picture item at offset.
std::unique_ptr<TImage> ReadPictureItemAt(TStream& stream, int64_t offset);

// The temporary directory (UTF-8), ending in the path separator: GetTempPathW on Windows; $TMPDIR
// or /tmp elsewhere.
std::string GetTempDir();
// The path of a stored (Windows-1252) media name in tempDir, in UTF-8: JoinPath(tempDir,
// MediaFileName(name)).
std::string MediaFilePath(const std::string& name, const std::string& tempDir);

struct TMediaExtraction {
  TMediaPlan Plan;           // what the package allowed; Plan.Refusal says why nothing was
  int32_t FilesWritten = 0;  // the files of Plan.Files now complete in tempDir
  int64_t BytesWritten = 0;
};

// Writes every sound, then every movie, from the program stream into tempDir as the plan for the
// stream's file allows (nothing at all when the plan refuses the package's media). Each file is
// created new (never over a file or through a link that is there); one that cannot be written
// whole (a full disk) is removed and left out, and the others are still written. Afterwards a
// media item is available exactly when its file is in tempDir. Throws only for a stream that
// cannot be read at all.
TMediaExtraction ExtractMediaFiles(const TSSFileLocations& settings, TStream& stream,
                                   const std::string& tempDir);
// Deletes the files ExtractMediaFiles may have made (results ignored; names that are not safe file
// names were never written and are left alone). Never throws.
void DeleteMediaFiles(const TSSFileLocations& settings, const std::string& tempDir);

}  // namespace tovrin
