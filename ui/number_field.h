// A text field for one real number, written and read in the program's number
// format ("." as decimal separator whatever the locale, up to 18 significant
// digits), that refuses values outside the range its owner accepts.
#pragma once

#include <functional>

#include "ui/line_field.h"

namespace zt {

// The value in the program's number format, rounded to `digits` significant
// digits (1 to 18) first.
QString FormatValue(long double value, int digits = 18);

// User-interface thread only.
class TNumberField : public TLineField {
  Q_OBJECT

 public:
  explicit TNumberField(QWidget* parent = nullptr);

  // Entered values that `accept` refuses are not passed on; the field shows the
  // object's value again. Every finite number is accepted until this is set.
  void SetAccept(std::function<bool(long double)> accept);
  // Significant digits shown: 18 (the default) keeps an extended value exact;
  // fewer hide the rounding noise of values converted from other units.
  void SetDigits(int digits) { digits_ = digits; }
  void ShowValue(long double value);

 signals:
  void ValueEntered(long double value);

 protected:
  bool SameValue(const QString& typed, const QString& shown) const override;

 private:
  void Enter(const QString& text);

  std::function<bool(long double)> accept_;
  int digits_ = 18;
};

}  // namespace zt
