#include "build_command.h"

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <unordered_map>
#include <vector>

#include "caption_template.h"
#include "core/ansi_text.h"
#include "core/conversions.h"
#include "core/errors.h"
#include "core/file_names.h"
#include "core/output_file.h"
#include "core/paths.h"
#include "engine_locator.h"
#include "import/photo_metadata.h"
#include "import/picture_import.h"
#include "input_file.h"
#include "memory_budget.h"
#include "movie_format.h"
#include "ordered_work.h"
#include "package/media_plan.h"
#include "package/object_writer.h"
#include "package/ss_file_locations.h"
#include "package/stream.h"
#include "package_plan.h"
#include "picture_folders.h"
#include "places/built_in_places.h"
#include "places/place_finder.h"
#include "progress.h"
#include "wording.h"

namespace tovrin {

namespace {

constexpr size_t kCopyBufferSize = size_t{1} << 20;

// Characters that no file name may hold on Windows, where the engine extracts its media.
bool IsForbiddenNameChar(char c) {
  return static_cast<unsigned char>(c) < 0x20 ||
         std::string_view("<>:\"/\\|?*").find(c) != std::string_view::npos;
}

// Runs a step on one picture and puts its path in front of any message, keeping the error class
// (a picture the tool cannot read is EInvalidGraphic, one too large EOutOfResources).
template <class F>
auto ForPicture(const std::string& path, F step) {
  try {
    return step();
  } catch (const EInvalidGraphic& e) {
    throw EInvalidGraphic(path + ": " + e.Message());
  } catch (const EOutOfResources& e) {
    throw EOutOfResources(path + ": " + e.Message());
  }
}

// The picture names are only a record of where the pictures came from; characters that could not
// name a file on every platform are replaced rather than refused. A picture converted to JPEG gets
// the extension .jpg, which is what extract writes it as.
std::string PictureStoredName(const std::string& path, TPictureType type) {
  std::string name = Utf8ToAnsi(ExtractFileName(path));
  for (char& c : name) {
    if (IsForbiddenNameChar(c)) c = '_';
  }
  if (type != TPictureType::ptJpeg) {
    const size_t dot = name.rfind('.');
    name = (dot == std::string::npos || dot == 0 ? name : name.substr(0, dot)) + ".jpg";
  }
  if (!IsPlainFileName(name)) name = "picture.jpg";
  return name;
}

std::string MediaStoredName(const std::string& path) {
  const std::string base = ExtractFileName(path);
  std::string name;
  try {
    name = Utf8ToAnsiStrict(base);
  } catch (const EConvertError&) {
    throw EConvertError(path + ": the file name cannot be stored (only Windows-1252 characters)");
  }
  // The engine extracts the file under this name on Windows and Linux alike.
  if (const std::string fault = FileNameFault(base); !fault.empty()) {
    throw EUnsafeContent(path + ": the media name \"" + base + "\" cannot be stored: it " + fault);
  }
  return name;
}

std::vector<TPlannedItem> PlanMedia(const std::vector<std::string>& paths) {
  std::vector<TPlannedItem> items;
  items.reserve(paths.size());
  for (const std::string& path : paths) {
    TPlannedItem item;
    item.Path = path;
    item.FileSize = InputFileSize(path);
    item.StoredName = MediaStoredName(path);
    items.push_back(std::move(item));
  }
  return items;
}

// Reads a picture whole, to be converted. A file that would take the screen saver past its
// limit even stored as it is gets refused from its size before it is read: a 5 GiB file named as
// a picture would otherwise be read into memory only to be refused.
std::vector<uint8_t> ReadPicture(const std::string& outputPath, int64_t engineSize,
                                 const std::string& path) {
  return ReadInputFile(path, [&](int64_t size) {
    const int64_t least = engineSize + PictureItemSize(size);
    if (least > MaxPackagedFileSize) RefuseTooLarge(outputPath, least);
  });
}

// Checks every picture before anything is written: a file the tool cannot read is refused here,
// so no output is created for it. Pictures stored byte for byte get their final size now; those
// to be converted get theirs when written (FileSize 0 until then). copies[i] tells which.
std::vector<TPlannedItem> PlanPictures(const TPackagePlan& package,
                                       const std::vector<std::string>& paths,
                                       const TImportOptions& options, std::vector<bool>& copies) {
  std::vector<TPlannedItem> items;
  items.reserve(paths.size());
  copies.assign(paths.size(), false);
  for (size_t i = 0; i < paths.size(); ++i) {
    TPlannedItem item;
    item.Path = paths[i];
    const std::vector<uint8_t> bytes =
        ReadPicture(package.OutputPath, package.EngineSize, item.Path);
    const TImportPlan plan = ForPicture(item.Path, [&] { return PlanImport(bytes, options); });
    copies[i] = plan.CopyAsIs;
    item.FileSize = plan.CopyAsIs ? static_cast<int64_t>(bytes.size()) : 0;
    item.StoredName = PictureStoredName(item.Path, plan.Type);
    items.push_back(std::move(item));
  }
  return items;
}

// Sounds and movies are extracted into one directory under their names, so a name may occur
// only once (letter case ignored, as Windows file names are, beyond ASCII too).
void RefuseDuplicateMediaNames(const TPackagePlan& plan) {
  std::unordered_map<std::u32string, const TPlannedItem*> seen;
  for (const auto* list : {&plan.Sounds, &plan.Movies}) {
    for (const TPlannedItem& item : *list) {
      const auto [first, added] = seen.emplace(FileNameKey(MediaFileName(item.StoredName)), &item);
      if (!added) {
        throw EUnsafeContent(item.Path + ": the media name \"" + ExtractFileName(item.Path) +
                             "\" is already used by " + first->second->Path);
      }
    }
  }
}

// Writing the output over one of the inputs would lose that input (an engine, a photograph)
// once the new file is renamed into place.
void RefuseOutputThatIsAnInput(const TPackagePlan& plan) {
  std::error_code ec;
  if (!std::filesystem::exists(plan.OutputPath, ec)) return;
  const auto check = [&](const std::string& input) {
    if (std::filesystem::equivalent(plan.OutputPath, input, ec)) {
      throw EFCreateError(plan.OutputPath + ": the output would replace the input " + input);
    }
  };
  check(plan.EnginePath);
  for (const auto* list : {&plan.Pictures, &plan.Sounds, &plan.Movies}) {
    for (const TPlannedItem& item : *list) check(item.Path);
  }
}

void CopyFileInto(TOutputFile& out, const std::string& path, int64_t size,
                  std::vector<uint8_t>& buffer) {
  TFileStream stream(path, TFileMode::fmOpenRead);
  buffer.resize(kCopyBufferSize);
  int64_t left = size;
  while (left > 0) {
    const size_t chunk = static_cast<size_t>(std::min<int64_t>(left, kCopyBufferSize));
    if (stream.Read(buffer.data(), chunk) != chunk) RefuseChangedInput(path);
    out.Write(buffer.data(), chunk);
    left -= static_cast<int64_t>(chunk);
  }
  uint8_t extra = 0;
  if (stream.Read(&extra, 1) != 0) RefuseChangedInput(path);
}

// Lets the component writer write straight into the output file, without a copy in memory.
class TOutputFileStream : public TStream {
 public:
  explicit TOutputFileStream(TOutputFile& file) : FFile(file) {}
  size_t Read(void* /*buffer*/, size_t /*count*/) override { return 0; }
  size_t Write(const void* buffer, size_t count) override {
    FFile.Write(buffer, count);
    return count;
  }
  // The file is written front to back: only the current position can be asked for.
  int64_t Seek(int64_t offset, TSeekOrigin origin) override {
    const int64_t position = FFile.Size();
    const bool stays = origin == TSeekOrigin::soBeginning ? offset == position : offset == 0;
    if (!stays) throw EStreamError(FFile.FinalPath() + ": the output can only be appended to");
    return position;
  }
  int64_t Size() override { return FFile.Size(); }

 private:
  TOutputFile& FFile;
};

// A mismatch here is a fault of the tool, not of the input: the settings would point elsewhere.
void ExpectPosition(const TOutputFile& out, int64_t expected) {
  if (out.Size() != expected) {
    throw EWriteError(out.FinalPath() + ": internal layout error at offset " +
                      std::to_string(out.Size()) + ", expected " + std::to_string(expected));
  }
}

// Pictures converted at once: each holds its file and a decoded picture (some tens of megabytes
// for a large photograph) while it is worked on.
constexpr size_t kMaxConversionThreads = 4;
// The memory those conversions may hold together (their estimates, ImportWorkingMemory): a
// 19,000 x 12,000 photograph turned by decoding takes about 1.4 GB, and four of them at once
// would take 5.5 GB. Beyond the budget a conversion waits for others to end; one picture larger
// than the whole budget is converted alone.
constexpr int64_t kConversionMemoryBudget = int64_t{2} << 30;

// One picture read and imported, off the writing thread.
struct TConvertedPicture {
  int64_t Size = 0;
  std::vector<uint8_t> File;
  TImportedPicture Imported;
};

// What happened to the pictures, for the summary.
struct TPictureCounts {
  size_t Turned = 0;
  size_t Reencoded = 0;
};

// Writes the engine, then each picture as it is converted, then (the pictures' sizes known) lays
// the package out, and writes the media, the settings and the trailer.
TPictureCounts WritePackage(TPackagePlan& plan, TSSFileLocations& settings,
                            const std::vector<bool>& copies, const TImportOptions& options,
                            const std::optional<TCaptionTemplate>& captions,
                            const TPlaceFinder& places,
                            const std::function<void(int, int)>& onProgress, std::FILE* err) {
  TOutputFile out(plan.OutputPath);
  std::vector<uint8_t> buffer;
  CopyFileInto(out, plan.EnginePath, plan.EngineSize, buffer);

  TPictureCounts counts;
  TProgress progress(static_cast<int>(plan.Pictures.size()), StandardErrorIsTerminal(), err);
  TOutputFileStream stream(out);
  std::vector<int64_t> written;
  // The worker threads read only the paths and their own copies; this thread changes only the
  // sizes.
  std::vector<std::string> paths;
  for (const TPlannedItem& picture : plan.Pictures) paths.push_back(picture.Path);
  TMemoryBudget budget(kConversionMemoryBudget);
  TOrderedWork<TConvertedPicture> conversions(
      paths.size(), TOrderedWork<TConvertedPicture>::Threads(kMaxConversionThreads),
      [&paths, &options, &budget, outputPath = plan.OutputPath,
       engineSize = plan.EngineSize](size_t i) {
        TConvertedPicture c;
        c.File = ReadPicture(outputPath, engineSize, paths[i]);
        c.Size = static_cast<int64_t>(c.File.size());
        const TImportPlan planned =
            ForPicture(paths[i], [&] { return PlanImport(c.File, options); });
        // Held until the picture is converted, or its conversion fails.
        const TMemoryBudget::TReservation memory =
            budget.Reserve(ImportWorkingMemory(planned, c.Size, options));
        c.Imported = ForPicture(paths[i], [&] { return ImportPicture(c.File, planned, options); });
        return c;
      });
  for (size_t i = 0; i < plan.Pictures.size(); ++i) {
    TPlannedItem& picture = plan.Pictures[i];
    progress.Step(static_cast<int>(i), out.Size(), picture.Path);
    if (onProgress) onProgress(static_cast<int>(i), static_cast<int>(plan.Pictures.size()));
    const TConvertedPicture converted = conversions.Next();
    const TImportedPicture& imported = converted.Imported;
    const std::vector<uint8_t>& file = converted.File;
    // A picture planned as a copy must still be one: the file may have changed since.
    if (copies[i] && converted.Size != picture.FileSize) RefuseChangedInput(picture.Path);
    if (copies[i] != (imported.Action == TImportAction::iaCopied)) RefuseChangedInput(picture.Path);
    for (const std::string& warning : imported.Warnings) {
      progress.Finish();
      std::fprintf(err, "tovrin-pack: warning: %s: %s\n", picture.Path.c_str(), warning.c_str());
    }
    counts.Turned += imported.Action == TImportAction::iaTurned ? 1 : 0;
    counts.Reencoded += imported.Action == TImportAction::iaReencoded ? 1 : 0;
    if (captions) {
      // Made from the file as given, which still holds its metadata.
      settings.DescriptList().push_back(
          Utf8ToAnsi(captions->Expand(picture.Path, ReadPhotoMetadata(file), places)));
    }
    const std::vector<uint8_t>& jpeg = copies[i] ? file : imported.Jpeg;
    picture.FileSize = static_cast<int64_t>(jpeg.size());
    written.push_back(out.Size());
    WritePictureItem(stream, std::span<const uint8_t>(jpeg));
    if (out.Size() > MaxPackagedFileSize) RefuseTooLarge(out.FinalPath(), out.Size());
  }
  progress.Step(static_cast<int>(plan.Pictures.size()), out.Size(), "");
  if (onProgress) {
    onProgress(static_cast<int>(plan.Pictures.size()), static_cast<int>(plan.Pictures.size()));
  }
  progress.Finish();

  LayOutPackage(plan, settings);
  for (size_t i = 0; i < plan.Pictures.size(); ++i) {
    if (plan.Pictures[i].Offset != written[i]) {
      throw EWriteError(out.FinalPath() + ": internal layout error at picture " +
                        std::to_string(i + 1));
    }
  }
  for (const auto* list : {&plan.Sounds, &plan.Movies}) {
    for (const TPlannedItem& media : *list) {
      ExpectPosition(out, media.Offset);
      CopyFileInto(out, media.Path, media.FileSize, buffer);
    }
  }
  ExpectPosition(out, plan.SettingsOffset);
  out.Write(plan.SettingsBytes.data(), plan.SettingsBytes.size());
  out.Write(PackageTrailerText(plan.PackageLength, plan.SettingsOffset));
  ExpectPosition(out, plan.TotalSize);
  out.CopyPermissionsFrom(plan.EnginePath);
  out.Commit();
  return counts;
}

}  // namespace

TPlaceFinder PlacesFor(const std::optional<TCaptionTemplate>& captions, std::FILE* err) {
  if (!captions || !captions->Uses(TCaptionField::cfPlace)) return {};
  const std::span<const uint8_t> table = BuiltInPlaceTable();
  if (table.empty()) {
    std::fprintf(err,
                 "tovrin-pack: warning: this tovrin-pack was built without its table of places; "
                 "{place} is left out of every caption\n");
    return {};
  }
  return TPlaceFinder(ReadPlaceTable(table));
}

void RunBuild(const TBuildRequest& request, const std::string& toolPath, std::FILE* out,
              std::FILE* err) {
  TPackSettings chosen;
  if (!request.SettingsPath.empty()) chosen = ReadPackSettingsFile(request.SettingsPath);
  chosen.MergeFrom(request.Options);
  TSSFileLocations settings;
  chosen.ApplyTo(settings);
  std::optional<TCaptionTemplate> captions;
  if (!request.CaptionTemplate.empty()) {
    captions.emplace("--caption", request.CaptionTemplate);
    settings.SetlPicCaptions(true);
    settings.DescriptList().clear();  // filled picture by picture as they are written
  }
  const TPlaceFinder places = PlacesFor(captions, err);

  TPackagePlan plan;
  plan.OutputPath = request.OutputPath;
  plan.EnginePath =
      request.EnginePath.empty() ? FindEngineBesideTool(toolPath) : request.EnginePath;
  plan.EngineSize = InputFileSize(plan.EnginePath);
  const TPictureInputs inputs = ExpandPictureInputs(request.Pictures, request.Recursive);
  for (const std::string& warning : inputs.Warnings) {
    std::fprintf(err, "tovrin-pack: warning: %s\n", warning.c_str());
  }
  std::vector<bool> copies;
  plan.Pictures = PlanPictures(plan, inputs.Files, request.PictureOptions, copies);
  plan.Sounds = PlanMedia(request.Sounds);
  plan.Movies = PlanMedia(request.Movies);
  RefuseDuplicateMediaNames(plan);
  RefuseOutputThatIsAnInput(plan);
  for (const TPlannedItem& movie : plan.Movies) CheckMovieFile(movie.Path);
  if (plan.Pictures.empty() && settings.Ver() != "flash") {
    throw EConvertError("a show of kind \"" + AnsiToUtf8(settings.Ver()) +
                        "\" needs at least one picture");
  }
  // Converted pictures count as empty here, so this refuses early only what is surely too large;
  // the real sizes are checked again as the pictures are written.
  {
    TPackagePlan lowerBound = plan;
    LayOutPackage(lowerBound, settings);
  }

  if (settings.Interval() == 0 && plan.Pictures.size() > 1) {
    std::fprintf(err, "tovrin-pack: warning: an interval of 0 shows only the first picture\n");
  }
  if (settings.Ver() != "photo" && settings.Ver() != "flash") {
    std::fprintf(err,
                 "tovrin-pack: warning: the kind \"%s\" is neither photo nor flash; the "
                 "engine will show nothing\n",
                 AnsiToUtf8(settings.Ver()).c_str());
  }
  const TPictureCounts counts = WritePackage(plan, settings, copies, request.PictureOptions,
                                             captions, places, request.OnPictureProgress, err);
  std::string converted;
  if (counts.Turned + counts.Reencoded > 0) {
    converted = " (" + std::to_string(counts.Turned) + " turned losslessly, " +
                std::to_string(counts.Reencoded) + " re-encoded)";
  }
  const std::string summary =
      plan.OutputPath + ": " + CountOf(plan.Pictures.size(), "picture") + converted + ", " +
      CountOf(plan.Sounds.size(), "sound") + ", " + CountOf(plan.Movies.size(), "movie") + "; " +
      std::to_string(plan.TotalSize) + " bytes (engine " + std::to_string(plan.EngineSize) +
      ", package " + std::to_string(plan.PackageLength) + ", settings at " +
      std::to_string(plan.SettingsOffset) + ")\n";
  std::fputs(summary.c_str(), out);
}

}  // namespace tovrin
