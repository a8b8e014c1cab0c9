// The view of a document's display bitmap: shows it 1:1 in device pixels with
// scroll bars, or scaled to fit the window, maps between window and image
// positions, and draws the navigation overlays (zoom box, selection, the live
// pan and rotate preview) over it.
#pragma once

#include <QAbstractScrollArea>
#include <QPointF>
#include <QRectF>

#include <atomic>
#include <cstdint>
#include <mutex>

#include "platform/rect.h"

namespace zt {

class TDirectBitmap;

// Threads: everything runs on the user-interface thread except the bitmap's paint
// notification, which the update manager's thread raises. That notification only
// records the dirty rectangle under a small lock of the view's own and posts one
// queued repaint however often it comes before the repaint runs; raised on the
// user-interface thread (the frames of an animated navigation) it repaints at once.
// Painting reads the bitmap's pixels without any of the update manager's locks: a
// frame may tear while a merge writes, and the next paint shows the finished rows.
//
// The bitmap must stay alive and unresized except on the user-interface thread
// until SetBitmap(nullptr); its owner must keep the update manager from painting
// (BeginStop) while the bitmap is changed or detached.
class TFractalView : public QAbstractScrollArea {
  Q_OBJECT

 public:
  explicit TFractalView(QWidget* parent = nullptr);
  ~TFractalView() override;

  // Shows `bitmap` (nullptr shows nothing) and takes over its paint notification.
  void SetBitmap(TDirectBitmap* bitmap);

  // Scaled to the window keeping the aspect ratio, or 1:1 in device pixels.
  bool ZoomToFit() const { return zoom_to_fit_; }
  void SetZoomToFit(bool fit);
  // The bitmap's size may have changed: scroll ranges and the size hint follow.
  void ImageSizeChanged();

  // Positions in viewport coordinates and image pixels (pixel (x, y) covers
  // [x, x + 1) x [y, y + 1)).
  QPointF MapToImage(QPointF viewport_pos) const;
  QPointF MapFromImage(QPointF image_pos) const;

  // Overlays, in image pixels; an empty rectangle hides the box or selection.
  void SetZoomBox(const QRectF& box);
  void SetSelection(const QRectF& selection);
  // Shows the image moved by `offset` image pixels and turned clockwise by
  // `angle` radians about its center, until ClearPreview, or until the bitmap is
  // painted again after ClearPreviewOnNextImage (the committed move arrives).
  void SetPreview(QPointF offset, double angle);
  void ClearPreview();
  void ClearPreviewOnNextImage();

  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;

 private:
  // Any thread: the bitmap asks for `rect` to be shown again.
  void BitmapPainted(const TRect& rect);
  // User-interface thread: repaints what the bitmap asked for since the last time,
  // at once or with the next paint cycle.
  void ShowDirty(bool at_once);
  void UpdateScrollBars();
  // Viewport pixels per image pixel.
  double Scale() const;
  // The image's rectangle in viewport coordinates (without preview).
  QRectF ImageRect() const;
  QRectF MapRectFromImage(const QRectF& rect) const;
  void DrawImage(QPainter& painter, const QRect& exposed);
  void DrawBox(QPainter& painter, const QRectF& box, bool dotted) const;

  TDirectBitmap* bitmap_ = nullptr;
  bool zoom_to_fit_ = false;
  QRectF zoom_box_;
  QRectF selection_;
  QPointF preview_offset_;
  double preview_angle_ = 0;
  bool preview_shown_ = false;
  // Clear the preview once a paint numbered above this arrives; -1: not waiting.
  std::int64_t clear_preview_after_ = -1;

  std::mutex dirty_mutex_;
  TRect dirty_{};  // guarded by dirty_mutex_: image pixels to repaint
  std::atomic<bool> repaint_posted_{false};
  std::atomic<std::int64_t> paints_{0};  // bitmap paint notifications so far
};

}  // namespace zt
