// Progress storage and notification for long file operations.
#include "document/progress_reporter.h"

namespace zt {

void TProgressReporter::Report(double progress) {
  progress_.store(progress, std::memory_order_relaxed);
  if (OnProgress) OnProgress(*this, progress);
}

void TProgressReporter::Execute() {}

}  // namespace zt
