// The paths a held picture moves along: which shape gets which, and that every framing lies inside
// the picture and moves one way only.
#include "show/motion_path.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace tovrin {
namespace {

struct TShapeCase {
  const char* name;
  int32_t width, height;              // the picture
  int32_t screenWidth, screenHeight;  // the screen
  bool stretch;
  TMotionKind kind;
};

const TShapeCase kShapes[] = {
    {"camera landscape", 4000, 3000, 1920, 1080, false, TMotionKind::mkZoom},
    {"screen-shaped", 1920, 1080, 1920, 1080, false, TMotionKind::mkZoom},
    {"small odd landscape", 641, 479, 1366, 768, false, TMotionKind::mkZoom},
    {"phone portrait", 3000, 4000, 1920, 1080, false, TMotionKind::mkPanVertical},
    {"square on a wide screen", 1001, 1001, 1920, 1080, false, TMotionKind::mkPanVertical},
    {"panorama", 8000, 1500, 1920, 1080, false, TMotionKind::mkPanAcross},
    {"landscape on a portrait monitor", 4000, 3000, 1080, 1920, false, TMotionKind::mkPanAcross},
    {"very long panorama (cut to its middle)", 65000, 97, 1920, 1080, false,
     TMotionKind::mkPanAcross},
    {"one pixel wide", 1, 999, 1280, 1024, false, TMotionKind::mkPanVertical},
    {"portrait stretched", 3000, 4000, 1920, 1080, true, TMotionKind::mkZoom},
    {"tiny screen", 333, 111, 7, 5, false, TMotionKind::mkPanAcross},
};

const TMotionChoice kChoices[] = {
    {false, 500, 500},
    {true, 500, 500},
    {false, 200, 800},
    {true, 800, 200},
};

// +1 rising, -1 falling, 0 unchanged so far; false once a value has turned back.
struct TOneWay {
  int64_t last = 0;
  int direction = 0;
  bool first = true;
  bool Take(int64_t v) {
    if (!first && v != last) {
      const int d = v > last ? 1 : -1;
      if (direction != 0 && d != direction) return false;
      direction = d;
    }
    first = false;
    last = v;
    return true;
  }
};

TEST(MotionPathTest, SourcesCoverTheScreenWithThePicturesProportions) {
  for (const TShapeCase& c : kShapes) {
    SCOPED_TRACE(c.name);
    const TMotionSource s =
        MotionSourceFor(c.width, c.height, c.screenWidth, c.screenHeight, c.stretch);
    EXPECT_GE(s.Size.X, c.screenWidth);
    EXPECT_GE(s.Size.Y, c.screenHeight);
    EXPECT_TRUE(s.Size.X == c.screenWidth || s.Size.Y == c.screenHeight) << "the smallest cover";
    EXPECT_LE(std::max(s.Size.X, s.Size.Y),
              kMaxSourceScreens * std::max(c.screenWidth, c.screenHeight));
    EXPECT_GE(s.Part.Left, 0);
    EXPECT_GE(s.Part.Top, 0);
    EXPECT_LE(s.Part.Right, c.width);
    EXPECT_LE(s.Part.Bottom, c.height);
    EXPECT_GT(s.Part.Width(), 0);
    EXPECT_GT(s.Part.Height(), 0);
    if (c.stretch) {
      EXPECT_EQ(s.Size, (TPoint{c.screenWidth, c.screenHeight}));
    } else {
      // Proportions kept to the rounding of one side: |X/Y - partW/partH| within a pixel.
      const int64_t cross =
          int64_t{s.Size.X} * s.Part.Height() - int64_t{s.Size.Y} * s.Part.Width();
      EXPECT_LE(std::llabs(cross), std::max<int64_t>(s.Part.Width(), s.Part.Height()))
          << s.Size.X << "x" << s.Size.Y << " of " << s.Part.Width() << "x" << s.Part.Height();
    }
  }
}

TEST(MotionPathTest, FramingsStayInsideAndMoveOneWay) {
  const uint32_t duration = 5000;
  for (const TShapeCase& c : kShapes) {
    const TMotionSource s =
        MotionSourceFor(c.width, c.height, c.screenWidth, c.screenHeight, c.stretch);
    const TPoint screen{c.screenWidth, c.screenHeight};
    for (const TMotionChoice& choice : kChoices) {
      SCOPED_TRACE(std::string(c.name) + (choice.Reverse ? " reversed" : "") + " drift " +
                   std::to_string(choice.DriftX));
      const TMotionPath path(s.Size, screen, choice);
      EXPECT_EQ(path.Kind(), c.kind);
      EXPECT_EQ(path.At(0, duration), path.Start());
      EXPECT_EQ(path.At(duration, duration), path.End());
      EXPECT_EQ(path.At(duration + 777, duration), path.End());
      EXPECT_NE(path.Start(), path.End()) << "the picture moves";

      TOneWay left, top, width, height;
      for (uint32_t ms = 0; ms <= duration; ++ms) {
        const TFixedRect f = path.At(ms, duration);
        ASSERT_GE(f.Left, 0) << ms;
        ASSERT_GE(f.Top, 0) << ms;
        ASSERT_LE(f.Left + f.Width, s.Size.X * kFixedOne) << ms;
        ASSERT_LE(f.Top + f.Height, s.Size.Y * kFixedOne) << ms;
        // The screen's proportions, to a thousandth of a pixel.
        ASSERT_LE(std::llabs(f.Width * screen.Y - f.Height * screen.X),
                  int64_t{screen.X} * kFixedOne / 1000)
            << ms;
        // Zoom between 100% and kZoomPercent.
        ASSERT_LE(f.Width, screen.X * kFixedOne) << ms;
        ASSERT_GE(f.Width * kZoomPercent, int64_t{screen.X} * kFixedOne * 100 - kZoomPercent) << ms;
        ASSERT_TRUE(left.Take(f.Left)) << "left turned back at " << ms;
        ASSERT_TRUE(top.Take(f.Top)) << "top turned back at " << ms;
        ASSERT_TRUE(width.Take(f.Width)) << "zoom turned back at " << ms;
        ASSERT_TRUE(height.Take(f.Height)) << ms;
      }
      switch (c.kind) {
        case TMotionKind::mkZoom:
          EXPECT_NE(width.direction, 0);
          EXPECT_EQ(width.direction, choice.Reverse ? 1 : -1) << "in, or out when reversed";
          break;
        case TMotionKind::mkPanVertical:
          // The whole height is travelled, at the full size.
          EXPECT_EQ(width.direction, 0);
          EXPECT_EQ(left.direction, 0);
          EXPECT_EQ(std::llabs(path.End().Top - path.Start().Top),
                    (s.Size.Y - screen.Y) * kFixedOne);
          EXPECT_EQ(top.direction, choice.Reverse ? -1 : 1);
          break;
        case TMotionKind::mkPanAcross:
          EXPECT_EQ(width.direction, 0);
          EXPECT_EQ(top.direction, 0);
          EXPECT_EQ(std::llabs(path.End().Left - path.Start().Left),
                    (s.Size.X - screen.X) * kFixedOne);
          EXPECT_EQ(left.direction, choice.Reverse ? -1 : 1);
          break;
      }
    }
  }
}

// Eased at both ends: the first and last twentieth of the hold move far less than a twentieth in
// the middle, and the motion never stops in between.
TEST(MotionPathTest, EasedAtBothEnds) {
  const TMotionPath path(TPoint{1920, 4000}, TPoint{1920, 1080}, TMotionChoice{});
  ASSERT_EQ(path.Kind(), TMotionKind::mkPanVertical);
  const uint32_t d = 10000;
  const auto travel = [&](uint32_t from, uint32_t to) {
    return path.At(to, d).Top - path.At(from, d).Top;
  };
  const int64_t middle = travel(d / 2 - d / 40, d / 2 + d / 40);
  EXPECT_LT(travel(0, d / 20) * 5, middle);
  EXPECT_LT(travel(d - d / 20, d) * 5, middle);
  for (uint32_t ms = 40; ms < d; ms += 40) EXPECT_GT(travel(ms - 40, ms), 0) << ms;
}

// A choice always takes three numbers from the generator, whatever it draws, so the rest of the
// show's random sequence does not depend on the pictures' shapes.
TEST(MotionPathTest, AChoiceTakesThreeNumbers) {
  TRandom random(2024);
  for (int i = 0; i < 200; ++i) {
    TRandom replay(random.Seed());
    const TMotionChoice c = DrawMotionChoice(random);
    replay.Next(1);
    replay.Next(1);
    replay.Next(1);
    ASSERT_EQ(random.Seed(), replay.Seed());
    ASSERT_GE(c.DriftX, 200);
    ASSERT_LE(c.DriftX, 800);
    ASSERT_GE(c.DriftY, 200);
    ASSERT_LE(c.DriftY, 800);
  }
}

}  // namespace
}  // namespace tovrin
