// The number field.
#include "ui/number_field.h"

#include <cmath>

#include "platform/number_format.h"

namespace zt {

QString FormatValue(long double value, int digits) {
  if (digits < 18 && std::isfinite(value) && value != 0) {
    const int exponent = static_cast<int>(std::floor(std::log10(std::fabs(value))));
    const long double scale = std::pow(10.0L, digits - 1 - exponent);
    const long double rounded = std::nearbyint(value * scale) / scale;
    if (std::isfinite(rounded)) value = rounded;
  }
  return QString::fromStdString(FormatNumber(value));
}

TNumberField::TNumberField(QWidget* parent) : TLineField(parent) {
  connect(this, &TLineField::Committed, this, &TNumberField::Enter);
}

void TNumberField::SetAccept(std::function<bool(long double)> accept) {
  accept_ = std::move(accept);
}

void TNumberField::ShowValue(long double value) { Show(FormatValue(value, digits_)); }

void TNumberField::Enter(const QString& text) {
  long double value = 0;
  if (!ParseNumber(text.toStdString(), value) || !std::isfinite(value) ||
      (accept_ && !accept_(value))) {
    Revert();
    return;
  }
  emit ValueEntered(value);
}

bool TNumberField::SameValue(const QString& typed, const QString& shown) const {
  long double a = 0, b = 0;
  return ParseNumber(typed.toStdString(), a) && ParseNumber(shown.toStdString(), b) && a == b;
}

}  // namespace zt
