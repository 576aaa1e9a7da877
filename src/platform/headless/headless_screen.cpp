#include "platform/headless/headless_screen.h"

#include <string>

#include "platform/headless/headless_platform.h"

namespace tovrin {

int32_t THeadlessScreen::Width() const {
  return Monitors().front().Bounds.Width();
}

int32_t THeadlessScreen::Height() const {
  return Monitors().front().Bounds.Height();
}

std::vector<TMonitor> THeadlessScreen::Monitors() const {
  const THeadlessScript& script = FPlatform.Script();
  if (script.Monitors.empty()) {
    return {TMonitor{TRect{0, 0, script.ScreenWidth, script.ScreenHeight}}};
  }
  std::vector<TMonitor> monitors;
  for (const TRect& r : script.Monitors) monitors.push_back(TMonitor{r});
  return monitors;
}

void THeadlessScreen::ChangeMonitors(std::vector<TRect> monitors) {
  FPlatform.Record("Screen.ChangeMonitors(" + std::to_string(monitors.size()) + ")");
  FPlatform.Script().Monitors = std::move(monitors);
  FPlatform.App().Post([this] {
    if (FOnMonitorsChanged) FOnMonitorsChanged();
  });
}

int32_t THeadlessScreen::PixelsPerInch() const {
  return FPlatform.Script().PixelsPerInch;
}

void THeadlessScreen::ShowCursor(bool show) {
  FPlatform.Record("ShowCursor(" + THeadlessPlatform::Flag(show) + ")");
  FCount += show ? 1 : -1;
}

void THeadlessScreen::SetCursor(TCursor cursor) {
  FPlatform.Record("SetCursor(" + std::to_string(cursor) + ")");
  FCursor = cursor;
}

}  // namespace tovrin
