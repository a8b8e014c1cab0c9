// The main program's settings file as far as setup edits it: "[Group]" lines
// followed by "Key=value" lines, group and key names compared without regard to
// case. Read the way the main program reads it (blank lines, comments, lines
// outside a group and lines without "=" are dropped; a repeated group or key is
// kept once, with its last value) and written the way it writes it, so that
// every value setup does not touch comes back as it was. docs/settings.md
// describes the format.
#pragma once

#include <QByteArray>
#include <QString>
#include <vector>

namespace zt::setup {

class TSettingsText {
 public:
  explicit TSettingsText(const QByteArray& text = QByteArray());

  bool HasGroup(const QByteArray& group) const;
  // Adds the group, empty, unless it exists.
  void AddGroup(const QByteArray& group);
  // Sets a string value (escaped as the format wants), adding group and key as needed.
  void Set(const QByteArray& group, const QByteArray& key, const QString& value);
  QByteArray Text() const;

 private:
  struct TEntry {
    QByteArray Key;
    QByteArray Raw;  // the value as written in the file
  };
  struct TGroup {
    QByteArray Name;
    std::vector<TEntry> Entries;
  };

  TGroup* Find(const QByteArray& group);
  const TGroup* Find(const QByteArray& group) const;
  void SetRaw(TGroup& group, const QByteArray& key, const QByteArray& raw);

  std::vector<TGroup> groups_;
};

}  // namespace zt::setup
