// What the end-to-end tests see of the screen: waits until an area shows the expected picture,
// and screenshots kept with the test log (in TOVRIN_SHOTS_DIR, default shots/ here).
#pragma once

#include <cstdint>
#include <string>

#include "gfx/bitmap.h"
#include "gfx/rect.h"

namespace tovrin::test {

// Waits up to ms until area of the screen shows expected (within two levels a channel), looking
// every 100 ms; returns whether it did.
bool WaitForScreen(const TRect& area, const TBitmap& expected, uint32_t ms);

// Writes area of the screen as <name>.bmp into the screenshots folder and names the file in the
// log.
void KeepScreenshot(const std::string& name, const TRect& area);

}  // namespace tovrin::test
