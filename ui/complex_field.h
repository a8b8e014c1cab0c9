// A pair of number fields for one complex value: real and imaginary part.
#pragma once

#include <QWidget>
#include <functional>

#include "ui/number_field.h"

namespace zt {

// User-interface thread only.
class TComplexField : public QWidget {
  Q_OBJECT

 public:
  explicit TComplexField(QWidget* parent = nullptr);

  // Ranges of the parts; see TNumberField::SetAccept.
  void SetAccept(std::function<bool(long double)> accept_re,
                 std::function<bool(long double)> accept_im);
  void ShowValue(long double re, long double im);
  TNumberField& Re() { return re_; }
  TNumberField& Im() { return im_; }

 signals:
  // A part was entered; the other part is the object's value as last shown.
  void ValueEntered(long double re, long double im);

 private:
  TNumberField re_;
  TNumberField im_;
  long double shown_re_ = 0;
  long double shown_im_ = 0;
};

}  // namespace zt
