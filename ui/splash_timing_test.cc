// Tests of the splash window's waits on an injected tick counter.
#include "ui/splash_timing.h"

#include <gtest/gtest.h>

namespace zt {
namespace {

TEST(SplashTiming, WaitsFromTheMomentItAppeared) {
  const struct {
    std::uint32_t ShownAt;
    std::uint32_t Now;
    std::uint32_t UntilMainWindow;
    std::uint32_t UntilClose;
  } kCases[] = {
      {1000, 1000, 500, 4000},   {1000, 1499, 1, 3501}, {1000, 1500, 0, 3500},
      {1000, 4999, 0, 1},        {1000, 5000, 0, 0},    {0xFFFFFF00u, 0xFFFFFFFFu, 245, 3745},
      {0xFFFFFF00u, 0x10, 0, 0},  // the counter wrapped around
  };
  for (const auto& c : kCases) {
    std::uint32_t now = c.ShownAt;
    const TSplashTiming timing([&now] { return now; });
    now = c.Now;
    EXPECT_EQ(timing.UntilMainWindow(), c.UntilMainWindow) << c.ShownAt << " " << c.Now;
    EXPECT_EQ(timing.UntilClose(), c.UntilClose) << c.ShownAt << " " << c.Now;
  }
}

}  // namespace
}  // namespace zt
