// What --fit buys: packing time against the engine's own decoding, and the engine's slide
// preparation on a fitted and an unfitted package. Times are summed over all pictures, the two
// sides measured alternately picture by picture in one process, so both see the same machine.
//
//   pack_photos_bench make DIR [COUNT]
//       writes COUNT (100) synthetic photographs of 12 to 24 megapixels into DIR: smooth
//       gradients with grain, JPEG quality 92, every fourth one a portrait stored sideways with
//       EXIF orientation 6, as phones store them
//   pack_photos_bench measure DIR ENGINE WORKDIR
//       0. builds WORKDIR/unfitted.scr and WORKDIR/fitted.scr from DIR (tovrin-pack build,
//          without and with --fit 1920x1080), each timed once
//       1. for each photo of DIR: tovrin-pack's import with --fit 1920x1080, against the
//          engine's decoding of the same file at full size (gfx DecodeJPEG)
//       2. for each picture of the two screen savers: the slide preparation (read the picture
//          item from the file, decode it, stretch it into a 1920x1080 frame keeping its
//          proportions)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "build_command.h"
#include "core/errors.h"
#include "core/random.h"
#include "gfx/bitmap.h"
#include "gfx/fit.h"
#include "gfx/image_file.h"
#include "gfx/jpeg_decoder.h"
#include "gfx/stretch.h"
#include "import/exif_orientation.h"
#include "import/jpeg_encode.h"
#include "import/picture_import.h"
#include "package/image.h"
#include "package/package_locator.h"
#include "package/persistent.h"
#include "package/ss_file_locations.h"
#include "package/stream.h"

namespace {

using namespace tovrin;
namespace fs = std::filesystem;
using TClock = std::chrono::steady_clock;

constexpr int32_t kScreenWidth = 1920;
constexpr int32_t kScreenHeight = 1080;

template <class F>
double Seconds(F work) {
  const auto start = TClock::now();
  work();
  return std::chrono::duration<double>(TClock::now() - start).count();
}

// A photograph-like picture: a few broad colour gradients and a vignette, with grain, so that
// JPEG sizes and decoding times resemble those of camera pictures.
TBitmap SyntheticPhoto(int32_t w, int32_t h, uint32_t seed) {
  TBitmap b(w, h);
  TRandom random(seed);
  const int base[3] = {int(random.Next(200)), int(random.Next(200)), int(random.Next(200))};
  for (int32_t y = 0; y < h; ++y) {
    uint8_t* row = b.ScanLine(y);
    const double fy = double(y) / h;
    for (int32_t x = 0; x < w; ++x) {
      const double fx = double(x) / w;
      const double vignette = 1.0 - 0.5 * ((fx - 0.5) * (fx - 0.5) + (fy - 0.5) * (fy - 0.5));
      const int grain = int(random.Next(17)) - 8;
      const double channel[3] = {base[0] + 55 * fx, base[1] + 55 * fy, base[2] + 55 * (1 - fx)};
      for (int c = 0; c < 3; ++c) {
        row[3 * x + c] = uint8_t(std::clamp(int(channel[c] * vignette) + grain, 0, 255));
      }
    }
  }
  return b;
}

int Make(const std::string& dir, int count) {
  fs::create_directories(dir);
  // 12 to 24 megapixels in the proportions cameras use.
  const int32_t sizes[][2] = {{4000, 3000}, {4608, 3456}, {5184, 3456}, {5472, 3648}, {6000, 4000}};
  for (int i = 0; i < count; ++i) {
    const int32_t* s = sizes[i % 5];
    std::vector<uint8_t> jpeg = EncodeJpeg(SyntheticPhoto(s[0], s[1], uint32_t(i + 1)), 92);
    if (i % 4 == 3) {
      // A portrait shot: stored sideways, with the orientation that turns it upright.
      const uint8_t exif[] = {0xFF, 0xE1, 0, 34, 'E', 'x', 'i', 'f', 0,    0,    'I', 'I',
                              42,   0,    8, 0,  0,   0,   1,   0,   0x12, 0x01, 3,   0,
                              1,    0,    0, 0,  6,   0,   0,   0,   0,    0,    0,   0};
      jpeg.insert(jpeg.begin() + 2, std::begin(exif), std::end(exif));
    }
    char name[32];
    std::snprintf(name, sizeof name, "photo-%03d.jpg", i + 1);
    TFileStream out((fs::path(dir) / name).string(), TFileMode::fmCreate);
    out.Write(jpeg.data(), jpeg.size());
    std::printf("%s %dx%d %zu bytes\n", name, s[0], s[1], jpeg.size());
  }
  return 0;
}

// Reads picture `index` of a screen saver and composes the slide the engine shows for it.
void PrepareSlide(const std::string& saver, const TSSFileLocations& settings, int32_t index,
                  TBitmap& frame) {
  TFileStream stream(saver, TFileMode::fmOpenRead);
  const std::unique_ptr<TImage> image = ReadPictureItemAt(stream, settings.PicOffsetAt(index));
  const auto* jpeg = dynamic_cast<const TJPEGImage*>(image->Picture().Graphic());
  if (jpeg == nullptr) throw Exception(saver + ": a picture item without a JPEG picture");
  const TBitmap& picture = jpeg->Bitmap();
  frame.Fill(clBlack);
  const TRect fitted = FitRect(picture.BoundsRect(), frame.BoundsRect());
  StretchCopy(frame, fitted, picture, picture.BoundsRect());
}

std::unique_ptr<TSSFileLocations> SettingsOf(const std::string& saver) {
  TFileStream stream(saver, TFileMode::fmOpenRead);
  const TPackageTrailer trailer = ReadPackageTrailer(stream);
  auto settings = std::make_unique<TSSFileLocations>();
  ReadShowSettings(stream, trailer.SettingsOffset, settings.get());
  return settings;
}

// tovrin-pack build DIR into `out`, with the picture options given; returns the seconds taken.
double Build(const std::string& dir, const std::string& engine, const std::string& out,
             const TImportOptions& options) {
  TBuildRequest request;
  request.EnginePath = engine;
  request.OutputPath = out;
  request.Pictures = {dir};
  request.PictureOptions = options;
  return Seconds([&] { RunBuild(request, engine, stdout, stderr); });
}

int Measure(const std::string& dir, const std::string& engine, const std::string& work) {
  fs::create_directories(work);
  const std::string fitted = (fs::path(work) / "fitted.scr").string();
  const std::string unfitted = (fs::path(work) / "unfitted.scr").string();
  TImportOptions fit;
  fit.Fit = {kScreenWidth, kScreenHeight};
  const double buildUnfitted = Build(dir, engine, unfitted, {});
  const double buildFitted = Build(dir, engine, fitted, fit);
  std::printf("0. tovrin-pack build: %.2f s without --fit, %.2f s with --fit %dx%d\n",
              buildUnfitted, buildFitted, kScreenWidth, kScreenHeight);

  std::vector<fs::path> photos;
  for (const auto& entry : fs::directory_iterator(dir)) {
    if (entry.path().extension() == ".jpg") photos.push_back(entry.path());
  }
  std::sort(photos.begin(), photos.end());

  const TImportOptions& options = fit;
  double pack = 0, decode = 0;
  int64_t inputBytes = 0, storedBytes = 0;
  for (size_t i = 0; i < photos.size(); ++i) {
    const std::vector<uint8_t> file = ReadFileBytes(photos[i].string());
    inputBytes += int64_t(file.size());
    const auto packOne = [&] { storedBytes += int64_t(ImportPicture(file, options).Jpeg.size()); };
    const auto decodeOne = [&] { DecodeJPEG(file.data(), file.size()); };
    // Alternate which side goes first, so neither always finds the file's bytes in cache.
    if (i % 2 == 0) {
      pack += Seconds(packOne);
      decode += Seconds(decodeOne);
    } else {
      decode += Seconds(decodeOne);
      pack += Seconds(packOne);
    }
  }
  std::printf("photos: %zu, %.1f MB of JPEG in, %.1f MB stored with --fit %dx%d\n", photos.size(),
              inputBytes / 1e6, storedBytes / 1e6, kScreenWidth, kScreenHeight);
  std::printf("1. packing with --fit (import of every photo): %8.2f s\n", pack);
  std::printf("   engine decoding at full size (DecodeJPEG):   %8.2f s\n", decode);
  std::printf("   packing takes %.2f of the decoding time\n", pack / decode);

  const auto fittedSettings = SettingsOf(fitted);
  const auto unfittedSettings = SettingsOf(unfitted);
  const int32_t count = std::min(fittedSettings->PicCount(), unfittedSettings->PicCount());
  TBitmap frame(kScreenWidth, kScreenHeight);
  double small = 0, large = 0;
  for (int32_t i = 0; i < count; ++i) {
    const auto fittedSlide = [&] { PrepareSlide(fitted, *fittedSettings, i, frame); };
    const auto unfittedSlide = [&] { PrepareSlide(unfitted, *unfittedSettings, i, frame); };
    if (i % 2 == 0) {
      small += Seconds(fittedSlide);
      large += Seconds(unfittedSlide);
    } else {
      large += Seconds(unfittedSlide);
      small += Seconds(fittedSlide);
    }
  }
  std::printf("2. slide preparation, %d slides at %dx%d (read, decode, stretch):\n", count,
              kScreenWidth, kScreenHeight);
  std::printf("   unfitted package: %8.2f s (%.0f ms a slide)\n", large, 1000 * large / count);
  std::printf("   fitted package:   %8.2f s (%.0f ms a slide)\n", small, 1000 * small / count);
  std::printf("   fitted is %.1fx faster\n", large / small);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  RegisterStreamClass(TSSFileLocations::StaticClassInfo());
  RegisterStreamClass(TImage::StaticClassInfo());
  const std::vector<std::string> args(argv + 1, argv + argc);
  try {
    if (args.size() >= 2 && args[0] == "make") {
      return Make(args[1], args.size() >= 3 ? std::atoi(args[2].c_str()) : 100);
    }
    if (args.size() == 4 && args[0] == "measure") return Measure(args[1], args[2], args[3]);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "pack_photos_bench: %s\n", e.what());
    return 1;
  }
  std::fprintf(stderr,
               "usage: pack_photos_bench make DIR [COUNT]\n"
               "       pack_photos_bench measure DIR ENGINE WORKDIR\n");
  return 2;
}
