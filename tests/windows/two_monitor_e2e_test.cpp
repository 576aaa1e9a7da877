// The Win32 back end and the real screen saver on a desk of two monitors. scripts/windows-test.sh
// runs this program on such a desk (a nested X server with two screens joined by Xinerama, which
// Wine is told to read) and names the monitors it made in TOVRIN_TEST_DESK: one
// "left,top,right,bottom" rectangle per monitor, separated by ';', the primary first. It runs the
// program once on a desk whose second monitor lies right of the primary and once on one whose
// second monitor lies left of it, at negative coordinates.
//
// Checked from outside, as saver_e2e_test.cpp does on one monitor: the screen's monitor list, the
// back end's windows placed on every monitor with their input, and the show covering every
// monitor with the picture (or the others black when the user chose so) until a key or a mouse
// move on either monitor ends it, and the password check given the window on the primary monitor
// (the stand-in PASSWORD.CPL of test_password_libraries.cpp writes where that window is).
// Screenshots of the whole desk go to TOVRIN_SHOTS_DIR.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "e2e_process.h"
#include "e2e_screen.h"
#include "form_event_log.h"
#include "gfx/draw.h"
#include "gfx/jpeg_decoder.h"
#include "jpeg_maker.h"
#include "no_form_events.h"
#include "platform/win32/win32_application.h"
#include "platform/win32/win32_form_window.h"
#include "platform/win32/win32_screen.h"
#include "screen_capture.h"
#include "solid_bitmap.h"
#include "system_settings.h"

namespace fs = std::filesystem;

namespace tovrin {
namespace {

using namespace test;

// Rectangles written as "left,top,right,bottom", separated by ';'.
std::vector<TRect> ParseRects(const std::string& text) {
  std::vector<TRect> rects;
  std::stringstream in(text);
  for (std::string item; std::getline(in, item, ';');) {
    TRect r;
    char comma[3] = {};
    std::stringstream fields(item);
    fields >> r.Left >> comma[0] >> r.Top >> comma[1] >> r.Right >> comma[2] >> r.Bottom;
    if (fields && comma[0] == ',' && comma[1] == ',' && comma[2] == ',') rects.push_back(r);
  }
  return rects;
}

// The desk the script made, primary first.
std::vector<TRect> Desk() {
  const char* text = std::getenv("TOVRIN_TEST_DESK");
  return ParseRects(text ? text : "");
}

TRect DeskBounds(const std::vector<TRect>& desk) {
  TRect all;
  for (const TRect& r : desk) all = UnionRect(all, r);
  return all;
}

std::string Describe(const TRect& r) {
  return std::to_string(r.Left) + "," + std::to_string(r.Top) + " " + std::to_string(r.Width()) +
         "x" + std::to_string(r.Height());
}

TRect WindowBounds(HWND window) {
  RECT r;
  GetWindowRect(window, &r);
  return TRect{r.left, r.top, r.right, r.bottom};
}

void KeepDeskScreenshot(const std::string& name) {
  KeepScreenshot(name, DeskBounds(Desk()));
}

// Waits up to ms until every rectangle of the screen shows its bitmap (within two levels a
// channel), looking every 100 ms; on failure, what is wrong.
std::string WaitForScreens(const std::vector<TRect>& rects, const std::vector<TBitmap>& expected,
                           uint32_t ms) {
  for (uint32_t waited = 0;; waited += 100) {
    std::string wrong;
    for (size_t i = 0; i < rects.size(); ++i) {
      const int difference = MaxChannelDifference(CaptureScreen(rects[i]), expected[i]);
      if (difference > 2) {
        wrong += "monitor " + std::to_string(i) + " (" + Describe(rects[i]) +
                 ") differs by up to " + std::to_string(difference) + "; ";
      }
    }
    if (wrong.empty() || waited >= ms) return wrong;
    PumpFor(100);
  }
}

// Moves the cursor to (x, y) of the desk, through the system's input queue, and waits until the
// system has put it there.
bool MoveCursorOnDesk(int32_t x, int32_t y) {
  MoveMouseTo(x, y);
  return PumpUntil(
      [&] {
        POINT p;
        return GetCursorPos(&p) && p.x == x && p.y == y;
      },
      2000);
}

TEST(TwoMonitorDesk, TheScriptMadeADeskOfTwoMonitors) {
  const char* named = std::getenv("TOVRIN_TEST_DESK");
  ASSERT_EQ(Desk().size(), 2u) << "TOVRIN_TEST_DESK: " << (named ? named : "(not set)");
}

// ---- The back end

TEST(TwoMonitorDesk, TheScreenListsEveryMonitorPrimaryFirstInPhysicalPixels) {
  TWin32Application app;
  TWin32Screen screen(app);
  std::vector<TMonitor> expected;
  for (const TRect& r : Desk()) expected.push_back(TMonitor{r});
  const std::vector<TMonitor> monitors = screen.Monitors();
  std::string seen;
  for (const TMonitor& m : monitors) seen += Describe(m.Bounds) + "; ";
  EXPECT_EQ(monitors, expected) << "seen: " << seen;
  EXPECT_EQ(screen.Width(), Desk()[0].Width());
  EXPECT_EQ(screen.Height(), Desk()[0].Height());
}

TEST(TwoMonitorDesk, AWindowOnEachMonitorCoversItAboveAllAndTakesTheInputOverIt) {
  const std::vector<TRect> desk = Desk();
  ASSERT_EQ(desk.size(), 2u);
  TWin32Application app;
  TWin32Screen screen(app);
  // Told apart on the screen by their colours (TColor is 0x00BBGGRR).
  const TColor colors[] = {0x00204080, 0x00806020};
  std::vector<std::unique_ptr<testing::TFormEventLog>> logs;
  std::vector<std::unique_ptr<TWin32FormWindow>> windows;
  for (size_t i = 0; i < desk.size(); ++i) {
    logs.push_back(std::make_unique<testing::TFormEventLog>());
    windows.push_back(std::make_unique<TWin32FormWindow>(app, screen, *logs[i]));
    TWin32FormWindow& w = *windows[i];
    w.SetBounds(desk[i].Left, desk[i].Top, desk[i].Width(), desk[i].Height());
    w.SetColor(colors[i]);
    w.SetTopmost();
    w.SetVisible(true);
  }
  auto pump = [&app](uint32_t ms) {
    const uint32_t start = app.TickCount();
    while (app.TickCount() - start < ms) {
      app.WaitMessage(10);
      app.ProcessMessages();
    }
  };
  pump(300);

  std::vector<TBitmap> expected;
  for (size_t i = 0; i < desk.size(); ++i) {
    const HWND hwnd = windows[i]->Hwnd();
    EXPECT_EQ(WindowBounds(hwnd), desk[i]) << "window " << i;
    EXPECT_TRUE(GetWindowLongA(hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST) << "window " << i;
    EXPECT_EQ(GetWindow(hwnd, GW_OWNER), app.Handle()) << "window " << i << ": no task-bar button";
    const TColor c = colors[i];
    expected.push_back(Solid(desk[i].Width(), desk[i].Height(), c));
  }
  std::string wrong;
  for (uint32_t waited = 0; waited < 5000; waited += 100) {
    wrong = WaitForScreens(desk, expected, 0);
    if (wrong.empty()) break;
    pump(100);
  }
  EXPECT_EQ(wrong, "");

  // The mouse over each monitor reaches that monitor's window, in its own client coordinates.
  for (size_t i = 0; i < desk.size(); ++i) {
    const int32_t x = desk[i].Left + 100, y = desk[i].Top + 50;
    MoveMouseTo(x, y);
    const uint32_t start = app.TickCount();
    while (!logs[i]->Has("move 100,50") && app.TickCount() - start < 3000) pump(20);
    POINT p{};
    GetCursorPos(&p);
    EXPECT_TRUE(logs[i]->Has("move 100,50"))
        << "monitor " << i << ": cursor at " << p.x << "," << p.y << "; the window saw "
        << ::testing::PrintToString(logs[i]->Log);
  }
  // A key goes to the active window, which is one of ours.
  PressKey('K');
  pump(300);
  EXPECT_TRUE(logs[0]->Has("key 75") || logs[1]->Has("key 75"));
}

// ---- The screen saver

// A picture with structure in both directions, smaller than either monitor, so that each monitor
// shows it centred at its own size.
std::vector<uint8_t> PictureJpeg() {
  constexpr int w = 320, h = 240;
  return testing::MakeJpeg(w, h, testing::TJpegKind::Colour, [](int x, int y) {
    const uint32_t r = static_cast<uint32_t>(x * 255 / w);
    const uint32_t g = static_cast<uint32_t>(y * 255 / h);
    const uint32_t b = (x < w / 2) != (y < h / 2) ? 200 : 40;
    return (r << 16) | (g << 8) | b;
  });
}

// A window of this program over the whole desk in a colour no frame of the show has, standing
// for the desktop and whatever windows are open on it: what the show does not cover stays visible.
// It never takes the activation, so input goes to the show's windows.
class TDeskBackdrop {
 public:
  TDeskBackdrop() : FBrush(CreateSolidBrush(0x00FF00FF)) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hbrBackground = FBrush;
    wc.lpszClassName = "TovrinTestBackdrop";
    RegisterClassA(&wc);
    const TRect all = DeskBounds(Desk());
    FWindow = CreateWindowExA(WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW, wc.lpszClassName, "", WS_POPUP,
                              all.Left, all.Top, all.Width(), all.Height(), nullptr, nullptr,
                              wc.hInstance, nullptr);
    if (FWindow) ShowWindow(FWindow, SW_SHOWNOACTIVATE);
    PumpFor(500);
  }
  ~TDeskBackdrop() {
    if (FWindow) DestroyWindow(FWindow);
    UnregisterClassA("TovrinTestBackdrop", GetModuleHandleA(nullptr));
    DeleteObject(FBrush);
  }
  TDeskBackdrop(const TDeskBackdrop&) = delete;
  TDeskBackdrop& operator=(const TDeskBackdrop&) = delete;
  bool Shown() const { return FWindow && IsWindowVisible(FWindow); }

 private:
  HBRUSH FBrush;
  HWND FWindow = nullptr;
};

class TwoMonitorShow : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    Dir = fs::current_path() / "two_monitor_e2e";
    std::error_code ec;
    fs::remove_all(Dir, ec);
    fs::create_directories(Dir);
    Picture = PictureJpeg();
    std::ofstream(Dir / "picture.jpg", std::ios::binary)
        .write(reinterpret_cast<const char*>(Picture.data()),
               static_cast<std::streamsize>(Picture.size()));
    Saver = (Dir / "Desk.scr").string();
    BuildStatus = RunToEnd("\"" + WindowsPath(TOVRIN_PACK_EXE) + "\" build --engine \"" +
                           WindowsPath(TOVRIN_ENGINE_EXE) + "\" -o \"" + Saver +
                           "\" --interval 600000 \"" + (Dir / "picture.jpg").string() + "\"");
  }

  void SetUp() override {
    ASSERT_EQ(BuildStatus, 0) << "tovrin-pack could not build the saver";
    ASSERT_EQ(Desk().size(), 2u);
  }

  // The first picture centred at its own size on black, at the size of monitor.
  static TBitmap PictureFrame(const TRect& monitor) {
    TBitmap frame(monitor.Width(), monitor.Height());
    const TBitmap picture = DecodeJPEG(Picture.data(), Picture.size());
    Draw(frame, (monitor.Width() - picture.Width()) / 2, (monitor.Height() - picture.Height()) / 2,
         picture);
    return frame;
  }

  static fs::path Dir;
  static std::string Saver;
  static std::vector<uint8_t> Picture;
  static int BuildStatus;
};

fs::path TwoMonitorShow::Dir;
std::string TwoMonitorShow::Saver;
std::vector<uint8_t> TwoMonitorShow::Picture;
int TwoMonitorShow::BuildStatus = -1;

// A key on either monitor is the password test's below (the key reaches the window on the other
// monitor, the active one).
TEST_F(TwoMonitorShow, EveryMonitorShowsThePictureOrIsBlackAndAMoveOnTheOtherEndsTheShow) {
  struct TCase {
    const char* Name;  // also the screenshot's
    const char* Ini;   // CONTROL.INI beside the saver; nullptr: none (every monitor is the default)
    bool PictureOnSecond;
  };
  // With the picture, the move is over the other monitor's picture; without, over its black.
  const TCase cases[] = {
      {"every-monitor-move-on-second", nullptr, true},
      {"primary-only-move-on-second", "[Setup]\neverymonitor=0\n", false},
  };
  const std::vector<TRect> desk = Desk();
  TDeskBackdrop backdrop;
  ASSERT_TRUE(backdrop.Shown());
  ASSERT_EQ(WaitForScreens(desk,
                           {Solid(desk[0].Width(), desk[0].Height(), RGB(255, 0, 255)),
                            Solid(desk[1].Width(), desk[1].Height(), RGB(255, 0, 255))},
                           5000),
            "")
      << "the backdrop must be on the screen before the show covers it";
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    std::error_code ec;
    fs::remove(Dir / "CONTROL.INI", ec);
    if (c.Ini) std::ofstream(Dir / "CONTROL.INI") << c.Ini;
    // The cursor rests on the other monitor, where the ending move will start.
    const int32_t x0 = desk[1].Left + 200, y0 = desk[1].Top + 150;
    ASSERT_TRUE(MoveCursorOnDesk(x0, y0));

    TProcess show("\"" + Saver + "\" /s");
    ASSERT_TRUE(show.Started());
    ASSERT_NE(WaitForWindow(show.Id(), "TovrinForm", kStartMs), nullptr);
    const std::vector<TBitmap> expected{PictureFrame(desk[0]),
                                        c.PictureOnSecond
                                            ? PictureFrame(desk[1])
                                            : Solid(desk[1].Width(), desk[1].Height(), clBlack)};
    EXPECT_EQ(WaitForScreens(desk, expected, kStartMs), "");
    // Named for the desk too: the script runs this program on two.
    KeepDeskScreenshot("two-monitors-" + std::string(desk[1].Left < 0 ? "left-" : "right-") +
                       c.Name);

    // One window on each monitor, above all others.
    std::vector<HWND> windows = ProcessWindows(show.Id(), "TovrinForm");
    std::vector<TRect> covered;
    for (HWND w : windows) {
      covered.push_back(WindowBounds(w));
      EXPECT_TRUE(GetWindowLongA(w, GWL_EXSTYLE) & WS_EX_TOPMOST);
    }
    EXPECT_EQ(covered.size(), desk.size());
    for (const TRect& monitor : desk) {
      EXPECT_NE(std::find(covered.begin(), covered.end(), monitor), covered.end())
          << "no show window covers " << Describe(monitor);
    }

    // The first move only sets the show's anchor (Wine may have sent it when the window appeared
    // under the cursor); three pixels on both axes from either anchor end the show.
    MoveMouseTo(x0, y0 + 1);
    EXPECT_FALSE(show.WaitForEnd(700)) << "the anchoring move must not end the show";
    MoveMouseTo(x0 + 3, y0 + 4);
    EXPECT_TRUE(show.WaitForEnd(kEndMs)) << "the move did not end the show";
  }
}

TEST_F(TwoMonitorShow, ThePasswordCheckIsGivenTheShowWindowOnThePrimaryMonitor) {
  TSystemFile library(TOVRIN_TEST_PASSWORD_CPL, "PASSWORD.CPL");
  ASSERT_TRUE(library.Ok);
  const DWORD one = 1;
  TDesktopValue usePassword("ScreenSaveUsePassword", REG_DWORD, &one, sizeof one);
  const fs::path placed = Dir / "verifier-window.txt";
  std::error_code ec;
  fs::remove(placed, ec);
  fs::remove(Dir / "CONTROL.INI", ec);
  const std::vector<TRect> desk = Desk();
  // The key comes while the window on the other monitor, shown last, is the active one.
  TProcess show("\"" + Saver + "\" /s", {{"TOVRIN_TEST_VERIFIER", "accept"},
                                         {"TOVRIN_TEST_VERIFIER_WINDOW", placed.string()}});
  ASSERT_TRUE(show.Started());
  ASSERT_NE(WaitForWindow(show.Id(), "TovrinForm", kStartMs), nullptr);
  EXPECT_EQ(WaitForScreens(desk, {PictureFrame(desk[0]), PictureFrame(desk[1])}, kStartMs), "");
  PressKey('A');
  EXPECT_TRUE(show.WaitForEnd(kEndMs)) << "an accepted password ends the show";
  std::ifstream in(placed);
  std::string text;
  std::getline(in, text);
  EXPECT_EQ(ParseRects(text), std::vector<TRect>{desk[0]})
      << "the verifier's window: " << (text.empty() ? "(none)" : text);
}

}  // namespace
}  // namespace tovrin
