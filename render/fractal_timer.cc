// The calculation timer and the time span text.
#include "render/fractal_timer.h"

#include <algorithm>
#include <chrono>
#include <cmath>

#include "platform/format.h"

namespace zt {

namespace {

constexpr double kSecondsPerDay = 86400.0;
constexpr long double kHundredthsPerDay = 8640000.0L;
// Spans beyond this cannot be counted in 64 bits.
constexpr long double kMaxHundredths = 9.0e18L;

}  // namespace

std::string FormatTime(double days) {
  const long double total = static_cast<long double>(days) * kHundredthsPerDay;
  if (!std::isfinite(total) || total < 0 || total >= kMaxHundredths) return "0:00:00.00";
  // Times are differences of wall-clock readings in days, so an exact 15 seconds
  // arrives as 14.9999999 and plain truncation would show 14.99. Counting whole
  // hundredths with a tolerance of a microsecond keeps such values exact while
  // still truncating real fractions of a hundredth.
  const long long count = static_cast<long long>(std::trunc(total * (1 + 1e-15L) + 1e-4L));
  const long long hours = count / 360000;
  const int minutes = static_cast<int>(count / 6000 % 60);
  const int seconds = static_cast<int>(count / 100 % 60);
  const int hundredths = static_cast<int>(count % 100);
  return Format("%lld:%.2d:%.2d.%.2d", hours, minutes, seconds, hundredths);
}

double TFractalTimer::SystemClock() {
  const auto now = std::chrono::system_clock::now().time_since_epoch();
  return std::chrono::duration<double>(now).count() / kSecondsPerDay;
}

TFractalTimer::TFractalTimer(TPixelSource pixels, TClock clock)
    : pixels_(std::move(pixels)), clock_(std::move(clock)) {}

void TFractalTimer::Start() {
  if (running_) return;
  elapsed_ = 0;
  running_ = true;
  start_ = clock_();
}

void TFractalTimer::Update() {
  if (running_) elapsed_ = clock_() - start_;
}

void TFractalTimer::Stop() {
  if (!running_) return;
  Update();
  running_ = false;
}

void TFractalTimer::Resume() {
  if (running_) return;
  start_ = clock_() - elapsed_;
  running_ = true;
  Update();
}

double TFractalTimer::Elapsed() {
  Update();
  return elapsed_;
}

void TFractalTimer::SetElapsed(double days) {
  start_ = clock_() - days;
  elapsed_ = days;
}

double TFractalTimer::Remaining() {
  Update();
  const TPixelCount pixels = pixels_();
  if (pixels.Done == 0) return 0;
  return static_cast<double>(pixels.Total - pixels.Done) * elapsed_ /
         static_cast<double>(pixels.Done);
}

std::int64_t TFractalTimer::Rate() {
  Update();
  if (elapsed_ == 0) return 0;
  const double rate = static_cast<double>(PixelsDone()) / (elapsed_ * kSecondsPerDay);
  if (!std::isfinite(rate)) return 0;
  return static_cast<std::int64_t>(std::nearbyint(rate));
}

double TFractalTimer::Progress() const {
  const TPixelCount pixels = pixels_();
  if (pixels.Total <= 0) return 0;
  const double progress = static_cast<double>(pixels.Done) / static_cast<double>(pixels.Total);
  return std::clamp(progress, 0.0, 1.0);
}

int TFractalTimer::Percent() const { return static_cast<int>(std::nearbyint(Progress() * 100)); }

}  // namespace zt
