#include "core/random.h"

#include <gtest/gtest.h>

namespace tovrin {
namespace {

TEST(RandomTest, SequenceFollowsTheLinearCongruentialRecurrence) {
  TRandom r(0);
  // state 1 after the first call: high 32 bits of 1 * 10 are 0.
  EXPECT_EQ(r.Next(10), 0);
  EXPECT_EQ(r.Seed(), 1u);
  // state 134775814: (134775814 * 1000) >> 32 = 31.
  EXPECT_EQ(r.Next(1000), 31);
  EXPECT_EQ(r.Seed(), 134775814u);
  // The next state wraps modulo 2^32.
  const uint32_t expected = 134775814u * 134775813u + 1u;
  r.Next(5);
  EXPECT_EQ(r.Seed(), expected);
}

TEST(RandomTest, ZeroRangeReturnsZeroButAdvances) {
  TRandom r(12345);
  EXPECT_EQ(r.Next(0), 0);
  EXPECT_EQ(r.Seed(), 12345u * 134775813u + 1u);
}

TEST(RandomTest, ResultsStayInRangeAndUseTheHighBits) {
  TRandom r(0xDEADBEEF);
  for (int i = 0; i < 10000; ++i) {
    const uint32_t before = r.Seed();
    const uint32_t after = before * 134775813u + 1u;
    const int32_t v = r.Next(127);
    ASSERT_GE(v, 0);
    ASSERT_LT(v, 127);
    ASSERT_EQ(v, static_cast<int32_t>((uint64_t{after} * 127u) >> 32));
  }
}

TEST(RandomTest, TimeOfDaySeed) {
  EXPECT_EQ(TimeOfDaySeed(0, 0, 0, 0), 0u);
  EXPECT_EQ(TimeOfDaySeed(23, 59, 59, 999), 86399999u);
  EXPECT_EQ(TimeOfDaySeed(1, 2, 3, 4), 3723004u);
}

TEST(RandomTest, ProcessWideGeneratorIsOneObject) {
  ProcessRandom().SetSeed(7);
  const int32_t a = Random(100);
  TRandom copy(7);
  EXPECT_EQ(a, copy.Next(100));
  EXPECT_EQ(&ProcessRandom(), &ProcessRandom());
}

}  // namespace
}  // namespace tovrin
