// The delayed one-line text field.
#include "ui/line_field.h"

#include <QKeyEvent>

namespace zt {

TLineField::TLineField(QWidget* parent) : QLineEdit(parent), delay_(this) {
  connect(this, &QLineEdit::textEdited, &delay_, &TInputDelay::Typed);
  connect(this, &QLineEdit::returnPressed, &delay_, &TInputDelay::Flush);
  connect(&delay_, &TInputDelay::Due, this, [this] { emit Committed(text()); });
}

void TLineField::Show(const QString& text) {
  shown_ = text;
  if (delay_.Pending()) return;
  if (hasFocus() && SameValue(this->text(), text)) return;
  Display(text);
}

void TLineField::Revert() {
  delay_.Cancel();
  Display(shown_);
}

bool TLineField::SameValue(const QString& typed, const QString& shown) const {
  return typed == shown;
}

void TLineField::Display(const QString& text) {
  if (this->text() == text) return;
  setText(text);
  // Long numbers are read from their start.
  if (!hasFocus()) setCursorPosition(0);
}

void TLineField::focusOutEvent(QFocusEvent* event) {
  delay_.Flush();
  QLineEdit::focusOutEvent(event);
  // The committed value now shows in the object's own form.
  if (!delay_.Pending() && SameValue(text(), shown_)) Display(shown_);
}

void TLineField::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape && delay_.Pending()) {
    Revert();
    return;
  }
  QLineEdit::keyPressEvent(event);
}

}  // namespace zt
