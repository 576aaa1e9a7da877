// Movie shows of video files on the headless back end: the clips' order on screen, looping,
// the next clip within a second of the end, broken clips passed over without a box, the sound
// and the mute choice, input during playback, pictures first.
#include <fstream>
#include <iterator>

#include "clip_maker.h"
#include "show_fixture.h"

namespace tovrin::testing {
namespace {

constexpr uint32_t kRed = 0xFF0000;
constexpr uint32_t kGreen = 0x00FF00;
constexpr uint32_t kBlue = 0x0000FF;

// A clip of flat colour segments the size of the fixture's screen, 40 ms a frame.
TSaverFile Clip(const std::string& name, std::vector<TClipSegment> segments,
                const std::string& encoder = "libx264", const std::string& audio = "") {
  TClipRecipe recipe;
  recipe.Segments = std::move(segments);
  recipe.VideoCodec = encoder;
  recipe.AudioCodec = audio;
  const size_t dot = name.rfind('.');
  return {name, ClipBytes(recipe, name.substr(dot))};
}

class VideoShowTest : public ShowTest {
 protected:
  // What the screen's middle shows: 'r', 'g', 'b', 'k' (black) or '?'.
  char Shown() {
    const TBitmap& screen = Platform().Form()->Screen();
    const uint32_t c = PixelAt(screen, screen.Width() / 2, screen.Height() / 2);
    if (Near(c, kRed, 60)) return 'r';
    if (Near(c, kGreen, 60)) return 'g';
    if (Near(c, kBlue, 60)) return 'b';
    if (Near(c, 0, 20)) return 'k';
    return '?';
  }
  // The colours the screen shows over ms of the clock, sampled every 10 ms, each run once; and
  // the clock at which each run began.
  std::string Watch(uint32_t ms, std::vector<uint32_t>* starts = nullptr) {
    std::string runs;
    const uint32_t end = App().TickCount() + ms;
    while (static_cast<int32_t>(App().TickCount() - end) < 0 && !App().Terminated()) {
      const char c = Shown();
      if (runs.empty() || runs.back() != c) {
        runs += c;
        if (starts) starts->push_back(App().TickCount());
      }
      RunUntil(App().TickCount() + 10);
    }
    return runs;
  }
};

TEST_F(VideoShowTest, ClipsPlayInPackageOrderAndLoopEachFollowingWithinASecond) {
  FSettings.SetVer("flash");
  Build({}, {},
        {Clip("one.mp4", {{kRed, 5}, {kBlue, 5}}), Clip("two.webm", {{kGreen, 5}}, "libvpx-vp9")});
  Start();
  // A package of videos never asks for the old control.
  EXPECT_EQ(LogCount("Movie.Create"), 0u);
  EXPECT_EQ(LogWith("Video.Create"), (std::vector<std::string>{"Video.Create(sound=1)=1"}));
  EXPECT_EQ(Shown(), 'r');  // the first frame is there when activation ends
  std::vector<uint32_t> starts;
  const std::string runs = Watch(7000, &starts);
  EXPECT_EQ(runs.substr(0, 9), "rbgrbgrbg") << runs;
  EXPECT_EQ(runs.find_first_not_of("rbg"), std::string::npos) << runs;
  // Blue shows from 200 ms of clip one, green from the start of clip two; either clip's last
  // frame comes 160 ms later, and the next clip within a second of that (give or take the 10 ms
  // between looks).
  for (size_t i = 0; i + 1 < starts.size(); ++i) {
    if (runs[i] == 'r') continue;  // inside clip one
    EXPECT_LE(starts[i + 1] - starts[i], 160u + 1000u + 10u) << i << " " << runs;
  }
  EXPECT_EQ(LogCount("MessageBox"), 0u);
}

TEST_F(VideoShowTest, ClipsThatCannotPlayArePassedOverWithoutABox) {
  FSettings.SetVer("flash");
  TSaverFile truncated = Clip("cut.mp4", {{kRed, 25}});
  truncated.Bytes.resize(truncated.Bytes.size() / 3);  // the index (at the end) is gone
  Build({}, {},
        {truncated, Clip("old.mp4", {{kBlue, 5}}, "mpeg4"), Clip("good.mkv", {{kGreen, 5}})});
  Start();
  const std::string runs = Watch(4000);
  EXPECT_EQ(runs, "g");
  EXPECT_FALSE(Show().Halted());
  EXPECT_EQ(LogCount("MessageBox"), 0u);
}

TEST_F(VideoShowTest, WhenNoClipPlaysTheShowEndsQuietly) {
  FSettings.SetVer("flash");
  TSaverFile notes{"notes.mp4", {'n', 'o', 't', 'e', 's'}};
  Build({}, {}, {notes, Clip("old.mp4", {{kBlue, 5}}, "mpeg4")});
  Start();
  EXPECT_TRUE(Show().Halted());
  EXPECT_EQ(LogCount("MessageBox"), 0u);
  EXPECT_FALSE(Platform().ScreenSaverRunning());
}

TEST_F(VideoShowTest, TheClipsSoundPlaysUnlessMuted) {
  for (const bool mute : {false, true}) {
    SCOPED_TRACE(mute);
    FSettings.SetVer("flash");
    FSettings.SetlMute(mute);
    Build({}, {}, {Clip("tone.mp4", {{kRed, 25}}, "libx264", "aac")});
    Start();
    RunUntil(App().TickCount() + 500);
    EXPECT_EQ(LogWith("Video.Create")[0],
              mute ? "Video.Create(sound=0)=1" : "Video.Create(sound=1)=1");
    if (mute) {
      EXPECT_EQ(Platform().VideoSoundFrames(), 0u);
    } else {
      EXPECT_GT(Platform().VideoSoundFrames(), 48000u / 4);
    }
  }
}

TEST_F(VideoShowTest, KeysAndTheMouseOverThePlayingClipEndTheShow) {
  FSettings.SetVer("flash");
  for (const int input : {0, 1, 2}) {
    SCOPED_TRACE(input);
    Build({}, {}, {Clip("long.mp4", {{kRed, 100}})});
    Start();
    RunUntil(App().TickCount() + 300);
    ASSERT_EQ(Shown(), 'r');
    THeadlessWindow& window = *Platform().Form();
    if (input == 0) {
      window.KeyDown('A');
    } else if (input == 1) {
      window.MouseDown(TMouseButton::mbLeft, 30, 20);
    } else {
      for (int i = 0; i < 6 && !Show().Halted(); ++i) window.MouseMove(10 + 5 * i, 10 + 5 * i);
    }
    EXPECT_TRUE(Show().Halted());
  }
}

TEST_F(VideoShowTest, PicturesComeFirstThenTheClips) {
  FSettings.SetVer("flash");
  Build({FlatJpeg(64, 48, kRed), FlatJpeg(64, 48, kRed)}, {}, {Clip("after.mp4", {{kBlue, 5}})});
  Start();
  RunPictures(2);
  EXPECT_NE(Shown(), 'b');
  const std::string runs = Watch(6000);
  EXPECT_EQ(runs.back(), 'b') << runs;
  EXPECT_EQ(runs.find('b'), runs.size() - 1) << runs;  // the clip only after the pictures
  EXPECT_FALSE(Show().PShow().Visible());
  EXPECT_EQ(FPictures.size(), 2u);
}

TEST_F(VideoShowTest, OldMoviesGoToTheOldControlAndVideosToTheVideoPlayer) {
  FSettings.SetVer("flash");
  Build({}, {}, {{"intro.swf", {'F', 'W', 'S', 9}}, Clip("clip.mp4", {{kGreen, 5}})});
  Script().MovieFrames = 10;
  Start();
  EXPECT_EQ(LogCount("Movie.Create"), 1u);
  EXPECT_EQ(LogCount("Video.Create"), 1u);
  ASSERT_NE(Show().Movies().Player(), nullptr);
  EXPECT_EQ(Show().Movies().Player(), Show().Movies().Flash());
  EXPECT_FALSE(Show().Movies().Video()->Visible());
  RunUntil(App().TickCount() + 1100);  // ten frames of 40 ms, then the timer
  EXPECT_EQ(Show().Movies().Player(), Show().Movies().Video());
  EXPECT_FALSE(Show().Movies().Flash()->Visible());
  EXPECT_EQ(Shown(), 'g');
  RunUntil(App().TickCount() + 1100);
  EXPECT_EQ(Show().Movies().Player(), Show().Movies().Flash());
  EXPECT_EQ(LogCount("Movie.SetMovie"), 2u);
  // Without the old control, a package with an .swf movie still gets the message.
  Build({}, {}, {{"intro.swf", {'F', 'W', 'S', 9}}, Clip("clip.mp4", {{kGreen, 5}})});
  Script().MovieControlInstalled = false;
  Start();
  EXPECT_TRUE(Show().Halted());
  EXPECT_EQ(LogCount("MessageBox"), 1u);
}

// The colour a window's screen shows at (x, y): 'r', 'g', 'b', 'k' (black) or '?'.
char ColourAt(const THeadlessWindow& window, int32_t x, int32_t y) {
  const uint32_t c = PixelAt(window.Screen(), x, y);
  if (Near(c, kRed, 60)) return 'r';
  if (Near(c, kGreen, 60)) return 'g';
  if (Near(c, kBlue, 60)) return 'b';
  if (Near(c, 0, 20)) return 'k';
  return '?';
}

TEST_F(VideoShowTest, TheClipFillsEveryMonitorAtItsSizeOrThePrimaryAloneAndFollowsTheDesk) {
  for (const bool everyMonitor : {true, false}) {
    SCOPED_TRACE(everyMonitor ? "every monitor" : "the primary monitor alone");
    FSettings.SetVer("flash");
    Build({}, {}, {Clip("one.mp4", {{kGreen, 50}})});  // 64 x 48, two seconds, looping
    std::ofstream(FFolder.Path() / "CONTROL.INI")
        << "[Setup]\neverymonitor=" << (everyMonitor ? 1 : 0) << "\n";
    // The second monitor is wider in proportion than the clip: bars at its sides.
    Script().Monitors = {{0, 0, 64, 48}, {64, 0, 124, 30}};
    Start();
    RunUntil(App().TickCount() + 300);
    ASSERT_EQ(Platform().Forms().size(), 2u);
    const THeadlessWindow& primary = *Platform().Forms()[0];
    THeadlessWindow& second = *Platform().Forms()[1];
    second.Update();
    EXPECT_EQ(ColourAt(primary, 32, 24), 'g');
    EXPECT_EQ(ColourAt(second, 30, 15), everyMonitor ? 'g' : 'k');
    EXPECT_EQ(ColourAt(second, 3, 15), 'k');
    EXPECT_EQ(ColourAt(second, 56, 15), 'k');
    EXPECT_EQ(LogCount("Video.SetMirrors(1)"), everyMonitor ? 1u : 0u);

    // The desk changes mid-clip: a wider primary monitor (bars at its sides now) and a
    // smaller second one. The clip goes on at the new sizes, never past the windows.
    Platform().ChangeMonitors({{0, 0, 80, 40}, {80, 0, 112, 24}});
    RunUntil(App().TickCount() + 200);
    second.Update();
    ASSERT_EQ(primary.ClientWidth(), 80);
    EXPECT_EQ(ColourAt(primary, 40, 20), 'g');
    EXPECT_EQ(ColourAt(primary, 4, 20), 'k');
    EXPECT_EQ(ColourAt(primary, 76, 20), 'k');
    EXPECT_EQ(ColourAt(second, 16, 12), everyMonitor ? 'g' : 'k');
    EXPECT_FALSE(Show().Halted());
  }
}

}  // namespace
}  // namespace tovrin::testing
