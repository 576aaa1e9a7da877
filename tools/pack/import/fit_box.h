// The box that --fit WxH names, and the size a picture takes inside it.
#pragma once

#include <cstdint>

namespace tovrin {

struct TFitBox {
  int32_t Width = 0;  // 0 x 0: no box, pictures keep their size
  int32_t Height = 0;
  bool Empty() const { return Width <= 0 || Height <= 0; }
};

struct TPictureSize {
  int32_t Width = 0;
  int32_t Height = 0;
  friend bool operator==(const TPictureSize&, const TPictureSize&) = default;
};

// The largest side of a box (a JPEG side holds at most 65535 pixels; the box stays a little below
// it). --fit takes sides 1 to MaxFitSide.
inline constexpr int32_t MaxFitSide = 65500;

// The size of a width x height picture fitted into the box with its proportions kept (the
// shorter side rounded, at least 1). A picture already inside the box keeps its size: it is
// never enlarged. An empty box keeps every size.
TPictureSize FittedSize(int32_t width, int32_t height, const TFitBox& box);

}  // namespace tovrin
