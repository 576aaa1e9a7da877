#include "platform/common/desk_monitors.h"

#include <algorithm>

namespace tovrin {

namespace {

bool Usable(const TReportedMonitor& m) {
  return !m.Bounds.IsEmpty();
}

}  // namespace

std::vector<TMonitor> DeskMonitors(const std::vector<TReportedMonitor>& reported,
                                   const TRect& fallback) {
  auto primary = std::find_if(reported.begin(), reported.end(),
                              [](const TReportedMonitor& m) { return Usable(m) && m.Primary; });
  if (primary == reported.end()) primary = std::find_if(reported.begin(), reported.end(), Usable);
  if (primary == reported.end()) return {TMonitor{fallback}};

  std::vector<TMonitor> monitors{TMonitor{primary->Bounds}};
  for (auto it = reported.begin(); it != reported.end(); ++it) {
    if (it == primary || !Usable(*it)) continue;
    const TMonitor monitor{it->Bounds};
    if (std::find(monitors.begin(), monitors.end(), monitor) == monitors.end()) {
      monitors.push_back(monitor);
    }
  }
  return monitors;
}

}  // namespace tovrin
