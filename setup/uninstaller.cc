// Uninstalling.
#include "setup/uninstaller.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "setup/associations.h"
#include "setup/file_operations.h"
#include "setup/file_time.h"
#include "setup/first_run_settings.h"
#include "setup/setup_error.h"
#include "setup/shortcuts.h"

namespace zt::setup {
namespace {

bool RemoveFile(const TLogRecord& record) {
  const QFileInfo info(record.Path);
  // Only regular files were installed; anything else in their place is not ours.
  if (!info.isFile() || info.isSymLink()) return false;
  if (info.suffix().compare(u"gid", Qt::CaseInsensitive) != 0) {
    const std::optional<double> time = ModificationTime(record.Path);
    if (!time || !SameTime(*time, record.DateTime)) return false;
  }
  return QFile::remove(record.Path);
}

}  // namespace

int RemoveLoggedItems(const std::vector<TLogRecord>& records) {
  int removed = 0;
  for (const TLogRecord& record : records) {
    if (record.Folder ? QDir().rmdir(record.Path) : RemoveFile(record)) ++removed;
  }
  return removed;
}

int Uninstall(const QString& folder, const QString& program, const TUserFolders& folders,
              TMessenger& messenger) {
  const QString log_file = folder + QStringLiteral("Uninst.dat");
  TUninstallLog log;
  try {
    log = ReadUninstallLog(log_file);
  } catch (const ESetupError& error) {
    messenger.Show(error.Message(), TMessageKind::kWarning);
    return 1;
  }
  if (!messenger.Ask(
          QStringLiteral(
              "Are you sure you want to completely remove %1\nand all of its components?")
              .arg(log.DisplayName)))
    return 0;
  // The entries go first, so that the logged folders that held them are empty.
  RemoveUninstallEntries(folders, program);
  RemoveAssociations(folders);
  const bool all_removed = RemoveLoggedItems(log.Records) == static_cast<int>(log.Records.size());
  DeleteSettings(folders.ConfigHome, log.SettingsKey);
  QFile::remove(log_file);
  messenger.Show(
      all_removed ? QStringLiteral("Uninstallation successfully completed.")
                  : QStringLiteral("Uninstallation successfully completed.\n\nSome items could "
                                   "not be removed. You should manually \nremove items related to "
                                   "Zentrope."),
      TMessageKind::kInformation);
  // A running program may delete its own file.
  QFile::remove(program);
  RemoveEmptyFolders(folder, folders.Home);
  return 0;
}

}  // namespace zt::setup
