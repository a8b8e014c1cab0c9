// The pause before typed input takes effect.
#include "ui/input_delay.h"

#include <iterator>

#include "document/settings/config_manager.h"

namespace zt {

int InputDelayMilliseconds(int setting) {
  static constexpr int kDelays[] = {500, 1000, 2000, 3000, 4000, 5000};
  if (setting < 0 || setting >= static_cast<int>(std::size(kDelays))) return -1;
  return kDelays[setting];
}

TInputDelay::TInputDelay(QObject* parent) : QObject(parent) {
  timer_.setSingleShot(true);
  connect(&timer_, &QTimer::timeout, this, &TInputDelay::Flush);
}

void TInputDelay::Typed() {
  pending_ = true;
  const int delay = InputDelayMilliseconds(ConfigManager().ToolInputDelay);
  if (delay < 0)
    timer_.stop();
  else
    timer_.start(delay);
}

void TInputDelay::Flush() {
  if (!pending_) return;
  Cancel();
  emit Due();
}

void TInputDelay::Cancel() {
  pending_ = false;
  timer_.stop();
}

}  // namespace zt
