// Fuzz target for DecodePNG (tovrin-pack's PNG import, through libpng) and the picture type
// sniffing on the same bytes. A picture that decodes must come back the same through the PNG
// writer and the reader again.
#include <cstdint>
#include <span>

#include "core/errors.h"
#include "gfx/image_file.h"
#include "import/picture_type.h"
#include "picture_samples.h"
#include "seed_corpus.h"

namespace tovrin::fuzz {

namespace {

// Pictures above this many pixels are decoded but not written and read back (time per input).
constexpr int64_t kMaxRoundTripPixels = int64_t{1} << 20;

void Require(bool promise) {
  if (!promise) __builtin_trap();
}

TSeeds PngSeeds() {
  TSeeds seeds;
  for (const auto& [w, h] : {std::pair{1, 1}, std::pair{7, 5}, std::pair{40, 24}}) {
    seeds.push_back(EncodePNG(test::UprightPicture(w, h)));
  }
  TBitmap grey(9, 4, TPixelFormat::pf8bit);
  for (int i = 0; i < 256; ++i) {
    const auto v = static_cast<uint8_t>(255 - i);
    grey.Palette()[static_cast<size_t>(i)] = TPaletteEntry{v, v, 0};
  }
  for (int32_t y = 0; y < grey.Height(); ++y) {
    for (int32_t x = 0; x < grey.Width(); ++x)
      grey.ScanLine(y)[x] = static_cast<uint8_t>(x * 28 + y);
  }
  seeds.push_back(EncodePNG(grey));
  return seeds;
}

bool SameColours(const TBitmap& a, const TBitmap& b) {
  if (a.Width() != b.Width() || a.Height() != b.Height()) return false;
  for (int32_t y = 0; y < a.Height(); ++y) {
    for (int32_t x = 0; x < a.Width(); ++x) {
      if (a.Pixel(x, y) != b.Pixel(x, y)) return false;
    }
  }
  return true;
}

}  // namespace

}  // namespace tovrin::fuzz

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  tovrin::fuzz::HandleSeedCorpusArgument(*argc, *argv, tovrin::fuzz::PngSeeds);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tovrin;
  using namespace tovrin::fuzz;
  const std::span<const uint8_t> file(data, size);
  const TPictureType type = SniffPictureType(file);
  TBitmap decoded;
  try {
    decoded = DecodePNG(file);
  } catch (const EInvalidGraphic&) {
    return 0;
  } catch (const EOutOfResources&) {
    return 0;
  }
  // libpng reads only what starts with the signature, which the sniffing knows as PNG.
  Require(type == TPictureType::ptPng);
  Require(!decoded.Empty());
  if (decoded.PixelFormat() == TPixelFormat::pf8bit) {
    for (int i = 0; i < 256; ++i) {
      const TPaletteEntry& e = decoded.Palette()[static_cast<size_t>(i)];
      Require(e.Red == i && e.Green == i && e.Blue == i);
    }
  }
  if (int64_t{decoded.Width()} * decoded.Height() > kMaxRoundTripPixels) return 0;
  const TBitmap again = DecodePNG(EncodePNG(decoded));
  Require(SameColours(decoded, again));
  return 0;
}
