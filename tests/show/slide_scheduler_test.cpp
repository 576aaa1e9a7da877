// Which picture comes next, with which style, and the frame it is shown in.
#include "core/random.h"
#include "show_fixture.h"

namespace tovrin::testing {
namespace {

const uint32_t kRed = 0xE02010;
const uint32_t kGreen = 0x20C040;
const uint32_t kBlue = 0x1030D0;

std::vector<std::vector<uint8_t>> ThreePictures() {
  return {FlatJpeg(16, 16, kRed), FlatJpeg(16, 16, kGreen), FlatJpeg(16, 16, kBlue)};
}

TEST_F(ShowTest, StylesFollowTheListFromItsSecondEntry) {
  struct TCase {
    const char* list;
    std::vector<TShowStyle> styles;
  };
  const TCase cases[] = {
      {"5,9,12", {9, 12, 5, 9, 12, 5}},
      {"7", {7, 7, 7}},
      {"", {0, 0, 0}},
      {"x,3", {3, 0, 3}},  // a non-numeric entry is style 0
      {"300,2", {2, 44}},  // stored as the low 8 bits
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.list);
    FSettings.SetEffectCommaList(c.list);
    Build(ThreePictures());
    Start();
    RunPictures(c.styles.size());
    EXPECT_EQ(FStyles, c.styles);
    for (size_t i = 0; i < FPictures.size(); ++i) {
      EXPECT_EQ(FPictures[i], static_cast<int32_t>(i % 3));
    }
  }
}

TEST_F(ShowTest, RandomChoicesDrawFromTheProcessGenerator) {
  FSettings.SetlRandomPic(true);
  FSettings.SetlRandomStyle(true);
  FSettings.SetEffectCommaList("3,4,5,6");  // wipes: they draw nothing from the generator
  Build(ThreePictures());
  ProcessRandom().SetSeed(12345);
  TRandom replay(12345);
  Start();
  RunPictures(8);
  ASSERT_GE(FPictures.size(), 8u);
  for (size_t i = 0; i < 8; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(FPictures[i], replay.Next(3));
    EXPECT_EQ(FStyles[i], 3 + replay.Next(4));
  }
}

TEST_F(ShowTest, PacingFollowsTheInterval) {
  struct TCase {
    const char* name;
    int32_t interval;
    int pictures;
    size_t shownAfterEighteenSeconds;
  };
  const TCase cases[] = {
      {"interval 0 shows the first picture only", 0, 3, 1},
      {"one picture comes again", 3000, 1, 5},
      {"three pictures in order", 3000, 3, 5},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.name);
    FSettings.SetInterval(c.interval);
    FSettings.SetEffectCommaList("4");
    std::vector<std::vector<uint8_t>> pictures = ThreePictures();
    pictures.resize(static_cast<size_t>(c.pictures));
    Build(pictures);
    Start();
    // Each picture: a transition of 25 frames at least 40 ms apart, then the interval, which
    // counts from the end of the transition.
    RunUntil(App().TickCount() + 18000);
    EXPECT_EQ(FPictures.size(), c.shownAfterEighteenSeconds);
    for (size_t i = 0; i < FPictures.size(); ++i) {
      EXPECT_EQ(FPictures[i], static_cast<int32_t>(i % static_cast<size_t>(c.pictures)));
      if (i > 0) {
        EXPECT_GE(FTimes[i] - FTimes[i - 1], 3000u + 24 * 40);
        EXPECT_LE(FTimes[i] - FTimes[i - 1], 3000u + 24 * 42);
      }
    }
  }
}

TEST_F(ShowTest, FramesAreStretchedOrCentredAtTheirOwnSize) {
  // The screen is 64 x 48.
  struct TCase {
    const char* name;
    bool stretch;
    int width, height;
    TPoint coloured, black;
  };
  const TCase cases[] = {
      {"stretched fills the screen", true, 10, 30, {0, 0}, {-1, -1}},
      {"small picture gets a black border", false, 20, 10, {32, 24}, {0, 0}},
      {"large picture is cut off equally", false, 200, 20, {0, 24}, {32, 5}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.name);
    FSettings.SetlStretch(c.stretch);
    Build({FlatJpeg(c.width, c.height, kGreen)});
    Start();
    RunPictures(1);
    ASSERT_EQ(FFrames.size(), 1u);
    const TBitmap& frame = FFrames[0];
    ASSERT_EQ(frame.Width(), 64);
    ASSERT_EQ(frame.Height(), 48);
    EXPECT_TRUE(Near(PixelAt(frame, c.coloured.X, c.coloured.Y), kGreen));
    if (c.black.X >= 0) {
      EXPECT_EQ(PixelAt(frame, c.black.X, c.black.Y), 0u);
    }
    if (c.stretch) {
      EXPECT_TRUE(Near(PixelAt(frame, 63, 47), kGreen));
    }
  }
  // Centring truncates toward zero: a 21-pixel-wide picture starts at (64 - 21) / 2 = 21.
  FSettings.SetlStretch(false);
  Build({FlatJpeg(21, 11, kRed)});
  Start();
  RunPictures(1);
  ASSERT_EQ(FFrames.size(), 1u);
  EXPECT_EQ(PixelAt(FFrames[0], 20, 24), 0u);
  EXPECT_TRUE(Near(PixelAt(FFrames[0], 21, 24), kRed));
  EXPECT_TRUE(Near(PixelAt(FFrames[0], 41, 24), kRed));
  EXPECT_EQ(PixelAt(FFrames[0], 42, 24), 0u);
  EXPECT_TRUE(Near(PixelAt(FFrames[0], 30, 18), kRed));
  EXPECT_EQ(PixelAt(FFrames[0], 30, 17), 0u);
}

TEST_F(ShowTest, CaptionOnEveryOtherPictureAtTheBottomCentre) {
  FSettings.SetText("Hi");
  FSettings.SetlStretch(true);
  FSettings.TextFont().SetHeight(-10);
  FSettings.TextFont().SetColor(0x00FFFF);  // yellow, stored as 00BBGGRR
  Build({FlatJpeg(16, 16, kBlue)});
  Start();
  RunPictures(6);
  ASSERT_GE(FFrames.size(), 6u);
  // The box renderer: 2 characters of 6 pixels, 12 pixels high, so the line lies at
  // x = 32 - 6 .. 38, y = 36 .. 48, each glyph a box inside its cell.
  for (size_t i = 0; i < 6; ++i) {
    SCOPED_TRACE(i);
    const bool captioned = i % 2 == 0;
    EXPECT_EQ(PixelAt(FFrames[i], 28, 42) == 0xFFFF00, captioned);
    EXPECT_TRUE(Near(PixelAt(FFrames[i], 28, 30), kBlue));
  }
}

TEST_F(ShowTest, ClearOldImageBlanksTheScreenBeforeTheTransition) {
  for (const bool clear : {false, true}) {
    SCOPED_TRACE(clear);
    FSettings.SetlClearOldImage(clear);
    FSettings.SetEffectCommaList("4");
    Build({FlatJpeg(16, 16, kRed), FlatJpeg(16, 16, kBlue)});
    Start();
    std::vector<bool> emptyAtStart;
    Show().Scheduler().OnPictureStart = [&](int32_t, TShowStyle) {
      emptyAtStart.push_back(Show().PShow().Media().Empty());
      FPictures.push_back(0);
    };
    FPictures.clear();
    RunPictures(2);
    ASSERT_EQ(emptyAtStart.size(), 2u);
    EXPECT_EQ(emptyAtStart[1], clear);
  }
}

TEST_F(ShowTest, UnreadablePictureIsSkippedAndTheShowGoesOn) {
  const std::vector<uint8_t> broken(300, 0x55);  // not a JPEG file at all
  Build({FlatJpeg(16, 16, kRed), broken, FlatJpeg(16, 16, kBlue)});
  Start();
  RunPictures(4);
  EXPECT_EQ(FPictures, (std::vector<int32_t>{0, 2, 0, 2}));
  EXPECT_EQ(LogCount("MessageBox"), 0u);
}

// A package of many entries that cannot be read is passed over a few entries per turn of the
// message loop (so the loop serves signals, input and timers in between), each entry read once;
// when none is left the show ends without a word.
TEST_F(ShowTest, UnreadablePicturesArePassedOverAFewPerTurnThenTheShowEnds) {
  struct TCase {
    const char* name;
    bool random;
  };
  const TCase cases[] = {{"in order", false}, {"at random", true}};
  constexpr int32_t kEntries = 1000;
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.name);
    FSettings.SetlRandomPic(c.random);
    Build(std::vector<std::vector<uint8_t>>(kEntries, std::vector<uint8_t>(12, 0x55)));
    Start();
    const TSlideScheduler& scheduler = Show().Scheduler();
    // A stop due far ahead, so that a turn never waits forever on an empty queue.
    auto stop = std::make_shared<bool>(false);
    App().PostAt(App().TickCount() + 600000, [stop] { *stop = true; });
    int64_t mostInOneTurn = 0;
    for (int turn = 0; turn < 4 * kEntries && !*stop && !App().Terminated(); ++turn) {
      const int64_t before = scheduler.ReadCount();
      App().HandleMessage();
      mostInOneTurn = std::max(mostInOneTurn, scheduler.ReadCount() - before);
    }
    EXPECT_GT(mostInOneTurn, 0);
    EXPECT_LE(mostInOneTurn, TSlideScheduler::kReadsPerTurn);
    EXPECT_EQ(scheduler.ReadCount(), kEntries);  // no entry read twice
    EXPECT_EQ(scheduler.FailedCount(), kEntries);
    EXPECT_TRUE(App().Terminated());
    EXPECT_TRUE(Show().Halted());
    EXPECT_TRUE(FPictures.empty());
    EXPECT_EQ(LogCount("MessageBox"), 0u);
  }
}

// A picture that failed once is not read again on the following rounds.
TEST_F(ShowTest, FailedPicturesAreNotReadAgain) {
  const std::vector<uint8_t> broken(300, 0x55);
  for (const bool random : {false, true}) {
    SCOPED_TRACE(random ? "at random" : "in order");
    FSettings.SetlRandomPic(random);
    FSettings.SetInterval(100);
    Build({broken, FlatJpeg(16, 16, kRed), broken, broken});
    Start();
    RunPictures(12);
    ASSERT_EQ(FPictures.size(), 12u);
    for (const int32_t index : FPictures) EXPECT_EQ(index, 1);
    const TSlideScheduler& scheduler = Show().Scheduler();
    EXPECT_LE(scheduler.FailedCount(), 3);
    EXPECT_EQ(scheduler.ReadCount(), 12 + scheduler.FailedCount());
    EXPECT_FALSE(App().Terminated());
  }
}

}  // namespace
}  // namespace tovrin::testing
