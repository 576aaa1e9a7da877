// The video player on the real clock, with H.264 clips the ffmpeg program makes (kept in
// $TMPDIR/tovrin_movie_bench/ for the next run):
//
//   decode alone      the yardstick: TVideoClip decoding the 1080p clip's frames, nothing else
//   every frame       the player on a virtual clock that waits for each frame: the processor time
//                     a frame costs to decode, scale and present with none dropped (all threads;
//                     a figure that a busy machine changes little, unlike the real-clock ones)
//   1080p30 play      a TVideoPlayer on a 1920 x 1080 headless window playing the 1080p clip to
//                     its end: processor time per wall-clock time (the share of one core; the
//                     decoder's threads count too), frames painted and dropped, SetMovie's
//                     time to open the clip and Play's time to the first frame on screen
//   4K30 play         the same with a 3840 x 2160 clip (60 s unless --seconds N): is it played in
//                     real time, and how many frames were dropped
//   peak memory       a child process runs a whole movie show (TfrmScrn, headless, 1920 x 1080,
//                     real clock) of the 4K clip for 10 s and reports its peak resident set, next
//                     to its resident set before the show (the saver is written by the parent)
// The decoding alone is measured for each clip before it is played, as that clip's yardstick.
//
//   <build>/bench/movie_bench [--seconds N]      (N = 0: the 1080p figures alone)
// The headless window stands for the screen: presenting is the copy of each frame into it, not a
// GPU upload. On a shared machine run it twice and read the better run.
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "package/image.h"
#include "package/persistent.h"
#include "platform/headless/headless_platform.h"
#include "platform/video/video_player.h"
#include "saver_builder.h"
#include "show/frm_scrn.h"

namespace tovrin {
namespace {

double CpuSeconds() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

double WallSeconds() {
  timespec t{};
  clock_gettime(CLOCK_MONOTONIC, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

long PeakKb() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

// A clip of the moving test pattern with a light noise layer (so it has some of the entropy of
// filmed video), at about the bit rate a phone records: 16 Mbit/s at 1080p, 50 Mbit/s at 4K.
std::string Clip(int width, int height, int seconds) {
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() / "tovrin_movie_bench";
  std::filesystem::create_directories(folder);
  const std::string name = "clip_" + std::to_string(width) + "x" + std::to_string(height) + "_" +
                           std::to_string(seconds) + ".mp4";
  const std::string path = (folder / name).string();
  if (std::filesystem::exists(path)) return path;
  const std::string rate = width > 1920 ? "50M" : "16M";
  const std::string command =
      std::string(TOVRIN_FFMPEG_PROGRAM) +
      " -nostdin -v error -y -f lavfi -i testsrc2=s=" + std::to_string(width) + "x" +
      std::to_string(height) + ":r=30:d=" + std::to_string(seconds) +
      " -vf noise=alls=4:allf=t,format=yuv420p -c:v libx264 -preset veryfast -b:v " + rate +
      " -maxrate " + rate + " -bufsize " + rate + " -f mp4 '" + path + ".part' && mv '" + path +
      ".part' '" + path + "'";
  std::printf("making %s ...\n", path.c_str());
  std::fflush(stdout);
  if (std::system(command.c_str()) != 0) {
    std::fprintf(stderr, "ffmpeg failed: %s\n", command.c_str());
    std::exit(1);
  }
  return path;
}

void DecodeAlone(const std::string& path) {
  TVideoClip clip(path, false);
  TFrameHandle frame(Av().av_frame_alloc());
  const double cpu = CpuSeconds();
  const double wall = WallSeconds();
  int frames = 0;
  double firstFrame = 0;
  double firstPaint = 0;
  while (clip.NextFrame(*frame)) {
    if (++frames == 1) {
      firstFrame = WallSeconds() - wall;
      TBitmap screen(1920, 1080);
      TFramePainter painter;
      const double painting = WallSeconds();
      painter.Paint(*frame, 0, screen);
      firstPaint = WallSeconds() - painting;
    }
  }
  const double cpuUsed = CpuSeconds() - cpu;
  std::printf(
      "decode alone   %d frames, %.2f ms processor time a frame (%.1f%% of a core at 30 "
      "frames a second), %.1f s wall; the first frame decoded in %.0f ms, painted at 1920x1080 "
      "in %.0f ms\n",
      frames, cpuUsed * 1000 / frames, cpuUsed / frames * 30 * 100, WallSeconds() - wall,
      firstFrame * 1000, firstPaint * 1000);
}

void Play(const char* name, const std::string& path, double seconds) {
  THeadlessApplication app(THeadlessApplication::TClockKind::ckReal);
  THeadlessWindow window(1920, 1080);
  TVideoPlayer player(app, window, nullptr, {});
  player.SetBounds(0, 0, 1920, 1080);
  const double cpu = CpuSeconds();
  const double wall = WallSeconds();
  player.SetMovie(path);
  const double opened = WallSeconds();
  player.Play();
  const double first = WallSeconds() - opened;
  const double open = opened - wall;
  while (player.CurrentFrame() < player.TotalFrames() - 1) app.HandleMessage();
  const double wallUsed = WallSeconds() - wall;
  const double cpuUsed = CpuSeconds() - cpu;
  std::printf(
      "%s  opened in %.0f ms, first frame %.0f ms after Play; %.1f s for a %.1f s clip; "
      "processor %.1f%% of one core; %lld frames painted, %lld dropped\n",
      name, open * 1000, first * 1000, wallUsed, seconds, cpuUsed / wallUsed * 100,
      static_cast<long long>(player.PaintedFrames()),
      static_cast<long long>(player.DroppedFrames()));
}

// The player on the virtual clock, waiting for every frame (none dropped): the processor time a
// frame costs to decode, paint and present, all threads counted, whatever else the machine runs.
void PlayEveryFrame(const char* name, const std::string& path) {
  THeadlessApplication app(THeadlessApplication::TClockKind::ckVirtual);
  THeadlessWindow window(1920, 1080);
  TVideoPlayer player(app, window, nullptr, {}, TDecodeWait::dwForDueFrames);
  player.SetBounds(0, 0, 1920, 1080);
  const double cpu = CpuSeconds();
  player.SetMovie(path);
  player.Play();
  while (player.CurrentFrame() < player.TotalFrames() - 1) {
    bool stop = false;
    app.PostAt(app.TickCount() + 10, [&stop] { stop = true; });
    while (!stop) app.HandleMessage();
  }
  const double cpuUsed = CpuSeconds() - cpu;
  const auto frames = static_cast<double>(player.PaintedFrames());
  std::printf(
      "%s  every frame shown: %.0f painted, %lld dropped; %.2f ms processor time a frame (%.1f%% "
      "of a core at 30 frames a second)\n",
      name, frames, static_cast<long long>(player.DroppedFrames()), cpuUsed * 1000 / frames,
      cpuUsed / frames * 30 * 100);
}

// A movie show of clip, written into folder (by the parent, so that the child's peak is the
// show's own).
std::string WriteMovieSaver(const testing::TScratchFolder& folder, const std::string& clip) {
  RegisterStreamClass(TSSFileLocations::StaticClassInfo());
  RegisterStreamClass(TImage::StaticClassInfo());
  TSSFileLocations settings;
  settings.SetVer("flash");
  std::vector<uint8_t> bytes(std::filesystem::file_size(clip));
  std::FILE* f = std::fopen(clip.c_str(), "rb");
  const bool read = f && std::fread(bytes.data(), 1, bytes.size(), f) == bytes.size();
  if (f) std::fclose(f);
  if (!read) {
    std::fprintf(stderr, "cannot read %s\n", clip.c_str());
    std::exit(1);
  }
  const std::string exe = folder.Dir() + "bench.scr";
  testing::WriteSaver(exe, settings, {}, {}, {{"clip.mp4", std::move(bytes)}});
  return exe;
}

// The child's part: the movie show of saver for ten seconds at 1920 x 1080.
int PeakShow(const std::string& saver) {
  testing::TScratchFolder folder("movie_bench_show");
  std::filesystem::create_directories(folder.Path() / "tmp");
  RegisterStreamClass(TSSFileLocations::StaticClassInfo());
  RegisterStreamClass(TImage::StaticClassInfo());
  testing::TBoxTextRenderer text;
  THeadlessScript script;
  script.ScreenWidth = 1920;
  script.ScreenHeight = 1080;
  script.ExeName = saver;
  script.TempDir = folder.Dir() + "tmp/";
  script.SettingsDir = folder.Dir();
  THeadlessPlatform platform(script, text, THeadlessApplication::TClockKind::ckReal);
  const long before = PeakKb();
  TfrmScrn show(platform, TPasswordCheck::pcAskVerifier);
  show.Show();
  const double end = WallSeconds() + 10;
  while (WallSeconds() < end && !platform.App().Terminated()) {
    platform.App().WaitMessage(50);
    platform.App().ProcessMessages();
  }
  std::printf("peak memory    %.0f MB resident at the show's peak (%.0f MB before the show)\n",
              static_cast<double>(PeakKb()) / 1024, static_cast<double>(before) / 1024);
  return 0;
}

}  // namespace
}  // namespace tovrin

int main(int argc, char** argv) {
  using namespace tovrin;
  if (argc == 3 && std::string(argv[1]) == "--peak-show") return PeakShow(argv[2]);
  // --seconds N: the 4K clip's length; 0 leaves the 4K figures out.
  int seconds = 60;
  if (argc == 3 && std::string(argv[1]) == "--seconds") seconds = std::atoi(argv[2]);
  if (seconds < 0 || (argc != 1 && argc != 3)) {
    std::fprintf(stderr, "usage: movie_bench [--seconds N]\n");
    return 2;
  }
  const std::string hd = Clip(1920, 1080, 10);
  DecodeAlone(hd);
  PlayEveryFrame("1080p30 play ", hd);
  Play("1080p30 play ", hd, 10);
  if (seconds == 0) return 0;
  const std::string uhd = Clip(3840, 2160, seconds);
  DecodeAlone(uhd);
  Play("4K30 play    ", uhd, seconds);
  std::fflush(stdout);
  const testing::TScratchFolder folder("movie_bench");
  const std::string child =
      std::string(argv[0]) + " --peak-show '" + WriteMovieSaver(folder, uhd) + "'";
  return std::system(child.c_str()) == 0 ? 0 : 1;
}
