// Painting, scrolling and the coalesced repaints of the document view; see
// fractal_view.h.
#include "ui/fractal_view.h"

#include <QImage>
#include <QMetaObject>
#include <QPaintEngine>
#include <QPaintEvent>
#include <QPainter>
#include <QPixmap>
#include <QRegion>
#include <QScrollBar>
#include <QStyle>
#include <QThread>

#include <algorithm>
#include <cmath>
#include <numbers>

#include "render/direct_bitmap.h"

namespace zt {

namespace {

constexpr int kScrollStep = 16;
const QColor kBackground(64, 64, 64);

// Whether the pixels the painter writes keep an alpha channel (unknown targets
// count as having one).
bool TargetHasAlpha(QPainter& painter) {
  QPaintDevice* device = painter.paintEngine()->paintDevice();
  switch (device->devType()) {
    case QInternal::Image: return static_cast<QImage*>(device)->hasAlphaChannel();
    case QInternal::Pixmap: return static_cast<QPixmap*>(device)->hasAlphaChannel();
    default: return true;
  }
}

}  // namespace

TFractalView::TFractalView(QWidget* parent) : QAbstractScrollArea(parent) {
  // paintEvent covers every pixel itself.
  viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
  setFocusPolicy(Qt::StrongFocus);
  horizontalScrollBar()->setSingleStep(kScrollStep);
  verticalScrollBar()->setSingleStep(kScrollStep);
}

TFractalView::~TFractalView() {
  if (bitmap_ != nullptr) bitmap_->OnPaint = nullptr;
}

void TFractalView::SetBitmap(TDirectBitmap* bitmap) {
  if (bitmap_ != nullptr) bitmap_->OnPaint = nullptr;
  bitmap_ = bitmap;
  if (bitmap_ != nullptr)
    bitmap_->OnPaint = [this](TDirectBitmap&, const TRect& rect) { BitmapPainted(rect); };
  ImageSizeChanged();
}

void TFractalView::SetZoomToFit(bool fit) {
  if (fit == zoom_to_fit_) return;
  zoom_to_fit_ = fit;
  const Qt::ScrollBarPolicy policy = fit ? Qt::ScrollBarAlwaysOff : Qt::ScrollBarAsNeeded;
  setHorizontalScrollBarPolicy(policy);
  setVerticalScrollBarPolicy(policy);
  ImageSizeChanged();
}

void TFractalView::ImageSizeChanged() {
  UpdateScrollBars();
  updateGeometry();
  viewport()->update();
}

double TFractalView::Scale() const {
  const double actual = 1.0 / viewport()->devicePixelRatioF();
  if (!zoom_to_fit_ || bitmap_ == nullptr || bitmap_->Width() <= 0 || bitmap_->Height() <= 0)
    return actual;
  return std::min(static_cast<double>(viewport()->width()) / bitmap_->Width(),
                  static_cast<double>(viewport()->height()) / bitmap_->Height());
}

QRectF TFractalView::ImageRect() const {
  if (bitmap_ == nullptr) return {};
  const double scale = Scale();
  const double dpr = viewport()->devicePixelRatioF();
  const QSizeF size(bitmap_->Width() * scale, bitmap_->Height() * scale);
  // Centered while it fits, else placed by the scroll bar; on whole device pixels,
  // so that image pixels meet device pixels 1:1.
  const auto origin = [dpr](double extent, int room, int scrolled) {
    return (extent <= room ? std::floor((room - extent) * dpr / 2) : -std::round(scrolled * dpr)) /
           dpr;
  };
  return {QPointF(origin(size.width(), viewport()->width(), horizontalScrollBar()->value()),
                  origin(size.height(), viewport()->height(), verticalScrollBar()->value())),
          size};
}

QPointF TFractalView::MapToImage(QPointF viewport_pos) const {
  return (viewport_pos - ImageRect().topLeft()) / Scale();
}

QPointF TFractalView::MapFromImage(QPointF image_pos) const {
  return ImageRect().topLeft() + image_pos * Scale();
}

QRectF TFractalView::MapRectFromImage(const QRectF& rect) const {
  return QRectF(MapFromImage(rect.topLeft()), MapFromImage(rect.bottomRight()));
}

void TFractalView::UpdateScrollBars() {
  const QSizeF image = zoom_to_fit_ ? QSizeF() : ImageRect().size();
  const int width = static_cast<int>(std::ceil(image.width()));
  const int height = static_cast<int>(std::ceil(image.height()));
  // Decide from the room the area offers without bars, so that bars shown once
  // go again when the image fits; one bar can make the other necessary.
  const QSize room = maximumViewportSize();
  const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
  bool horizontal = width > room.width();
  bool vertical = height > room.height();
  horizontal = horizontal || (vertical && width > room.width() - bar);
  vertical = vertical || (horizontal && height > room.height() - bar);
  const auto setup = [](QScrollBar* scroll_bar, int extent, int space) {
    scroll_bar->setRange(0, std::max(0, extent - space));
    scroll_bar->setPageStep(std::max(1, space));
  };
  setup(horizontalScrollBar(), width, room.width() - (vertical ? bar : 0));
  setup(verticalScrollBar(), height, room.height() - (horizontal ? bar : 0));
}

QSize TFractalView::sizeHint() const {
  if (bitmap_ == nullptr) return QAbstractScrollArea::sizeHint();
  const double dpr = devicePixelRatioF();
  const int frame = 2 * frameWidth();
  return QSize(static_cast<int>(std::ceil(bitmap_->Width() / dpr)) + frame,
               static_cast<int>(std::ceil(bitmap_->Height() / dpr)) + frame);
}

void TFractalView::SetZoomBox(const QRectF& box) {
  zoom_box_ = box;
  viewport()->update();
}

void TFractalView::SetSelection(const QRectF& selection) {
  selection_ = selection;
  viewport()->update();
}

void TFractalView::SetPreview(QPointF offset, double angle) {
  preview_offset_ = offset;
  preview_angle_ = angle;
  preview_shown_ = true;
  clear_preview_after_ = -1;
  viewport()->update();
}

void TFractalView::ClearPreview() {
  clear_preview_after_ = -1;
  if (!preview_shown_) return;
  preview_shown_ = false;
  preview_offset_ = {};
  preview_angle_ = 0;
  viewport()->update();
}

void TFractalView::ClearPreviewOnNextImage() {
  if (preview_shown_) clear_preview_after_ = paints_.load();
}

void TFractalView::BitmapPainted(const TRect& rect) {
  {
    std::lock_guard<std::mutex> lock(dirty_mutex_);
    dirty_ = TRect::Union(dirty_, rect);
  }
  ++paints_;
  if (QThread::currentThread() == thread()) {
    // An animation frame drawn on this thread: show it before the next one is drawn.
    ShowDirty(true);
    return;
  }
  if (!repaint_posted_.exchange(true))
    QMetaObject::invokeMethod(
        this,
        [this] {
          // Cleared before the rectangle is taken, so a paint arriving meanwhile posts again.
          repaint_posted_ = false;
          ShowDirty(false);
        },
        Qt::QueuedConnection);
}

void TFractalView::ShowDirty(bool at_once) {
  TRect rect;
  {
    std::lock_guard<std::mutex> lock(dirty_mutex_);
    rect = dirty_;
    dirty_ = {};
  }
  if (clear_preview_after_ >= 0 && paints_.load() > clear_preview_after_) ClearPreview();
  if (rect.Empty()) return;
  // A preview may have moved any pixel anywhere.
  const QRect area =
      preview_shown_ ? viewport()->rect()
                     : MapRectFromImage(QRectF(rect.Left, rect.Top, rect.Width(), rect.Height()))
                           .toAlignedRect()
                           .adjusted(-1, -1, 1, 1);
  if (at_once)
    viewport()->repaint(area);
  else
    viewport()->update(area);
}

void TFractalView::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  UpdateScrollBars();
}

void TFractalView::scrollContentsBy(int, int) { viewport()->update(); }

void TFractalView::paintEvent(QPaintEvent* event) {
  QPainter painter(viewport());
  const QRect exposed = event->rect();
  const bool has_image = bitmap_ != nullptr && bitmap_->Width() > 0 && bitmap_->Height() > 0;
  QRegion background(exposed);
  if (has_image && !preview_shown_) background -= ImageRect().toAlignedRect();
  for (const QRect& part : background) painter.fillRect(part, kBackground);
  if (has_image) DrawImage(painter, exposed);
  if (!zoom_box_.isEmpty()) DrawBox(painter, MapRectFromImage(zoom_box_), false);
  if (!selection_.isEmpty()) DrawBox(painter, MapRectFromImage(selection_), true);
}

void TFractalView::DrawImage(QPainter& painter, const QRect& exposed) {
  const int width = bitmap_->Width();
  const int height = bitmap_->Height();
  // The bitmap's own rows, not a copy; their fourth byte is 0 rather than the
  // 0xFF the format promises (see below).
  const QImage image(reinterpret_cast<const uchar*>(bitmap_->Row(0)), width, height, width * 4,
                     QImage::Format_RGB32);
  const QRectF target = ImageRect();
  painter.save();
  if (preview_shown_) {
    const double scale = Scale();
    const QPointF center = MapFromImage(QPointF(width / 2.0, height / 2.0));
    painter.translate(preview_offset_ * scale);
    painter.translate(center);
    painter.rotate(preview_angle_ * 180 / std::numbers::pi);
    painter.translate(-center);
  }
  painter.setRenderHint(QPainter::SmoothPixmapTransform, Scale() * devicePixelRatioF() < 1);
  painter.drawImage(target, image);
  painter.restore();
  // Where the target keeps an alpha channel the copied rows arrive transparent:
  // black underneath makes them opaque and changes nothing that already is.
  if (!TargetHasAlpha(painter)) return;
  painter.setCompositionMode(QPainter::CompositionMode_DestinationOver);
  painter.fillRect(exposed, Qt::black);
  painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
}

void TFractalView::DrawBox(QPainter& painter, const QRectF& box, bool dotted) const {
  const QRectF outline = box.normalized().adjusted(0.5, 0.5, -0.5, -0.5);
  painter.setBrush(Qt::NoBrush);
  painter.setPen(QPen(Qt::black, 1));
  painter.drawRect(outline);
  painter.setPen(QPen(Qt::white, 1, dotted ? Qt::DotLine : Qt::DashLine));
  painter.drawRect(outline);
}

}  // namespace zt
