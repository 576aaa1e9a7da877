// The video player's sound on the wave output device: held while paused (from the start and after
// a Clear), played once resumed, dropped on Clear, its buffers taken back once played; the
// samples reach the device unchanged and in order (read back from TOVRIN_ALSA_FILE, see
// scripts/windows-test.sh).
#include "platform/win32/win32_video_audio.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "core/errors.h"
#include "platform/video/video_clip.h"
#include "screen_capture.h"

namespace tovrin {
namespace {

constexpr size_t kChannels = TVideoClip::AudioChannels;

// ms of sound at the clip rate, every sample value.
std::vector<int16_t> Sound(uint32_t ms, int16_t value) {
  return std::vector<int16_t>(size_t{TVideoClip::AudioRate} * ms / 1000 * kChannels, value);
}

class Win32VideoAudioTest : public ::testing::Test {
 protected:
  void SetUp() override {
    try {
      FAudio = std::make_unique<TWin32VideoAudio>(FWinmm);
    } catch (const Exception& e) {
      GTEST_SKIP() << e.what();
    }
  }
  void Queue(const std::vector<int16_t>& samples) {
    FAudio->Queue(samples.data(), samples.size() / kChannels);
  }

  TWin32Winmm FWinmm;
  std::unique_ptr<TWin32VideoAudio> FAudio;
};

// (Wine's wave device over ALSA's null output, as the test stage sets it up, takes what it is
// given as fast as it comes: how long the sound lasts is not seen here, only what is held.)
TEST_F(Win32VideoAudioTest, HoldsWhatIsQueuedWhilePausedAndPlaysItAllOnceResumed) {
  Queue(Sound(300, 1));
  Queue(Sound(300, 2));
  EXPECT_NEAR(FAudio->QueuedMs(), 600, 2);
  test::PumpFor(200);
  EXPECT_NEAR(FAudio->QueuedMs(), 600, 2) << "opened paused";

  FAudio->SetPaused(false);
  // Played, and the buffers taken back at the next call.
  EXPECT_TRUE(test::PumpUntil(
      [&] {
        FAudio->Queue(nullptr, 0);
        return FAudio->QueuedMs() == 0 && FAudio->BuffersOut() == 0;
      },
      3000));
  // Paused again after the device ran dry, what comes next is held. (Wine's device started
  // playing again on the next write, paused or not, until the sink held such buffers itself.)
  FAudio->SetPaused(true);
  Queue(Sound(100, 3));
  test::PumpFor(300);
  EXPECT_NEAR(FAudio->QueuedMs(), 100, 2) << "paused again";
  FAudio->SetPaused(false);
  EXPECT_TRUE(test::PumpUntil([&] { return FAudio->QueuedMs() == 0; }, 3000));
}

TEST_F(Win32VideoAudioTest, ClearDropsEverythingQueuedAndKeepsThePause) {
  Queue(Sound(400, 1));
  FAudio->Clear();
  EXPECT_EQ(FAudio->QueuedMs(), 0u);
  EXPECT_EQ(FAudio->BuffersOut(), 0u);
  // Still paused after the clear: what comes next waits for Play.
  Queue(Sound(100, 2));
  test::PumpFor(150);
  EXPECT_NEAR(FAudio->QueuedMs(), 100, 2);
  FAudio->SetPaused(false);
  EXPECT_TRUE(test::PumpUntil([&] { return FAudio->QueuedMs() == 0; }, 3000));
  FAudio->Clear();
  Queue(Sound(100, 3));
  EXPECT_TRUE(test::PumpUntil([&] { return FAudio->QueuedMs() == 0; }, 3000))
      << "playing after a clear goes on playing";
}

TEST_F(Win32VideoAudioTest, TheSamplesReachTheDeviceInOrder) {
  const char* transcriptPath = std::getenv("TOVRIN_ALSA_FILE");
  if (!transcriptPath) GTEST_SKIP() << "TOVRIN_ALSA_FILE is not set: nothing to listen with";
  // A Unix path: Wine's Z: drive reaches it.
  const std::filesystem::path transcript = transcriptPath;
  std::ofstream(transcript, std::ios::binary | std::ios::trunc).close();
  Queue(Sound(200, 1111));
  Queue(Sound(200, -2222));
  FAudio->SetPaused(false);
  ASSERT_TRUE(test::PumpUntil([&] { return FAudio->QueuedMs() == 0; }, 3000));
  // The device has taken everything; its driver's own buffer drains into the file after that
  // (closing the device drops what the driver still holds).
  test::PumpFor(500);
  FAudio.reset();

  std::ifstream in(transcript, std::ios::binary);
  const std::vector<uint8_t> bytes(std::istreambuf_iterator<char>(in), {});
  // Runs of equal samples, silence left out.
  std::vector<std::pair<int16_t, size_t>> runs;
  for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
    const int16_t sample = static_cast<int16_t>(bytes[i] | (bytes[i + 1] << 8));
    if (sample == 0) continue;
    if (runs.empty() || runs.back().first != sample) runs.emplace_back(sample, 0);
    ++runs.back().second;
  }
  const size_t samples = Sound(200, 0).size();
  ASSERT_EQ(runs.size(), 2u);
  EXPECT_EQ(runs[0], std::make_pair(int16_t{1111}, samples));
  EXPECT_EQ(runs[1], std::make_pair(int16_t{-2222}, samples));
}

}  // namespace
}  // namespace tovrin
