// The entry chooser dialog: a file line with a button to pick another file and
// the list of the file's entries with their titles.
#include "ui/entry_chooser.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <filesystem>
#include <vector>

#include "document/settings/config_manager.h"
#include "formula/language/code.h"
#include "platform/program_folder.h"
#include "platform/text.h"
#include "ui/file_filters.h"

namespace zt {
namespace {

const TEntryKindInfo kKinds[] = {
    {"parameter set", "Parameter files (*.ZPR; *.PAR)|*.ZPR;*.PAR|All files (*.*)|*.*", "FRACTAL"},
    {"gradient", "Gradient files (*.ZGR)|*.ZGR|All files (*.*)|*.*", "GRADIENT"},
    {"alpha channel", "Alpha channel files (*.ZAL)|*.ZAL|All files (*.*)|*.*", "ALPHA"},
    {"formula", "Formula files (*.ZFM; *.FRM)|*.ZFM;*.FRM|All files (*.*)|*.*", "DEFAULT"},
    {"coloring", "Coloring files (*.ZCL)|*.ZCL|All files (*.*)|*.*", "DEFAULT"},
    {"transformation", "Transformation files (*.ZXF)|*.ZXF|All files (*.*)|*.*", "DEFAULT"},
};

// The extensions of the kind's first filter, lower case with the dot.
std::vector<std::string> KindExtensions(TEntryBrowseKind kind) {
  std::vector<std::string> extensions;
  const QString patterns = QString::fromUtf8(EntryKindInfo(kind).Filter).section(u'|', 1, 1);
  for (const QString& pattern : patterns.split(u';'))
    extensions.push_back(LowerCase(pattern.mid(1).toStdString()));
  return extensions;
}

// The first file of the kind in `folder`, by name without regard to case.
std::string FirstFileOfKind(TEntryBrowseKind kind, const std::string& folder) {
  std::vector<std::string> names;
  std::error_code error;
  for (const auto& item : std::filesystem::directory_iterator(folder, error)) {
    const std::string name = item.path().filename().string();
    for (const std::string& extension : KindExtensions(kind))
      if (EndsWithText(name, extension) && item.is_regular_file(error)) names.push_back(name);
  }
  if (names.empty()) return "";
  return folder + *std::min_element(names.begin(), names.end(), [](const auto& a, const auto& b) {
           return CompareText(a, b) < 0;
         });
}

}  // namespace

const TEntryKindInfo& EntryKindInfo(TEntryBrowseKind kind) {
  return kKinds[static_cast<int>(kind)];
}

std::string EntryKindFolder(TEntryBrowseKind kind) {
  const TConfigManager& config = ConfigManager();
  switch (kind) {
    case TEntryBrowseKind::kParameters: return ResolveFolder(config.ParameterDirectory);
    case TEntryBrowseKind::kGradient: return ResolveFolder(config.GradientDirectory);
    case TEntryBrowseKind::kAlphaChannel: return ResolveFolder(config.AlphaChannelDirectory);
    case TEntryBrowseKind::kFormula: return ResolveFolder(config.FormulaDirectory);
    case TEntryBrowseKind::kColoring: return ResolveFolder(config.ColoringDirectory);
    case TEntryBrowseKind::kTransformation: break;
  }
  return ResolveFolder(config.TransformationDirectory);
}

TEntryChooser::TEntryChooser(TEntryBrowseKind kind, const std::string& file_name,
                             const std::string& entry_name, QWidget* parent)
    : QDialog(parent), kind_(kind) {
  setWindowTitle(QStringLiteral("Choose a %1").arg(QString::fromUtf8(EntryKindInfo(kind).Noun)));
  file_label_ = new QLabel(this);
  file_label_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  auto* browse = new QPushButton(QStringLiteral("&File..."), this);
  connect(browse, &QPushButton::clicked, this, &TEntryChooser::BrowseFile);
  auto* file_row = new QHBoxLayout;
  file_row->addWidget(file_label_, 1);
  file_row->addWidget(browse);

  list_ = new QTreeWidget(this);
  list_->setHeaderLabels({QStringLiteral("Entry"), QStringLiteral("Title")});
  list_->setRootIsDecorated(false);
  list_->setUniformRowHeights(true);
  list_->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
  connect(list_, &QTreeWidget::itemDoubleClicked, this, &QDialog::accept);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* ok = buttons->button(QDialogButtonBox::Ok);
  ok->setEnabled(false);
  connect(list_, &QTreeWidget::currentItemChanged, ok,
          [ok](QTreeWidgetItem* current) { ok->setEnabled(current != nullptr); });

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(file_row);
  layout->addWidget(list_, 1);
  layout->addWidget(buttons);
  resize(520, 420);

  std::error_code error;
  if (!file_name.empty() && std::filesystem::is_regular_file(file_name, error)) {
    file_name_ = file_name;
  } else {
    file_name_ = FirstFileOfKind(kind, EntryKindFolder(kind));
  }
  if (!file_name_.empty() && SetFile(file_name_) && !SelectEntry(entry_name) &&
      list_->topLevelItemCount() > 0)
    list_->setCurrentItem(list_->topLevelItem(0));
  if (file_name_.empty()) file_label_->setText(QStringLiteral("(no file)"));
}

bool TEntryChooser::SetFile(const std::string& file_name) {
  list_->clear();
  file_name_ = file_name;
  file_label_->setText(QString::fromStdString(file_name));
  try {
    TCode code;
    code.ReadTitles = true;
    code.TitleSection = EntryKindInfo(kind_).TitleSection;
    code.LoadFile(file_name);
    for (; code.Found; code.FindNextEntry()) {
      auto* item = new QTreeWidgetItem(
          list_, {QString::fromStdString(code.EntryName), QString::fromStdString(code.Title)});
      item->setToolTip(1, item->text(1));
    }
  } catch (const EZentrope& e) {
    UserInterface().ShowMessage("Error", e.what(), TMessageKind::kError);
    return false;
  }
  return true;
}

bool TEntryChooser::SelectEntry(const std::string& entry_name) {
  for (int i = 0; i < list_->topLevelItemCount(); ++i) {
    QTreeWidgetItem* item = list_->topLevelItem(i);
    if (!entry_name.empty() && SameText(item->text(0).toStdString(), entry_name)) {
      list_->setCurrentItem(item);
      return true;
    }
  }
  return false;
}

std::optional<TEntryChoice> TEntryChooser::Choice() const {
  const QTreeWidgetItem* item = list_->currentItem();
  if (item == nullptr) return std::nullopt;
  return TEntryChoice{file_name_, item->text(0).toStdString()};
}

void TEntryChooser::BrowseFile() {
  const std::string start = file_name_.empty() ? EntryKindFolder(kind_) : file_name_;
  const QString picked = QFileDialog::getOpenFileName(
      this, QStringLiteral("Open"), QString::fromStdString(start),
      QtFilters(EntryKindInfo(kind_).Filter).join(QStringLiteral(";;")));
  if (picked.isEmpty()) return;
  if (SetFile(picked.toStdString()) && list_->topLevelItemCount() > 0)
    list_->setCurrentItem(list_->topLevelItem(0));
}

std::optional<TEntryChoice> TEntryChooser::Choose(TEntryBrowseKind kind,
                                                  const std::string& file_name,
                                                  const std::string& entry_name, QWidget* parent) {
  TEntryChooser chooser(kind, file_name, entry_name, parent);
  if (chooser.exec() != QDialog::Accepted) return std::nullopt;
  return chooser.Choice();
}

}  // namespace zt
