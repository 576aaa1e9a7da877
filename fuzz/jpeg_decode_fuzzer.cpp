// Fuzz target: DecodeJPEG must turn any bytes into a bitmap or an exception of ours.
// -seed_corpus=DIR writes a few small JPEGs of every kind the decoder handles into DIR and exits.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "core/errors.h"
#include "gfx/jpeg_decoder.h"
#include "jpeg_maker.h"

namespace {

// Pictures above this many pixels are not decoded here, to keep each run within the fuzzer's
// memory limit (the decoder's own limit is the bitmap size limit).
constexpr uint64_t kMaxPixels = 64ull << 20;

// The largest width x height announced by anything that looks like a frame header (FF C0..CF,
// except the DHT, JPG and DAC markers). Scanning every byte errs on the side of refusing.
uint64_t LargestFrame(const uint8_t* data, size_t size) {
  uint64_t largest = 0;
  for (size_t i = 0; i + 9 <= size; ++i) {
    if (data[i] != 0xFF || data[i + 1] < 0xC0 || data[i + 1] > 0xCF) continue;
    if (data[i + 1] == 0xC4 || data[i + 1] == 0xC8 || data[i + 1] == 0xCC) continue;
    const uint64_t h = uint64_t(data[i + 5]) << 8 | data[i + 6];
    const uint64_t w = uint64_t(data[i + 7]) << 8 | data[i + 8];
    if (w * h > largest) largest = w * h;
  }
  return largest;
}

void WriteSeeds(const std::string& dir) {
  using tovrin::testing::MakeJpeg;
  using tovrin::testing::TJpegKind;
  const auto pattern = [](int x, int y) {
    return uint32_t((x * 37) << 16 | (y * 53) << 8 | (x ^ y));
  };
  const struct {
    const char* Name;
    TJpegKind Kind;
    int W, H;
  } seeds[] = {{"colour.jpg", TJpegKind::Colour, 33, 17},
               {"grey.jpg", TJpegKind::Grey, 16, 16},
               {"progressive.jpg", TJpegKind::Progressive, 40, 24},
               {"cmyk_adobe.jpg", TJpegKind::CmykAdobe, 9, 9},
               {"cmyk_plain.jpg", TJpegKind::CmykPlain, 8, 12}};
  for (const auto& s : seeds) {
    const auto bytes = MakeJpeg(s.W, s.H, s.Kind, pattern, 75);
    const std::string path = dir + "/" + s.Name;
    FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) {
      std::fprintf(stderr, "cannot write %s\n", path.c_str());
      std::exit(1);
    }
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  static const char kOption[] = "-seed_corpus=";
  for (int i = 1; i < *argc; ++i) {
    if (std::strncmp((*argv)[i], kOption, sizeof kOption - 1) == 0) {
      WriteSeeds((*argv)[i] + sizeof kOption - 1);
      std::exit(0);
    }
  }
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (LargestFrame(data, size) > kMaxPixels) return 0;
  try {
    const tovrin::TBitmap bitmap = tovrin::DecodeJPEG(data, size);
    // Read the last pixel byte of every row so that a wrongly sized result shows up under
    // the sanitizers.
    static volatile uint32_t sink = 0;
    const size_t last = size_t(bitmap.Width()) * size_t(bitmap.BytesPerPixel()) - 1;
    for (int32_t y = 0; y < bitmap.Height(); ++y) sink = sink + bitmap.ScanLine(y)[last];
  } catch (const tovrin::EInvalidGraphic&) {
  } catch (const tovrin::EOutOfResources&) {
  }
  return 0;
}
