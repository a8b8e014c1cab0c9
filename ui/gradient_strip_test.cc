// The strip with real mouse and key input on a layer's gradient: a drag or a key
// moves a point and recolors the layer in one undo step, a double click adds a point, a
// Ctrl+click adds to the selection.
#include "ui/gradient_strip.h"

#include <QTest>

#include "color/layer.h"
#include "document/fractal_test_util.h"
#include "ui/gradient_editing.h"

namespace zt::testing {
namespace {

class GradientStripTest : public FractalTest {
 protected:
  void SetUp() override {
    FractalTest::SetUp();
    fractal_ = NewFractal(4, 2, "");
    editing_ = std::make_unique<TGradientEditing>(Gradient());
    strip_ = std::make_unique<TGradientStrip>(*editing_);
    strip_->resize(412, 56);  // one pixel per position
    strip_->show();
  }
  TGradient& Gradient() { return fractal_->CurrentLayer().Gradient(); }
  const TColorEntry& Entry(int index) {
    return fractal_->CurrentLayer().ConvertTable()[index * kEntriesPerIndex];
  }
  QPoint MarkerOf(int index) { return {strip_->XOf(index), strip_->height() - 3}; }

  std::unique_ptr<TFractal> fractal_;
  std::unique_ptr<TGradientEditing> editing_;
  std::unique_ptr<TGradientStrip> strip_;
};

TEST_F(GradientStripTest, DraggingAPointRecolorsTheLayerInOneStep) {
  EXPECT_EQ(strip_->IndexAt(strip_->XOf(150)), 150);
  EXPECT_EQ(strip_->PointAt(MarkerOf(100)), 1);
  EXPECT_EQ(strip_->PointAt({strip_->XOf(100), 5}), -1);
  EXPECT_NE(Entry(150).Blue, 255);
  const int steps = Gradient().History().Count();
  QSignalSpy ended(strip_.get(), &TGradientStrip::DragEnded);

  QTest::mousePress(strip_.get(), Qt::LeftButton, {}, MarkerOf(100));
  for (int index : {120, 140, 150}) QTest::mouseMove(strip_.get(), MarkerOf(index));
  // A point stops before a neighbour it would pass.
  QTest::mouseMove(strip_.get(), MarkerOf(250));
  QTest::mouseMove(strip_.get(), MarkerOf(150));
  QTest::mouseRelease(strip_.get(), Qt::LeftButton, {}, MarkerOf(150));

  EXPECT_EQ(Gradient().First()->Next->Index, 150);
  EXPECT_EQ(Entry(150).Blue, 255);  // white now
  EXPECT_EQ(Gradient().History().Count(), steps + 1);
  EXPECT_EQ(ended.count(), 1);
  editing_->Undo();
  EXPECT_EQ(Gradient().First()->Next->Index, 100);
  EXPECT_NE(Entry(150).Blue, 255);

  // Keys move the focused point; each press and release is one step.
  editing_->SetCurrent(1);
  QTest::keyClick(strip_.get(), Qt::Key_Right, Qt::ShiftModifier);
  QTest::keyClick(strip_.get(), Qt::Key_Left);
  EXPECT_EQ(Gradient().First()->Next->Index, 109);
  EXPECT_EQ(Gradient().History().Count(), steps + 2);
}

TEST_F(GradientStripTest, DoubleClickAddsAndCtrlClickSelects) {
  QTest::mouseDClick(strip_.get(), Qt::LeftButton, {}, MarkerOf(50));
  ASSERT_EQ(Gradient().Count(), 5);
  EXPECT_EQ(Gradient().Current()->Index, 50);
  QTest::mouseDClick(strip_.get(), Qt::LeftButton, {}, MarkerOf(50));  // on a marker: nothing
  EXPECT_EQ(Gradient().Count(), 5);

  QTest::mouseClick(strip_.get(), Qt::LeftButton, Qt::ControlModifier, MarkerOf(300));
  QTest::mouseClick(strip_.get(), Qt::LeftButton, Qt::ControlModifier, MarkerOf(0));
  std::vector<int> selected;
  for (int n = 0; n < editing_->Count(); ++n)
    if (editing_->Selected(n)) selected.push_back(editing_->IndexOf(n));
  EXPECT_EQ(selected, (std::vector<int>{0, 50, 300}));
  QTest::mouseClick(strip_.get(), Qt::LeftButton, Qt::ControlModifier, MarkerOf(0));
  editing_->DeleteSelected();
  EXPECT_EQ(Gradient().Count(), 3);
  EXPECT_EQ(Gradient().First()->Index, 0);
}

}  // namespace
}  // namespace zt::testing
