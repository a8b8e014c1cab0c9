// Tests of the command line's progress bar: the drawn line, redrawing only on
// change, silence when not on a terminal, and the window protocol.
#include "cli/progress_bar.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <stdexcept>

namespace zt {
namespace {

TEST(ProgressBarTest, LineShowsCellsAndPercent) {
  struct TCase {
    double Fraction;
    const char* Expected;
  };
  const TCase cases[] = {
      {0.0, "Go [------------------------------]   0%"},
      {0.25, "Go [#######-----------------------]  25%"},
      {0.999, "Go [#############################-]  99%"},
      {1.0, "Go [##############################] 100%"},
      {7.0, "Go [##############################] 100%"},
      {-1.0, "Go [------------------------------]   0%"},
      {std::nan(""), "Go [------------------------------]   0%"},
  };
  for (const TCase& c : cases) EXPECT_EQ(ProgressLine("Go", c.Fraction), c.Expected) << c.Fraction;
}

TEST(ProgressBarTest, RedrawsOnlyChangesAndEndsItsLine) {
  std::ostringstream out;
  {
    TProgressBar bar(out, true);
    bar.Show("Calculating", 0.5);
    bar.Show("Calculating", 0.501);  // the same line: not drawn again
    bar.Show("Export", 1.0);
  }
  EXPECT_EQ(out.str(),
            "\rCalculating [###############---------------]  50%"
            "\rExport [##############################] 100%     \n");
}

TEST(ProgressBarTest, DisabledBarDrawsNothing) {
  std::ostringstream out;
  TProgressBar bar(out, false);
  TProgressReporter work;
  bar.Run(work, "Exporting PNG image:", "a.png");
  bar.Show("x", 0.5);
  bar.Finish();
  EXPECT_EQ(out.str(), "");
}

// Reports halfway, then fails when asked to.
class THalfWork : public TProgressReporter {
 public:
  explicit THalfWork(bool fail) : fail_(fail) {}
  void Execute() override {
    Report(0.5);
    if (fail_) throw std::runtime_error("broken");
    Report(1.0);
  }

 private:
  bool fail_;
};

TEST(ProgressBarTest, RunDrawsTheWorkAndRestoresItsHandler) {
  for (bool fail : {false, true}) {
    std::ostringstream out;
    TProgressBar bar(out, true);
    THalfWork work(fail);
    int seen = 0;
    work.OnProgress = [&](TProgressReporter&, double) { ++seen; };
    if (fail)
      EXPECT_THROW(bar.Run(work, "Saving", "f"), std::runtime_error);
    else
      bar.Run(work, "Saving", "f");
    EXPECT_EQ(seen, fail ? 1 : 2);
    const std::string text = out.str();
    EXPECT_NE(text.find("Saving [###############---------------]  50%"), std::string::npos);
    EXPECT_EQ(text.back(), '\n') << "the line is ended even after a failure";
    work.Report(0.7);
    EXPECT_EQ(seen, fail ? 2 : 3);
    EXPECT_EQ(out.str(), text) << "no drawing after Run";
  }
}

}  // namespace
}  // namespace zt
