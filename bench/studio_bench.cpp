// tovrin-studio's figures, as a plain program (it times a whole session, not a loop):
//
//   studio_bench DIR [COUNT]
//
// makes COUNT (default 100) 12-megapixel photographs (4000 x 3000, each different) with the
// project's JPEG encoder into DIR/photos (kept between runs), then reports:
//   - thumbnails: from the session's start over that folder until every 256-pixel thumbnail is
//     made (what the page shows first);
//   - gallery: the strips of the first 16 styles (the gallery's first screen) and of all 128,
//     160 x 90, 12 frames each, from two of the photographs;
//   - preview: frames a second the preview stream delivers at 960 x 540 over 10 s, and the time
//     to make the preview's saver first;
//   - build: the studio's build of the photographs against tovrin-pack build on the same input
//     and options, alternating, three times each.
// Needs tovrin-pack and the engine of this build tree (paths built in).
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "gfx/bitmap.h"
#include "import/jpeg_encode.h"
#include "tools/studio/show_preview.h"
#include "tools/studio/studio_session.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using tovrin::TBitmap;

double Seconds(Clock::time_point since) {
  return std::chrono::duration<double>(Clock::now() - since).count();
}

void MakePhotos(const fs::path& dir, int count) {
  fs::create_directories(dir);
  for (int i = 0; i < count; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "IMG_%04d.jpg", i);
    const fs::path path = dir / name;
    if (fs::exists(path)) continue;
    TBitmap picture(4000, 3000);
    for (int32_t y = 0; y < 3000; ++y) {
      uint8_t* row = picture.ScanLine(y);
      for (int32_t x = 0; x < 4000; ++x) {
        // Smooth gradients with some texture, different for every photograph.
        row[3 * x] = static_cast<uint8_t>(x / 16 + i * 7 + ((x * y) >> 9));
        row[3 * x + 1] = static_cast<uint8_t>(y / 12 + i * 13);
        row[3 * x + 2] = static_cast<uint8_t>((x + y) / 28 + i * 3 + ((x ^ y) & 15));
      }
    }
    const std::vector<uint8_t> jpeg = tovrin::EncodeJpeg(picture, 90);
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(jpeg.data()),
               static_cast<std::streamsize>(jpeg.size()));
  }
}

int Run(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: studio_bench DIR [COUNT]\n");
    return 2;
  }
  const fs::path dir = argv[1];
  const int count = argc > 2 ? std::atoi(argv[2]) : 100;
  const fs::path photos = dir / "photos";
  auto start = Clock::now();
  MakePhotos(photos, count);
  std::printf("photos: %d of 4000x3000 ready in %.1f s\n", count, Seconds(start));

  tovrin::TStudioSetup setup;
  setup.Folders = {photos.string()};
  setup.LinuxEngine = TOVRIN_ENGINE_EXE;
  start = Clock::now();
  tovrin::TStudioSession session(setup);
  const double listed = Seconds(start);
  session.WaitForThumbnails();
  std::printf("thumbnails: %zu photos listed in %.2f s, every 256-pixel thumbnail made in %.2f s\n",
              session.Photos().size(), listed, Seconds(start));

  session.WaitForPreviewCopies();
  std::printf("preview copies: every photo fitted for the preview %.2f s after the start\n",
              Seconds(start));
  start = Clock::now();
  for (int style = 0; style < 16; ++style) session.StyleStrip(style, 160, 90, 12);
  const double first = Seconds(start);
  for (int style = 16; style < 128; ++style) session.StyleStrip(style, 160, 90, 12);
  std::fflush(stdout);
  std::printf("gallery: first 16 strips in %.2f s, all 128 in %.2f s (160x90, 12 frames)\n", first,
              Seconds(start));

  session.SetChoices(nlohmann::json{
      {"styles", {5, 118, 84}}, {"intervalMs", 2000}, {"caption", {{"text", "Preview"}}}});
  start = Clock::now();
  session.PreviewSaver();
  std::printf("preview: saver of %d photos made in %.2f s (first time)\n", count, Seconds(start));
  session.SetChoices(nlohmann::json{{"intervalMs", 2500}});
  start = Clock::now();
  const std::string again = session.PreviewSaver();
  std::printf("preview: remade after a choice changed in %.2f s\n", Seconds(start));
  std::fflush(stdout);
  int64_t frames = 0;
  start = Clock::now();
  tovrin::StreamPreview(again, {960, 540}, 10000, [&](std::span<const uint8_t>) {
    ++frames;
    return true;
  });
  const double streamed = Seconds(start);
  std::printf("preview: %lld frames at 960x540 in %.2f s: %.1f frames a second\n",
              static_cast<long long>(frames), streamed, static_cast<double>(frames) / streamed);

  const fs::path packed = dir / "packed";
  const std::string pack = std::string(TOVRIN_PACK_EXE) + " build --engine " + TOVRIN_ENGINE_EXE +
                           " -o '" + packed.string() + "' --fit 1920x1080 --effects 5,118,84" +
                           " --interval 2000 --text Preview --font-name 'DejaVu Sans'" +
                           " --font-size 24 --font-color '#ffffff' '" + photos.string() +
                           "' > /dev/null";
  for (int round = 0; round < 3; ++round) {
    start = Clock::now();
    const std::string job = session.StartBuild({"linux"}, "Bench saver");
    session.WaitForBuild(job);
    const double studio = Seconds(start);
    const tovrin::TBuildStatus status = session.Build(job);
    start = Clock::now();
    const int rc = std::system(pack.c_str());
    const double tool = Seconds(start);
    std::fflush(stdout);
    std::printf(
        "build %d: studio %.2f s (%lld bytes, %s), tovrin-pack %.2f s (%lld bytes, exit %d)\n",
        round + 1, studio, static_cast<long long>(status.Files.empty() ? 0 : status.Files[0].Bytes),
        status.Error.empty() ? "ok" : status.Error.c_str(), tool,
        static_cast<long long>(fs::exists(packed) ? fs::file_size(packed) : 0), rc);
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  return Run(argc, argv);
}
