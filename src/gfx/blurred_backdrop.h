// The backdrop behind a picture that does not cover its frame: the picture itself, enlarged to
// cover the whole frame (proportions kept, centred, the overflow cut off), strongly blurred and
// darkened, so that the bands beside a portrait photo on a landscape screen carry its colours
// instead of black.
//
// The work is done on a copy an eighth of the frame's size: the picture is area-averaged down
// into it, box-blurred there (three passes each way, close to a Gaussian), darkened, and then
// enlarged to the frame with bilinear filtering, which keeps the result smooth. At 1920 x 1080
// that is a 240 x 135 copy, so the cost is mostly the final enlargement.
#pragma once

#include "gfx/bitmap.h"

namespace tovrin {

// How much of each channel the backdrop keeps, in 256ths.
inline constexpr int kBackdropBrightness = 140;

// Fills the whole of dest (pf24bit) with the blurred backdrop of picture (pf24bit or pf8bit).
// Does nothing when either is empty. Allocates the reduced copy only (about 1/64 of dest).
void DrawBlurredBackdrop(TBitmap& dest, const TBitmap& picture);

// Box-blurs bitmap (pf24bit) in place: passes times a running mean over 2 * radius + 1 pixels
// along each row, then as many down each column, edges repeated. Exposed for tests.
void BoxBlur(TBitmap& bitmap, int32_t radius, int passes);

}  // namespace tovrin
