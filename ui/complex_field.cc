// The complex value field.
#include "ui/complex_field.h"

#include <QHBoxLayout>
#include <QLabel>

namespace zt {

TComplexField::TComplexField(QWidget* parent) : QWidget(parent), re_(this), im_(this) {
  re_.setToolTip(tr("Real part"));
  im_.setToolTip(tr("Imaginary part"));
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(4);
  layout->addWidget(&re_, 1);
  layout->addWidget(new QLabel("+", this));
  layout->addWidget(&im_, 1);
  layout->addWidget(new QLabel("i", this));
  connect(&re_, &TNumberField::ValueEntered, this,
          [this](long double re) { emit ValueEntered(re, shown_im_); });
  connect(&im_, &TNumberField::ValueEntered, this,
          [this](long double im) { emit ValueEntered(shown_re_, im); });
}

void TComplexField::SetAccept(std::function<bool(long double)> accept_re,
                              std::function<bool(long double)> accept_im) {
  re_.SetAccept(std::move(accept_re));
  im_.SetAccept(std::move(accept_im));
}

void TComplexField::ShowValue(long double re, long double im) {
  shown_re_ = re;
  shown_im_ = im;
  re_.ShowValue(re);
  im_.ShowValue(im);
}

}  // namespace zt
