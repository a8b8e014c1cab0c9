// The curves' painting and handle dragging.
#include "ui/gradient_curves.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>

namespace zt {

TGradientCurves::TGradientCurves(TRingEditing& editing, QWidget* parent)
    : QWidget(parent), editing_(editing) {
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

QRect TGradientCurves::Plot() const {
  return rect().adjusted(kMargin, kMargin, -kMargin, -kMargin);
}

QPoint TGradientCurves::PlaceOf(int index, int c, int value) const {
  const QRect plot = Plot();
  const int max = editing_.Channel(c).Max;
  return {plot.left() + (2 * index + 1) * plot.width() / (2 * kGradientIndices),
          plot.bottom() - value * plot.height() / max};
}

int TGradientCurves::IndexAt(int x) const {
  const QRect plot = Plot();
  return std::clamp((x - plot.left()) * kGradientIndices / std::max(1, plot.width()), 0,
                    kGradientIndices - 1);
}

int TGradientCurves::ValueAt(int y, int c) const {
  const QRect plot = Plot();
  const int max = editing_.Channel(c).Max;
  const int value =
      ((plot.bottom() - y) * max * 2 + plot.height()) / (2 * std::max(1, plot.height()));
  return std::clamp(value, 0, max);
}

QColor TGradientCurves::ChannelColor(int c) const { return QColor(editing_.Channel(c).Color); }

void TGradientCurves::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const QRect plot = Plot();
  painter.fillRect(plot, palette().color(QPalette::Base));
  painter.setPen(QPen(palette().color(QPalette::Midlight), 1, Qt::DotLine));
  for (int quarter = 1; quarter < 4; ++quarter) {
    const int y = plot.top() + quarter * plot.height() / 4;
    painter.drawLine(plot.left(), y, plot.right(), y);
  }
  painter.setPen(palette().color(QPalette::Mid));
  painter.drawRect(plot.adjusted(0, 0, -1, -1));
  painter.setRenderHint(QPainter::Antialiasing);
  for (int c = 0; c < editing_.ChannelCount(); ++c) {
    const int max = editing_.Channel(c).Max;
    QPainterPath curve;
    for (int x = 0; x < plot.width(); ++x) {
      const int entry =
          static_cast<int>(static_cast<long long>(x) * kGradientEntries / plot.width());
      const double y =
          plot.bottom() - double(editing_.TableChannel(entry, c)) * plot.height() / max;
      if (x == 0)
        curve.moveTo(plot.left(), y);
      else
        curve.lineTo(plot.left() + x, y);
    }
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(ChannelColor(c), 1.5));
    painter.drawPath(curve);
    for (int n = 0; n < editing_.Count(); ++n) {
      const QPoint at = PlaceOf(editing_.IndexOf(n), c, editing_.ChannelValue(n, c));
      const bool focused = n == editing_.Current();
      painter.setPen(QPen(editing_.Selected(n) ? palette().color(QPalette::Highlight) : Qt::black,
                          focused ? 2 : 1));
      painter.setBrush(ChannelColor(c));
      painter.drawRect(QRect(at - QPoint(3, 3), QSize(7, 7)));
    }
  }
}

void TGradientCurves::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  const QPoint at = event->position().toPoint();
  int best = 7 * 7;
  dragged_ = -1;
  for (int c = 0; c < editing_.ChannelCount(); ++c) {
    for (int n = 0; n < editing_.Count(); ++n) {
      const QPoint d = PlaceOf(editing_.IndexOf(n), c, editing_.ChannelValue(n, c)) - at;
      if (d.x() * d.x() + d.y() * d.y() < best) {
        best = d.x() * d.x() + d.y() * d.y();
        dragged_ = n;
        channel_ = c;
      }
    }
  }
  if (dragged_ < 0) return;
  moved_ = false;
  editing_.SetCurrent(dragged_);
  emit Edited();
  update();
}

void TGradientCurves::mouseMoveEvent(QMouseEvent* event) {
  if (dragged_ < 0) return;
  const QPoint at = event->position().toPoint();
  try {
    dragged_ = editing_.Move(dragged_, IndexAt(at.x()));
    editing_.SetChannelValue(dragged_, channel_, ValueAt(at.y(), channel_));
  } catch (const EZentrope& e) {
    dragged_ = -1;
    UserInterface().ShowMessage("Error", e.what(), TMessageKind::kError);
  }
  moved_ = true;
  emit Edited();
  update();
}

void TGradientCurves::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || dragged_ < 0) return;
  dragged_ = -1;
  if (moved_) {
    editing_.EndMerge();
    emit DragEnded();
  }
}

}  // namespace zt
