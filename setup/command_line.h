// The command line of the setup program. Started under the name "Uninst" (or
// "Uninst.exe", in any case) it uninstalls; otherwise it installs, with the
// wizard or, for scripts, unattended.
#pragma once

#include <QString>
#include <QStringList>

namespace zt::setup {

enum class TSetupMode { kWizard, kUnattended, kUninstall };

struct TSetupCommand {
  TSetupMode Mode = TSetupMode::kWizard;
  bool Yes = false;     // uninstall without a window, answering the question with Yes
  QString Destination;  // required unattended; the wizard's suggestion otherwise
  bool StartMenu = true;
  bool Desktop = true;
  bool Help = false;
  QString Error;  // a usage error, when not empty
};

bool IsUninstallerName(const QString& file_name);

// `arguments` without the program's name; `uninstaller` from IsUninstallerName.
TSetupCommand ParseCommandLine(const QStringList& arguments, bool uninstaller);

QString Usage(bool uninstaller);

}  // namespace zt::setup
