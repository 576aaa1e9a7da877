#include "package/package_locator.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "core/ansi_text.h"
#include "core/conversions.h"
#include "core/errors.h"
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

std::unique_ptr<TImage> ReadPictureItem(const std::string& programPath,
                                        const TSSFileLocations& settings, int32_t index) {
  std::unique_ptr<TFileStream> stream = OpenSelfStream(programPath);
  return ReadPictureItemAt(*stream, settings.PicOffsetAt(index));
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
  // The stored name is package text (Windows-1252); the path is UTF-8 like every path.
  return JoinPath(tempDir, AnsiToUtf8(name));
}

namespace {

struct TMediaItem {
  int32_t Offset;
  const std::string* Name;
  int32_t Size;
};

// Every sound, then every movie, checked before anything is written: a name must be a plain
// file name (so nothing lands outside the temporary directory) and a size must not be negative.
std::vector<TMediaItem> MediaItems(const TSSFileLocations& s) {
  std::vector<TMediaItem> items;
  for (int32_t i = 0; i < s.SndCount(); ++i) {
    items.push_back({s.SndOffsetAt(i), &s.SndFileNameAt(i), s.SndSizeAt(i)});
  }
  for (int32_t i = 0; i < s.FlashCount(); ++i) {
    items.push_back({s.FlashOffsetAt(i), &s.FlashFileNameAt(i), s.FlashSizeAt(i)});
  }
  for (const TMediaItem& item : items) {
    if (!IsPlainFileName(*item.Name)) {
      throw EUnsafeContent("Media file name is not a plain file name: \"" + *item.Name + "\"");
    }
    if (item.Size < 0) throw EReadError("Invalid media size");
    if (item.Offset < 0) throw EReadError("Stream read error");
  }
  return items;
}

}  // namespace

void ExtractMediaFiles(const TSSFileLocations& settings, TStream& stream,
                       const std::string& tempDir) {
  for (const TMediaItem& item : MediaItems(settings)) {
    stream.SetPosition(item.Offset);
    TFileStream file(MediaFilePath(*item.Name, tempDir), TFileMode::fmCreate);
    file.CopyFrom(stream, item.Size);
  }
}

void DeleteMediaFiles(const TSSFileLocations& settings, const std::string& tempDir) {
  // Runs while a show window is destroyed, so it never throws: offsets without a name, and names
  // that are not plain file names (never extracted), are passed over.
  auto remove = [&](int32_t count, const TStringList& names) {
    for (int32_t i = 0; i < count && static_cast<size_t>(i) < names.size(); ++i) {
      const std::string& name = names[static_cast<size_t>(i)];
      if (!IsPlainFileName(name)) continue;
      std::error_code ec;
      std::filesystem::remove(PathFromUtf8(MediaFilePath(name, tempDir)), ec);
    }
  };
  remove(settings.SndCount(), settings.SndFileNameList());
  remove(settings.FlashCount(), settings.FlashFileNameList());
}

}  // namespace tovrin
