// lMotion through the show: the picture moves during its hold, on every monitor, the next
// transition starts from the moved frame, and a seed replays the same frames.
#include <fstream>

#include "core/random.h"
#include "jpeg_maker.h"
#include "show_fixture.h"

namespace tovrin::testing {
namespace {

// A picture in which every pixel differs from its neighbours, so any motion changes the frame.
std::vector<uint8_t> BusyJpeg(int width, int height, uint32_t tint,
                              TJpegKind kind = TJpegKind::Colour) {
  return MakeJpeg(width, height, kind, [=](int x, int y) {
    const uint32_t v = static_cast<uint32_t>((x * 7 + y * 13) % 256);
    return tint ^ (v << 16 | ((x * 5) % 256) << 8 | ((y * 11) % 256));
  });
}

class MotionShowTest : public ShowTest {
 protected:
  MotionShowTest() {
    FSettings.SetlMotion(true);
    FSettings.SetEffectCommaList("4");
    FSettings.SetInterval(3000);
  }

  // What the screens showed: sampled every sampleMs of show time while the show runs to
  // untilMs; the moments transitions ended; the screen as each transition starts, and the
  // picture control's OldPic in its first frame.
  struct TRun {
    std::vector<TBitmap> Samples;              // the primary screen
    std::vector<std::vector<TBitmap>> Others;  // the other monitors' screens, per sample
    std::vector<uint32_t> Shown;               // ticks
    std::vector<TBitmap> BeforeTransition;
    std::vector<TBitmap> OldPics;
    // The samples taken during the hold that followed the n-th transition (the sample of tick
    // T is Samples[T / sampleMs - 1]).
    size_t FirstOfHold(size_t n) const { return Shown[n] / Step; }
    size_t LastOfHold(size_t n, uint32_t interval) const {
      return (Shown[n] + interval) / Step - 2;
    }
    uint32_t Step = 0;
  };
  TRun Record(uint32_t seed, uint32_t sampleMs, uint32_t untilMs) {
    TRun run;
    run.Step = sampleMs;
    ProcessRandom().SetSeed(seed);
    TfrmScrn& show = Start();
    bool wantOld = false;
    const auto onStart = show.Scheduler().OnPictureStart;
    show.Scheduler().OnPictureStart = [&](int32_t index, TShowStyle style) {
      onStart(index, style);
      run.BeforeTransition.push_back(Platform().Form()->Screen());
      wantOld = true;
    };
    show.Scheduler().OnPictureShown = [&](int32_t) { run.Shown.push_back(App().TickCount()); };
    show.PShow().OnBeforeNewFrame = [&](TCustomPicShow& s, TBitmap&, TBitmap&) {
      if (wantOld && s.OldPic()) run.OldPics.push_back(*s.OldPic());
      wantOld = false;
    };
    for (uint32_t t = sampleMs; t <= untilMs; t += sampleMs) {
      RunUntil(t);
      run.Samples.push_back(Platform().Form()->Screen());
      std::vector<TBitmap> others;
      for (size_t i = 1; i < Platform().Forms().size(); ++i) {
        others.push_back(Platform().Forms()[i]->Screen());
      }
      run.Others.push_back(std::move(others));
    }
    FShow.reset();
    return run;
  }
};

// Each shape of picture moves during its hold, and the next transition starts from the frame
// the motion reached, not from the picture as it first appeared.
TEST_F(MotionShowTest, HeldPicturesMoveAndTheNextTransitionStartsFromTheMovedFrame) {
  struct TCase {
    const char* name;
    int width, height;  // on a 64 x 48 screen
    TJpegKind kind = TJpegKind::Colour;
  };
  const TCase cases[] = {
      {"landscape: zoom", 80, 50},
      {"portrait: pan down or up", 40, 90},
      {"panorama: pan across", 200, 40},
      {"smaller than the screen", 30, 20},
      {"grey (an 8-bit decoding)", 80, 50, TJpegKind::Grey},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.name);
    Build({BusyJpeg(c.width, c.height, 0, c.kind), BusyJpeg(c.width, c.height, 0x808080, c.kind)});
    const TRun run = Record(99, 100, 9000);
    ASSERT_GE(run.Shown.size(), 2u);
    ASSERT_GE(run.OldPics.size(), 2u);
    ASSERT_EQ(run.BeforeTransition.size(), run.OldPics.size());

    // The hold of the first picture: from its transition's end to the next one's start.
    const size_t first = run.FirstOfHold(0);
    const size_t last = run.LastOfHold(0, 3000);
    int changes = 0;
    for (size_t i = first + 1; i <= last; ++i)
      changes += run.Samples[i] == run.Samples[i - 1] ? 0 : 1;
    EXPECT_GE(changes, static_cast<int>(last - first) - 1) << "moves all through the hold";
    EXPECT_FALSE(run.Samples[first] == run.Samples[last]);

    // The second transition's old picture is the screen as it started: the moved frame.
    EXPECT_TRUE(run.OldPics[1] == run.BeforeTransition[1]);
    EXPECT_FALSE(run.OldPics[1] == run.Samples[first]) << "not the hold's first frame";
  }
}

TEST_F(MotionShowTest, TheSameSeedGivesTheSameFrames) {
  Build({BusyJpeg(80, 50, 0), BusyJpeg(40, 90, 0x404040), BusyJpeg(200, 40, 0x202020)});
  const TRun a = Record(4242, 40, 12000);
  Build({BusyJpeg(80, 50, 0), BusyJpeg(40, 90, 0x404040), BusyJpeg(200, 40, 0x202020)});
  const TRun b = Record(4242, 40, 12000);
  ASSERT_EQ(a.Samples.size(), b.Samples.size());
  for (size_t i = 0; i < a.Samples.size(); ++i) {
    ASSERT_TRUE(a.Samples[i] == b.Samples[i]) << "frame " << i;
  }
  EXPECT_EQ(a.Shown, b.Shown);
}

// Without lMotion nothing moves: the screen stays as the transition left it until the next one,
// and the random sequence is the same as before the choice existed (nothing is drawn for it).
TEST_F(MotionShowTest, WithoutMotionTheHoldIsStill) {
  FSettings.SetlMotion(false);
  FSettings.SetlRandomPic(true);
  Build({BusyJpeg(80, 50, 0), BusyJpeg(40, 90, 0x404040), BusyJpeg(200, 40, 0x202020)});
  TRandom replay(77);
  const TRun run = Record(77, 100, 12000);
  ASSERT_GE(run.Shown.size(), 3u);
  for (size_t n = 0; n + 1 < run.Shown.size(); ++n) {
    const size_t first = run.FirstOfHold(n);
    const size_t last = run.LastOfHold(n, 3000);
    for (size_t i = first; i <= last; ++i) ASSERT_TRUE(run.Samples[i] == run.Samples[first]) << i;
    EXPECT_TRUE(run.OldPics[n + 1] == run.Samples[first]);
  }
  for (size_t i = 0; i < FPictures.size(); ++i) EXPECT_EQ(FPictures[i], replay.Next(3)) << i;
}

// Every monitor's picture moves at its own size.
TEST_F(MotionShowTest, EveryMonitorMoves) {
  std::ofstream(FFolder.Path() / "CONTROL.INI") << "[Setup]\neverymonitor=1\n";
  Build({BusyJpeg(80, 50, 0), BusyJpeg(40, 90, 0x404040)});
  Script().Monitors = {{0, 0, 64, 48}, {64, 0, 104, 30}};
  const TRun run = Record(3, 100, 5000);
  ASSERT_GE(run.Shown.size(), 1u);
  const size_t first = run.FirstOfHold(0);
  const size_t last = run.LastOfHold(0, 3000);
  ASSERT_EQ(run.Others[first].size(), 1u);
  const TBitmap& start = run.Others[first][0];
  EXPECT_EQ(start.Width(), 40);
  EXPECT_EQ(start.Height(), 30);
  int changes = 0;
  for (size_t i = first + 1; i <= last; ++i) {
    changes += run.Others[i][0] == run.Others[i - 1][0] ? 0 : 1;
  }
  EXPECT_GE(changes, static_cast<int>(last - first) - 1);
}

}  // namespace
}  // namespace tovrin::testing
