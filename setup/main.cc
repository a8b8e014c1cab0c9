// The setup program: installs Zentrope from the folder that holds it and
// "Setup.dat", with the wizard or unattended; started as "Uninst" in an
// installation folder, removes that installation.
#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <cstdio>

#include "setup/command_line.h"
#include "setup/destination.h"
#include "setup/installer.h"
#include "setup/launcher.h"
#include "setup/message_boxes.h"
#include "setup/setup_data.h"
#include "setup/setup_error.h"
#include "setup/uninstaller.h"
#include "setup/wizard.h"

namespace {

using namespace zt::setup;

// The running program's own file; a link to it still names the file.
QString OwnProgram() { return QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget(); }

QString FolderOf(const QString& file) { return QFileInfo(file).path() + u'/'; }

int RunUninstall(const QString& program, TMessenger& messenger) {
  return Uninstall(FolderOf(program), program, CurrentUserFolders(), messenger);
}

int RunUnattended(const TSetupCommand& command, const QString& program) {
  TConsoleMessenger messenger;
  const TUserFolders folders = CurrentUserFolders();
  try {
    const TInstallSource source{FolderOf(program), program};
    const TSetupData opening(source.Folder + QStringLiteral("Setup.dat"));  // as the wizard opens
    const std::optional<QString> destination =
        AcceptDestination(command.Destination, folders.Home, messenger);
    if (!destination) return 1;
    TNoProgress progress;
    Install(source, {*destination, command.StartMenu, command.Desktop}, folders, progress);
  } catch (const ESetupError& error) {
    messenger.Show(error.Message(), TMessageKind::kWarning);
    return 1;
  }
  return 0;
}

int RunWizard(const TSetupCommand& command, const QString& program) {
  TMessageBoxes boxes;
  const TInstallSource source{FolderOf(program), program};
  QString display_name;
  try {
    display_name = TSetupData(source.Folder + QStringLiteral("Setup.dat")).Header().DisplayName;
  } catch (const ESetupError& error) {
    boxes.Show(error.Message(), TMessageKind::kWarning);
    return 1;
  }
  const TUserFolders folders = CurrentUserFolders();
  const TInstallChoices preset{
      command.Destination.isEmpty() ? DefaultDestination() : command.Destination, command.StartMenu,
      command.Desktop};
  TDesktopLauncher launcher;
  TSetupWizard wizard(source, display_name, preset, folders, boxes, launcher);
  // The wizard's end decides the status, also when its window was the last one.
  QApplication::setQuitOnLastWindowClosed(false);
  QObject::connect(&wizard, &TSetupWizard::Ended,
                   [](int status) { QCoreApplication::exit(status); });
  wizard.show();
  return QApplication::exec();
}

}  // namespace

int main(int argc, char** argv) {
  const QString program = OwnProgram();
  const bool uninstaller = IsUninstallerName(QFileInfo(program).fileName());
  QStringList arguments;
  for (int i = 1; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
  const TSetupCommand command = ParseCommandLine(arguments, uninstaller);
  if (command.Help) {
    std::fputs(Usage(uninstaller).toLocal8Bit().constData(), stdout);
    return 0;
  }
  if (!command.Error.isEmpty()) {
    std::fprintf(stderr, "%s\n%s", command.Error.toLocal8Bit().constData(),
                 Usage(uninstaller).toLocal8Bit().constData());
    return 2;
  }
  const QString title =
      uninstaller ? QStringLiteral("Zentrope Uninstall") : QStringLiteral("Zentrope Setup");
  if (command.Yes || command.Mode == TSetupMode::kUnattended) {
    QCoreApplication application(argc, argv);
    QCoreApplication::setApplicationName(title);
    if (command.Mode == TSetupMode::kUnattended) return RunUnattended(command, program);
    TConsoleMessenger messenger;
    return RunUninstall(program, messenger);
  }
  QApplication application(argc, argv);
  QApplication::setApplicationDisplayName(title);
  if (command.Mode == TSetupMode::kUninstall) {
    TMessageBoxes boxes;
    return RunUninstall(program, boxes);
  }
  return RunWizard(command, program);
}
