// A text key file: named groups of Key=value lines, the form in which the
// settings store keeps its groups and values on disk.
//
//   [Group]
//   Key=value
//
// Group and key names compare without regard to case. Values run to the end of
// the line; the three characters that could not survive that are escaped:
// backslash as "\\", carriage return as "\r", line feed as "\n" (any other
// backslash is read as itself). Lines that are neither a "[Group]" header nor a
// "Key=value" line inside a group, and comment lines starting with ";" or "#",
// are ignored and not written back. A group or key that appears twice is kept
// once, at its first position, with its last value.
//
// Not thread-safe; the owner serialises access.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zt {

class TKeyFile {
 public:
  // Replaces the contents with those of `text` (CR LF or LF line ends).
  void Parse(std::string_view text);
  // The contents as text with LF line ends and a blank line between groups.
  std::string Text() const;

  // The value, or nothing when the group or key is absent.
  std::optional<std::string> Find(std::string_view group, std::string_view key) const;
  // Sets a value, adding the group and key at the end when they are new.
  void Set(std::string_view group, std::string_view key, std::string_view value);

 private:
  struct TEntry {
    std::string Key;
    std::string Value;
  };
  struct TGroup {
    std::string Name;
    std::vector<TEntry> Entries;
  };

  TGroup* FindGroup(std::string_view name);
  const TGroup* FindGroup(std::string_view name) const;
  TGroup& AddGroup(std::string_view name);
  static void SetIn(TGroup& group, std::string_view key, std::string value);

  std::vector<TGroup> groups_;
};

}  // namespace zt
