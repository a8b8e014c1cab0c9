// The single disk render (see disk_render.h): starting, the strip loop,
// stopping with the resume data, and resuming from them.
#include "document/disk/disk_render.h"

#include <algorithm>
#include <cstring>
#include <filesystem>

#include "document/disk/render_progress.h"
#include "document/disk/strip_export.h"
#include "document/settings/config_manager.h"
#include "platform/format.h"
#include "render/calc_state.h"
#include "render/fractal_timer.h"

namespace zt {

namespace {

TLayerDefaults LayerDefaults() {
  const TConfigManager& config = ConfigManager();
  return {config.CompileOptions(), static_cast<std::uint32_t>(config.BackgroundColor),
          config.DefaultGradientRGBMode};
}

}  // namespace

std::string TemporaryFileFor(const std::string& destination) {
  return std::filesystem::path(destination).replace_extension(".zdr").string();
}

std::unique_ptr<TDiskRender> TDiskRender::Start(const TRenderSettings& settings,
                                                const std::string& text,
                                                const TRenderOptions& options) {
  auto store = TRenderStore::Create(TemporaryFileFor(settings.Destination));
  std::unique_ptr<TDiskRender> render;
  try {
    render = std::make_unique<TDiskRender>(*store, 0, settings, text, options);
  } catch (...) {
    store->Remove();
    throw;
  }
  render->own_store_ = std::move(store);
  return render;
}

std::unique_ptr<TDiskRender> TDiskRender::Resume(const std::string& name,
                                                 const TRenderOptions& options) {
  auto store = TRenderStore::Open(name);
  std::uint8_t bytes[kRenderHeadSize];
  if (!store->Read(0, bytes, sizeof bytes))
    throw ERenderError(Format("Invalid disk render file '%s'", name.c_str()));
  const TRenderHead head = DecodeRenderHead(bytes, name);
  const std::string destination =
      std::filesystem::path(name).replace_extension(ImageExtension(head.Format)).string();
  auto render = std::make_unique<TDiskRender>(*store, 0, destination, options);
  render->own_store_ = std::move(store);
  return render;
}

TDiskRender::TDiskRender(TRenderStore& store, std::uint64_t base, const TRenderSettings& settings,
                         const std::string& text, const TRenderOptions& options)
    : store_(store), base_(base), settings_(settings), options_(options) {
  if (settings.Width < 1 || settings.Width > kMaxRenderSide || settings.Height < 1 ||
      settings.Height > kMaxRenderSide)
    throw ERenderError(Format("Cannot render an image of %d x %d pixels (1 to %d each)",
                              settings.Width, settings.Height, kMaxRenderSide));
  const int side = FormatMaxSide(settings.Format);
  if (settings.Width > side || settings.Height > side)
    throw ERenderError(Format("Cannot export '%s': the format holds at most %d x %d pixels",
                              settings.Destination.c_str(), side, side));
  document_ = std::make_unique<TRenderDocument>(text);
  const std::string stored = document_->ParameterText(settings.Width, settings.Height);
  head_.TextLength = static_cast<std::uint32_t>(stored.size());
  head_.RowsPerStrip = RowsPerStrip(settings.Width);
  head_.Width = settings.Width;
  head_.Height = settings.Height;
  head_.Layers = static_cast<int>(document_->Rendered().size());
  head_.Threshold = settings.Threshold;
  head_.Depth = settings.Depth;
  head_.Format = settings.Format;
  // Without a rendered layer a Photoshop file has no layers to list.
  if (head_.Layers == 0) settings_.Options.PSDLayers = false;
  head_.Options = settings_.Options;
  Load(stored);
  // The text before the head: a head on the disk always has its text behind it.
  Write(kRenderHeadSize, stored.data(), stored.size());
  WriteHead();
  start_ = Now();
}

TDiskRender::TDiskRender(TRenderStore& store, std::uint64_t base, const std::string& destination,
                         const TRenderOptions& options)
    : store_(store), base_(base), options_(options) {
  std::uint8_t bytes[kRenderHeadSize];
  Read(0, bytes, sizeof bytes);
  head_ = DecodeRenderHead(bytes, store_.Name());
  settings_ = {destination, head_.Width,  head_.Height, head_.Threshold,
               head_.Depth, head_.Format, head_.Options};
  // The sizes first: a file cut short is refused before anything is loaded.
  layout_ = std::make_unique<TRenderLayout>(head_);
  if (store_.Size() < base_ + std::max(layout_->FinishedEnd(head_), LiveEnd())) Invalid();
  std::string text(head_.TextLength, '\0');
  Read(kRenderHeadSize, text.data(), text.size());
  try {
    const TFractalKeys keys = ScanFractalKeys(text);
    if (keys.Width != head_.Width || keys.Height != head_.Height) Invalid();
    document_ = std::make_unique<TRenderDocument>(text);
  } catch (const ERenderError&) {
    throw;
  } catch (const EZentrope&) {
    Invalid();
  }
  if (static_cast<int>(document_->Rendered().size()) != head_.Layers)
    throw ERenderError(Format("Disk render file is corrupted: %s", store_.Name().c_str()));
  Load(text);
  Continue();
  start_ = Now() - head_.Elapsed;
}

TDiskRender::~TDiskRender() {
  // The pass reads the grid and a layer's objects: it goes first.
  anti_alias_.reset();
  layers_.clear();
}

void TDiskRender::Read(std::uint64_t at, void* data, std::size_t size) const {
  if (!store_.Read(base_ + at, data, size)) Invalid();
}

void TDiskRender::Write(std::uint64_t at, const void* data, std::size_t size) {
  store_.Write(base_ + at, data, size);
}

void TDiskRender::WriteHead() {
  const TRenderHeadBytes bytes = EncodeRenderHead(head_);
  Write(0, bytes.data(), bytes.size());
}

void TDiskRender::Invalid() const {
  throw ERenderError(Format("Invalid disk render file '%s'", store_.Name().c_str()));
}

double TDiskRender::Now() const { return TFractalTimer::SystemClock(); }

std::uint64_t TDiskRender::LiveEnd() const {
  return layout_->ResumeStart(head_) + layout_->ResumeBytes(head_);
}

void TDiskRender::Load(const std::string& text) {
  const std::vector<std::string> failed = document_->FailedEntries();
  if (!failed.empty()) {
    std::string message = "Could not compile " + failed[0];
    for (std::size_t i = 1; i < failed.size(); ++i) message += "\rCould not compile " + failed[i];
    throw ERenderError(message);
  }
  layout_ = std::make_unique<TRenderLayout>(head_);
  grid_.assign(layout_->GridPixels(), 0);
  accumulated_.assign(layout_->GridPixels(), 0);
  const TLayerDefaults defaults = LayerDefaults();
  const std::vector<int>& rendered = document_->Rendered();
  // Calculation position 0 is the bottom layer, the last one in the list.
  for (auto it = rendered.rbegin(); it != rendered.rend(); ++it)
    layers_.push_back(std::make_unique<TStripLayer>(document_->Fractal().Layers()[*it], defaults,
                                                    head_.Width, options_.ThreadCount,
                                                    options_.Priority));
}

// Sets the render up where the head says it stands.
void TDiskRender::Continue() {
  if (head_.ResumeOffset == 0 && layout_->ResumeBytes(head_) > 0) {
    // Resume data right behind the finished data would be overwritten by the
    // next strip before the head stops pointing at them: moved out of the way.
    std::vector<std::uint8_t> data(layout_->ResumeBytes(head_));
    const std::uint64_t old = layout_->FinishedEnd(head_);
    Read(old, data.data(), data.size());
    head_.ResumeOffset = std::max(layout_->StripOffset(head_.StripMarker + 2), old + data.size());
    Write(head_.ResumeOffset, data.data(), data.size());
    WriteHead();
  }
  if (head_.LayerMarker >= 0) return RestoreUnderWay();
  if (head_.StripMarker >= 0) {
    const std::vector<std::uint8_t> rows = OverlapRows();
    std::vector<std::uint8_t> stored(rows.size());
    Read(layout_->ResumeStart(head_), stored.data(), stored.size());
    const std::size_t row_bytes = layers_.empty() ? 0 : rows.size() / layers_.size();
    for (std::size_t i = 0; i < layers_.size(); ++i)
      std::memcpy(layers_[layers_.size() - 1 - i]->Overlap().data(), stored.data() + i * row_bytes,
                  row_bytes);
  }
  strip_ = head_.StripMarker + 1;
  phase_ = strip_ == layout_->Strips() ? TPhase::kSaving : TPhase::kStripReady;
}

void TDiskRender::RestoreUnderWay() {
  strip_ = head_.StripMarker;
  position_ = head_.LayerMarker;
  std::uint64_t at = layout_->ResumeStart(head_);
  Read(at, accumulated_.data(), accumulated_.size() * 4);
  at += accumulated_.size() * 4;
  std::vector<std::uint8_t> overlap(layout_->OverlapBytes());
  Read(at, overlap.data(), overlap.size());
  at += overlap.size();
  const std::size_t row_bytes = layers_.size() > 0 ? overlap.size() / layers_.size() : 0;
  for (std::size_t i = 0; i < layers_.size(); ++i)
    std::memcpy(layers_[layers_.size() - 1 - i]->Overlap().data(), overlap.data() + i * row_bytes,
                row_bytes);
  TStripLayer& layer = Current();
  layer.Place(strip_, head_.Width, head_.Height, layout_->FirstCalculatedRow(strip_),
              layout_->CalculatedRows(strip_));
  std::vector<std::uint16_t> pixels((layout_->StoreBytes(strip_) - kStateRecordBytes) / 2);
  Read(at, pixels.data(), pixels.size() * 2);
  at += pixels.size() * 2;
  std::vector<std::uint8_t> state(kStateRecordBytes);
  Read(at, state.data(), state.size());
  at += state.size();
  if (!head_.InAntiAlias) {
    try {
      layer.Restore(strip_, pixels, state);
    } catch (const EZentrope&) {
      Invalid();
    }
    layer.Start(strip_);
    phase_ = TPhase::kCalculating;
    return;
  }
  Read(at, grid_.data(), grid_.size() * 4);
  at += grid_.size() * 4;
  std::uint8_t record[kPieceRecordBytes];
  Read(at, record, sizeof record);
  TPieceState piece;
  try {
    piece = DecodePieceRecord(record);
  } catch (const EZentrope&) {
    Invalid();
  }
  const int top = strip_ * head_.RowsPerStrip - layer.FirstRow(strip_);
  const TRect rect{0, top, head_.Width, top + layout_->StripRows(strip_)};
  const bool finished = piece.State == kComputeFinished;
  if (!(piece.Rect == rect) ||
      (!finished &&
       (piece.State != kComputeInterrupted || piece.ResumeY < rect.Top ||
        piece.ResumeY >= rect.Bottom || piece.ResumeX < rect.Left || piece.ResumeX >= rect.Right)))
    Invalid();
  if (finished) {
    FinishLayer();
  } else {
    StartAntiAlias(&piece);
  }
}

TRenderFigures TDiskRender::Figures() const {
  TRenderFigures figures;
  figures.Width = head_.Width;
  figures.Height = head_.Height;
  figures.Destination = settings_.Destination;
  figures.Elapsed = phase_ == TPhase::kCancelled ? head_.Elapsed : Now() - start_;
  if (phase_ == TPhase::kSaving || phase_ == TPhase::kFinished) {
    figures.Saving = true;
    figures.Share = phase_ == TPhase::kFinished ? 1 : save_share_;
    return figures;
  }
  TStripPosition position{head_.Layers,     strip_, head_.RowsPerStrip, head_.Height, 0,
                          head_.Layers - 1, 0};
  if (phase_ == TPhase::kCalculating || phase_ == TPhase::kAntiAliasing) {
    const TLayer& layer = layers_[static_cast<std::size_t>(position_)]->Layer(strip_);
    const TCalcStatistics statistics = layer.Statistics();
    const bool in_pass = phase_ == TPhase::kAntiAliasing;
    position.StoreRows = layout_->CalculatedRows(strip_);
    position.ListIndex = head_.Layers - 1 - position_;
    position.LayerShare = LayerShare(static_cast<double>(statistics.PixelsDone),
                                     static_cast<double>(layer.TotalPixels()), head_.Depth,
                                     double(head_.Width) * layout_->StripRows(strip_), in_pass,
                                     in_pass ? static_cast<double>(anti_alias_->PixelsDone()) : 0);
  }
  figures.Share = ImageShare(position);
  return figures;
}

}  // namespace zt
