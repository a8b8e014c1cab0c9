// The task bar title, which shows a minimised program's calculation progress.
#include "ui/application_title.h"

namespace zt {

QString ApplicationTitle(bool minimised, TActiveWindowKind active, const QString& progress) {
  const QString title = QStringLiteral("Zentrope");
  if (!minimised || active == TActiveWindowKind::kOther || progress == u"100%") return title;
  return u'[' + progress + QStringLiteral("] ") + title;
}

}  // namespace zt
