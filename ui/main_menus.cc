// The main window's actions and what each one does.
#include "ui/main_menus.h"

#include <QAction>
#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>

#include "document/fractal.h"
#include "document/settings/config_manager.h"
#include "platform/user_interface.h"
#include "ui/file_commands.h"
#include "ui/file_opener.h"
#include "ui/fractal_window.h"
#include "ui/gradient_editor.h"
#include "ui/help_pages.h"
#include "ui/main_window.h"
#include "ui/qt_user_interface.h"
#include "ui/render_commands.h"

namespace zt {
namespace {

constexpr const char* kPartNames[kDocumentPartCount] = {
    "&Fractal",          "&Layer",    "L&ocation",
    "&Transformation",   "Fo&rmula",  "&Inside coloring",
    "O&utside coloring", "&Gradient", "&Alpha channel"};

void ShowError(const std::string& text) {
  UserInterface().ShowMessage("Error", text, TMessageKind::kError);
}

// A caption "Layer n" that no layer of the document has yet.
std::string NewLayerCaption(TFractal& fractal) {
  for (int n = fractal.Layers().Count() + 1;; ++n) {
    const std::string caption = "Layer " + std::to_string(n);
    bool taken = false;
    for (int i = 0; i < fractal.Layers().Count(); ++i)
      taken = taken || fractal.Layers()[i].Caption() == caption;
    if (!taken) return caption;
  }
}

// Runs `edit` as one undo step of the document.
template <class TEdit>
void OneStep(TFractal& fractal, TEdit edit) {
  fractal.BeginUpdate();
  try {
    edit();
  } catch (...) {
    fractal.EndUpdate();
    throw;
  }
  fractal.EndUpdate();
}

}  // namespace

TMainMenus::TMainMenus(TMainWindow& window) : QObject(&window), window_(window) {
  tool_bar_ = window.addToolBar(QStringLiteral("Tools"));
  tool_bar_->setObjectName(QStringLiteral("MainToolBar"));
  BuildFileMenu();
  BuildEditMenu();
  BuildViewMenu();
  BuildLayerMenu();
  BuildCalculationMenu();
  BuildWindowMenu();
  BuildHelpMenu();

  const QStyle* style = window.style();
  const std::pair<TCommand, QStyle::StandardPixmap> tools[] = {
      {TCommand::kNew, QStyle::SP_FileIcon},
      {TCommand::kOpen, QStyle::SP_DialogOpenButton},
      {TCommand::kSave, QStyle::SP_DialogSaveButton},
      {TCommand::kUndo, QStyle::SP_ArrowBack},
      {TCommand::kRedo, QStyle::SP_ArrowForward},
      {TCommand::kStop, QStyle::SP_BrowserStop},
      {TCommand::kResume, QStyle::SP_MediaPlay},
      {TCommand::kRecalculate, QStyle::SP_BrowserReload},
  };
  for (const auto& [command, pixmap] : tools) {
    Action(command)->setIcon(style->standardIcon(pixmap));
    tool_bar_->addAction(Action(command));
    if (command == TCommand::kSave || command == TCommand::kRedo) tool_bar_->addSeparator();
  }
  tool_bar_->addSeparator();
  tool_bar_->addAction(Action(TCommand::kActualSize));
  tool_bar_->addAction(Action(TCommand::kZoomToFit));
  Update();
}

QAction* TMainMenus::Add(TCommand command, const QString& text, QMenu* menu,
                         void (TMainMenus::*run)()) {
  auto* action = new QAction(text, this);
  connect(action, &QAction::triggered, this, run);
  menu->addAction(action);
  actions_[static_cast<int>(command)] = action;
  return action;
}

void TMainMenus::BuildFileMenu() {
  QMenu* menu = window_.menuBar()->addMenu(QStringLiteral("&File"));
  Add(TCommand::kNew, QStringLiteral("&New"), menu, &TMainMenus::New)
      ->setShortcut(QKeySequence::New);
  Add(TCommand::kOpen, QStringLiteral("&Open..."), menu, &TMainMenus::Open)
      ->setShortcut(QKeySequence::Open);
  recent_menu_ = menu->addMenu(QStringLiteral("Open &Recent"));
  connect(recent_menu_, &QMenu::aboutToShow, this, &TMainMenus::FillRecentMenu);
  menu->addSeparator();
  Add(TCommand::kSave, QStringLiteral("&Save"), menu, &TMainMenus::Save)
      ->setShortcut(QKeySequence::Save);
  Add(TCommand::kSaveAs, QStringLiteral("Save &As..."), menu, &TMainMenus::SaveAs)
      ->setShortcut(QKeySequence::SaveAs);
  Add(TCommand::kSaveCopy, QStringLiteral("Save Cop&y..."), menu, &TMainMenus::SaveCopy);
  Add(TCommand::kSaveParameters, QStringLiteral("Save &Parameters..."), menu,
      &TMainMenus::SaveParameters);
  Add(TCommand::kExport, QStringLiteral("&Export Image..."), menu, &TMainMenus::Export)
      ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_E));
  AddRenderCommands(window_, menu);
  menu->addSeparator();
  Add(TCommand::kClose, QStringLiteral("&Close"), menu, &TMainMenus::Close)
      ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_W));
  Add(TCommand::kExit, QStringLiteral("E&xit"), menu, &TMainMenus::Exit)
      ->setShortcut(QKeySequence::Quit);
}

void TMainMenus::BuildEditMenu() {
  QMenu* menu = window_.menuBar()->addMenu(QStringLiteral("&Edit"));
  Add(TCommand::kUndo, QStringLiteral("&Undo"), menu, &TMainMenus::Undo)
      ->setShortcut(QKeySequence::Undo);
  Add(TCommand::kRedo, QStringLiteral("&Redo"), menu, &TMainMenus::Redo)
      ->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence::Redo});
  menu->addSeparator();
  QMenu* copy = menu->addMenu(QStringLiteral("&Copy"));
  QMenu* paste = menu->addMenu(QStringLiteral("&Paste"));
  for (int i = 0; i < kDocumentPartCount; ++i) {
    const auto part = static_cast<TDocumentPart>(i);
    copy_[i] =
        copy->addAction(QString::fromUtf8(kPartNames[i]), this, [this, part] { Copy(part); });
    paste_[i] =
        paste->addAction(QString::fromUtf8(kPartNames[i]), this, [this, part] { Paste(part); });
  }
  CopyAction(TDocumentPart::kFractal)->setShortcut(QKeySequence::Copy);
  PasteAction(TDocumentPart::kFractal)->setShortcut(QKeySequence::Paste);
}

void TMainMenus::BuildViewMenu() {
  QMenu* menu = window_.menuBar()->addMenu(QStringLiteral("&View"));
  Add(TCommand::kActualSize, QStringLiteral("&Actual Size"), menu, &TMainMenus::ActualSize)
      ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_1));
  Add(TCommand::kZoomToFit, QStringLiteral("&Zoom to Fit"), menu, &TMainMenus::ZoomToFit)
      ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_0));
  menu->addSeparator();
  Add(TCommand::kTabbed, QStringLiteral("&Tabbed Documents"), menu, &TMainMenus::Tabbed);
  Add(TCommand::kToolbar, QStringLiteral("Tool &Bar"), menu, &TMainMenus::ShowToolbar);
  Add(TCommand::kStatusBar, QStringLiteral("&Status Bar"), menu, &TMainMenus::ShowStatusBar);
  menu->addSeparator();
  AddOptionsCommand(window_, menu);
  for (TCommand command :
       {TCommand::kZoomToFit, TCommand::kTabbed, TCommand::kToolbar, TCommand::kStatusBar})
    Action(command)->setCheckable(true);
}

void TMainMenus::BuildLayerMenu() {
  QMenu* menu = window_.menuBar()->addMenu(QStringLiteral("&Layer"));
  Add(TCommand::kLayerAdd, QStringLiteral("&Add Layer"), menu, &TMainMenus::LayerAdd);
  Add(TCommand::kLayerDuplicate, QStringLiteral("D&uplicate Layer"), menu,
      &TMainMenus::LayerDuplicate);
  Add(TCommand::kLayerDelete, QStringLiteral("&Delete Layer"), menu, &TMainMenus::LayerDelete);
  menu->addSeparator();
  Add(TCommand::kLayerUp, QStringLiteral("Move &Up"), menu, &TMainMenus::LayerUp);
  Add(TCommand::kLayerDown, QStringLiteral("Move D&own"), menu, &TMainMenus::LayerDown);
  Add(TCommand::kLayerVisible, QStringLiteral("&Visible"), menu, &TMainMenus::LayerVisible)
      ->setCheckable(true);
  menu->addSeparator();
  menu->addAction(QStringLiteral("Edit &Gradient..."), this, [this] {
    if (TFractalWindow* document = window_.ActiveDocument())
      EditLayerGradient(&window_, document->Fractal().CurrentLayer());
  });
  menu->addAction(QStringLiteral("Edit Alpha &Channel..."), this, [this] {
    if (TFractalWindow* document = window_.ActiveDocument())
      EditLayerAlphaChannel(&window_, document->Fractal().CurrentLayer());
  });
}

void TMainMenus::BuildCalculationMenu() {
  QMenu* menu = window_.menuBar()->addMenu(QStringLiteral("&Calculation"));
  Add(TCommand::kStop, QStringLiteral("&Stop"), menu, &TMainMenus::Stop)
      ->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F5));
  Add(TCommand::kResume, QStringLiteral("Re&sume"), menu, &TMainMenus::Resume)
      ->setShortcut(QKeySequence(Qt::Key_F6));
  Add(TCommand::kRecalculate, QStringLiteral("&Recalculate"), menu, &TMainMenus::Recalculate)
      ->setShortcut(QKeySequence::Refresh);
}

void TMainMenus::BuildWindowMenu() {
  window_menu_ = window_.menuBar()->addMenu(QStringLiteral("&Window"));
  connect(window_menu_, &QMenu::aboutToShow, this, &TMainMenus::FillWindowMenu);
  FillWindowMenu();
}

void TMainMenus::BuildHelpMenu() {
  QMenu* menu = window_.menuBar()->addMenu(QStringLiteral("&Help"));
  Add(TCommand::kUserGuide, QStringLiteral("&User Guide"), menu, &TMainMenus::UserGuide)
      ->setShortcut(QKeySequence::HelpContents);
  Add(TCommand::kFormulaLanguage, QStringLiteral("&Formula Language"), menu,
      &TMainMenus::FormulaLanguage);
  menu->addSeparator();
  Add(TCommand::kAbout, QStringLiteral("&About Zentrope"), menu, &TMainMenus::About);
}

void TMainMenus::FillRecentMenu() {
  recent_menu_->clear();
  for (const std::string& file : window_.RecentFiles().Files())
    recent_menu_->addAction(QString::fromStdString(file), this,
                            [this, file] { window_.OpenFiles({file}); });
  recent_menu_->setEnabled(!window_.RecentFiles().Files().empty());
}

void TMainMenus::FillWindowMenu() {
  // The command actions stay; only the window list is built afresh.
  window_menu_->clear();
  const auto add = [this](TCommand command, const QString& text, void (TMainMenus::*run)()) {
    if (Action(command) == nullptr) return Add(command, text, window_menu_, run);
    window_menu_->addAction(Action(command));
    return Action(command);
  };
  add(TCommand::kCascade, QStringLiteral("&Cascade"), &TMainMenus::Cascade);
  add(TCommand::kTile, QStringLiteral("&Tile"), &TMainMenus::Tile);
  add(TCommand::kNext, QStringLiteral("&Next"), &TMainMenus::Next)
      ->setShortcut(QKeySequence::NextChild);
  const QList<TFractalWindow*> documents = window_.Documents();
  if (!documents.isEmpty()) window_menu_->addSeparator();
  for (int i = 0; i < documents.size(); ++i) {
    TFractalWindow* document = documents[i];
    QAction* action =
        window_menu_->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(
                                    QString::fromStdString(document->Fractal().Title())),
                                this, [this, document] { window_.BringToFront(document); });
    action->setCheckable(true);
    action->setChecked(document == window_.ActiveDocument());
  }
}

void TMainMenus::Update() {
  TFractalWindow* document = window_.ActiveDocument();
  const bool open = document != nullptr;
  for (TCommand command :
       {TCommand::kSave, TCommand::kSaveAs, TCommand::kSaveCopy, TCommand::kSaveParameters,
        TCommand::kExport, TCommand::kClose, TCommand::kActualSize, TCommand::kZoomToFit,
        TCommand::kLayerAdd, TCommand::kLayerDuplicate, TCommand::kLayerVisible,
        TCommand::kRecalculate, TCommand::kCascade, TCommand::kTile, TCommand::kNext})
    Action(command)->setEnabled(open);
  for (int i = 1; i < kDocumentPartCount; ++i) paste_[i]->setEnabled(open);
  for (QAction* action : copy_) action->setEnabled(open);
  Action(TCommand::kTabbed)->setChecked(window_.Tabbed());
  Action(TCommand::kToolbar)->setChecked(ConfigManager().ShowToolbar);
  Action(TCommand::kStatusBar)->setChecked(ConfigManager().ShowStatusBar);
  if (!open) {
    for (TCommand command :
         {TCommand::kUndo, TCommand::kRedo, TCommand::kLayerDelete, TCommand::kLayerUp,
          TCommand::kLayerDown, TCommand::kStop, TCommand::kResume})
      Action(command)->setEnabled(false);
    return;
  }
  TFractal& fractal = document->Fractal();
  const int count = fractal.Layers().Count();
  const int current = fractal.CurrentIndex();
  Action(TCommand::kUndo)->setEnabled(fractal.History().CanUndo());
  Action(TCommand::kRedo)->setEnabled(fractal.History().CanRedo());
  Action(TCommand::kZoomToFit)->setChecked(document->ZoomToFit());
  Action(TCommand::kLayerDelete)->setEnabled(count > 1);
  Action(TCommand::kLayerUp)->setEnabled(current > 0);
  Action(TCommand::kLayerDown)->setEnabled(current < count - 1);
  Action(TCommand::kLayerVisible)->setChecked(fractal.CurrentLayer().Visible());
  Action(TCommand::kStop)->setEnabled(!document->IsCalculated());
  Action(TCommand::kResume)->setEnabled(fractal.IsPartlyCalculated());
  CopyAction(TDocumentPart::kTransformation)
      ->setEnabled(fractal.CurrentLayer().Mapping().Transforms().Count() > 0);
}

void TMainMenus::New() { window_.AddDocument(NewDocument(window_.NextDocumentTitle())); }

void TMainMenus::Open() { OpenWithDialog(window_); }

void TMainMenus::Save() {
  if (TFractalWindow* document = window_.ActiveDocument())
    SaveDocument(document->Fractal(), &window_);
}

void TMainMenus::SaveAs() {
  if (TFractalWindow* document = window_.ActiveDocument())
    SaveDocumentAs(document->Fractal(), &window_);
}

void TMainMenus::SaveCopy() {
  if (TFractalWindow* document = window_.ActiveDocument())
    SaveDocumentCopy(document->Fractal(), &window_);
}

void TMainMenus::SaveParameters() {
  if (TFractalWindow* document = window_.ActiveDocument())
    SaveParametersWithDialog(document->Fractal(), &window_);
}

void TMainMenus::Export() {
  if (TFractalWindow* document = window_.ActiveDocument())
    ExportWithDialog(document->Fractal(), &window_);
}

void TMainMenus::Close() {
  if (QMdiSubWindow* sub = window_.DocumentArea().currentSubWindow()) sub->close();
}

void TMainMenus::Exit() { window_.close(); }

void TMainMenus::Undo() {
  if (TFractalWindow* document = window_.ActiveDocument()) document->Fractal().Undo();
  Update();
}

void TMainMenus::Redo() {
  if (TFractalWindow* document = window_.ActiveDocument()) document->Fractal().Redo();
  Update();
}

void TMainMenus::ActualSize() {
  if (TFractalWindow* document = window_.ActiveDocument()) document->ShowActualSize();
  Update();
}

void TMainMenus::ZoomToFit() {
  if (TFractalWindow* document = window_.ActiveDocument())
    document->SetZoomToFit(Action(TCommand::kZoomToFit)->isChecked());
  Update();
}

void TMainMenus::Tabbed() { window_.SetTabbed(Action(TCommand::kTabbed)->isChecked()); }

void TMainMenus::ShowToolbar() {
  ConfigManager().ShowToolbar = Action(TCommand::kToolbar)->isChecked();
  tool_bar_->setVisible(ConfigManager().ShowToolbar);
}

void TMainMenus::ShowStatusBar() {
  ConfigManager().ShowStatusBar = Action(TCommand::kStatusBar)->isChecked();
  window_.statusBar()->setVisible(ConfigManager().ShowStatusBar);
}

void TMainMenus::LayerAdd() {
  if (TFractalWindow* document = window_.ActiveDocument()) {
    TFractal& fractal = document->Fractal();
    OneStep(fractal, [&] { fractal.AddLayer(NewLayerCaption(fractal)); });
  }
  Update();
}

void TMainMenus::LayerDuplicate() {
  if (TFractalWindow* document = window_.ActiveDocument()) {
    TFractal& fractal = document->Fractal();
    OneStep(fractal, [&] { fractal.AddLayer(fractal.CurrentLayer().Caption() + " copy"); });
  }
  Update();
}

void TMainMenus::LayerDelete() {
  if (TFractalWindow* document = window_.ActiveDocument()) {
    TFractal& fractal = document->Fractal();
    OneStep(fractal, [&] { fractal.DeleteLayer(fractal.CurrentIndex()); });
  }
  Update();
}

void TMainMenus::MoveLayer(int step) {
  TFractalWindow* document = window_.ActiveDocument();
  if (document == nullptr) return;
  TFractal& fractal = document->Fractal();
  const int from = fractal.CurrentIndex();
  const int to = from + step;
  if (to < 0 || to >= fractal.Layers().Count()) return;
  OneStep(fractal, [&] {
    fractal.MoveLayer(from, to);
    fractal.SetCurrentLayer(to);
  });
  Update();
}

void TMainMenus::LayerUp() { MoveLayer(-1); }

void TMainMenus::LayerDown() { MoveLayer(1); }

void TMainMenus::LayerVisible() {
  if (TFractalWindow* document = window_.ActiveDocument()) {
    TFractal& fractal = document->Fractal();
    OneStep(fractal, [&] { fractal.CurrentLayer().SetVisible(!fractal.CurrentLayer().Visible()); });
  }
  Update();
}

void TMainMenus::Stop() {
  if (TFractalWindow* document = window_.ActiveDocument()) document->StopCalculation();
  Update();
}

void TMainMenus::Resume() {
  if (TFractalWindow* document = window_.ActiveDocument()) document->ResumeCalculation();
  Update();
}

void TMainMenus::Recalculate() {
  if (TFractalWindow* document = window_.ActiveDocument()) document->Recalculate();
  Update();
}

void TMainMenus::Cascade() { window_.DocumentArea().cascadeSubWindows(); }

void TMainMenus::Tile() { window_.DocumentArea().tileSubWindows(); }

void TMainMenus::Next() { window_.DocumentArea().activateNextSubWindow(); }

void TMainMenus::UserGuide() { OpenHelpPage(kUserGuidePage); }

void TMainMenus::FormulaLanguage() { OpenHelpPage(kFormulaLanguagePage); }

void TMainMenus::About() {
  UserInterface().ShowMessage(
      "About Zentrope",
      "Zentrope\rVersion 2.0\r\rA fractal image generator: images of layers, each calculated "
      "by a formula in the program's own formula language and colored through a gradient.",
      TMessageKind::kInformation);
}

void TMainMenus::Copy(TDocumentPart part) {
  TFractalWindow* document = window_.ActiveDocument();
  if (document == nullptr) return;
  const std::string text = CopyPart(document->Fractal(), part);
  if (!text.empty()) SetClipboardText(text);
}

void TMainMenus::Paste(TDocumentPart part) {
  const std::string text = ClipboardText();
  try {
    if (part == TDocumentPart::kFractal) {
      auto fractal = std::make_unique<TFractal>(window_.NextDocumentTitle());
      if (!PastePart(*fractal, part, text)) {
        ShowError(ClipboardErrorMessage(ClipboardKindOf(part)));
        return;
      }
      StartHistory(*fractal);
      window_.AddDocument(std::move(fractal));
    } else if (TFractalWindow* document = window_.ActiveDocument()) {
      if (!PastePart(document->Fractal(), part, text))
        ShowError(ClipboardErrorMessage(ClipboardKindOf(part)));
    }
  } catch (const EZentrope& e) {
    ShowError(e.what());
  }
  Update();
}

}  // namespace zt
