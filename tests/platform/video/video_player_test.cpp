// The video player on the headless back end's virtual clock: what the screen shows when, the
// frame counters the show's timer reads, frames dropped rather than slowed, and the frame kept
// from one clip to the next.
#include "platform/video/video_player.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "clip_maker.h"
#include "core/errors.h"
#include "platform/headless/headless_application.h"
#include "platform/headless/headless_window.h"
#include "saver_builder.h"

namespace tovrin::testing {
namespace {

constexpr uint32_t kRed = 0xFF0000;
constexpr uint32_t kGreen = 0x00FF00;
constexpr uint32_t kBlue = 0x0000FF;

char Dominant(const TBitmap& b, int32_t x, int32_t y) {
  const uint8_t* p = b.ScanLine(y) + static_cast<size_t>(x) * 3;
  const int blue = p[0], green = p[1], red = p[2];
  if (red > 160 && green < 80 && blue < 80) return 'r';
  if (green > 160 && red < 80 && blue < 80) return 'g';
  if (blue > 160 && red < 80 && green < 80) return 'b';
  if (red < 24 && green < 24 && blue < 24) return 'k';
  return '?';
}

class VideoPlayerTest : public ::testing::Test {
 protected:
  VideoPlayerTest() {
    TClipRecipe recipe;
    recipe.Segments = {{kRed, 5}, {kGreen, 5}, {kBlue, 5}};  // 40 ms a frame, 600 ms in all
    FClip = (FFolder.Path() / "rgb.mp4").string();
    MakeClip(FClip, recipe);
    recipe.Segments = {{kBlue, 12}};
    recipe.Width = 32;  // a narrower shape: bars at the sides of a 64 x 32 player
    recipe.Height = 32;
    FSquare = (FFolder.Path() / "square.webm").string();
    recipe.VideoCodec = "libvpx-vp9";
    MakeClip(FSquare, recipe);
    FPlayer.SetBounds(0, 0, 64, 32);
  }
  void RunUntil(uint32_t tick) {
    bool stop = false;
    FApp.PostAt(tick, [&stop] { stop = true; });
    while (!stop) FApp.HandleMessage();
  }
  // The colour in the middle of the window's screen.
  char Shown() { return Dominant(FWindow.Screen(), 32, 16); }

  TScratchFolder FFolder{"video_player"};
  std::string FClip;
  std::string FSquare;
  THeadlessApplication FApp;
  THeadlessWindow FWindow{64, 32, clWhite};
  TVideoPlayer FPlayer{FApp, FWindow, nullptr, {}, TDecodeWait::dwForDueFrames};
};

TEST_F(VideoPlayerTest, ShowsTheSegmentsInOrderAndCountsToTheLastFrame) {
  FPlayer.SetMovie(FClip);
  EXPECT_EQ(FPlayer.TotalFrames(), 15);
  const uint32_t start = FApp.TickCount();
  FPlayer.Play();
  EXPECT_EQ(Shown(), 'r');  // the first frame is on screen when Play returns
  EXPECT_EQ(FPlayer.CurrentFrame(), 0);
  const struct {
    uint32_t At;
    char Colour;
    int32_t Frame;
  } steps[] = {{100, 'r', 2}, {210, 'g', 5}, {390, 'g', 9}, {405, 'b', 10}, {570, 'b', 14}};
  for (const auto& step : steps) {
    RunUntil(start + step.At);
    EXPECT_EQ(Shown(), step.Colour) << step.At;
    EXPECT_EQ(FPlayer.CurrentFrame(), step.Frame) << step.At;
    EXPECT_GT(FPlayer.TotalFrames() - 1, step.Frame == 14 ? 13 : step.Frame) << step.At;
  }
  RunUntil(start + 2000);
  // Ended: the last frame stays, and the counters say so.
  EXPECT_EQ(Shown(), 'b');
  EXPECT_EQ(FPlayer.CurrentFrame(), 14);
  EXPECT_EQ(FPlayer.TotalFrames(), 15);
  EXPECT_EQ(FPlayer.PaintedFrames(), 15);
  EXPECT_EQ(FPlayer.DroppedFrames(), 0);
}

TEST_F(VideoPlayerTest, FallingBehindDropsFramesInsteadOfSlowing) {
  FPlayer.SetMovie(FClip);
  const uint32_t start = FApp.TickCount();
  FPlayer.Play();
  // The main thread is held up for half a second (as by a slow decode).
  FApp.AdvanceClock(500);
  RunUntil(start + 505);
  EXPECT_EQ(FPlayer.CurrentFrame(), 12);
  EXPECT_EQ(Shown(), 'b');
  EXPECT_GE(FPlayer.DroppedFrames(), 10);
  EXPECT_LE(FPlayer.PaintedFrames(), 4);
}

TEST_F(VideoPlayerTest, StopHoldsTheClipAndPlayGoesOnFromThere) {
  FPlayer.SetMovie(FClip);
  const uint32_t start = FApp.TickCount();
  FPlayer.Play();
  RunUntil(start + 100);
  FPlayer.Stop();
  RunUntil(start + 1000);
  EXPECT_EQ(FPlayer.CurrentFrame(), 2);
  EXPECT_EQ(Shown(), 'r');
  FPlayer.Play();
  RunUntil(start + 1000 + 120);
  EXPECT_EQ(FPlayer.CurrentFrame(), 5);
  EXPECT_EQ(Shown(), 'g');
}

TEST_F(VideoPlayerTest, TheLastFrameStaysUntilTheNextClipPaintsItsFirst) {
  FPlayer.SetMovie(FClip);
  FPlayer.Play();
  RunUntil(FApp.TickCount() + 1000);
  ASSERT_EQ(Shown(), 'b');
  // A clip that cannot be played: Play raises and the screen keeps its frame.
  FPlayer.SetMovie((FFolder.Path() / "missing.mp4").string());
  EXPECT_EQ(FPlayer.TotalFrames(), 0);
  EXPECT_THROW(FPlayer.Play(), Exception);
  FWindow.PaintNow();
  EXPECT_EQ(Shown(), 'b');
  FPlayer.SetMovie(FClip);
  FWindow.PaintNow();
  EXPECT_EQ(Shown(), 'b');
  FPlayer.Play();
  EXPECT_EQ(Shown(), 'r');
  // A squarer clip: bars at the sides, black, not what was there before.
  FPlayer.SetMovie(FSquare);
  FPlayer.Play();
  EXPECT_EQ(Shown(), 'b');
  EXPECT_EQ(Dominant(FWindow.Screen(), 4, 16), 'k');
  EXPECT_EQ(Dominant(FWindow.Screen(), 60, 16), 'k');
  // Later frames are painted into the bitmaps earlier ones were shown in (the wider clip's
  // among them, whose picture reached from x = 10 to 52): the bars stay black all over.
  for (int step = 0; step < 24; ++step) {
    RunUntil(FApp.TickCount() + 20);
    EXPECT_EQ(Shown(), 'b');
    for (const int32_t x : {4, 12, 50, 60}) {
      EXPECT_EQ(Dominant(FWindow.Screen(), x, 16), 'k')
          << x << " at frame " << FPlayer.CurrentFrame();
    }
  }
}

// The screen changes size after the clip has ended (the decoded frame is no longer held): the
// last frame stays, at the new size, with its bars, until the next clip.
TEST_F(VideoPlayerTest, AChangeOfSizeKeepsTheFrameOnShow) {
  FPlayer.SetMovie(FClip);
  FPlayer.Play();
  RunUntil(FApp.TickCount() + 1000);
  ASSERT_EQ(FPlayer.CurrentFrame(), 14);
  for (const auto& size : {std::pair{48, 36}, std::pair{100, 40}}) {
    FPlayer.SetBounds(0, 0, size.first, size.second);
    const TBitmap& frame = FPlayer.Frame();
    ASSERT_EQ(frame.Width(), size.first);
    EXPECT_EQ(Dominant(frame, size.first / 2, size.second / 2), 'b') << size.first;
    EXPECT_EQ(Dominant(frame, 1, size.second / 2), size.first == 100 ? 'k' : 'b') << size.first;
  }
}

TEST_F(VideoPlayerTest, HiddenItLeavesTheWindowAndPaintsNothing) {
  FPlayer.SetMovie(FClip);
  FPlayer.SetVisible(false);
  FPlayer.Play();
  FWindow.PaintNow();
  EXPECT_EQ(Dominant(FWindow.Screen(), 32, 16), '?');  // the window's white
  FPlayer.SetVisible(true);
  FWindow.Update();
  EXPECT_EQ(Shown(), 'r');
}

}  // namespace
}  // namespace tovrin::testing
