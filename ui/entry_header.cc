// The entry head of a section.
#include "ui/entry_header.h"

#include <QFileInfo>
#include <QGridLayout>

namespace zt {

TEntryHeader::TEntryHeader(QWidget* parent)
    : QWidget(parent), title_(this), details_(this), choose_(tr("Choose..."), this) {
  QFont bold = title_.font();
  bold.setBold(true);
  title_.setFont(bold);
  title_.setTextInteractionFlags(Qt::TextSelectableByMouse);
  details_.setTextInteractionFlags(Qt::TextSelectableByMouse);
  details_.setWordWrap(true);
  choose_.setObjectName("choose");
  auto* layout = new QGridLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(&title_, 0, 0);
  layout->addWidget(&details_, 1, 0);
  layout->addWidget(&choose_, 0, 1, 2, 1, Qt::AlignVCenter);
  layout->setColumnStretch(0, 1);
  connect(&choose_, &QPushButton::clicked, this, &TEntryHeader::ChooseClicked);
}

void TEntryHeader::ShowEntry(const TFormulaBase* entry) {
  if (!entry) {
    title_.clear();
    details_.clear();
    return;
  }
  title_.setText(QString::fromStdString(entry->Title()));
  const QString file = QString::fromStdString(entry->Code().FileName);
  if (file.isEmpty() || (entry->IsEmpty() && !entry->CompileFailed())) {
    details_.clear();
    details_.setToolTip(QString());
    return;
  }
  QString details =
      QString::fromStdString(entry->Code().EntryName) + tr(" in ") + QFileInfo(file).fileName();
  if (entry->CompileFailed()) details += tr(" (did not compile)");
  details_.setText(details);
  details_.setToolTip(file);
}

}  // namespace zt
