// printf-style formatting into std::string.
#include "platform/format.h"

#include <cstdio>

namespace zt {

std::string Format(const char* fmt, ...) {
  va_list args;
  va_start(args, fmt);
  std::string result = FormatV(fmt, args);
  va_end(args);
  return result;
}

std::string FormatV(const char* fmt, va_list args) {
  // Measure first, then format into a buffer of exactly that size; the va_list
  // is consumed by each vsnprintf, hence the copies.
  va_list measure;
  va_copy(measure, args);
  int length = std::vsnprintf(nullptr, 0, fmt, measure);
  va_end(measure);
  if (length <= 0) return std::string();
  std::string result(static_cast<size_t>(length), '\0');
  va_list write;
  va_copy(write, args);
  std::vsnprintf(result.data(), result.size() + 1, fmt, write);
  va_end(write);
  return result;
}

}  // namespace zt
