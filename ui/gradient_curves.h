// The channel curves of a gradient (red, green and blue, or hue, saturation and
// luminance) or of an alpha channel (opacity) as the convert table holds them,
// with a handle where each control point sets a channel. Dragging a handle
// moves the point along the ring and sets that channel of it.
#pragma once

#include <QWidget>

#include "ui/ring_editing.h"

namespace zt {

// User-interface thread only. `editing` must outlive the curves.
class TGradientCurves : public QWidget {
  Q_OBJECT

 public:
  explicit TGradientCurves(TRingEditing& editing, QWidget* parent = nullptr);

  QSize sizeHint() const override { return {420, 160}; }
  QSize minimumSizeHint() const override { return {200, 80}; }

  // Where channel `c` of value `value` at position `index` is drawn, and back.
  QPoint PlaceOf(int index, int c, int value) const;
  int IndexAt(int x) const;
  int ValueAt(int y, int c) const;

 signals:
  void Edited();
  void DragEnded();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  static constexpr int kMargin = 6;
  QRect Plot() const;
  QColor ChannelColor(int c) const;

  TRingEditing& editing_;
  int dragged_ = -1;  // point
  int channel_ = 0;   // of the dragged handle
  bool moved_ = false;
};

}  // namespace zt
