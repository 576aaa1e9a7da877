// The headless window: invalidation record, painting only what is invalid, mouse enter/leave.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/headless/headless_window.h"

namespace tovrin {
namespace {

// A control that paints itself in one colour and logs what it receives.
class SolidControl final : public THostControl {
 public:
  SolidControl(TRect bounds, TColor color) : FBounds(bounds), FColor(color) {}
  TRect BoundsRect() const override { return FBounds; }
  void WMPaint(TCanvas& canvas) override {
    Clips.push_back(canvas.ClipRect());
    TBitmap b(FBounds.Width(), FBounds.Height());
    b.Fill(FColor);
    canvas.Draw(0, 0, b);
  }
  bool WMEraseBkgnd() override { return true; }
  void ParentResized() override { Log.push_back("resized"); }
  void MouseEnter() override { Log.push_back("enter"); }
  void MouseLeave() override { Log.push_back("leave"); }
  void MouseDown(TMouseButton, int32_t x, int32_t y) override {
    Log.push_back("down " + std::to_string(x) + "," + std::to_string(y));
  }
  void MouseMove(int32_t, int32_t) override {}
  void MouseUp(TMouseButton, int32_t, int32_t) override {}

  std::vector<TRect> Clips;
  std::vector<std::string> Log;

 private:
  TRect FBounds;
  TColor FColor;
};

TEST(HeadlessWindowTest, UpdatePaintsOnlyTheInvalidAreaOnce) {
  THeadlessWindow window(100, 50, clBlack);
  SolidControl control(TRect{10, 10, 60, 40}, clWhite);
  window.InsertControl(control);
  window.InvalidateRect(TRect{0, 0, 20, 20}, false);
  window.InvalidateRect(TRect{15, 15, 30, 25}, false);
  EXPECT_EQ(window.Invalidations().size(), 2u);
  EXPECT_EQ(window.InvalidArea(), (TRect{0, 0, 30, 25}));
  window.Update();
  ASSERT_EQ(control.Clips.size(), 1u);
  EXPECT_EQ(control.Clips[0], (TRect{0, 0, 20, 15})) << "control coordinates";
  EXPECT_EQ(window.Screen().Pixel(10, 10), clWhite);
  EXPECT_EQ(window.Screen().Pixel(29, 24), clWhite);
  EXPECT_EQ(window.Screen().Pixel(30, 24), clBlack) << "outside the invalid area";
  EXPECT_EQ(window.Screen().Pixel(5, 5), clBlack) << "outside the control";
  window.Update();
  EXPECT_EQ(control.Clips.size(), 1u) << "nothing is invalid any more";
  window.RemoveControl(control);
}

TEST(HeadlessWindowTest, MouseEnterAndLeaveFollowTheControlUnderTheCursor) {
  THeadlessWindow window(100, 50);
  SolidControl control(TRect{10, 10, 60, 40}, clWhite);
  window.InsertControl(control);
  window.MouseMove(5, 5);
  window.MouseMove(20, 20);
  window.MouseMove(21, 20);
  window.MouseDown(TMouseButton::mbLeft, 30, 15);
  window.MouseMove(70, 20);
  window.SetClientSize(120, 60);
  EXPECT_EQ(control.Log, (std::vector<std::string>{"enter", "down 20,5", "leave", "resized"}));
  EXPECT_EQ(window.ClientWidth(), 120);
  window.RemoveControl(control);
}

}  // namespace
}  // namespace tovrin
