// Our MulDiv against the platform's, on the values where rounding and overflow decide.
#include <gtest/gtest.h>

#include "windows_api.h"

#include <climits>
#include <string>

#include "gdi_objects.h"
#include "gfx/muldiv.h"

namespace tovrin {
namespace {

TEST(MulDivCompareTest, RoundingSignsAndOverflow) {
  const int32_t values[] = {INT_MIN, INT_MIN + 1, -2147483647 / 2,
                            -65536,  -1001,       -100,
                            -51,     -50,         -49,
                            -3,      -2,          -1,
                            0,       1,           2,
                            3,       49,          50,
                            51,      99,          100,
                            101,     1000,        46341,
                            65536,   1073741824,  INT_MAX - 1,
                            INT_MAX};
  int cases = 0, mismatches = 0;
  std::string first;
  for (int32_t a : values)
    for (int32_t b : values)
      for (int32_t c : values) {
        // Wine negates the first factor and the divisor when the divisor is negative, and the
        // negation of INT_MIN overflows there: MulDiv(INT_MIN, 1, -2) gives -1073741824 under
        // Wine. Those cases test Wine, not us.
        if (c < 0 && (a == INT_MIN || c == INT_MIN)) continue;
        ++cases;
        const int32_t ours = tovrin::MulDiv(a, b, c), theirs = ::MulDiv(a, b, c);
        if (ours != theirs && mismatches++ == 0) {
          first = "MulDiv(" + std::to_string(a) + ", " + std::to_string(b) + ", " +
                  std::to_string(c) + "): ours " + std::to_string(ours) + ", platform " +
                  std::to_string(theirs);
        }
      }
  gdi::TSweepRandom random(6);
  for (int i = 0; i < 200000; ++i) {
    const int32_t a = random.Range(-5000, 5000), b = random.Range(-5000, 5000);
    const int32_t c = random.Range(-300, 300);
    ++cases;
    const int32_t ours = tovrin::MulDiv(a, b, c), theirs = ::MulDiv(a, b, c);
    if (ours != theirs && mismatches++ == 0) {
      first = "MulDiv(" + std::to_string(a) + ", " + std::to_string(b) + ", " + std::to_string(c) +
              "): ours " + std::to_string(ours) + ", platform " + std::to_string(theirs);
    }
  }
  EXPECT_EQ(mismatches, 0) << mismatches << " of " << cases
                           << " cases differ; the first: " << first;
}

}  // namespace
}  // namespace tovrin
