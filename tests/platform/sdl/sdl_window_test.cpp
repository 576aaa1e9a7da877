// The show's window on a real X server (Xvfb): it covers the screen, only invalid rectangles
// reach the display, input reaches the form and its controls, a hosted window draws into the
// host's window without taking its input, and another program's window serves as a preview.
#include <gtest/gtest.h>
#include <xcb/xcb.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "form_event_log.h"
#include "platform/sdl/sdl_application.h"
#include "platform/sdl/sdl_form_window.h"
#include "platform/sdl/sdl_video.h"
#include "platform/sdl/x11_connection.h"
#include "platform/sdl/x11_preview_host.h"
#include "x11_probe.h"
#include "xvfb_display.h"

namespace tovrin {
namespace {

constexpr int ScreenW = 320;
constexpr int ScreenH = 240;

// A control covering its bounds with one colour, recording what reaches it.
class ColorControl final : public THostControl {
 public:
  ColorControl(TRect bounds, TColor color) : Color(color), FBounds(bounds) {}
  TRect BoundsRect() const override { return FBounds; }
  void WMPaint(TCanvas& canvas) override {
    ++Paints;
    TBitmap b(FBounds.Width(), FBounds.Height());
    b.Fill(Color);
    canvas.Draw(0, 0, b);
  }
  bool WMEraseBkgnd() override { return true; }
  void ParentResized() override { ++Resizes; }
  void MouseEnter() override { Log.push_back("enter"); }
  void MouseLeave() override { Log.push_back("leave"); }
  void MouseDown(TMouseButton b, int32_t x, int32_t y) override {
    Log.push_back("down " + std::to_string(static_cast<int>(b)) + " " + std::to_string(x) + "," +
                  std::to_string(y));
  }
  void MouseMove(int32_t x, int32_t y) override {
    Log.push_back("move " + std::to_string(x) + "," + std::to_string(y));
  }
  void MouseUp(TMouseButton, int32_t, int32_t) override {}

  TColor Color;
  int Paints = 0;
  int Resizes = 0;
  std::vector<std::string> Log;

 private:
  TRect FBounds;
};

class SdlWindowTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { Display = new TXvfbDisplay(ScreenW, ScreenH); }
  static void TearDownTestSuite() {
    delete Display;
    Display = nullptr;
  }
  void SetUp() override {
    if (!Display->Ok()) GTEST_SKIP() << "Xvfb could not start";
  }
  // Runs the loop until done() or ms have passed; returns done().
  static bool PumpUntil(TSdlApplication& app, const std::function<bool()>& done, int ms = 2000) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (!done() && std::chrono::steady_clock::now() < end) {
      app.WaitMessage(20);
      app.ProcessMessages();
    }
    return done();
  }
  static bool Has(const std::vector<std::string>& log, const std::string& entry) {
    return std::find(log.begin(), log.end(), entry) != log.end();
  }
  static int Run(const std::string& command) { return std::system(command.c_str()); }

  static TXvfbDisplay* Display;
};

TXvfbDisplay* SdlWindowTest::Display = nullptr;

TEST_F(SdlWindowTest, CoversTheScreenAndSendsOnlyTheInvalidRectangles) {
  TSdlApplication app;
  TSdlVideo video(app);
  testing::TFormEventLog form;
  TSdlFormWindow window(video, app, form);
  ColorControl control(TRect{0, 0, ScreenW, ScreenH}, RGB(200, 30, 40));
  window.InsertControl(control);
  window.SetColor(clBlack);
  window.SetBounds(0, 0, ScreenW, ScreenH);
  EXPECT_EQ(window.ClientWidth(), ScreenW);
  EXPECT_EQ(control.Resizes, 1);
  window.SetVisible(true);
  EXPECT_EQ(form.Log, (std::vector<std::string>{"show", "activate"}));
  PumpUntil(
      app, [] { return false; }, 200);

  TX11Probe screen;
  for (const auto& [x, y] : {std::pair{0, 0}, {ScreenW - 1, ScreenH - 1}, {160, 120}}) {
    EXPECT_EQ(screen.Pixel(screen.Root(), x, y), RGB(200, 30, 40)) << x << "," << y;
  }
  // The control changes colour everywhere, but only two small rectangles are invalid: the rest
  // of the screen must keep the old picture.
  control.Color = RGB(10, 220, 90);
  const uint64_t before = window.PresentedPixels();
  window.InvalidateRect(TRect{10, 10, 30, 20}, false);
  window.InvalidateRect(TRect{300, 200, 310, 240}, false);
  window.Update();
  EXPECT_EQ(window.PresentedPixels() - before, 20u * 10u + 10u * 40u);
  EXPECT_EQ(screen.Pixel(screen.Root(), 10, 10), RGB(10, 220, 90));
  EXPECT_EQ(screen.Pixel(screen.Root(), 309, 239), RGB(10, 220, 90));
  EXPECT_EQ(screen.Pixel(screen.Root(), 30, 10), RGB(200, 30, 40)) << "right of the first rect";
  EXPECT_EQ(screen.Pixel(screen.Root(), 160, 120), RGB(200, 30, 40));
  const int paints = control.Paints;
  window.Update();
  EXPECT_EQ(control.Paints, paints) << "nothing invalid, nothing painted";
  window.RemoveControl(control);
}

TEST_F(SdlWindowTest, AppearsOnlyAfterItsActivationPlacedItAndPaintsWithoutBeingAsked) {
  // As the show's window: made at a design-time place and colour, placed over the screen and
  // coloured by its first activation. Nothing of the design-time window may reach the screen,
  // and the screen shows the activated colour at once, before any paint.
  TSdlApplication app;
  TSdlVideo video(app);
  testing::TFormEventLog form;
  TSdlFormWindow window(video, app, form);
  ColorControl control(TRect{0, 0, ScreenW, ScreenH}, RGB(200, 30, 40));
  window.InsertControl(control);
  window.SetColor(clBtnFace);
  window.SetBounds(100, 80, 60, 40);
  bool shownAtActivation = true;
  form.OnActivate = [&] {
    shownAtActivation = (SDL_GetWindowFlags(window.Window()) & SDL_WINDOW_SHOWN) != 0;
    window.SetColor(RGB(0, 0, 250));
    window.SetBounds(0, 0, ScreenW, ScreenH);
  };
  window.SetVisible(true);
  EXPECT_FALSE(shownAtActivation) << "on the screen before its activation";
  EXPECT_EQ(control.Paints, 0) << "painted before anything asked";
  TX11Probe screen;
  for (const auto& [x, y] : {std::pair{0, 0}, {ScreenW - 1, ScreenH - 1}, {120, 90}}) {
    EXPECT_EQ(screen.Pixel(screen.Root(), x, y), RGB(0, 0, 250)) << x << "," << y;
  }
  // Left alone, it paints itself soon.
  EXPECT_TRUE(PumpUntil(app, [&] {
    return screen.Pixel(screen.Root(), 160, 120) == RGB(200, 30, 40);
  })) << "never painted";
  EXPECT_EQ(control.Paints, 1);
  window.RemoveControl(control);
}

TEST_F(SdlWindowTest, KeysClicksAndMovesReachTheFormAndItsControl) {
  TSdlApplication app;
  TSdlVideo video(app);
  testing::TFormEventLog form;
  TSdlFormWindow window(video, app, form);
  ColorControl control(TRect{0, 0, 160, ScreenH}, clWhite);  // the left half
  window.InsertControl(control);
  window.SetBounds(0, 0, ScreenW, ScreenH);
  window.SetVisible(true);
  PumpUntil(
      app, [] { return false; }, 200);

  ASSERT_EQ(Run("xdotool mousemove 250 100 key x"), 0);
  EXPECT_TRUE(PumpUntil(app, [&] { return Has(form.Log, "key 88"); })) << "x is key 'X'";
  EXPECT_TRUE(Has(form.Log, "move 250,100")) << "over the form itself";
  ASSERT_EQ(Run("xdotool mousemove 40 50 click 3"), 0);
  EXPECT_TRUE(PumpUntil(app, [&] { return Has(control.Log, "down 1 40,50"); }));
  EXPECT_TRUE(Has(control.Log, "enter"));
  ASSERT_EQ(Run("xdotool mousemove 200 50 click 1"), 0);
  EXPECT_TRUE(PumpUntil(app, [&] { return Has(form.Log, "down 0 200,50"); }));
  EXPECT_TRUE(Has(control.Log, "leave"));
  window.Close();
  EXPECT_TRUE(PumpUntil(app, [&] { return Has(form.Log, "close"); }));
  window.RemoveControl(control);
}

TEST_F(SdlWindowTest, AHostedWindowShowsTheFrameAtTheHostsSizeAndLeavesInputToTheHost) {
  TX11Probe x;
  const uint32_t host = x.CreateWindow(40, 30, 200, 150);
  TSdlApplication app;
  TSdlVideo video(app);
  testing::TFormEventLog form;
  TSdlFormWindow window(video, app, form, host);
  EXPECT_TRUE(window.Hosted());
  EXPECT_EQ(window.ClientWidth(), 200);
  EXPECT_EQ(window.ClientHeight(), 150);
  ColorControl control(TRect{0, 0, 200, 150}, RGB(250, 200, 0));
  window.InsertControl(control);
  window.SetBounds(0, 0, ScreenW, ScreenH);  // the host's size stays
  EXPECT_EQ(window.ClientWidth(), 200);
  window.SetVisible(true);
  EXPECT_EQ(x.Pixel(host, 0, 0), RGB(250, 200, 0));
  EXPECT_EQ(x.Pixel(host, 199, 149), RGB(250, 200, 0));
  EXPECT_EQ(x.Pixel(x.Root(), 39, 29), clBlack) << "nothing outside the host";
  // Another window covers the host and goes: the uncovered part gets the picture back.
  x.Destroy(x.CreateWindow(60, 50, 100, 80));
  EXPECT_TRUE(PumpUntil(app, [&] { return x.Pixel(host, 50, 40) == RGB(250, 200, 0); }))
      << "repainted after being uncovered";
  ASSERT_EQ(Run("xdotool mousemove 100 100 click 1 key a"), 0);
  PumpUntil(
      app, [] { return false; }, 300);
  EXPECT_EQ(form.Log, (std::vector<std::string>{"show", "activate"})) << "no input of ours";
  EXPECT_TRUE(control.Log.empty());
  window.RemoveControl(control);
}

TEST_F(SdlWindowTest, APreviewHostDrawsIntoAnotherProgramsWindowUntilItGoes) {
  TX11Probe x;
  const uint32_t host = x.CreateWindow(50, 60, 152, 112);
  TX11Connection connection;
  TX11PreviewHost preview(connection, host);
  EXPECT_TRUE(preview.Exists());
  EXPECT_TRUE(preview.IsVisible());
  EXPECT_EQ(preview.WindowRect(), (TRect{50, 60, 202, 172}));
  TBitmap picture(153, 113);
  for (int py = 0; py < 113; ++py) {
    for (int px = 0; px < 153; ++px) picture.SetPixel(px, py, RGB(px, py, 77));
  }
  preview.Draw(0, 0, picture);
  EXPECT_EQ(x.Pixel(host, 0, 0), RGB(0, 0, 77));
  EXPECT_EQ(x.Pixel(host, 151, 111), RGB(151, 111, 77));
  x.Unmap(host);
  EXPECT_TRUE(preview.Exists());
  EXPECT_FALSE(preview.IsVisible());
  x.Destroy(host);
  EXPECT_FALSE(preview.Exists());
  preview.Draw(0, 0, picture);  // a window that has gone: nothing happens, nothing ends
  EXPECT_EQ(connection.WindowState(host).ScreenRect, TRect{});
}

}  // namespace
}  // namespace tovrin
