// Waiting for the documents, then the picture and the end of the program.
#include "ui/screenshot.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QTimer>
#include <iostream>

#include "platform/atomic_output.h"
#include "platform/thread.h"
#include "ui/entry_files.h"
#include "ui/fractal_window.h"
#include "ui/main_window.h"

namespace zt {

bool SavePng(const QPixmap& picture, const std::string& file) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  if (picture.isNull() || !buffer.open(QIODevice::WriteOnly) || !picture.save(&buffer, "PNG"))
    return false;
  try {
    WriteFileAtomically(file,
                        std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
  } catch (const EZentrope&) {
    return false;
  }
  return true;
}

bool TScreenshotUserInterface::BrowseEntry(TEntryBrowseKind kind, std::string& file_name,
                                           std::string& entry_name) {
  bool chosen = false;
  // The browser's first choice, without the browser.
  MainThreadDispatcher().Invoke([&] {
    const std::optional<TEntryChoice> choice = InitialEntryChoice(kind, file_name, entry_name);
    if (!choice) return;
    file_name = choice->FileName;
    entry_name = choice->EntryName;
    chosen = true;
  });
  return chosen;
}

TScreenshot::TScreenshot(TMainWindow& window, std::string file, bool timing,
                         TClock::time_point start, const TShownWindow* shown,
                         std::vector<std::string> files)
    : QObject(&window),
      window_(window),
      file_(std::move(file)),
      timing_(timing),
      start_(start),
      shown_(shown),
      files_(std::move(files)) {}

void TScreenshot::Start() {
  for (TFractalWindow* document : window_.Documents()) {
    connect(document, &TFractalWindow::CalculationFinished, this, &TScreenshot::Check);
    connect(document, &TFractalWindow::ProgressChanged, this, &TScreenshot::Check);
  }
  Check();
}

void TScreenshot::Check() {
  if (taken_) return;
  for (TFractalWindow* document : window_.Documents())
    if (!document->IsCalculated()) return;
  taken_ = true;
  if (timing_) {
    const auto elapsed =
        std::chrono::duration_cast<std::chrono::milliseconds>(TClock::now() - start_);
    std::cerr << "zentrope: every document calculated after " << elapsed.count() << " ms"
              << std::endl;
  }
  // One more turn of the event loop lets the windows show the final image.
  QTimer::singleShot(0, this, &TScreenshot::Take);
}

void TScreenshot::Take() {
  // Timers that are due (the tools refresh from one) run before the picture.
  QCoreApplication::processEvents();
  QWidget* pictured = &window_;
  if (shown_ != nullptr) {
    pictured = shown_->Open(window_, files_);
    pictured->show();
    QCoreApplication::processEvents();
  }
  const bool saved = SavePng(pictured->grab(), file_);
  if (!saved) std::cerr << "zentrope: could not write '" << file_ << "'" << std::endl;
  QCoreApplication::exit(saved ? 0 : 1);
}

}  // namespace zt
