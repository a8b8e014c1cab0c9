// Message boxes of the setup program.
#include "setup/message_boxes.h"

#include <QGuiApplication>
#include <QMessageBox>

namespace zt::setup {

void TMessageBoxes::Show(const QString& text, TMessageKind kind) {
  const QString title = QGuiApplication::applicationDisplayName();
  if (kind == TMessageKind::kWarning) {
    QMessageBox::warning(parent_, title, text);
  } else {
    QMessageBox::information(parent_, title, text);
  }
}

bool TMessageBoxes::Ask(const QString& question) {
  return QMessageBox::question(parent_, QGuiApplication::applicationDisplayName(), question,
                               QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

}  // namespace zt::setup
