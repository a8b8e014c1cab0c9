// A spin box for a whole number in a tool window: steps (arrows, wheel, page
// keys) take effect at once, typed digits after the input delay, on Enter or
// when the person leaves the box; the echo of its own edit never overwrites what
// the person types.
#pragma once

#include <QSpinBox>

#include "ui/input_delay.h"

namespace zt {

// User-interface thread only. Digits and signs follow the C locale.
class TIntegerBox : public QSpinBox {
  Q_OBJECT

 public:
  explicit TIntegerBox(QWidget* parent = nullptr);

  // Shows the object's value unless typed digits wait to be committed or the
  // focused box already holds it.
  void ShowValue(int value);

 signals:
  void ValueEntered(int value);

 protected:
  void stepBy(int steps) override;
  // The wheel only turns a box the person is working in; elsewhere it scrolls
  // the window, so that scrolling over a tool cannot change a value by accident.
  void wheelEvent(QWheelEvent* event) override;

 private:
  TInputDelay delay_;
};

}  // namespace zt
