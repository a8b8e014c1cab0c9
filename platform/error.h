// The common base of every exception the program raises. Each E... class derives
// from it and carries the message text that is shown to the user.
#pragma once

#include <stdexcept>
#include <string>

namespace zt {

class EZentrope : public std::runtime_error {
 public:
  explicit EZentrope(const std::string& message) : std::runtime_error(message) {}
  const std::string Message() const { return what(); }
};

}  // namespace zt
