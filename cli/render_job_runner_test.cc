// Tests of the command line's render progress line and resume hint.
#include "cli/render_job_runner.h"

#include <gtest/gtest.h>

namespace zt {
namespace {

TEST(RenderJobRunner, ProgressLines) {
  const double second = 1.0 / 86400;
  TRenderFigures single{0.25, 2 * second, 100, 100, 1, 1, false, false, "/tmp/out/x.png"};
  EXPECT_EQ(RenderProgressLine(single),
            "Rendering x.png: 25.0%  Elapsed: 0:00:02.00  Remaining: 0:00:06.00  Pixels/sec: 1250");
  TRenderFigures batch{0, 0, 100, 100, 2, 5, true, false, "y.bmp"};
  EXPECT_EQ(RenderProgressLine(batch),
            "Rendering y.bmp: 0.0% of image 2 of 5  Elapsed: 0:00:00.00");
  TRenderFigures saving{0.5, 0, 100, 100, 1, 1, false, true, "z.jpg"};
  EXPECT_EQ(RenderProgressLine(saving), "Saving z.jpg: 50.0%");
  EXPECT_EQ(ResumeHint("/a/b.zdr"), "Cancelled; to continue: zt render /a/b.zdr");
  EXPECT_EQ(ResumeHint("my file's.zdr"), "Cancelled; to continue: zt render 'my file'\\''s.zdr'");
}

}  // namespace
}  // namespace zt
