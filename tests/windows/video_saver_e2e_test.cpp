// A screen saver of video clips under Windows (Wine), end to end: tovrin-pack packs two MP4 clips
// (made on the host by the ffmpeg program, see clip_maker.h) into a copy of the engine; the saver
// plays them in package order, over and over, through the engine's own video player, with their
// sound on the wave device, and ends on a key. The old movie control is not installed: a show
// that asked for it would put up its message box.
//
// The wave device's samples reach TOVRIN_ALSA_FILE (see scripts/windows-test.sh), which the
// sound checks read back.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "clip_maker.h"
#include "e2e_process.h"
#include "screen_capture.h"

namespace fs = std::filesystem;

namespace tovrin {
namespace {

using namespace test;

constexpr char kMovieControlKey[] = "CLSID\\{D27CDB6E-AE6D-11CF-96B8-444553540000}";

// 'r', 'b' or 'k' (black) for the colour at the middle of the screen; '?' for anything else.
char ScreenCentre() {
  const int32_t w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
  const TColor c = CaptureScreen(TRect{w / 2, h / 2, w / 2 + 1, h / 2 + 1}).Pixel(0, 0);
  const int red = GetRValue(c), green = GetGValue(c), blue = GetBValue(c);
  if (red > 160 && green < 80 && blue < 80) return 'r';
  if (blue > 160 && red < 80 && green < 80) return 'b';
  if (red < 24 && green < 24 && blue < 24) return 'k';
  return '?';
}

// Samples of the transcript loud enough to be the clips' tone (a sine at an eighth of full scale)
// rather than silence or the device's padding.
size_t LoudSamples(const fs::path& raw) {
  std::ifstream in(raw, std::ios::binary);
  const std::vector<uint8_t> bytes(std::istreambuf_iterator<char>(in), {});
  size_t loud = 0;
  for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
    const int16_t sample = static_cast<int16_t>(bytes[i] | (bytes[i + 1] << 8));
    if (sample >= 1000 || sample <= -1000) ++loud;
  }
  return loud;
}

class VideoSaverE2E : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    Dir = fs::current_path() / "video_saver_e2e";
    std::error_code ec;
    fs::remove_all(Dir, ec);
    fs::create_directories(Dir);
  }

  void SetUp() override {
    // Made by the first test that runs: the clips may still have to come from the host.
    if (!Saver.empty()) return;
    testing::TClipRecipe recipe;
    recipe.AudioCodec = "aac";
    recipe.Segments = {{0xFF0000, 30}};  // 1.2 s at 25 frames a second
    const bool red = testing::MakeClip(Dir / "red.mp4", recipe);
    recipe.Segments = {{0x0000FF, 30}};
    const bool blue = testing::MakeClip(Dir / "blue.mp4", recipe);
    ASSERT_TRUE(red && blue);
    const std::string saver = (Dir / "Videos.scr").string();
    ASSERT_EQ(RunToEnd("\"" + WindowsPath(TOVRIN_PACK_EXE) + "\" build --engine \"" +
                       WindowsPath(TOVRIN_ENGINE_EXE) + "\" -o \"" + saver +
                       "\" --kind movie --movie \"" + (Dir / "red.mp4").string() + "\" --movie \"" +
                       (Dir / "blue.mp4").string() + "\""),
              0);
    Saver = saver;
  }

  void TearDown() override {
    std::error_code ec;
    fs::remove(Dir / "CONTROL.INI", ec);
  }

  static fs::path Dir;
  static std::string Saver;
};

fs::path VideoSaverE2E::Dir;
std::string VideoSaverE2E::Saver;

TEST_F(VideoSaverE2E, TheClipsPlayInPackageOrderWithTheirSoundAndAKeyEndsTheShow) {
  RegDeleteTreeA(HKEY_CLASSES_ROOT, kMovieControlKey);
  const fs::path raw = EmptySoundTranscript();
  TProcess show("\"" + Saver + "\" /s");
  ASSERT_TRUE(show.Started());
  ASSERT_NE(WaitForWindow(show.Id(), "TovrinForm", kStartMs), nullptr);

  // The colours the screen shows, one letter a run: red, blue and red again (the show loops).
  // Each clip lasts 1.2 s and the show looks once a second whether it has ended.
  std::string runs;
  bool boxShown = false;
  PumpUntil(
      [&] {
        const char colour = ScreenCentre();
        if ((colour == 'r' || colour == 'b') && (runs.empty() || runs.back() != colour)) {
          runs += colour;
        }
        boxShown = boxShown || !ProcessWindows(show.Id(), "#32770").empty();
        return runs.size() >= 3;
      },
      15000);
  EXPECT_EQ(runs.substr(0, 3), "rbr");
  EXPECT_FALSE(boxShown) << "a show of videos never asks for the old movie control";
  EXPECT_TRUE(show.Running());

  PressKey('A');
  EXPECT_TRUE(show.WaitForEnd(kEndMs)) << "a key ends the show";
  if (raw.empty()) {
    std::printf("TOVRIN_ALSA_FILE is not set: the sound was not checked\n");
    return;
  }
  // More than half a clip's tone has been played (a clip's 1.2 s are 115,200 samples at the
  // player's 48 kHz in two channels, some three quarters of them loud).
  EXPECT_GT(LoudSamples(raw), 60000u) << "the clips' sound reaches the wave device";
}

TEST_F(VideoSaverE2E, AStoredMuteKeepsTheClipsSilent) {
  std::ofstream(Dir / "CONTROL.INI") << "[Setup]\nmute=1\n";
  const fs::path raw = EmptySoundTranscript();
  if (raw.empty()) GTEST_SKIP() << "TOVRIN_ALSA_FILE is not set: nothing to listen with";
  TProcess show("\"" + Saver + "\" /s");
  ASSERT_TRUE(show.Started());
  ASSERT_NE(WaitForWindow(show.Id(), "TovrinForm", kStartMs), nullptr);
  // Until the second clip is on screen: both have had their time to sound.
  EXPECT_TRUE(PumpUntil([] { return ScreenCentre() == 'b'; }, 10000));
  PumpFor(500);
  PressKey('A');
  EXPECT_TRUE(show.WaitForEnd(kEndMs));
  EXPECT_EQ(LoudSamples(raw), 0u) << "a muted show plays nothing";
}

}  // namespace
}  // namespace tovrin
