// The render and options commands (see render_commands.h).
#include "ui/render_commands.h"

#include <QAction>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QStatusBar>
#include <QToolBar>
#include <filesystem>

#include "document/disk/disk_render.h"
#include "document/disk/render_checks.h"
#include "document/disk/render_document.h"
#include "document/settings/config_manager.h"
#include "ui/batch_render_dialog.h"
#include "ui/file_commands.h"
#include "ui/fractal_window.h"
#include "ui/main_menus.h"
#include "ui/main_window.h"
#include "ui/options_dialog.h"
#include "ui/render_form.h"
#include "ui/render_to_disk_dialog.h"

namespace zt {

void AddRenderCommands(TMainWindow& window, QMenu* menu) {
  QAction* render = menu->addAction(QStringLiteral("Render to &Disk..."), &window, [&window] {
    if (TFractalWindow* active = window.ActiveDocument())
      TRenderToDiskDialog(active->Fractal(), ConfigManager(), &window).exec();
  });
  render->setEnabled(window.ActiveDocument() != nullptr);
  QObject::connect(&window, &TMainWindow::ActiveDocumentChanged, render,
                   [&window, render] { render->setEnabled(window.ActiveDocument() != nullptr); });
  menu->addAction(QStringLiteral("New &Batch Render..."), &window,
                  [&window] { TBatchRenderDialog(ConfigManager(), &window).exec(); });
}

void AddOptionsCommand(TMainWindow& window, QMenu* menu) {
  menu->addAction(QStringLiteral("&Options..."), &window, [&window] {
    TOptionsDialog dialog(ConfigManager(), &window);
    QObject::connect(&dialog, &TOptionsDialog::Applied, &window, [&window] {
      window.Menus().ToolBar()->setVisible(ConfigManager().ShowToolbar);
      window.statusBar()->setVisible(ConfigManager().ShowStatusBar);
      window.Menus().Update();
    });
    dialog.exec();
  });
}

namespace {

TFractal& ActiveOrNew(TMainWindow& window) {
  if (window.ActiveDocument() == nullptr)
    window.AddDocument(NewDocument(window.NextDocumentTitle()));
  return window.ActiveDocument()->Fractal();
}

}  // namespace

QWidget* OpenOptionsWindow(TMainWindow& window, const std::vector<std::string>&) {
  return new TOptionsDialog(ConfigManager(), &window);
}

QWidget* OpenRenderToDiskWindow(TMainWindow& window, const std::vector<std::string>&) {
  return new TRenderToDiskDialog(ActiveOrNew(window), ConfigManager(), &window);
}

QWidget* OpenBatchRenderWindow(TMainWindow& window, const std::vector<std::string>& files) {
  auto* dialog = new TBatchRenderDialog(ConfigManager(), &window);
  if (!files.empty()) {
    dialog->ParameterFileEdit()->setText(QString::fromStdString(files.front()));
    dialog->FolderEdit()->setText(
        QString::fromStdString(std::filesystem::path(files.front()).parent_path() / "images"));
    emit dialog->ParameterFileEdit()->editingFinished();
  }
  return dialog;
}

QWidget* OpenRenderingWindow(TMainWindow& window, const std::vector<std::string>& files) {
  TFractal& fractal = ActiveOrNew(window);
  const std::filesystem::path folder = files.empty()
                                           ? std::filesystem::path(QDir::tempPath().toStdString())
                                           : std::filesystem::path(files.front()).parent_path();
  TRenderSettings settings;
  settings.Destination = (folder / (FileNameFromTitle(fractal.Title()) + ".png")).string();
  settings.Width = 1600;
  settings.Height = 1200;
  settings.Depth = 1;
  try {
    auto job = TDiskRender::Start(settings, RenderParameterText(fractal, 1600, 1200),
                                  WindowRenderOptions(ConfigManager()));
    return new TRenderForm(std::move(job), ConfigManager(), &window);
  } catch (const EZentrope& e) {
    return new QLabel(QString::fromStdString(e.Message()), &window, Qt::Window);
  }
}

}  // namespace zt
