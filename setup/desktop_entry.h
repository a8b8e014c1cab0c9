// Shortcuts as desktop entries (.desktop files): the menu and desktop shortcuts
// and the uninstall entry. Each names the file it starts in the key
// X-Zentrope-Target, by which a later installation finds and replaces it.
#pragma once

#include <QByteArray>
#include <QString>

namespace zt::setup {

struct TShortcut {
  QString File;        // the .desktop file; its name without the extension is the caption
  QString Target;      // the program it starts, or the document it opens with the desktop's viewer
  QString Categories;  // menu categories, "A;B;", or empty
  QString Icon;        // empty: IconFor(Target)
};

// The icon of a target: an image file is its own icon; a program's is the
// .svg or .png file of its name beside it, else the icon theme's icon of its
// name; a document's is the icon of its file type.
QString IconFor(const QString& target);

QByteArray ShortcutText(const TShortcut& shortcut);

// The target named by the desktop entry `file`, or an empty string.
QString TargetOf(const QString& file);

// Deletes every desktop entry in `folder` whose target is `target`, compared
// without regard to case.
void RemoveShortcutsTo(const QString& folder, const QString& target);

// Replaces the shortcuts to the same target in the shortcut's folder with this
// one (written whole, executable, as desktops want of launchers on the
// desktop). False when it cannot be written.
bool CreateShortcut(const TShortcut& shortcut);

}  // namespace zt::setup
