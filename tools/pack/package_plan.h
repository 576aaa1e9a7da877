// The layout of a screen saver before a byte of it is written.
//
//   offset 0             engine image (EngineSize bytes)
//   EngineSize           picture items, one after the other, in the order given
//                        (each: a TImage component stream around the JPEG file, 77 + J bytes)
//   ...                  sound files, unchanged, then movie files, unchanged
//   SettingsOffset       the TSSFileLocations component stream
//   TotalSize - 40       trailer: PackageLength and SettingsOffset, each as decimal digits
//                        padded with spaces to 20 bytes
//
// All offsets are absolute file positions held in signed 32-bit integers, so the whole file must
// stay below 2 GiB. The build lays the package out once before the output is created, with the
// pictures it will convert counted as empty, so that what is surely too large is refused early;
// once the pictures are written their sizes are known, and the layout (and the settings object,
// which lists the offsets) is computed again for the rest of the file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tovrin {

class TSSFileLocations;

// The largest file the offsets can describe: 2 GiB - 1.
inline constexpr int64_t MaxPackagedFileSize = INT32_MAX;

struct TPlannedItem {
  std::string Path;        // the input file
  std::string StoredName;  // its name as the settings store it (Windows-1252)
  int64_t FileSize = 0;    // bytes of the input file; for a picture, of the JPEG data stored
  int64_t Offset = 0;      // absolute offset of its item in the output
};

struct TPackagePlan {
  std::string OutputPath;
  std::string EnginePath;
  int64_t EngineSize = 0;
  std::vector<TPlannedItem> Pictures;
  std::vector<TPlannedItem> Sounds;
  std::vector<TPlannedItem> Movies;

  // Set by LayOutPackage.
  int64_t SettingsOffset = 0;
  int64_t SettingsSize = 0;
  int64_t PackageLength = 0;
  int64_t TotalSize = 0;
  std::vector<uint8_t> SettingsBytes;
};

// Raises EOutOfResources naming the output: the screen saver would be `size` bytes or more,
// which the offsets cannot describe.
[[noreturn]] void RefuseTooLarge(const std::string& outputPath, int64_t size);

// Bytes of the picture item that holds a JPEG file of jpegSize bytes.
int64_t PictureItemSize(int64_t jpegSize);

// Assigns the offsets, writes the location lists into settings (PicCommaList,
// PicFileNamesCommaList, the sound and movie lists), serializes settings into SettingsBytes and
// computes the sizes. Raises EOutOfResources naming the output file when the result would be
// 2 GiB or more.
void LayOutPackage(TPackagePlan& plan, TSSFileLocations& settings);

// The 40 trailer bytes.
std::string PackageTrailerText(int64_t packageLength, int64_t settingsOffset);

}  // namespace tovrin
