// File and folder operations that installing and uninstalling share.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace zt::setup {

// Creates `folder` and its missing parents; the folders it created, outermost
// first, or nullopt when it failed.
std::optional<QStringList> CreateFolders(const QString& folder);

// Copies `source` over `target` with its permissions; `target` is replaced only
// by a complete copy, also while a program runs from it. False on failure.
bool CopyFileReplacing(const QString& source, const QString& target);

// Removes `folder` if it is empty, then each parent it leaves empty while the
// parent lies below `stop` (with its links resolved).
void RemoveEmptyFolders(const QString& folder, const QString& stop);

}  // namespace zt::setup
