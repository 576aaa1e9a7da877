// The quantities every frame of a transition is computed from.
//
// W and H are the incoming picture's size. The longer side is scaled from Progress and the shorter
// follows from it, so X : Y keeps the picture's proportions; S is the distance one step of Step
// percent covers along the longer side (divided by 90, so slightly more than Step percent).
#pragma once

#include <cstdint>

namespace tovrin {

struct TFrameExtents {
  int32_t W = 0;
  int32_t H = 0;
  int32_t X = 0;         // horizontal progress extent in pixels
  int32_t Y = 0;         // vertical progress extent in pixels
  int32_t S = 0;         // step extent
  int32_t Progress = 0;  // 0 to 100
  int32_t Step = 1;      // 1 to 100
};

// Extents of a W x H picture at the given Progress and Step.
TFrameExtents ComputeFrameExtents(int32_t width, int32_t height, int32_t progress, int32_t step);

// a / 2 truncated toward zero, also for negative a ((-5) / 2 = -2), as C++ division already does;
// named so the halvings of the style tables read as they are meant.
constexpr int32_t Half(int32_t a) {
  return a / 2;
}

}  // namespace tovrin
