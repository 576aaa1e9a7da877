#include "gfx/muldiv.h"

#include <cstdint>

namespace tovrin {

int32_t MulDiv(int32_t a, int32_t b, int32_t c) {
  if (c == 0) return -1;
  // The product of two 32-bit values fits in 64 bits; so does the product plus half the divisor.
  int64_t product = static_cast<int64_t>(a) * b;
  int64_t divisor = c;
  if (divisor < 0) {
    product = -product;
    divisor = -divisor;
  }
  // Adding half the divisor away from zero before the truncating division rounds to nearest with
  // halves away from zero. Zero counts as positive, as the platform does: for an exact zero
  // product the adjustment stays below one divisor and truncates back to zero either way.
  const int64_t half = divisor / 2;
  const int64_t result = product >= 0 ? (product + half) / divisor : (product - half) / divisor;
  // The platform reports a result outside -2147483647 .. 2147483647 as -1 (so -2^31, which would
  // fit, is refused as well).
  if (result > INT32_MAX || result < -INT32_MAX) return -1;
  return static_cast<int32_t>(result);
}

}  // namespace tovrin
