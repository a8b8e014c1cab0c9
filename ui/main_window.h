// The main window: the documents as windows in a multiple-document area
// (separate windows or tabs), the menus and tool bar, the status bar and the
// dock tools, the application title, dropped files, and the layout kept in the
// settings between runs.
#pragma once

#include <QList>
#include <QMainWindow>
#include <memory>
#include <string>
#include <vector>

#include "ui/recent_files.h"

class QDockWidget;
class QLabel;
class QMdiArea;
class QMdiSubWindow;

namespace zt {

class TFractal;
class TFractalWindow;
class TFractalPropertiesTool;
class TLayerPropertiesTool;
class TLayersTool;
class TMainMenus;

// User-interface thread only. The window owns its document windows (each owns
// its document) and the dock tools, which always show the active document or
// none. Closing a document window or the main window asks about unsaved
// changes (unless the NoSaveConfirmation setting is on) through the program's
// user interface.
class TMainWindow : public QMainWindow {
  Q_OBJECT

 public:
  explicit TMainWindow(QWidget* parent = nullptr);
  ~TMainWindow() override;

  // Shows the document in a new document window, which becomes active.
  TFractalWindow* AddDocument(std::unique_ptr<TFractal> fractal);
  // The document windows in the order they were opened.
  QList<TFractalWindow*> Documents() const;
  TFractalWindow* ActiveDocument() const;
  // The window whose document belongs to `file_name` (the same file, however
  // named), or null.
  TFractalWindow* FindDocument(const std::string& file_name) const;
  // Brings the main window to the front and activates the document window
  // (when not null), restoring either when minimised.
  void BringToFront(TFractalWindow* window);
  // Opens each file by its extension, in order; opened files join the recent list.
  void OpenFiles(const std::vector<std::string>& files);
  // What runs once the window is up: the files, or the start-up action of the
  // StartupFractalOptions setting when there are none.
  void RunStartup(const std::vector<std::string>& files);

  QMdiArea& DocumentArea() const { return *area_; }
  TMainMenus& Menus() const { return *menus_; }
  TRecentFiles& RecentFiles() { return recent_; }
  // A new document's title: "Fractal1", "Fractal2", ...
  std::string NextDocumentTitle();

  // Documents as tabs or as separate windows.
  void SetTabbed(bool tabbed);
  bool Tabbed() const;

  // Window position, dock layout, tabbed view and recent files into the
  // settings (the position group is flushed, the rest waits for SaveAll), and
  // back; the toolbar and status bar follow ShowToolbar and ShowStatusBar.
  void SaveLayout();
  void RestoreLayout();

 signals:
  // The active document window changed, or the active document did.
  void ActiveDocumentChanged();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QDockWidget* AddDock(QWidget* tool, const QString& title, const char* name,
                       Qt::DockWidgetArea area);
  // The document the tools, menus and title follow.
  void SetActive(TFractalWindow* document);
  void ShowInTools(TFractalWindow* document);
  // A document window that closes: when it is the active one, the window
  // activated before it (or none) becomes the active one.
  void Forget(TFractalWindow* document);
  void UpdateTitle();
  void UpdateStatus();
  // The active document's threads run at ThreadForePriority, the others' at
  // ThreadBackPriority.
  void ApplyPriorities();
  // Asks about unsaved changes; false when the window must stay open.
  bool ConfirmClose(TFractalWindow& window);

  QMdiArea* area_;
  TMainMenus* menus_;
  TLayersTool* layers_tool_;
  TLayerPropertiesTool* layer_tool_;
  TFractalPropertiesTool* fractal_tool_;
  QLabel* status_label_;
  TRecentFiles recent_;
  TFractalWindow* active_ = nullptr;
  int document_count_ = 0;
};

}  // namespace zt
