// The shortcuts of an installation: the "Zentrope" folder of the applications
// menu with the program, its help and its read-me, the desktop shortcut to the
// program, and the menu entry that starts the uninstaller. docs/setup.md lists
// the files.
#pragma once

#include <QString>

#include "setup/uninstall_log.h"
#include "setup/user_folders.h"

namespace zt::setup {

// The installed files that shortcuts start, relative to the destination.
inline constexpr char kProgramFile[] = "zentrope";
inline constexpr char kHelpFile[] = "help/user-guide.html";
inline constexpr char kReadmeFile[] = "Readme.txt";
inline constexpr char kUninstallerFile[] = "Uninst";

struct TShortcutPlan {
  QString Destination;  // ends in "/"
  QString DisplayName;
  TUserFolders Folders;
  bool StartMenu = true;
  bool Desktop = true;
};

// Creates the ticked shortcuts, replacing shortcuts to the same targets, and
// logs each file and then the menu folder, followed by the folders created on
// the way, innermost first. Raises ESetupError "Could not create the directory
// '...'." when a folder cannot be created; a shortcut that cannot be written is
// left out.
void CreateInstallShortcuts(const TShortcutPlan& plan, TUninstallLogWriter& log);

// Replaces the uninstall entries of earlier installations into the same
// destination with "Uninstall <display name>"; failures are ignored.
void RegisterUninstallEntry(const TShortcutPlan& plan);

// Removes the uninstall entries that start `uninstaller`.
void RemoveUninstallEntries(const TUserFolders& folders, const QString& uninstaller);

}  // namespace zt::setup
