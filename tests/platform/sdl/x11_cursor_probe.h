// What cursor the X server shows: kept apart from the tests because Xlib's headers define
// macros (None, RootWindow) that clash with C++ names.
#pragma once

namespace tovrin::testing {

// Whether the cursor shown at the pointer's place on $DISPLAY is invisible (every pixel
// transparent); false when it cannot be read.
bool CursorHidden();

}  // namespace tovrin::testing
