// The alpha channel editor's form: the opacity reaches the layer's convert table
// and its use of alpha, a channel of its own shows white, and entries go to a
// .zal file and come back.
#include "ui/alpha_editing.h"

#include <gtest/gtest.h>

#include "color/layer.h"
#include "document/fractal_test_util.h"
#include "platform/user_interface.h"

namespace zt::testing {
namespace {

class AlphaEditingTest : public FractalTest {
 protected:
  TRecordingUserInterface ui_;
  TUserInterfaceGuard guard_{ui_};
};

TEST_F(AlphaEditingTest, OpacityReachesTheLayersTableAndItsUseOfAlpha) {
  auto fractal = NewFractal(4, 2, "");
  TLayer& layer = fractal->CurrentLayer();
  TAlphaEditing editing(layer.AlphaChannel());
  EXPECT_FALSE(layer.UseAlpha());
  editing.SetCurrent(editing.Insert(200));
  EXPECT_EQ(editing.ChannelValue(1, 0), 255);
  editing.SetChannelValue(1, 0, 40);
  EXPECT_EQ(layer.ConvertTable()[200 * 128].Opacity, 40);
  EXPECT_EQ(editing.TableChannel(200 * 128, 0), 40);
  EXPECT_EQ(qAlpha(editing.TableColor(200 * 128)), 40);
  EXPECT_TRUE(layer.UseAlpha());
  editing.SetChannelValue(1, 0, 256);  // out of range: refused
  EXPECT_EQ(editing.ChannelValue(1, 0), 40);
  editing.Invert();
  EXPECT_EQ(layer.ConvertTable()[0].Opacity, 0);
  editing.Undo();
  editing.Undo();
  EXPECT_EQ(layer.ConvertTable()[200 * 128].Opacity, 255);
  EXPECT_FALSE(layer.UseAlpha());
}

TEST_F(AlphaEditingTest, AnOwnChannelShowsWhiteAndEntriesMakeTheRoundTrip) {
  TAlphaEditing own;
  EXPECT_TRUE(own.OwnsObject());
  EXPECT_EQ(own.TableColor(1000), qRgba(255, 255, 255, 255));
  own.RandomizeCount(5);
  own.SetSmooth(false);
  const std::string file = (dir_.path() / "alpha.zal").string();
  ASSERT_TRUE(own.SaveEntry(file, "Five steps"));

  TAlphaEditing loaded;
  EXPECT_EQ(loaded.LoadEntry(file, "FiveSteps"), "Five steps");
  ASSERT_EQ(loaded.Count(), 5);
  EXPECT_FALSE(loaded.Smooth());
  for (int n = 0; n < 5; ++n) {
    EXPECT_EQ(loaded.IndexOf(n), own.IndexOf(n));
    EXPECT_EQ(loaded.ChannelValue(n, 0), own.ChannelValue(n, 0));
  }
}

}  // namespace
}  // namespace zt::testing
