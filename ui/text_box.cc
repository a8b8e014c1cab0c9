// The delayed multi-line text field.
#include "ui/text_box.h"

namespace zt {

TTextBox::TTextBox(QWidget* parent) : QPlainTextEdit(parent), delay_(this) {
  setTabChangesFocus(true);
  connect(this, &QPlainTextEdit::textChanged, this, [this] {
    if (!showing_) delay_.Typed();
  });
  connect(&delay_, &TInputDelay::Due, this, [this] { emit Committed(toPlainText()); });
}

void TTextBox::Show(const QString& text) {
  if (delay_.Pending() || toPlainText() == text) return;
  showing_ = true;
  setPlainText(text);
  showing_ = false;
}

void TTextBox::focusOutEvent(QFocusEvent* event) {
  delay_.Flush();
  QPlainTextEdit::focusOutEvent(event);
}

}  // namespace zt
