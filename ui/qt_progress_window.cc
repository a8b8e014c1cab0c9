// The progress dialog around one long file operation.
#include "ui/qt_progress_window.h"

#include <QApplication>
#include <QProgressDialog>
#include <algorithm>
#include <cmath>
#include <utility>

namespace zt {

void TQtProgressWindow::Run(TProgressReporter& work, const std::string& caption,
                            const std::string& line) {
  QProgressDialog dialog(QString::fromStdString(caption + "\n" + line), QString(), 0, 1000,
                         QApplication::activeWindow());
  dialog.setWindowTitle(QStringLiteral("Zentrope"));
  dialog.setWindowModality(Qt::ApplicationModal);
  dialog.setMinimumDuration(0);
  dialog.setAutoReset(false);
  dialog.setAutoClose(false);
  dialog.setValue(0);
  dialog.show();
  QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);

  TProgressReporter::TOnProgress previous = std::move(work.OnProgress);
  work.OnProgress = [&](TProgressReporter& sender, double progress) {
    const int value = static_cast<int>(std::lround(std::clamp(progress, 0.0, 1.0) * 1000));
    if (value != dialog.value()) {
      dialog.setValue(value);
      QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
    if (previous) previous(sender, progress);
  };
  struct TRestore {
    TQtProgressWindow& Window;
    TProgressReporter& Work;
    TProgressReporter::TOnProgress& Previous;
    ~TRestore() {
      Work.OnProgress = std::move(Previous);
      Window.dialog_ = nullptr;
    }
  } restore{*this, work, previous};
  dialog_ = &dialog;
  work.Execute();
}

}  // namespace zt
