// The show's own work, measured with a 24-megapixel photograph:
//
//   BM_DecodeJpeg/W/H         the yardstick: decoding the photograph alone (W and H only name
//                             the screen of the run it pairs with)
//   BM_SlidePreparation/W/H   what the show does per slide before its transition: read the picture
//                             item from the saver, decode it, compose the W x H frame (stretched,
//                             captioned)
//   BM_DecodePortrait         a portrait photograph as tovrin-pack --fit 1920x1080 stores it
//                             (608 x 1080), decoded: the yardstick of the next line
//   BM_BlurredBackdrop/W/H    the blurred fill behind that picture on a W x H screen
//                             (PicFill blur), prepared with the slide's frame
//   BM_WaitingOutInterval     a show on the real clock waiting between two slides; counter
//                             cpu_percent is the processor time it used per wall-clock time
//   BM_MotionFrame/W/H        one frame of a moving picture (lMotion): the framing of the moment
//                             resampled to W x H, alternating in the same loop with the
//                             yardstick, one plain W x H copy (what presenting any frame costs);
//                             counters motion_ms, copy_ms, and core_percent_at_25fps
//   BM_SlidePreparationMotion/W/H  BM_SlidePreparation with lMotion (the picture scaled to cover
//                             the screen once per slide, then the first frame)
//   BM_HoldWithMotion         as BM_WaitingOutInterval with lMotion at 1920 x 1080: the processor
//                             time of a hold whose picture moves at 25 frames a second
//
// With --peak-memory the program instead runs a show of four such photographs at 1920 x 1080 on
// the virtual clock and prints its peak resident set against one decoded picture plus eight
// screen-size frames plus 20 MB.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <memory>
#include <string>

#include "core/memory_policy.h"
#include "core/paths.h"
#include "gfx/blurred_backdrop.h"
#include "gfx/draw.h"
#include "gfx/jpeg_decoder.h"
#include "gfx/region_resample.h"
#include "gfx/stretch.h"
#include "jpeg_maker.h"
#include "package/package_locator.h"
#include "package/persistent.h"
#include "platform/headless/headless_platform.h"
#include "saver_builder.h"
#include "show/frm_scrn.h"
#include "show/motion_path.h"

#if !defined(_WIN32)
#include <sys/resource.h>
#endif

namespace tovrin {
namespace {

constexpr int kPhotoWidth = 6000;
constexpr int kPhotoHeight = 4000;

// A photograph-like picture: smooth gradients with fine texture, so the JPEG has the entropy of
// a real photo (a flat picture decodes unrealistically fast).
const std::vector<uint8_t>& Photo() {
  static const std::vector<uint8_t> bytes = testing::MakeJpeg(
      kPhotoWidth, kPhotoHeight, testing::TJpegKind::Colour,
      [](int x, int y) {
        const uint32_t noise =
            (static_cast<uint32_t>(x) * 2654435761u) ^ (static_cast<uint32_t>(y) * 40503u);
        const uint32_t r = (x * 255 / kPhotoWidth + (noise & 15)) & 0xFF;
        const uint32_t g = (y * 255 / kPhotoHeight + ((noise >> 4) & 15)) & 0xFF;
        const uint32_t b = ((x + y) / 40 + ((noise >> 8) & 31)) & 0xFF;
        return (r << 16) | (g << 8) | b;
      },
      90);
  return bytes;
}

// A saver of `count` photographs in a scratch folder, and a headless platform for it.
struct TBenchSaver {
  testing::TScratchFolder Folder{"show_bench"};
  testing::TBoxTextRenderer Text;
  std::string Exe = Folder.Dir() + "bench.scr";
  std::unique_ptr<THeadlessPlatform> Platform;

  TBenchSaver(int count, int32_t width, int32_t height, int32_t interval,
              THeadlessApplication::TClockKind clock, bool motion = false) {
    std::filesystem::create_directories(Folder.Path() / "tmp");
    TSSFileLocations settings;
    settings.SetVer("photo");
    settings.SetlStretch(!motion);
    settings.SetlMotion(motion);
    settings.SetText("Harbour at dusk");
    settings.SetInterval(interval);
    settings.SetEffectCommaList("4");
    std::vector<std::vector<uint8_t>> pictures(static_cast<size_t>(count), Photo());
    testing::WriteSaver(Exe, settings, pictures);
    THeadlessScript script;
    script.ScreenWidth = width;
    script.ScreenHeight = height;
    script.ExeName = Exe;
    script.TempDir = Folder.Dir() + "tmp/";
    script.SettingsDir = Folder.Dir();
    Platform = std::make_unique<THeadlessPlatform>(script, Text, clock);
  }
};

void BM_DecodeJpeg(benchmark::State& state) {
  const std::vector<uint8_t>& bytes = Photo();
  for (auto _ : state) {
    TBitmap b = DecodeJPEG(bytes.data(), bytes.size(), nullptr);
    benchmark::DoNotOptimize(b.Bits());
  }
}

void SlidePreparation(benchmark::State& state, bool motion) {
  TBenchSaver saver(1, static_cast<int32_t>(state.range(0)), static_cast<int32_t>(state.range(1)),
                    5000, THeadlessApplication::TClockKind::ckVirtual, motion);
  TfrmScrn show(*saver.Platform, TPasswordCheck::pcAskVerifier);
  show.Show();  // the first activation reads the settings
  // The show reads every picture from its program file, opened once.
  std::unique_ptr<TFileStream> program = OpenSelfStream(saver.Exe);
  for (auto _ : state) {
    std::unique_ptr<TImage> item = ReadPictureItem(*program, show.Settings(), 0);
    TBitmap frame = show.Scheduler().ComposePicture(*item);
    benchmark::DoNotOptimize(frame.Bits());
  }
}

void BM_SlidePreparation(benchmark::State& state) {
  SlidePreparation(state, false);
}
void BM_SlidePreparationMotion(benchmark::State& state) {
  SlidePreparation(state, true);
}

double ThreadCpuMs() {
#if !defined(_WIN32)
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
#else
  return 0;
#endif
}

// The photograph scaled to cover a W x H screen, as a moving slide prepares it.
TBitmap MotionSource(int32_t w, int32_t h) {
  const TBitmap photo = DecodeJPEG(Photo().data(), Photo().size(), nullptr);
  const TMotionSource s = MotionSourceFor(photo.Width(), photo.Height(), w, h, false);
  TBitmap source = TBitmap::ForOverwrite(s.Size.X, s.Size.Y);
  StretchDrawGraphic(source, source.BoundsRect(), photo);
  return source;
}

void BM_MotionFrame(benchmark::State& state) {
  const int32_t w = static_cast<int32_t>(state.range(0));
  const int32_t h = static_cast<int32_t>(state.range(1));
  const TBitmap source = MotionSource(w, h);
  const TMotionPath path(TPoint{source.Width(), source.Height()}, TPoint{w, h}, TMotionChoice{});
  TBitmap frame = TBitmap::ForOverwrite(w, h);
  TBitmap copy = TBitmap::ForOverwrite(w, h);
  TRegionResampler resampler;
  double motion = 0;
  double yardstick = 0;
  uint32_t ms = 0;
  // Processor time of this thread, so other work on a busy machine does not count.
  for (auto _ : state) {
    // A 5 s hold, frame by frame at 25 a second, round and round.
    ms = (ms + 40) % 5000;
    const double t0 = ThreadCpuMs();
    resampler.Resample(frame, source, path.At(ms, 5000));
    benchmark::DoNotOptimize(frame.Bits());
    const double t1 = ThreadCpuMs();
    Draw(copy, 0, 0, frame);
    benchmark::DoNotOptimize(copy.Bits());
    const double t2 = ThreadCpuMs();
    motion += t1 - t0;
    yardstick += t2 - t1;
  }
  const auto n = static_cast<double>(state.iterations());
  state.counters["motion_ms"] = motion / n;
  state.counters["copy_ms"] = yardstick / n;
  // 25 frames a second of motion_ms each, in percent of one core's second.
  state.counters["core_percent_at_25fps"] = motion / n * 25 / 1000 * 100;
}

// The parts of a slide's preparation on their own.
void BM_ReadPictureItem(benchmark::State& state) {
  TBenchSaver saver(1, 1920, 1080, 5000, THeadlessApplication::TClockKind::ckVirtual);
  TfrmScrn show(*saver.Platform, TPasswordCheck::pcAskVerifier);
  show.Show();
  std::unique_ptr<TFileStream> program = OpenSelfStream(saver.Exe);
  for (auto _ : state) {
    std::unique_ptr<TImage> item = ReadPictureItem(*program, show.Settings(), 0);
    benchmark::DoNotOptimize(item.get());
  }
  state.counters["jpeg_mb"] = static_cast<double>(Photo().size()) / 1048576.0;
}

void BM_StretchPhoto(benchmark::State& state) {
  const TBitmap photo = DecodeJPEG(Photo().data(), Photo().size(), nullptr);
  const int32_t w = static_cast<int32_t>(state.range(0));
  const int32_t h = static_cast<int32_t>(state.range(1));
  TBitmap frame(w, h);
  for (auto _ : state) {
    StretchDrawGraphic(frame, TRect{0, 0, w, h}, photo);
    benchmark::DoNotOptimize(frame.Bits());
  }
}

const std::vector<uint8_t>& Portrait() {
  static const std::vector<uint8_t> bytes = testing::MakeJpeg(
      608, 1080, testing::TJpegKind::Colour,
      [](int x, int y) {
        const uint32_t noise =
            (static_cast<uint32_t>(x) * 2654435761u) ^ (static_cast<uint32_t>(y) * 40503u);
        return ((x * 255 / 608 + (noise & 15)) & 0xFF) << 16 |
               ((y * 255 / 1080 + ((noise >> 4) & 15)) & 0xFF) << 8 | ((noise >> 8) & 63);
      },
      90);
  return bytes;
}

void BM_DecodePortrait(benchmark::State& state) {
  for (auto _ : state) {
    TBitmap b = DecodeJPEG(Portrait().data(), Portrait().size(), nullptr);
    benchmark::DoNotOptimize(b.Bits());
  }
}

void BM_BlurredBackdrop(benchmark::State& state) {
  const TBitmap picture = DecodeJPEG(Portrait().data(), Portrait().size(), nullptr);
  TBitmap frame(static_cast<int32_t>(state.range(0)), static_cast<int32_t>(state.range(1)));
  for (auto _ : state) {
    DrawBlurredBackdrop(frame, picture);
    benchmark::DoNotOptimize(frame.Bits());
  }
}

double ProcessCpuSeconds() {
#if !defined(_WIN32)
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
#else
  return 0;
#endif
}

// Runs the show for chunks of 500 ms of real time once the first transition has ended, and
// gives the processor time used per wall-clock time.
void MeasureHold(benchmark::State& state, THeadlessPlatform& platform, TfrmScrn& show) {
  show.Show();
  while (!show.Scheduler().SlideTimer().Enabled()) platform.App().HandleMessage();
  double cpu = 0;
  double wall = 0;
  for (auto _ : state) {
    const double cpu0 = ProcessCpuSeconds();
    const auto t0 = std::chrono::steady_clock::now();
    bool stop = false;
    const uint32_t tick = platform.App().TickCount() + 500;
    platform.App().PostAt(tick, [&stop] { stop = true; });
    while (!stop) platform.App().HandleMessage();
    cpu += ProcessCpuSeconds() - cpu0;
    wall += std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
  }
  state.counters["cpu_percent"] = wall > 0 ? 100.0 * cpu / wall : 0;
}

void BM_HoldWithMotion(benchmark::State& state) {
  TBenchSaver saver(1, 1920, 1080, 60000, THeadlessApplication::TClockKind::ckReal, true);
  TfrmScrn show(*saver.Platform, TPasswordCheck::pcAskVerifier);
  MeasureHold(state, *saver.Platform, show);
  if (!show.Scheduler().Motion().Moving()) state.SkipWithError("the picture did not move");
}

void BM_WaitingOutInterval(benchmark::State& state) {
  // Small pictures: only the waiting is measured.
  testing::TScratchFolder folder("show_bench_idle");
  testing::TBoxTextRenderer text;
  std::filesystem::create_directories(folder.Path() / "tmp");
  TSSFileLocations settings;
  settings.SetVer("photo");
  settings.SetInterval(60000);
  const std::string exe = folder.Dir() + "idle.scr";
  testing::WriteSaver(
      exe, settings,
      {testing::MakeJpeg(64, 48, testing::TJpegKind::Colour, [](int, int) { return 0x336699u; })});
  THeadlessScript script;
  script.ScreenWidth = 640;
  script.ScreenHeight = 480;
  script.ExeName = exe;
  script.TempDir = folder.Dir() + "tmp/";
  script.SettingsDir = folder.Dir();
  THeadlessPlatform platform(script, text, THeadlessApplication::TClockKind::ckReal);
  TfrmScrn show(platform, TPasswordCheck::pcAskVerifier);
  // Let the first transition run, then measure the wait that follows.
  MeasureHold(state, platform, show);
}

BENCHMARK(BM_DecodeJpeg)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SlidePreparation)
    ->Args({1920, 1080})
    ->Args({3840, 2160})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadPictureItem)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StretchPhoto)->Args({1920, 1080})->Args({3840, 2160})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodePortrait)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BlurredBackdrop)
    ->Args({1920, 1080})
    ->Args({3840, 2160})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WaitingOutInterval)->Iterations(4)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_MotionFrame)->Args({1920, 1080})->Args({3840, 2160})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SlidePreparationMotion)
    ->Args({1920, 1080})
    ->Args({3840, 2160})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HoldWithMotion)->Iterations(6)->Unit(benchmark::kMillisecond)->UseRealTime();

long PeakResidentKb() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6));
  }
  return -1;
}

// Runs a show of the saver in exe for 20 s of show time at 1920 x 1080 and prints the peak
// resident set of this process, which did nothing before.
int PeakMemoryRun(const std::string& exe) {
  ReturnLargeBlocksToSystem();  // as the engine does at start-up
  const long before = PeakResidentKb();
  testing::TBoxTextRenderer text;
  THeadlessScript script;
  script.ScreenWidth = 1920;
  script.ScreenHeight = 1080;
  script.ExeName = exe;
  script.TempDir = ExtractFileDir(exe) + "/tmp/";
  script.SettingsDir = ExtractFileDir(exe) + "/";
  THeadlessPlatform platform(script, text);
  TfrmScrn show(platform, TPasswordCheck::pcAskVerifier);
  show.Show();
  bool stop = false;
  platform.App().PostAt(20000, [&stop] { stop = true; });
  while (!stop) platform.App().HandleMessage();
  const long peak = PeakResidentKb();
  const double decodedMb = kPhotoWidth * kPhotoHeight * 3 / 1048576.0;
  const double frameMb = 1920 * 1080 * 3 / 1048576.0;
  std::printf(
      "%d transitions; peak resident set %.1f MB (%.1f MB at the start); budget: one "
      "decoded picture %.1f MB + 8 frames %.1f MB + 20 MB = %.1f MB\n",
      show.Scheduler().PicIndex(), peak / 1024.0, before / 1024.0, decodedMb, 8 * frameMb,
      decodedMb + 8 * frameMb + 20);
  return 0;
}

// Writes a saver of four photographs, then measures the show in a fresh process, so that making
// the photographs does not count.
int PeakMemory(const char* self) {
  TBenchSaver saver(4, 1920, 1080, 2000, THeadlessApplication::TClockKind::ckVirtual);
  const std::string command = std::string(self) + " --peak-memory-run " + saver.Exe;
  return std::system(command.c_str()) == 0 ? 0 : 1;
}

}  // namespace
}  // namespace tovrin

int main(int argc, char** argv) {
  tovrin::RegisterStreamClass(tovrin::TSSFileLocations::StaticClassInfo());
  tovrin::RegisterStreamClass(tovrin::TImage::StaticClassInfo());
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--peak-memory") == 0) return tovrin::PeakMemory(argv[0]);
    if (std::strcmp(argv[i], "--peak-memory-run") == 0 && i + 1 < argc) {
      return tovrin::PeakMemoryRun(argv[i + 1]);
    }
  }
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
