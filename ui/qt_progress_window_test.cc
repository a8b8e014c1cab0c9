// Tests of the progress dialog: it shows the caption and the line, follows the
// work's reports from 0 to 1000 while the work runs, and gives the work's own
// progress handler back afterwards, also after a failure.
#include "ui/qt_progress_window.h"

#include <gtest/gtest.h>

#include <QProgressDialog>
#include <vector>

#include "platform/error.h"

namespace zt {
namespace {

class TSteps : public TProgressReporter {
 public:
  explicit TSteps(TQtProgressWindow& window) : window_(window) {}
  void Execute() override {
    for (double step : {0.25, 0.5, 1.0}) {
      Report(step);
      QProgressDialog* dialog = window_.Dialog();
      Values.push_back(dialog != nullptr && dialog->isVisible() ? dialog->value() : -1);
      if (dialog != nullptr) Label = dialog->labelText();
    }
    if (Fail) throw EZentrope("Could not create 'x.zfr'");
  }

  std::vector<int> Values;
  QString Label;
  bool Fail = false;

 private:
  TQtProgressWindow& window_;
};

TEST(QtProgressWindow, TheBarFollowsTheWorkAndTheHandlerComesBack) {
  for (const bool fail : {false, true}) {
    TQtProgressWindow window;
    TSteps work(window);
    work.Fail = fail;
    int own_reports = 0;
    work.OnProgress = [&](TProgressReporter&, double) { ++own_reports; };
    if (fail)
      EXPECT_THROW(window.Run(work, "Saving fractal file:", "/tmp/x.zfr"), EZentrope);
    else
      window.Run(work, "Saving fractal file:", "/tmp/x.zfr");
    EXPECT_EQ(work.Values, (std::vector<int>{250, 500, 1000}));
    EXPECT_EQ(work.Label, "Saving fractal file:\n/tmp/x.zfr");
    EXPECT_EQ(own_reports, 3);
    EXPECT_EQ(window.Dialog(), nullptr);
    work.Report(0.5);
    EXPECT_EQ(own_reports, 4);
  }
}

}  // namespace
}  // namespace zt
