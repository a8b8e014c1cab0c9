// The command line's render loop (see render_job_runner.h).
#include "cli/render_job_runner.h"

#include <signal.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <ostream>

#include "cli/progress_bar.h"
#include "document/disk/render_progress.h"
#include "platform/thread.h"
#include "render/fractal_timer.h"

namespace zt {

namespace {

using TClock = std::chrono::steady_clock;
constexpr auto kRedrawInterval = std::chrono::milliseconds(250);

std::atomic<int> cancel_signal{0};

void OnCancelSignal(int signal) { cancel_signal.store(signal); }

// Turns SIGINT and SIGTERM into a cancel request for its lifetime. The handler
// resets itself, so a second signal ends the program as usual.
class TCancelSignals {
 public:
  TCancelSignals() {
    cancel_signal.store(0);
    struct sigaction action {};
    action.sa_handler = OnCancelSignal;
    action.sa_flags = SA_RESETHAND;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, &old_interrupt_);
    sigaction(SIGTERM, &action, &old_terminate_);
  }
  ~TCancelSignals() {
    sigaction(SIGINT, &old_interrupt_, nullptr);
    sigaction(SIGTERM, &old_terminate_, nullptr);
  }
  TCancelSignals(const TCancelSignals&) = delete;
  TCancelSignals& operator=(const TCancelSignals&) = delete;

  bool Requested() const { return cancel_signal.load() != 0; }

 private:
  struct sigaction old_interrupt_ {};
  struct sigaction old_terminate_ {};
};

// Quotes a file name for a shell when it holds anything but plain characters.
std::string ShellWord(const std::string& text) {
  if (!text.empty() && text.find_first_not_of("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ"
                                              "0123456789_-+=.,/:@%") == std::string::npos)
    return text;
  std::string quoted = "'";
  for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

}  // namespace

std::string RenderProgressLine(const TRenderFigures& f) {
  const std::string name = std::filesystem::path(f.Destination).filename().string();
  if (f.Saving) return "Saving " + name + ": " + ProgressText(f.Share);
  std::string line =
      "Rendering " + name + ": " +
      (f.Batch ? BatchProgressText(f.Share, f.Image, f.Images) : ProgressText(f.Share)) +
      "  Elapsed: " + FormatTime(f.Elapsed);
  const std::string remaining = RemainingText(f.Share, f.Elapsed);
  if (!remaining.empty()) line += "  Remaining: " + remaining;
  const std::string rate = PixelsPerSecondText(f.Width, f.Height, f.Share, f.Elapsed);
  if (!rate.empty()) line += "  Pixels/sec: " + rate;
  return line;
}

std::string ResumeHint(const std::string& temporary_file) {
  return "Cancelled; to continue: zt render " + ShellWord(temporary_file);
}

bool RunRenderJob(TRenderJob& job, std::ostream& err, bool terminal) {
  TCancelSignals signals;
  TProgressBar bar(err, terminal);
  auto next_draw = TClock::now();
  const auto draw = [&] {
    if (TClock::now() < next_draw) return;
    bar.ShowLine(RenderProgressLine(job.Figures()));
    next_draw = TClock::now() + kRedrawInterval;
  };
  job.OnSaving = [&](double) {
    draw();
    return !signals.Requested();
  };
  while (job.Step()) {
    MainThreadDispatcher().WaitFor(
        [&] { return !job.Waiting() || signals.Requested() || TClock::now() >= next_draw; });
    if (signals.Requested()) {
      job.Cancel();
      break;
    }
    draw();
  }
  bar.Finish();
  return !job.Cancelled();
}

}  // namespace zt
