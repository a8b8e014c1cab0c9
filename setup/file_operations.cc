// Creating folders, copying files and removing emptied folders.
#include "setup/file_operations.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace zt::setup {

std::optional<QStringList> CreateFolders(const QString& folder) {
  QStringList missing;
  for (QString path = QDir::cleanPath(folder); !QFileInfo::exists(path);
       path = QFileInfo(path).path())
    missing.prepend(path);
  for (const QString& path : missing) {
    if (!QDir().mkdir(path)) return std::nullopt;
  }
  if (!QFileInfo(folder).isDir()) return std::nullopt;
  return missing;
}

bool CopyFileReplacing(const QString& source, const QString& target) {
  QFile in(source);
  QSaveFile out(target);
  if (!in.open(QIODevice::ReadOnly) || !out.open(QIODevice::WriteOnly)) return false;
  while (!in.atEnd()) {
    const QByteArray chunk = in.read(1 << 16);
    if (chunk.isEmpty() || out.write(chunk) != chunk.size()) return false;
  }
  return out.setPermissions(in.permissions()) && out.commit();
}

void RemoveEmptyFolders(const QString& folder, const QString& stop) {
  const QString limit = QFileInfo(stop).canonicalFilePath() + u'/';
  QString path = QDir::cleanPath(folder);
  while (QDir().rmdir(path)) {
    path = QFileInfo(path).path();
    if (!path.startsWith(limit)) return;
  }
}

}  // namespace zt::setup
