// Checks the lane division against the plain division over every numerator and
// divisor the merge's HSL conversions can produce.
#include "color/lane_math.h"

#include <gtest/gtest.h>

namespace zt {
namespace {

TEST(LaneMathTest, DivisionEqualsPlainDivisionOverTheMergeDomain) {
  // Numerators below 2^17 and divisors up to 510 cover every division of the merge.
  for (int d = 1; d <= 510; ++d) {
    for (int n = 0; n < (1 << 17); n += kLaneCount) {
      TLanes numerators;
      for (int i = 0; i < kLaneCount; ++i) numerators[i] = n + i;
      const TLanes quotients = DivideLanes(numerators, Splat(d));
      for (int i = 0; i < kLaneCount; ++i)
        ASSERT_EQ(quotients[i], (n + i) / d) << (n + i) << " / " << d;
    }
  }
}

TEST(LaneMathTest, DivisionIsExactAtTheTopOfItsRange) {
  const int top = (1 << 24) - 1;
  for (int d : {1, 2, 3, 7, 255, 4095, 65535, top}) {
    const TLanes n = {top, top - 1, top - d, d * (top / d), d * (top / d) - 1, d, d - 1, 0};
    const TLanes q = DivideLanes(n, Splat(d));
    for (int i = 0; i < kLaneCount; ++i) ASSERT_EQ(q[i], n[i] / d) << n[i] << " / " << d;
  }
}

}  // namespace
}  // namespace zt
