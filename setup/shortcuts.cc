// Creating and removing the shortcuts of an installation.
#include "setup/shortcuts.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <algorithm>

#include "setup/desktop_entry.h"
#include "setup/file_operations.h"
#include "setup/file_time.h"
#include "setup/setup_error.h"

namespace zt::setup {
namespace {

// The menu folder and the category that gathers its entries in the menu.
constexpr char kMenuFolder[] = "Zentrope";
constexpr char kMenuCategory[] = "X-Zentrope;";
constexpr char kDirectoryFile[] = "/desktop-directories/zentrope.directory";
constexpr char kMenuFile[] = "/menus/applications-merged/zentrope.menu";
constexpr char kMenuText[] =
    "<!DOCTYPE Menu PUBLIC \"-//freedesktop//DTD Menu 1.0//EN\"\n"
    " \"http://www.freedesktop.org/standards/menu-spec/1.0/menu.dtd\">\n"
    "<Menu>\n"
    "  <Name>Applications</Name>\n"
    "  <Menu>\n"
    "    <Name>Zentrope</Name>\n"
    "    <Directory>zentrope.directory</Directory>\n"
    "    <Include>\n"
    "      <Category>X-Zentrope</Category>\n"
    "    </Include>\n"
    "  </Menu>\n"
    "</Menu>\n";

QString ApplicationsFolder(const TUserFolders& folders) {
  return folders.DataHome + QStringLiteral("/applications");
}

// Creates the shortcuts and files of one installation and logs them.
class TShortcutMaker {
 public:
  TShortcutMaker(const TShortcutPlan& plan, TUninstallLogWriter& log) : plan_(plan), log_(log) {}

  void Run() {
    // Made (and logged) also without the menu folder, since the uninstall entry
    // goes there; uninstalling removes it again when it is left empty.
    MakeFolder(ApplicationsFolder(plan_.Folders));
    if (plan_.StartMenu) MenuFolder();
    if (plan_.Desktop) {
      MakeFolder(plan_.Folders.Desktop);
      Shortcut(plan_.Folders.Desktop + u'/' + plan_.DisplayName + QStringLiteral(".desktop"),
               Program());
    }
    std::for_each(created_.crbegin(), created_.crend(), [this](const QString& f) { Log(f, true); });
  }

 private:
  QString Program() const { return plan_.Destination + QLatin1String(kProgramFile); }

  // The menu folder with its shortcuts, and the files that make it a submenu.
  void MenuFolder() {
    const QString menu =
        QDir::cleanPath(ApplicationsFolder(plan_.Folders) + u'/' + QLatin1String(kMenuFolder));
    MakeFolder(menu);
    created_.removeAll(menu);  // logged below in any case
    Shortcut(menu + u'/' + plan_.DisplayName + QStringLiteral(".desktop"), Program(),
             kMenuCategory);
    Shortcut(menu + QStringLiteral("/Zentrope Help.desktop"),
             plan_.Destination + QLatin1String(kHelpFile), kMenuCategory);
    Shortcut(menu + QStringLiteral("/Read Me.desktop"),
             plan_.Destination + QLatin1String(kReadmeFile), kMenuCategory);
    const QString directory =
        QStringLiteral("[Desktop Entry]\nType=Directory\nName=Zentrope\nIcon=%1\n");
    File(plan_.Folders.DataHome + QLatin1String(kDirectoryFile),
         directory.arg(IconFor(Program())).toUtf8());
    File(plan_.Folders.ConfigHome + QLatin1String(kMenuFile), kMenuText);
    Log(menu, true);
  }

  void MakeFolder(const QString& folder) {
    const std::optional<QStringList> made = CreateFolders(folder);
    if (!made)
      throw ESetupError(QStringLiteral("Could not create the directory '%1'.").arg(folder));
    created_ += *made;
  }

  void Shortcut(const QString& file, const QString& target, const QString& categories = {}) {
    if (CreateShortcut({file, target, categories, QString()})) Log(file, false);
  }

  void File(const QString& path, const QByteArray& contents) {
    MakeFolder(QFileInfo(path).path());
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(contents) >= 0 && file.commit())
      Log(path, false);
  }

  void Log(const QString& path, bool folder) {
    log_.Append({path, ModificationTime(path).value_or(0), folder});
  }

  const TShortcutPlan& plan_;
  TUninstallLogWriter& log_;
  QStringList created_;  // outermost first
};

}  // namespace

void CreateInstallShortcuts(const TShortcutPlan& plan, TUninstallLogWriter& log) {
  TShortcutMaker(plan, log).Run();
}

void RegisterUninstallEntry(const TShortcutPlan& plan) {
  const QString applications = ApplicationsFolder(plan.Folders);
  const QString uninstaller = plan.Destination + QLatin1String(kUninstallerFile);
  RemoveShortcutsTo(applications, uninstaller);
  CreateFolders(applications);
  CreateShortcut({applications + QStringLiteral("/Uninstall ") + plan.DisplayName.left(84) +
                      QStringLiteral(".desktop"),
                  uninstaller, QStringLiteral("Settings;"),
                  IconFor(plan.Destination + QLatin1String(kProgramFile))});
}

void RemoveUninstallEntries(const TUserFolders& folders, const QString& uninstaller) {
  RemoveShortcutsTo(ApplicationsFolder(folders), uninstaller);
}

}  // namespace zt::setup
