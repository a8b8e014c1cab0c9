// The message window of the formula editor.
#include "ui/compile_messages_dock.h"

#include <QAction>
#include <QApplication>
#include <QListWidget>
#include <QStyle>

#include "ui/help_pages.h"

namespace zt {
namespace {

constexpr int kLineRole = Qt::UserRole;
constexpr int kColumnRole = Qt::UserRole + 1;
constexpr int kHelpKeyRole = Qt::UserRole + 2;

// Room for a few messages at first; the editor's text keeps the most room.
class TMessageList : public QListWidget {
 public:
  using QListWidget::QListWidget;
  QSize sizeHint() const override { return {480, 100}; }
};

}  // namespace

TCompileMessagesDock::TCompileMessagesDock(QWidget* parent)
    : QDockWidget(QString::fromStdString(MessageWindowCaption("")), parent),
      list_(new TMessageList(this)) {
  setObjectName(QStringLiteral("Messages"));
  list_->setUniformItemSizes(true);
  setWidget(list_);
  connect(list_, &QListWidget::itemActivated, this, &TCompileMessagesDock::Activate);
  auto* help = new QAction(QStringLiteral("Help on Message"), list_);
  help->setShortcut(QKeySequence::HelpContents);
  help->setShortcutContext(Qt::WidgetWithChildrenShortcut);
  connect(help, &QAction::triggered, this,
          [this] { OpenHelpPage(kFormulaLanguagePage, HelpKey()); });
  list_->addAction(help);
  list_->setContextMenuPolicy(Qt::ActionsContextMenu);
}

void TCompileMessagesDock::ShowCompilation(const TEntryTextCompilation& compilation) {
  setWindowTitle(QString::fromStdString(MessageWindowCaption(compilation.EntryName)));
  list_->clear();
  QStyle* style = QApplication::style();
  for (const TCompileMessage& message : compilation.Messages) {
    auto* item =
        new QListWidgetItem(style->standardIcon(message.Error ? QStyle::SP_MessageBoxCritical
                                                              : QStyle::SP_MessageBoxWarning),
                            QString::fromStdString(message.Text), list_);
    item->setData(kLineRole, message.Line);
    item->setData(kColumnRole, message.Column);
    item->setData(kHelpKeyRole, QString::fromStdString(message.HelpKey()));
  }
  new QListWidgetItem(style->standardIcon(QStyle::SP_MessageBoxInformation),
                      QString::fromStdString(compilation.Result), list_);
  list_->setCurrentRow(0);
}

std::string TCompileMessagesDock::HelpKey() const {
  const QListWidgetItem* item = list_->currentItem();
  const QString key = item != nullptr ? item->data(kHelpKeyRole).toString() : QString();
  return key.isEmpty() ? kCompileMessagesOverviewTopic : key.toStdString();
}

void TCompileMessagesDock::Activate() {
  const QListWidgetItem* item = list_->currentItem();
  if (item == nullptr || !item->data(kLineRole).isValid()) return;
  emit JumpRequested(item->data(kLineRole).toInt(), item->data(kColumnRole).toInt());
}

}  // namespace zt
