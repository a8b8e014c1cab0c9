// The command line's progress display: one line on standard error, redrawn in
// place, shown only when standard error is a terminal.
#pragma once

#include <iosfwd>
#include <string>

#include "document/progress_window.h"

namespace zt {

// The line drawn for `caption` at `fraction` (0 to 1, clamped):
// "caption [#####---------------]  25%" with a bar of 30 cells.
std::string ProgressLine(const std::string& caption, double fraction);

// Threads: used on the main thread only. Draws nothing when not enabled.
class TProgressBar : public TProgressWindow {
 public:
  TProgressBar(std::ostream& out, bool enabled) : out_(out), enabled_(enabled) {}
  ~TProgressBar() override { Finish(); }
  TProgressBar(const TProgressBar&) = delete;
  TProgressBar& operator=(const TProgressBar&) = delete;

  // Runs `work` with its progress drawn under `caption`; the file line is left
  // out so that the bar stays on one line.
  void Run(TProgressReporter& work, const std::string& caption, const std::string& line) override;

  // Redraws when the shown line changes.
  void Show(const std::string& caption, double fraction);
  // Draws `line` in place of the shown one, when it differs.
  void ShowLine(const std::string& line);
  // Ends the bar's line, if one was drawn.
  void Finish();

 private:
  std::ostream& out_;
  bool enabled_;
  std::string shown_;
};

}  // namespace zt
