// Which picture comes next, with which style, and the frame it is shown in.
#include <set>

#include "core/random.h"
#include "gfx/draw.h"
#include "gfx/jpeg_decoder.h"
#include "jpeg_maker.h"
#include "show/shuffle_order.h"
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
    bool shuffle;
  };
  const TCase cases[] = {
      {"in order", false, false}, {"at random", true, false}, {"shuffled", false, true}};
  constexpr int32_t kEntries = 1000;
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.name);
    FSettings.SetlRandomPic(c.random);
    FSettings.SetlShuffle(c.shuffle);
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

std::vector<std::vector<uint8_t>> FlatPictures(int count) {
  std::vector<std::vector<uint8_t>> pictures;
  for (int i = 0; i < count; ++i) {
    pictures.push_back(FlatJpeg(8, 8, static_cast<uint32_t>(0x101010 * (i + 1))));
  }
  return pictures;
}

// A shuffled show: every round is a permutation of the pictures that can be read, rounds differ,
// and no picture comes twice in a row, not even across the end of a round (with two pictures,
// that forces them to alternate).
TEST_F(ShowTest, ShuffleShowsEveryPictureOncePerRoundInAFreshOrder) {
  struct TCase {
    const char* name;
    int pictures;
    std::vector<int> broken;  // pictures that cannot be read
    size_t rounds;
  };
  const TCase cases[] = {
      {"ten pictures", 10, {}, 3},
      {"two pictures alternate", 2, {}, 12},
      {"unreadable ones are passed over", 6, {1, 4}, 5},
  };
  for (const TCase& c : cases) {
    for (const uint32_t seed : {1u, 77u, 4242u}) {
      SCOPED_TRACE(std::string(c.name) + ", seed " + std::to_string(seed));
      FSettings.SetlShuffle(true);
      FSettings.SetInterval(10);
      std::vector<std::vector<uint8_t>> pictures = FlatPictures(c.pictures);
      for (const int i : c.broken) pictures[static_cast<size_t>(i)].assign(300, 0x55);
      Build(pictures);
      ProcessRandom().SetSeed(seed);
      Start();
      const size_t perRound = static_cast<size_t>(c.pictures) - c.broken.size();
      RunPictures(c.rounds * perRound);
      ASSERT_GE(FPictures.size(), c.rounds * perRound);
      std::set<std::vector<int32_t>> orders;
      for (size_t r = 0; r < c.rounds; ++r) {
        const std::vector<int32_t> round(
            FPictures.begin() + static_cast<ptrdiff_t>(r * perRound),
            FPictures.begin() + static_cast<ptrdiff_t>((r + 1) * perRound));
        std::vector<int32_t> sorted = round;
        std::sort(sorted.begin(), sorted.end());
        std::vector<int32_t> expected;
        for (int32_t i = 0; i < c.pictures; ++i) {
          if (std::find(c.broken.begin(), c.broken.end(), i) == c.broken.end()) {
            expected.push_back(i);
          }
        }
        EXPECT_EQ(sorted, expected) << "round " << r;
        orders.insert(round);
      }
      for (size_t i = 1; i < FPictures.size(); ++i) {
        EXPECT_NE(FPictures[i], FPictures[i - 1]) << "transition " << i;
      }
      if (c.pictures > 2) {
        EXPECT_GT(orders.size(), 1u) << "every round in the same order";
      }
    }
  }
  FSettings.SetlShuffle(false);
}

// A movie show that shuffles its pictures shows each once, then the movies take over.
TEST_F(ShowTest, ShuffledMovieShowHandsOverAfterOneRound) {
  FSettings.SetlShuffle(true);
  FSettings.SetVer("flash");
  FSettings.SetInterval(10);
  Build(FlatPictures(4), {}, {{"clip.swf", std::vector<uint8_t>(64, 7)}});
  Start();
  RunPictures(8);
  std::vector<int32_t> shown = FPictures;
  std::sort(shown.begin(), shown.end());
  EXPECT_EQ(shown, (std::vector<int32_t>{0, 1, 2, 3}));
  EXPECT_FALSE(Show().PShow().Visible());
}

TEST(ShuffleOrder, PicturesExcludedMidRoundAreSkippedAndLeftOutOfLaterRounds) {
  ProcessRandom().SetSeed(9);
  TShuffleOrder order(5);
  std::vector<bool> excluded(5, false);
  const auto isExcluded = [&](int32_t i) { return excluded[static_cast<size_t>(i)]; };
  const int32_t first = order.Next(isExcluded);
  // Two pictures fail after the round was drawn; the rest of the round still comes.
  int32_t gone = 0;
  for (int32_t i = 0; i < 5 && gone < 2; ++i) {
    if (i != first) {
      excluded[static_cast<size_t>(i)] = true;
      ++gone;
    }
  }
  std::set<int32_t> rest;
  while (!order.RoundDone(isExcluded)) rest.insert(order.Next(isExcluded));
  EXPECT_EQ(rest.size(), 2u);
  for (const int32_t i : rest) EXPECT_FALSE(excluded[static_cast<size_t>(i)]) << i;
  for (int n = 0; n < 9; ++n) EXPECT_FALSE(excluded[static_cast<size_t>(order.Next(isExcluded))]);
  excluded.assign(5, true);
  EXPECT_EQ(order.Next(isExcluded), -1);
}

// Vertical stripes of red and green, two pixels each: a picture whose every detail a backdrop
// that is not blurred would show as hard edges.
std::vector<uint8_t> StripedJpeg(int width, int height, TJpegKind kind = TJpegKind::Colour) {
  return MakeJpeg(width, height, kind,
                  [](int x, int) { return (x / 2) % 2 == 0 ? 0xE02010u : 0x20C040u; });
}

// The largest difference of one channel between neighbouring pixels inside box.
int Roughness(const TBitmap& frame, const TRect& box) {
  int most = 0;
  for (int32_t y = box.Top; y < box.Bottom; ++y) {
    for (int32_t x = box.Left; x < box.Right; ++x) {
      const uint32_t p = PixelAt(frame, x, y);
      for (const uint32_t q : {x + 1 < box.Right ? PixelAt(frame, x + 1, y) : p,
                               y + 1 < box.Bottom ? PixelAt(frame, x, y + 1) : p}) {
        for (int shift = 0; shift < 24; shift += 8) {
          most = std::max(most, std::abs(static_cast<int>((p >> shift) & 0xFF) -
                                         static_cast<int>((q >> shift) & 0xFF)));
        }
      }
    }
  }
  return most;
}

// The darkest channel sum inside box (0 for black).
int Dimmest(const TBitmap& frame, const TRect& box) {
  int least = 3 * 255;
  for (int32_t y = box.Top; y < box.Bottom; ++y) {
    for (int32_t x = box.Left; x < box.Right; ++x) {
      const uint32_t p = PixelAt(frame, x, y);
      least = std::min(least, static_cast<int>((p & 0xFF) + ((p >> 8) & 0xFF) + (p >> 16)));
    }
  }
  return least;
}

// The screen is 64 x 48. A picture that leaves bands uncovered gets its blurred, darkened copy
// behind it: the bands carry its colours, smoothly, and the picture itself is drawn as before.
TEST_F(ShowTest, BlurFillPutsThePicturesOwnSoftCopyInTheBands) {
  struct TCase {
    const char* name;
    int width, height;
    TJpegKind kind;
    TRect band;     // a part of the screen the picture leaves uncovered
    TRect picture;  // where the picture lies
  };
  const TCase cases[] = {
      {"portrait", 16, 48, TJpegKind::Colour, {0, 0, 24, 48}, {24, 0, 40, 48}},
      {"panorama", 64, 16, TJpegKind::Colour, {0, 0, 64, 16}, {0, 16, 64, 32}},
      {"small grey picture", 20, 20, TJpegKind::Grey, {44, 0, 64, 48}, {22, 14, 42, 34}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.name);
    const std::vector<uint8_t> jpeg = StripedJpeg(c.width, c.height, c.kind);
    FSettings.SetPicFill(pfBlack);
    Build({jpeg});
    Start();
    RunPictures(1);
    ASSERT_EQ(FFrames.size(), 1u);
    const TBitmap black = FFrames[0];
    EXPECT_EQ(Dimmest(black, c.band), 0);
    EXPECT_GT(Roughness(black, c.picture), 100) << "the stripes are sharp";

    FSettings.SetPicFill(pfBlur);
    Build({jpeg});
    Start();
    RunPictures(1);
    ASSERT_EQ(FFrames.size(), 1u);
    const TBitmap& blurred = FFrames[0];
    EXPECT_GT(Dimmest(blurred, c.band), 60) << "the band is not black";
    EXPECT_LE(Roughness(blurred, c.band), 10) << "the band is smooth";
    for (int32_t y = c.picture.Top; y < c.picture.Bottom; ++y) {
      for (int32_t x = c.picture.Left; x < c.picture.Right; ++x) {
        ASSERT_EQ(PixelAt(blurred, x, y), PixelAt(black, x, y)) << x << "," << y;
      }
    }
  }
}

// A picture cut off by the screen is decoded only as far as the screen shows it; the frame is
// still the whole decoding drawn centred, byte for byte (a busy picture shows any pixel of the
// edges or of the upsampled chroma decoded differently).
TEST_F(ShowTest, APictureCutOffByTheScreenIsTheWholeDecodingCentred) {
  const auto busy = [](int x, int y) {
    return static_cast<uint32_t>((x * 2654435761u) ^ (y * 40503u) ^
                                 ((x / 3 + y / 2) % 2 ? 0xFF : 0));
  };
  struct TCase {
    const char* name;
    int width, height;
    TJpegKind kind;
  };
  const TCase cases[] = {
      {"wider and taller", 204, 101, TJpegKind::Colour},
      {"only wider", 151, 30, TJpegKind::Colour},
      {"only taller", 41, 97, TJpegKind::Progressive},
      {"grey", 99, 77, TJpegKind::Grey},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.name);
    const std::vector<uint8_t> jpeg = MakeJpeg(c.width, c.height, c.kind, busy);
    TBitmap expected(64, 48);
    Draw(expected, (64 - c.width) / 2, (48 - c.height) / 2, DecodeJPEG(jpeg.data(), jpeg.size()));
    Build({jpeg});
    Start();
    RunPictures(1);
    ASSERT_EQ(FFrames.size(), 1u);
    EXPECT_TRUE(FFrames[0] == expected);
  }
}

// Where the picture covers the screen, or is stretched to it, the fill changes nothing.
TEST_F(ShowTest, BlurFillLeavesCoveredScreensAlone) {
  for (const bool stretch : {false, true}) {
    SCOPED_TRACE(stretch ? "stretched" : "larger than the screen");
    const std::vector<uint8_t> jpeg = stretch ? StripedJpeg(16, 48) : StripedJpeg(80, 60);
    FSettings.SetlStretch(stretch);
    std::vector<TBitmap> frames;
    for (const int32_t fill : {pfBlack, pfBlur}) {
      FSettings.SetPicFill(fill);
      Build({jpeg});
      Start();
      RunPictures(1);
      ASSERT_EQ(FFrames.size(), 1u);
      frames.push_back(FFrames[0]);
    }
    EXPECT_TRUE(frames[0] == frames[1]);
  }
}

// With lPicCaptions each picture carries its own caption from DescriptCommaList, on every
// picture, drawn as the package text is drawn (same place, font and renderer); the package text
// is not drawn, and a picture without an entry has no caption.
TEST_F(ShowTest, PictureCaptionsOnEveryPictureFromTheDescriptionList) {
  const std::vector<std::vector<uint8_t>> pictures = ThreePictures();
  const std::vector<std::string> captions = {"Harbour", "", "Quay \xE9t\xE9"};  // Windows-1252
  FSettings.SetlStretch(true);
  FSettings.TextFont().SetHeight(-10);
  FSettings.TextFont().SetColor(0x00FFFF);
  // The expected frames: each picture alone, with its caption as the package text (the first
  // picture of a show carries the text).
  std::vector<TBitmap> expected;
  for (size_t i = 0; i < pictures.size(); ++i) {
    FSettings.SetText(captions[i]);
    Build({pictures[i]});
    Start();
    RunPictures(1);
    ASSERT_EQ(FFrames.size(), 1u);
    expected.push_back(FFrames[0]);
  }
  FSettings.SetText("Package text");
  FSettings.SetDescriptCommaList("Harbour,,\"Quay \xE9t\xE9\"");
  FSettings.SetlPicCaptions(true);
  Build(pictures);
  Start();
  RunPictures(6);
  ASSERT_GE(FFrames.size(), 6u);
  for (size_t i = 0; i < 6; ++i) {
    SCOPED_TRACE(i);
    EXPECT_TRUE(FFrames[i] == expected[i % 3]);
  }
  // A list shorter than the pictures: the rest have no caption.
  FSettings.SetDescriptCommaList("Harbour");
  Build(pictures);
  Start();
  RunPictures(3);
  ASSERT_GE(FFrames.size(), 3u);
  EXPECT_TRUE(FFrames[0] == expected[0]);
  EXPECT_TRUE(FFrames[1] == expected[1]);
  EXPECT_FALSE(FFrames[2] == expected[2]);
}

}  // namespace
}  // namespace tovrin::testing
