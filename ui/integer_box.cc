// The whole-number spin box.
#include "ui/integer_box.h"

#include <QLineEdit>
#include <QWheelEvent>

namespace zt {

TIntegerBox::TIntegerBox(QWidget* parent) : QSpinBox(parent), delay_(this) {
  setLocale(QLocale::c());
  setFocusPolicy(Qt::StrongFocus);
  connect(lineEdit(), &QLineEdit::textEdited, &delay_, &TInputDelay::Typed);
  // Enter and leaving the box: the spin box has read the typed text by then.
  connect(this, &QAbstractSpinBox::editingFinished, &delay_, &TInputDelay::Flush);
  connect(&delay_, &TInputDelay::Due, this, [this] { emit ValueEntered(value()); });
}

void TIntegerBox::ShowValue(int value) {
  if (delay_.Pending()) return;
  if (hasFocus() && this->value() == value) return;
  setValue(value);
}

void TIntegerBox::stepBy(int steps) {
  QSpinBox::stepBy(steps);
  delay_.Cancel();
  emit ValueEntered(value());
}

void TIntegerBox::wheelEvent(QWheelEvent* event) {
  if (!hasFocus()) {
    event->ignore();
    return;
  }
  QSpinBox::wheelEvent(event);
}

}  // namespace zt
