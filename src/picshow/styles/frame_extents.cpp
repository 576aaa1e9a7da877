#include "picshow/styles/frame_extents.h"

#include "gfx/muldiv.h"

namespace tovrin {

TFrameExtents ComputeFrameExtents(int32_t width, int32_t height, int32_t progress, int32_t step) {
  TFrameExtents e;
  e.W = width;
  e.H = height;
  e.Progress = progress;
  e.Step = step;
  if (width >= height) {
    e.X = MulDiv(width, progress, 100);
    e.Y = MulDiv(e.X, height, width);
    e.S = MulDiv(width, step, 90);
  } else {
    e.Y = MulDiv(height, progress, 100);
    e.X = MulDiv(e.Y, width, height);
    e.S = MulDiv(height, step, 90);
  }
  return e;
}

}  // namespace tovrin
