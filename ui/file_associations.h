// The program's document types and their association with the desktop program:
// a shared-mime-info package that names the types, a desktop entry that opens
// them, and the user's choice of that entry as their default application; and
// the start-up step that offers to create them. docs/desktop-startup.md
// describes the files and the tools.
#pragma once

#include <QByteArray>
#include <QString>
#include <array>

#include "platform/user_interface.h"

namespace zt {

// One of the program's document types.
struct TFileType {
  const char* Extension;  // without the dot
  const char* Description;
  bool Text;  // a text format, which text editors may open too
};

inline constexpr std::array<TFileType, 8> kFileTypes = {{
    {"zfr", "Fractal Image", false},
    {"zpr", "Fractal Parameters", true},
    {"zgr", "Fractal Gradients", true},
    {"zal", "Fractal Alpha Channels", true},
    {"zxf", "Fractal Transformations", true},
    {"zfm", "Fractal Formulas", true},
    {"zcl", "Fractal Colorings", true},
    {"zdr", "Fractal Disk Render", false},
}};

// "application/x-zentrope-" and the extension.
QString MimeTypeName(const TFileType& type);

// The shared-mime-info package with one MIME type per document type.
QByteArray MimePackage();
// The desktop entry that opens every document type with `program`.
QByteArray DesktopEntry(const QString& program);

// The user's data folder: $XDG_DATA_HOME, else ~/.local/share.
QString DefaultDataHome();

// The associations in one user's data folder with one program file.
//
// Thread safety: the user-interface thread; Check and Create start the
// desktop's tools and wait for them.
class TFileAssociations {
 public:
  // `data_home`: the user's data folder; `program`: the desktop program's full path.
  TFileAssociations(QString data_home, QString program);

  // True when <data home>/mime/packages/zentrope.xml and
  // <data home>/applications/zentrope.desktop hold, ignoring case, what Create
  // writes, and, when xdg-mime is installed, it names that desktop entry as the
  // default application of every type.
  bool Check() const;
  // Writes both files (each replaced whole), then rebuilds the desktop's caches
  // and makes the entry the default application of every type with the tools
  // that are installed; a missing or failing tool is skipped with a warning.
  // Raises EFileWriteError when a file cannot be written.
  void Create() const;

 private:
  QString data_home_;
  QString program_;
};

// The association step of start-up. When `check_at_startup` is on and the check
// fails, asks whether to create the associations (any answer but No creates
// them) and, after No, whether to turn the check off (Yes does). A file that
// cannot be written is reported through `ui`, and start-up goes on.
void CheckAssociationsAtStartup(const TFileAssociations& associations, TUserInterface& ui,
                                bool& check_at_startup);

}  // namespace zt
