// When the splash window gives way during start-up: the main window is created
// once the splash has been up at least 500 ms with events running, and the
// splash closes 4000 ms after it appeared. The times run on a 32-bit millisecond
// tick counter; when it wraps around, both waits end at once.
//
// Thread safety: the user-interface thread; the clock is called from there.
#pragma once

#include <cstdint>
#include <functional>

namespace zt {

// A millisecond tick counter that wraps around after 2^32 ms.
using TTickClock = std::function<std::uint32_t()>;

// The system's counter: milliseconds of the monotonic clock, wrapping.
std::uint32_t SystemTicks();

class TSplashTiming {
 public:
  static constexpr std::uint32_t kMinimumShown = 500;
  static constexpr std::uint32_t kCloseAfter = 4000;

  // The splash appears now.
  explicit TSplashTiming(TTickClock clock = SystemTicks);

  // Milliseconds until the main window may be created; 0 when it may now.
  std::uint32_t UntilMainWindow() const { return Left(kMinimumShown); }
  // Milliseconds until the splash closes; 0 when it closes now.
  std::uint32_t UntilClose() const { return Left(kCloseAfter); }

 private:
  std::uint32_t Left(std::uint32_t span) const;

  TTickClock clock_;
  std::uint32_t shown_at_;
};

}  // namespace zt
