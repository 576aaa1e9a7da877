// How GoogleTest prints rectangles and monitors in failure messages: "(left,top WxH)", so a
// layout that differs reads as the desk it describes rather than as raw bytes.
#pragma once

#include <ostream>

#include "gfx/rect.h"
#include "platform/screen.h"

namespace tovrin {

inline void PrintTo(const TRect& r, std::ostream* os) {
  *os << "(" << r.Left << "," << r.Top << " " << r.Width() << "x" << r.Height() << ")";
}

inline void PrintTo(const TMonitor& m, std::ostream* os) {
  PrintTo(m.Bounds, os);
}

}  // namespace tovrin
