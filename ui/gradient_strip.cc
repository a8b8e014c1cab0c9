// The strip's painting and mouse handling.
#include "ui/gradient_strip.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>

namespace zt {

namespace {

void ShowError(const EZentrope& e) {
  UserInterface().ShowMessage("Error", e.what(), TMessageKind::kError);
}

}  // namespace

void PaintTable(QPainter& painter, const QRect& rect, const TRingEditing& editing) {
  const int cell = std::max(1, rect.height() / 2);
  for (int y = rect.top(); y <= rect.bottom(); y += cell)
    for (int x = rect.left(); x <= rect.right(); x += cell)
      painter.fillRect(QRect(x, y, cell, cell).intersected(rect),
                       ((x - rect.left() + y - rect.top()) / cell) % 2 ? Qt::lightGray : Qt::white);
  for (int x = 0; x < rect.width(); ++x) {
    const int entry = static_cast<int>(static_cast<long long>(x) * kGradientEntries / rect.width());
    const QRgb color = editing.TableColor(entry);
    painter.fillRect(rect.left() + x, rect.top(), 1, rect.height(),
                     QColor(qRed(color), qGreen(color), qBlue(color), qAlpha(color)));
  }
}

TGradientStrip::TGradientStrip(TRingEditing& editing, QWidget* parent)
    : QWidget(parent), editing_(editing) {
  setFocusPolicy(Qt::StrongFocus);
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

int TGradientStrip::XOf(int index) const {
  const int width = this->width() - 2 * kMargin;
  return kMargin + (2 * index + 1) * width / (2 * kGradientIndices);
}

int TGradientStrip::IndexAt(int x) const {
  const int width = std::max(1, this->width() - 2 * kMargin);
  return std::clamp((x - kMargin) * kGradientIndices / width, 0, kGradientIndices - 1);
}

int TGradientStrip::PointAt(QPoint at) const {
  if (at.y() < MarkerTop()) return -1;
  int found = -1, distance = kMarkerHeight / 2 + 1;
  for (int n = 0; n < editing_.Count(); ++n) {
    const int d = std::abs(XOf(editing_.IndexOf(n)) - at.x());
    if (d < distance) {
      distance = d;
      found = n;
    }
  }
  return found;
}

void TGradientStrip::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const QRect table(kMargin, 0, width() - 2 * kMargin, MarkerTop() - 2);
  PaintTable(painter, table, editing_);
  painter.setPen(palette().color(QPalette::Mid));
  painter.drawRect(table.adjusted(0, 0, -1, -1));
  painter.setRenderHint(QPainter::Antialiasing);
  const int half = kMarkerHeight / 2;
  for (int n = 0; n < editing_.Count(); ++n) {
    const int x = XOf(editing_.IndexOf(n));
    QPainterPath marker;
    marker.moveTo(x, MarkerTop());
    marker.lineTo(x + half, height() - 1);
    marker.lineTo(x - half, height() - 1);
    marker.closeSubpath();
    const bool selected = editing_.Selected(n);
    painter.setPen(QPen(selected ? palette().color(QPalette::Highlight) : Qt::black,
                        n == editing_.Current() ? 2.5 : 1.0));
    painter.setBrush(QColor(editing_.PointColor(n)));
    painter.drawPath(marker);
  }
}

void TGradientStrip::Run(const std::function<void()>& edit) {
  try {
    edit();
  } catch (const EZentrope& e) {
    ShowError(e);
  }
  emit Edited();
  update();
}

void TGradientStrip::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  const int n = PointAt(event->position().toPoint());
  if (n < 0) return;
  moved_ = false;
  if (event->modifiers() & Qt::ControlModifier) {
    Run([&] { editing_.Select(n, !editing_.Selected(n)); });
    return;
  }
  dragged_ = n;
  Run([&] { editing_.SetCurrent(n); });
}

void TGradientStrip::mouseMoveEvent(QMouseEvent* event) {
  if (dragged_ < 0) return;
  const int index = IndexAt(event->position().toPoint().x());
  if (index == editing_.IndexOf(dragged_)) return;
  moved_ = true;
  Run([&] { dragged_ = editing_.Move(dragged_, index); });
}

void TGradientStrip::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || dragged_ < 0) return;
  dragged_ = -1;
  if (moved_) {
    editing_.EndMerge();
    emit DragEnded();
  }
}

void TGradientStrip::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  const QPoint at = event->position().toPoint();
  if (PointAt(at) >= 0) return;
  Run([&] { editing_.SetCurrent(editing_.Insert(IndexAt(at.x()))); });
}

void TGradientStrip::keyPressEvent(QKeyEvent* event) {
  const int direction = event->key() == Qt::Key_Left ? -1 : event->key() == Qt::Key_Right ? 1 : 0;
  const int n = editing_.Current();
  if (direction == 0 || n < 0) {
    QWidget::keyPressEvent(event);
    return;
  }
  const int step = event->modifiers() & Qt::ShiftModifier ? 10 : 1;
  const int index = std::clamp(editing_.IndexOf(n) + direction * step, 0, kGradientIndices - 1);
  Run([&] { editing_.Move(n, index); });
}

void TGradientStrip::keyReleaseEvent(QKeyEvent* event) {
  const bool arrow = event->key() == Qt::Key_Left || event->key() == Qt::Key_Right;
  if (arrow && !event->isAutoRepeat()) {
    editing_.EndMerge();
    emit DragEnded();
  }
  QWidget::keyReleaseEvent(event);
}

}  // namespace zt
