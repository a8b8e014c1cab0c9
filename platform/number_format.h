// The general number format in which the program writes every floating-point
// number to text (parameter files, float settings): up to 18 significant digits,
// "." as decimal separator whatever the locale. Neither function looks at the C
// locale, so they are safe from any thread at any time.
#pragma once

#include <string>
#include <string_view>

namespace zt {

// The value rounded to 18 significant digits, trailing zeros dropped. Fixed
// notation when the rounded value has at most 18 digits before the point and a
// magnitude of at least 0.0001 ("0.1", "123456789012345678"), else scientific:
// mantissa, "E", "-" for a negative exponent only, exponent without leading zeros
// ("1.5E-7", "2E20"). Zero (of either sign) is "0". Values whose 18-digit rounding
// would lie beyond the largest long double are rounded toward zero instead, so
// that ParseNumber reads every finite result back. Infinities and NaN give
// "INF", "-INF" and "NAN", which ParseNumber rejects.
std::string FormatNumber(long double value);

// Reads a number in fixed or scientific notation ("E" or "e", optional exponent
// sign) with an optional leading sign, "." as the only decimal separator, and
// blanks allowed around it; the whole text must be consumed. Rounds to the
// nearest long double. Returns false, leaving `value` unchanged, when the text is
// not such a number, or when it overflows or underflows the long double range
// (denormal results are accepted).
bool ParseNumber(std::string_view text, long double& value);

}  // namespace zt
