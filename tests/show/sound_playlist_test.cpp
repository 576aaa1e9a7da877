// The sound playlist: order, mute choice, unplayable sounds, a failing device.
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

}  // namespace
}  // namespace tovrin::testing
