// The progress window that long file operations (exports, fractal files) run
// under. The front end supplies the window; without one the work simply runs.
#pragma once

#include <string>

#include "document/progress_reporter.h"

namespace zt {

// Threads: Run is called on the user-interface thread and runs the work there;
// the window follows the work's progress through its OnProgress, which it may
// replace for the duration of Run (the previous handler is restored).
class TProgressWindow {
 public:
  virtual ~TProgressWindow() = default;
  // Shows `caption` with `line` below it, runs work.Execute() and closes. An
  // exception from the work closes the window and passes on.
  virtual void Run(TProgressReporter& work, const std::string& caption,
                   const std::string& line) = 0;
};

// The program-wide window: one that shows nothing unless the front end set one.
TProgressWindow& ProgressWindow();
// Installs `window` (not owned; it must outlive its use); nullptr restores the
// silent one.
void SetProgressWindow(TProgressWindow* window);

// Installs a window for the lifetime of the guard.
class TProgressWindowGuard {
 public:
  explicit TProgressWindowGuard(TProgressWindow& window) { SetProgressWindow(&window); }
  ~TProgressWindowGuard() { SetProgressWindow(nullptr); }
  TProgressWindowGuard(const TProgressWindowGuard&) = delete;
  TProgressWindowGuard& operator=(const TProgressWindowGuard&) = delete;
};

// Runs `work` under the program-wide window.
void RunWithProgress(TProgressReporter& work, const std::string& caption, const std::string& line);

}  // namespace zt
