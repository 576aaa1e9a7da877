// The desk's monitors from what an X server reports about them: a pure function, so that the
// rules (which report counts, which monitor leads, what is dropped) are tested without a display.
#pragma once

#include <vector>

#include "gfx/rect.h"
#include "platform/common/desk_monitors.h"
#include "platform/screen.h"

namespace tovrin {

// The monitors, the primary one first, never empty:
//   randr     RandR 1.5's active monitors in the server's order (what desktops set up, one
//             output split into several included); empty when the extension is missing or
//             older than 1.5;
//   xinerama  Xinerama's screens in the server's order (the first is the primary one); used
//             when randr leaves no monitor; empty when Xinerama is missing or inactive;
//   root      the root window's area; the one monitor when neither leaves any.
// Every monitor is clipped to the root (nothing outside it can be shown); monitors left empty
// and repeats of an earlier monitor's area (mirrored outputs) are dropped. The first monitor
// flagged primary leads and the others keep their order; with none flagged the first leads.
std::vector<TMonitor> MonitorLayout(const std::vector<TReportedMonitor>& randr,
                                    const std::vector<TRect>& xinerama, const TRect& root);

}  // namespace tovrin
