// Drawing the command line's progress bar.
#include "cli/progress_bar.h"

#include <algorithm>
#include <cstdio>
#include <ostream>

namespace zt {

namespace {
constexpr int kCells = 30;
}  // namespace

std::string ProgressLine(const std::string& caption, double fraction) {
  if (!(fraction >= 0)) fraction = 0;  // also NaN
  fraction = std::min(fraction, 1.0);
  const int filled = static_cast<int>(fraction * kCells);
  char percent[8];
  std::snprintf(percent, sizeof percent, "%3d%%", static_cast<int>(fraction * 100));
  return caption + " [" + std::string(filled, '#') + std::string(kCells - filled, '-') + "] " +
         percent;
}

void TProgressBar::Run(TProgressReporter& work, const std::string& caption, const std::string&) {
  auto previous = work.OnProgress;
  work.OnProgress = [&](TProgressReporter& sender, double progress) {
    Show(caption, progress);
    if (previous) previous(sender, progress);
  };
  try {
    Show(caption, 0);
    work.Execute();
  } catch (...) {
    work.OnProgress = previous;
    Finish();
    throw;
  }
  work.OnProgress = previous;
  Finish();
}

void TProgressBar::Show(const std::string& caption, double fraction) {
  if (enabled_) ShowLine(ProgressLine(caption, fraction));
}

void TProgressBar::ShowLine(const std::string& line) {
  if (!enabled_ || line == shown_) return;
  // Blanks cover the rest of a longer line drawn before.
  const std::size_t width = std::max(line.size(), shown_.size());
  out_ << '\r' << line << std::string(width - line.size(), ' ') << std::flush;
  shown_ = line;
}

void TProgressBar::Finish() {
  if (shown_.empty()) return;
  out_ << '\n' << std::flush;
  shown_.clear();
}

}  // namespace zt
