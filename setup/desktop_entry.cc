// Writing, reading and replacing desktop entries.
#include "setup/desktop_entry.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QSaveFile>

namespace zt::setup {
namespace {

constexpr char kTargetKey[] = "X-Zentrope-Target=";

// A string value of a desktop entry: backslashes and control characters
// escaped, so that no file name can end the line.
QString EntryString(QString value) {
  value.replace(u'\\', QStringLiteral("\\\\"));
  value.replace(u'\n', QStringLiteral("\\n"));
  value.replace(u'\r', QStringLiteral("\\r"));
  value.replace(u'\t', QStringLiteral("\\t"));
  return value;
}

QString FromEntryString(const QString& text) {
  QString value;
  for (qsizetype i = 0; i < text.size(); ++i) {
    const QChar next = i + 1 < text.size() ? text[i + 1] : QChar();
    if (text[i] != u'\\' || next.isNull()) {
      value += text[i];
      continue;
    }
    ++i;
    if (next == u'n') {
      value += u'\n';
    } else if (next == u'r') {
      value += u'\r';
    } else if (next == u't') {
      value += u'\t';
    } else if (next == u's') {
      value += u' ';
    } else {
      value += next;
    }
  }
  return value;
}

// One quoted argument of an Exec line: the characters that stay special inside
// quotes get a backslash, "%" is doubled, and then the line is escaped as
// every string is.
QString ExecArgument(const QString& path) {
  QString quoted;
  for (const QChar c : path) {
    if (c == u'"' || c == u'`' || c == u'$' || c == u'\\') quoted += u'\\';
    quoted += c;
  }
  quoted.replace(u'%', QStringLiteral("%%"));
  return EntryString(u'"' + quoted + u'"');
}

bool IsProgram(const QFileInfo& info) { return info.isFile() && info.isExecutable(); }

}  // namespace

QString IconFor(const QString& target) {
  const QFileInfo info(target);
  const QString suffix = info.suffix().toLower();
  if (suffix == u"svg" || suffix == u"png" || suffix == u"xpm" || suffix == u"ico") return target;
  if (IsProgram(info)) {
    for (const char* image : {".svg", ".png"}) {
      const QString icon = info.path() + u'/' + info.completeBaseName() + QLatin1String(image);
      if (QFileInfo::exists(icon)) return icon;
    }
    return info.completeBaseName();
  }
  return QMimeDatabase().mimeTypeForFile(target, QMimeDatabase::MatchExtension).iconName();
}

QByteArray ShortcutText(const TShortcut& shortcut) {
  const QFileInfo target(shortcut.Target);
  const QString exec = IsProgram(target)
                           ? ExecArgument(shortcut.Target)
                           : QStringLiteral("xdg-open ") + ExecArgument(shortcut.Target);
  QString text =
      QStringLiteral(
          "[Desktop Entry]\n"
          "Type=Application\n"
          "Name=%1\n"
          "Exec=%2\n"
          "Icon=%3\n"
          "Path=%4\n"
          "Terminal=false\n")
          .arg(EntryString(QFileInfo(shortcut.File).completeBaseName()), exec,
               EntryString(shortcut.Icon.isEmpty() ? IconFor(shortcut.Target) : shortcut.Icon),
               EntryString(target.path()));
  if (!shortcut.Categories.isEmpty())
    text += QStringLiteral("Categories=") + EntryString(shortcut.Categories) + u'\n';
  text += QLatin1String(kTargetKey) + EntryString(shortcut.Target) + u'\n';
  return text.toUtf8();
}

QString TargetOf(const QString& file) {
  QFile entry(file);
  if (!entry.open(QIODevice::ReadOnly)) return QString();
  while (!entry.atEnd()) {
    const QString line = QString::fromUtf8(entry.readLine()).trimmed();
    if (line.startsWith(QLatin1String(kTargetKey)))
      return FromEntryString(line.mid(sizeof(kTargetKey) - 1));
  }
  return QString();
}

void RemoveShortcutsTo(const QString& folder, const QString& target) {
  if (target.isEmpty()) return;
  const QDir dir(folder);
  for (const QString& name : dir.entryList({QStringLiteral("*.desktop")}, QDir::Files)) {
    const QString file = dir.filePath(name);
    if (TargetOf(file).compare(target, Qt::CaseInsensitive) == 0) QFile::remove(file);
  }
}

bool CreateShortcut(const TShortcut& shortcut) {
  RemoveShortcutsTo(QFileInfo(shortcut.File).path(), shortcut.Target);
  QSaveFile file(shortcut.File);
  constexpr QFileDevice::Permissions kLauncher = QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                 QFileDevice::ExeOwner | QFileDevice::ReadGroup |
                                                 QFileDevice::ExeGroup | QFileDevice::ReadOther |
                                                 QFileDevice::ExeOther;
  return file.open(QIODevice::WriteOnly) && file.write(ShortcutText(shortcut)) >= 0 &&
         file.setPermissions(kLauncher) && file.commit();
}

}  // namespace zt::setup
