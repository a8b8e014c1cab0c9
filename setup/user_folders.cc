// Finding the user's folders from the environment.
#include "setup/user_folders.h"

#include <QDir>
#include <QStandardPaths>

namespace zt::setup {
namespace {

// An XDG base folder: the variable when it holds an absolute path, else the default.
QString BaseFolder(const char* variable, const QString& fallback) {
  const QString value = qEnvironmentVariable(variable);
  return QDir::isAbsolutePath(value) ? QDir::cleanPath(value) : fallback;
}

}  // namespace

TUserFolders CurrentUserFolders() {
  const QString home = QDir::homePath();
  return TUserFolders{
      home,
      BaseFolder("XDG_DATA_HOME", home + QStringLiteral("/.local/share")),
      BaseFolder("XDG_CONFIG_HOME", home + QStringLiteral("/.config")),
      // Reads user-dirs.dirs in the configuration folder as xdg-user-dir does.
      QDir::cleanPath(QStandardPaths::writableLocation(QStandardPaths::DesktopLocation)),
  };
}

}  // namespace zt::setup
