// The destination page's folder browser.
#include "setup/folder_browser.h"

#include <QDir>
#include <QFileInfo>
#include <QGridLayout>

namespace zt::setup {

TFolderBrowser::TFolderBrowser(QWidget* parent, const QString& typed)
    : QFileDialog(parent), status_(new QLabel(this)) {
  setWindowTitle(QStringLiteral("This is the directory in which Zentrope will be installed:"));
  // The desktop's own chooser has no room for the status line.
  setOption(QFileDialog::DontUseNativeDialog);
  setOption(QFileDialog::ShowDirsOnly);
  setFileMode(QFileDialog::Directory);
  QString folder = QDir::cleanPath(typed);
  if (QFileInfo(folder).isDir()) {
    setDirectory(QFileInfo(folder).path());
    selectFile(folder);
  } else {
    while (!folder.isEmpty() && folder != u"/" && !QFileInfo(folder).isDir())
      folder = QFileInfo(folder).path();
    setDirectory(folder);
  }
  status_->setText(QDir::cleanPath(typed));
  if (auto* grid = qobject_cast<QGridLayout*>(layout()))
    grid->addWidget(status_, grid->rowCount(), 0, 1, grid->columnCount());
  connect(this, &QFileDialog::currentChanged, status_, &QLabel::setText);
}

QString TFolderBrowser::Choose(QWidget* parent, const QString& typed) {
  TFolderBrowser browser(parent, typed);
  if (browser.exec() != QDialog::Accepted || browser.selectedFiles().isEmpty()) return QString();
  return browser.selectedFiles().constFirst();
}

}  // namespace zt::setup
