// printf-style formatting of message templates into std::string, so that the
// program's message texts ("Could not open '%s'") can be kept as written.
// Safe to call from any thread.
#pragma once

#include <cstdarg>
#include <string>

namespace zt {

// Formats like printf and returns the result.
std::string Format(const char* fmt, ...) __attribute__((format(printf, 1, 2)));

// The same for callers that already hold a va_list; `args` is left unused
// afterwards (the function works on its own copy).
std::string FormatV(const char* fmt, va_list args) __attribute__((format(printf, 1, 0)));

}  // namespace zt
