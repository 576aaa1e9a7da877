// The Linux back end on a desk of two monitors: one 1440 x 600 screen of an Xvfb of each test's
// own, split with xrandr into 800 x 600 at (0, 0) and 640 x 600 at (800, 0), as desktops split
// one output. The monitors are read and followed through XCB, and the show's windows land on
// them, the first keeping the keyboard and the cursor hidden over both.
#include <gtest/gtest.h>
#include <xcb/xcb.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "form_event_log.h"
#include "monitor_printer.h"
#include "platform/sdl/sdl_application.h"
#include "platform/sdl/sdl_form_window.h"
#include "platform/sdl/sdl_screen.h"
#include "platform/sdl/sdl_video.h"
#include "platform/sdl/x11_connection.h"
#include "platform/sdl/x11_monitor_watch.h"
#include "x11_cursor_probe.h"
#include "x11_probe.h"
#include "xvfb_display.h"

namespace tovrin {
namespace {

constexpr TRect Whole{0, 0, 1440, 600};
constexpr TRect Left{0, 0, 800, 600};
constexpr TRect Right{800, 0, 1440, 600};

std::vector<TMonitor> Monitors(std::initializer_list<TRect> rects) {
  std::vector<TMonitor> monitors;
  for (const TRect& r : rects) monitors.push_back(TMonitor{r});
  return monitors;
}

int Shell(const std::string& command) {
  return std::system(command.c_str());
}

// The left monitor takes Xvfb's one output (which then has no monitor of its own); the right
// one has none. One xrandr call: the server gets both requests at once.
bool SplitScreen() {
  return Shell(
             "xrandr --setmonitor L 800/211x600/158+0+0 screen "
             "--setmonitor R 640/169x600/158+800+0 none") == 0;
}

// Sets the right monitor again (a monitor cannot be set over itself), primary with "*".
bool ResetRight(const std::string& prefix = "") {
  return Shell("xrandr --delmonitor R --setmonitor '" + prefix + "R' 640/169x600/158+800+0 none") ==
         0;
}

// Runs the loop until done() or ms have passed; returns done().
bool PumpUntil(TSdlApplication& app, const std::function<bool()>& done, int ms = 3000) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  while (!done() && std::chrono::steady_clock::now() < end) {
    app.WaitMessage(20);
    app.ProcessMessages();
  }
  return done();
}

void Pump(TSdlApplication& app, int ms) {
  PumpUntil(
      app, [] { return false; }, ms);
}

class SdlMonitorsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // A server per test: a split made by one test must not reach the next.
    FDisplay = std::make_unique<TXvfbDisplay>(Whole.Width(), Whole.Height());
    if (!FDisplay->Ok()) GTEST_SKIP() << "Xvfb could not start";
  }
  std::unique_ptr<TXvfbDisplay> FDisplay;
};

TEST_F(SdlMonitorsTest, TheConnectionReadsTheMonitorsXrandrSetsUp) {
  TX11Connection x11;
  EXPECT_EQ(x11.Monitors(), Monitors({Whole})) << "one output, one monitor";
  ASSERT_TRUE(SplitScreen());
  EXPECT_EQ(x11.Monitors(), Monitors({Left, Right}));
  ASSERT_TRUE(ResetRight("*"));
  EXPECT_EQ(x11.Monitors(), Monitors({Right, Left})) << "the primary monitor first";
}

TEST_F(SdlMonitorsTest, TheScreenIsTheDesksMonitorsOrTheHostsWindow) {
  ASSERT_TRUE(SplitScreen());
  ASSERT_TRUE(ResetRight("*"));
  TSdlApplication app;
  TSdlVideo video(app);
  TX11Connection x11;
  TSdlScreen screen(
      app, video, [&]() -> TX11Connection& { return x11; }, 0);
  EXPECT_EQ(screen.Monitors(), Monitors({Right, Left}));
  EXPECT_EQ(screen.Width(), 640) << "the primary monitor's size";
  EXPECT_EQ(screen.Height(), 600);

  TX11Probe probe;
  const uint32_t host = probe.CreateWindow(100, 50, 300, 200);
  TSdlScreen hosted(
      app, video, [&]() -> TX11Connection& { return x11; }, host);
  EXPECT_EQ(hosted.Monitors(), Monitors({TRect{0, 0, 300, 200}})) << "the host's window alone";
  int notified = 0;
  hosted.SetOnMonitorsChanged([&] { ++notified; });
  ASSERT_EQ(Shell("xrandr --delmonitor R"), 0);
  Pump(app, 3 * TX11MonitorWatch::SettleMs);
  EXPECT_EQ(notified, 0) << "the host follows the monitors, not the hosted show";
}

TEST_F(SdlMonitorsTest, AChangeIsNotifiedOnceAndAQuietDeskWakesNothing) {
  TSdlApplication app;
  TX11Connection x11;
  int notified = 0;
  std::vector<TMonitor> seen;
  TX11MonitorWatch watch(app, x11, [&] {
    ++notified;
    seen = x11.Monitors();
  });
  EXPECT_EQ(watch.Monitors(), Monitors({Whole}));

  const uint64_t waits = app.WaitCount();
  EXPECT_FALSE(app.WaitMessage(500));
  EXPECT_LE(app.WaitCount() - waits, 2u) << "a desk that does not change wakes the loop";

  // Two monitors set in one burst: one notification, the final layout.
  ASSERT_TRUE(SplitScreen());
  EXPECT_TRUE(PumpUntil(app, [&] { return notified > 0; }));
  Pump(app, 3 * TX11MonitorWatch::SettleMs);
  EXPECT_EQ(notified, 1);
  EXPECT_EQ(seen, Monitors({Left, Right}));
  EXPECT_EQ(watch.Monitors(), Monitors({Left, Right}));

  // A monitor deleted and set again as it was, in one burst: events, but no change.
  ASSERT_TRUE(ResetRight());
  Pump(app, 3 * TX11MonitorWatch::SettleMs);
  EXPECT_EQ(notified, 1) << "nothing changed";

  // A monitor goes (unplugged).
  ASSERT_EQ(Shell("xrandr --delmonitor R"), 0);
  EXPECT_TRUE(PumpUntil(app, [&] { return notified == 2; }));
  EXPECT_EQ(watch.Monitors(), Monitors({Left}));
}

TEST_F(SdlMonitorsTest, TheScreenStopsNotifyingWhenTheHandlerIsCleared) {
  TSdlApplication app;
  TSdlVideo video(app);
  TX11Connection x11;
  TSdlScreen screen(
      app, video, [&]() -> TX11Connection& { return x11; }, 0);
  int notified = 0;
  screen.SetOnMonitorsChanged([&] { ++notified; });
  ASSERT_TRUE(SplitScreen());
  EXPECT_TRUE(PumpUntil(app, [&] { return notified == 1; }));
  EXPECT_EQ(screen.Monitors(), Monitors({Left, Right}));
  screen.SetOnMonitorsChanged(nullptr);
  ASSERT_EQ(Shell("xrandr --delmonitor R"), 0);
  Pump(app, 3 * TX11MonitorWatch::SettleMs);
  EXPECT_EQ(notified, 1);
  EXPECT_EQ(screen.Monitors(), Monitors({Left})) << "read afresh once no watch holds them";
}

TEST_F(SdlMonitorsTest, AWindowLandsExactlyOnTheRectangleItIsGiven) {
  // X monitors start at 0, 0 or beyond; other desks put monitors left of or above the primary
  // one, at negative coordinates. A window moved after it appeared lands where it is told too.
  const TRect cases[] = {Right, Left, TRect{-100, -50, 300, 250}, TRect{1000, 300, 1440, 600},
                         TRect{0, 0, 1440, 600}};
  TSdlApplication app;
  TSdlVideo video(app);
  testing::TFormEventLog form;
  TSdlFormWindow window(video, app, form);
  window.SetColor(clBlack);
  TX11Probe probe;
  bool shown = false;
  for (const TRect& r : cases) {
    window.SetBounds(r.Left, r.Top, r.Width(), r.Height());
    if (!shown) window.SetVisible(true);
    shown = true;
    Pump(app, 50);
    EXPECT_EQ(probe.ScreenPosition(static_cast<uint32_t>(window.Handle())),
              (std::pair<int, int>{r.Left, r.Top}))
        << r.Left << "," << r.Top;
    std::unique_ptr<xcb_get_geometry_reply_t, decltype(&std::free)> geometry(
        xcb_get_geometry_reply(
            probe.Connection(),
            xcb_get_geometry(probe.Connection(), static_cast<xcb_window_t>(window.Handle())),
            nullptr),
        &std::free);
    ASSERT_TRUE(geometry);
    EXPECT_EQ(geometry->width, r.Width()) << r.Left << "," << r.Top;
    EXPECT_EQ(geometry->height, r.Height()) << r.Left << "," << r.Top;
    EXPECT_EQ(window.ClientWidth(), r.Width());
    EXPECT_EQ(window.ClientHeight(), r.Height());
  }
}

TEST_F(SdlMonitorsTest, WindowsLandOnTheirMonitorsAndTheFirstKeepsTheKeyboard) {
  ASSERT_TRUE(SplitScreen());
  TSdlApplication app;
  TSdlVideo video(app);
  TX11Connection x11;
  TSdlScreen screen(
      app, video, [&]() -> TX11Connection& { return x11; }, 0);
  const std::vector<TMonitor> monitors = screen.Monitors();
  ASSERT_EQ(monitors, Monitors({Left, Right}));
  ASSERT_EQ(Shell("xdotool mousemove 400 300"), 0);

  // As the show does it: its own window first, covering the primary monitor, the cursor hidden;
  // then a window on the other monitor.
  testing::TFormEventLog firstForm;
  TSdlFormWindow first(video, app, firstForm);
  first.SetColor(RGB(220, 30, 30));
  first.SetBounds(Left.Left, Left.Top, Left.Width(), Left.Height());
  first.SetVisible(true);
  screen.ShowCursor(false);
  testing::TFormEventLog secondForm;
  TSdlFormWindow second(video, app, secondForm);
  second.SetTakesFocus(false);
  second.SetBounds(Right.Left, Right.Top, Right.Width(), Right.Height());
  second.SetColor(RGB(30, 200, 60));
  second.SetTopmost();
  second.SetVisible(true);
  Pump(app, 200);

  TX11Probe probe;
  EXPECT_EQ(probe.ScreenPosition(static_cast<uint32_t>(second.Handle())),
            (std::pair<int, int>{800, 0}));
  for (const auto& [x, y, color] : {std::tuple{0, 0, RGB(220, 30, 30)},
                                    {799, 599, RGB(220, 30, 30)},
                                    {800, 0, RGB(30, 200, 60)},
                                    {1439, 599, RGB(30, 200, 60)},
                                    {1100, 300, RGB(30, 200, 60)}}) {
    EXPECT_EQ(probe.Pixel(probe.Root(), x, y), color) << x << "," << y;
  }
  std::unique_ptr<xcb_get_input_focus_reply_t, decltype(&std::free)> focus(
      xcb_get_input_focus_reply(probe.Connection(), xcb_get_input_focus(probe.Connection()),
                                nullptr),
      &std::free);
  ASSERT_TRUE(focus);
  EXPECT_EQ(focus->focus, static_cast<xcb_window_t>(first.Handle()))
      << "the first window keeps the keyboard";
  EXPECT_TRUE(firstForm.Has("activate"));
  EXPECT_EQ(secondForm.Log, (std::vector<std::string>{"show"})) << "shown, never activated";

  EXPECT_TRUE(testing::CursorHidden()) << "over the first window";
  // The pointer jumps onto the second window (SDL reports the jump to the window it left, in
  // that window's coordinates), then moves there.
  ASSERT_EQ(Shell("xdotool mousemove 1000 250"), 0);
  Pump(app, 100);
  ASSERT_EQ(Shell("xdotool mousemove 1003 253"), 0);
  EXPECT_TRUE(PumpUntil(app, [&] { return secondForm.Has("move 203,253"); }))
      << "motion over the second window, in its own coordinates: "
      << ::testing::PrintToString(secondForm.Log);
  EXPECT_TRUE(testing::CursorHidden()) << "over the second window";
  ASSERT_EQ(Shell("xdotool click 1 key x"), 0);
  EXPECT_TRUE(PumpUntil(app, [&] { return secondForm.Has("down 0 203,253"); }))
      << ::testing::PrintToString(secondForm.Log);
  EXPECT_TRUE(PumpUntil(app, [&] { return firstForm.Has("key 88"); })) << "keys go to the first";
  EXPECT_FALSE(secondForm.Has("key 88"));
  screen.ShowCursor(true);
}

}  // namespace
}  // namespace tovrin
