// Tests of the rendering window's figures.
#include "document/disk/render_progress.h"

#include <gtest/gtest.h>

namespace zt {
namespace {

TEST(RenderProgress, ShareOfTheImage) {
  const struct {
    TStripPosition Position;
    double Share;
  } cases[] = {
      {{2, 0, 52, 104, 53, 1, 0}, 0},  // strip 0, bottom layer starting
      {{2, 0, 52, 104, 53, 1, 0.5}, 53 * 0.5 / 208},
      {{2, 0, 52, 104, 53, 0, 0.5}, 53 * 1.5 / 208},  // the top layer half done
      {{2, 1, 52, 104, 52, 0, 1}, 1},
      {{1, 3, 10, 35, 10, 0, 1}, 1},  // clamped: the last strip is short
      {{0, 5, 10, 100, 10, 0, 0}, 0},
  };
  for (const auto& c : cases) EXPECT_DOUBLE_EQ(ImageShare(c.Position), c.Share);
  // 100 pixels; anti-aliasing of depth 1 over 40 pixels counts 1.5 each: 160.
  EXPECT_DOUBLE_EQ(LayerShare(50, 100, 0, 40, false, 0), 0.5);
  EXPECT_DOUBLE_EQ(LayerShare(50, 100, 1, 40, false, 0), 50.0 / 160);
  EXPECT_DOUBLE_EQ(LayerShare(100, 100, 1, 40, true, 20), 130.0 / 160);
  EXPECT_DOUBLE_EQ(LayerShare(0, 0, 2, 40, false, 0), 1);
}

TEST(RenderProgress, Texts) {
  EXPECT_EQ(ProgressText(0.12345), "12.3%");
  EXPECT_EQ(BatchProgressText(0.5, 2, 7), "50.0% of image 2 of 7");
  EXPECT_EQ(RemainingText(0, 0.01), "");
  EXPECT_EQ(RemainingText(0.25, 1.0 / 86400), "0:00:03.00");
  EXPECT_EQ(PixelsPerSecondText(100, 100, 0.5, 0), "");
  EXPECT_EQ(PixelsPerSecondText(100, 100, 0.5, 2.0 / 86400), "2500");
  EXPECT_EQ(RenderingCaption(0.999, "x.png"), "[99%] Rendering x.png");
}

}  // namespace
}  // namespace zt
