// Presentation: where a changed rectangle of Media is invalidated on the parent (plain,
// centred, stretched, fitted), the backgrounds, and the double-buffered paint.
#include <thread>

#include "pic_show_fixture.h"

namespace tovrin::test {
namespace {

class PresentationTest : public PicShowTest {
 protected:
  PresentationTest() : PicShowTest(1400, 900) {}

  // A control at (10, 20) of size w x h showing a manual transition of a picture pw x ph at
  // Progress p, with the invalidation record cleared just before that frame.
  std::unique_ptr<TPicShow> ShowFrame(int32_t w, int32_t h, int32_t pw, int32_t ph, uint8_t p,
                                      bool center, bool stretch, bool fine) {
    auto show = MakeShow();
    show->SetAutoSize(false);
    show->SetBounds(10, 20, w, h);
    show->SetCenter(center);
    show->SetStretch(stretch);
    show->SetStretchFine(fine);
    show->SetManual(true);
    show->SetPicture(Solid(pw, ph, kBlue));
    show->Execute();
    Window.ClearRecord();
    show->SetProgress(p);
    return show;
  }

  std::vector<TRect> InvalidatedRects() const {
    std::vector<TRect> rects;
    for (const auto& i : Window.Invalidations()) {
      EXPECT_FALSE(i.Erase) << "frames never ask the parent to erase";
      rects.push_back(i.Rect);
    }
    return rects;
  }
};

TEST_F(PresentationTest, CentredMediaIsInvalidatedAtItsOffsetInTheParent) {
  // 800 x 600 in 1024 x 768: DisplayRect (112, 84, 912, 684); the wipe at 50% changed
  // (0, 0, 400, 600) of Media.
  auto show = ShowFrame(1024, 768, 800, 600, 50, true, false, false);
  EXPECT_EQ(show->DisplayRect(), (TRect{112, 84, 912, 684}));
  EXPECT_EQ(InvalidatedRects(), (std::vector<TRect>{TRect{122, 104, 522, 704}}));
  EXPECT_EQ(Window.PaintCount(), 1) << "the composer repaints at once";
  EXPECT_TRUE(AllPixels(Window.Screen(), TRect{122, 104, 522, 704}, kBlue));
  EXPECT_TRUE(AllPixels(Window.Screen(), TRect{522, 104, 922, 704}, kGrey));
}

TEST_F(PresentationTest, UncentredMediaLargerThanTheControlIsClippedToDisplayRect) {
  auto show = ShowFrame(300, 200, 800, 600, 50, false, false, false);
  EXPECT_EQ(show->DisplayRect(), (TRect{0, 0, 800, 600}));
  EXPECT_EQ(InvalidatedRects(), (std::vector<TRect>{TRect{10, 20, 410, 620}}));
  EXPECT_TRUE(AllPixels(Window.Screen(), TRect{10, 20, 310, 220}, kBlue));
  EXPECT_TRUE(AllPixels(Window.Screen(), TRect{310, 20, 320, 30}, kGrey)) << "nothing beyond";
}

TEST_F(PresentationTest, StretchedMediaRectanglesAreScaledWithRounding) {
  auto show = ShowFrame(1024, 768, 800, 600, 50, true, true, false);
  EXPECT_EQ(InvalidatedRects(), (std::vector<TRect>{TRect{10, 20, 522, 788}}));
  Window.ClearRecord();
  show->SetProgress(3);  // X = 24 -> 30.72, rounded to 31
  ASSERT_EQ(InvalidatedRects().size(), 2u);
  EXPECT_EQ(InvalidatedRects()[0], (TRect{10, 20, 1034, 788})) << "going down: whole Media";
  EXPECT_EQ(InvalidatedRects()[1], (TRect{10, 20, 41, 788}));
}

TEST_F(PresentationTest, FittedMediaKeepsItsAspectRatioInsideTheControl) {
  // 400 x 300 in 1280 x 768: FitRect gives (128, 0, 1152, 768).
  auto show = ShowFrame(1280, 768, 400, 300, 50, false, true, true);
  EXPECT_EQ(InvalidatedRects(), (std::vector<TRect>{TRect{138, 20, 650, 788}}));
  // Away from the edge between the two pictures, which the scaling filter may blend.
  EXPECT_TRUE(AllPixels(Window.Screen(), TRect{138, 20, 630, 788}, kBlue));
  Window.PaintNow();
  EXPECT_TRUE(AllPixels(Window.Screen(), TRect{10, 20, 138, 788}, kGrey)) << "colour beside";
  EXPECT_TRUE(AllPixels(Window.Screen(), TRect{660, 20, 1290, 788}, kGrey)) << "old picture";
}

TEST_F(PresentationTest, StretchSettersRepaintOnlyWhenThereIsAFrame) {
  auto show = MakeShow();
  show->SetAutoSize(false);
  show->SetBounds(0, 0, 200, 100);
  Window.ClearRecord();
  show->SetStretch(true);
  show->SetStretchFine(true);
  show->SetCenter(true);
  EXPECT_EQ(Window.PaintCount(), 0) << "Media is empty";
  show->SetPicture(Solid(50, 50, kBlue));
  show->Execute();
  Window.ClearRecord();
  show->SetStretchFine(false);
  EXPECT_EQ(Window.PaintCount(), 1);
  EXPECT_TRUE(AllPixels(Window.Screen(), TRect{0, 0, 200, 100}, kBlue)) << "fills the control";
}

TEST_F(PresentationTest, PaintLeavesTheWholeClientImageInBackBuffer) {
  auto show = ShowFrame(120, 80, 60, 40, 100, true, false, false);
  Window.PaintNow();
  const TBitmap& back = show->BackBuffer();
  ASSERT_EQ(back.Width(), 120);
  ASSERT_EQ(back.Height(), 80);
  for (int32_t y = 0; y < 80; ++y) {
    for (int32_t x = 0; x < 120; ++x) {
      ASSERT_EQ(back.Pixel(x, y), Window.Screen().Pixel(x + 10, y + 20)) << x << "," << y;
    }
  }
  EXPECT_TRUE(AllPixels(back, TRect{30, 20, 90, 60}, kBlue));
  EXPECT_TRUE(AllPixels(back, TRect{0, 0, 30, 80}, kGrey));
}

TEST_F(PresentationTest, ResizingRecentresMediaAndAlignedControlsFollowTheWindow) {
  auto show = MakeShow();
  show->SetAutoSize(false);
  show->SetCenter(true);
  show->SetBounds(0, 0, 200, 100);
  show->SetPicture(Solid(50, 20, kBlue));
  show->Execute();
  EXPECT_EQ(show->DisplayRect(), (TRect{75, 40, 125, 60}));
  Window.ClearRecord();
  show->SetBounds(0, 0, 100, 60);
  EXPECT_EQ(show->DisplayRect(), (TRect{25, 20, 75, 40})) << "the size handler recentres";
  Window.Update();
  EXPECT_TRUE(AllPixels(Window.Screen(), TRect{25, 20, 75, 40}, kBlue));
  EXPECT_EQ(Window.Screen().Pixel(24, 20), kGrey);

  show->SetAlign(TAlign::alClient);
  EXPECT_EQ(show->BoundsRect(), (TRect{0, 0, 1400, 900}));
  show->SetAutoSize(true);
  show->SetPicture(Solid(30, 30, kRed));
  EXPECT_EQ(show->Width(), 1400) << "AutoSize does not fight the alignment";
  Window.SetClientSize(640, 480);
  EXPECT_EQ(show->BoundsRect(), (TRect{0, 0, 640, 480}));
  EXPECT_EQ(show->DisplayRect(), (TRect{295, 230, 345, 250})) << "Media is still the 50 x 20";
}

// A full-screen show: Media is the whole client image, which the paint presents directly.
// What BackBuffer holds must still be the last painted image at every moment, so that the next
// transition starts from it (and a frame that is not yet painted does not leak into it).
TEST_F(PresentationTest, FullScreenFramesKeepTheLastPaintAsTheNextStartImage) {
  auto show = MakeShow();
  show->SetAlign(TAlign::alClient);
  show->SetStretch(true);
  show->SetCenter(true);
  show->SetPicture(Solid(1400, 900, kBlue));
  show->Execute();
  EXPECT_TRUE(AllPixels(show->BackBuffer(), TRect{0, 0, 1400, 900}, kBlue));

  // Inside OnAfterNewFrame the new frame is in Media but not yet painted.
  show->SetPicture(Solid(1400, 900, kRed));
  show->SetManual(true);
  show->Execute();
  EXPECT_TRUE(AllPixels(Window.Screen(), TRect{0, 0, 1400, 900}, kBlue)) << "frame 0 is OldPic";
  show->OnAfterNewFrame = [&](TCustomPicShow& s, TBitmap&, TBitmap&) {
    EXPECT_EQ(s.BackBuffer().Pixel(0, 0), kBlue) << "BackBuffer is the painted image";
    EXPECT_EQ(s.BackBuffer().Pixel(1399, 899), kBlue);
  };
  show->SetProgress(50);
  EXPECT_EQ(Window.Screen().Pixel(0, 0), kRed);
  EXPECT_EQ(Window.Screen().Pixel(1399, 0), kBlue);
  show->OnAfterNewFrame = nullptr;
  show->SetProgress(60);
  show->Stop();
  EXPECT_EQ(show->BackBuffer().Pixel(839, 0), kRed) << "60% of 1400 wiped";
  EXPECT_EQ(show->BackBuffer().Pixel(840, 0), kBlue);

  // The next transition starts from exactly that image.
  std::vector<TColor> start;
  show->SetManual(false);
  show->OnBeforeNewFrame = [&](TCustomPicShow&, TBitmap&, TBitmap& screen) {
    if (start.empty()) start = {screen.Pixel(839, 0), screen.Pixel(840, 0)};
  };
  show->SetPicture(Solid(1400, 900, kYellow));
  show->Execute();
  EXPECT_EQ(start, (std::vector<TColor>{kRed, kBlue}));
  EXPECT_TRUE(AllPixels(Window.Screen(), TRect{0, 0, 1400, 900}, kYellow));

  show->Clear();
  EXPECT_TRUE(AllPixels(Window.Screen(), TRect{0, 0, 1400, 900}, kGrey));
  EXPECT_TRUE(AllPixels(show->BackBuffer(), TRect{0, 0, 1400, 900}, kGrey));
}

// A control whose paint tries to paint again, as a handler forcing a repaint would.
class ReentrantShow : public TCustomPicShow {
 public:
  using TCustomPicShow::TCustomPicShow;
  int Paints = 0;

 protected:
  void Paint(TCanvas& canvas) override {
    ++Paints;
    WMPaint(canvas);  // dropped: the control is painting
    TCustomPicShow::Paint(canvas);
  }
};

TEST_F(PresentationTest, PaintsWhilePaintingOrFromOtherThreadsAreDropped) {
  ReentrantShow show(App, Window);
  show.SetBounds(0, 0, 20, 20);
  show.SetBgPicture(Solid(4, 4, kYellow));
  EXPECT_EQ(show.Paints, 1) << "setting the background repaints";
  Window.PaintNow();
  EXPECT_EQ(show.Paints, 2);
  EXPECT_FALSE(show.Painting());
  EXPECT_TRUE(AllPixels(Window.Screen(), TRect{0, 0, 20, 20}, kYellow));
  std::thread other([&] { show.WMPaint(Window.WindowCanvas()); });
  other.join();
  EXPECT_EQ(show.Paints, 2);
  EXPECT_TRUE(show.WMEraseBkgnd()) << "erasing counts as done and draws nothing";
}

class BackgroundTest : public PicShowTest {
 protected:
  BackgroundTest() : PicShowTest(400, 300) {}
  std::unique_ptr<TPicShow> ShowWithBackground(int32_t w, int32_t h, const TBitmap& bg,
                                               TBackgroundMode mode) {
    auto show = MakeShow();
    show->SetAutoSize(false);
    show->SetBounds(0, 0, w, h);
    show->SetBgMode(mode);
    show->SetBgPicture(bg);
    Window.PaintNow();
    return show;
  }
};

// A picture whose every pixel tells its own position.
TBitmap Positional(int32_t w, int32_t h) {
  TBitmap b(w, h);
  for (int32_t y = 0; y < h; ++y) {
    for (int32_t x = 0; x < w; ++x) b.SetPixel(x, y, RGB(uint8_t(x), uint8_t(y), 7));
  }
  return b;
}

TEST_F(BackgroundTest, TiledFromTheTopLeftCornerWithTheLastTileCropped) {
  auto show = ShowWithBackground(200, 128, Positional(64, 64), TBackgroundMode::bmTiled);
  for (int32_t y : {0, 63, 64, 127}) {
    for (int32_t x : {0, 63, 64, 191, 192, 199}) {
      EXPECT_EQ(Window.Screen().Pixel(x, y), RGB(uint8_t(x % 64), uint8_t(y % 64), 7))
          << x << "," << y;
    }
  }
  EXPECT_EQ(Window.Screen().Pixel(200, 0), kGrey) << "not beyond the control";
}

TEST_F(BackgroundTest, CentredAndLargerThanTheControlIsCroppedEvenly) {
  auto show = ShowWithBackground(200, 128, Positional(250, 200), TBackgroundMode::bmCentered);
  // Offsets (200 - 250) / 2 = -25 and (128 - 200) / 2 = -36.
  EXPECT_EQ(Window.Screen().Pixel(0, 0), RGB(25, 36, 7));
  EXPECT_EQ(Window.Screen().Pixel(199, 127), RGB(224, 163, 7));
}

TEST_F(BackgroundTest, CentredAndSmallerLeavesTheColourAround) {
  auto show = ShowWithBackground(200, 128, Solid(20, 10, kYellow), TBackgroundMode::bmCentered);
  EXPECT_TRUE(AllPixels(Window.Screen(), TRect{90, 59, 110, 69}, kYellow));
  EXPECT_EQ(Window.Screen().Pixel(89, 59), kGrey);
  EXPECT_EQ(Window.Screen().Pixel(110, 68), kGrey);
}

TEST_F(BackgroundTest, StretchedCoversTheWholeControl) {
  TBitmap halves(2, 1);
  halves.SetPixel(0, 0, kYellow);
  halves.SetPixel(1, 0, kBlue);
  auto show = ShowWithBackground(200, 128, halves, TBackgroundMode::bmStretched);
  EXPECT_EQ(Window.Screen().Pixel(0, 0), kYellow);
  EXPECT_EQ(Window.Screen().Pixel(0, 127), kYellow);
  EXPECT_EQ(Window.Screen().Pixel(199, 127), kBlue);
}

TEST_F(BackgroundTest, ModeNoneShowsTheColourAndModeChangesRepaint) {
  auto show = ShowWithBackground(50, 50, Solid(8, 8, kYellow), TBackgroundMode::bmNone);
  EXPECT_TRUE(AllPixels(Window.Screen(), TRect{0, 0, 50, 50}, kGrey));
  show->SetBgMode(TBackgroundMode::bmTiled);
  EXPECT_TRUE(AllPixels(Window.Screen(), TRect{0, 0, 50, 50}, kYellow)) << "repainted at once";
}

TEST_F(BackgroundTest, MediaIsDrawnOverTheBackground) {
  auto show = ShowWithBackground(60, 60, Solid(8, 8, kYellow), TBackgroundMode::bmTiled);
  show->SetCenter(true);
  show->SetAutoSize(false);
  show->SetPicture(Solid(20, 20, kBlue));
  show->SetStyle(0);
  show->Execute();
  EXPECT_TRUE(AllPixels(Window.Screen(), TRect{20, 20, 40, 40}, kBlue));
  EXPECT_TRUE(AllPixels(Window.Screen(), TRect{0, 0, 60, 20}, kYellow));
}

}  // namespace
}  // namespace tovrin::test
