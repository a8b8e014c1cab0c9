// The main window's menus, tool bar and keyboard shortcuts: one action per
// command, kept enabled and checked to match the active document.
#pragma once

#include <QObject>
#include <array>

#include "document/fractal_clipboard.h"

class QAction;
class QMenu;
class QToolBar;

namespace zt {

class TMainWindow;
class TFractalWindow;

enum class TCommand {
  kNew,
  kOpen,
  kSave,
  kSaveAs,
  kSaveCopy,
  kSaveParameters,
  kExport,
  kClose,
  kExit,
  kUndo,
  kRedo,
  kActualSize,
  kZoomToFit,
  kTabbed,
  kToolbar,
  kStatusBar,
  kLayerAdd,
  kLayerDuplicate,
  kLayerDelete,
  kLayerUp,
  kLayerDown,
  kLayerVisible,
  kStop,
  kResume,
  kRecalculate,
  kCascade,
  kTile,
  kNext,
  kUserGuide,
  kFormulaLanguage,
  kAbout,
  kCount
};

inline constexpr int kDocumentPartCount = 9;

// User-interface thread only. Built once by the main window, which it serves.
class TMainMenus : public QObject {
  Q_OBJECT

 public:
  explicit TMainMenus(TMainWindow& window);

  QAction* Action(TCommand command) const { return actions_[static_cast<int>(command)]; }
  QAction* CopyAction(TDocumentPart part) const { return copy_[static_cast<int>(part)]; }
  QAction* PasteAction(TDocumentPart part) const { return paste_[static_cast<int>(part)]; }
  QToolBar* ToolBar() const { return tool_bar_; }

  // Enables, disables and checks the actions for the active document.
  void Update();

 private:
  QAction* Add(TCommand command, const QString& text, QMenu* menu, void (TMainMenus::*run)());
  void BuildFileMenu();
  void BuildEditMenu();
  void BuildViewMenu();
  void BuildLayerMenu();
  void BuildCalculationMenu();
  void BuildWindowMenu();
  void BuildHelpMenu();
  void FillRecentMenu();
  void FillWindowMenu();

  // Commands; those on a document do nothing without an active one.
  void New();
  void Open();
  void Save();
  void SaveAs();
  void SaveCopy();
  void SaveParameters();
  void Export();
  void Close();
  void Exit();
  void Undo();
  void Redo();
  void ActualSize();
  void ZoomToFit();
  void Tabbed();
  void ShowToolbar();
  void ShowStatusBar();
  void LayerAdd();
  void LayerDuplicate();
  void LayerDelete();
  void LayerUp();
  void LayerDown();
  void LayerVisible();
  void Stop();
  void Resume();
  void Recalculate();
  void Cascade();
  void Tile();
  void Next();
  void UserGuide();
  void FormulaLanguage();
  void About();
  void Copy(TDocumentPart part);
  void Paste(TDocumentPart part);
  // Moves the current layer by `step` places (negative: towards the top).
  void MoveLayer(int step);

  TMainWindow& window_;
  std::array<QAction*, static_cast<int>(TCommand::kCount)> actions_{};
  std::array<QAction*, kDocumentPartCount> copy_{};
  std::array<QAction*, kDocumentPartCount> paste_{};
  QMenu* recent_menu_ = nullptr;
  QMenu* window_menu_ = nullptr;
  QToolBar* tool_bar_ = nullptr;
};

}  // namespace zt
