// The wipe family: the new picture uncovered in place, a copy of equal rectangles.
#include "picshow/style_table.h"

namespace tovrin {

// Style 5: from the left edge, (0, 0, X, H) <- (0, 0, X, H).
void ComposeWipeLeft(TStyleFrame& frame) {
  frame.Dest = TRect{0, 0, frame.Extents.X, frame.Extents.H};
  frame.Source = frame.Dest;
}

}  // namespace tovrin
