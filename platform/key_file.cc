// Parsing and writing of text key files.
#include "platform/key_file.h"

#include "platform/text.h"

namespace zt {

namespace {

std::string Escape(std::string_view value) {
  std::string text;
  text.reserve(value.size());
  for (char c : value) {
    switch (c) {
      case '\\': text += "\\\\"; break;
      case '\r': text += "\\r"; break;
      case '\n': text += "\\n"; break;
      default: text += c;
    }
  }
  return text;
}

std::string Unescape(std::string_view text) {
  std::string value;
  value.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    char next = i + 1 < text.size() ? text[i + 1] : '\0';
    if (text[i] == '\\' && (next == '\\' || next == 'r' || next == 'n')) {
      value += next == 'r' ? '\r' : (next == 'n' ? '\n' : '\\');
      ++i;
    } else {
      value += text[i];
    }
  }
  return value;
}

}  // namespace

void TKeyFile::Parse(std::string_view text) {
  groups_.clear();
  TGroup* current = nullptr;
  while (!text.empty()) {
    size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);

    std::string_view trimmed = Trim(line);
    if (trimmed.empty() || trimmed.front() == ';' || trimmed.front() == '#') continue;
    if (trimmed.front() == '[') {
      // A broken header also ends the previous group, so that its lines are not
      // taken for values of that group.
      bool valid = trimmed.size() > 2 && trimmed.back() == ']';
      current = nullptr;
      if (valid) {
        std::string_view name = trimmed.substr(1, trimmed.size() - 2);
        current = FindGroup(name);
        if (!current) current = &AddGroup(name);
      }
      continue;
    }
    size_t equals = line.find('=');
    if (!current || equals == std::string_view::npos) continue;
    std::string_view key = Trim(line.substr(0, equals));
    if (key.empty()) continue;
    SetIn(*current, key, Unescape(line.substr(equals + 1)));
  }
}

std::string TKeyFile::Text() const {
  std::string text;
  for (const TGroup& group : groups_) {
    if (!text.empty()) text += '\n';
    text += "[" + group.Name + "]\n";
    for (const TEntry& entry : group.Entries) text += entry.Key + "=" + Escape(entry.Value) + "\n";
  }
  return text;
}

std::optional<std::string> TKeyFile::Find(std::string_view group, std::string_view key) const {
  const TGroup* found = FindGroup(group);
  if (!found) return std::nullopt;
  for (const TEntry& entry : found->Entries) {
    if (SameText(entry.Key, key)) return entry.Value;
  }
  return std::nullopt;
}

void TKeyFile::Set(std::string_view group, std::string_view key, std::string_view value) {
  TGroup* found = FindGroup(group);
  SetIn(found ? *found : AddGroup(group), key, std::string(value));
}

TKeyFile::TGroup* TKeyFile::FindGroup(std::string_view name) {
  for (TGroup& group : groups_) {
    if (SameText(group.Name, name)) return &group;
  }
  return nullptr;
}

const TKeyFile::TGroup* TKeyFile::FindGroup(std::string_view name) const {
  return const_cast<TKeyFile*>(this)->FindGroup(name);
}

TKeyFile::TGroup& TKeyFile::AddGroup(std::string_view name) {
  groups_.push_back(TGroup{std::string(name), {}});
  return groups_.back();
}

void TKeyFile::SetIn(TGroup& group, std::string_view key, std::string value) {
  for (TEntry& entry : group.Entries) {
    if (SameText(entry.Key, key)) {
      entry.Value = std::move(value);
      return;
    }
  }
  group.Entries.push_back(TEntry{std::string(key), std::move(value)});
}

}  // namespace zt
