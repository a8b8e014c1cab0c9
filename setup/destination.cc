// Choosing and checking the destination folder.
#include "setup/destination.h"

#include <unistd.h>
#include <QDir>
#include <QFileInfo>

#include "setup/file_operations.h"

namespace zt::setup {

QString DefaultDestination(bool root, const QString& home) {
  return root ? QStringLiteral("/opt/Zentrope") : home + QStringLiteral("/.local/opt/Zentrope");
}

QString DefaultDestination() { return DefaultDestination(geteuid() == 0, QDir::homePath()); }

std::optional<QString> AcceptDestination(const QString& typed, const QString& home,
                                         TMessenger& messenger) {
  QString folder = typed;
  if (folder.endsWith(u'/') && folder.size() > 1) folder.chop(1);
  if (folder == u"~" || folder.startsWith(QStringLiteral("~/"))) folder = home + folder.mid(1);
  folder = QDir::cleanPath(QDir::current().absoluteFilePath(folder));
  if (QFileInfo(folder).isDir()) {
    if (!messenger.Ask(QStringLiteral(
            "The destination folder already exists. If you proceed, \nexisting files in this "
            "folder may be overwritten.\n\nDo you want to proceed?")))
      return std::nullopt;
  } else if (typed.isEmpty() || !CreateFolders(folder)) {
    messenger.Show(QStringLiteral("Could not create the folder '%1'.\nPlease specify a valid name.")
                       .arg(typed),
                   TMessageKind::kWarning);
    return std::nullopt;
  }
  // Links resolved, as the uninstaller will see its own folder.
  folder = QFileInfo(folder).canonicalFilePath();
  return folder.endsWith(u'/') ? folder : folder + u'/';
}

}  // namespace zt::setup
