// The fractal properties tool: title and size go through the document with undo,
// the aspect ratio kept, and the document's values shown again after undo or
// after a refused value.
#include "ui/fractal_properties_tool.h"

#include <QCheckBox>

#include "ui/testing/tool_test_util.h"

namespace zt::testing {
namespace {

class FractalPropertiesToolTest : public ToolTest {
 protected:
  void SetUp() override {
    ToolTest::SetUp();
    fractal_ = NewFractal(80, 60, "");
    tool_ = std::make_unique<TFractalPropertiesTool>();
    tool_->show();
    tool_->SetFractal(fractal_.get());
    ASSERT_TRUE(WaitFor([&] { return Box("width")->value() == 80; }));
  }

  TLineField* Line(const char* name) { return tool_->findChild<TLineField*>(name); }
  TIntegerBox* Box(const char* name) { return tool_->findChild<TIntegerBox*>(name); }

  std::unique_ptr<TFractal> fractal_;
  std::unique_ptr<TFractalPropertiesTool> tool_;
};

// The title changes without a step, the size with one, as the document defines.
TEST_F(FractalPropertiesToolTest, TitleAndSizeGoThroughTheDocument) {
  const int steps = fractal_->History().Count();
  TypeAndEnter(Line("title"), "Spirals");
  EXPECT_EQ(fractal_->Title(), "Spirals");
  TypeAndEnter(Box("width"), "64");
  EXPECT_EQ(fractal_->Width(), 64);
  EXPECT_EQ(fractal_->Height(), 60);
  EXPECT_EQ(fractal_->History().Count(), steps + 1);

  fractal_->Undo();
  EXPECT_EQ(fractal_->Width(), 80);
  EXPECT_EQ(fractal_->Title(), "Spirals");
  EXPECT_TRUE(WaitFor([&] { return Box("width")->value() == 80; }));
}

TEST_F(FractalPropertiesToolTest, KeepingTheAspectRatioSetsTheOtherSide) {
  QTest::mouseClick(tool_->findChild<QCheckBox*>("keepAspect"), Qt::LeftButton);
  const int steps = fractal_->History().Count();
  TypeAndEnter(Box("width"), "40");
  EXPECT_EQ(fractal_->Height(), 30);
  TypeAndEnter(Box("height"), "1");  // rounds to a width of 1 ...
  EXPECT_EQ(fractal_->Width(), 1);
  TypeAndEnter(Box("height"), "45");  // ... which must not lose the ratio
  EXPECT_EQ(fractal_->Width(), 60);
  // One field after the other, but the same size: one step.
  EXPECT_EQ(fractal_->History().Count(), steps + 1);
  EXPECT_TRUE(WaitFor([&] { return Box("width")->value() == 60; }));
  Finish(*fractal_);
}

TEST_F(FractalPropertiesToolTest, GammaOutsideItsRangeShowsTheDocumentsValue) {
  auto* gamma = tool_->findChild<TNumberField*>("gamma");
  TypeAndEnter(gamma, "12");
  EXPECT_EQ(gamma->text(), "2.5");
  TypeAndEnter(gamma, "0.1");
  EXPECT_EQ(fractal_->Gamma(), 0.1);
  EXPECT_TRUE(WaitFor([&] { return gamma->text() == "0.1"; }));
}

}  // namespace
}  // namespace zt::testing
