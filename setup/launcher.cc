// Opening documents and starting programs on the desktop.
#include "setup/launcher.h"

#include <QDesktopServices>
#include <QProcess>
#include <QUrl>

namespace zt::setup {

void TDesktopLauncher::OpenDocument(const QString& file) {
  QDesktopServices::openUrl(QUrl::fromLocalFile(file));
}

void TDesktopLauncher::StartProgram(const QString& program, const QString& working_folder) {
  QProcess::startDetached(program, {}, working_folder);
}

}  // namespace zt::setup
