// The navigation gestures of a document view; see navigation.h.
#include "ui/navigation.h"

#include <QCursor>
#include <QEvent>
#include <QKeyEvent>
#include <QMetaObject>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QWheelEvent>

#include <cmath>
#include <numbers>
#include <utility>

#include "document/fractal.h"
#include "document/settings/config_manager.h"
#include "platform/user_interface.h"
#include "ui/fractal_view.h"

namespace zt {

namespace {

// Viewport pixels the mouse may move before a click becomes a drag.
constexpr double kClickDistance = 4;
constexpr int kWheelNotch = 120;  // eighths of a degree
constexpr double kWheelFactor = 2;

// A circular arrow for rotating, drawn once.
QCursor RotateCursor() {
  static const QCursor cursor = [] {
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPolygonF head({QPointF(22, 4), QPointF(29, 9), QPointF(21, 13)});
    for (const auto& [color, width] : {std::pair{Qt::white, 4.0}, std::pair{Qt::black, 2.0}}) {
      painter.setPen(QPen(color, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
      painter.setBrush(color);
      painter.drawArc(QRectF(6, 8, 20, 20), 60 * 16, 300 * 16);
      painter.drawPolygon(head);
    }
    return QCursor(pixmap, 16, 18);
  }();
  return cursor;
}

// The angle in (-pi, pi].
double Normalized(double angle) {
  while (angle > std::numbers::pi) angle -= 2 * std::numbers::pi;
  while (angle <= -std::numbers::pi) angle += 2 * std::numbers::pi;
  return angle;
}

int Floor(double value) { return static_cast<int>(std::floor(value)); }
int Round(double value) { return static_cast<int>(std::lround(value)); }

}  // namespace

TNavigation::TNavigation(TFractal& fractal, TFractalView& view)
    : QObject(&view), fractal_(fractal), view_(view) {
  view_.viewport()->installEventFilter(this);
  view_.installEventFilter(this);
  UpdateCursor();
}

QRect TNavigation::Selection() const {
  const QRectF s = selection_.normalized();
  const int left = Round(s.left());
  const int top = Round(s.top());
  return QRect(left, top, Round(s.right()) - left, Round(s.bottom()) - top);
}

void TNavigation::CropToSelection() {
  const QRect crop = Selection();
  if (crop.isEmpty()) return;
  Navigate([&] { fractal_.Crop(crop.left(), crop.top(), crop.width(), crop.height()); });
}

void TNavigation::ClearSelection() {
  if (selection_.isEmpty()) return;
  selection_ = {};
  view_.SetSelection({});
  emit SelectionChanged();
}

bool TNavigation::eventFilter(QObject* watched, QEvent* event) {
  const bool viewport = watched == view_.viewport();
  switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
      if (!viewport) return false;
      const auto* mouse = static_cast<QMouseEvent*>(event);
      Press(mouse->position(), mouse->button(), mouse->modifiers());
      view_.setFocus(Qt::MouseFocusReason);
      return true;
    }
    case QEvent::MouseMove:
      if (!viewport) return false;
      Move(static_cast<QMouseEvent*>(event)->position());
      return true;
    case QEvent::MouseButtonRelease:
      if (!viewport) return false;
      Release(static_cast<QMouseEvent*>(event)->button());
      return true;
    case QEvent::Wheel: {
      if (!viewport || gesture_ != TGesture::kNone) return viewport;
      const auto* wheel = static_cast<QWheelEvent*>(event);
      // Notches that arrive while a zoom animates are applied together afterwards.
      if (wheel_delta_ == 0)
        QMetaObject::invokeMethod(
            this, [this] { ApplyWheel(); }, Qt::QueuedConnection);
      wheel_delta_ += wheel->angleDelta().y();
      wheel_image_ = ImageAt(wheel->position());
      return true;
    }
    case QEvent::KeyPress:
      if (static_cast<QKeyEvent*>(event)->key() != Qt::Key_Escape) return false;
      if (gesture_ != TGesture::kNone)
        Cancel();
      else if (HasSelection())
        ClearSelection();
      else
        return false;
      return true;
    default: return false;
  }
}

void TNavigation::Press(QPointF pos, Qt::MouseButton button, Qt::KeyboardModifiers modifiers) {
  if (gesture_ != TGesture::kNone) {
    // The right button cancels a drag of another button.
    if (button == Qt::RightButton && gesture_ != TGesture::kZoomOut) {
      Cancel();
      swallow_release_ = true;
    }
    return;
  }
  shift_ = modifiers.testFlag(Qt::ShiftModifier);
  if (button == Qt::LeftButton)
    gesture_ = shift_                                    ? TGesture::kRotate
               : modifiers.testFlag(Qt::ControlModifier) ? TGesture::kSelect
                                                         : TGesture::kZoomBox;
  else if (button == Qt::MiddleButton)
    gesture_ = TGesture::kPan;
  else if (button == Qt::RightButton)
    gesture_ = TGesture::kZoomOut;
  else
    return;
  button_ = button;
  dragging_ = false;
  press_pos_ = pos;
  press_image_ = last_image_ = ImageAt(pos);
}

void TNavigation::Move(QPointF pos) {
  if (gesture_ == TGesture::kNone) return;
  const QPointF moved = pos - press_pos_;
  if (!dragging_ && std::abs(moved.x()) + std::abs(moved.y()) < kClickDistance) return;
  dragging_ = true;
  last_image_ = ImageAt(pos);
  switch (gesture_) {
    case TGesture::kZoomBox: view_.SetZoomBox(ZoomBox(last_image_)); break;
    case TGesture::kSelect:
      selection_ = QRectF(press_image_, last_image_)
                       .normalized()
                       .intersected(QRectF(0, 0, fractal_.Width(), fractal_.Height()));
      view_.SetSelection(selection_);
      break;
    case TGesture::kPan: view_.SetPreview(last_image_ - press_image_, 0); break;
    case TGesture::kRotate: view_.SetPreview({}, RotationTo(last_image_)); break;
    default: break;
  }
  UpdateCursor();
}

void TNavigation::Release(Qt::MouseButton button) {
  if (button == Qt::RightButton && swallow_release_) {
    swallow_release_ = false;
    return;
  }
  if (gesture_ == TGesture::kNone || button != button_) return;
  if (dragging_)
    FinishDrag();
  else
    Click();
  gesture_ = TGesture::kNone;
  UpdateCursor();
}

void TNavigation::Click() {
  const int x = Floor(press_image_.x());
  const int y = Floor(press_image_.y());
  const TGesture gesture = gesture_;
  gesture_ = TGesture::kNone;
  switch (gesture) {
    case TGesture::kZoomBox:
    case TGesture::kRotate:
      Navigate([&] { fractal_.Zoom(x, y, ClickFactor(shift_), true, true); });
      break;
    case TGesture::kZoomOut:
      Navigate([&] { fractal_.Zoom(x, y, 1 / ClickFactor(shift_), true, true); });
      break;
    case TGesture::kSelect: ClearSelection(); break;
    default: break;
  }
}

void TNavigation::FinishDrag() {
  const TGesture gesture = gesture_;
  // A message box shown by the step below may run events: the gesture is over.
  gesture_ = TGesture::kNone;
  switch (gesture) {
    case TGesture::kZoomBox: {
      const QRectF box = ZoomBox(last_image_);
      view_.SetZoomBox({});
      if (Round(box.width()) < 1 || Round(box.height()) < 1) break;
      Navigate([&] {
        fractal_.ZoomToRectangle(Round(box.left()), Round(box.top()), Round(box.width()),
                                 Round(box.height()), 0, true);
      });
      break;
    }
    case TGesture::kSelect: emit SelectionChanged(); break;
    // The view already shows the move: it is committed at once, without animation.
    case TGesture::kPan: {
      const QPointF moved = last_image_ - press_image_;
      Navigate([&] { fractal_.Pan(Round(moved.x()), Round(moved.y()), false); });
      ShowCommittedMove();
      break;
    }
    case TGesture::kRotate: {
      const double angle = RotationTo(last_image_);
      Navigate([&] { fractal_.Rotate(angle, false); });
      ShowCommittedMove();
      break;
    }
    default: break;
  }
}

void TNavigation::ShowCommittedMove() {
  // The moved image may have been drawn already while the step ran, so one more
  // drawing makes sure the preview gives way to it.
  view_.ClearPreviewOnNextImage();
  fractal_.UpdateManager().InvalidateAll();
}

void TNavigation::Cancel() {
  if (gesture_ == TGesture::kSelect) ClearSelection();
  gesture_ = TGesture::kNone;
  dragging_ = false;
  view_.SetZoomBox({});
  view_.ClearPreview();
  UpdateCursor();
}

void TNavigation::ApplyWheel() {
  const int delta = wheel_delta_;
  wheel_delta_ = 0;
  if (delta == 0) return;
  const double factor = std::pow(kWheelFactor, static_cast<double>(delta) / kWheelNotch);
  Navigate([&] {
    fractal_.Zoom(Floor(wheel_image_.x()), Floor(wheel_image_.y()), factor, false, true);
  });
}

double TNavigation::ClickFactor(bool shift) {
  const TConfigManager& config = ConfigManager();
  // The settings count from 0 for 2x.
  return 2 + (shift ? config.ZoomFactorShift : config.ZoomFactor);
}

void TNavigation::Navigate(const std::function<void()>& step) {
  ClearSelection();
  try {
    step();
  } catch (const EZentrope& error) {
    UserInterface().ShowMessage("Error", error.Message(), TMessageKind::kError);
  }
}

void TNavigation::UpdateCursor() {
  QWidget* viewport = view_.viewport();
  if (dragging_ && gesture_ == TGesture::kPan)
    viewport->setCursor(Qt::ClosedHandCursor);
  else if (dragging_ && gesture_ == TGesture::kRotate)
    viewport->setCursor(RotateCursor());
  else
    viewport->setCursor(Qt::CrossCursor);
}

QPointF TNavigation::ImageAt(QPointF pos) const { return view_.MapToImage(pos); }

QRectF TNavigation::ZoomBox(QPointF to) const {
  const double width = fractal_.Width();
  const double height = fractal_.Height();
  if (width <= 0 || height <= 0) return {};
  const QPointF moved = to - press_image_;
  double w = std::abs(moved.x());
  double h = std::abs(moved.y());
  // The side that reaches further decides the size.
  if (w * height > h * width)
    h = w * height / width;
  else
    w = h * width / height;
  return QRectF(press_image_, QSizeF(moved.x() < 0 ? -w : w, moved.y() < 0 ? -h : h)).normalized();
}

double TNavigation::RotationTo(QPointF to) const {
  // Clockwise on the screen (y grows downwards) is a positive angle.
  const QPointF center(fractal_.Width() / 2.0, fractal_.Height() / 2.0);
  const QPointF from = press_image_ - center;
  const QPointF now = to - center;
  return Normalized(std::atan2(now.y(), now.x()) - std::atan2(from.y(), from.x()));
}

}  // namespace zt
