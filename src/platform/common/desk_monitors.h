// DeskMonitors: the list TScreen::Monitors() returns, made from the monitors a system reports
// (Win32's EnumDisplayMonitors, X's RandR monitors or Xinerama screens), in the order and form the
// show relies on. The back ends share it so that every desk is ordered by one rule.
#pragma once

#include <vector>

#include "gfx/rect.h"
#include "platform/screen.h"

namespace tovrin {

// One monitor as the system reported it: its area in desktop pixels and whether the system
// calls it the primary one.
struct TReportedMonitor {
  TRect Bounds;
  bool Primary = false;
};

// The desk's monitors, the primary one first and the others in the order reported. The primary
// one is the first flagged so, or the first reported when none is. Monitors with an empty area
// are dropped, and so are repeats of an area already listed (mirrored displays show one
// picture). When nothing is left, the desk is one monitor of fallback.
std::vector<TMonitor> DeskMonitors(const std::vector<TReportedMonitor>& reported,
                                   const TRect& fallback);

}  // namespace tovrin
