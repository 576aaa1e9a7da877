// Transitions driven by the blocking loop on the virtual clock: frames, pacing, Stop, Manual,
// Reverse, handlers that run in the middle, and errors.
#include <stdexcept>

#include "pic_show_fixture.h"

namespace tovrin::test {
namespace {

std::vector<int> Range(int from, int to, int step) {
  std::vector<int> v;
  for (int p = from; step > 0 ? p <= to : p >= to; p += step) v.push_back(p);
  return v;
}

TEST_F(PicShowTest, NewControlHasTheDocumentedDefaults) {
  TPicShow show(App, Window);
  EXPECT_EQ(show.Progress(), 0);
  EXPECT_FALSE(show.Busy());
  EXPECT_EQ(show.Width(), 100);
  EXPECT_EQ(show.Height(), 100);
  EXPECT_EQ(show.Style(), 51);
  EXPECT_EQ(show.Step(), 4);
  EXPECT_EQ(show.Delay(), 40);
  EXPECT_EQ(show.BgMode(), TBackgroundMode::bmTiled);
  EXPECT_TRUE(show.AutoSize());
  EXPECT_TRUE(show.Threaded());
  EXPECT_FALSE(show.Manual());
  EXPECT_FALSE(show.Reverse());
  EXPECT_FALSE(show.Center());
  EXPECT_FALSE(show.Stretch());
  EXPECT_EQ(show.ThreadPriority(), TThreadPriority::tpNormal);
  EXPECT_TRUE(show.Media().Empty());
  EXPECT_EQ(show.Color(), kGrey) << "ParentColor: the window's colour";
  show.SetStep(0);
  EXPECT_EQ(show.Step(), 1);
  show.SetStep(250);
  EXPECT_EQ(show.Step(), 100);
}

TEST_F(PicShowTest, PictureChangeSizesTheControlAndFiresOnChange) {
  TPicShow show(App, Window);
  int changes = 0;
  show.OnChange = [&](TCustomPicShow& s) {
    ++changes;
    EXPECT_EQ(s.Width(), 64) << "OnChange comes after the size follows the picture";
  };
  show.SetPicture(Solid(64, 48, kBlue));
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(show.Height(), 48);
  show.SetAutoSize(false);
  show.SetPicture(Solid(10, 10, kBlue));
  EXPECT_EQ(show.Width(), 64) << "AutoSize off keeps the size";
  show.SetPicture(nullptr);
  EXPECT_EQ(changes, 3);
  EXPECT_FALSE(show.Picture().HasGraphic());
}

TEST_F(PicShowTest, FirstTransitionComposesTwentyFiveFramesThenCompletesOnce) {
  auto show = MakeShow();
  int frames = 0;
  show->OnAfterNewFrame = [&](TCustomPicShow&, TBitmap&, TBitmap&) { ++frames; };
  show->SetPicture(Solid(40, 30, kBlue));
  show->Execute();
  EXPECT_EQ(Progresses, Range(4, 100, 4));
  EXPECT_EQ(frames, 25);
  EXPECT_EQ(Completes, 1);
  EXPECT_FALSE(show->Busy());
  EXPECT_EQ(show->OldPic(), nullptr);
  EXPECT_EQ(show->NewPic(), nullptr);
  EXPECT_TRUE(AllPixels(show->Media(), show->Media().BoundsRect(), kBlue));
  EXPECT_TRUE(AllPixels(Window.Screen(), TRect{0, 0, 40, 30}, kBlue)) << "the frame is on screen";
}

TEST_F(PicShowTest, SecondTransitionStartsWithAFrameAtZeroFromTheShownPicture) {
  auto show = MakeShow();
  show->SetPicture(Solid(40, 30, kBlue));
  show->Execute();
  Progresses.clear();
  Window.ClearRecord();

  TColor firstOld = 0;
  bool first = true;
  show->OnBeforeNewFrame = [&](TCustomPicShow&, TBitmap&, TBitmap& screen) {
    if (first) firstOld = screen.Pixel(0, 0);
    first = false;
  };
  show->SetPicture(Solid(40, 30, kRed));
  show->Execute();
  std::vector<int> expected = {0};
  for (int p : Range(4, 100, 4)) expected.push_back(p);
  EXPECT_EQ(Progresses, expected);
  EXPECT_EQ(firstOld, kBlue) << "OldPic is the picture shown before";
  ASSERT_FALSE(Window.Invalidations().empty());
  EXPECT_EQ(Window.Invalidations().front().Rect, (TRect{0, 0, 40, 30}))
      << "going down to 0 invalidates the whole of Media first";
  EXPECT_EQ(Completes, 2);
  EXPECT_TRUE(AllPixels(Window.Screen(), TRect{0, 0, 40, 30}, kRed));
}

TEST_F(PicShowTest, EachFrameShowsTheWipeAtItsProgress) {
  auto show = MakeShow();
  show->SetPicture(Solid(50, 10, kBlue));
  show->OnAfterNewFrame = [&](TCustomPicShow& s, TBitmap&, TBitmap& screen) {
    const int32_t x = 50 * s.Progress() / 100;  // MulDiv of a multiple of 2 is exact here
    EXPECT_TRUE(AllPixels(screen, TRect{0, 0, x, 10}, kBlue)) << int(s.Progress());
    EXPECT_TRUE(AllPixels(screen, TRect{x, 0, 50, 10}, kGrey)) << int(s.Progress());
  };
  show->Execute();
  EXPECT_EQ(Completes, 1);
}

TEST_F(PicShowTest, BlockingStepsAreMoreThanDelayApartAndLongFramesFollowAtOnce) {
  auto show = MakeShow();
  show->SetPicture(Solid(20, 20, kBlue));
  show->Execute();
  ASSERT_EQ(Ticks.size(), 25u);
  for (size_t i = 1; i < Ticks.size(); ++i) EXPECT_EQ(Ticks[i] - Ticks[i - 1], 41u) << i;

  // Each pump now takes longer than Delay: the next step follows after one pump.
  Ticks.clear();
  App.SetMsPerPump(55);
  show->SetPicture(Solid(20, 20, kRed));
  show->Execute();
  ASSERT_EQ(Ticks.size(), 26u);
  for (size_t i = 2; i < Ticks.size(); ++i) EXPECT_EQ(Ticks[i] - Ticks[i - 1], 55u) << i;
}

TEST_F(PicShowTest, PacingSurvivesTheTickCountWrapping) {
  auto show = MakeShow();
  App.SetTickCount(0xFFFFFF00u);
  show->SetDelay(0);
  show->SetPicture(Solid(20, 20, kBlue));
  show->Execute();
  ASSERT_EQ(Ticks.size(), 25u);
  for (size_t i = 1; i < Ticks.size(); ++i) EXPECT_EQ(Ticks[i] - Ticks[i - 1], 1u) << i;

  show->SetDelay(40);
  Ticks.clear();
  App.SetTickCount(0xFFFFFFF0u);
  show->SetPicture(Solid(20, 20, kRed));
  show->Execute();
  for (size_t i = 2; i < Ticks.size(); ++i) EXPECT_EQ(Ticks[i] - Ticks[i - 1], 41u) << i;
}

TEST_F(PicShowTest, BlockingLoopWaitsOnTheQueueInsteadOfSpinning) {
  auto show = MakeShow();
  show->SetPicture(Solid(20, 20, kBlue));
  show->Execute();
  // Per step: one ProcessMessages, one WaitMessage, one ProcessMessages.
  EXPECT_LE(App.PumpCount(), 24u * 3u);
}

TEST_F(PicShowTest, MessagesAreServedInTheMiddleOfATransitionAtTheirTime) {
  auto show = MakeShow();
  show->SetPicture(Solid(20, 20, kBlue));
  uint32_t servedAt = 0;
  int progressThen = -1;
  App.PostAt(100, [&] {
    servedAt = App.TickCount();
    progressThen = show->Progress();
  });
  show->Execute();
  EXPECT_EQ(servedAt, 100u) << "served the moment it was due, not at the next step";
  EXPECT_EQ(progressThen, 12) << "steps at 0, 41 and 82 ms";
}

TEST_F(PicShowTest, StopFromAMessageKeepsTheFrameAndFiresNoComplete) {
  auto show = MakeShow();
  show->SetPicture(Solid(50, 10, kBlue));
  App.PostAt(200, [&] {
    show->Stop();
    show->Stop();  // a second Stop does nothing
  });
  show->Execute();
  EXPECT_EQ(Completes, 0);
  EXPECT_FALSE(show->Busy());
  EXPECT_EQ(show->Progress(), 20) << "steps at 0, 41, 82, 123, 164 ms";
  EXPECT_EQ(show->OldPic(), nullptr);
  EXPECT_TRUE(AllPixels(Window.Screen(), TRect{0, 0, 10, 10}, kBlue));
  EXPECT_TRUE(AllPixels(Window.Screen(), TRect{10, 0, 50, 10}, kGrey)) << "partial frame stays";
  show->Stop();
  EXPECT_EQ(show->Progress(), 20);
}

TEST_F(PicShowTest, HandlersMayChangeStepStyleAndDelayDuringTheRun) {
  auto show = MakeShow();
  show->SetPicture(Solid(20, 20, kBlue));
  App.PostAt(50, [&] {
    show->SetStep(30);
    show->SetDelay(100);
  });
  show->Execute();
  EXPECT_EQ(Progresses, (std::vector<int>{4, 8, 38, 68, 98, 100}));
  EXPECT_EQ(Ticks[3] - Ticks[2], 101u);
  EXPECT_EQ(Completes, 1);
}

TEST_F(PicShowTest, ExecuteIsIgnoredWithoutAPictureOrWhileBusy) {
  auto show = MakeShow();
  show->Execute();
  EXPECT_FALSE(show->Busy());
  EXPECT_TRUE(Progresses.empty());
  show->SetPicture(Solid(20, 20, kBlue));
  int nested = 0;
  show->OnProgress = [&](TCustomPicShow& s) {
    s.Execute();  // Busy: ignored
    ++nested;
  };
  show->Execute();
  EXPECT_EQ(nested, 25);
  EXPECT_EQ(Completes, 1);
  show->SetProgress(50);
  EXPECT_EQ(show->Progress(), 100) << "writing Progress while not Busy changes nothing";
}

TEST_F(PicShowTest, ReverseRunsDownToExactlyZero) {
  auto show = MakeShow();
  show->SetReverse(true);
  show->SetStep(30);
  show->SetPicture(Solid(20, 20, kBlue));
  show->Execute();
  EXPECT_EQ(Progresses, (std::vector<int>{100, 70, 40, 10, 0}));
  EXPECT_EQ(Completes, 1);
  EXPECT_TRUE(AllPixels(show->Media(), show->Media().BoundsRect(), kGrey))
      << "a reversed run ends on the outgoing picture";
}

TEST_F(PicShowTest, ManualSetBeforeExecuteLetsTheCallerDriveUntilCleared) {
  auto show = MakeShow();
  show->SetPicture(Solid(20, 20, kBlue));
  show->SetManual(true);
  show->Execute();
  EXPECT_TRUE(show->Busy());
  EXPECT_TRUE(Progresses.empty()) << "first transition: already at 0, no frame";
  show->SetProgress(50);
  show->SetProgress(100);
  show->SetProgress(100);
  EXPECT_EQ(Progresses, (std::vector<int>{50, 100}));
  EXPECT_EQ(Completes, 0) << "writing the end value does not end a manual transition";
  EXPECT_TRUE(show->Busy());
  show->SetManual(false);
  EXPECT_EQ(Completes, 1);
  EXPECT_FALSE(show->Busy());
  EXPECT_EQ(Progresses.size(), 2u) << "already at the end: no further frame";
}

TEST_F(PicShowTest, ManualSetDuringARunPausesItAndClearingResumes) {
  auto show = MakeShow();
  show->SetPicture(Solid(20, 20, kBlue));
  App.PostAt(100, [&] { show->SetManual(true); });
  show->Execute();
  EXPECT_TRUE(show->Busy()) << "Execute returned, transition kept for the caller";
  EXPECT_EQ(show->Progress(), 12);
  EXPECT_EQ(Completes, 0);
  show->SetProgress(60);
  show->SetManual(false);
  EXPECT_EQ(Progresses.back(), 100);
  EXPECT_EQ(Progresses[4], 64) << "resumed from the value the caller set";
  EXPECT_EQ(Completes, 1);
}

TEST_F(PicShowTest, ManualWhileIdleResetsProgressToTheStartOfItsDirection) {
  auto show = MakeShow();
  show->SetReverse(true);
  show->SetManual(true);
  EXPECT_EQ(show->Progress(), 100);
  EXPECT_TRUE(Progresses.empty()) << "no frame";
  show->SetReverse(false);
  show->SetManual(false);
  EXPECT_EQ(show->Progress(), 0);
}

TEST_F(PicShowTest, StopFromTheLastFrameLeavesNoLateComplete) {
  // Regression: the end test used to run FinishTransition again after a handler had stopped the
  // transition on its last frame, firing OnComplete after Stop.
  auto show = MakeShow();
  show->SetPicture(Solid(20, 20, kBlue));
  show->OnProgress = [&](TCustomPicShow& s) {
    if (s.Progress() == 100) s.Stop();
  };
  show->Execute();
  EXPECT_EQ(Completes, 0);
  EXPECT_FALSE(show->Busy());
}

TEST_F(PicShowTest, StopInsideAFrameHookDoesNotPullThePicturesFromUnderIt) {
  auto show = MakeShow();
  show->SetPicture(Solid(20, 20, kBlue));
  show->OnBeforeNewFrame = [&](TCustomPicShow& s, TBitmap&, TBitmap&) {
    if (s.Progress() == 8) s.Stop();
  };
  show->Execute();  // the sanitizer build checks that the frame ran on live pictures
  EXPECT_FALSE(show->Busy());
  EXPECT_EQ(show->Progress(), 8);
  EXPECT_EQ(Completes, 0);
}

TEST_F(PicShowTest, AnErrorWhileSteppingCleansUpAndReachesTheCaller) {
  auto show = MakeShow();
  show->SetPicture(Solid(20, 20, kBlue));
  show->OnProgress = [&](TCustomPicShow& s) {
    if (s.Progress() == 12) throw std::runtime_error("handler failed");
  };
  EXPECT_THROW(show->Execute(), std::runtime_error);
  EXPECT_FALSE(show->Busy());
  EXPECT_EQ(show->OldPic(), nullptr);
  EXPECT_EQ(show->NewPic(), nullptr);
  EXPECT_EQ(Completes, 0);
  EXPECT_TRUE(AllPixels(show->Media(), TRect{0, 0, 2, 20}, kBlue)) << "Media keeps the frame";
  show->OnProgress = nullptr;
  show->Execute();
  EXPECT_EQ(Completes, 1) << "the control works again afterwards";
}

TEST_F(PicShowTest, ClearThenRepaintMakesTheNextTransitionStartFromTheBackground) {
  auto show = MakeShow();
  show->SetPicture(Solid(20, 20, kBlue));
  show->Execute();
  show->Clear();
  EXPECT_TRUE(show->Media().Empty());
  EXPECT_TRUE(AllPixels(Window.Screen(), TRect{0, 0, 20, 20}, kGrey)) << "only the background";

  TColor oldAtStart = 0;
  show->OnBeforeNewFrame = [&](TCustomPicShow& s, TBitmap&, TBitmap& screen) {
    if (s.Progress() == 4) oldAtStart = screen.Pixel(19, 19);
  };
  show->SetPicture(Solid(20, 20, kRed));
  show->Execute();
  EXPECT_EQ(oldAtStart, kGrey);
}

TEST_F(PicShowTest, ClearDoesNothingWhileBusyOrWhileMediaIsLocked) {
  auto show = MakeShow();
  show->SetPicture(Solid(20, 20, kBlue));
  show->OnProgress = [](TCustomPicShow& s) { s.Clear(); };
  show->Execute();
  EXPECT_FALSE(show->Media().Empty());
  show->OnProgress = nullptr;

  show->MediaLock().Lock();
  show->Clear();
  EXPECT_FALSE(show->Media().Empty()) << "held by this very thread: Clear still steps aside";
  show->MediaLock().Unlock();
  show->Clear();
  EXPECT_TRUE(show->Media().Empty());
}

}  // namespace
}  // namespace tovrin::test
