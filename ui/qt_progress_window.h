// The modal progress window of long file operations (fractal files, exports):
// a progress dialog with the operation's caption and file, whose bar follows
// the work's progress from 0 to 1000.
#pragma once

#include <string>

#include "document/progress_window.h"

class QProgressDialog;

namespace zt {

// User-interface thread only. Run shows the dialog modally, runs the work on
// the calling thread and closes the dialog; each progress report moves the bar
// and lets the dialog repaint (input stays blocked). There is no cancel button.
class TQtProgressWindow : public TProgressWindow {
 public:
  void Run(TProgressReporter& work, const std::string& caption, const std::string& line) override;

  // The dialog while Run runs, else null (tests look at it).
  QProgressDialog* Dialog() const { return dialog_; }

 private:
  QProgressDialog* dialog_ = nullptr;
};

}  // namespace zt
