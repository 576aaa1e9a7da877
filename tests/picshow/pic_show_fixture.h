// Shared set-up of the picture control tests: a headless application on the virtual clock, a
// window, and solid or patterned pictures whose pixels tell where they came from.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "gfx/bitmap.h"
#include "picshow/custom_pic_show.h"
#include "platform/headless/headless_application.h"
#include "platform/headless/headless_window.h"

namespace tovrin::test {

inline constexpr TColor kRed = RGB(255, 0, 0);
inline constexpr TColor kBlue = RGB(0, 0, 255);
inline constexpr TColor kGreen = RGB(0, 255, 0);
inline constexpr TColor kGrey = RGB(128, 128, 128);
inline constexpr TColor kYellow = RGB(255, 255, 0);

inline TBitmap Solid(int32_t w, int32_t h, TColor color) {
  TBitmap b(w, h);
  b.Fill(color);
  return b;
}

// True when every pixel of the rectangle r of b has the colour c.
inline bool AllPixels(const TBitmap& b, const TRect& r, TColor c) {
  for (int32_t y = r.Top; y < r.Bottom; ++y) {
    for (int32_t x = r.Left; x < r.Right; ++x) {
      if (b.Pixel(x, y) != c) return false;
    }
  }
  return true;
}

// A test window with one control on it and a record of what the control reported.
class PicShowTest : public ::testing::Test {
 protected:
  explicit PicShowTest(int32_t clientWidth = 320, int32_t clientHeight = 240)
      : Window(clientWidth, clientHeight, kGrey) {}

  // A control in blocking mode showing nothing yet, Style 5 (a wipe from the left edge).
  std::unique_ptr<TPicShow> MakeShow() {
    auto show = std::make_unique<TPicShow>(App, Window);
    show->SetThreaded(false);
    show->SetStyle(5);
    show->OnProgress = [this](TCustomPicShow& s) {
      Progresses.push_back(s.Progress());
      Ticks.push_back(App.TickCount());
    };
    show->OnComplete = [this](TCustomPicShow&) { ++Completes; };
    return show;
  }

  THeadlessApplication App;
  THeadlessWindow Window;
  std::vector<int> Progresses;
  std::vector<uint32_t> Ticks;
  int Completes = 0;
};

}  // namespace tovrin::test
