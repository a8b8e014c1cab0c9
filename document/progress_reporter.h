// The base of the long file operations (fractal files, exports, disk renders)
// that run under a progress window: the operation reports how far it is, the
// window shows it.
#pragma once

#include <atomic>
#include <functional>

namespace zt {

// Execute() and Report() run on the thread that does the work; Progress() may
// be read from any thread (a window polling it). OnProgress is called on the
// working thread and must be assigned before Execute() starts.
class TProgressReporter {
 public:
  using TOnProgress = std::function<void(TProgressReporter& sender, double progress)>;

  TProgressReporter() = default;
  virtual ~TProgressReporter() = default;
  TProgressReporter(const TProgressReporter&) = delete;
  TProgressReporter& operator=(const TProgressReporter&) = delete;

  // From 0 to 1.
  double Progress() const { return progress_.load(std::memory_order_relaxed); }
  // Stores `progress` and tells OnProgress.
  void Report(double progress);
  // Does the work; the base has none.
  virtual void Execute();

  TOnProgress OnProgress;

 private:
  std::atomic<double> progress_{0.0};
};

}  // namespace zt
