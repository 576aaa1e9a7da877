#include "platform/sdl/x11_monitor_layout.h"

#include <algorithm>

namespace tovrin {

namespace {

// The reported monitors clipped to the root, without empty ones and repeats, primary first.
std::vector<TMonitor> Usable(const std::vector<TReportedMonitor>& reported, const TRect& root) {
  std::vector<TMonitor> monitors;
  TRect primary;
  bool hasPrimary = false;
  for (const TReportedMonitor& m : reported) {
    const TRect bounds = root.IsEmpty() ? m.Bounds : IntersectRect(m.Bounds, root);
    if (bounds.IsEmpty()) continue;
    // A repeat flagged primary still names the area that leads.
    if (m.Primary && !hasPrimary) {
      primary = bounds;
      hasPrimary = true;
    }
    const TMonitor monitor{bounds};
    if (std::find(monitors.begin(), monitors.end(), monitor) == monitors.end()) {
      monitors.push_back(monitor);
    }
  }
  if (hasPrimary) {
    const auto lead = std::find(monitors.begin(), monitors.end(), TMonitor{primary});
    std::rotate(monitors.begin(), lead, lead + 1);
  }
  return monitors;
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
