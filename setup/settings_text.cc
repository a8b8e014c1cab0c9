// Parsing and writing the settings file.
#include "setup/settings_text.h"

#include <QByteArrayList>

namespace zt::setup {
namespace {

QByteArray Escaped(const QByteArray& value) {
  QByteArray text;
  for (const char c : value) {
    switch (c) {
      case '\\': text += "\\\\"; break;
      case '\r': text += "\\r"; break;
      case '\n': text += "\\n"; break;
      default: text += c;
    }
  }
  return text;
}

bool SameName(const QByteArray& a, const QByteArray& b) {
  return a.compare(b, Qt::CaseInsensitive) == 0;
}

}  // namespace

TSettingsText::TSettingsText(const QByteArray& text) {
  TGroup* current = nullptr;
  for (QByteArray line : text.split('\n')) {
    if (line.endsWith('\r')) line.chop(1);
    const QByteArray trimmed = line.trimmed();
    if (trimmed.isEmpty() || trimmed.startsWith(';') || trimmed.startsWith('#')) continue;
    if (trimmed.startsWith('[')) {
      // A broken group line ends the group above it all the same.
      current = nullptr;
      if (trimmed.size() > 2 && trimmed.endsWith(']')) {
        const QByteArray name = trimmed.mid(1, trimmed.size() - 2);
        AddGroup(name);
        current = Find(name);
      }
      continue;
    }
    const qsizetype equals = line.indexOf('=');
    if (current == nullptr || equals < 0) continue;
    const QByteArray key = line.left(equals).trimmed();
    if (!key.isEmpty()) SetRaw(*current, key, line.mid(equals + 1));
  }
}

bool TSettingsText::HasGroup(const QByteArray& group) const { return Find(group) != nullptr; }

void TSettingsText::AddGroup(const QByteArray& group) {
  if (!Find(group)) groups_.push_back(TGroup{group, {}});
}

void TSettingsText::Set(const QByteArray& group, const QByteArray& key, const QString& value) {
  AddGroup(group);
  SetRaw(*Find(group), key, Escaped(value.toUtf8()));
}

QByteArray TSettingsText::Text() const {
  QByteArray text;
  for (const TGroup& group : groups_) {
    if (!text.isEmpty()) text += '\n';
    text += '[' + group.Name + "]\n";
    for (const TEntry& entry : group.Entries) text += entry.Key + '=' + entry.Raw + '\n';
  }
  return text;
}

TSettingsText::TGroup* TSettingsText::Find(const QByteArray& group) {
  for (TGroup& candidate : groups_) {
    if (SameName(candidate.Name, group)) return &candidate;
  }
  return nullptr;
}

const TSettingsText::TGroup* TSettingsText::Find(const QByteArray& group) const {
  return const_cast<TSettingsText*>(this)->Find(group);
}

void TSettingsText::SetRaw(TGroup& group, const QByteArray& key, const QByteArray& raw) {
  for (TEntry& entry : group.Entries) {
    if (SameName(entry.Key, key)) {
      entry.Raw = raw;
      return;
    }
  }
  group.Entries.push_back(TEntry{key, raw});
}

}  // namespace zt::setup
