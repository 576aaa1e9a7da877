// Helpers shared by the image file tests.
#pragma once

#include <string>

#include "gfx/bitmap.h"

namespace tovrin {

// A 5 x 3 picture with distinct pixels; its odd width gives its rows padding.
TBitmap Sample();
// A path in the temporary directory that no other test run uses at the same time.
std::string TempPath(const char* name);

}  // namespace tovrin
