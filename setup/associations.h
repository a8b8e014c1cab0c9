// Removing the file associations that the main program makes for its document
// types: its shared-mime-info package, its desktop entry and its lines in the
// user's mimeapps.list.
#pragma once

#include <QByteArray>

#include "setup/user_folders.h"

namespace zt::setup {

// `mimeapps` without the lines that name one of the document types; an empty
// array when lines were taken out and nothing but group lines and blank lines
// remains.
QByteArray WithoutDocumentTypes(const QByteArray& mimeapps);

// Removes the files and lines, then lets the desktop's tools (when installed)
// rebuild their caches without them. Failures are ignored.
void RemoveAssociations(const TUserFolders& folders);

}  // namespace zt::setup
