// Transitions driven by the worker thread: pacing on the virtual clock, Stop, Manual, errors,
// and a control destroyed while its worker runs. Run under the sanitizer and thread sanitizer
// builds as well.
#include <stdexcept>

#include "pic_show_fixture.h"
#include "picshow/animate_thread.h"

namespace tovrin::test {
namespace {

class ThreadedTest : public PicShowTest {
 protected:
  std::unique_ptr<TPicShow> MakeThreadedShow() {
    auto show = MakeShow();
    show->SetThreaded(true);
    show->SetPicture(Solid(30, 20, kBlue));
    return show;
  }
  // The main thread's message loop while the transition runs.
  void PumpWhileBusy(TPicShow& show) {
    while (show.Busy()) App.HandleMessage();
  }
};

TEST_F(ThreadedTest, ExecuteReturnsAtOnceAndTheWorkerStepsToTheEnd) {
  auto show = MakeThreadedShow();
  int frames = 0;
  show->OnAfterNewFrame = [&](TCustomPicShow& s, TBitmap&, TBitmap&) {
    EXPECT_TRUE(s.Application().IsMainThread()) << "frames are composed in the main thread";
    ++frames;
  };
  show->Execute();
  EXPECT_TRUE(show->Busy());
  EXPECT_NE(show->Thread(), nullptr);
  PumpWhileBusy(*show);
  EXPECT_EQ(frames, 25);
  EXPECT_EQ(Completes, 1);
  EXPECT_EQ(show->Thread(), nullptr);
  EXPECT_TRUE(AllPixels(Window.Screen(), TRect{0, 0, 30, 20}, kBlue));
}

TEST_F(ThreadedTest, TheWorkerSleepsWhatIsLeftOfDelay) {
  App.SetMsPerPump(15);
  auto show = MakeThreadedShow();
  show->Execute();
  PumpWhileBusy(*show);
  // Each step costs one pump (15 ms) of the main thread; no sleep after the last.
  EXPECT_EQ(App.Sleeps(), std::vector<uint32_t>(24, 25u));
  for (size_t i = 1; i < Ticks.size(); ++i) EXPECT_EQ(Ticks[i] - Ticks[i - 1], 40u) << i;

  App.SetMsPerPump(60);
  show->SetPicture(Solid(30, 20, kRed));
  show->Execute();
  PumpWhileBusy(*show);
  EXPECT_EQ(App.Sleeps().size(), 24u) << "frames longer than Delay follow at once";
  EXPECT_EQ(Completes, 2);
}

TEST_F(ThreadedTest, StopWaitsForTheWorkerAndFiresNoComplete) {
  auto show = MakeThreadedShow();
  show->Execute();
  while (show->Progress() < 20) App.HandleMessage();
  show->Stop();
  EXPECT_FALSE(show->Busy());
  EXPECT_EQ(show->Thread(), nullptr);
  EXPECT_EQ(Completes, 0);
  const int reached = show->Progress();
  EXPECT_GE(reached, 20);
  EXPECT_LT(reached, 100);
  App.ProcessMessages();
  EXPECT_EQ(show->Progress(), reached) << "no step after Stop";
}

TEST_F(ThreadedTest, StopFromInsideTheWorkersOwnStepDoesNotDeadlock) {
  auto show = MakeThreadedShow();
  show->OnProgress = [&](TCustomPicShow& s) {
    Progresses.push_back(s.Progress());
    if (s.Progress() == 12) s.Stop();
  };
  show->Execute();
  PumpWhileBusy(*show);
  EXPECT_EQ(show->Progress(), 12);
  EXPECT_EQ(Completes, 0);
  show.reset();  // joins the worker that was let go
  EXPECT_EQ(Completes, 0);
}

TEST_F(ThreadedTest, ManualSetDuringARunKeepsItBusyAndClearingRestartsTheWorker) {
  auto show = MakeThreadedShow();
  show->OnProgress = [&](TCustomPicShow& s) {
    Progresses.push_back(s.Progress());
    if (s.Progress() == 16) s.SetManual(true);
  };
  show->Execute();
  while (show->Thread() != nullptr) App.HandleMessage();
  EXPECT_TRUE(show->Busy());
  EXPECT_EQ(show->Progress(), 16);
  EXPECT_EQ(Completes, 0);
  show->SetProgress(50);
  show->SetManual(false);
  EXPECT_NE(show->Thread(), nullptr);
  PumpWhileBusy(*show);
  EXPECT_EQ(Completes, 1);
  EXPECT_EQ(Progresses[4], 50);
  EXPECT_EQ(Progresses[5], 54);
}

TEST_F(ThreadedTest, ManualSetAndClearedAtOnceLeavesOneWorkerStepping) {
  auto show = MakeThreadedShow();
  show->OnProgress = [&](TCustomPicShow& s) {
    Progresses.push_back(s.Progress());
    if (s.Progress() == 8) {
      s.SetManual(true);
      s.SetManual(false);
    }
  };
  show->Execute();
  PumpWhileBusy(*show);
  EXPECT_EQ(Completes, 1);
  // Strictly rising: no step was taken twice by two workers.
  for (size_t i = 1; i < Progresses.size(); ++i) EXPECT_GT(Progresses[i], Progresses[i - 1]);
  EXPECT_EQ(Progresses.back(), 100);
}

TEST_F(ThreadedTest, AStepErrorEndsTheWorkerAndTheTransitionCompletes) {
  auto show = MakeThreadedShow();
  show->OnProgress = [&](TCustomPicShow& s) {
    if (s.Progress() == 8) throw std::runtime_error("step failed");
  };
  show->Execute();
  PumpWhileBusy(*show);
  EXPECT_EQ(show->Progress(), 8);
  EXPECT_EQ(Completes, 1) << "the end handler runs as after a normal end";
}

TEST_F(ThreadedTest, ANewTransitionMayStartFromOnComplete) {
  auto show = MakeThreadedShow();
  int runs = 0;
  show->OnComplete = [&](TCustomPicShow& s) {
    if (++runs == 1) {
      s.SetPicture(Solid(30, 20, kRed));
      s.Execute();
    }
  };
  show->Execute();
  while (runs < 2) App.HandleMessage();
  EXPECT_FALSE(show->Busy());
  EXPECT_TRUE(AllPixels(Window.Screen(), TRect{0, 0, 30, 20}, kRed));
}

TEST_F(ThreadedTest, DestroyingTheControlWhileItsWorkerRunsFiresNothingAndEnds) {
  for (int round = 0; round < 200; ++round) {
    auto show = MakeThreadedShow();
    bool destroying = false;
    show->OnProgress = [&](TCustomPicShow&) { EXPECT_FALSE(destroying); };
    show->OnComplete = [&](TCustomPicShow&) { EXPECT_FALSE(destroying); };
    show->OnAfterNewFrame = [&](TCustomPicShow&, TBitmap&, TBitmap&) { EXPECT_FALSE(destroying); };
    show->Execute();
    for (int i = 0; i < round % 7; ++i) App.HandleMessage();
    destroying = true;
    show.reset();
  }
}

TEST_F(ThreadedTest, DestroyingOnTheRealClockWhileTheWorkerSleeps) {
  THeadlessApplication app(THeadlessApplication::TClockKind::ckReal);
  THeadlessWindow window(64, 64);
  for (int round = 0; round < 20; ++round) {
    auto show = std::make_unique<TPicShow>(app, window);
    show->SetStyle(5);
    show->SetDelay(5);
    show->SetPicture(Solid(16, 16, kBlue));
    int completes = 0;
    show->OnComplete = [&](TCustomPicShow&) { ++completes; };
    show->Execute();
    const uint32_t start = app.TickCount();
    while (app.TickCount() - start < static_cast<uint32_t>(round % 4) * 10) {
      app.WaitMessage(5);
      app.ProcessMessages();
    }
    show.reset();
    EXPECT_EQ(completes, 0);
  }
}

}  // namespace
}  // namespace tovrin::test
