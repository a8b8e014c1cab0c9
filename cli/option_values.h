// Values of command-line options: whole numbers, fractions and sizes, each
// checked against its range.
#pragma once

#include <string>

namespace zt {

// Digits only (at most 9), within [low, high].
bool ParseWhole(const std::string& text, int low, int high, int& value);
// A decimal number, the whole text, within [low, high].
bool ParseFraction(const std::string& text, double low, double high, double& value);
// "WIDTHxHEIGHT" (or "X"), each from 1 to 100000.
bool ParseSize(const std::string& text, int& width, int& height);

}  // namespace zt
