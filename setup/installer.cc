// Installing: extracting, copying, logging, shortcuts, settings, uninstaller.
#include "setup/installer.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

#include "setup/file_operations.h"
#include "setup/file_time.h"
#include "setup/first_run_settings.h"
#include "setup/setup_data.h"
#include "setup/setup_error.h"
#include "setup/uninstall_log.h"

namespace zt::setup {
namespace {

constexpr char kSetupData[] = "Setup.dat";
constexpr char kUninstallLog[] = "Uninst.dat";

class TInstallation {
 public:
  TInstallation(const TInstallSource& source, const TInstallChoices& choices,
                const TUserFolders& folders, TProgress& progress)
      : source_(source),
        progress_(progress),
        data_(source.Folder + QLatin1String(kSetupData)),
        plan_{choices.Destination, data_.Header().DisplayName, folders, choices.StartMenu,
              choices.Desktop} {}

  void Run() {
    progress_.Report(QStringLiteral("Preparing installation..."), 0, 0);
    maximum_ = data_.CountItems();
    progress_.Report(QStringLiteral("Preparing installation..."), 0, maximum_);
    TUninstallLogWriter log(plan_.Destination + QLatin1String(kUninstallLog), data_.Header().Raw);
    Extract(plan_.Destination, log);
    Copy(log);
    progress_.Report(QStringLiteral("Creating shortcuts..."), maximum_, maximum_);
    CreateInstallShortcuts(plan_, log);
    log.Commit();
    WriteFirstRunSettings(SettingsFile(plan_.Folders.ConfigHome, data_.Header().SettingsKey),
                          plan_.Destination);
    const QString uninstaller = plan_.Destination + QLatin1String(kUninstallerFile);
    if (!CopyFileReplacing(source_.SetupProgram, uninstaller))
      throw ESetupError(QStringLiteral("Error copying the file '%1' to '%2'.")
                            .arg(source_.SetupProgram, uninstaller));
    RegisterUninstallEntry(plan_);
  }

 private:
  // Extracts the list that follows into `folder` (ending in "/").
  void Extract(const QString& folder, TUninstallLogWriter& log) {
    while (const std::optional<TSetupItem> item = data_.NextItem(true)) {
      const QString path = folder + item->Name;
      if (item->IsFolder()) {
        if (!QDir().mkdir(path) && !QFileInfo(path).isDir())
          throw ESetupError(QStringLiteral("Could not create the directory '%1'.").arg(path));
        Extract(path + u'/', log);
        log.Append({path, data_.Header().DateTime, true});
      } else {
        Step(QStringLiteral("Decompressing %1 ...").arg(item->Name));
        ExtractFile(path, item->Size);
        log.Append({path, data_.Header().DateTime, false});
      }
    }
  }

  void ExtractFile(const QString& path, qint32 size) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || !data_.CopyContent(size, file) || !file.commit() ||
        !SetModificationTime(path, data_.Header().DateTime))
      throw ESetupError(QStringLiteral("Could not create the file '%1'.").arg(path));
  }

  void Copy(TUninstallLogWriter& log) {
    while (const std::optional<TSetupItem> item = data_.NextItem(false)) {
      Step(QStringLiteral("Copying %1 ...").arg(item->Name));
      const QString from = source_.Folder + item->Name;
      const QString to = plan_.Destination + item->Name;
      const std::optional<double> time =
          CopyFileReplacing(from, to) ? ModificationTime(to) : std::nullopt;
      if (!time)
        throw ESetupError(QStringLiteral("Error copying the file '%1' to '%2'.").arg(from, to));
      log.Append({to, *time, false});
    }
  }

  void Step(const QString& status) { progress_.Report(status, ++position_, maximum_); }

  const TInstallSource& source_;
  TProgress& progress_;
  TSetupData data_;
  const TShortcutPlan plan_;
  int maximum_ = 0;
  int position_ = 0;
};

}  // namespace

void Install(const TInstallSource& source, const TInstallChoices& choices,
             const TUserFolders& folders, TProgress& progress) {
  TInstallation(source, choices, folders, progress).Run();
}

}  // namespace zt::setup
