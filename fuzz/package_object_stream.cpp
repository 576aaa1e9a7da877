// Fuzzes the component stream reader: creating an object by class name, and filling a given
// settings object and a given picture.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/errors.h"
#include "package/image.h"
#include "package/object_reader.h"
#include "package/ss_file_locations.h"
#include "seed_corpus.h"

namespace tovrin::fuzz {
std::vector<std::vector<uint8_t>> ObjectStreamSeeds();
}  // namespace tovrin::fuzz

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  tovrin::fuzz::HandleSeedCorpusArgument(*argc, *argv, tovrin::fuzz::ObjectStreamSeeds);
  tovrin::RegisterStreamClass(tovrin::TSSFileLocations::StaticClassInfo());
  tovrin::RegisterStreamClass(tovrin::TImage::StaticClassInfo());
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tovrin;
  {
    TMemoryStream s(data, size);
    try {
      ReadObjectStream(s, nullptr);
    } catch (const Exception&) {
    }
    // Whatever happened, the stream is left inside its bounds.
    if (s.Position() > s.Size()) __builtin_trap();
  }
  {
    TMemoryStream s(data, size);
    TSSFileLocations settings;
    try {
      ReadObjectStream(s, &settings);
      // Every accessor over the lists read must stay within them.
      for (int32_t i = 0; i < settings.PicCount(); ++i) settings.PicOffsetAt(i);
      for (int32_t i = 0; i < settings.EffectCount(); ++i) settings.EffectAt(i);
    } catch (const Exception&) {
    }
  }
  {
    TMemoryStream s(data, size);
    TImage image;
    try {
      ReadObjectStream(s, &image);
    } catch (const Exception&) {
    }
  }
  return 0;
}
