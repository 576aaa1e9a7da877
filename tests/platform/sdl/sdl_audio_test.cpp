// Sound through SDL2_mixer on SDL's disk audio driver: what is played reaches the device
// unchanged, the end of a sound is reported on the main thread once, and stop, supersede and
// silence keep their own rules.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "core/errors.h"
#include "platform/sdl/sdl_application.h"
#include "platform/sdl/sdl_audio.h"
#include "platform/sdl/sdl_mixer_library.h"

namespace tovrin {
namespace {

// A 44.1 kHz 16-bit stereo WAV of frames frames, every sample distinct enough to be found.
std::vector<int16_t> WriteWave(const std::string& path, int frames, int seed) {
  std::vector<int16_t> samples;
  for (int i = 0; i < frames * 2; ++i) {
    samples.push_back(static_cast<int16_t>(((i * 37 + seed * 1001) % 20000) - 10000));
  }
  const uint32_t dataBytes = static_cast<uint32_t>(samples.size() * 2);
  std::ofstream out(path, std::ios::binary);
  auto u32 = [&](uint32_t v) { out.write(reinterpret_cast<const char*>(&v), 4); };
  auto u16 = [&](uint16_t v) { out.write(reinterpret_cast<const char*>(&v), 2); };
  out.write("RIFF", 4);
  u32(36 + dataBytes);
  out.write("WAVEfmt ", 8);
  u32(16);
  u16(1);
  u16(2);
  u32(44100);
  u32(44100 * 4);
  u16(4);
  u16(16);
  out.write("data", 4);
  u32(dataBytes);
  out.write(reinterpret_cast<const char*>(samples.data()), dataBytes);
  return samples;
}

class SdlAudioTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char dir[] = "/tmp/tovrin-audio-XXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    FDir = dir;
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", (FDir + "/out.raw").c_str(), 1);
  }
  void TearDown() override { std::system(("rm -rf " + FDir).c_str()); }

  // Pumps the loop until done or ms have passed.
  void PumpUntil(TSdlApplication& app, const std::function<bool()>& done, int ms) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (!done() && std::chrono::steady_clock::now() < end) {
      app.WaitMessage(20);
      app.ProcessMessages();
    }
  }
  std::vector<int16_t> Written() {
    std::ifstream in(FDir + "/out.raw", std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<int16_t> samples(bytes.size() / 2);
    std::memcpy(samples.data(), bytes.data(), samples.size() * 2);
    return samples;
  }

  std::string FDir;
};

bool Contains(const std::vector<int16_t>& haystack, const std::vector<int16_t>& needle) {
  return std::search(haystack.begin(), haystack.end(), needle.begin(), needle.end()) !=
         haystack.end();
}

// The engine looks SDL2_mixer's functions up by name; this program links the library itself, so
// each pointer must be the very function the header declares under that name (a name mistyped or
// paired with the wrong pointer shows here, and a function the library lacks fails the link).
TEST(SdlMixerLibraryTest, EveryFunctionLookedUpIsTheOneOfItsName) {
  const std::unique_ptr<TSdlMixerLibrary> mixer = TSdlMixerLibrary::Load();
  ASSERT_NE(mixer, nullptr);
  EXPECT_EQ(mixer->Init, &::Mix_Init);
  EXPECT_EQ(mixer->Quit, &::Mix_Quit);
  EXPECT_EQ(mixer->OpenAudio, &::Mix_OpenAudio);
  EXPECT_EQ(mixer->CloseAudio, &::Mix_CloseAudio);
  EXPECT_EQ(mixer->HookMusicFinished, &::Mix_HookMusicFinished);
  EXPECT_EQ(mixer->LoadMUS, &::Mix_LoadMUS);
  EXPECT_EQ(mixer->FreeMusic, &::Mix_FreeMusic);
  EXPECT_EQ(mixer->PlayMusic, &::Mix_PlayMusic);
  EXPECT_EQ(mixer->HaltMusic, &::Mix_HaltMusic);
}

TEST_F(SdlAudioTest, ASoundPlaysUnchangedAndItsEndIsReportedOnce) {
  const std::vector<int16_t> samples = WriteWave(FDir + "/a.wav", 4410, 1);  // 0.1 s
  TSdlApplication app;
  int notified = 0;
  {
    TSdlMediaPlayer player(app, true);
    player.OnNotify = [&] { ++notified; };
    player.SetFileName(FDir + "/a.wav");
    player.Open();
    player.Play();
    PumpUntil(
        app, [&] { return notified > 0; }, 3000);
    EXPECT_EQ(notified, 1);
    PumpUntil(
        app, [] { return false; }, 150);
    EXPECT_EQ(notified, 1) << "one end, one notification";
  }
  EXPECT_TRUE(Contains(Written(), samples)) << "the device received the file's samples as they are";
}

TEST_F(SdlAudioTest, StopWithoutNotifyReportsNothingAndSupersedingReportsTheEarlierPlay) {
  WriteWave(FDir + "/long.wav", 44100 * 5, 2);
  TSdlApplication app;
  TSdlMediaPlayer player(app, true);
  int notified = 0;
  player.OnNotify = [&] { ++notified; };
  player.SetFileName(FDir + "/long.wav");
  player.Open();
  player.Play();
  player.SetNotify(false);
  player.Stop();  // the play owed a notification: the stop pays it
  PumpUntil(
      app, [] { return false; }, 100);
  EXPECT_EQ(notified, 1);
  player.SetNotify(false);
  player.Play();
  player.SetNotify(false);
  player.Stop();
  PumpUntil(
      app, [] { return false; }, 100);
  EXPECT_EQ(notified, 1) << "neither asked";
  player.Play();
  player.Play();  // supersedes the first
  PumpUntil(
      app, [] { return false; }, 100);
  EXPECT_EQ(notified, 2);
}

TEST_F(SdlAudioTest, OpenFailsForMissingFilesUnknownKindsAndWithoutSound) {
  WriteWave(FDir + "/a.wav", 100, 3);
  {
    std::ofstream junk(FDir + "/b.wav", std::ios::binary);
    junk << "not a sound at all";
  }
  TSdlApplication app;
  TSdlMediaPlayer player(app, true);
  for (const char* name : {"/missing.wav", "/b.wav"}) {
    player.SetFileName(FDir + name);
    EXPECT_THROW(player.Open(), Exception) << name;
  }
  TSdlMediaPlayer silent(app, false);
  silent.SetFileName(FDir + "/a.wav");
  EXPECT_THROW(silent.Open(), Exception);
}

}  // namespace
}  // namespace tovrin
