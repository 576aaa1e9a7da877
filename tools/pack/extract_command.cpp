#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "core/ansi_text.h"
#include "core/conversions.h"
#include "core/errors.h"
#include "core/file_names.h"
#include "core/output_file.h"
#include "core/paths.h"
#include "input_file.h"
#include "package/image.h"
#include "package/media_plan.h"
#include "package/stream.h"
#include "package_report.h"
#include "read_back_command.h"
#include "terminal_text.h"
#include "wording.h"

namespace tovrin {

namespace {

enum class TItemKind { ikPicture, ikSound, ikMovie };

struct TExtractItem {
  TItemKind Kind;
  std::string Name;  // as stored (Windows-1252)
  int64_t Offset = 0;
  int64_t Size = 0;  // media only
};

const char* KindName(TItemKind kind) {
  switch (kind) {
    case TItemKind::ikPicture:
      return "picture";
    case TItemKind::ikSound:
      return "sound";
    case TItemKind::ikMovie:
      return "movie";
  }
  return "";
}

bool EndsWithJpegExtension(const std::string& name) {
  const auto endsWith = [&](std::string_view ext) {
    return name.size() > ext.size() && SameText(name.substr(name.size() - ext.size()), ext);
  };
  return endsWith(".jpg") || endsWith(".jpeg");
}

// Names are compared as Windows compares them, letter case ignored.
bool NameTaken(const std::vector<TExtractItem>& items, const std::string& name) {
  const std::u32string key = FileNameKey(MediaFileName(name));
  for (const TExtractItem& item : items) {
    if (FileNameKey(MediaFileName(item.Name)) == key) return true;
  }
  return false;
}

// A stored name that can name a file here and on Windows.
bool UsableName(const std::string& storedName) {
  return IsSafeFileName(MediaFileName(storedName));
}

// A name starting with a dot would be a hidden file, and could be a shell's or a program's settings
// file in the folder extracted into; no item is written under such a name.
void RefuseDotName(const TPackageReport& report, const char* kind, const std::string& name) {
  if (name.empty() || name.front() != '.') return;
  throw EUnsafeContent(report.FileName + ": the " + kind + " name \"" + AnsiToUtf8(name) +
                       "\" starts with a dot; nothing was extracted");
}

// The names the package would be extracted under, checked before anything is written.
//
// Sounds and movies are written as the engine would extract them (media_plan.h): under their
// stored names, all or none; report.Media says which. Picture names are only a record of the
// source files, so a picture whose stored name is missing, unusable or already taken is written
// as picture-N.jpg instead.
std::vector<TExtractItem> PlanExtraction(const TPackageReport& report, std::FILE* err) {
  const TSSFileLocations& s = *report.Settings;
  std::vector<TExtractItem> media;
  for (const TMediaFile& f : report.Media.Files) {
    const TItemKind kind = f.Kind == TMediaKind::mkSound ? TItemKind::ikSound : TItemKind::ikMovie;
    RefuseDotName(report, KindName(kind), f.StoredName);
    media.push_back({kind, f.StoredName, f.Offset, f.Size});
  }

  std::vector<TExtractItem> items;
  for (size_t i = 0; i < report.Pictures.size(); ++i) {
    std::string name = i < s.PicFileNameList().size() ? s.PicFileNameList()[i] : std::string();
    if (UsableName(name)) RefuseDotName(report, "picture", name);
    if (UsableName(name) && !EndsWithJpegExtension(name)) name += ".jpg";
    if (!UsableName(name) || NameTaken(items, name) || NameTaken(media, name)) {
      const std::string numbered = "picture-" + std::to_string(i + 1);
      std::string fallback = numbered + ".jpg";
      for (int k = 2; NameTaken(items, fallback) || NameTaken(media, fallback); ++k) {
        fallback = numbered + "-" + std::to_string(k) + ".jpg";
      }
      if (!name.empty()) {
        std::fprintf(err,
                     "tovrin-pack: picture %zu: the stored name \"%s\" cannot be used; "
                     "written as %s\n",
                     i + 1, TerminalText(AnsiToUtf8(name)).c_str(), fallback.c_str());
      }
      name = fallback;
    }
    items.push_back({TItemKind::ikPicture, name, report.Pictures[i].Offset, 0});
  }
  items.insert(items.end(), media.begin(), media.end());
  return items;
}

std::string DiskName(const std::string& storedName) {
#ifdef _WIN32
  return storedName;  // narrow file functions take the ANSI code page
#else
  return AnsiToUtf8(storedName);
#endif
}

// Refuses, before anything is written, when any target name is taken in the directory (by a file, a
// directory or a symbolic link, dangling or not), unless the user asked to overwrite files. A
// directory in the way is refused either way.
void CheckTargets(const TExtractRequest& request, const std::vector<TExtractItem>& items) {
  for (const TExtractItem& item : items) {
    const std::string path = JoinPath(request.Directory, DiskName(item.Name));
    std::error_code ec;
    const std::filesystem::file_status st = std::filesystem::symlink_status(path, ec);
    if (!std::filesystem::exists(st)) continue;
    if (std::filesystem::is_directory(st)) {
      throw EFCreateError("Cannot create file " + path +
                          ": it is a directory; nothing was extracted");
    }
    if (!request.Overwrite) {
      throw EFCreateError(path +
                          " exists already; nothing was extracted (--overwrite replaces it)");
    }
  }
}

void CopyRange(TStream& stream, int64_t offset, int64_t size, TOutputFile& out) {
  std::vector<uint8_t> buffer(size_t{1} << 20);
  stream.SetPosition(offset);
  while (size > 0) {
    const size_t chunk = static_cast<size_t>(std::min<int64_t>(size, buffer.size()));
    stream.ReadBuffer(buffer.data(), chunk);
    out.Write(buffer.data(), chunk);
    size -= static_cast<int64_t>(chunk);
  }
}

}  // namespace

void RunExtract(const TExtractRequest& request, std::FILE* out, std::FILE* err) {
  RequireRegularFile(request.FileName);
  TFileStream stream(request.FileName, TFileMode::fmOpenRead);
  TPackageReport report = ReadPackageHead(request.FileName, stream);
  ReadPackageItems(report, stream);
  const std::vector<TExtractItem> items = PlanExtraction(report, err);
  CheckTargets(request, items);

  std::error_code ec;
  std::filesystem::create_directories(request.Directory, ec);
  if (!std::filesystem::is_directory(request.Directory)) {
    throw EFCreateError("Cannot create directory " + request.Directory);
  }
  size_t counts[3] = {0, 0, 0};
  for (const TExtractItem& item : items) {
    // Replacing renames over the old entry, so a symbolic link there is replaced, not followed.
    TOutputFile file(
        JoinPath(request.Directory, DiskName(item.Name)),
        request.Overwrite ? TOutputFileMode::ofReplace : TOutputFileMode::ofKeepExisting);
    if (item.Kind == TItemKind::ikPicture) {
      const std::unique_ptr<TImage> image = ReadPictureItemAt(stream, item.Offset);
      const auto* jpeg = dynamic_cast<const TJPEGImage*>(image->Picture().Graphic());
      if (jpeg == nullptr) {
        std::fprintf(err,
                     "tovrin-pack: warning: the picture at %lld holds no JPEG picture; "
                     "skipped\n",
                     static_cast<long long>(item.Offset));
        continue;
      }
      file.Write(jpeg->Data().data(), jpeg->Data().size());
    } else {
      CopyRange(stream, item.Offset, item.Size, file);
    }
    file.Commit();
    ++counts[static_cast<int>(item.Kind)];
  }
  const std::string summary = request.FileName + ": extracted " + CountOf(counts[0], "picture") +
                              ", " + CountOf(counts[1], "sound") + ", " +
                              CountOf(counts[2], "movie") + " into " + request.Directory + "\n";
  std::fputs(summary.c_str(), out);
  if (!report.Media.Accepted()) {
    throw EUnsafeContent(
        report.FileName +
        ": no sound or movie was extracted (the pictures were): " + report.Media.Refusal);
  }
}

}  // namespace tovrin
