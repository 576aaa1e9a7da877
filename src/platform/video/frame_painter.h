// TFramePainter: puts decoded video frames into our bitmaps, scaled to fill the bitmap with the
// picture's proportions kept (black bars on the two other sides) and turned as the clip says.
#pragma once

#include <cstdint>

#include "gfx/bitmap.h"
#include "gfx/rect.h"
#include "platform/video/av_handles.h"

namespace tovrin {

// Where a picture of width x height lands in a box of boxWidth x boxHeight: as large as fits
// with its proportions kept, centred; empty when either size is not positive.
TRect FitRect(int64_t width, int64_t height, int32_t boxWidth, int32_t boxHeight);

class TFramePainter {
 public:
  // Paints frame into target: the picture in its fit rectangle (for a picture shown
  // displayWidth x displayHeight after turning it rotation degrees clockwise), black around it.
  // Returns false, leaving target as it was, for a frame it cannot convert. Only the scaler is
  // kept from one call to the next: any bitmap of any size may be painted.
  bool Paint(const AVFrame& frame, int32_t rotation, TBitmap& target);

 private:
  TScalerHandle FScaler;
  TBitmap FUpright;  // the scaled picture before it is turned (turned clips only)
};

}  // namespace tovrin
