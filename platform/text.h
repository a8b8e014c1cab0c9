// ASCII helpers for text that the program compares without regard to case
// (names in the formula language, settings keys, file extensions) and for
// trimming blanks. Bytes above 127 are left as they are, so UTF-8 text passes
// through unchanged. All functions are pure and safe from any thread.
#pragma once

#include <string>
#include <string_view>

namespace zt {

// Equal when they differ at most in the case of ASCII letters.
bool SameText(std::string_view a, std::string_view b);

// Three-way comparison ignoring the case of ASCII letters (<0, 0, >0), for sorting.
int CompareText(std::string_view a, std::string_view b);

std::string UpperCase(std::string_view text);
std::string LowerCase(std::string_view text);

// Remove blanks and control characters (every byte up to ' ') from the ends.
std::string_view Trim(std::string_view text);
std::string_view TrimLeft(std::string_view text);
std::string_view TrimRight(std::string_view text);

bool StartsWithText(std::string_view text, std::string_view prefix);
bool EndsWithText(std::string_view text, std::string_view suffix);

// The first position of `part` in `text` ignoring case, or std::string_view::npos.
size_t PosText(std::string_view part, std::string_view text);

// Messages break lines with carriage returns: each one (alone or before a line
// feed) becomes a line feed, for printing and for message boxes.
std::string WithLineFeeds(std::string_view text);

}  // namespace zt
