// THeadlessScreen: the headless back end's screen: the monitors, size and resolution the script
// gives (the script may change the monitors during a show), and
// the cursor's display count and shape as the system would hold them. Cursor calls are recorded
// in the platform's log ("ShowCursor(0)", "SetCursor(-21)").
#pragma once

#include <cstdint>

#include "platform/screen.h"

namespace tovrin {

class THeadlessPlatform;

class THeadlessScreen final : public TScreen {
 public:
  explicit THeadlessScreen(THeadlessPlatform& platform) : FPlatform(platform) {}
  int32_t Width() const override;
  int32_t Height() const override;
  std::vector<TMonitor> Monitors() const override;
  void SetOnMonitorsChanged(std::function<void()> handler) override {
    FOnMonitorsChanged = std::move(handler);
  }
  // The desk changes to monitors (the primary first); the change is announced from the message
  // loop, as a back end's would be.
  void ChangeMonitors(std::vector<TRect> monitors);
  int32_t PixelsPerInch() const override;
  void ShowCursor(bool show) override;
  void SetCursor(TCursor cursor) override;
  TCursor Cursor() const override { return FCursor; }
  // The cursor's display count: 0 at the start, visible while 0 or more.
  int Count() const { return FCount; }

 private:
  THeadlessPlatform& FPlatform;
  int FCount = 0;
  TCursor FCursor = crDefault;
  std::function<void()> FOnMonitorsChanged;
};

}  // namespace tovrin
