// The strip of a gradient or alpha channel: the convert table's 400 positions as
// colors (opacity over a checkerboard) with a marker under it for every control
// point. A click focuses a point, Ctrl+click adds it to the selection or takes it
// out, a drag moves the focused point, a double click on an empty place adds a
// point there with the color the strip shows. The arrow keys move the focused
// point by one place (ten with Shift); a run of presses is one undo step.
#pragma once

#include <QWidget>

#include "ui/ring_editing.h"

namespace zt {

// User-interface thread only. `editing` must outlive the strip.
class TGradientStrip : public QWidget {
  Q_OBJECT

 public:
  explicit TGradientStrip(TRingEditing& editing, QWidget* parent = nullptr);

  QSize sizeHint() const override { return {420, 56}; }
  QSize minimumSizeHint() const override { return {200, 40}; }

  // Where the position `index` (0 to 399) is drawn, and the position under `x`.
  int XOf(int index) const;
  int IndexAt(int x) const;
  // The point whose marker is under `at`, or -1.
  int PointAt(QPoint at) const;
  int MarkerTop() const { return height() - kMarkerHeight; }

 signals:
  // After every change the strip made; a drag ends with DragEnded.
  void Edited();
  void DragEnded();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;

 private:
  static constexpr int kMarkerHeight = 12;
  static constexpr int kMargin = 6;
  // Runs an edit; its error is shown.
  void Run(const std::function<void()>& edit);

  TRingEditing& editing_;
  int dragged_ = -1;
  bool moved_ = false;
};

// Paints `width` columns of the table as colors over a checkerboard in `rect`.
void PaintTable(QPainter& painter, const QRect& rect, const TRingEditing& editing);

}  // namespace zt
