// Integer helpers of transition geometry with the platform's exact rounding.
#pragma once

#include <cstdint>

namespace tovrin {

// a * b / c computed with a 64-bit intermediate and rounded to the nearest integer, halves away
// from zero. Returns -1 when c is 0 or when the rounded result does not fit in 32 bits (the
// platform's error value, which callers cannot tell apart from a true -1).
int32_t MulDiv(int32_t a, int32_t b, int32_t c);

// a div 2 rounding toward zero, also for negative a (-5 -> -2, unlike a >> 1, which gives -3).
constexpr int32_t HalfTrunc(int32_t a) {
  return a / 2;
}

}  // namespace tovrin
