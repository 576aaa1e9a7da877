// Fuzzes the media extraction plan over whole program files: trailer, settings object, then the
// plan, whose promises are checked on every input. An accepted plan must keep every item inside
// the package's items, under safe names that differ with letter case ignored, and may never add
// up to more bytes than the package; a refused plan must list nothing.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "core/errors.h"
#include "core/file_names.h"
#include "package/media_plan.h"
#include "package/object_writer.h"
#include "package/package_locator.h"

namespace tovrin::fuzz {
std::vector<std::vector<uint8_t>> PackageSeeds();
void HandleSeedCorpusArgument(int argc, char** argv, std::vector<std::vector<uint8_t>> (*)());

namespace {

// A program file of a 64-byte image, the given media bytes and settings whose media lists the
// caller fills in (offsets count from the start of the media bytes).
std::vector<uint8_t> Package(const std::string& media, TSSFileLocations& s) {
  TMemoryStream file;
  const std::string image(64, 'M');
  file.WriteBuffer(image.data(), image.size());
  file.WriteBuffer(media.data(), media.size());
  for (TStringList* list : {&s.SndList(), &s.FlashList()}) {
    for (std::string& offset : *list) offset = std::to_string(64 + std::stoi(offset));
  }
  const int64_t settingsOffset = file.Position();
  WriteShowSettings(file, s);
  std::string trailer = std::to_string(file.Position() - 64);
  trailer.resize(20, ' ');
  std::string second = std::to_string(settingsOffset);
  second.resize(20, ' ');
  trailer += second;
  file.WriteBuffer(trailer.data(), trailer.size());
  return file.Bytes();
}

std::vector<std::vector<uint8_t>> Seeds() {
  std::vector<std::vector<uint8_t>> seeds = PackageSeeds();
  // Names that differ only in letter case, beyond ASCII too.
  TSSFileLocations cased;
  cased.SetSndCommaList("0,4");
  cased.SetSndFileNamesCommaList("\xC4rger.wav,\xE4rger.wav");
  cased.SetSndSizesCommaList("4,4");
  cased.SetFlashCommaList("8");
  cased.SetFlashFileNamesCommaList("CON.swf");
  cased.SetFlashSizesCommaList("2");
  seeds.push_back(Package("abcdefghij", cased));
  // One range named many times.
  TSSFileLocations repeated;
  for (int i = 0; i < 40; ++i) {
    repeated.SndList().push_back("0");
    repeated.SndFileNameList().push_back("s" + std::to_string(i) + ".wav");
    repeated.SndSizeList().push_back("16");
  }
  seeds.push_back(Package(std::string(16, 'w'), repeated));
  return seeds;
}

}  // namespace
}  // namespace tovrin::fuzz

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  tovrin::fuzz::HandleSeedCorpusArgument(*argc, *argv, tovrin::fuzz::Seeds);
  tovrin::RegisterStreamClass(tovrin::TSSFileLocations::StaticClassInfo());
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tovrin;
  TMemoryStream program(data, size);
  TPackageTrailer trailer;
  TSSFileLocations settings;
  try {
    trailer = ReadPackageTrailer(program);
    if (!trailer.Ok) return 0;
    ReadShowSettings(program, trailer.SettingsOffset, &settings);
  } catch (const Exception&) {
    return 0;
  }
  const int64_t fileSize = static_cast<int64_t>(size);
  const TMediaPlan plan =
      PlanMediaExtraction(settings, fileSize, trailer.PackageLength, trailer.SettingsOffset);
  if (!plan.Accepted()) {
    if (!plan.Files.empty() || plan.TotalBytes != 0) __builtin_trap();
    return 0;
  }
  const size_t count = settings.SndList().size() + settings.FlashList().size();
  if (plan.Files.size() != count) __builtin_trap();
  // A package without media writes nothing, so its layout is not the plan's to check.
  if (count == 0) return 0;
  const int64_t packageStart = fileSize - PackageTrailerSize - trailer.PackageLength;
  int64_t total = 0;
  std::set<std::u32string> keys;
  for (const TMediaFile& f : plan.Files) {
    if (f.Size < 0 || f.Offset < packageStart || f.Offset + f.Size > trailer.SettingsOffset) {
      __builtin_trap();
    }
    if (!IsSafeFileName(f.FileName) || !keys.insert(FileNameKey(f.FileName)).second) {
      __builtin_trap();
    }
    total += f.Size;
  }
  if (total != plan.TotalBytes || total > trailer.PackageLength) __builtin_trap();
  return 0;
}
