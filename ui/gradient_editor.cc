// The gradient and alpha channel editor window.
#include "ui/gradient_editor.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QEvent>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <filesystem>

#include "color/layer.h"
#include "platform/text.h"
#include "ui/adjust_colors_dialog.h"
#include "ui/alpha_editing.h"
#include "ui/entry_browser.h"
#include "ui/file_filters.h"
#include "ui/gradient_curves.h"
#include "ui/gradient_editing.h"
#include "ui/gradient_strip.h"
#include "ui/save_entry_dialog.h"

namespace zt {

namespace {

void ShowError(const std::string& text) {
  UserInterface().ShowMessage("Error", text, TMessageKind::kError);
}

bool IsGradient(const TRingEditing& editing) {
  return editing.Kind() == TEntryBrowseKind::kGradient;
}

QSpinBox* NumberBox(int low, int high) {
  auto* box = new QSpinBox;
  box->setRange(low, high);
  box->setAccelerated(true);
  return box;
}

TGradientEditor* Show(TGradientEditor* editor) {
  editor->show();
  editor->raise();
  editor->activateWindow();
  return editor;
}

TGradientEditor* EditLayerPart(QWidget* owner, std::unique_ptr<TRingEditing> editing,
                               const TLayer& layer) {
  for (TGradientEditor* open : owner->findChildren<TGradientEditor*>())
    // A new object may take the place of one whose editor is still going.
    if (!open->Orphaned() && open->Editing().Object() == editing->Object()) return Show(open);
  return Show(
      new TGradientEditor(std::move(editing), QString::fromStdString(layer.Caption()), owner));
}

}  // namespace

TGradientEditor::TGradientEditor(std::unique_ptr<TRingEditing> editing, const QString& subject,
                                 QWidget* parent)
    : QMainWindow(parent), editing_(std::move(editing)), subject_(subject) {
  setWindowFlag(Qt::Window);
  setAttribute(Qt::WA_DeleteOnClose);
  setObjectName(IsGradient(*editing_) ? QStringLiteral("GradientEditor")
                                      : QStringLiteral("AlphaChannelEditor"));
  strip_ = new TGradientStrip(*editing_);
  curves_ = new TGradientCurves(*editing_);
  connect(strip_, &TGradientStrip::Edited, this, &TGradientEditor::Refresh);
  connect(curves_, &TGradientCurves::Edited, this, &TGradientEditor::Refresh);

  auto* central = new QWidget;
  auto* layout = new QVBoxLayout(central);
  layout->addWidget(strip_);
  layout->addWidget(curves_, 1);
  layout->addWidget(BuildControls());
  setCentralWidget(central);
  BuildMenus();
  resize(560, 420);

  editing_->Listen(
      [this] {
        if (refresh_queued_) return;
        refresh_queued_ = true;
        QMetaObject::invokeMethod(
            this,
            [this] {
              refresh_queued_ = false;
              Refresh();
            },
            Qt::QueuedConnection);
      },
      [this] { ObjectDestroyed(); });
  Refresh();
}

TGradientEditor::~TGradientEditor() = default;

TGradientEditing* TGradientEditor::Gradient() const {
  return IsGradient(*editing_) ? static_cast<TGradientEditing*>(editing_.get()) : nullptr;
}

void TGradientEditor::BuildMenus() {
  const bool gradient = Gradient() != nullptr;
  QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
  file->addAction(QStringLiteral("&Open Entry..."), QKeySequence::Open, this,
                  &TGradientEditor::OpenEntry);
  file->addAction(QStringLiteral("&Save Entry..."), QKeySequence::Save, this,
                  &TGradientEditor::SaveEntry);
  if (gradient)
    file->addAction(QStringLiteral("&Import MAP Palette..."), this,
                    &TGradientEditor::ImportPalette);
  file->addSeparator();
  file->addAction(QStringLiteral("&Close"), QKeySequence::Close, this, &QWidget::close);

  QMenu* edit = menuBar()->addMenu(QStringLiteral("&Edit"));
  undo_ = edit->addAction(QStringLiteral("&Undo"), QKeySequence::Undo, this,
                          [this] { UndoRedo(false); });
  redo_ = edit->addAction(QStringLiteral("&Redo"), QKeySequence(Qt::CTRL | Qt::Key_Y), this,
                          [this] { UndoRedo(true); });
  edit->addSeparator();
  edit->addAction(QStringLiteral("&Copy Points"), QKeySequence::Copy, this, [this] {
    editing_->Copy();
    Refresh();
  });
  paste_ = edit->addAction(QStringLiteral("&Paste Points"), QKeySequence::Paste, this,
                           [this] { Run([&] { editing_->Paste(); }); });
  edit->addAction(QStringLiteral("&Delete Points"), QKeySequence::Delete, this,
                  [this] { Run([&] { editing_->DeleteSelected(); }); });
  edit->addAction(QStringLiteral("Select &All"), QKeySequence::SelectAll, this,
                  [this] { Run([&] { editing_->SelectAll(); }); });

  QMenu* ring =
      menuBar()->addMenu(gradient ? QStringLiteral("&Gradient") : QStringLiteral("&Alpha Channel"));
  ring->addAction(QStringLiteral("Re&verse"), this, [this] { Run([&] { editing_->Reverse(); }); });
  ring->addAction(QStringLiteral("&Invert"), this, [this] { Run([&] { editing_->Invert(); }); });
  ring->addSeparator();
  const QStringList styles = editing_->RandomStyles();
  for (int style = 0; style < styles.size(); ++style)
    ring->addAction(styles[style], this,
                    [this, style] { Run([&] { editing_->Randomize(style); }); });
  ring->addAction(QStringLiteral("Random &Points..."), this, &TGradientEditor::RandomPoints);
  if (gradient) {
    ring->addSeparator();
    ring->addAction(QStringLiteral("Adjust &Colors..."), this, &TGradientEditor::AdjustColors);
  }
}

QWidget* TGradientEditor::BuildControls() {
  auto* controls = new QWidget;
  auto* row = new QHBoxLayout(controls);
  row->setContentsMargins(0, 0, 0, 0);

  auto* point = new QGroupBox(QStringLiteral("Control point"));
  auto* grid = new QGridLayout(point);
  position_ = NumberBox(0, kGradientIndices - 1);
  grid->addWidget(new QLabel(QStringLiteral("Position:")), 0, 0);
  grid->addWidget(position_, 1, 0);
  connect(position_, &QSpinBox::valueChanged, this, [this](int index) {
    if (editing_->Current() >= 0) Run([&] { editing_->Move(editing_->Current(), index); });
  });
  connect(position_, &QSpinBox::editingFinished, this, [this] { editing_->EndMerge(); });
  for (int c = 0; c < editing_->ChannelCount(); ++c) {
    QSpinBox* box = NumberBox(0, 255);
    channel_labels_.push_back(new QLabel);
    channels_.push_back(box);
    grid->addWidget(channel_labels_.back(), 0, c + 1);
    grid->addWidget(box, 1, c + 1);
    connect(box, &QSpinBox::valueChanged, this, [this, c](int value) {
      if (editing_->Current() >= 0)
        Run([&] { editing_->SetChannelValue(editing_->Current(), c, value); });
    });
    connect(box, &QSpinBox::editingFinished, this, [this] { editing_->EndMerge(); });
  }
  if (Gradient()) {
    color_ = new QPushButton(QStringLiteral("C&olor..."));
    connect(color_, &QPushButton::clicked, this, &TGradientEditor::ChooseColor);
    mode_ = new QComboBox;
    mode_->addItems({QStringLiteral("RGB"), QStringLiteral("HSL")});
    connect(mode_, &QComboBox::activated, this,
            [this](int mode) { Run([&] { Gradient()->Ring().SetRGBMode(mode == 0); }); });
    grid->addWidget(mode_, 0, 4);
    grid->addWidget(color_, 1, 4);
  }
  row->addWidget(point, 1);

  auto* whole = new QGroupBox(IsGradient(*editing_) ? QStringLiteral("Gradient")
                                                    : QStringLiteral("Alpha channel"));
  auto* form = new QGridLayout(whole);
  offset_ = NumberBox(-kMaxPosition, kMaxPosition);
  form->addWidget(new QLabel(QStringLiteral("Offset:")), 0, 0);
  form->addWidget(offset_, 1, 0);
  connect(offset_, &QSpinBox::valueChanged, this,
          [this](int position) { Run([&] { editing_->SetPosition(position); }); });
  connect(offset_, &QSpinBox::editingFinished, this, [this] { editing_->EndMerge(); });
  smooth_ = new QCheckBox(QStringLiteral("&Smooth"));
  form->addWidget(smooth_, 1, 1);
  connect(smooth_, &QCheckBox::toggled, this,
          [this](bool smooth) { Run([&] { editing_->SetSmooth(smooth); }); });
  row->addWidget(whole);
  return controls;
}

void TGradientEditor::Refresh() {
  if (gone_) return;
  const int current = editing_->Current();
  const QSignalBlocker block_position(position_);
  position_->setEnabled(current >= 0);
  if (current >= 0) position_->setValue(editing_->IndexOf(current));
  for (int c = 0; c < editing_->ChannelCount(); ++c) {
    const TChannelInfo info = editing_->Channel(c);
    const QSignalBlocker block(channels_[c]);
    channel_labels_[c]->setText(info.Name + QLatin1Char(':'));
    channels_[c]->setRange(0, info.Max);
    channels_[c]->setEnabled(current >= 0);
    if (current >= 0) channels_[c]->setValue(editing_->ChannelValue(current, c));
  }
  if (color_) color_->setEnabled(current >= 0);
  if (mode_) {
    const QSignalBlocker block(mode_);
    mode_->setCurrentIndex(Gradient()->Ring().RGBMode() ? 0 : 1);
  }
  {
    const QSignalBlocker block_offset(offset_), block_smooth(smooth_);
    offset_->setValue(editing_->Position());
    smooth_->setChecked(editing_->Smooth());
  }
  undo_->setEnabled(editing_->CanUndo());
  redo_->setEnabled(editing_->CanRedo());
  paste_->setEnabled(editing_->CanPaste());
  UpdateTitle();
  strip_->update();
  curves_->update();
}

void TGradientEditor::UpdateTitle() {
  const QString kind =
      IsGradient(*editing_) ? QStringLiteral("Gradient") : QStringLiteral("Alpha Channel");
  setWindowTitle(subject_.isEmpty() ? kind : kind + QStringLiteral(" - ") + subject_);
}

void TGradientEditor::Run(const std::function<void()>& edit) {
  if (gone_) return;
  try {
    edit();
  } catch (const EZentrope& e) {
    ShowError(e.what());
  }
  Refresh();
}

void TGradientEditor::UndoRedo(bool redo) {
  // A restored state has no focused point of its own: keep the focus on the
  // point of the same place in the list.
  const int current = editing_->Current();
  Run([&] {
    redo ? editing_->Redo() : editing_->Undo();
    if (current >= 0 && current < editing_->Count()) editing_->SetCurrent(current);
  });
}

void TGradientEditor::changeEvent(QEvent* event) {
  // Changes made elsewhere while another window was active show again.
  if (event->type() == QEvent::ActivationChange && isActiveWindow()) Refresh();
  QMainWindow::changeEvent(event);
}

void TGradientEditor::OpenEntry() {
  const auto choice = TEntryBrowser::Choose(editing_->Kind(), file_, "", this);
  if (!choice) return;
  Run([&] {
    title_ = editing_->LoadEntry(choice->FileName, choice->EntryName);
    file_ = choice->FileName;
    if (editing_->OwnsObject()) subject_ = QString::fromStdString(title_);
  });
  editing_->EndMerge();
}

void TGradientEditor::SaveEntry() {
  TSaveEntryDialog dialog(
      IsGradient(*editing_) ? kSaveGradient : kSaveAlphaChannel,
      title_.empty() ? subject_.toStdString() : title_,
      [this](const std::string& file, const std::string& title) {
        return editing_->SaveEntry(file, title);
      },
      this);
  if (dialog.exec() == QDialog::Accepted) title_ = Trim(dialog.TitleEdit()->text().toStdString());
}

void TGradientEditor::ImportPalette() {
  const QString file = QFileDialog::getOpenFileName(
      this, QStringLiteral("Import MAP Palette"),
      QString::fromStdString(EntryKindFolder(TEntryBrowseKind::kGradient)),
      QtFilters("MAP palette files (*.MAP)|*.MAP").join(QStringLiteral(";;")));
  if (file.isEmpty()) return;
  Run([&] { Gradient()->ImportMAP(file.toStdString()); });
  editing_->EndMerge();
}

void TGradientEditor::ChooseColor() {
  const int current = editing_->Current();
  if (current < 0) return;
  const QColor color = QColorDialog::getColor(QColor(editing_->PointColor(current)), this,
                                              QStringLiteral("Control Point Color"));
  if (!color.isValid()) return;
  Run([&] { Gradient()->SetColor(current, color.rgb()); });
  editing_->EndMerge();
}

void TGradientEditor::AdjustColors() {
  TAdjustColorsDialog dialog(this);
  if (dialog.exec() != QDialog::Accepted) return;
  Run([&] { Gradient()->Adjust(dialog.Shift()); });
}

void TGradientEditor::RandomPoints() {
  bool ok = false;
  const int count =
      QInputDialog::getInt(this, QStringLiteral("Random Points"),
                           QStringLiteral("&Number of points:"), 8, 1, kGradientIndices, 1, &ok);
  if (ok) Run([&] { editing_->RandomizeCount(count); });
}

void TGradientEditor::ObjectDestroyed() {
  // The object is going: nothing may touch it any more.
  gone_ = true;
  centralWidget()->setEnabled(false);
  hide();
  deleteLater();
}

TGradientEditor* EditLayerGradient(QWidget* owner, TLayer& layer) {
  return EditLayerPart(owner, std::make_unique<TGradientEditing>(layer.Gradient()), layer);
}

TGradientEditor* EditLayerAlphaChannel(QWidget* owner, TLayer& layer) {
  return EditLayerPart(owner, std::make_unique<TAlphaEditing>(layer.AlphaChannel()), layer);
}

TGradientEditor* NewGradientEditor(QWidget* owner) {
  return new TGradientEditor(std::make_unique<TGradientEditing>(), {}, owner);
}

TGradientEditor* NewAlphaChannelEditor(QWidget* owner) {
  return new TGradientEditor(std::make_unique<TAlphaEditing>(), {}, owner);
}

bool OpenInColorEditor(QWidget* owner, const std::string& file) {
  if (EndsWithText(file, ".map")) {
    auto editing = std::make_unique<TGradientEditing>();
    try {
      editing->ImportMAP(file);
    } catch (const EZentrope& e) {
      ShowError(e.what());
      return true;
    }
    editing->ResetHistory();
    Show(new TGradientEditor(std::move(editing),
                             QString::fromStdString(std::filesystem::path(file).stem().string()),
                             owner));
    return true;
  }
  std::unique_ptr<TRingEditing> editing;
  if (EndsWithText(file, ".zgr")) editing = std::make_unique<TGradientEditing>();
  if (EndsWithText(file, ".zal")) editing = std::make_unique<TAlphaEditing>();
  if (!editing) return false;
  std::string chosen = file, entry;
  if (!UserInterface().BrowseEntry(editing->Kind(), chosen, entry)) return true;
  std::string title;
  try {
    title = editing->LoadEntry(chosen, entry);
  } catch (const EZentrope& e) {
    ShowError(e.what());
    return true;
  }
  // The loaded entry is where the history starts.
  editing->ResetHistory();
  Show(new TGradientEditor(std::move(editing), QString::fromStdString(title), owner));
  return true;
}

}  // namespace zt
