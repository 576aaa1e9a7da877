// Reading back what reached the screen, for the tests of the Win32 back end: a rectangle of the
// screen copied out of the screen's device context, and the waits that let the system's own
// drawing (Wine's window surfaces) land first.
#pragma once

#include "windows_api.h"

#include <cstdint>
#include <functional>
#include <string>

#include "gfx/bitmap.h"
#include "gfx/rect.h"

namespace tovrin::test {

// The pixels of rect (screen coordinates) as a pf24bit bitmap.
TBitmap CaptureScreen(const TRect& rect);

// Writes a pf24bit bitmap as a .bmp file (the screenshots kept with the test log).
bool SaveBmp(const TBitmap& bitmap, const std::string& path);

// Pumps this thread's messages for ms milliseconds.
void PumpFor(uint32_t ms);
// Pumps this thread's messages until done() or ms milliseconds have passed; returns done().
bool PumpUntil(const std::function<bool()>& done, uint32_t ms);

// The largest difference of one colour channel between two pf24bit bitmaps of one size (256 when
// the sizes differ).
int MaxChannelDifference(const TBitmap& a, const TBitmap& b);

}  // namespace tovrin::test
