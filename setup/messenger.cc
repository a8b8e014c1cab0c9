// The console forms of messages and questions.
#include "setup/messenger.h"

#include <cstdio>

namespace zt::setup {

void TConsoleMessenger::Show(const QString& text, TMessageKind) {
  std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
}

bool TConsoleMessenger::Ask(const QString& question) {
  std::fprintf(stderr, "%s\nYes\n", question.toLocal8Bit().constData());
  return true;
}

}  // namespace zt::setup
