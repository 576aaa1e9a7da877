// The Win32 show window: what its controls paint reaches the screen (read back from the screen),
// only the invalid area is painted, the background is erased only where no control answers for
// it, and keys, mouse input, close requests and private messages reach the form's handlers.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "form_event_log.h"
#include "gdi_objects.h"
#include "noise_bitmap.h"
#include "platform/win32/win32_application.h"
#include "platform/win32/win32_form_window.h"
#include "platform/win32/win32_screen.h"
#include "screen_capture.h"

namespace tovrin {
namespace {

using test::CaptureScreen;
using test::PumpFor;

// A windowless control that paints a bitmap of its own size and records what it receives.
class TBitmapControl final : public THostControl {
 public:
  TBitmapControl(TRect bounds, TBitmap picture) : Bounds(bounds), Picture(std::move(picture)) {}
  TRect BoundsRect() const override { return Bounds; }
  void WMPaint(TCanvas& canvas) override {
    ++Paints;
    Clips.push_back(canvas.ClipRect());
    canvas.Draw(0, 0, Picture);
  }
  bool WMEraseBkgnd() override { return true; }
  void ParentResized() override { ++Resizes; }
  void MouseEnter() override { Log.push_back("enter"); }
  void MouseLeave() override { Log.push_back("leave"); }
  void MouseDown(TMouseButton, int32_t x, int32_t y) override {
    Log.push_back("down " + std::to_string(x) + "," + std::to_string(y));
  }
  void MouseMove(int32_t x, int32_t y) override {
    Log.push_back("move " + std::to_string(x) + "," + std::to_string(y));
  }
  void MouseUp(TMouseButton, int32_t x, int32_t y) override {
    Log.push_back("up " + std::to_string(x) + "," + std::to_string(y));
  }

  TRect Bounds;
  TBitmap Picture;
  int Paints = 0;
  int Resizes = 0;
  std::vector<TRect> Clips;
  std::vector<std::string> Log;
};

TBitmap Crop(const TBitmap& source, const TRect& r) {
  TBitmap out(r.Width(), r.Height());
  for (int32_t y = 0; y < r.Height(); ++y) {
    std::copy_n(source.ScanLine(r.Top + y) + 3 * r.Left, 3 * r.Width(), out.ScanLine(y));
  }
  return out;
}

class Win32WindowTest : public ::testing::Test {
 protected:
  Win32WindowTest() : FWindow(FApp, FScreen, FForm) {
    FApp.OnException = [this](const std::string& text) { FReports.push_back(text); };
  }
  // The window at (left, top) of size w x h, black, shown and painted.
  void ShowAt(int32_t left, int32_t top, int32_t w, int32_t h) {
    FWindow.SetColor(clBlack);
    FWindow.SetBounds(left, top, w, h);
    FWindow.SetTopmost();
    FWindow.SetVisible(true);
    Pump();
  }
  void Pump(uint32_t ms = 150) {
    const uint32_t start = FApp.TickCount();
    while (FApp.TickCount() - start < ms) {
      FApp.WaitMessage(10);
      FApp.ProcessMessages();
    }
  }
  HWND Hwnd() const { return FWindow.Hwnd(); }

  TWin32Application FApp;
  TWin32Screen FScreen{FApp};
  testing::TFormEventLog FForm;
  TWin32FormWindow FWindow;
  std::vector<std::string> FReports;
};

TEST_F(Win32WindowTest, ShowingRunsShowThenActivate) {
  ShowAt(0, 0, 200, 150);
  ASSERT_GE(FForm.Log.size(), 2u);
  EXPECT_EQ(FForm.Log[0], "show");
  EXPECT_EQ(FForm.Log[1], "activate");
  EXPECT_TRUE(IsWindowVisible(Hwnd()));
  EXPECT_EQ(FWindow.ClientWidth(), 200);
  EXPECT_EQ(FWindow.ClientHeight(), 150);
  EXPECT_EQ(GetWindow(Hwnd(), GW_OWNER), FApp.Handle()) << "owned: no task-bar button";
  EXPECT_TRUE(GetWindowLongA(Hwnd(), GWL_EXSTYLE) & WS_EX_TOPMOST);
}

TEST_F(Win32WindowTest, WhatAControlPaintsReachesTheScreenAndOnlyTheInvalidPartIsRepainted) {
  TBitmapControl control(TRect{0, 0, 320, 240}, test::NoiseBitmap(320, 240, 1));
  FWindow.InsertControl(control);
  ShowAt(0, 0, 320, 240);
  const TRect screenRect{0, 0, 320, 240};
  EXPECT_EQ(gdi::FirstPixelDifference(CaptureScreen(screenRect), control.Picture), "");

  // A new picture, of which only two rectangles are invalidated and updated.
  const TBitmap before = control.Picture;
  control.Picture = test::NoiseBitmap(320, 240, 2);
  control.Clips.clear();
  FWindow.InvalidateRect(TRect{10, 20, 60, 50}, false);
  FWindow.InvalidateRect(TRect{200, 100, 250, 230}, false);
  FWindow.Update();
  EXPECT_EQ(control.Clips, std::vector<TRect>{(TRect{10, 20, 250, 230})})
      << "the canvas's clip is the update region's bounding box";
  Pump(100);
  const TBitmap shot = CaptureScreen(screenRect);
  for (int32_t y = 0; y < 240; ++y) {
    for (int32_t x = 0; x < 320; ++x) {
      const bool inside =
          (x >= 10 && x < 60 && y >= 20 && y < 50) || (x >= 200 && x < 250 && y >= 100 && y < 230);
      const TBitmap& expected = inside ? control.Picture : before;
      ASSERT_EQ(shot.Pixel(x, y), expected.Pixel(x, y))
          << "at " << x << "," << y << (inside ? " (invalidated)" : " (not invalidated)");
    }
  }
  FWindow.RemoveControl(control);
}

TEST_F(Win32WindowTest, TheBackgroundIsErasedOnlyWhereNoControlAnswersForIt) {
  TBitmapControl control(TRect{40, 30, 140, 90}, test::NoiseBitmap(100, 60, 3));
  FWindow.InsertControl(control);
  FWindow.SetColor(RGB(0, 128, 255));
  FWindow.SetBounds(0, 0, 180, 120);
  FWindow.SetVisible(true);
  Pump();
  const TBitmap shot = CaptureScreen(TRect{0, 0, 180, 120});
  EXPECT_EQ(shot.Pixel(5, 5), RGB(0, 128, 255));
  EXPECT_EQ(shot.Pixel(170, 110), RGB(0, 128, 255));
  EXPECT_EQ(gdi::FirstPixelDifference(Crop(shot, control.Bounds), control.Picture), "");
  FWindow.RemoveControl(control);
}

TEST_F(Win32WindowTest, EightBitPicturesAreShownThroughTheirPalette) {
  TBitmap grey(64, 32, TPixelFormat::pf8bit);
  for (int i = 0; i < 256; ++i) {
    grey.Palette()[i] = TPaletteEntry{static_cast<uint8_t>(i), static_cast<uint8_t>(i),
                                      static_cast<uint8_t>(255 - i)};
  }
  for (int32_t y = 0; y < 32; ++y) {
    for (int32_t x = 0; x < 64; ++x) grey.ScanLine(y)[x] = static_cast<uint8_t>(x * 4 + y);
  }
  TBitmapControl control(TRect{0, 0, 64, 32}, grey);
  FWindow.InsertControl(control);
  ShowAt(0, 0, 64, 32);
  const TBitmap shot = CaptureScreen(TRect{0, 0, 64, 32});
  for (int32_t y = 0; y < 32; y += 7) {
    for (int32_t x = 0; x < 64; x += 5) EXPECT_EQ(shot.Pixel(x, y), grey.Pixel(x, y));
  }
  FWindow.RemoveControl(control);
}

TEST_F(Win32WindowTest, InputReachesTheFormOrTheControlUnderTheCursor) {
  TBitmapControl control(TRect{100, 0, 200, 100}, TBitmap(100, 100));
  FWindow.InsertControl(control);
  ShowAt(0, 0, 200, 100);
  FForm.Log.clear();
  HWND w = Hwnd();
  PostMessageA(w, WM_KEYDOWN, 'Q', 0);
  PostMessageA(w, WM_MOUSEMOVE, 0, MAKELPARAM(10, 20));
  PostMessageA(w, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(11, 21));
  PostMessageA(w, WM_MOUSEMOVE, 0, MAKELPARAM(150, 30));
  PostMessageA(w, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(160, 40));
  PostMessageA(w, WM_LBUTTONUP, 0, MAKELPARAM(160, 40));
  PostMessageA(w, WM_MOUSEMOVE, 0, MAKELPARAM(12, 22));
  PostMessageA(w, WM_USER + 2, 0, 0);
  PostMessageA(w, WM_CLOSE, 0, 0);
  Pump();
  EXPECT_EQ(FForm.Log, (std::vector<std::string>{"key 81", "move 10,20", "down 1 11,21",
                                                 "move 12,22", "user 1026", "close"}));
  EXPECT_EQ(control.Log,
            (std::vector<std::string>{"enter", "move 50,30", "down 60,40", "up 60,40", "leave"}));
  EXPECT_TRUE(IsWindow(w)) << "a close request leaves the window to its owner";
  FWindow.RemoveControl(control);
}

TEST_F(Win32WindowTest, SystemKeysReachTheFormAndAreNotPassedOnToCloseTheWindow) {
  // Alt+F4 passed to the system would close the show without its password check.
  ShowAt(0, 0, 100, 100);
  FForm.Log.clear();
  PostMessageA(Hwnd(), WM_SYSKEYDOWN, VK_F4, 1 << 29);
  PostMessageA(Hwnd(), WM_SYSKEYDOWN, VK_MENU, 1 << 29);
  Pump();
  EXPECT_EQ(FForm.Log, (std::vector<std::string>{"key 115", "key 18"}));
}

TEST_F(Win32WindowTest, AnErrorInAHandlerIsReportedAndTheWindowGoesOn) {
  ShowAt(0, 0, 100, 100);
  FForm.ThrowOnKey = true;
  PostMessageA(Hwnd(), WM_KEYDOWN, 'A', 0);
  Pump();
  FForm.ThrowOnKey = false;
  PostMessageA(Hwnd(), WM_KEYDOWN, 'B', 0);
  Pump();
  EXPECT_EQ(FReports, std::vector<std::string>{"handler failed"});
  ASSERT_GE(FForm.Log.size(), 2u);
  EXPECT_EQ(FForm.Log.back(), "key 66");
}

TEST_F(Win32WindowTest, AnActivationDuringFormActivateComesAfterIt) {
  // A message box opened by FormActivate gives the activation back to the window when it
  // closes, while FormActivate still runs; the show's activation must not run inside itself.
  ShowAt(0, 0, 100, 100);
  FForm.Log.clear();
  FForm.OnActivate = [&] { SendMessageA(Hwnd(), WM_ACTIVATE, WA_ACTIVE, 0); };
  SendMessageA(Hwnd(), WM_ACTIVATE, WA_ACTIVE, 0);
  EXPECT_EQ(FForm.MaxDepth, 1);
  EXPECT_EQ(FForm.Log, (std::vector<std::string>{"activate", "activate"}));
}

TEST_F(Win32WindowTest, ResizingTellsTheControls) {
  TBitmapControl control(TRect{0, 0, 10, 10}, TBitmap(10, 10));
  FWindow.InsertControl(control);
  FWindow.SetBounds(0, 0, 300, 200);
  EXPECT_GE(control.Resizes, 1);
  FWindow.RemoveControl(control);
}

}  // namespace
}  // namespace tovrin
