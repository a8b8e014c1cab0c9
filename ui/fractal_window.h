// The document window: owns one fractal document, shows its image in a view with
// the navigation gestures, and keeps a status line with the calculation's
// progress, time and the document's figures.
#pragma once

#include <QString>
#include <QWidget>

#include <memory>

#include "document/fractal.h"

class QLabel;
class QTimer;

namespace zt {

class TFractalView;
class TNavigation;

// Threads: user-interface thread only. The document's calculation start, end and
// change notifications arrive there (through the main-thread dispatcher, which
// the program's event loop drives); the window turns them into signals.
//
// Closing: the destructor holds the update manager, detaches the view and frees
// the document, whose destructor stops the calculation threads; waiting for them
// runs their pending main-thread calls, so it never waits on itself.
class TFractalWindow : public QWidget {
  Q_OBJECT

 public:
  explicit TFractalWindow(std::unique_ptr<TFractal> fractal, QWidget* parent = nullptr);
  ~TFractalWindow() override;

  TFractal& Fractal() { return *fractal_; }
  TFractalView& View() { return *view_; }

  // "100%" when calculated, else the calculated share rounded down, e.g. "37%".
  QString ProgressText() const;
  // Every layer is calculated and nothing waits to be.
  bool IsCalculated() const;

  // Scaled to the window, or image pixels 1:1 in device pixels (the default).
  void SetZoomToFit(bool fit);
  bool ZoomToFit() const;
  void ShowActualSize() { SetZoomToFit(false); }

  // Stops every layer (leaving it resumable), continues the interrupted ones, or
  // calculates every layer afresh.
  void StopCalculation();
  void ResumeCalculation();
  void Recalculate();

  // The selection drawn with Ctrl + drag, and the crop command that cuts the
  // image to it (one undo step; nothing without a selection).
  bool HasSelection() const;
  void CropToSelection();

 signals:
  void ProgressChanged();
  // After every change of the document (also undo and redo).
  void DocumentChanged();
  // The calculation ended with every layer calculated.
  void CalculationFinished();
  void SelectionChanged();

 private:
  void CalculationStarted();
  void CalculationEnded();
  void Changed();
  // Refreshes the status line; emits ProgressChanged when the progress text changed.
  void UpdateStatus();

  std::unique_ptr<TFractal> fractal_;
  TFractalView* view_;
  TNavigation* navigation_;
  QTimer* progress_timer_;
  QLabel* progress_label_;
  QLabel* time_label_;
  QLabel* size_label_;
  QLabel* layers_label_;
  QLabel* formula_label_;
  QString progress_text_;
  int shown_width_ = -1;
  int shown_height_ = -1;
  bool finish_posted_ = false;
};

}  // namespace zt
