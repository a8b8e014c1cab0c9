// The main window: document area, docks, status bar, title, drops, closing and
// the layout kept between runs.
#include "ui/main_window.h"

#include <QCloseEvent>
#include <QDockWidget>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMimeData>
#include <QScreen>
#include <QStatusBar>
#include <QToolBar>
#include <filesystem>

#include "document/fractal.h"
#include "document/fractal_params.h"
#include "document/settings/config_manager.h"
#include "platform/user_interface.h"
#include "ui/application_title.h"
#include "ui/file_commands.h"
#include "ui/file_opener.h"
#include "ui/formula_editor.h"
#include "ui/fractal_properties_tool.h"
#include "ui/fractal_window.h"
#include "ui/layer_properties_tool.h"
#include "ui/layers_tool.h"
#include "ui/main_menus.h"
#include "ui/ready_sound.h"

namespace zt {
namespace {

constexpr const char* kWindow = "MainWindow";

TFractalWindow* DocumentOf(QMdiSubWindow* sub) {
  return sub != nullptr ? qobject_cast<TFractalWindow*>(sub->widget()) : nullptr;
}

bool SameFile(const std::string& a, const std::string& b) {
  std::error_code error;
  return a == b || std::filesystem::equivalent(a, b, error);
}

}  // namespace

TMainWindow::TMainWindow(QWidget* parent) : QMainWindow(parent) {
  setObjectName(QStringLiteral("MainWindow"));
  setWindowTitle(QStringLiteral("Zentrope"));
  setAcceptDrops(true);
  area_ = new QMdiArea(this);
  area_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  area_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  area_->setTabsClosable(true);
  area_->setTabsMovable(true);
  setCentralWidget(area_);
  connect(area_, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* sub) {
    // Null when the program loses the focus: the current document stays.
    if (TFractalWindow* document = DocumentOf(sub)) SetActive(document);
  });

  layers_tool_ = new TLayersTool(this);
  layer_tool_ = new TLayerPropertiesTool(this);
  fractal_tool_ = new TFractalPropertiesTool(this);
  QDockWidget* layers_dock =
      AddDock(layers_tool_, QStringLiteral("Layers"), "LayersDock", Qt::RightDockWidgetArea);
  QDockWidget* layer_dock = AddDock(layer_tool_, QStringLiteral("Layer Properties"),
                                    "LayerPropertiesDock", Qt::RightDockWidgetArea);
  QDockWidget* fractal_dock = AddDock(fractal_tool_, QStringLiteral("Fractal Properties"),
                                      "FractalPropertiesDock", Qt::RightDockWidgetArea);
  tabifyDockWidget(layer_dock, fractal_dock);
  layer_dock->raise();
  // The property tools hold more than the layer list.
  resizeDocks({layers_dock, layer_dock}, {180, 520}, Qt::Vertical);
  // An edit in a tool changes what the menus offer (undo, layer moves).
  connect(layers_tool_, &TLayersTool::EditMade, this, &TMainWindow::ActiveDocumentChanged);
  connect(layer_tool_, &TLayerPropertiesTool::EditMade, this, &TMainWindow::ActiveDocumentChanged);
  connect(fractal_tool_, &TFractalPropertiesTool::EditMade, this,
          &TMainWindow::ActiveDocumentChanged);
  menus_ = new TMainMenus(*this);
  status_label_ = new QLabel(this);
  statusBar()->addWidget(status_label_, 1);
  connect(this, &TMainWindow::ActiveDocumentChanged, menus_, &TMainMenus::Update);
  connect(this, &TMainWindow::ActiveDocumentChanged, this, &TMainWindow::UpdateStatus);
  resize(1024, 720);
}

TMainWindow::~TMainWindow() {
  // The tools must let go of the documents before the document windows go, and
  // the windows' last signals must find nothing to update.
  // Closed windows are still children until their deferred deletion: all go.
  disconnect(area_, nullptr, this, nullptr);
  for (QMdiSubWindow* sub : area_->findChildren<QMdiSubWindow*>()) sub->removeEventFilter(this);
  for (TFractalWindow* document : area_->findChildren<TFractalWindow*>())
    disconnect(document, nullptr, this, nullptr);
  active_ = nullptr;
  ShowInTools(nullptr);
}

void TMainWindow::ShowInTools(TFractalWindow* document) {
  TFractal* fractal = document != nullptr ? &document->Fractal() : nullptr;
  layers_tool_->SetFractal(fractal);
  layer_tool_->SetFractal(fractal);
  fractal_tool_->SetFractal(fractal);
}

QDockWidget* TMainWindow::AddDock(QWidget* tool, const QString& title, const char* name,
                                  Qt::DockWidgetArea area) {
  auto* dock = new QDockWidget(title, this);
  dock->setObjectName(QString::fromUtf8(name));
  dock->setWidget(tool);
  dock->setFeatures(QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetMovable |
                    QDockWidget::DockWidgetFloatable);
  addDockWidget(area, dock);
  return dock;
}

void TMainWindow::Forget(TFractalWindow* document) {
  if (document != active_) return;
  // The window activated last before it takes over, as the document area will
  // activate it.
  TFractalWindow* next = nullptr;
  for (QMdiSubWindow* sub : area_->subWindowList(QMdiArea::ActivationHistoryOrder)) {
    TFractalWindow* other = DocumentOf(sub);
    if (other != nullptr && other != document) next = other;
  }
  SetActive(next);
}

TFractalWindow* TMainWindow::AddDocument(std::unique_ptr<TFractal> fractal) {
  fractal->SetThreadCount(ConfigManager().ThreadNumber);
  auto* document = new TFractalWindow(std::move(fractal));
  QMdiSubWindow* sub = area_->addSubWindow(document);
  sub->setAttribute(Qt::WA_DeleteOnClose);
  sub->installEventFilter(this);
  const auto changed = [this, document] {
    if (document == active_) emit ActiveDocumentChanged();
  };
  connect(document, &TFractalWindow::DocumentChanged, this, changed);
  connect(document, &TFractalWindow::ProgressChanged, this, [this, document] {
    if (document != active_) return;
    UpdateTitle();
    UpdateStatus();
    menus_->Update();
  });
  connect(document, &TFractalWindow::CalculationFinished, this, changed);
  connect(document, &TFractalWindow::CalculationFinished, this,
          [] { PlayReadySound(ConfigManager()); });
  connect(document, &QObject::destroyed, this, [this, document] { Forget(document); });
  // As large as the image wants, within the document area; sized before it
  // shows, so that the view lays out once at that size.
  sub->resize(sub->sizeHint().boundedTo(area_->viewport()->size()));
  document->show();
  area_->setActiveSubWindow(sub);
  SetActive(document);
  return document;
}

QList<TFractalWindow*> TMainWindow::Documents() const {
  QList<TFractalWindow*> documents;
  for (QMdiSubWindow* sub : area_->subWindowList(QMdiArea::CreationOrder))
    if (TFractalWindow* document = DocumentOf(sub)) documents << document;
  return documents;
}

TFractalWindow* TMainWindow::ActiveDocument() const { return active_; }

TFractalWindow* TMainWindow::FindDocument(const std::string& file_name) const {
  for (TFractalWindow* document : Documents()) {
    const std::string& own = document->Fractal().FileName();
    if (!own.empty() && SameFile(own, file_name)) return document;
  }
  return nullptr;
}

void TMainWindow::BringToFront(TFractalWindow* document) {
  for (QMdiSubWindow* sub : area_->subWindowList()) {
    if (DocumentOf(sub) != document) continue;
    if (sub->isMinimized()) sub->showNormal();
    area_->setActiveSubWindow(sub);
  }
  if (isMinimized()) showNormal();
  raise();
  activateWindow();
}

void TMainWindow::OpenFiles(const std::vector<std::string>& files) {
  for (const std::string& file : files) {
    if (OpenFileByExtension(*this, file))
      recent_.Add(file);
    else if (!std::filesystem::exists(file))
      recent_.Remove(file);
  }
}

void TMainWindow::RunStartup(const std::vector<std::string>& files) {
  if (!files.empty()) {
    OpenFiles(files);
    return;
  }
  const TConfigManager& config = ConfigManager();
  std::string file, entry;
  switch (config.StartupFractalOptions) {
    case 1: {
      if (!UserInterface().BrowseEntry(TEntryBrowseKind::kFormula, file, entry)) return;
      std::unique_ptr<TFractal> fractal = NewDocument(NextDocumentTitle());
      try {
        fractal->CurrentLayer().Formula().SetEntry(file, entry);
      } catch (const EZentrope& e) {
        UserInterface().ShowMessage("Error", e.what(), TMessageKind::kError);
        return;
      }
      fractal->CurrentLayer().ResetLocation();
      StartHistory(*fractal);
      AddDocument(std::move(fractal));
      return;
    }
    case 2:
      if (!UserInterface().BrowseEntry(TEntryBrowseKind::kParameters, file, entry)) return;
      break;
    case 3:
      file = config.DefaultParamFile;
      entry = config.DefaultParamEntry;
      if (file.empty()) return;
      break;
    default: return;
  }
  auto fractal = std::make_unique<TFractal>(entry);
  try {
    LoadParameterFile(*fractal, file, entry);
  } catch (const EZentrope& e) {
    UserInterface().ShowMessage("Error", e.what(), TMessageKind::kError);
    return;
  }
  StartHistory(*fractal);
  AddDocument(std::move(fractal));
}

std::string TMainWindow::NextDocumentTitle() {
  return "Fractal" + std::to_string(++document_count_);
}

void TMainWindow::SetTabbed(bool tabbed) {
  area_->setViewMode(tabbed ? QMdiArea::TabbedView : QMdiArea::SubWindowView);
  menus_->Update();
}

bool TMainWindow::Tabbed() const { return area_->viewMode() == QMdiArea::TabbedView; }

void TMainWindow::SaveLayout() {
  TConfigManager& config = ConfigManager();
  TWindowPosition position{kWindow, true};
  position.Left = pos().x();
  position.Top = pos().y();
  position.Width = width();
  position.Height = height();
  position.State = isMinimized()   ? TWindowState::kMinimized
                   : isMaximized() ? TWindowState::kMaximized
                                   : TWindowState::kNormal;
  if (position.State != TWindowState::kNormal) {
    // The frame the window returns to.
    position.Left = normalGeometry().x();
    position.Top = normalGeometry().y();
    position.Width = normalGeometry().width();
    position.Height = normalGeometry().height();
  }
  config.WriteWindowValue(kWindow, "DockLayout", saveState().toBase64().toStdString());
  config.WriteWindowValue(kWindow, "Tabbed", Tabbed());
  recent_.Save(config);
  config.SaveWindowPosition(position);
}

void TMainWindow::RestoreLayout() {
  const TConfigManager& config = ConfigManager();
  const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
  TWindowPosition position{kWindow, true};
  if (config.LoadWindowPosition(position, screen.width(), screen.height())) {
    if (position.State == TWindowState::kMaximized) {
      setWindowState(Qt::WindowMaximized);
    } else if (position.Width > 0 && position.Height > 0) {
      move(position.Left, position.Top);
      resize(position.Width, position.Height);
    }
  }
  restoreState(QByteArray::fromBase64(
      QByteArray::fromStdString(config.ReadWindowValue(kWindow, "DockLayout", ""))));
  SetTabbed(config.ReadWindowValue(kWindow, "Tabbed", false));
  menus_->ToolBar()->setVisible(config.ShowToolbar);
  statusBar()->setVisible(config.ShowStatusBar);
  recent_.Load(config);
  menus_->Update();
}

void TMainWindow::closeEvent(QCloseEvent* event) {
  // The editors ask about their unsaved text first.
  for (TFormulaEditor* editor : findChildren<TFormulaEditor*>(Qt::FindDirectChildrenOnly)) {
    if (!editor->close()) {
      event->ignore();
      return;
    }
  }
  area_->closeAllSubWindows();
  if (!area_->subWindowList().isEmpty()) {
    event->ignore();
    return;
  }
  event->accept();
}

void TMainWindow::changeEvent(QEvent* event) {
  QMainWindow::changeEvent(event);
  if (event->type() == QEvent::WindowStateChange) UpdateTitle();
}

void TMainWindow::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void TMainWindow::dropEvent(QDropEvent* event) {
  std::vector<std::string> files;
  for (const QUrl& url : event->mimeData()->urls())
    if (url.isLocalFile()) files.push_back(url.toLocalFile().toStdString());
  if (files.empty()) return;
  event->acceptProposedAction();
  OpenFiles(files);
}

bool TMainWindow::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::Close) {
    TFractalWindow* document = DocumentOf(qobject_cast<QMdiSubWindow*>(watched));
    if (document != nullptr && !ConfirmClose(*document)) {
      event->ignore();
      return true;
    }
    // The window goes: nothing may hold its document any more.
    Forget(document);
  }
  return QMainWindow::eventFilter(watched, event);
}

bool TMainWindow::ConfirmClose(TFractalWindow& document) {
  TFractal& fractal = document.Fractal();
  if (!fractal.Modified() || ConfigManager().NoSaveConfirmation) return true;
  BringToFront(&document);
  const TAnswer answer =
      UserInterface().Ask("Confirm", "Save changes to '" + fractal.Title() + "'?",
                          TButtons::kYesNoCancel, TAnswer::kYes);
  if (answer == TAnswer::kCancel) return false;
  return answer == TAnswer::kNo || SaveDocument(fractal, this);
}

void TMainWindow::SetActive(TFractalWindow* document) {
  if (document == active_) return;
  active_ = document;
  ShowInTools(document);
  ApplyPriorities();
  UpdateTitle();
  emit ActiveDocumentChanged();
}

void TMainWindow::UpdateTitle() {
  const TActiveWindowKind kind =
      active_ != nullptr ? TActiveWindowKind::kFractal : TActiveWindowKind::kOther;
  const QString progress = active_ != nullptr ? active_->ProgressText() : QString();
  const QString title = ApplicationTitle(isMinimized(), kind, progress);
  setWindowTitle(title);
}

void TMainWindow::UpdateStatus() {
  if (active_ == nullptr) {
    status_label_->setText(QString());
    return;
  }
  TFractal& fractal = active_->Fractal();
  status_label_->setText(QStringLiteral("%1    %2 x %3    %4")
                             .arg(QString::fromStdString(fractal.Title()))
                             .arg(fractal.Width())
                             .arg(fractal.Height())
                             .arg(active_->ProgressText()));
}

void TMainWindow::ApplyPriorities() {
  const TConfigManager& config = ConfigManager();
  for (TFractalWindow* document : Documents())
    document->Fractal().SetPriority(document == active_ ? config.ThreadForePriority
                                                        : config.ThreadBackPriority);
}

}  // namespace zt
