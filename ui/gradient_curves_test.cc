// Dragging a handle of the curves moves its point and sets that channel.
#include "ui/gradient_curves.h"

#include <QTest>

#include "ui/alpha_editing.h"
#include "ui/gradient_editing.h"

namespace zt::testing {
namespace {

TEST(GradientCurvesTest, DraggingAHandleMovesThePointAndSetsItsChannel) {
  TGradient gradient(true);
  TAlphaChannel alpha;
  TGradientEditing gradient_editing(gradient);
  TAlphaEditing alpha_editing(alpha);
  const struct {
    TRingEditing* Editing;
    int Point, Channel, ToIndex, ToValue;
  } cases[] = {
      {&gradient_editing, 3, 0, 320, 100},  // the red point's red
      {&gradient_editing, 2, 2, 210, 200},  // the yellow point's blue
      {&alpha_editing, 0, 0, 30, 60},
  };
  for (const auto& c : cases) {
    TGradientCurves curves(*c.Editing);
    curves.resize(412, 267);
    curves.show();
    TRingEditing& e = *c.Editing;
    const QPoint from =
        curves.PlaceOf(e.IndexOf(c.Point), c.Channel, e.ChannelValue(c.Point, c.Channel));
    const QPoint to = curves.PlaceOf(c.ToIndex, c.Channel, c.ToValue);
    EXPECT_EQ(curves.IndexAt(to.x()), c.ToIndex);
    EXPECT_NEAR(curves.ValueAt(to.y(), c.Channel), c.ToValue, 1);
    QTest::mousePress(&curves, Qt::LeftButton, {}, from);
    QTest::mouseMove(&curves, (from + to) / 2);
    QTest::mouseMove(&curves, to);
    QTest::mouseRelease(&curves, Qt::LeftButton, {}, to);
    EXPECT_EQ(e.Current(), c.Point);
    EXPECT_EQ(e.IndexOf(c.Point), c.ToIndex);
    EXPECT_NEAR(e.ChannelValue(c.Point, c.Channel), c.ToValue, 1);
  }
  EXPECT_EQ(gradient.History().Count(), 3);  // one step per drag
  EXPECT_EQ(alpha.First()->Opacity, alpha_editing.ChannelValue(0, 0));
}

}  // namespace
}  // namespace zt::testing
