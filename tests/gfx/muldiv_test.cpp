#include "gfx/muldiv.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>

namespace tovrin {
namespace {

// a * b / c rounded to nearest, halves away from zero, worked out on magnitudes in unsigned
// 64-bit arithmetic; -1 for a zero divisor or a result outside -(2^31 - 1) .. 2^31 - 1.
int32_t ReferenceMulDiv(int32_t a, int32_t b, int32_t c) {
  if (c == 0) return -1;
  const int64_t p = static_cast<int64_t>(a) * b;
  const bool negative = (p < 0) != (c < 0) && p != 0;
  const uint64_t n = p < 0 ? 0 - static_cast<uint64_t>(p) : static_cast<uint64_t>(p);
  const uint64_t d =
      c < 0 ? 0 - static_cast<uint64_t>(static_cast<int64_t>(c)) : static_cast<uint64_t>(c);
  const uint64_t q = (2 * n + d) / (2 * d);  // floor(n / d + 1/2)
  if (q > 2147483647u) return -1;
  return negative ? -static_cast<int32_t>(q) : static_cast<int32_t>(q);
}

TEST(MulDivTest, RoundsHalvesAwayFromZero) {
  EXPECT_EQ(MulDiv(5, 1, 2), 3);
  EXPECT_EQ(MulDiv(3, 1, 2), 2);
  EXPECT_EQ(MulDiv(-5, 1, 2), -3);
  EXPECT_EQ(MulDiv(5, -1, 2), -3);
  EXPECT_EQ(MulDiv(5, 1, -2), -3);
  EXPECT_EQ(MulDiv(-5, 1, -2), 3);
  EXPECT_EQ(MulDiv(-5, -1, -2), -3);
  EXPECT_EQ(MulDiv(1, 1, 3), 0);
  EXPECT_EQ(MulDiv(2, 1, 3), 1);
  EXPECT_EQ(MulDiv(-2, 1, 3), -1);
  EXPECT_EQ(MulDiv(-1, 1, 3), 0);
  EXPECT_EQ(MulDiv(0, 5, -7), 0);
  EXPECT_EQ(MulDiv(-7, 0, 3), 0);
  // Values from the transition geometry.
  EXPECT_EQ(MulDiv(800, 100, 90), 889);
  EXPECT_EQ(MulDiv(400, 768, 300), 1024);
  EXPECT_EQ(MulDiv(640, 50, 100), 320);
  EXPECT_EQ(MulDiv(399, 50, 100), 200);  // 199.5
}

TEST(MulDivTest, ZeroDivisorAndOverflowGiveMinusOne) {
  EXPECT_EQ(MulDiv(1, 1, 0), -1);
  EXPECT_EQ(MulDiv(0, 0, 0), -1);
  EXPECT_EQ(MulDiv(INT32_MAX, 2, 1), -1);
  EXPECT_EQ(MulDiv(46341, 46341, 1), -1);
  EXPECT_EQ(MulDiv(INT32_MIN, -1, 1), -1);
  EXPECT_EQ(MulDiv(INT32_MIN, 1, -1), -1);
  // -2^31 fits in 32 bits, but the platform reports it as an overflow too.
  EXPECT_EQ(MulDiv(INT32_MIN, 1, 1), -1);
  EXPECT_EQ(MulDiv(INT32_MIN, INT32_MIN, INT32_MIN), -1);
  // The 64-bit intermediate keeps large products exact.
  EXPECT_EQ(MulDiv(INT32_MAX, INT32_MAX, INT32_MAX), INT32_MAX);
  EXPECT_EQ(MulDiv(-INT32_MAX, INT32_MAX, INT32_MAX), -INT32_MAX);
  EXPECT_EQ(MulDiv(INT32_MIN, 1, 2), -1073741824);
  EXPECT_EQ(MulDiv(INT32_MIN, INT32_MIN, INT32_MAX), -1);
  EXPECT_EQ(MulDiv(100000, 100000, 100000), 100000);
}

TEST(MulDivTest, AgreesWithTheReferenceOverRandomOperands) {
  std::mt19937 rng(99);
  std::uniform_int_distribution<int32_t> any(INT32_MIN, INT32_MAX);
  std::uniform_int_distribution<int32_t> small(-1000, 1000);
  for (int i = 0; i < 200000; ++i) {
    const int32_t a = i % 2 ? any(rng) : small(rng);
    const int32_t b = i % 3 ? small(rng) : any(rng);
    const int32_t c = i % 5 ? small(rng) : any(rng);
    ASSERT_EQ(MulDiv(a, b, c), ReferenceMulDiv(a, b, c)) << a << " * " << b << " / " << c;
  }
}

TEST(MulDivTest, HalfTruncRoundsTowardZero) {
  EXPECT_EQ(HalfTrunc(5), 2);
  EXPECT_EQ(HalfTrunc(-5), -2);
  EXPECT_EQ(HalfTrunc(-1), 0);
  EXPECT_EQ(HalfTrunc(-224), -112);
  EXPECT_EQ(HalfTrunc(INT32_MIN), -1073741824);
  EXPECT_EQ(HalfTrunc(INT32_MAX), 1073741823);
}

}  // namespace
}  // namespace tovrin
