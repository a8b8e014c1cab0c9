// A fixture for the tool windows' tests: a document whose current layer
// calculates a small formula that declares one parameter of every kind, event
// waits that also run the calls the calculation threads post to the main thread,
// and the typing and finding the tests do on the real widgets.
#pragma once

#include <gtest/gtest.h>

#include <QLabel>
#include <QTest>
#include <QWidget>
#include <functional>
#include <memory>
#include <ostream>

#include "document/fractal_test_util.h"
#include "document/settings/config_manager.h"
#include "ui/testing/wait_until.h"

// Failed comparisons of texts print the texts.
inline void PrintTo(const QString& text, std::ostream* out) {
  *out << '"' << text.toStdString() << '"';
}

namespace zt::testing {

// An enumeration, a boolean, a complex value, a float and an integer with
// limits, and a function.
inline constexpr const char* kShapesFormula = R"(Shapes {
init:
  z = @start
loop:
  if @twist == 1 && @smooth
    z = @fn1(z) + #pixel
  else
    z = sqr(z) + #pixel * @steps
  endif
bailout:
  |z| < @bailout
default:
  title = "Shapes"
  maxiter = 50
  param twist
    caption = "Twist"
    enum = "Plain" "Twisted" "Wild"
    hint = "How the orbit turns."
  endparam
  param smooth
    caption = "Smooth"
    default = true
  endparam
  param start
    caption = "Start value"
    default = (0.5, -0.25)
  endparam
  param bailout
    caption = "Bailout value"
    default = 4.0
    min = 1.0
    max = 100.0
    hint = "The orbit escapes once z leaves this circle."
  endparam
  param steps
    caption = "Steps"
    default = 3
    min = 1
    max = 9
  endparam
  func fn1
    caption = "Turn function"
    default = sin()
  endfunc
}
)";

class ToolTest : public FractalTest {
 protected:
  void SetUp() override {
    FractalTest::SetUp();
    shapes_file_ = dir_.Write("shapes.zfm", kShapesFormula).string();
    // Typing takes effect on Enter only, unless a test chooses a delay.
    ConfigManager().ToolInputDelay = 6;
  }

  // A small document whose current layer calculates Shapes.
  std::unique_ptr<TFractal> NewShapes() {
    auto fractal = std::make_unique<TFractal>("Test");
    fractal->SetWidth(8);
    fractal->SetHeight(6);
    fractal->CurrentLayer().Formula().SetEntry(shapes_file_, "Shapes");
    Finish(*fractal);
    return fractal;
  }

  // Runs events and the calls posted to the main thread until `done` holds.
  static bool WaitFor(const std::function<bool()>& done) { return WaitUntil(done, 5000); }

  // Replaces the text of `field` by typing `text`, then presses Enter.
  static void TypeAndEnter(QWidget* field, const QString& text) {
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(field, text);
    QTest::keyClick(field, Qt::Key_Return);
  }

  // The label a form shows for `editor`.
  static QLabel* LabelOf(const QWidget* root, const QWidget* editor) {
    for (QLabel* label : root->findChildren<QLabel*>())
      if (label->buddy() == editor) return label;
    return nullptr;
  }

  std::string shapes_file_;
  TKeepValue<int> keep_delay_{ConfigManager().ToolInputDelay};
};

}  // namespace zt::testing
