// Fitting a picture into a rectangle with its aspect ratio kept.
#pragma once

#include "gfx/rect.h"

namespace tovrin {

// The largest rectangle with `source`'s width:height ratio that fits in `target`, centred in it
// (offsets halved toward zero). Only `source`'s width and height are used.
TRect FitRect(const TRect& source, const TRect& target);

}  // namespace tovrin
