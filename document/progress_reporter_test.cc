// Tests of progress reporting: the stored value and the notification agree.
#include "document/progress_reporter.h"

#include <gtest/gtest.h>

#include <vector>

namespace zt {
namespace {

// An operation in three steps, as the file operations derive from the base.
class TThreeSteps : public TProgressReporter {
 public:
  void Execute() override {
    for (int step = 1; step <= 3; ++step) Report(step / 3.0);
  }
};

TEST(ProgressReporter, ReportsEachStepToTheListener) {
  TThreeSteps operation;
  std::vector<double> seen;
  operation.OnProgress = [&](TProgressReporter& sender, double progress) {
    EXPECT_EQ(&sender, &operation);
    EXPECT_EQ(sender.Progress(), progress) << "stored before the listener is told";
    seen.push_back(progress);
  };
  EXPECT_EQ(operation.Progress(), 0.0);
  operation.Execute();
  EXPECT_EQ(seen, (std::vector<double>{1 / 3.0, 2 / 3.0, 1.0}));
  EXPECT_EQ(operation.Progress(), 1.0);
}

}  // namespace
}  // namespace zt
