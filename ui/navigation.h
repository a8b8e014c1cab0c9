// Mouse, wheel and key navigation of a document in its view: the zoom box,
// click zooms, wheel zooms, panning, rotating and the selection that the crop
// command cuts the image to. Each finished gesture is one navigation step of the
// document (one undo step) with the update manager's preview.
#pragma once

#include <QObject>
#include <QPointF>
#include <QRect>
#include <QRectF>

#include <functional>

namespace zt {

class TFractal;
class TFractalView;

// Gestures (image pixels are those under the mouse):
// - left drag: a zoom box with the image's aspect ratio; release zooms to it, Esc
//   or the right button cancels it. Left click: zoom in at the point by the
//   ZoomFactor setting (Shift: ZoomFactorShift); right click: zoom out by it.
// - wheel: zoom at the cursor, 2x per notch (in), 1/2x (out).
// - Shift + left drag: rotate about the image center; middle drag: pan. Both show
//   the image following the mouse and commit once on release; Esc or the right
//   button cancels them.
// - Ctrl + left drag: a selection for CropToSelection; Esc clears it.
//
// Threads: user-interface thread only. The document and the view must outlive it.
class TNavigation : public QObject {
  Q_OBJECT

 public:
  // Watches the view's input; the view owns the navigation.
  TNavigation(TFractal& fractal, TFractalView& view);

  bool HasSelection() const { return !selection_.isEmpty(); }
  // The selection in whole image pixels (empty without one).
  QRect Selection() const;
  // Cuts the image to the selection (one undo step); nothing without one.
  void CropToSelection();
  void ClearSelection();

 signals:
  void SelectionChanged();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  enum class TGesture { kNone, kZoomBox, kSelect, kPan, kRotate, kZoomOut };

  void Press(QPointF pos, Qt::MouseButton button, Qt::KeyboardModifiers modifiers);
  void Move(QPointF pos);
  void Release(Qt::MouseButton button);
  void Cancel();
  void ApplyWheel();
  // The zoom factor of a click with or without Shift.
  static double ClickFactor(bool shift);
  // Runs a navigation step of the document, showing its errors.
  void Navigate(const std::function<void()>& step);
  void Click();
  void FinishDrag();
  // The view shows a pan or rotation until the document's image shows it.
  void ShowCommittedMove();
  void UpdateCursor();
  QPointF ImageAt(QPointF pos) const;
  QRectF ZoomBox(QPointF to) const;
  double RotationTo(QPointF to) const;

  TFractal& fractal_;
  TFractalView& view_;
  TGesture gesture_ = TGesture::kNone;
  Qt::MouseButton button_ = Qt::NoButton;
  bool shift_ = false;
  bool dragging_ = false;         // moved beyond the click distance
  bool swallow_release_ = false;  // the right button that cancelled a drag
  QPointF press_pos_;             // viewport coordinates
  QPointF press_image_;           // image pixels
  QPointF last_image_;
  QRectF selection_;
  int wheel_delta_ = 0;  // eighths of a degree not yet applied
  QPointF wheel_image_;  // where the last wheel turn happened
};

}  // namespace zt
