#include "platform/sdl/x11_monitor_layout.h"

namespace tovrin {

namespace {

// The reported monitors clipped to the root, in the desk's order (DeskMonitors: primary first,
// empty ones and repeats dropped); empty when none is left.
std::vector<TMonitor> Usable(const std::vector<TReportedMonitor>& reported, const TRect& root) {
  std::vector<TReportedMonitor> clipped;
  for (const TReportedMonitor& m : reported) {
    const TRect bounds = root.IsEmpty() ? m.Bounds : IntersectRect(m.Bounds, root);
    if (!bounds.IsEmpty()) clipped.push_back(TReportedMonitor{bounds, m.Primary});
  }
  if (clipped.empty()) return {};
  return DeskMonitors(clipped, TRect{});
}

}  // namespace

std::vector<TMonitor> MonitorLayout(const std::vector<TReportedMonitor>& randr,
                                    const std::vector<TRect>& xinerama, const TRect& root) {
  std::vector<TMonitor> monitors = Usable(randr, root);
  if (monitors.empty()) {
    std::vector<TReportedMonitor> screens;
    for (const TRect& r : xinerama) screens.push_back(TReportedMonitor{r, screens.empty()});
    monitors = Usable(screens, root);
  }
  if (monitors.empty()) monitors.push_back(TMonitor{root.IsEmpty() ? TRect{0, 0, 1, 1} : root});
  return monitors;
}

}  // namespace tovrin
