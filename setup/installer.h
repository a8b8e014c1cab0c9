// The installation itself: the files of the installation data, the uninstall
// log, the shortcuts, the first-run settings, the uninstaller and its menu
// entry, in the order that a partly failed installation leaves least behind.
#pragma once

#include <QString>

#include "setup/messenger.h"
#include "setup/shortcuts.h"

namespace zt::setup {

// Where the installation comes from.
struct TInstallSource {
  QString Folder;        // the folder of "Setup.dat" and the files of list 2, ending in "/"
  QString SetupProgram;  // the running setup program, copied as the uninstaller
};

// What the person chose.
struct TInstallChoices {
  QString Destination;  // an existing folder, ending in "/"
  bool StartMenu = true;
  bool Desktop = true;
};

// Runs the installation. Raises ESetupError with the message of the first fatal
// failure; what was installed before it stays. The thread that owns `progress`.
void Install(const TInstallSource& source, const TInstallChoices& choices,
             const TUserFolders& folders, TProgress& progress);

}  // namespace zt::setup
