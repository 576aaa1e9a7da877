// The frame composer called directly: the shared set-up and finishing step, style 0, multi-piece
// and folded rectangle styles, and the order of the hooks.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "noise_bitmap.h"
#include "picshow/styles/compose_frame.h"
#include "picshow/styles/rect_pieces.h"
#include "picshow/styles/style_table.h"
#include "solid_bitmap.h"

namespace tovrin::test {
namespace {

struct ComposeRig {
  ComposeRig(int32_t w, int32_t h)
      : OldPic(Solid(w, h, kRed)), NewPic(Solid(w, h, kBlue)), Media(Solid(w, h, kGreen)) {
    Hooks.Invalidate = [this](const TRect& r) {
      Invalidated.push_back(r);
      Log.push_back("invalidate");
    };
    Hooks.Update = [this] { Log.push_back("update"); };
  }

  void Compose(uint8_t style, uint8_t progress, bool reverse = false) {
    Progress = progress;
    ComposeFrame(
        TComposeFrameArgs{OldPic, NewPic, Media, style, Progress, 4, reverse, Random, Hooks});
  }

  TBitmap OldPic, NewPic, Media;
  uint8_t Progress = 0;
  TRandom Random{1};
  TComposeHooks Hooks;
  std::vector<TRect> Invalidated;
  std::vector<std::string> Log;
};

TEST(ComposeFrameTest, HooksRunInOrderAroundTheStyle) {
  ComposeRig rig(40, 20);
  rig.Hooks.BeforeNewFrame = [&](TBitmap& picture, TBitmap& screen) {
    rig.Log.push_back("before");
    EXPECT_EQ(&picture, &rig.NewPic);
    EXPECT_TRUE(AllPixels(screen, screen.BoundsRect(), kRed)) << "OldPic is drawn first";
  };
  rig.Hooks.AfterNewFrame = [&](TBitmap&, TBitmap&) { rig.Log.push_back("after"); };
  rig.Compose(5, 50);
  EXPECT_EQ(rig.Log, (std::vector<std::string>{"before", "invalidate", "after", "update"}));
  EXPECT_EQ(rig.Invalidated, (std::vector<TRect>{TRect{0, 0, 20, 20}}));
  EXPECT_TRUE(AllPixels(rig.Media, TRect{0, 0, 20, 20}, kBlue));
  EXPECT_TRUE(AllPixels(rig.Media, TRect{20, 0, 40, 20}, kRed));
}

TEST(ComposeFrameTest, EveryStyleStartsFromOldPicAndEndsOnNewPic) {
  for (int style = 0; style < StyleCount; ++style) {
    ComposeRig rig(33, 21);
    rig.Compose(static_cast<uint8_t>(style), 100);
    EXPECT_TRUE(AllPixels(rig.Media, rig.Media.BoundsRect(), kBlue)) << "style " << style;
    EXPECT_EQ(rig.Progress, 100) << style;
    // Multi-piece rectangle styles draw their earlier pieces at every Progress, 0 included
    // (EarlierPiecesAreDrawnAtOnceEvenAtProgressZero); every other style shows only OldPic at 0.
    const bool earlierPieces =
        RectangleStylePieces(style, ComputeFrameExtents(33, 21, 0, 4)).Count > 1;
    if (style != 0 && !earlierPieces) {
      rig.Compose(static_cast<uint8_t>(style), 0);
      EXPECT_TRUE(AllPixels(rig.Media, rig.Media.BoundsRect(), kRed))
          << "the last frame never shows through: style " << style;
    }
  }
}

TEST(ComposeFrameTest, StyleAbove127StopsAfterBeforeNewFrame) {
  ComposeRig rig(10, 10);
  int before = 0;
  rig.Hooks.BeforeNewFrame = [&](TBitmap&, TBitmap& screen) {
    ++before;
    screen.SetPixel(0, 0, kYellow);
  };
  rig.Hooks.AfterNewFrame = [&](TBitmap&, TBitmap&) { ADD_FAILURE() << "no AfterNewFrame"; };
  rig.Compose(200, 50);
  EXPECT_EQ(before, 1);
  EXPECT_TRUE(rig.Log.empty()) << "nothing invalidated, no repaint";
  EXPECT_EQ(rig.Media.Pixel(0, 0), kYellow);
  EXPECT_TRUE(AllPixels(rig.Media, TRect{1, 0, 10, 10}, kRed));
}

TEST(ComposeFrameTest, CutWithoutHandlerJumpsToTheEndOfItsDirection) {
  ComposeRig rig(16, 8);
  rig.Compose(0, 4);
  EXPECT_EQ(rig.Progress, 100);
  EXPECT_TRUE(AllPixels(rig.Media, rig.Media.BoundsRect(), kBlue));
  EXPECT_EQ(rig.Invalidated, (std::vector<TRect>{TRect{0, 0, 16, 8}}));

  // Reversed, the end is 0 and its frame is the outgoing picture; jumping to 100 instead would
  // keep a reversed run from ever ending.
  rig.Compose(0, 96, true);
  EXPECT_EQ(rig.Progress, 0);
  EXPECT_TRUE(AllPixels(rig.Media, rig.Media.BoundsRect(), kRed));
}

TEST(ComposeFrameTest, CutWithHandlerLetsTheHandlerDrawTheFrame) {
  ComposeRig rig(16, 8);
  int calls = 0;
  rig.Hooks.CustomDraw = [&](TBitmap& picture, TBitmap& screen) {
    ++calls;
    EXPECT_EQ(&picture, &rig.NewPic);
    screen.Fill(kYellow);
  };
  rig.Compose(0, 40);
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(rig.Progress, 40) << "the handler's frame does not end the run";
  EXPECT_TRUE(AllPixels(rig.Media, rig.Media.BoundsRect(), kYellow))
      << "nothing is drawn over the handler's frame";
  rig.Compose(0, 100);
  EXPECT_EQ(calls, 2);
  EXPECT_TRUE(AllPixels(rig.Media, rig.Media.BoundsRect(), kBlue)) << "100 is NewPic whole";
}

TEST(ComposeFrameTest, EarlierPiecesAreDrawnAtOnceEvenAtProgressZero) {
  // Style 12 wipes from both edges: the left piece (one column at Progress 0) is copied and
  // invalidated at once; the right piece is the last and the finishing step adds nothing at 0.
  ComposeRig rig(16, 8);
  rig.Compose(12, 0);
  EXPECT_TRUE(AllPixels(rig.Media, TRect{0, 0, 1, 8}, kBlue));
  EXPECT_TRUE(AllPixels(rig.Media, TRect{1, 0, 16, 8}, kRed));
  EXPECT_EQ(rig.Invalidated, (std::vector<TRect>{TRect{0, 0, 1, 8}, TRect{15, 0, 16, 8}}));
  EXPECT_EQ(rig.Progress, 0);
}

TEST(ComposeFrameTest, RollFoldIsDrawnMirroredAheadOfTheEdge) {
  // A new picture whose columns all differ shows the mirror: style 14 on 100 x 4 at Progress 30
  // has X = 30 and a fold 10 wide at (30, 40) taken from columns 40..49; the uncovered part is
  // drawn after it.
  ComposeRig rig(100, 4);
  for (int32_t y = 0; y < 4; ++y)
    for (int32_t x = 0; x < 100; ++x) rig.NewPic.SetPixel(x, y, RGB(static_cast<uint8_t>(x), 0, 0));
  rig.Compose(14, 30);
  for (int32_t x = 0; x < 30; ++x) EXPECT_EQ(GetRValue(rig.Media.Pixel(x, 2)), x) << x;
  // The fold shows source columns 40..49 flipped: falling from left to right. Its mirrored
  // extent is one column wider on each side (GDI's StretchBlt from x 41 with width -12), so it
  // covers columns 30..41, stretched by two; the uncovered part then overdraws column 29.
  int previous = 255;
  for (int32_t x = 30; x <= 41; ++x) {
    const int value = GetRValue(rig.Media.Pixel(x, 2));
    EXPECT_GE(value, 40) << "fold column " << x;
    EXPECT_LE(value, 49) << "fold column " << x;
    EXPECT_LE(value, previous) << "fold column " << x << " is not mirrored";
    previous = value;
  }
  EXPECT_EQ(GetRValue(rig.Media.Pixel(30, 2)), 49);
  EXPECT_EQ(GetRValue(rig.Media.Pixel(41, 2)), 40);
  EXPECT_TRUE(AllPixels(rig.Media, TRect{42, 0, 100, 4}, kRed));
  EXPECT_EQ(rig.Invalidated, (std::vector<TRect>{TRect{30, 0, 40, 4}, TRect{0, 0, 30, 4}}));
}

TEST(ComposeFrameTest, StyleKindsFollowTheCatalogue) {
  EXPECT_EQ(StyleEntry(0).Kind, TStyleKind::skRegion);
  EXPECT_EQ(StyleEntry(1).Kind, TStyleKind::skRectangle);
  EXPECT_EQ(StyleEntry(57).Kind, TStyleKind::skRectangle);
  EXPECT_EQ(StyleEntry(58).Kind, TStyleKind::skRegion);
  EXPECT_EQ(StyleEntry(117).Kind, TStyleKind::skRegion);
  EXPECT_EQ(StyleEntry(118).Kind, TStyleKind::skPixel);
  EXPECT_EQ(StyleEntry(122).Kind, TStyleKind::skPixel);
  EXPECT_EQ(StyleEntry(123).Kind, TStyleKind::skRegion);
  EXPECT_EQ(StyleEntry(127).Kind, TStyleKind::skRegion);
}

TEST(ComposeFrameTest, HandlerMayReplaceNewPicBeforeTheStyleReadsItsSize) {
  ComposeRig rig(20, 10);
  rig.Hooks.BeforeNewFrame = [](TBitmap& picture, TBitmap&) { picture = Solid(10, 10, kYellow); };
  rig.Compose(5, 50);
  // W is read after the hook: X = 50% of 10.
  EXPECT_EQ(rig.Invalidated, (std::vector<TRect>{TRect{0, 0, 5, 10}}));
  EXPECT_TRUE(AllPixels(rig.Media, TRect{0, 0, 5, 10}, kYellow));
  EXPECT_TRUE(AllPixels(rig.Media, TRect{5, 0, 20, 10}, kRed));
}

// Without a BeforeNewFrame hook the composer lays OldPic only where the style leaves it visible.
// A hook that does nothing makes it copy OldPic whole first, as the frame is defined; both must
// give the same frame, the same invalidations and the same random state, whatever Media held.
TEST(ComposeFrameTest, LayingOldPicOnlyWhereVisibleGivesTheSameFrames) {
  struct TRun {
    TBitmap Media;
    std::vector<TRect> Invalidated;
    int32_t RandomAfter;
    uint8_t Progress;
  };
  const auto run = [&](int style, uint8_t progress, uint8_t step, bool reverse, int32_t w,
                       int32_t h, bool eager) {
    const TBitmap oldPic = NoiseBitmap(w, h, 1);
    TBitmap newPic = NoiseBitmap(w, h, 2);
    TRun result{NoiseBitmap(w, h, 3), {}, 0, progress};
    TRandom random(static_cast<uint32_t>(style * 1000 + progress));
    TComposeHooks hooks;
    hooks.Invalidate = [&](const TRect& r) { result.Invalidated.push_back(r); };
    if (eager) hooks.BeforeNewFrame = [](TBitmap&, TBitmap&) {};
    ComposeFrame(TComposeFrameArgs{oldPic, newPic, result.Media, static_cast<uint8_t>(style),
                                   result.Progress, step, reverse, random, hooks});
    result.RandomAfter = random.Next(1 << 30);
    return result;
  };
  const std::vector<std::pair<int32_t, int32_t>> sizes{
      {37, 23}, {23, 37}, {64, 48}, {1, 1}, {2, 1}};
  for (int style = 0; style < StyleCount; ++style) {
    for (const auto& [w, h] : sizes) {
      for (const uint8_t progress : {0, 1, 13, 37, 50, 86, 99, 100}) {
        for (const uint8_t step : {1, 4, 100}) {
          const bool reverse = (progress + step) % 2 == 1;
          const TRun lazy = run(style, progress, step, reverse, w, h, false);
          const TRun eager = run(style, progress, step, reverse, w, h, true);
          const auto where = ::testing::Message()
                             << "style " << style << " at " << int{progress} << " step "
                             << int{step} << " on " << w << "x" << h;
          ASSERT_EQ(lazy.Media, eager.Media) << where;
          ASSERT_EQ(lazy.Invalidated, eager.Invalidated) << where;
          ASSERT_EQ(lazy.RandomAfter, eager.RandomAfter) << where;
          ASSERT_EQ(lazy.Progress, eager.Progress) << where;
        }
      }
    }
  }
}

}  // namespace
}  // namespace tovrin::test
