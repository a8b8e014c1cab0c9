// Building installation data and packages for the tests.
#include "setup/testing/test_package.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include "setup/binary_fields.h"

namespace zt::setup::testing {

QByteArray HeaderBytes(const QByteArray& display_name, const QByteArray& settings_key,
                       double date_time) {
  QByteArray bytes("ZTSETUP1");
  bytes += ShortStringField(display_name, 32) + ShortStringField(settings_key, 64);
  AppendDouble(bytes, date_time);
  return bytes;
}

QByteArray ItemBytes(const QByteArray& name, qint32 size) {
  QByteArray bytes = ShortStringField(name, 32);
  AppendInt32(bytes, size);
  return bytes;
}

QByteArray FileBytes(const QByteArray& name, const QByteArray& contents) {
  return ItemBytes(name, contents.size()) + contents;
}

QByteArray EndBytes() { return ItemBytes("", 0); }

void WriteFile(const QString& path, const QByteArray& contents) {
  QDir().mkpath(QFileInfo(path).path());
  QFile file(path);
  if (file.open(QIODevice::WriteOnly)) file.write(contents);
}

QByteArray ReadFile(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TInstallSource WritePackage(const QString& folder) {
  const QByteArray data = HeaderBytes() + FileBytes("Readme.txt", "Read me.\n") +
                          ItemBytes("help", -1) + FileBytes("user-guide.html", "<html></html>\n") +
                          EndBytes() + ItemBytes("Formula", -1) +
                          FileBytes("Standard.zfm", "Mandel {\n}\n") + FileBytes("Help.gid", "") +
                          EndBytes() + ItemBytes("Export", -1) + EndBytes() + EndBytes() +
                          ItemBytes("zentrope", 0) + ItemBytes("zt", 0) + EndBytes();
  const TInstallSource source{folder + u'/', folder + QStringLiteral("/setup")};
  WriteFile(source.Folder + QStringLiteral("Setup.dat"), data);
  for (const char* program : {"zentrope", "zt", "setup"}) {
    const QString path = source.Folder + QLatin1String(program);
    WriteFile(path, QByteArray("#!/bin/sh\n# ") + program + '\n');
    QFile::setPermissions(path, QFile::permissions(path) | QFileDevice::ExeOwner);
  }
  return source;
}

TUserFolders FoldersBelow(const QString& root) {
  return TUserFolders{root, root + QStringLiteral("/.local/share"),
                      root + QStringLiteral("/.config"), root + QStringLiteral("/Desktop")};
}

QStringList TreeOf(const QString& root) {
  QStringList tree;
  QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                  QDirIterator::Subdirectories);
  while (it.hasNext()) tree << QDir(root).relativeFilePath(it.next());
  tree.sort();
  return tree;
}

bool TRecordingMessenger::Ask(const QString& question) {
  Asked << question;
  if (Answers.empty()) return true;
  const bool answer = Answers.front();
  Answers.pop_front();
  return answer;
}

}  // namespace zt::setup::testing
