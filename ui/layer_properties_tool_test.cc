// The layer properties tool: the editors made for a formula's parameters, edits
// that recompile as one undo step, typing merged into one step, refused values,
// and entries chosen through the user interface.
#include "ui/layer_properties_tool.h"

#include <QCheckBox>
#include <QComboBox>
#include <QListWidget>
#include <QToolBox>

#include "ui/complex_field.h"
#include "ui/hook_chain.h"
#include "ui/integer_box.h"
#include "ui/number_field.h"
#include "ui/testing/tool_test_util.h"

namespace zt::testing {
namespace {

class LayerPropertiesToolTest : public ToolTest {
 protected:
  void SetUp() override {
    ToolTest::SetUp();
    fractal_ = NewShapes();
    tool_ = std::make_unique<TLayerPropertiesTool>();
    tool_->resize(360, 640);
    tool_->show();
    tool_->SetFractal(fractal_.get());
    // The editors show once the event loop has laid them out.
    ASSERT_TRUE(WaitFor([&] {
      const QWidget* bailout = Find<QWidget>("bailout");
      return bailout && bailout->isVisible();
    }));
  }

  TFormula& Formula() { return fractal_->CurrentLayer().Formula(); }
  TParam& Param(const std::string& name) {
    return Formula().Params().Items(Formula().Params().IndexOfName(name));
  }
  template <class T>
  T* Find(const char* name) {
    return tool_->findChild<T*>(name);
  }

  std::unique_ptr<TFractal> fractal_;
  std::unique_ptr<TLayerPropertiesTool> tool_;
};

TEST_F(LayerPropertiesToolTest, EveryParameterGetsAnEditorOfItsKind) {
  auto* twist = Find<QComboBox>("twist");
  ASSERT_NE(twist, nullptr);
  EXPECT_EQ(twist->count(), 3);
  EXPECT_EQ(twist->itemText(1), "Twisted");
  EXPECT_EQ(twist->toolTip(), "How the orbit turns.");
  EXPECT_EQ(LabelOf(tool_.get(), twist)->text(), "Twist");

  auto* smooth = Find<QCheckBox>("smooth");
  ASSERT_NE(smooth, nullptr);
  EXPECT_TRUE(smooth->isChecked());

  auto* start = Find<TComplexField>("start");
  ASSERT_NE(start, nullptr);
  EXPECT_EQ(start->Re().text(), "0.5");
  EXPECT_EQ(start->Im().text(), "-0.25");
  EXPECT_EQ(LabelOf(tool_.get(), start)->text(), "Start value");

  auto* bailout = Find<TNumberField>("bailout");
  ASSERT_NE(bailout, nullptr);
  EXPECT_EQ(bailout->text(), "4");
  EXPECT_EQ(bailout->toolTip(), "The orbit escapes once z leaves this circle.");

  auto* steps = Find<TIntegerBox>("steps");
  ASSERT_NE(steps, nullptr);
  EXPECT_EQ(steps->minimum(), 1);
  EXPECT_EQ(steps->maximum(), 9);
  EXPECT_EQ(steps->value(), 3);

  auto* function = Find<QComboBox>("fn1");
  ASSERT_NE(function, nullptr);
  EXPECT_EQ(function->count(), kUserFunctionCount);
  EXPECT_EQ(function->currentText(), "sin");
  EXPECT_EQ(LabelOf(tool_.get(), function)->text(), "Turn function");
}

TEST_F(LayerPropertiesToolTest, EachColoringPageShowsItsOwnColoring) {
  tool_->SetFractal(nullptr);
  fractal_->CurrentLayer().InsideColoring().SetDensity(2);
  fractal_->CurrentLayer().OutsideColoring().SetDensity(3);
  tool_->SetFractal(fractal_.get());
  auto* pages = tool_->findChild<QToolBox*>();
  for (int page : {1, 2}) {
    auto* density = pages->widget(page)->findChild<TNumberField*>("density");
    ASSERT_NE(density, nullptr) << page;
    EXPECT_TRUE(WaitFor([&] { return density->text() == (page == 1 ? "2" : "3"); })) << page;
  }
}

TEST_F(LayerPropertiesToolTest, EditingAValueRecompilesAsOneUndoStep) {
  int rebuilds = 0;
  TChainedHook<TLexical> rebuilt;
  rebuilt.Hook(Formula().OnRebuilt, [&] { ++rebuilds; });
  const int steps = fractal_->History().Count();
  int edits = 0;
  QObject::connect(tool_.get(), &TLayerPropertiesTool::EditMade, [&] { ++edits; });

  QTest::keyClick(Find<QComboBox>("twist"), Qt::Key_Down);
  EXPECT_EQ(Param("twist").AsInteger(), 1);
  EXPECT_EQ(rebuilds, 1);
  EXPECT_EQ(edits, 1);
  EXPECT_EQ(fractal_->History().Count(), steps + 1);

  QTest::mouseClick(Find<QCheckBox>("smooth"), Qt::LeftButton);
  EXPECT_FALSE(Param("smooth").AsBoolean());
  TypeAndEnter(&Find<TComplexField>("start")->Im(), "0.75");
  EXPECT_EQ(Param("start").AsComplex(), std::complex<long double>(0.5, 0.75));
  EXPECT_EQ(rebuilds, 3);
  EXPECT_EQ(fractal_->History().Count(), steps + 3);

  fractal_->Undo();
  EXPECT_EQ(Param("start").AsComplex(), std::complex<long double>(0.5, -0.25));
  EXPECT_TRUE(WaitFor([&] { return Find<TComplexField>("start")->Im().text() == "-0.25"; }));
  rebuilt.Unhook();
  Finish(*fractal_);
}

TEST_F(LayerPropertiesToolTest, TypingIntoOneFieldIsOneUndoStep) {
  auto* bailout = Find<TNumberField>("bailout");
  const int steps = fractal_->History().Count();
  // Digits committed one by one, as Enter or the input delay commit them.
  QTest::keyClick(bailout, Qt::Key_A, Qt::ControlModifier);
  for (const char* digit : {"1", "6", ".5"}) {
    QTest::keyClicks(bailout, digit);
    QTest::keyClick(bailout, Qt::Key_Return);
  }
  EXPECT_EQ(Param("bailout").AsFloat(), 16.5L);
  EXPECT_EQ(fractal_->History().Count(), steps + 1);
  fractal_->Undo();
  EXPECT_EQ(Param("bailout").AsFloat(), 4.0L);

  // The delay setting commits what the person typed once they pause.
  ConfigManager().ToolInputDelay = 0;
  QTest::keyClick(bailout, Qt::Key_A, Qt::ControlModifier);
  QTest::keyClicks(bailout, "64");
  EXPECT_EQ(Param("bailout").AsFloat(), 4.0L);
  EXPECT_TRUE(WaitFor([&] { return Param("bailout").AsFloat() == 64; }));
  Finish(*fractal_);
}

TEST_F(LayerPropertiesToolTest, RefusedValuesShowTheActualValueAgain) {
  struct TCase {
    const char* Field;
    const char* Typed;
    const char* Shown;
  };
  const TCase cases[] = {
      {"bailout", "500", "4"},      // above the parameter's maximum
      {"bailout", "0.5", "4"},      // below its minimum
      {"bailout", "4,5", "4"},      // not a number in the program's format
      {"magnification", "0", "1"},  // the mapping needs a positive one
      {"density", "-1", "1"},       // the coloring ignores a negative one
  };
  tool_->ShowPage(TLayerPropertiesTool::kMappingPage);
  const int steps = fractal_->History().Count();
  for (const TCase& c : cases) {
    auto* field = tool_->findChild<TNumberField*>(c.Field);
    ASSERT_NE(field, nullptr) << c.Field;
    TypeAndEnter(field, c.Typed);
    EXPECT_TRUE(WaitFor([&] { return field->text() == c.Shown; })) << c.Field << " " << c.Typed;
  }
  EXPECT_EQ(fractal_->History().Count(), steps);
}

TEST_F(LayerPropertiesToolTest, ChoosingAnotherEntryMakesItsEditorsAnew) {
  TRecordingUserInterface ui;
  TUserInterfaceGuard guard(ui);
  ui.QueueBrowse(file_, "Mandel");
  const int steps = fractal_->History().Count();
  QTest::mouseClick(Find<QWidget>("choose"), Qt::LeftButton);
  ASSERT_EQ(ui.Browsed(), std::vector<TEntryBrowseKind>{TEntryBrowseKind::kFormula});
  EXPECT_EQ(Formula().Code().EntryName, "Mandel");
  EXPECT_EQ(Formula().MaxIterations(), 60);  // the new entry's own setting
  EXPECT_EQ(fractal_->History().Count(), steps + 1);
  EXPECT_TRUE(WaitFor([&] { return Find<QWidget>("bailout") == nullptr; }));
  EXPECT_EQ(tool_->findChild<TIntegerBox*>("maxiter")->value(), 60);

  // A pick that cannot be read changes nothing and says why.
  ui.QueueBrowse(file_, "Missing");
  QTest::mouseClick(Find<QWidget>("choose"), Qt::LeftButton);
  EXPECT_EQ(Formula().Code().EntryName, "Mandel");
  ASSERT_EQ(ui.Records().size(), 1u);
  EXPECT_NE(ui.Records()[0].Text.find("Missing"), std::string::npos);
  Finish(*fractal_);
}

TEST_F(LayerPropertiesToolTest, TransformationsAreAddedEditedAndRemovedAsSteps) {
  TRecordingUserInterface ui;
  TUserInterfaceGuard guard(ui);
  ui.QueueBrowse((SourceDir() / "data" / "Standard.zxf").string(), "Polar");
  const TTransformList& chain = fractal_->CurrentLayer().Mapping().Transforms();
  auto* list = Find<QListWidget>("transforms");
  const int steps = fractal_->History().Count();
  QTest::mouseClick(Find<QWidget>("add"), Qt::LeftButton);
  ASSERT_EQ(chain.Count(), 1);
  ASSERT_TRUE(WaitFor([&] { return Find<TNumberField>("period") != nullptr; }));
  EXPECT_EQ(list->item(0)->text(), "Polar coordinates");

  // A change inside a transformation stops the layer and calculates it again.
  Finish(*fractal_);
  TypeAndEnter(Find<TNumberField>("period"), "8");
  EXPECT_EQ(chain.Item(0).Params().Items(chain.Item(0).Params().IndexOfName("period")).AsFloat(),
            8);
  EXPECT_TRUE(fractal_->IsCalculating());
  Finish(*fractal_);
  QTest::keyClick(list, Qt::Key_Space);
  EXPECT_FALSE(chain.Item(0).Enabled());
  EXPECT_TRUE(fractal_->IsCalculating());
  EXPECT_EQ(fractal_->History().Count(), steps + 3);

  QTest::mouseClick(Find<QWidget>("remove"), Qt::LeftButton);
  EXPECT_EQ(chain.Count(), 0);
  EXPECT_TRUE(WaitFor([&] { return list->count() == 0; }));
  fractal_->Undo();
  ASSERT_EQ(fractal_->CurrentLayer().Mapping().Transforms().Count(), 1);
  EXPECT_FALSE(fractal_->CurrentLayer().Mapping().Transforms().Item(0).Enabled());
  EXPECT_TRUE(
      WaitFor([&] { return list->count() == 1 && list->item(0)->checkState() == Qt::Unchecked; }));
  Finish(*fractal_);
}

}  // namespace
}  // namespace zt::testing
