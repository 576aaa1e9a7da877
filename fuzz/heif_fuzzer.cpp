// Fuzz target for DecodeHeif (tovrin-pack's HEIC/HEIF import, through libheif). libheif and its
// HEVC decoder are slow, so inputs are kept small: larger ones are not decoded.
#include <cstdint>
#include <span>

#include "core/errors.h"
#include "heic_maker.h"
#include "import/heif_decode.h"
#include "picture_samples.h"
#include "seed_corpus.h"

// libx265, which writes the seeds, leaves one small block allocated when its encoder is closed;
// only that library's blocks are left out of the leak report.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libx265.so\n";
}

namespace tovrin::fuzz {

namespace {

constexpr size_t kMaxInputBytes = 64 << 10;

void Require(bool promise) {
  if (!promise) __builtin_trap();
}

TSeeds HeifSeeds() {
  TSeeds seeds;
  const struct {
    int32_t Width, Height;
    heif_orientation Turn;
    int Exif;
  } kinds[] = {{16, 16, heif_orientation_normal, 0},
               {24, 8, heif_orientation_rotate_90_cw, 6},
               {9, 13, heif_orientation_flip_horizontally, 2}};
  for (const auto& k : kinds) {
    const std::vector<uint8_t> exif =
        k.Exif == 0 ? std::vector<uint8_t>{} : test::OrientationTiff({k.Exif, true});
    std::vector<uint8_t> file =
        test::MakeHeic(test::UprightPicture(k.Width, k.Height), k.Turn, exif);
    if (!file.empty()) seeds.push_back(std::move(file));
  }
  return seeds;
}

}  // namespace

}  // namespace tovrin::fuzz

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  tovrin::fuzz::HandleSeedCorpusArgument(*argc, *argv, tovrin::fuzz::HeifSeeds);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tovrin;
  if (size > tovrin::fuzz::kMaxInputBytes) return 0;
  try {
    const TBitmap b = DecodeHeif(std::span<const uint8_t>(data, size));
    tovrin::fuzz::Require(!b.Empty() && b.PixelFormat() == TPixelFormat::pf24bit);
    // The last byte of every row, so that a wrongly sized result shows up under ASan.
    static volatile uint32_t sink = 0;
    const size_t last = size_t(b.Width()) * 3 - 1;
    for (int32_t y = 0; y < b.Height(); ++y) sink = sink + b.ScanLine(y)[last];
  } catch (const EInvalidGraphic&) {
  } catch (const EOutOfResources&) {
  }
  return 0;
}
