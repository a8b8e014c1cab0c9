// The calculation timer of a document: elapsed time across stops and resumes,
// the estimated remaining time and rate from the layers' pixel counts, and the
// text form of a time span.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace zt {

// The text of a time span given in days: hours (not wrapped at 24), minutes,
// seconds and hundredths as "%d:%.2d:%.2d.%.2d". A span that cannot be converted
// (not a number, infinite, negative or too large) gives "0:00:00.00".
std::string FormatTime(double days);

// Pixels calculated so far and pixels to calculate, summed over a document's layers.
struct TPixelCount {
  std::int64_t Done = 0;
  std::int64_t Total = 0;
};

// Times are in days, like the clock. Used on the user-interface thread only; the
// clock and the pixel source are called from the readings.
class TFractalTimer {
 public:
  // The current time in days since any fixed origin.
  using TClock = std::function<double()>;
  using TPixelSource = std::function<TPixelCount()>;

  // The wall clock in days.
  static double SystemClock();

  explicit TFractalTimer(TPixelSource pixels, TClock clock = SystemClock);

  // From zero; nothing while running.
  void Start();
  // Brings the elapsed time up to now while running.
  void Update();
  void Stop();
  // Continues from the elapsed time; nothing while running.
  void Resume();
  bool Running() const { return running_; }

  double Elapsed();
  // Also while running: the time continues from `days`.
  void SetElapsed(double days);

  std::int64_t PixelsDone() const { return pixels_().Done; }
  std::int64_t PixelsTotal() const { return pixels_().Total; }
  // The time the pixels still to do will take at the rate so far; 0 before the
  // first pixel.
  double Remaining();
  // Pixels per second, rounded; 0 before any time has passed.
  std::int64_t Rate();
  // Done / total in [0, 1]; 0 without pixels.
  double Progress() const;
  int Percent() const;

  std::string ElapsedText() { return FormatTime(Elapsed()); }
  std::string RemainingText() { return FormatTime(Remaining()); }

 private:
  TPixelSource pixels_;
  TClock clock_;
  double start_ = 0;
  double elapsed_ = 0;
  bool running_ = false;
};

}  // namespace zt
