// Option values (see option_values.h).
#include "cli/option_values.h"

#include <stdexcept>

namespace zt {

bool ParseWhole(const std::string& text, int low, int high, int& value) {
  if (text.empty() || text.size() > 9 || text.find_first_not_of("0123456789") != std::string::npos)
    return false;
  value = std::stoi(text);
  return value >= low && value <= high;
}

bool ParseFraction(const std::string& text, double low, double high, double& value) {
  std::size_t used = 0;
  try {
    value = std::stod(text, &used);
  } catch (const std::exception&) {
    return false;
  }
  return used == text.size() && value >= low && value <= high;
}

bool ParseSize(const std::string& text, int& width, int& height) {
  const auto x = text.find_first_of("xX");
  return x != std::string::npos && ParseWhole(text.substr(0, x), 1, 100000, width) &&
         ParseWhole(text.substr(x + 1), 1, 100000, height);
}

}  // namespace zt
