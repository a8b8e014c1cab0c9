// The destination folder: its default and the check of the folder typed on the
// destination page.
#pragma once

#include <QString>
#include <optional>

#include "setup/messenger.h"

namespace zt::setup {

// ~/.local/opt/Zentrope, or /opt/Zentrope for root.
QString DefaultDestination(bool root, const QString& home);
QString DefaultDestination();

// Accepts the typed folder: one trailing "/" dropped, a leading "~" taken as
// `home`, a relative name taken from the working folder. Creates the folder
// with its parents, or asks whether to use it when it exists. The accepted
// folder is the folder's path with links resolved, ending in "/"; nullopt when
// it cannot be created (after saying so) or the answer is No.
std::optional<QString> AcceptDestination(const QString& typed, const QString& home,
                                         TMessenger& messenger);

}  // namespace zt::setup
