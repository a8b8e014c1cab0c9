// Messages and questions as message boxes titled with the application's name
// ("Zentrope Setup", "Zentrope Uninstall").
#pragma once

#include <QWidget>

#include "setup/messenger.h"

namespace zt::setup {

// User-interface thread only; `parent` (may be null) must outlive it.
class TMessageBoxes : public TMessenger {
 public:
  explicit TMessageBoxes(QWidget* parent = nullptr) : parent_(parent) {}
  void Show(const QString& text, TMessageKind kind) override;
  bool Ask(const QString& question) override;

 private:
  QWidget* parent_;
};

}  // namespace zt::setup
