// Reading the command line.
#include "setup/command_line.h"

namespace zt::setup {

bool IsUninstallerName(const QString& file_name) {
  return file_name.compare(u"Uninst", Qt::CaseInsensitive) == 0 ||
         file_name.compare(u"Uninst.exe", Qt::CaseInsensitive) == 0;
}

TSetupCommand ParseCommandLine(const QStringList& arguments, bool uninstaller) {
  TSetupCommand command;
  if (uninstaller) command.Mode = TSetupMode::kUninstall;
  for (qsizetype i = 0; i < arguments.size() && command.Error.isEmpty(); ++i) {
    const QString& argument = arguments[i];
    if (argument == u"--help" || argument == u"-h") {
      command.Help = true;
    } else if (uninstaller && argument == u"--yes") {
      command.Yes = true;
    } else if (uninstaller) {
      command.Error = QStringLiteral("unknown argument '%1'").arg(argument);
    } else if (argument == u"--unattended") {
      command.Mode = TSetupMode::kUnattended;
    } else if (argument == u"--dest" && i + 1 < arguments.size()) {
      command.Destination = arguments[++i];
    } else if (argument == u"--no-menu") {
      command.StartMenu = false;
    } else if (argument == u"--no-desktop") {
      command.Desktop = false;
    } else {
      command.Error = argument == u"--dest" ? QStringLiteral("--dest needs a folder")
                                            : QStringLiteral("unknown argument '%1'").arg(argument);
    }
  }
  if (command.Error.isEmpty() && command.Mode == TSetupMode::kUnattended &&
      command.Destination.isEmpty())
    command.Error = QStringLiteral("--unattended needs --dest");
  return command;
}

QString Usage(bool uninstaller) {
  if (uninstaller) {
    return QStringLiteral(
        "usage: Uninst [--yes]\n"
        "  Removes the installation that this uninstaller belongs to.\n"
        "  --yes  without a window: the question is answered Yes, messages go to standard error\n");
  }
  return QStringLiteral(
      "usage: setup [--unattended] [--dest DIR] [--no-menu] [--no-desktop]\n"
      "  Installs Zentrope from the folder that holds this program and Setup.dat.\n"
      "  --unattended  without a window, into --dest; messages go to standard error\n"
      "  --dest DIR    the destination folder (the wizard suggests it)\n"
      "  --no-menu     no folder in the applications menu\n"
      "  --no-desktop  no shortcut on the desktop\n");
}

}  // namespace zt::setup
