// A show window on the headless back end, over a screen saver written for the test.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "package/image.h"
#include "package/persistent.h"
#include "platform/headless/headless_platform.h"
#include "saver_builder.h"
#include "show/frm_scrn.h"

namespace tovrin::testing {

class ShowTest : public ::testing::Test {
 protected:
  ShowTest()
      : FFolder(std::string("show_") +
                ::testing::UnitTest::GetInstance()->current_test_info()->name()) {
    RegisterStreamClass(TSSFileLocations::StaticClassInfo());
    RegisterStreamClass(TImage::StaticClassInfo());
    std::filesystem::create_directories(FFolder.Path() / "tmp");
    FSettings.SetVer("photo");
    FSettings.SetInterval(3000);
  }

  // Writes the saver and makes the platform; a second call replaces both.
  void Build(const std::vector<std::vector<uint8_t>>& pictures,
             const std::vector<TSaverFile>& sounds = {},
             const std::vector<TSaverFile>& movies = {}) {
    WriteSaver(ExeName(), FSettings, pictures, sounds, movies);
    MakePlatform();
  }
  void MakePlatform() {
    THeadlessScript script;
    script.ScreenWidth = 64;
    script.ScreenHeight = 48;
    script.ExeName = ExeName();
    script.TempDir = FFolder.Dir() + "tmp/";
    script.SettingsDir = FFolder.Dir();
    FShow.reset();
    FPlatform = std::make_unique<THeadlessPlatform>(script, FText);
  }
  std::string ExeName() const { return FFolder.Dir() + "harbour.scr"; }
  THeadlessPlatform& Platform() { return *FPlatform; }
  THeadlessApplication& App() { return FPlatform->App(); }
  THeadlessScript& Script() { return FPlatform->Script(); }

  // Creates the show window and shows it (the first activation runs).
  TfrmScrn& Start(TPasswordCheck check = TPasswordCheck::pcAskVerifier) {
    FShow = std::make_unique<TfrmScrn>(*FPlatform, check);
    FPictures.clear();
    FTimes.clear();
    FStyles.clear();
    FFrames.clear();
    FShow->Scheduler().OnPictureStart = [this](int32_t index, TShowStyle style) {
      FPictures.push_back(index);
      FTimes.push_back(App().TickCount());
      FStyles.push_back(style);
      const TGraphic* frame = FShow->PShow().Picture().Graphic();
      FFrames.push_back(frame ? frame->Bitmap() : TBitmap());
    };
    FShow->Show();
    return *FShow;
  }
  TfrmScrn& Show() { return *FShow; }

  // Runs the message loop until the show ends or the clock reaches tick.
  void RunUntil(uint32_t tick) {
    auto stop = std::make_shared<bool>(false);
    App().PostAt(tick, [stop] { *stop = true; });
    while (!*stop && !App().Terminated()) App().HandleMessage();
  }
  // Runs until the show has shown count pictures (or ends, or a minute of show time passes).
  void RunPictures(size_t count) {
    const uint32_t limit = App().TickCount() + 60000;
    while (FPictures.size() < count && !App().Terminated() &&
           static_cast<int32_t>(App().TickCount() - limit) < 0) {
      RunUntil(App().TickCount() + 100);
    }
  }
  size_t LogCount(const std::string& prefix) {
    const auto& log = FPlatform->Log();
    return static_cast<size_t>(std::count_if(
        log.begin(), log.end(), [&](const std::string& l) { return l.rfind(prefix, 0) == 0; }));
  }
  std::vector<std::string> LogWith(const std::string& prefix) {
    std::vector<std::string> out;
    for (const auto& l : FPlatform->Log()) {
      if (l.rfind(prefix, 0) == 0) out.push_back(l);
    }
    return out;
  }
  // Folders the show left in the temporary directory.
  size_t TempEntries() const {
    size_t n = 0;
    for ([[maybe_unused]] const auto& e :
         std::filesystem::directory_iterator(FFolder.Path() / "tmp")) {
      ++n;
    }
    return n;
  }

  TScratchFolder FFolder;
  TBoxTextRenderer FText;
  TSSFileLocations FSettings;
  std::unique_ptr<THeadlessPlatform> FPlatform;
  std::unique_ptr<TfrmScrn> FShow;
  std::vector<int32_t> FPictures;
  std::vector<uint32_t> FTimes;  // the clock when each transition started
  std::vector<TShowStyle> FStyles;
  std::vector<TBitmap> FFrames;
};

// The colour of a frame's pixel as 0xRRGGBB.
inline uint32_t PixelAt(const TBitmap& b, int32_t x, int32_t y) {
  const uint8_t* p = b.ScanLine(y) + x * 3;
  return (uint32_t{p[2]} << 16) | (uint32_t{p[1]} << 8) | p[0];
}

// Close enough for JPEG-coded flat colours.
inline bool Near(uint32_t a, uint32_t b, int tolerance = 6) {
  for (int shift = 0; shift < 24; shift += 8) {
    const int d = static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF);
    if (d > tolerance || d < -tolerance) return false;
  }
  return true;
}

}  // namespace tovrin::testing
