// The uninstallation that the program runs when started as the uninstaller in
// an installation folder: it removes what the uninstall log names, the
// settings, the uninstall entry and the file associations, then itself and the
// emptied folder.
#pragma once

#include <QString>

#include "setup/messenger.h"
#include "setup/uninstall_log.h"
#include "setup/user_folders.h"

namespace zt::setup {

// Removes the logged items in log order: a folder when it is empty; a file
// unless it is missing or, for any extension but ".gid", its modification time
// differs from the logged one. Returns how many were removed.
int RemoveLoggedItems(const std::vector<TLogRecord>& records);

// The whole uninstallation of the installation in `folder` (ending in "/") by
// the running uninstaller `program`; the question and the messages go through
// `messenger`. Returns the exit status: 0 when it ran or the answer was No, 1
// when the log could not be read.
int Uninstall(const QString& folder, const QString& program, const TUserFolders& folders,
              TMessenger& messenger);

}  // namespace zt::setup
