// Locale-independent formatting and parsing of numbers in the general number format.
#include "platform/number_format.h"

#include <locale.h>
#include <stdlib.h>

#include <cerrno>
#include <charconv>
#include <cmath>

#include "platform/text.h"

namespace zt {

namespace {

constexpr int kSignificantDigits = 18;

// A decimal number: sign, exactly kSignificantDigits mantissa digits with the point
// after the first, and a decimal exponent.
struct TDecimal {
  bool Negative = false;
  std::string Digits;
  int Exponent = 0;
};

TDecimal RoundToDecimal(long double value) {
  // std::to_chars is exact and ignores the locale: "d.ddddde+XX".
  char buffer[64];
  auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific,
                              kSignificantDigits - 1);
  std::string_view text(buffer, static_cast<size_t>(result.ptr - buffer));
  TDecimal decimal;
  size_t i = 0;
  if (text[i] == '-') {
    decimal.Negative = true;
    ++i;
  }
  for (; text[i] != 'e'; ++i) {
    if (text[i] != '.') decimal.Digits += text[i];
  }
  ++i;
  bool negative_exponent = text[i] == '-';
  std::from_chars(text.data() + i + 1, text.data() + text.size(), decimal.Exponent);
  if (negative_exponent) decimal.Exponent = -decimal.Exponent;
  return decimal;
}

// One unit less in the last digit. Only used just below the top of the range,
// where the leading digit is never borrowed from.
void DecrementLastDigit(TDecimal& decimal) {
  for (size_t i = decimal.Digits.size(); i-- > 0;) {
    if (decimal.Digits[i] != '0') {
      --decimal.Digits[i];
      return;
    }
    decimal.Digits[i] = '9';
  }
}

std::string Render(const TDecimal& decimal) {
  std::string digits = decimal.Digits;
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
  std::string text = decimal.Negative ? "-" : "";
  int e = decimal.Exponent;
  if (e < kSignificantDigits && e >= -4) {
    if (e < 0) {
      text += "0." + std::string(static_cast<size_t>(-e - 1), '0') + digits;
    } else {
      size_t whole = static_cast<size_t>(e) + 1;
      if (digits.size() <= whole) {
        text += digits + std::string(whole - digits.size(), '0');
      } else {
        text += digits.substr(0, whole) + "." + digits.substr(whole);
      }
    }
    return text;
  }
  text += digits.substr(0, 1);
  if (digits.size() > 1) text += "." + digits.substr(1);
  text += "E" + std::to_string(e);
  return text;
}

locale_t CLocale() {
  static const locale_t locale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
  return locale;
}

}  // namespace

std::string FormatNumber(long double value) {
  if (std::isnan(value)) return "NAN";
  if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
  if (value == 0) return "0";
  TDecimal decimal = RoundToDecimal(value);
  std::string text = Render(decimal);
  long double check;
  if (!ParseNumber(text, check)) {
    // Rounding up carried the value past the largest long double.
    DecrementLastDigit(decimal);
    text = Render(decimal);
  }
  return text;
}

bool ParseNumber(std::string_view text, long double& value) {
  text = Trim(text);
  size_t i = 0;
  auto is_digit = [&](size_t at) { return at < text.size() && text[at] >= '0' && text[at] <= '9'; };
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  bool any_digit = false;
  bool nonzero_digit = false;
  auto scan_digits = [&] {
    for (; is_digit(i); ++i) {
      any_digit = true;
      nonzero_digit = nonzero_digit || text[i] != '0';
    }
  };
  scan_digits();
  if (i < text.size() && text[i] == '.') {
    ++i;
    scan_digits();
  }
  if (!any_digit) return false;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    if (!is_digit(i)) return false;
    while (is_digit(i)) ++i;
  }
  if (i != text.size()) return false;

  // The syntax is checked, so strtold_l sees nothing but a plain decimal number.
  std::string copy(text);
  errno = 0;
  long double result = strtold_l(copy.c_str(), nullptr, CLocale());
  if (errno == ERANGE && (std::isinf(result) || (result == 0 && nonzero_digit))) return false;
  value = result;
  return true;
}

}  // namespace zt
