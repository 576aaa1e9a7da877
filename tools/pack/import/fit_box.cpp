#include "fit_box.h"

#include <algorithm>

#include "gfx/muldiv.h"

namespace tovrin {

TPictureSize FittedSize(int32_t width, int32_t height, const TFitBox& box) {
  if (box.Empty() || width <= 0 || height <= 0 || (width <= box.Width && height <= box.Height)) {
    return {width, height};
  }
  // Relatively wider than the box (width / height > box width / box height, compared exactly):
  // the width fills the box; otherwise the height does.
  if (int64_t{width} * box.Height > int64_t{height} * box.Width) {
    return {box.Width, std::max(1, MulDiv(height, box.Width, width))};
  }
  return {std::max(1, MulDiv(width, box.Height, height)), box.Height};
}

}  // namespace tovrin
