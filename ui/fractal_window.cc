// The document window: its parts, the calculation commands and the status line;
// see fractal_window.h.
#include "ui/fractal_window.h"

#include <QFontMetrics>
#include <QLabel>
#include <QMetaObject>
#include <QStatusBar>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

#include "render/fractal_timer.h"
#include "ui/fractal_view.h"
#include "ui/navigation.h"

namespace zt {

namespace {

// How often the status line follows a running calculation.
constexpr int kProgressInterval = 250;

QString Text(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

TFractalWindow::TFractalWindow(std::unique_ptr<TFractal> fractal, QWidget* parent)
    : QWidget(parent), fractal_(std::move(fractal)) {
  view_ = new TFractalView(this);
  navigation_ = new TNavigation(*fractal_, *view_);
  auto* status = new QStatusBar(this);
  status->setSizeGripEnabled(false);
  progress_label_ = new QLabel(status);
  time_label_ = new QLabel(status);
  size_label_ = new QLabel(status);
  layers_label_ = new QLabel(status);
  formula_label_ = new QLabel(status);
  // Room for the widest texts, so that the line does not shift while they change.
  const QFontMetrics metrics(status->font());
  progress_label_->setMinimumWidth(metrics.horizontalAdvance(QStringLiteral("100%  ")));
  time_label_->setMinimumWidth(metrics.horizontalAdvance(QStringLiteral("00:00:00.00  ")));
  status->addWidget(progress_label_);
  status->addWidget(time_label_);
  status->addWidget(size_label_);
  status->addWidget(layers_label_);
  status->addWidget(formula_label_, 1);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(view_, 1);
  layout->addWidget(status);

  progress_timer_ = new QTimer(this);
  progress_timer_->setInterval(kProgressInterval);
  connect(progress_timer_, &QTimer::timeout, this, &TFractalWindow::UpdateStatus);
  connect(navigation_, &TNavigation::SelectionChanged, this, &TFractalWindow::SelectionChanged);

  fractal_->OnCalculationStart = [this](TFractal&) { CalculationStarted(); };
  fractal_->OnCalculationEnd = [this](TFractal&) { CalculationEnded(); };
  fractal_->OnChange = [this](TFractal&) { Changed(); };
  // Nothing may paint while the view takes over the bitmap's notification.
  fractal_->UpdateManager().BeginStop();
  view_->SetBitmap(&fractal_->Bitmap());
  fractal_->UpdateManager().EndStop();
  fractal_->UpdateManager().InvalidateAll();
  // The document may have started calculating before it had a window.
  if (fractal_->IsCalculating()) progress_timer_->start();
  Changed();
}

TFractalWindow::~TFractalWindow() {
  // The navigation filters the view's events; the view sends some while its
  // own destructor runs, when it is no longer a view.
  delete navigation_;
  fractal_->OnCalculationStart = nullptr;
  fractal_->OnCalculationEnd = nullptr;
  fractal_->OnChange = nullptr;
  // A stopped manager draws nothing, also while the document's destructor ends
  // the calculations, so the view may let go of the bitmap first.
  fractal_->UpdateManager().BeginStop();
  view_->SetBitmap(nullptr);
  fractal_.reset();
}

QString TFractalWindow::ProgressText() const {
  if (IsCalculated()) return QStringLiteral("100%");
  std::int64_t done = 0;
  std::int64_t total = 0;
  for (int i = 0; i < fractal_->Layers().Count(); ++i) {
    const TLayer& layer = fractal_->Layers()[i];
    const std::int64_t pixels = layer.TotalPixels();
    total += pixels;
    done += layer.State() == kLayerIdle && !layer.RecalculationPending()
                ? pixels
                : std::min(layer.Statistics().PixelsDone, pixels);
  }
  const int percent = total > 0 ? static_cast<int>(100 * done / total) : 0;
  // 100% is kept for a finished document.
  return QStringLiteral("%1%").arg(std::clamp(percent, 0, 99));
}

bool TFractalWindow::IsCalculated() const {
  if (fractal_->IsCalculating() || fractal_->UpdateCount() > 0) return false;
  for (int i = 0; i < fractal_->Layers().Count(); ++i) {
    const TLayer& layer = fractal_->Layers()[i];
    if (layer.State() != kLayerIdle || layer.RecalculationPending()) return false;
  }
  return true;
}

void TFractalWindow::SetZoomToFit(bool fit) { view_->SetZoomToFit(fit); }

bool TFractalWindow::ZoomToFit() const { return view_->ZoomToFit(); }

void TFractalWindow::StopCalculation() {
  for (int i = 0; i < fractal_->Layers().Count(); ++i) fractal_->Layers()[i].Stop();
}

void TFractalWindow::ResumeCalculation() {
  for (int i = 0; i < fractal_->Layers().Count(); ++i) fractal_->Layers()[i].Resume();
}

void TFractalWindow::Recalculate() {
  fractal_->BeginUpdate();
  for (int i = 0; i < fractal_->Layers().Count(); ++i) {
    TLayer& layer = fractal_->Layers()[i];
    layer.Forget();
    layer.Recalculate();
  }
  fractal_->EndUpdate();
}

bool TFractalWindow::HasSelection() const { return navigation_->HasSelection(); }

void TFractalWindow::CropToSelection() { navigation_->CropToSelection(); }

void TFractalWindow::CalculationStarted() {
  progress_timer_->start();
  UpdateStatus();
}

void TFractalWindow::CalculationEnded() {
  progress_timer_->stop();
  UpdateStatus();
  if (finish_posted_) return;
  // The layer that ended may be one of several still to recalculate (a navigation
  // stops them all first): decide once the call that ended it has returned.
  finish_posted_ = true;
  QMetaObject::invokeMethod(
      this,
      [this] {
        finish_posted_ = false;
        if (IsCalculated()) emit CalculationFinished();
      },
      Qt::QueuedConnection);
}

void TFractalWindow::Changed() {
  if (fractal_->Width() != shown_width_ || fractal_->Height() != shown_height_) {
    shown_width_ = fractal_->Width();
    shown_height_ = fractal_->Height();
    view_->ImageSizeChanged();
  }
  setWindowTitle(Text(fractal_->Title()));
  UpdateStatus();
  emit DocumentChanged();
}

void TFractalWindow::UpdateStatus() {
  TLayerList& layers = fractal_->Layers();
  time_label_->setText(Text(fractal_->Timer().ElapsedText()));
  size_label_->setText(QStringLiteral("%1 x %2").arg(fractal_->Width()).arg(fractal_->Height()));
  layers_label_->setText(layers.Count() == 1 ? QStringLiteral("1 layer")
                                             : QStringLiteral("%1 layers").arg(layers.Count()));
  if (layers.Count() > 0) {
    const TLayer& layer = fractal_->CurrentLayer();
    formula_label_->setText(QStringLiteral("%1: %2, %3 iterations")
                                .arg(Text(layer.Caption()), Text(layer.Formula().Title()))
                                .arg(layer.Formula().MaxIterations()));
  }
  const QString progress = ProgressText();
  progress_label_->setText(progress);
  if (progress == progress_text_) return;
  progress_text_ = progress;
  emit ProgressChanged();
}

}  // namespace zt
