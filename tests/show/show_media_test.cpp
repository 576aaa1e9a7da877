// The sound playlist and the movie playback.
#include <fstream>

#include "core/random.h"
#include "show_fixture.h"

namespace tovrin::testing {
namespace {

const uint32_t kRed = 0xE02010;

std::vector<TSaverFile> ThreeSounds() {
  return {{"a.wav", MakeWave(50, 100)}, {"b.wav", MakeWave(50, 200)}, {"c.wav", MakeWave(50, 300)}};
}

// The file names the sound device was asked to play, in order.
std::vector<std::string> Played(const std::vector<std::string>& plays) {
  std::vector<std::string> names;
  for (const std::string& p : plays) {
    const size_t slash = p.rfind('/');
    names.push_back(p.substr(slash + 1, p.find(')') - slash - 1));
  }
  return names;
}

TEST_F(ShowTest, SoundsPlayInTheOrderTheSettingsAsk) {
  struct TCase {
    int32_t soundRandom;
    std::vector<int> expectedDraws;  // -1: package order
  };
  for (const int32_t order : {0, 1, 2, 3, 7}) {
    SCOPED_TRACE(order);
    FSettings.SetSoundRandom(order);
    Build({FlatJpeg(16, 16, kRed)}, ThreeSounds());
    ProcessRandom().SetSeed(777);
    TRandom replay(777);
    Start();
    for (int i = 0; i < 6; ++i) {
      ASSERT_NE(Platform().Sound(), nullptr);
      RunUntil(App().TickCount() + 2000);  // each sound plays a while before it ends
      Platform().Sound()->FinishNow();
      App().ProcessMessages();
    }
    const std::vector<std::string> names = Played(LogWith("Sound.Play("));
    ASSERT_EQ(names.size(), 7u);
    const char* files[] = {"a.wav", "b.wav", "c.wav"};
    const int fixed = order == 3 ? replay.Next(3) : 0;
    for (size_t i = 0; i < names.size(); ++i) {
      SCOPED_TRACE(i);
      if (order == 2) {
        EXPECT_EQ(names[i], files[replay.Next(3)]);
      } else if (order == 3) {
        EXPECT_EQ(names[i], files[fixed]);
      } else {
        EXPECT_EQ(names[i], files[i % 3]);
      }
    }
    // Each end stops the device without asking for another notification.
    EXPECT_EQ(LogCount("Sound.Stop no-notify"), 6u);
  }
}

TEST_F(ShowTest, StoredMuteChoiceOverridesThePackage) {
  struct TCase {
    const char* name;
    bool packageMute;
    const char* stored;  // nullptr: no CONTROL.INI
    bool plays;
  };
  const TCase cases[] = {
      {"stored 1 silences", false, "1", false},
      {"stored 0 plays a muted package", true, "0", true},
      {"nothing stored: the package mutes", true, nullptr, false},
      {"nothing stored: the package plays", false, nullptr, true},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.name);
    FSettings.SetlMute(c.packageMute);
    std::filesystem::remove(FFolder.Path() / "CONTROL.INI");
    if (c.stored)
      std::ofstream(FFolder.Path() / "CONTROL.INI") << "[Setup]\nmute=" << c.stored << "\n";
    Build({FlatJpeg(16, 16, kRed)}, ThreeSounds());
    Start();
    EXPECT_EQ(LogCount("Sound.Play("), c.plays ? 1u : 0u);
    EXPECT_EQ(LogCount("Sound.Open("), c.plays ? 1u : 0u);
  }
}

TEST_F(ShowTest, SoundThatCannotBeOpenedEndsThePlaylistQuietly) {
  Build({FlatJpeg(16, 16, kRed)}, {{"song.xyz", {1, 2, 3}}, {"b.wav", MakeWave(50, 1)}});
  Start();
  EXPECT_EQ(LogCount("Sound.Open("), 1u);
  EXPECT_EQ(LogCount("Sound.Play("), 0u);
  RunUntil(10000);
  EXPECT_EQ(LogCount("Sound.Open("), 1u);
  EXPECT_FALSE(App().Terminated());
}

// A device that ends every play at once (no sound card) must not make the playlist start sound
// after sound as fast as the notifications arrive: after one round of instant ends the playlist
// tries once per retry period, and picks up its pace as soon as a sound really plays.
TEST_F(ShowTest, SoundDeviceThatFailsEveryPlayIsRetriedNotHammered) {
  Build({FlatJpeg(16, 16, kRed), FlatJpeg(16, 16, kRed)}, ThreeSounds());
  Script().SoundDeviceFails = true;
  Start();
  // Bounded, so that a playlist that never lets the clock move fails instead of hanging.
  const uint32_t end = 10 * kSoundRetryMs;
  for (int i = 0; i < 200000 && App().TickCount() < end && !App().Terminated(); ++i) {
    App().HandleMessage();
  }
  ASSERT_GE(App().TickCount(), end) << "the playlist kept the message loop busy";
  // One round of the three sounds, then one attempt per retry period.
  const size_t plays = LogCount("Sound.Play(");
  EXPECT_GE(plays, 3u + 9u);
  EXPECT_LE(plays, 3u + 10u);
  EXPECT_GE(FPictures.size(), 2u) << "the pictures went on meanwhile";

  // The device works again: the next attempt plays, and its end starts the one after at once.
  Script().SoundDeviceFails = false;
  RunUntil(App().TickCount() + kSoundRetryMs);
  ASSERT_EQ(LogCount("Sound.Play("), plays + 1);
  ASSERT_TRUE(Platform().Sound()->Playing());
  RunUntil(App().TickCount() + 500);
  Platform().Sound()->FinishNow();
  App().ProcessMessages();
  EXPECT_EQ(LogCount("Sound.Play("), plays + 2);
  const std::vector<std::string> names = Played(LogWith("Sound.Play("));
  for (size_t i = 0; i < names.size(); ++i) {
    EXPECT_EQ(names[i], std::string(1, static_cast<char>('a' + i % 3)) + ".wav") << i;
  }
}

TEST_F(ShowTest, MoviesTakeOverAfterTheLastPictureAndAdvanceAtTheirLastFrame) {
  FSettings.SetVer("flash");
  Build({FlatJpeg(16, 16, kRed), FlatJpeg(16, 16, kRed)}, {}, {{"m0.swf", {1}}, {"m1.swf", {2}}});
  Script().MovieFrames = 30;  // 1.2 s at 40 ms a frame
  Start();
  ASSERT_NE(Platform().Movie(), nullptr);
  EXPECT_EQ(LogCount("Movie.SetMovie"), 0u);  // pictures first
  RunPictures(2);
  RunUntil(App().TickCount() + 4000);  // the last picture's transition and interval
  EXPECT_FALSE(Show().PShow().Visible());
  EXPECT_TRUE(Platform().Movie()->Visible());
  RunUntil(App().TickCount() + 6000);
  const std::vector<std::string> movies = LogWith("Movie.SetMovie");
  ASSERT_GE(movies.size(), 4u);
  for (size_t i = 0; i < movies.size(); ++i) {
    EXPECT_NE(movies[i].find(i % 2 == 0 ? "m0.swf" : "m1.swf"), std::string::npos) << i;
  }
  EXPECT_EQ(FPictures.size(), 2u);  // no picture is shown again
}

TEST_F(ShowTest, MovieShowWithoutPicturesStartsAtActivation) {
  FSettings.SetVer("flash");
  Build({}, {}, {{"m0.swf", {1}}});
  Script().MovieFrames = 1;  // replaced at every tick
  Start();
  EXPECT_EQ(LogCount("Movie.SetMovie"), 1u);
  RunUntil(3500);
  EXPECT_EQ(LogCount("Movie.SetMovie"), 4u);
}

TEST_F(ShowTest, MissingMovieControlOffersTheDownloadAndEnds) {
  for (const TModalResult answer : {TModalResult::mrYes, TModalResult::mrNo}) {
    SCOPED_TRACE(answer == TModalResult::mrYes ? "yes" : "no");
    FSettings.SetVer("flash");
    Build({FlatJpeg(16, 16, kRed)}, {}, {{"m0.swf", {1}}});
    Script().MovieControlInstalled = false;
    Script().MessageBoxAnswer = answer;
    Start();
    EXPECT_TRUE(Show().Halted());
    ASSERT_EQ(LogWith("MessageBox").size(), 1u);
    EXPECT_NE(LogWith("MessageBox")[0].find("Please install the Macromedia Flash Player"),
              std::string::npos);
    EXPECT_EQ(LogCount("ShellOpen"), answer == TModalResult::mrYes ? 1u : 0u);
    EXPECT_FALSE(Platform().ScreenSaverRunning());
  }
  // The language file's text replaces the message.
  std::ofstream(FFolder.Path() / "tovrin.ini") << "[Language]\nDownloadSWF=Bitte installieren\n";
  Build({FlatJpeg(16, 16, kRed)}, {}, {{"m0.swf", {1}}});
  Script().MovieControlInstalled = false;
  Start();
  EXPECT_EQ(LogWith("MessageBox")[0], "MessageBox(Bitte installieren|)");
}

TEST_F(ShowTest, InputHookClosesTheMovieShowWithoutAskingForThePassword) {
  struct TCase {
    const char* name;
    uint32_t message;
    bool cursorMoved;
    bool closes;
  };
  const TCase cases[] = {
      {"key up", WM_KEYUP, false, true},
      {"key down", 0x100, false, false},
      {"button down", 0x201, false, true},
      {"middle button up", WM_MBUTTONUP, false, true},
      {"wheel", 0x20A, false, false},
      {"move without moving the cursor", WM_MOUSEMOVE, false, false},
      {"move that moves the cursor", WM_MOUSEMOVE, true, true},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.name);
    FSettings.SetVer("flash");
    Build({}, {}, {{"m0.swf", {1}}});
    Script().UsePassword = {TRegistryRead::rrValue, 1};
    Platform().SetCursorPos({100, 100});
    Start();
    if (c.cursorMoved) Platform().SetCursorPos({101, 100});
    ASSERT_TRUE(Platform().SendHookInput(c.message));
    RunUntil(App().TickCount() + 100);
    EXPECT_EQ(App().Terminated(), c.closes);
    EXPECT_EQ(Platform().HookInstalled(), !c.closes);
    EXPECT_EQ(LogCount("Verifier"), 0u);
  }
}

}  // namespace
}  // namespace tovrin::testing
