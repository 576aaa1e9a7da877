// Fuzzes a whole package read: trailer, settings, every picture item, and extraction of the media
// files into a scratch folder under the current directory, which is removed afterwards.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "core/errors.h"
#include "package/package_locator.h"
#include "seed_corpus.h"

namespace tovrin::fuzz {
std::vector<std::vector<uint8_t>> PackageSeeds();
}  // namespace tovrin::fuzz

namespace {

std::filesystem::path ScratchDir() {
  return std::filesystem::current_path() /
         ("fuzz_package_scratch_" + std::to_string(static_cast<long>(getpid())));
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  tovrin::fuzz::HandleSeedCorpusArgument(*argc, *argv, tovrin::fuzz::PackageSeeds);
  tovrin::RegisterStreamClass(tovrin::TSSFileLocations::StaticClassInfo());
  tovrin::RegisterStreamClass(tovrin::TImage::StaticClassInfo());
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tovrin;
  const std::filesystem::path scratch = ScratchDir();
  std::filesystem::create_directories(scratch / "tmp");
  const std::string tempDir = (scratch / "tmp").string() + "/";
  TMemoryStream program(data, size);
  try {
    const TPackageTrailer trailer = ReadPackageTrailer(program);
    if (trailer.Ok) {
      std::unique_ptr<TSSFileLocations> settings =
          ReadShowSettings(program, trailer.SettingsOffset, nullptr);
      // Bounded by the input: each offset in the list is one entry of the settings text.
      for (int32_t i = 0; i < settings->PicCount(); ++i) {
        try {
          ReadPictureItemAt(program, settings->PicOffsetAt(i));
        } catch (const Exception&) {
        }
      }
      try {
        ExtractMediaFiles(*settings, program, tempDir);
      } catch (const Exception&) {
      }
      DeleteMediaFiles(*settings, tempDir);
    }
  } catch (const Exception&) {
  }
  // Nothing may have been written beside the temporary folder.
  for (const auto& entry : std::filesystem::directory_iterator(scratch)) {
    if (entry.path().filename() != "tmp") __builtin_trap();
  }
  std::filesystem::remove_all(scratch);
  return 0;
}
