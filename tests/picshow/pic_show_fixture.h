// Shared set-up of the picture control tests: a headless application on the virtual clock, a
// window, and solid pictures whose pixels tell where they came from (solid_bitmap.h).
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "gfx/bitmap.h"
#include "picshow/custom_pic_show.h"
#include "platform/headless/headless_application.h"
#include "platform/headless/headless_window.h"
#include "solid_bitmap.h"

namespace tovrin::test {

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
