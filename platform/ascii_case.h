// Comparison of names without regard to case. Names of the formula language,
// parameters and functions are ASCII identifiers, so only the ASCII letters fold;
// other bytes compare as they are, whatever the locale.
#pragma once

#include <string_view>

namespace zt {

// True when `a` and `b` are equal once ASCII letters are folded to one case.
bool SameText(std::string_view a, std::string_view b);

// Negative, zero or positive as `a` sorts before, with or after `b` once ASCII
// letters are folded to upper case (byte order otherwise).
int CompareText(std::string_view a, std::string_view b);

}  // namespace zt
