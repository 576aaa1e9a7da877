#include "package/package_locator.h"

#include <cstdlib>
#include <filesystem>

#include "core/ansi_text.h"
#include "core/conversions.h"
#include "core/errors.h"
#include "core/file_names.h"
#include "core/paths.h"
#include "package/object_reader.h"

namespace tovrin {

std::unique_ptr<TFileStream> OpenSelfStream(const std::string& programPath) {
  return std::make_unique<TFileStream>(programPath, TFileMode::fmOpenRead);
}

TPackageTrailer ReadPackageTrailer(TStream& stream) {
  TPackageTrailer trailer;
  const int64_t size = stream.Size();
  // A file shorter than a trailer has none (not an error: the caller decides).
  if (size < PackageTrailerSize) return trailer;
  stream.SetPosition(size - PackageTrailerSize);
  char field[TrailerFieldSize];
  if (stream.Read(field, sizeof field) != sizeof field) return trailer;
  trailer.PackageLength = StrToNumber(Trim(std::string_view(field, sizeof field)));
  if (stream.Read(field, sizeof field) != sizeof field) return trailer;
  trailer.SettingsOffset = StrToNumber(Trim(std::string_view(field, sizeof field)));
  trailer.Ok = true;
  return trailer;
}

namespace {

void SeekToItem(TStream& stream, int64_t offset) {
  // Offsets come from the package; one before the file start cannot hold an object.
  if (offset < 0) throw EReadError("Stream read error");
  stream.SetPosition(offset);
}

}  // namespace

std::unique_ptr<TSSFileLocations> ReadShowSettings(TStream& stream, int64_t settingsOffset,
                                                   TSSFileLocations* settings) {
  SeekToItem(stream, settingsOffset);
  if (settings != nullptr) {
    ReadObjectStream(stream, settings);
    return nullptr;
  }
  return ReadObjectStreamAs<TSSFileLocations>(stream);
}

std::unique_ptr<TImage> ReadPictureItemAt(TStream& stream, int64_t offset) {
  SeekToItem(stream, offset);
  return ReadObjectStreamAs<TImage>(stream);
}

std::unique_ptr<TImage> ReadPictureItem(TStream& program, const TSSFileLocations& settings,
                                        int32_t index) {
  return ReadPictureItemAt(program, settings.PicOffsetAt(index));
}

std::string GetTempDir() {
  std::string dir;
#ifdef _WIN32
  // The standard library asks the system (GetTempPathW) for the directory.
  std::error_code ec;
  dir = Utf8FromPath(std::filesystem::temp_directory_path(ec));
#else
  if (const char* env = std::getenv("TMPDIR"); env != nullptr && *env != '\0') dir = env;
#endif
  if (dir.empty()) {
#ifdef _WIN32
    dir = "C:\\";
#else
    dir = "/tmp";
#endif
  }
  if (dir.back() != PathDelim) dir.push_back(PathDelim);
  return dir;
}

std::string MediaFilePath(const std::string& name, const std::string& tempDir) {
  return JoinPath(tempDir, MediaFileName(name));
}

namespace {

// Writes one planned file whole, or removes what was made of it. False when it is not there.
bool WriteMediaFile(TStream& program, const TMediaFile& media, const std::string& path) {
  try {
    // A name already taken in the folder is not ours to replace: it fails here, before any byte.
    TFileStream file(path, TFileMode::fmCreateNew);
    try {
      program.SetPosition(media.Offset);
      file.CopyFrom(program, media.Size);
      file.Flush();
      return true;
    } catch (const Exception&) {
      // Fall through: the file is closed before it is removed (Windows cannot remove open files).
    }
  } catch (const EFCreateError&) {
    return false;
  }
  std::error_code ec;
  std::filesystem::remove(PathFromUtf8(path), ec);
  return false;
}

}  // namespace

TMediaExtraction ExtractMediaFiles(const TSSFileLocations& settings, TStream& stream,
                                   const std::string& tempDir) {
  TMediaExtraction result;
  const TPackageTrailer trailer = ReadPackageTrailer(stream);
  if (!trailer.Ok) {
    result.Plan.Refusal = "the file has no package trailer";
    return result;
  }
  result.Plan =
      PlanMediaExtraction(settings, stream.Size(), trailer.PackageLength, trailer.SettingsOffset);
  for (const TMediaFile& media : result.Plan.Files) {
    if (!WriteMediaFile(stream, media, JoinPath(tempDir, media.FileName))) continue;
    ++result.FilesWritten;
    result.BytesWritten += media.Size;
  }
  return result;
}

void DeleteMediaFiles(const TSSFileLocations& settings, const std::string& tempDir) {
  // Runs while a show window is destroyed, so it never throws: offsets without a name, and names
  // that were never written, are passed over.
  auto remove = [&](int32_t count, const TStringList& names) {
    for (int32_t i = 0; i < count && static_cast<size_t>(i) < names.size(); ++i) {
      const std::string name = MediaFileName(names[static_cast<size_t>(i)]);
      if (!IsSafeFileName(name)) continue;
      std::error_code ec;
      std::filesystem::remove(PathFromUtf8(JoinPath(tempDir, name)), ec);
    }
  };
  remove(settings.SndCount(), settings.SndFileNameList());
  remove(settings.FlashCount(), settings.FlashFileNameList());
}

}  // namespace tovrin
