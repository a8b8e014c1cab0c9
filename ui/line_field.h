// A one-line text field of a tool window whose typed text takes effect after the
// input delay, on Enter or when the person leaves it, and which never overwrites
// what the person is typing with the echo of it.
#pragma once

#include <QLineEdit>
#include <QString>

#include "ui/input_delay.h"

namespace zt {

// User-interface thread only.
class TLineField : public QLineEdit {
  Q_OBJECT

 public:
  explicit TLineField(QWidget* parent = nullptr);

  // Shows `text` as the object's value, except while the person is at work on
  // the field: typed text that waits to be committed stays, and so does the text
  // of a focused field that already stands for this value.
  void Show(const QString& text);
  // Shows the text last given to Show again (typed input was refused).
  void Revert();
  const QString& Shown() const { return shown_; }

 signals:
  // Typed text to apply.
  void Committed(const QString& text);

 protected:
  // Whether the texts stand for the same value; equal texts here.
  virtual bool SameValue(const QString& typed, const QString& shown) const;
  void focusOutEvent(QFocusEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void Display(const QString& text);

  TInputDelay delay_;
  QString shown_;
};

}  // namespace zt
