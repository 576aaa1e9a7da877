// The Linux screen saver end to end: the real engine with a package that tovrin-pack made from
// real JPEG files, WAV files and settings, run on an Xvfb of the test's own and driven with
// xdotool, as a user and as XScreenSaver drive it. Screenshots of every mode are written to
// TOVRIN_SCREENSHOT_DIR and named in the test's output.
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "jpeg_maker.h"
#include "package/object_writer.h"
#include "package/package_locator.h"
#include "package/ss_file_locations.h"
#include "package/stream.h"
#include "wave_bytes.h"
#include "x11_probe.h"
#include "xvfb_display.h"

extern char** environ;

namespace tovrin {
namespace {

// How soon a hosted show must be gone after an ending signal (SIGTERM, SIGINT, SIGHUP, SIGQUIT).
// The sanitizer build runs several times slower and checks the whole heap for leaks on the way out,
// so there the test holds it to ending cleanly, not to the deadline.
#if defined(__SANITIZE_ADDRESS__)
constexpr int64_t kSignalExitMs = 2000;
#else
constexpr int64_t kSignalExitMs = 100;
#endif

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int ScreenW = 640;
constexpr int ScreenH = 480;

// The first picture: four flat quadrants, so that a stretched copy can be recognised anywhere.
constexpr uint32_t TopLeft = 0xDC1E1E;
constexpr uint32_t TopRight = 0x1EC83C;
constexpr uint32_t BottomLeft = 0x2832D2;
constexpr uint32_t BottomRight = 0xE6DC28;

int64_t MsSince(Clock::time_point start) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

bool WaitFor(const std::function<bool()>& done, int ms) {
  const auto start = Clock::now();
  while (!done()) {
    if (MsSince(start) > ms) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return true;
}

void Sleep(int ms) {
  std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

// The first dialog window (setup dialog, message box) to appear within 15 s; Window 0 if none.
TX11Probe::TTopWindow WaitForDialog(TX11Probe& x) {
  TX11Probe::TTopWindow dialog{};
  WaitFor(
      [&] {
        const auto dialogs = x.Dialogs();
        if (!dialogs.empty()) dialog = dialogs.front();
        return dialog.Window != 0;
      },
      15000);
  return dialog;
}

int Shell(const std::string& command) {
  return std::system(command.c_str());
}

// Within a few levels per channel: the pictures went through JPEG.
bool Near(TColor actual, uint32_t rgb) {
  if (actual < 0) return false;
  const int r = static_cast<int>(rgb >> 16), g = static_cast<int>((rgb >> 8) & 0xFF),
            b = static_cast<int>(rgb & 0xFF);
  return std::abs(GetRValue(actual) - r) <= 12 && std::abs(GetGValue(actual) - g) <= 12 &&
         std::abs(GetBValue(actual) - b) <= 12;
}

// A program started with its own environment, killed if the test leaves it running.
class TProcess {
 public:
  TProcess(const std::vector<std::string>& argv, const std::vector<std::string>& env) {
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    std::vector<char*> envp;
    for (const std::string& e : env) envp.push_back(const_cast<char*>(e.c_str()));
    envp.push_back(nullptr);
    if (posix_spawn(&FPid, argv[0].c_str(), nullptr, nullptr, args.data(), envp.data()) != 0) {
      FPid = 0;
    }
  }
  ~TProcess() {
    if (Running()) {
      kill(FPid, SIGKILL);
      WaitExit(5000);
    }
  }
  TProcess(const TProcess&) = delete;
  TProcess& operator=(const TProcess&) = delete;

  pid_t Pid() const { return FPid; }
  bool Running() {
    if (FPid <= 0 || FExited) return false;
    int status = 0;
    if (waitpid(FPid, &status, WNOHANG) == FPid) {
      FExited = true;
      FStatus = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
    return !FExited;
  }
  // True when the process has ended within ms.
  bool WaitExit(int ms) { return WaitForExit(ms, 5); }
  bool WaitForExit(int ms, int pollMs) {
    const auto start = Clock::now();
    while (Running()) {
      if (MsSince(start) > ms) return false;
      std::this_thread::sleep_for(std::chrono::milliseconds(pollMs));
    }
    return FPid > 0;
  }
  int Status() const { return FStatus; }

 private:
  pid_t FPid = 0;
  bool FExited = false;
  int FStatus = -1;
};

class LinuxSaverTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { StartSuite(ScreenW, ScreenH); }
  // The suite's X server with a screen of width x height, and its savers.
  static void StartSuite(int width, int height) {
    Display = new TXvfbDisplay(width, height);
    Savers =
        new fs::path(fs::temp_directory_path() / ("tovrin_savers_" + std::to_string(getpid())));
    fs::remove_all(*Savers);
    fs::create_directories(*Savers);
    BuildSavers();
  }
  static void TearDownTestSuite() {
    fs::remove_all(*Savers);
    delete Savers;
    delete Display;
  }

  void SetUp() override {
    ASSERT_TRUE(Display->Ok()) << "Xvfb could not start";
    ASSERT_TRUE(SaversBuilt) << "tovrin-pack could not build the savers";
    const std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    FDir = fs::temp_directory_path() / ("tovrin_e2e_" + name + "_" + std::to_string(getpid()));
    fs::remove_all(FDir);
    for (const char* sub : {"tmp", "cfg", "run", "bin"}) fs::create_directories(FDir / sub);
    FTestName = name;
    // The desktop's handler, as the saver starts it: it notes what it was asked to open.
    const fs::path opener = FDir / "bin" / "xdg-open";
    std::ofstream(opener) << "#!/bin/sh\nprintf '%s\\n' \"$1\" >>'"
                          << (FDir / "opened.txt").string() << "'\n";
    fs::permissions(opener, fs::perms::owner_all);
  }
  void TearDown() override { fs::remove_all(FDir); }

  // A saver of the suite, copied into the test's folder (the program's file name names its
  // lock and its settings folder).
  std::string Saver(const std::string& name) {
    const fs::path copy = FDir / name;
    if (!fs::exists(copy)) fs::copy_file(*Savers / name, copy);
    fs::permissions(copy, fs::perms::owner_all, fs::perm_options::add);
    return copy.string();
  }

  // The environment of a saver started by the test: its own temporary, configuration and
  // runtime folders, no host window unless given, the sound driver asked for.
  std::vector<std::string> Environment(const std::string& audio = "dummy",
                                       const std::string& hostWindow = "") {
    std::vector<std::string> env;
    static const char* const Replaced[] = {"TMPDIR=",
                                           "XDG_CONFIG_HOME=",
                                           "XDG_RUNTIME_DIR=",
                                           "SDL_AUDIODRIVER=",
                                           "SDL_DISKAUDIOFILE=",
                                           "XSCREENSAVER_WINDOW=",
                                           "PATH="};
    for (char** e = environ; *e; ++e) {
      const std::string entry = *e;
      bool replaced = false;
      for (const char* r : Replaced) replaced = replaced || entry.rfind(r, 0) == 0;
      if (!replaced) env.push_back(entry);
    }
    const char* path = std::getenv("PATH");
    env.push_back("PATH=" + (FDir / "bin").string() + ":" + (path ? path : "/usr/bin:/bin"));
    env.push_back("TMPDIR=" + (FDir / "tmp").string());
    env.push_back("XDG_CONFIG_HOME=" + (FDir / "cfg").string());
    env.push_back("XDG_RUNTIME_DIR=" + (FDir / "run").string());
    env.push_back("SDL_AUDIODRIVER=" + audio);
    env.push_back("SDL_DISKAUDIOFILE=" + (FDir / "audio.raw").string());
    if (!hostWindow.empty()) env.push_back("XSCREENSAVER_WINDOW=" + hostWindow);
    return env;
  }

  std::unique_ptr<TProcess> Start(const std::string& saver, std::vector<std::string> args,
                                  const std::vector<std::string>& env) {
    args.insert(args.begin(), Saver(saver));
    return std::make_unique<TProcess>(args, env);
  }

  // The entries of the test's temporary folder (the show's media folder while it runs).
  std::vector<std::string> TempEntries() {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(FDir / "tmp")) {
      names.push_back(e.path().filename().string());
    }
    return names;
  }

  // What the desktop's handler was asked to open, one line each.
  std::string Opened() {
    std::ifstream in(FDir / "opened.txt");
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  }

  // True when drawable shows the first picture stretched over (0, 0, w, h).
  bool ShowsFirstPicture(TX11Probe& x, uint32_t drawable, int w, int h) {
    return Near(x.Pixel(drawable, w / 4, h / 4), TopLeft) &&
           Near(x.Pixel(drawable, 3 * w / 4, h / 4), TopRight) &&
           Near(x.Pixel(drawable, w / 4, 3 * h / 4), BottomLeft) &&
           Near(x.Pixel(drawable, 3 * w / 4, 3 * h / 4), BottomRight);
  }

  void Screenshot(const std::string& what) {
    const std::string dir = TOVRIN_SCREENSHOT_DIR;
    fs::create_directories(dir);
    const std::string path = dir + "/" + FTestName + "-" + what + ".png";
    if (Shell("import -window root '" + path + "' 2>/dev/null") == 0) {
      std::printf("screenshot: %s\n", path.c_str());
    }
  }

  static void BuildSavers();
  static TXvfbDisplay* Display;
  static fs::path* Savers;
  static bool SaversBuilt;
  static std::vector<int16_t> SoundA;
  static std::vector<int16_t> SoundB;

  fs::path FDir;
  std::string FTestName;
};

TXvfbDisplay* LinuxSaverTest::Display = nullptr;
fs::path* LinuxSaverTest::Savers = nullptr;
bool LinuxSaverTest::SaversBuilt = false;
std::vector<int16_t> LinuxSaverTest::SoundA;
std::vector<int16_t> LinuxSaverTest::SoundB;

void WriteFile(const fs::path& path, const void* data, size_t size) {
  std::ofstream out(path, std::ios::binary);
  out.write(static_cast<const char*>(data), static_cast<std::streamsize>(size));
}

// A 44.1 kHz 16-bit stereo WAV of frames frames, the samples a pattern of its own (the mixer
// plays this format unchanged, so the samples can be found in what the device received).
std::vector<int16_t> WriteWave(const fs::path& path, int frames, int seed) {
  std::vector<int16_t> samples;
  for (int i = 0; i < frames * 2; ++i) {
    samples.push_back(static_cast<int16_t>(((i * 37 + seed * 7919) % 24000) - 12000));
  }
  const std::vector<uint8_t> out = testing::WaveBytes(samples, 2, 44100);
  WriteFile(path, out.data(), out.size());
  return samples;
}

// The tovrin-pack command that builds a saver from the suite's engine and settings.
std::string PackCommand(const fs::path& dir) {
  return std::string("'") + TOVRIN_PACK + "' build --engine '" + TOVRIN_ENGINE + "' --settings '" +
         (dir / "settings.ini").string() + "' ";
}

// A saver of the real engine whose package lists count picture entries, named as an authoring
// tool names them, none of which can be read: every offset points into the engine's own code.
void WriteUnreadableSaver(const fs::path& path, int32_t count) {
  std::ifstream engine(TOVRIN_ENGINE, std::ios::binary);
  std::vector<uint8_t> image((std::istreambuf_iterator<char>(engine)),
                             std::istreambuf_iterator<char>());
  TMemoryStream file(std::move(image));
  file.Seek(0, TSeekOrigin::soEnd);
  TSSFileLocations settings;
  settings.SetVer("photo");
  settings.SetInterval(1000);
  TStringList& offsets = settings.PicList();
  TStringList& names = settings.PicFileNameList();
  for (int32_t i = 0; i < count; ++i) {
    offsets.push_back(std::to_string(1000 + i));
    names.push_back("holiday picture " + std::to_string(i) + ".jpg");
  }
  const int64_t settingsOffset = file.Position();
  WriteShowSettings(file, settings);
  auto field = [](int64_t v) {
    std::string text = std::to_string(v);
    text.resize(TrailerFieldSize, ' ');
    return text;
  };
  const int64_t packageLength = file.Position() - settingsOffset;
  const std::string trailer = field(packageLength) + field(settingsOffset);
  file.WriteBuffer(trailer.data(), trailer.size());
  WriteFile(path, file.Bytes().data(), file.Bytes().size());
  fs::permissions(path, fs::perms::owner_all, fs::perm_options::add);
}

// The peak resident memory of a running process, in KiB (0 when it cannot be read).
int64_t PeakResidentKiB(pid_t pid) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmHWM:", 0) == 0) return std::atoll(line.c_str() + 6);
  }
  return 0;
}

// Whether a running process has a shared library of that name (a soname prefix) mapped.
bool MapsLibrary(pid_t pid, const std::string& name) {
  std::ifstream maps("/proc/" + std::to_string(pid) + "/maps");
  std::string line;
  while (std::getline(maps, line)) {
    const size_t slash = line.rfind('/');
    if (slash != std::string::npos && line.compare(slash + 1, name.size(), name) == 0) return true;
  }
  return false;
}

void LinuxSaverTest::BuildSavers() {
  const fs::path& dir = *Savers;
  const std::vector<uint8_t> first = testing::MakeJpeg(
      320, 240, testing::TJpegKind::Colour,
      [](int x, int y) {
        if (y < 120) return x < 160 ? TopLeft : TopRight;
        return x < 160 ? BottomLeft : BottomRight;
      },
      95);
  const std::vector<uint8_t> second = testing::MakeJpeg(
      200, 150, testing::TJpegKind::Colour, [](int, int) { return 0x808080u; }, 95);
  WriteFile(dir / "first.jpg", first.data(), first.size());
  WriteFile(dir / "second.jpg", second.data(), second.size());
  SoundA = WriteWave(dir / "a.wav", 11025, 1);  // 0.25 s each
  SoundB = WriteWave(dir / "b.wav", 11025, 2);
  {
    std::ofstream movie(dir / "intro.swf", std::ios::binary);
    movie << "FWS movie bytes";
    std::ofstream settings(dir / "settings.ini");
    settings << "[Settings]\nTitle=Harbour\nAuthor=Tovrin tests\nEmail=mail@example.com\n"
                "Web=https://example.com/\nlStretch=1\n";
  }
  const std::string pack = PackCommand(dir);
  const std::string pictures =
      " '" + (dir / "first.jpg").string() + "' '" + (dir / "second.jpg").string() + "'";
  const std::string sounds =
      " --sound '" + (dir / "a.wav").string() + "' --sound '" + (dir / "b.wav").string() + "'";
  SaversBuilt = Shell(pack + "-o '" + (dir / "photo.scr").string() + "' --interval 60000" + sounds +
                      pictures) == 0 &&
                Shell(pack + "-o '" + (dir / "moving.scr").string() +
                      "' --interval 100 --effects 1,5,9,12" + pictures) == 0 &&
                Shell(pack + "-o '" + (dir / "movie.scr").string() + "' --kind flash --movie '" +
                      (dir / "intro.swf").string() + "'" + pictures) == 0;
  // A video show of two clips: red then blue with a tone, and green (made by the ffmpeg program).
  const std::string ffmpeg = std::string(TOVRIN_FFMPEG_PROGRAM) + " -nostdin -v error -y ";
  SaversBuilt =
      SaversBuilt &&
      Shell(ffmpeg + "-f lavfi -i color=c=0xFF0000:s=320x240:r=25:d=0.6 " +
            "-f lavfi -i color=c=0x0000FF:s=320x240:r=25:d=0.6 " +
            "-f lavfi -i sine=frequency=440:duration=1.2 -filter_complex " +
            "'[0:v][1:v]concat=n=2:v=1:a=0,format=yuv420p[v]' -map '[v]' -map 2:a -c:v libx264 " +
            "-c:a aac -t 1.2 '" + (dir / "one.mp4").string() + "'") == 0 &&
      Shell(ffmpeg + "-f lavfi -i color=c=0x00FF00:s=320x240:r=25:d=0.6 -pix_fmt yuv420p " +
            "-c:v libvpx-vp9 '" + (dir / "two.webm").string() + "'") == 0 &&
      Shell(pack + "-o '" + (dir / "video.scr").string() + "' --kind movie --movie '" +
            (dir / "one.mp4").string() + "' --movie '" + (dir / "two.webm").string() + "'") == 0;
}

TEST_F(LinuxSaverTest, ShowCoversTheScreenWithTheFirstPictureAndLeavesNothingBehind) {
  TX11Probe x;
  // The cursor rests in the middle of the screen, where the window first appears at its
  // design size before it covers the screen: moving the window under it is no movement.
  Shell("xdotool mousemove 320 240");
  auto show = Start("photo.scr", {"--show"}, Environment());
  ASSERT_TRUE(WaitFor([&] { return ShowsFirstPicture(x, x.Root(), ScreenW, ScreenH); }, 15000))
      << "the first picture, stretched over the whole screen";
  Screenshot("show");
  // A show of pictures opens no dialog and plays no movie: the toolkit and the video libraries
  // stay unloaded (each would have cost its load before the first picture).
  for (const char* library : {"libgtk-3.so", "libgdk-3.so", "libpango-1.0.so", "libavcodec.so"}) {
    EXPECT_FALSE(MapsLibrary(show->Pid(), library)) << library;
  }
  // A pixel's nudge of the cursor, measured against where it rested (not against where it lay in
  // the window before the window moved), ends nothing.
  Shell("xdotool mousemove 321 241");
  EXPECT_FALSE(show->WaitExit(500)) << "a resting cursor nudged by a pixel does not end the show";
  const std::vector<std::string> media = TempEntries();
  ASSERT_EQ(media.size(), 1u);
  EXPECT_EQ(media[0].rfind("tovrin-", 0), 0u) << media[0];
  EXPECT_TRUE(fs::exists(FDir / "tmp" / media[0] / "a.wav"));
  Shell("xdotool key space");
  ASSERT_TRUE(show->WaitExit(5000)) << "a key ends the show";
  EXPECT_EQ(show->Status(), 0);
  EXPECT_TRUE(TempEntries().empty()) << "the media folder is removed";
}

TEST_F(LinuxSaverTest, InputEndsTheShowOnlyPastItsThresholds) {
  struct Case {
    const char* Input;
    bool Ends;
  };
  // The pointer rests at (100, 100) when the window appears, then moves by one pixel: the
  // anchor is one of those two points.
  const Case cases[] = {
      {"key a", true},
      {"key Shift_L", true},
      {"click 1", true},
      {"click 3", true},
      {"mousemove 104 103", true},   // over two pixels on both axes
      {"mousemove 102 102", false},  // two pixels on both axes
      {"mousemove 160 100", false},  // one axis only
      {"mousemove 100 40", false},
  };
  TX11Probe x;
  for (const Case& c : cases) {
    Shell("xdotool mousemove 100 100");
    auto show = Start("photo.scr", {"--show"}, Environment());
    ASSERT_TRUE(WaitFor([&] { return ShowsFirstPicture(x, x.Root(), ScreenW, ScreenH); }, 15000))
        << c.Input;
    Sleep(150);
    Shell("xdotool mousemove 101 100");
    Sleep(150);
    Shell(std::string("xdotool ") + c.Input);
    if (c.Ends) {
      EXPECT_TRUE(show->WaitExit(5000)) << c.Input << " ends the show";
      EXPECT_EQ(show->Status(), 0) << c.Input;
    } else {
      EXPECT_FALSE(show->WaitExit(800)) << c.Input << " must not end the show";
      Shell("xdotool key Escape");
      EXPECT_TRUE(show->WaitExit(5000)) << c.Input;
    }
    EXPECT_TRUE(TempEntries().empty()) << c.Input;
  }
}

TEST_F(LinuxSaverTest, ASecondStartEndsAtOnce) {
  TX11Probe x;
  auto first = Start("photo.scr", {"--show"}, Environment());
  ASSERT_TRUE(WaitFor([&] { return ShowsFirstPicture(x, x.Root(), ScreenW, ScreenH); }, 15000));
  const auto start = Clock::now();
  auto second = Start("photo.scr", {"--show"}, Environment());
  EXPECT_TRUE(second->WaitExit(3000));
  EXPECT_EQ(second->Status(), 0);
  std::printf("second start ended after %lld ms\n", static_cast<long long>(MsSince(start)));
  EXPECT_TRUE(first->Running());
  Shell("xdotool key space");
  EXPECT_TRUE(first->WaitExit(5000));
}

TEST_F(LinuxSaverTest, HostedShowsDrawIntoTheirWindowsAndEndOnSigtermWithin100Ms) {
  TX11Probe x;
  // Two monitors' windows, as XScreenSaver makes them, and one show in each at once (no
  // single-instance check), the second through XSCREENSAVER_WINDOW and -root.
  const uint32_t left = x.CreateWindow(0, 0, 300, 220);
  const uint32_t right = x.CreateWindow(320, 0, 300, 220);
  auto one = Start("photo.scr", {"-window-id", std::to_string(left)}, Environment());
  char hex[16];
  std::snprintf(hex, sizeof hex, "0x%x", right);
  auto two = Start("photo.scr", {"-root"}, Environment("dummy", hex));
  ASSERT_TRUE(WaitFor([&] { return ShowsFirstPicture(x, left, 300, 220); }, 15000));
  ASSERT_TRUE(WaitFor([&] { return ShowsFirstPicture(x, right, 300, 220); }, 15000));
  EXPECT_EQ(x.Pixel(x.Root(), 310, 300), clBlack) << "nothing drawn outside the windows";
  Screenshot("two-hosts");
  EXPECT_EQ(TempEntries().size(), 2u) << "a media folder each";
  for (TProcess* p : {one.get(), two.get()}) {
    const auto start = Clock::now();
    kill(p->Pid(), SIGTERM);
    ASSERT_TRUE(p->WaitForExit(2000, 1));
    const int64_t took = MsSince(start);
    std::printf("SIGTERM to exit: %lld ms\n", static_cast<long long>(took));
    EXPECT_LT(took, kSignalExitMs);
    EXPECT_EQ(p->Status(), 0);
  }
  EXPECT_TRUE(TempEntries().empty());
}

TEST_F(LinuxSaverTest, AHostedShowEndsOnSigtermInTheMiddleOfATransition) {
  TX11Probe x;
  const uint32_t host = x.CreateWindow(0, 0, 400, 300);
  for (const int signal : {SIGTERM, SIGINT, SIGHUP, SIGQUIT}) {
    auto show = Start("moving.scr", {"-window-id", std::to_string(host)}, Environment());
    ASSERT_TRUE(WaitFor([&] { return x.Pixel(host, 200, 150) != clBlack; }, 15000));
    Sleep(700);  // transitions follow each other every 100 ms
    const auto start = Clock::now();
    kill(show->Pid(), signal);
    ASSERT_TRUE(show->WaitForExit(2000, 1));
    const int64_t took = MsSince(start);
    std::printf("signal %d to exit during transitions: %lld ms\n", signal,
                static_cast<long long>(took));
    EXPECT_LT(took, kSignalExitMs);
    EXPECT_TRUE(TempEntries().empty());
  }
}

// A show killed outright cannot remove its media folder; the next show removes it, and leaves
// the folder of a show that still runs.
TEST_F(LinuxSaverTest, TheFolderOfAKilledShowIsRemovedByTheNextShow) {
  TX11Probe x;
  const uint32_t host = x.CreateWindow(0, 0, 300, 220);
  auto killed = Start("photo.scr", {"-window-id", std::to_string(host)}, Environment());
  ASSERT_TRUE(WaitFor([&] { return ShowsFirstPicture(x, host, 300, 220); }, 15000));
  const std::vector<std::string> left = TempEntries();
  ASSERT_EQ(left.size(), 1u);
  EXPECT_TRUE(fs::exists(FDir / "tmp" / left[0] / ".tovrin-owner"));
  kill(killed->Pid(), SIGKILL);
  ASSERT_TRUE(killed->WaitExit(5000));
  ASSERT_EQ(TempEntries(), left) << "nothing removes the folder of a killed show at once";

  const uint32_t other = x.CreateWindow(320, 0, 300, 220);
  auto running = Start("photo.scr", {"-window-id", std::to_string(other)}, Environment());
  ASSERT_TRUE(WaitFor([&] { return ShowsFirstPicture(x, other, 300, 220); }, 15000));
  const std::vector<std::string> now = TempEntries();
  ASSERT_EQ(now.size(), 1u) << "the killed show's folder is gone";
  EXPECT_NE(now[0], left[0]);

  auto next = Start("photo.scr", {"-window-id", std::to_string(host)}, Environment());
  ASSERT_TRUE(WaitFor([&] { return TempEntries().size() == 2; }, 15000))
      << "a running show's folder stays beside the next show's";
  for (TProcess* p : {running.get(), next.get()}) {
    kill(p->Pid(), SIGTERM);
    ASSERT_TRUE(p->WaitExit(5000));
  }
  EXPECT_TRUE(TempEntries().empty());
}

// A hosted show of a million picture entries that cannot be read passes over them a few per
// turn of its message loop, so an ending signal still ends it at once; its lists cost memory in
// proportion to their bytes.
TEST_F(LinuxSaverTest, AMillionUnreadablePicturesNeitherFreezeNorSwellTheShow) {
  const fs::path saver = FDir / "million.scr";
  WriteUnreadableSaver(saver, 1000000);
  TX11Probe x;
  const uint32_t host = x.CreateWindow(0, 0, 320, 240);
  TProcess show({saver.string(), "-window-id", std::to_string(host)}, Environment());
  // The media folder comes right after the settings: from then on the pictures are passed over.
  ASSERT_TRUE(WaitFor([&] { return !TempEntries().empty(); }, 30000));
  Sleep(500);
  ASSERT_TRUE(show.Running());
  const int64_t peakKiB = PeakResidentKiB(show.Pid());
  const auto start = Clock::now();
  kill(show.Pid(), SIGTERM);
  ASSERT_TRUE(show.WaitForExit(5000, 1));
  const int64_t took = MsSince(start);
  std::printf("a million unreadable pictures: SIGTERM to exit %lld ms, peak resident %lld KiB\n",
              static_cast<long long>(took), static_cast<long long>(peakKiB));
  EXPECT_LT(took, kSignalExitMs);
  EXPECT_EQ(show.Status(), 0);
#if !defined(__SANITIZE_ADDRESS__)
  EXPECT_GT(peakKiB, 0);
  EXPECT_LT(peakKiB, 150 * 1024);
#endif
  EXPECT_TRUE(TempEntries().empty());
}

// A saver rebuilt and renamed over the running one's name: the show reads its pictures from the
// file it started from and goes on to its next picture and round again.
TEST_F(LinuxSaverTest, ASaverRenamedOverWhileItsShowRunsGoesOnToItsNextPicture) {
  TX11Probe x;
  const uint32_t host = x.CreateWindow(0, 0, 400, 300);
  auto show = Start("moving.scr", {"-window-id", std::to_string(host)}, Environment());
  ASSERT_TRUE(WaitFor([&] { return ShowsFirstPicture(x, host, 400, 300); }, 15000));
  // The second picture alone: where the running saver's first picture lay, the rebuilt one has
  // its second, and where its second lay, nothing.
  const fs::path rebuilt = FDir / "rebuilt.scr";
  ASSERT_EQ(Shell(PackCommand(*Savers) + "-o '" + rebuilt.string() + "' --interval 100 '" +
                  (*Savers / "second.jpg").string() + "'"),
            0);
  fs::rename(rebuilt, Saver("moving.scr"));
  const auto grey = [&] { return Near(x.Pixel(host, 200, 150), 0x808080); };
  EXPECT_TRUE(WaitFor(grey, 10000));
  EXPECT_TRUE(WaitFor([&] { return ShowsFirstPicture(x, host, 400, 300); }, 10000));
  EXPECT_TRUE(WaitFor(grey, 10000));
  EXPECT_TRUE(show->Running());
  kill(show->Pid(), SIGTERM);
  ASSERT_TRUE(show->WaitExit(2000));
  EXPECT_EQ(show->Status(), 0);
}

TEST_F(LinuxSaverTest, PreviewDrawsTheStretchedFirstPictureUntilTheHostHidesIt) {
  TX11Probe x;
  const uint32_t host = x.CreateWindow(200, 150, 152, 112);
  auto preview = Start("photo.scr", {"--preview", std::to_string(host)}, Environment());
  ASSERT_TRUE(WaitFor([&] { return ShowsFirstPicture(x, host, 152, 112); }, 15000));
  Screenshot("preview");
  EXPECT_TRUE(preview->Running());
  x.Unmap(host);
  EXPECT_TRUE(preview->WaitExit(3000)) << "hiding the host ends the preview";
  EXPECT_EQ(preview->Status(), 0);

  // A preview has nothing to put away: SIGTERM ends it as it ends any program.
  const uint32_t second = x.CreateWindow(200, 150, 152, 112);
  auto killed = Start("photo.scr", {"--preview", std::to_string(second)}, Environment());
  ASSERT_TRUE(WaitFor([&] { return ShowsFirstPicture(x, second, 152, 112); }, 15000));
  kill(killed->Pid(), SIGTERM);
  EXPECT_TRUE(killed->WaitExit(1000));
  EXPECT_EQ(killed->Status(), 128 + SIGTERM);
}

std::vector<int16_t> ReadSamples(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::vector<int16_t> samples(bytes.size() / 2);
  if (!samples.empty()) std::memcpy(samples.data(), bytes.data(), samples.size() * 2);
  return samples;
}

// Where needle starts in haystack at or after from; npos when it does not.
size_t Find(const std::vector<int16_t>& haystack, const std::vector<int16_t>& needle,
            size_t from = 0) {
  if (from > haystack.size()) return std::string::npos;
  const auto it = std::search(haystack.begin() + static_cast<ptrdiff_t>(from), haystack.end(),
                              needle.begin(), needle.end());
  return it == haystack.end() ? std::string::npos : static_cast<size_t>(it - haystack.begin());
}

TEST_F(LinuxSaverTest, TheSoundsPlayInPlaylistOrderAndNotAtAllWhenMuted) {
  TX11Probe x;
  {
    auto show = Start("photo.scr", {"--show"}, Environment("disk"));
    ASSERT_TRUE(WaitFor([&] { return ShowsFirstPicture(x, x.Root(), ScreenW, ScreenH); }, 15000));
    Sleep(1500);  // a, b, a and part of b again
    Shell("xdotool key space");
    ASSERT_TRUE(show->WaitExit(5000));
  }
  const std::vector<int16_t> played = ReadSamples(FDir / "audio.raw");
  const size_t a1 = Find(played, SoundA);
  ASSERT_NE(a1, std::string::npos) << "a.wav's samples, as they are";
  const size_t b1 = Find(played, SoundB, a1 + SoundA.size());
  ASSERT_NE(b1, std::string::npos) << "then b.wav";
  EXPECT_NE(Find(played, SoundA, b1 + SoundB.size()), std::string::npos) << "then a.wav again";

  // Muted by the stored choice, and by the host's -mute: nothing of either sound.
  fs::create_directories(FDir / "cfg" / "tovrin" / "photo.scr");
  std::ofstream(FDir / "cfg" / "tovrin" / "photo.scr" / "CONTROL.INI") << "[Setup]\nmute=1\n";
  for (const bool stored : {true, false}) {
    if (!stored) fs::remove(FDir / "cfg" / "tovrin" / "photo.scr" / "CONTROL.INI");
    fs::remove(FDir / "audio.raw");
    std::vector<std::string> args{"--show"};
    if (!stored) args.push_back("-mute");
    auto show = Start("photo.scr", args, Environment("disk"));
    ASSERT_TRUE(WaitFor([&] { return ShowsFirstPicture(x, x.Root(), ScreenW, ScreenH); }, 15000));
    Sleep(700);
    Shell("xdotool key space");
    ASSERT_TRUE(show->WaitExit(5000));
    const std::vector<int16_t> muted = ReadSamples(FDir / "audio.raw");
    EXPECT_EQ(Find(muted, std::vector<int16_t>(SoundA.begin(), SoundA.begin() + 64)),
              std::string::npos)
        << (stored ? "stored mute" : "-mute");
  }
}

TEST_F(LinuxSaverTest, SetupWritesEachChoiceOnlyAfterItsBoxChanged) {
  TX11Probe x;
  const fs::path control = FDir / "cfg" / "tovrin" / "photo.scr" / "CONTROL.INI";
  // Untouched; both boxes and the links clicked with the mouse; both boxes toggled from the
  // keyboard, which also walks the tab order: mute box, every-monitor box, OK.
  enum class TUse { uNone, uMouse, uKeys };
  for (const TUse use : {TUse::uNone, TUse::uMouse, TUse::uKeys}) {
    SCOPED_TRACE(static_cast<int>(use));
    fs::remove(control);
    auto setup = Start("photo.scr", {"--setup"}, Environment());
    // The dialog, 305 x 216 at 96 dots per inch.
    const TX11Probe::TTopWindow dialog = WaitForDialog(x);
    ASSERT_NE(dialog.Window, 0u);
    EXPECT_EQ(dialog.Width, 305);
    EXPECT_EQ(dialog.Height, 216);
    Sleep(300);
    const auto [left, top] = x.ScreenPosition(dialog.Window);
    // A point of the dialog's client area, as xdotool takes it.
    const auto at = [&](int dx, int dy) {
      return std::to_string(left + dx) + " " + std::to_string(top + dy);
    };
    if (use != TUse::uKeys) Screenshot(use == TUse::uMouse ? "setup-click" : "setup");
    if (use == TUse::uMouse) {
      // The mute box (unchecked) at top 71 and the every-monitor box (checked) at top 92.
      for (const int boxTop : {71, 92}) {
        Shell("xdotool mousemove " + at(29 + 7, boxTop + 7) + " click 1");
      }
      Sleep(200);
      // The two link lines: the package's texts go to the desktop's handler as they are.
      for (const int linkTop : {127, 148}) {
        Shell("xdotool mousemove " + at(29 + 10, linkTop + 6) + " click 1");
      }
      EXPECT_TRUE(
          WaitFor([&] { return Opened() == "mail@example.com\nhttps://example.com/\n"; }, 5000))
          << Opened();
    }
    if (use == TUse::uKeys) {
      // The keyboard goes to the window under the pointer; the mute box has the focus first, and
      // Space on the OK button presses it.
      Shell("xdotool mousemove " + at(150, 5) + " key space Tab space Tab space");
    } else {
      // OK: left 214, top 15 in the 50-pixel button bar below the 166-pixel info area.
      Shell("xdotool mousemove " + at(214 + 37, 166 + 15 + 12) + " click 1");
    }
    ASSERT_TRUE(setup->WaitExit(5000)) << "OK closes the dialog";
    EXPECT_EQ(setup->Status(), 0);
    if (use == TUse::uNone) {
      EXPECT_FALSE(fs::exists(control)) << "OK alone writes nothing";
    } else {
      std::ifstream in(control);
      const std::string text((std::istreambuf_iterator<char>(in)),
                             std::istreambuf_iterator<char>());
      EXPECT_NE(text.find("mute=1"), std::string::npos) << text;
      EXPECT_NE(text.find("everymonitor=0"), std::string::npos) << text;
    }
  }
}

// The colour in the middle of the root window: 'r', 'g', 'b', or '?'.
char MiddleColour(TX11Probe& x) {
  const TColor c = x.Pixel(x.Root(), ScreenW / 2, ScreenH / 2);
  if (Near(c, 0xFF0000)) return 'r';
  if (Near(c, 0x00FF00)) return 'g';
  if (Near(c, 0x0000FF)) return 'b';
  return '?';
}

TEST_F(LinuxSaverTest, AVideoShowPlaysItsClipsInOrderWithSoundAndEndsOnInputAtOnce) {
  TX11Probe x;
  auto show = Start("video.scr", {"--show"}, Environment("disk"));
  // The clips in package order, the colours of each in order, then the first again.
  std::string runs;
  const auto start = Clock::now();
  while (runs.size() < 5 && MsSince(start) < 15000 && show->Running()) {
    const char c = MiddleColour(x);
    if (c != '?' && (runs.empty() || runs.back() != c)) runs += c;
    if (runs == "r") Screenshot("video");
    Sleep(20);
  }
  EXPECT_EQ(runs, "rbgrb");
  EXPECT_TRUE(x.Dialogs().empty()) << "no message about a missing player";
  // A key ends the show at once, the movie playing.
  Shell("xdotool key space");
  const auto keyed = Clock::now();
  ASSERT_TRUE(show->WaitForExit(2000, 1)) << "a key ends the show";
  const int64_t took = MsSince(keyed);
  std::printf("key to exit during a movie: %lld ms\n", static_cast<long long>(took));
  EXPECT_LT(took, kSignalExitMs);
  EXPECT_EQ(show->Status(), 0);
  EXPECT_TRUE(TempEntries().empty());
  // The tone reached the sound device.
  const std::vector<int16_t> played = ReadSamples(FDir / "audio.raw");
  const auto loud = [](const std::vector<int16_t>& samples) {
    return std::count_if(samples.begin(), samples.end(),
                         [](int16_t v) { return std::abs(v) > 2000; });
  };
  EXPECT_GT(loud(played), 48000) << "half a second of the tone at least";

  // Muted: the movies play, silent.
  fs::create_directories(FDir / "cfg" / "tovrin" / "video.scr");
  std::ofstream(FDir / "cfg" / "tovrin" / "video.scr" / "CONTROL.INI") << "[Setup]\nmute=1\n";
  fs::remove(FDir / "audio.raw");
  auto muted = Start("video.scr", {"--show"}, Environment("disk"));
  ASSERT_TRUE(WaitFor([&] { return MiddleColour(x) == 'b'; }, 15000));
  Shell("xdotool key space");
  ASSERT_TRUE(muted->WaitExit(5000));
  EXPECT_EQ(loud(ReadSamples(FDir / "audio.raw")), 0);
}

TEST_F(LinuxSaverTest, AHostedVideoShowEndsOnSigtermAtOnce) {
  TX11Probe x;
  const uint32_t host = x.CreateWindow(0, 0, 400, 300);
  auto show = Start("video.scr", {"-window-id", std::to_string(host)}, Environment());
  ASSERT_TRUE(WaitFor([&] { return Near(x.Pixel(host, 200, 150), 0x0000FF); }, 15000))
      << "the first clip's second colour";
  const auto start = Clock::now();
  kill(show->Pid(), SIGTERM);
  ASSERT_TRUE(show->WaitForExit(2000, 1));
  const int64_t took = MsSince(start);
  std::printf("SIGTERM to exit during a movie: %lld ms\n", static_cast<long long>(took));
  EXPECT_LT(took, kSignalExitMs);
  EXPECT_EQ(show->Status(), 0);
  EXPECT_TRUE(TempEntries().empty());
}

TEST_F(LinuxSaverTest, MovieModeShowsTheMissingPlayerMessageAndEnds) {
  TX11Probe x;
  auto show = Start("movie.scr", {"--show"}, Environment());
  // The message box: a dialog window over the show's.
  const TX11Probe::TTopWindow box = WaitForDialog(x);
  ASSERT_NE(box.Window, 0u) << "a message box";
  Sleep(300);
  Screenshot("movie-message");
  EXPECT_TRUE(show->Running());
  const auto [boxLeft, boxTop] = x.ScreenPosition(box.Window);
  const std::string inside =
      std::to_string(boxLeft + box.Width / 2) + " " + std::to_string(boxTop + 10);
  Shell("xdotool mousemove " + inside + " key Escape");  // No
  ASSERT_TRUE(show->WaitExit(5000)) << "the show ends whatever the answer";
  EXPECT_EQ(show->Status(), 0);
  EXPECT_TRUE(TempEntries().empty());
  EXPECT_EQ(Opened(), "") << "No opens nothing";

  // Yes (Return, the default button) opens the player's download page with the desktop's
  // handler, and the show ends all the same.
  auto again = Start("movie.scr", {"--show"}, Environment());
  ASSERT_TRUE(WaitFor([&] { return !x.Dialogs().empty(); }, 15000));
  Sleep(300);
  Shell("xdotool mousemove " + inside + " key Return");
  ASSERT_TRUE(again->WaitExit(5000));
  EXPECT_TRUE(WaitFor([&] { return Opened().rfind("https://", 0) == 0; }, 5000)) << Opened();
}

// A window manager stacks the windows it manages below the show's window, which it does not
// manage (override-redirect): a box it managed would open out of sight. And the show's window
// getting the keyboard while the box is open (a window manager or another program may give it)
// must not run the show's activation again inside the first one, which opened the box: that
// showed a second box.
TEST_F(LinuxSaverTest, UnderAWindowManagerTheMovieMessageOpensOnceAboveTheShow) {
  ASSERT_TRUE(fs::exists("/usr/bin/openbox")) << "the test needs openbox (./run installs it)";
  TX11Probe x;
  TProcess wm({"/usr/bin/openbox"}, Environment());
  ASSERT_TRUE(
      WaitFor([&] { return x.Property32(x.Root(), "_NET_SUPPORTING_WM_CHECK") != 0; }, 15000))
      << "openbox manages the display";
  auto show = Start("movie.scr", {"--show"}, Environment());
  const TX11Probe::TTopWindow box = WaitForDialog(x);
  ASSERT_NE(box.Window, 0u) << "a message box of its own among the top windows";
  Sleep(300);
  Screenshot("movie-message-wm");
  EXPECT_EQ(x.MappedTopWindows().back().Window, box.Window) << "the box lies above the show";
  const uint32_t form = x.TopWindowNamed("Tovrin");
  ASSERT_NE(form, 0u) << "the show's window";
  x.Focus(form);
  Sleep(800);
  EXPECT_EQ(x.Dialogs().size(), 1u) << "one box, however often the show's window is activated";
  x.Focus(box.Window);
  Shell("xdotool key Escape");  // No
  ASSERT_TRUE(show->WaitExit(5000));
  EXPECT_EQ(show->Status(), 0);
  EXPECT_TRUE(TempEntries().empty());
  EXPECT_EQ(Opened(), "");
  kill(wm.Pid(), SIGTERM);
  EXPECT_TRUE(wm.WaitExit(5000));
}

// A desk of two monitors: one 1440 x 600 screen split with xrandr into 800 x 600 at (0, 0) and
// 640 x 600 at (800, 0), as desktops split one output.
class LinuxSaverMonitorsTest : public LinuxSaverTest {
 protected:
  static constexpr TRect Whole{0, 0, 1440, 600};
  static constexpr TRect Left{0, 0, 800, 600};
  static constexpr TRect Right{800, 0, 1440, 600};

  static void SetUpTestSuite() { StartSuite(Whole.Width(), Whole.Height()); }
  void SetUp() override {
    LinuxSaverTest::SetUp();
    ASSERT_TRUE(Split());
  }
  void TearDown() override {
    Unsplit();
    LinuxSaverTest::TearDown();
  }
  static bool Split() {
    return Shell(
               "xrandr --setmonitor L 800/211x600/158+0+0 screen "
               "--setmonitor R 640/169x600/158+800+0 none >/dev/null") == 0;
  }
  // Back to one monitor for the whole screen.
  static bool Unsplit() {
    return Shell("xrandr --delmonitor L --delmonitor R >/dev/null 2>&1") == 0;
  }
  // A lit window of another program over the whole screen, as a desktop shows: whatever of it
  // stays visible is a part of the desk the show left uncovered.
  static uint32_t Desktop(TX11Probe& x) {
    return x.CreateWindow(0, 0, Whole.Width(), Whole.Height(), 0xF0F0F0);
  }

  // True when the screen shows the first picture stretched over monitor.
  bool ShowsFirstPictureOn(TX11Probe& x, const TRect& monitor) {
    const int l = monitor.Left, t = monitor.Top, w = monitor.Width(), h = monitor.Height();
    return Near(x.Pixel(x.Root(), l + w / 4, t + h / 4), TopLeft) &&
           Near(x.Pixel(x.Root(), l + 3 * w / 4, t + h / 4), TopRight) &&
           Near(x.Pixel(x.Root(), l + w / 4, t + 3 * h / 4), BottomLeft) &&
           Near(x.Pixel(x.Root(), l + 3 * w / 4, t + 3 * h / 4), BottomRight);
  }
  // True when nine points spread over monitor, its corners among them, are black.
  bool IsBlack(TX11Probe& x, const TRect& monitor) {
    for (const int fx : {0, 1, 2}) {
      for (const int fy : {0, 1, 2}) {
        const int px = monitor.Left + fx * (monitor.Width() - 1) / 2;
        const int py = monitor.Top + fy * (monitor.Height() - 1) / 2;
        if (x.Pixel(x.Root(), px, py) != clBlack) return false;
      }
    }
    return true;
  }
};

TEST_F(LinuxSaverMonitorsTest, EveryMonitorShowsThePictureAndInputOnEitherEndsTheShow) {
  struct Case {
    const char* What;
    int RestX, RestY;  // where the cursor rests when the windows appear (then moves a pixel)
    const char* Input;
    bool Ends;
  };
  const Case cases[] = {
      {"a key", 400, 300, "key a", true},
      {"over two pixels on the first monitor", 400, 300, "mousemove 404 303", true},
      {"over two pixels on the second monitor", 1100, 300, "mousemove 1104 303", true},
      {"two pixels on the second monitor", 1100, 300, "mousemove 1103 302", false},
      {"a click on the second monitor", 1100, 300, "click 1", true},
      {"a move across the monitors' border", 790, 300, "mousemove 810 310", true},
  };
  TX11Probe x;
  Desktop(x);
  bool shot = false;
  for (const Case& c : cases) {
    Shell("xdotool mousemove " + std::to_string(c.RestX) + " " + std::to_string(c.RestY));
    auto show = Start("photo.scr", {"--show"}, Environment());
    ASSERT_TRUE(WaitFor(
        [&] { return ShowsFirstPictureOn(x, Left) && ShowsFirstPictureOn(x, Right); }, 15000))
        << c.What << ": the first picture on each monitor, stretched to its size";
    if (!shot) Screenshot("show");
    shot = true;
    Sleep(150);
    Shell("xdotool mousemove " + std::to_string(c.RestX + 1) + " " + std::to_string(c.RestY));
    Sleep(150);
    Shell(std::string("xdotool ") + c.Input);
    if (c.Ends) {
      EXPECT_TRUE(show->WaitExit(5000)) << c.What << " ends the show";
      EXPECT_EQ(show->Status(), 0) << c.What;
    } else {
      EXPECT_FALSE(show->WaitExit(800)) << c.What << " must not end the show";
      Shell("xdotool key Escape");
      EXPECT_TRUE(show->WaitExit(5000)) << c.What;
    }
  }
}

TEST_F(LinuxSaverMonitorsTest, WithoutPicturesOnEveryMonitorTheOthersStayBlack) {
  const fs::path settings = FDir / "cfg" / "tovrin" / "photo.scr";
  fs::create_directories(settings);
  std::ofstream(settings / "CONTROL.INI") << "[Setup]\neverymonitor=0\n";
  TX11Probe x;
  Desktop(x);
  ASSERT_FALSE(IsBlack(x, Right));
  Shell("xdotool mousemove 400 300");
  auto show = Start("photo.scr", {"--show"}, Environment());
  ASSERT_TRUE(WaitFor([&] { return ShowsFirstPictureOn(x, Left); }, 15000));
  EXPECT_TRUE(IsBlack(x, Right));
  Sleep(500);
  EXPECT_TRUE(IsBlack(x, Right)) << "still black a while later";
  Screenshot("black");
  Shell("xdotool key a");
  ASSERT_TRUE(show->WaitExit(5000));
  EXPECT_EQ(show->Status(), 0);
}

TEST_F(LinuxSaverMonitorsTest, TheWindowsFollowTheMonitorsWhenTheyChangeMidShow) {
  ASSERT_TRUE(Unsplit());
  TX11Probe x;
  Desktop(x);
  Shell("xdotool mousemove 400 300");
  auto show = Start("photo.scr", {"--show"}, Environment());
  ASSERT_TRUE(WaitFor([&] { return ShowsFirstPictureOn(x, Whole); }, 15000))
      << "one monitor: the picture over the whole screen";
  ASSERT_TRUE(Split());
  EXPECT_TRUE(WaitFor([&] { return ShowsFirstPictureOn(x, Left); }, 5000))
      << "split: the picture composed again for the first monitor";
  EXPECT_TRUE(WaitFor([&] { return IsBlack(x, Right) || ShowsFirstPictureOn(x, Right); }, 5000))
      << "the new monitor is covered";
  Screenshot("split");
  ASSERT_TRUE(Unsplit());
  EXPECT_TRUE(WaitFor([&] { return ShowsFirstPictureOn(x, Whole); }, 5000))
      << "one monitor again: the picture over the whole screen";
  EXPECT_TRUE(show->Running()) << "the show goes on through the changes";
  Shell("xdotool key a");
  ASSERT_TRUE(show->WaitExit(5000));
  EXPECT_EQ(show->Status(), 0);
}

}  // namespace
}  // namespace tovrin
