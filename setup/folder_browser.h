// The folder browser of the destination page: a folder chooser titled "This
// is the directory in which Zentrope will be installed:", showing only
// folders, with a status line that shows the selected folder.
#pragma once

#include <QFileDialog>
#include <QLabel>
#include <QString>

namespace zt::setup {

// User-interface thread only.
class TFolderBrowser : public QFileDialog {
  Q_OBJECT

 public:
  // Starts with `typed` (without a trailing "/") selected, or the nearest
  // folder above it that exists.
  TFolderBrowser(QWidget* parent, const QString& typed);

  QString StatusText() const { return status_->text(); }
  // The chosen folder, or an empty string when the browser was cancelled.
  static QString Choose(QWidget* parent, const QString& typed);

 private:
  QLabel* status_;
};

}  // namespace zt::setup
