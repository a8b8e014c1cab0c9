// Tests of the calculation timer with a hand-driven clock and pixel counts, and
// of the time span text.
#include "render/fractal_timer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace zt {
namespace {

constexpr double kSecond = 1.0 / 86400.0;

TEST(FormatTimeTest, Texts) {
  struct Case {
    double Days;
    const char* Text;
  } const cases[] = {
      {0.0, "0:00:00.00"},
      {0.0625, "1:30:00.00"},
      {1.125, "27:00:00.00"},  // hours do not wrap at a day
      {0.5 / 24 + 0.25 / 1440, "0:30:15.00"},
      {std::numeric_limits<double>::quiet_NaN(), "0:00:00.00"},
      {std::numeric_limits<double>::infinity(), "0:00:00.00"},
      {1e300, "0:00:00.00"},
      {-0.0625, "0:00:00.00"},
      {15.999 * kSecond, "0:00:15.99"},  // fractions of a hundredth are cut, not rounded
  };
  for (const Case& c : cases) EXPECT_EQ(FormatTime(c.Days), c.Text) << c.Days;
}

class FractalTimerTest : public ::testing::Test {
 protected:
  TFractalTimer timer_{[this] { return pixels_; }, [this] { return now_; }};
  double now_ = 1000.0;
  TPixelCount pixels_;
};

TEST_F(FractalTimerTest, ElapsedCountsOnlyRunningTime) {
  timer_.Start();
  now_ += 10 * kSecond;
  timer_.Start();  // already running: no restart
  EXPECT_NEAR(timer_.Elapsed(), 10 * kSecond, 1e-12);
  timer_.Stop();
  now_ += 100 * kSecond;  // stopped time does not count
  EXPECT_NEAR(timer_.Elapsed(), 10 * kSecond, 1e-12);
  timer_.Resume();
  now_ += 5 * kSecond;
  EXPECT_NEAR(timer_.Elapsed(), 15 * kSecond, 1e-12);
  EXPECT_EQ(timer_.ElapsedText(), "0:00:15.00");
  timer_.Stop();
  timer_.Start();  // stopped: a new start
  EXPECT_EQ(timer_.Elapsed(), 0.0);
  timer_.Stop();
  timer_.SetElapsed(60 * kSecond);
  EXPECT_NEAR(timer_.Elapsed(), 60 * kSecond, 1e-12);
  timer_.Resume();
  now_ += 30 * kSecond;
  EXPECT_NEAR(timer_.Elapsed(), 90 * kSecond, 1e-12);
}

TEST_F(FractalTimerTest, EstimatesFromThePixelsDone) {
  pixels_ = {0, 0};
  EXPECT_EQ(timer_.Progress(), 0.0);
  EXPECT_EQ(timer_.Percent(), 0);
  pixels_ = {0, 1000};
  timer_.Start();
  EXPECT_EQ(timer_.Rate(), 0);  // no time has passed
  now_ += 10 * kSecond;
  EXPECT_EQ(timer_.Remaining(), 0.0);  // nothing done yet
  EXPECT_EQ(timer_.Progress(), 0.0);
  pixels_ = {250, 1000};
  EXPECT_NEAR(timer_.Remaining(), 30 * kSecond, 1e-12);
  EXPECT_EQ(timer_.RemainingText(), "0:00:30.00");
  EXPECT_EQ(timer_.Rate(), 25);
  EXPECT_DOUBLE_EQ(timer_.Progress(), 0.25);
  EXPECT_EQ(timer_.Percent(), 25);
  pixels_ = {1200, 1000};
  EXPECT_EQ(timer_.Progress(), 1.0);
  EXPECT_EQ(timer_.Percent(), 100);
}

}  // namespace
}  // namespace zt
