// THostedControls, the control bookkeeping every back end's form window shares: which control
// input reaches (z-order, edges, coordinates), enter and leave, and paints; also when a control's
// own handler changes the list.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/common/hosted_controls.h"

namespace tovrin {
namespace {

class NullCanvas final : public TCanvas {
 public:
  void Draw(int32_t, int32_t, const TBitmap&) override {}
  TRect ClipRect() const override { return TRect{}; }
};

// A control that logs what it receives as "name:event" into a log shared by all of them.
class LogControl final : public THostControl {
 public:
  LogControl(std::string name, TRect bounds, std::vector<std::string>& log)
      : FName(std::move(name)), FBounds(bounds), FLog(log) {}
  TRect BoundsRect() const override { return FBounds; }
  void WMPaint(TCanvas&) override { Add("paint"); }
  bool WMEraseBkgnd() override {
    Add("erase");
    return true;
  }
  void ParentResized() override { Add("resized"); }
  void MouseEnter() override {
    Add("enter");
    if (OnEnter) OnEnter();
  }
  void MouseLeave() override {
    Add("leave");
    if (OnLeave) OnLeave();
  }
  void MouseDown(TMouseButton, int32_t x, int32_t y) override { Add("down", x, y); }
  void MouseMove(int32_t x, int32_t y) override { Add("move", x, y); }
  void MouseUp(TMouseButton, int32_t x, int32_t y) override { Add("up", x, y); }

  std::function<void()> OnEnter;
  std::function<void()> OnLeave;

 private:
  void Add(const std::string& event) { FLog.push_back(FName + ":" + event); }
  void Add(const std::string& event, int32_t x, int32_t y) {
    Add(event + " " + std::to_string(x) + "," + std::to_string(y));
  }
  std::string FName;
  TRect FBounds;
  std::vector<std::string>& FLog;
};

class HostedControlsTest : public ::testing::Test {
 protected:
  // A control called name at bounds, inserted on top of the others.
  LogControl& Add(const std::string& name, TRect bounds) {
    FOwned.push_back(std::make_unique<LogControl>(name, bounds, Log));
    Controls.Insert(*FOwned.back());
    return *FOwned.back();
  }

  std::vector<std::string> Log;
  THostedControls Controls;

 private:
  std::vector<std::unique_ptr<LogControl>> FOwned;
};

TEST_F(HostedControlsTest, InputReachesTheTopmostControlUnderThePointInItsCoordinates) {
  LogControl& below = Add("below", TRect{0, 0, 50, 50});
  LogControl& above = Add("above", TRect{40, 40, 80, 80});
  Controls.Insert(below);  // already there: stays below
  struct Case {
    int32_t X, Y;
    THostControl* Receiver;  // nullptr: the window's own
    const char* Expected;
  };
  const Case cases[] = {
      {45, 45, &above, "above:down 5,5"},  // the overlap goes to the control on top
      {39, 39, &below, "below:down 39,39"},
      {49, 10, &below, "below:down 49,10"},  // last column inside
      {50, 10, nullptr, ""},                 // the right edge lies outside
      {79, 79, &above, "above:down 39,39"},
      {80, 79, nullptr, ""},
      {-1, 0, nullptr, ""},
  };
  for (const Case& c : cases) {
    Log.clear();
    EXPECT_EQ(Controls.ControlAt(c.X, c.Y), c.Receiver) << c.X << "," << c.Y;
    EXPECT_EQ(Controls.MouseDown(TMouseButton::mbLeft, c.X, c.Y), c.Receiver != nullptr)
        << c.X << "," << c.Y;
    const std::vector<std::string> expected =
        c.Receiver ? std::vector<std::string>{c.Expected} : std::vector<std::string>{};
    EXPECT_EQ(Log, expected) << c.X << "," << c.Y;
  }
  Log.clear();
  EXPECT_TRUE(Controls.MouseUp(TMouseButton::mbLeft, 60, 41));
  EXPECT_FALSE(Controls.MouseUp(TMouseButton::mbLeft, 90, 90));
  EXPECT_EQ(Log, std::vector<std::string>{"above:up 20,1"});
}

TEST_F(HostedControlsTest, EnterAndLeaveFollowThePointerAndSurviveHandlersThatChangeTheList) {
  LogControl& a = Add("a", TRect{0, 0, 10, 10});
  LogControl& b = Add("b", TRect{10, 0, 20, 10});

  EXPECT_FALSE(Controls.MouseMove(30, 5));
  EXPECT_TRUE(Controls.MouseMove(2, 3));
  EXPECT_TRUE(Controls.MouseMove(15, 3));
  Controls.MouseLeft();
  Controls.MouseLeft();  // nothing is under the pointer any more
  EXPECT_EQ(Log, (std::vector<std::string>{"a:enter", "a:move 2,3", "a:leave", "b:enter",
                                           "b:move 5,3", "b:leave"}));

  // A removed control hears nothing more, not even the leave of a pointer that was over it.
  Log.clear();
  Controls.MouseMove(2, 3);
  Controls.Remove(a);
  Controls.MouseLeft();
  Controls.MouseMove(15, 3);
  EXPECT_EQ(Log, (std::vector<std::string>{"a:enter", "a:move 2,3", "b:enter", "b:move 5,3"}));

  // A leave handler that takes the control being entered out of the list: that control must
  // not stay recorded as the one under the pointer (it would get a leave once removed, or after
  // it is gone). The headless and Linux windows recorded it only after the leave handler had
  // run, and sent the removed control that leave. The pointer is over b here.
  Log.clear();
  Controls.Insert(a);
  b.OnLeave = [&] { Controls.Remove(a); };
  Controls.MouseMove(2, 3);
  b.OnLeave = nullptr;
  Controls.MouseLeft();
  EXPECT_EQ(Log, (std::vector<std::string>{"b:leave", "a:enter", "a:move 2,3"}));
}

TEST_F(HostedControlsTest, PaintsAndResizesReachEveryControlEvenWhenOneRemovesItself) {
  LogControl& a = Add("a", TRect{0, 0, 10, 10});
  Add("b", TRect{10, 0, 20, 10});
  Add("c", TRect{0, 20, 10, 30});
  NullCanvas canvas;
  std::vector<std::pair<TRect, TRect>> views;
  const auto canvasFor = [&](const TRect& bounds, const TRect& clip) -> TCanvas& {
    views.emplace_back(bounds, clip);
    return canvas;
  };
  // a removes itself while painting: b is still painted, c lies outside the update.
  Controls.Paint(TRect{5, 5, 15, 15}, true,
                 [&](const TRect& bounds, const TRect& clip) -> TCanvas& {
                   if (bounds == a.BoundsRect()) Controls.Remove(a);
                   return canvasFor(bounds, clip);
                 });
  EXPECT_EQ(Log, (std::vector<std::string>{"a:erase", "a:paint", "b:erase", "b:paint"}));
  ASSERT_EQ(views.size(), 2u);
  EXPECT_EQ(views[0], std::make_pair(TRect{0, 0, 10, 10}, TRect{5, 5, 10, 10}));
  EXPECT_EQ(views[1], std::make_pair(TRect{10, 0, 20, 10}, TRect{10, 5, 15, 10}));

  Log.clear();
  Controls.Paint(TRect{0, 0, 40, 40}, false, canvasFor);
  Controls.ParentResized();
  EXPECT_EQ(Log, (std::vector<std::string>{"b:paint", "c:paint", "b:resized", "c:resized"}));
}

}  // namespace
}  // namespace tovrin
