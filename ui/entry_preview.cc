// Calculating a parameter set's preview in the background.
#include "ui/entry_preview.h"

#include <algorithm>

#include "document/fractal.h"
#include "document/fractal_params.h"
#include "document/params/par_reader.h"
#include "document/settings/config_manager.h"

namespace zt {
namespace {

constexpr int kDelayMs = 150;
constexpr int kPollMs = 50;

bool Calculated(TFractal& fractal) {
  if (fractal.IsCalculating() || fractal.UpdateCount() > 0) return false;
  for (int i = 0; i < fractal.Layers().Count(); ++i) {
    const TLayer& layer = fractal.Layers()[i];
    if (layer.State() != kLayerIdle || layer.RecalculationPending()) return false;
  }
  return true;
}

}  // namespace

QSize PreviewSize(int width, int height, QSize box) {
  if (width <= 0 || height <= 0) return box;
  QSize size(box.width(), static_cast<int>(static_cast<long long>(box.width()) * height / width));
  if (size.height() > box.height())
    size = QSize(static_cast<int>(static_cast<long long>(box.height()) * width / height),
                 box.height());
  return size.expandedTo(QSize(1, 1));
}

TEntryPreview::TEntryPreview(QSize box, QObject* parent) : QObject(parent), box_(box) {
  delay_.setSingleShot(true);
  delay_.setInterval(kDelayMs);
  connect(&delay_, &QTimer::timeout, this, &TEntryPreview::Start);
  poll_.setInterval(kPollMs);
  connect(&poll_, &QTimer::timeout, this, &TEntryPreview::Check);
}

TEntryPreview::~TEntryPreview() = default;

void TEntryPreview::Request(const std::string& file, const std::string& entry) {
  Cancel();
  file_ = file;
  entry_ = entry;
  delay_.start();
}

void TEntryPreview::Cancel() {
  delay_.stop();
  poll_.stop();
  // The document stops its threads as it goes.
  fractal_.reset();
}

bool TEntryPreview::Busy() const { return delay_.isActive() || fractal_ != nullptr; }

void TEntryPreview::Start() {
  const TConfigManager& config = ConfigManager();
  auto fractal = std::make_unique<TFractal>(entry_);
  fractal->SetThreadCount(config.ThreadNumber);
  fractal->SetPriority(config.BrowserPriority);
  try {
    // The set's own size gives the aspect; the document takes the preview size
    // before any layer is sized, and no question or message interrupts.
    TParReader r;
    r.Quiet = true;
    r.LoadFromFile(file_, entry_);
    std::string key;
    const bool sections = !r.ReadKey(key) && r.SectionName() == "fractal";
    const TFractalKeys keys = sections ? ReadFractalKeys(r) : TFractalKeys{};
    const QSize size = PreviewSize(keys.Width.value_or(4), keys.Height.value_or(3), box_);
    r.SelectEntry(entry_);
    fractal->BeginUpdate();
    struct TClose {
      TFractal& Fractal;
      ~TClose() { Fractal.EndUpdate(); }
    } close{*fractal};
    fractal->SetWidth(size.width());
    fractal->SetHeight(size.height());
    fractal->LoadFromParameters(r, true);
    for (int i = 0; i < fractal->Layers().Count(); ++i) {
      TLayer& layer = fractal->Layers()[i];
      layer.SetMethod(config.BrowserMethod);
      layer.Formula().SetPeriodicity(config.BrowserPerCheck);
    }
  } catch (const EZentrope& e) {
    emit Failed(QString::fromUtf8(e.what()), QString::fromStdString(entry_));
    return;
  }
  fractal_ = std::move(fractal);
  poll_.start();
}

void TEntryPreview::Check() {
  if (fractal_ == nullptr || !Calculated(*fractal_)) return;
  poll_.stop();
  const TDirectBitmap& bitmap = fractal_->Bitmap();
  const QImage image = QImage(reinterpret_cast<const uchar*>(bitmap.Row(0)), bitmap.Width(),
                              bitmap.Height(), bitmap.Width() * 4, QImage::Format_RGB32)
                           .copy();
  fractal_.reset();
  emit Ready(image, QString::fromStdString(entry_));
}

}  // namespace zt
