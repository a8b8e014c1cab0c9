// A multi-line text field of a tool window whose text takes effect after the
// input delay or when the person leaves it (Enter starts a new line here), and
// which never overwrites what the person is typing with the echo of it.
#pragma once

#include <QPlainTextEdit>

#include "ui/input_delay.h"

namespace zt {

// User-interface thread only.
class TTextBox : public QPlainTextEdit {
  Q_OBJECT

 public:
  explicit TTextBox(QWidget* parent = nullptr);

  // Shows `text` unless typed text waits to be committed or the focused box
  // holds it already.
  void Show(const QString& text);

 signals:
  void Committed(const QString& text);

 protected:
  void focusOutEvent(QFocusEvent* event) override;

 private:
  TInputDelay delay_;
  bool showing_ = false;  // the text changes from Show, not from typing
};

}  // namespace zt
