// The value forms of Fractint's parameter keys: lists of up to 32 items
// separated by "/", and numbers read the way Fractint reads them.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zt {

class TParReader;

inline constexpr std::size_t kMaxFractintItems = 32;

// The items of a list value: split at "/", each trimmed, the first 32 only.
std::vector<std::string> FractintItems(std::string_view value);

// A number as Fractint reads it: the longest leading decimal number of the item
// (sign, digits with an optional point, optional exponent), so that the
// "-1.#IND" and "1.#INF" some programs wrote for undefined values read as -1
// and 1. Nullopt when the item does not start with a number, or the number
// lies beyond the range of long double.
std::optional<long double> FractintNumber(std::string_view item);

// The same for an integer, rounded to the nearest one; nullopt also beyond the
// range of int.
std::optional<int> FractintInteger(std::string_view item);

// The numbers of the reader's current value, a list. Raises the format error
// ("Invalid file format (line %d)") when an item is not a number.
std::vector<long double> FractintNumbers(const TParReader& r);

}  // namespace zt
