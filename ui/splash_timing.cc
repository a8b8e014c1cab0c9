// The splash window's two waits on a wrapping tick counter.
#include "ui/splash_timing.h"

#include <chrono>
#include <utility>

namespace zt {

std::uint32_t SystemTicks() {
  const auto since_boot = std::chrono::steady_clock::now().time_since_epoch();
  return std::uint32_t(std::chrono::duration_cast<std::chrono::milliseconds>(since_boot).count());
}

TSplashTiming::TSplashTiming(TTickClock clock) : clock_(std::move(clock)), shown_at_(clock_()) {}

std::uint32_t TSplashTiming::Left(std::uint32_t span) const {
  const std::uint32_t now = clock_();
  if (now < shown_at_) return 0;  // the counter wrapped around
  const std::uint32_t elapsed = now - shown_at_;
  return elapsed >= span ? 0 : span - elapsed;
}

}  // namespace zt
