// The user's folders that an installation writes into besides the destination.
#pragma once

#include <QString>

namespace zt::setup {

struct TUserFolders {
  QString Home;
  QString DataHome;    // $XDG_DATA_HOME, else ~/.local/share: menus and associations
  QString ConfigHome;  // $XDG_CONFIG_HOME, else ~/.config: settings and menu merging
  QString Desktop;     // the XDG desktop folder, else ~/Desktop
};

TUserFolders CurrentUserFolders();

}  // namespace zt::setup
