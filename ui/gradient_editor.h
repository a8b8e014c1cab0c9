// The gradient editor and the alpha channel editor: one window over a
// TRingEditing with the strip, the channel curves, the focused point's place and
// channels, the offset (rotation) and smoothing of the whole ring, and menus for
// entry files, undo, copy and paste, and the whole-ring operations. It edits a
// layer's gradient or alpha channel live (the layer recolors itself on every
// change) or an object of its own, opened from a .zgr, .zal or MAP file.
#pragma once

#include <QMainWindow>
#include <memory>
#include <string>
#include <vector>

#include "ui/ring_editing.h"

class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QSpinBox;

namespace zt {

class TGradientCurves;
class TGradientEditing;
class TGradientStrip;
class TLayer;

// User-interface thread only. The window deletes itself when closed, and closes
// when the object it edits is destroyed (a layer deleted, a document closed).
class TGradientEditor : public QMainWindow {
  Q_OBJECT

 public:
  // `subject` names what is edited in the title (a layer's caption, an entry's
  // title).
  TGradientEditor(std::unique_ptr<TRingEditing> editing, const QString& subject,
                  QWidget* parent = nullptr);
  ~TGradientEditor() override;

  TRingEditing& Editing() const { return *editing_; }
  // The edited object is gone and the window is about to be deleted.
  bool Orphaned() const { return gone_; }
  TGradientStrip& Strip() const { return *strip_; }
  TGradientCurves& Curves() const { return *curves_; }
  QSpinBox* PositionBox() const { return position_; }
  QSpinBox* ChannelBox(int c) const { return channels_[c]; }
  QSpinBox* OffsetBox() const { return offset_; }
  QCheckBox* SmoothBox() const { return smooth_; }
  // RGB or HSL; null in the alpha channel editor.
  QComboBox* ModeBox() const { return mode_; }
  QAction* UndoAction() const { return undo_; }
  QAction* RedoAction() const { return redo_; }

  // Shows the object's values again.
  void Refresh();

 protected:
  void changeEvent(QEvent* event) override;

 private:
  TGradientEditing* Gradient() const;
  void BuildMenus();
  QWidget* BuildControls();
  void UpdateTitle();
  // Runs an edit of the object; its error is shown. Refreshes afterwards.
  void Run(const std::function<void()>& edit);
  void UndoRedo(bool redo);
  void OpenEntry();
  void SaveEntry();
  void ImportPalette();
  void ChooseColor();
  void AdjustColors();
  void RandomPoints();
  void ObjectDestroyed();

  std::unique_ptr<TRingEditing> editing_;
  QString subject_;
  std::string file_;  // of the last entry opened
  std::string title_;
  bool gone_ = false;
  bool refresh_queued_ = false;
  TGradientStrip* strip_;
  TGradientCurves* curves_;
  QSpinBox* position_ = nullptr;
  std::vector<QLabel*> channel_labels_;
  std::vector<QSpinBox*> channels_;
  QPushButton* color_ = nullptr;
  QComboBox* mode_ = nullptr;
  QSpinBox* offset_ = nullptr;
  QCheckBox* smooth_ = nullptr;
  QAction* undo_ = nullptr;
  QAction* redo_ = nullptr;
  QAction* paste_ = nullptr;
};

// The editor of the layer's gradient or alpha channel over `owner`: the one open
// already, brought to the front, or a new one, shown.
TGradientEditor* EditLayerGradient(QWidget* owner, TLayer& layer);
TGradientEditor* EditLayerAlphaChannel(QWidget* owner, TLayer& layer);
// A new gradient or alpha channel (the settings' default) in an editor, unshown.
TGradientEditor* NewGradientEditor(QWidget* owner);
TGradientEditor* NewAlphaChannelEditor(QWidget* owner);

// Opens a .zgr or .zal file (after the person chose an entry through the
// program's entry browser) or a MAP palette as a new gradient in an editor of
// its own, shown. False for other extensions (true for these, whatever came of
// them); errors are shown.
bool OpenInColorEditor(QWidget* owner, const std::string& file);

}  // namespace zt
