// The picture keeps to the sound: a clip whose tone sounds exactly while it shows green, played
// through a sound device on the test's clock that runs slow or stalls, as real devices and busy
// machines do. The green must come and go with the tone as the device plays it.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "clip_maker.h"
#include "platform/headless/headless_application.h"
#include "platform/headless/headless_window.h"
#include "platform/video/video_player.h"
#include "saver_builder.h"

namespace tovrin::testing {
namespace {

// A sound device on the application's clock: it plays Speed sample frames for each frame of the
// clock's time, except from StallAt for StallMs (the device gets no time), and never past what
// it was given. It keeps every sample, so a test can hear what plays at any moment.
class TClockedSink final : public TAudioSink {
 public:
  TClockedSink(THeadlessApplication& app, double speed, uint32_t stallAt, uint32_t stallMs)
      : FApp(app), FSpeed(speed), FStallAt(stallAt), FStallMs(stallMs), FLast(app.TickCount()) {}

  void Queue(const int16_t* samples, size_t frames) override {
    Catch();
    FSamples.insert(FSamples.end(), samples, samples + frames * TVideoClip::AudioChannels);
  }
  uint32_t QueuedMs() const override {
    Catch();
    const double left = static_cast<double>(Given()) - FPlayed;
    return static_cast<uint32_t>(left * 1000 / TVideoClip::AudioRate);
  }
  void SetPaused(bool paused) override {
    Catch();
    FPaused = paused;
  }
  void Clear() override {
    Catch();
    FSamples.clear();
    FPlayed = 0;
  }

  // Whether the device sounds now: a loud sample among the last few milliseconds played.
  bool Sounding() const {
    Catch();
    const auto at = static_cast<size_t>(FPlayed);
    const size_t from = at > 240 ? at - 240 : 0;
    for (size_t i = from; i < at; ++i) {
      if (std::abs(FSamples[i * TVideoClip::AudioChannels]) > 1500) return true;
    }
    return false;
  }

 private:
  size_t Given() const { return FSamples.size() / TVideoClip::AudioChannels; }
  // Plays what the time since the last look allows.
  void Catch() const {
    const uint32_t now = FApp.TickCount();
    for (uint32_t t = FLast; t != now; ++t) {
      const bool stalled = t >= FStallAt && t < FStallAt + FStallMs;
      if (FPaused || stalled) continue;
      FPlayed = std::min<double>(static_cast<double>(Given()),
                                 FPlayed + FSpeed * TVideoClip::AudioRate / 1000.0);
    }
    FLast = now;
  }

  THeadlessApplication& FApp;
  const double FSpeed;
  const uint32_t FStallAt;
  const uint32_t FStallMs;
  std::vector<int16_t> FSamples;
  bool FPaused = true;
  mutable double FPlayed = 0;  // sample frames played
  mutable uint32_t FLast;
};

constexpr uint32_t kRed = 0xFF0000;
constexpr uint32_t kGreen = 0x00FF00;
constexpr uint32_t kBlue = 0x0000FF;

TEST(VideoSyncTest, ThePictureFollowsTheSoundDevicesPosition) {
  TScratchFolder folder("video_sync");
  TClipRecipe recipe;
  recipe.Segments = {{kRed, 25}, {kGreen, 25}, {kBlue, 25}};  // a second each
  recipe.AudioCodec = "aac";
  recipe.ToneSegment = 1;
  const std::string clip = (folder.Path() / "beep.mp4").string();
  ASSERT_TRUE(MakeClip(clip, recipe));

  struct TCase {
    const char* Name;
    double Speed;
    uint32_t StallAt;  // from Play
    uint32_t StallMs;
  } cases[] = {
      {"a device as fast as the clock", 1.0, 0, 0},
      {"a device 8% slow", 0.92, 0, 0},
      {"a device 5% fast", 1.05, 0, 0},
      {"a device that stalls for 300 ms", 1.0, 500, 300},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    THeadlessApplication app;
    THeadlessWindow window(64, 48, clWhite);
    auto owned =
        std::make_unique<TClockedSink>(app, c.Speed, app.TickCount() + c.StallAt, c.StallMs);
    TClockedSink& sink = *owned;
    TVideoPlayer player(app, window, std::move(owned), {}, TDecodeWait::dwForDueFrames);
    player.SetBounds(0, 0, 64, 48);
    player.SetMovie(clip);
    player.Play();
    // When the tone starts and stops as the device plays it, and when the green comes and goes.
    int64_t toneOn = -1, toneOff = -1, greenOn = -1, greenOff = -1;
    const uint32_t start = app.TickCount();
    for (uint32_t t = 0; t < 4500 && (toneOff < 0 || greenOff < 0); t += 5) {
      bool stop = false;
      app.PostAt(start + t, [&stop] { stop = true; });
      while (!stop) app.HandleMessage();
      const uint8_t* p = player.Frame().ScanLine(24) + 32 * 3;
      const bool green = p[1] > 160 && p[2] < 80;
      const bool blue = p[0] > 160 && p[1] < 80;
      const bool sounding = sink.Sounding();
      if (toneOn < 0 && sounding) toneOn = t;
      if (toneOn >= 0 && toneOff < 0 && !sounding) toneOff = t;
      if (greenOn < 0 && green) greenOn = t;
      if (greenOn >= 0 && greenOff < 0 && blue) greenOff = t;
    }
    ASSERT_GE(toneOn, 0);
    ASSERT_GE(toneOff, 0);
    ASSERT_GE(greenOn, 0);
    ASSERT_GE(greenOff, 0);
    // Within 40 ms (a frame of the clip, and the looks every 5 ms).
    EXPECT_NEAR(greenOn, toneOn, 40)
        << "tone " << toneOn << "-" << toneOff << ", green " << greenOn << "-" << greenOff;
    EXPECT_NEAR(greenOff, toneOff, 40)
        << "tone " << toneOn << "-" << toneOff << ", green " << greenOn << "-" << greenOff;
  }
}

}  // namespace
}  // namespace tovrin::testing
