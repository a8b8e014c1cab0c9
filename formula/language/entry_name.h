// Entry names made from titles, and captions made from entry names.
#pragma once

#include <string>

#include "platform/fast_string_list.h"

namespace zt {

// Drops tabs, blanks and the characters ( ) : ; { } from `title` and upper-cases
// the character that follows each dropped run; "Default" when nothing is left.
std::string MakeEntryName(const std::string& title);

// MakeEntryName of `title`, followed by 1, 2, 3, ... when the entry collection
// file (or line list) already holds an entry of that name. A file that does not
// exist holds no entries; one that cannot be read raises ECodeError.
std::string MakeUniqueEntryName(const std::string& title, const std::string& file);
std::string MakeUniqueEntryName(const std::string& title, const TFastStringList& lines);

// The name with every `_` shown as a blank.
std::string EntryNameToCaption(const std::string& name);

}  // namespace zt
