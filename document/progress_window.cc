// The program-wide progress window and the silent one used when no front end
// installed its own.
#include "document/progress_window.h"

#include <atomic>

namespace zt {
namespace {

class TSilentProgressWindow : public TProgressWindow {
 public:
  void Run(TProgressReporter& work, const std::string&, const std::string&) override {
    work.Execute();
  }
};

TSilentProgressWindow silent_window;
std::atomic<TProgressWindow*> installed_window{nullptr};

}  // namespace

TProgressWindow& ProgressWindow() {
  TProgressWindow* window = installed_window.load();
  return window ? *window : silent_window;
}

void SetProgressWindow(TProgressWindow* window) { installed_window.store(window); }

void RunWithProgress(TProgressReporter& work, const std::string& caption, const std::string& line) {
  ProgressWindow().Run(work, caption, line);
}

}  // namespace zt
