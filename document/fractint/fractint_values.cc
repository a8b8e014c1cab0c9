// Reading Fractint's lists and numbers.
#include "document/fractint/fractint_values.h"

#include <cmath>
#include <limits>

#include "document/params/par_reader.h"
#include "platform/number_format.h"
#include "platform/text.h"

namespace zt {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The length of the run of digits at `at`.
size_t Digits(std::string_view text, size_t at) {
  size_t end = at;
  while (end < text.size() && IsDigit(text[end])) ++end;
  return end - at;
}

}  // namespace

std::vector<std::string> FractintItems(std::string_view value) {
  std::vector<std::string> items;
  size_t start = 0;
  while (items.size() < kMaxFractintItems) {
    const size_t slash = value.find('/', start);
    items.emplace_back(
        Trim(value.substr(start, slash == std::string_view::npos ? value.npos : slash - start)));
    if (slash == std::string_view::npos) break;
    start = slash + 1;
  }
  return items;
}

std::optional<long double> FractintNumber(std::string_view item) {
  size_t end = 0;
  if (end < item.size() && (item[end] == '+' || item[end] == '-')) ++end;
  const size_t whole = Digits(item, end);
  end += whole;
  size_t fraction = 0;
  if (end < item.size() && item[end] == '.') {
    fraction = Digits(item, end + 1);
    end += 1 + fraction;
  }
  if (whole + fraction == 0) return std::nullopt;
  if (end < item.size() && (item[end] == 'e' || item[end] == 'E')) {
    size_t exponent = end + 1;
    if (exponent < item.size() && (item[exponent] == '+' || item[exponent] == '-')) ++exponent;
    const size_t digits = Digits(item, exponent);
    if (digits > 0) end = exponent + digits;
  }
  // A point with no digits after it is left out: "1.#INF" reads as "1".
  std::string_view number = item.substr(0, end);
  if (number.ends_with('.')) number.remove_suffix(1);
  long double value = 0;
  if (!ParseNumber(number, value)) return std::nullopt;
  return value;
}

std::optional<int> FractintInteger(std::string_view item) {
  const std::optional<long double> number = FractintNumber(item);
  if (!number) return std::nullopt;
  const long double rounded = std::round(*number);
  if (rounded < std::numeric_limits<int>::min() || rounded > std::numeric_limits<int>::max())
    return std::nullopt;
  return static_cast<int>(rounded);
}

std::vector<long double> FractintNumbers(const TParReader& r) {
  std::vector<long double> numbers;
  for (const std::string& item : FractintItems(r.ValueText())) {
    const std::optional<long double> number = FractintNumber(item);
    if (!number) r.Error();
    numbers.push_back(*number);
  }
  return numbers;
}

}  // namespace zt
