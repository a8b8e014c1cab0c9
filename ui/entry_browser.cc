// The entry browser dialog.
#include "ui/entry_browser.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFontDatabase>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSplitter>
#include <QStyle>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <filesystem>

#include "document/settings/config_manager.h"
#include "platform/error.h"
#include "platform/text.h"
#include "ui/code_edit.h"
#include "ui/entry_preview.h"
#include "ui/file_filters.h"

namespace zt {
namespace {

constexpr int kPathRole = Qt::UserRole;   // a tree item's file
constexpr int kIndexRole = Qt::UserRole;  // an entry item's place in entries_
const QSize kPreviewBox(240, 180);

QString Text(const std::string& text) { return QString::fromStdString(text); }

void AddNodes(QTreeWidgetItem* parent, const TFolderNode& node) {
  QStyle* style = QApplication::style();
  for (const TFolderNode& child : node.Children) {
    auto* item = new QTreeWidgetItem(parent, {Text(child.Name)});
    item->setIcon(0, style->standardIcon(child.Folder ? QStyle::SP_DirIcon : QStyle::SP_FileIcon));
    if (!child.Folder) item->setData(0, kPathRole, Text(child.Path));
    AddNodes(item, child);
  }
}

}  // namespace

TEntryBrowser::TEntryBrowser(TEntryBrowseKind kind, const std::string& file_name,
                             const std::string& entry_name, QWidget* parent)
    : QDialog(parent), kind_(kind) {
  setWindowTitle(QStringLiteral("Choose a %1").arg(QString::fromUtf8(EntryKindInfo(kind).Noun)));
  file_label_ = new QLabel(this);
  file_label_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  auto* browse = new QPushButton(QStringLiteral("&File..."), this);
  connect(browse, &QPushButton::clicked, this, &TEntryBrowser::BrowseFile);
  auto* file_row = new QHBoxLayout;
  file_row->addWidget(file_label_, 1);
  file_row->addWidget(browse);

  tree_ = new QTreeWidget(this);
  tree_->setHeaderLabels({QStringLiteral("Folder")});
  connect(tree_, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item) {
    const QString path = item->data(0, kPathRole).toString();
    if (path.isEmpty() || path.toStdString() == file_name_) return;
    if (SetFile(path.toStdString()) && list_->topLevelItemCount() > 0)
      list_->setCurrentItem(list_->topLevelItem(0));
  });

  list_ = new QTreeWidget(this);
  list_->setHeaderLabels({QStringLiteral("Entry"), QStringLiteral("Title")});
  list_->setRootIsDecorated(false);
  list_->setUniformRowHeights(true);
  list_->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
  connect(list_, &QTreeWidget::itemDoubleClicked, this, &QDialog::accept);
  connect(list_, &QTreeWidget::currentItemChanged, this, &TEntryBrowser::EntryChosen);

  text_ = new QPlainTextEdit(this);
  text_->setReadOnly(true);
  text_->setLineWrapMode(QPlainTextEdit::NoWrap);
  if (ConfigManager().EditorFontInBrowsers) {
    const QFont font = EditorQFont(ConfigManager().EditorFont);
    text_->setFont(font);
    list_->setFont(font);
  } else {
    text_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  }
  preview_label_ = new QLabel(this);
  preview_label_->setAlignment(Qt::AlignCenter);
  preview_label_->setFixedSize(kPreviewBox);
  preview_label_->setFrameShape(QFrame::StyledPanel);
  auto* right = new QWidget(this);
  auto* right_layout = new QVBoxLayout(right);
  right_layout->setContentsMargins(0, 0, 0, 0);
  right_layout->addWidget(preview_label_, 0, Qt::AlignHCenter);
  right_layout->addWidget(text_, 1);
  if (kind == TEntryBrowseKind::kParameters) {
    preview_ = new TEntryPreview(kPreviewBox, this);
    connect(preview_, &TEntryPreview::Ready, this,
            [this](const QImage& image) { preview_label_->setPixmap(QPixmap::fromImage(image)); });
    connect(preview_, &TEntryPreview::Failed, this,
            [this](const QString& message) { preview_label_->setText(message); });
    preview_label_->setWordWrap(true);
  } else {
    preview_label_->hide();
  }

  auto* splitter = new QSplitter(this);
  splitter->addWidget(tree_);
  splitter->addWidget(list_);
  splitter->addWidget(right);
  splitter->setSizes({150, 270, 400});

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* ok = buttons->button(QDialogButtonBox::Ok);
  ok->setEnabled(false);
  connect(list_, &QTreeWidget::currentItemChanged, ok,
          [ok](QTreeWidgetItem* current) { ok->setEnabled(current != nullptr); });
  // A preview still calculating stops with the dialog.
  connect(this, &QDialog::finished, this, [this] {
    if (preview_ != nullptr) preview_->Cancel();
  });

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(file_row);
  layout->addWidget(splitter, 1);
  layout->addWidget(buttons);
  resize(880, 500);

  FillTree();
  // An asked file without entries (or unreadable) still shows, with its error.
  const std::optional<TEntryChoice> start = InitialEntryChoice(kind, file_name, entry_name);
  std::error_code error;
  std::string file = start ? start->FileName : "";
  if (!start && std::filesystem::is_regular_file(file_name, error)) file = file_name;
  if (file.empty()) {
    file_label_->setText(QStringLiteral("(no file)"));
  } else if (SetFile(file) && start) {
    SelectEntry(start->EntryName);
  }
}

TEntryBrowser::~TEntryBrowser() = default;

void TEntryBrowser::FillTree() {
  const TFolderNode root = KindFolderTree(kind_, EntryKindFolder(kind_));
  auto* top = new QTreeWidgetItem(tree_, {Text(root.Name)});
  top->setIcon(0, QApplication::style()->standardIcon(QStyle::SP_DirIcon));
  top->setToolTip(0, Text(root.Path));
  AddNodes(top, root);
  tree_->expandItem(top);
}

void TEntryBrowser::MarkFileInTree() {
  const QString path = Text(file_name_);
  for (QTreeWidgetItemIterator it(tree_); *it; ++it) {
    const QString item_path = (*it)->data(0, kPathRole).toString();
    std::error_code error;
    if (!item_path.isEmpty() &&
        std::filesystem::equivalent(item_path.toStdString(), file_name_, error)) {
      tree_->setCurrentItem(*it);
      return;
    }
  }
  // A file outside the kind's folder stands at the top with its full path.
  auto* item = new QTreeWidgetItem({path});
  item->setIcon(0, QApplication::style()->standardIcon(QStyle::SP_FileIcon));
  item->setData(0, kPathRole, path);
  tree_->addTopLevelItem(item);
  tree_->setCurrentItem(item);
}

bool TEntryBrowser::SetFile(const std::string& file_name) {
  list_->clear();
  entries_.clear();
  text_->clear();
  file_name_ = file_name;
  file_label_->setText(Text(file_name));
  MarkFileInTree();
  try {
    entries_ = ListEntries(kind_, file_name);
  } catch (const EZentrope& e) {
    UserInterface().ShowMessage("Error", e.what(), TMessageKind::kError);
    return false;
  }
  for (size_t i = 0; i < entries_.size(); ++i) {
    auto* item = new QTreeWidgetItem(list_, {Text(entries_[i].Name), Text(entries_[i].Title)});
    item->setData(0, kIndexRole, static_cast<int>(i));
    item->setToolTip(1, item->text(1));
  }
  return true;
}

bool TEntryBrowser::SelectEntry(const std::string& entry_name) {
  for (int i = 0; i < list_->topLevelItemCount(); ++i) {
    QTreeWidgetItem* item = list_->topLevelItem(i);
    if (!entry_name.empty() && SameText(item->text(0).toStdString(), entry_name)) {
      list_->setCurrentItem(item);
      return true;
    }
  }
  return false;
}

std::optional<TEntryChoice> TEntryBrowser::Choice() const {
  const QTreeWidgetItem* item = list_->currentItem();
  if (item == nullptr) return std::nullopt;
  return TEntryChoice{file_name_, item->text(0).toStdString()};
}

void TEntryBrowser::EntryChosen() {
  const QTreeWidgetItem* item = list_->currentItem();
  if (preview_ != nullptr) {
    preview_label_->clear();
    preview_->Cancel();
  }
  if (item == nullptr) {
    text_->clear();
    return;
  }
  const TEntryListing& entry = entries_[static_cast<size_t>(item->data(0, kIndexRole).toInt())];
  try {
    text_->setPlainText(Text(EntryText(file_name_, entry)));
  } catch (const EZentrope& e) {
    text_->setPlainText(QString::fromUtf8(e.what()));
  }
  if (preview_ != nullptr) {
    preview_label_->setText(QStringLiteral("Calculating..."));
    preview_->Request(file_name_, entry.Name);
  }
}

void TEntryBrowser::BrowseFile() {
  const std::string start = file_name_.empty() ? EntryKindFolder(kind_) : file_name_;
  const QString picked = QFileDialog::getOpenFileName(
      this, QStringLiteral("Open"), Text(start),
      QtFilters(EntryKindInfo(kind_).Filter).join(QStringLiteral(";;")));
  if (picked.isEmpty()) return;
  if (SetFile(picked.toStdString()) && list_->topLevelItemCount() > 0)
    list_->setCurrentItem(list_->topLevelItem(0));
}

std::optional<TEntryChoice> TEntryBrowser::Choose(TEntryBrowseKind kind,
                                                  const std::string& file_name,
                                                  const std::string& entry_name, QWidget* parent) {
  TEntryBrowser browser(kind, file_name, entry_name, parent);
  if (browser.exec() != QDialog::Accepted) return std::nullopt;
  return browser.Choice();
}

}  // namespace zt
