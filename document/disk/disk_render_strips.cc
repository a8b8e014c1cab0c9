// The strip loop of a single disk render (see disk_render.h): each layer of a
// strip calculated, colored, anti-aliased and merged; the finished strip
// written; the image saved at the end; and the resume data of a stop.
//
// A crash may come between any two writes. Finished data only ever go where
// no data the head points at stand: resume data (the overlap rows of a
// finished strip too) are written behind the strip being rendered and behind
// the resume data still in force, and the head, rewritten last in one write,
// is what switches from the old ones to the new.
#include <algorithm>
#include <cstring>

#include "color/merge_modes.h"
#include "document/disk/disk_render.h"
#include "document/disk/strip_export.h"
#include "render/calc_state.h"

namespace zt {

namespace {

struct TSaveCancelled {};

}  // namespace

bool TDiskRender::Step() {
  switch (phase_) {
    case TPhase::kCalculating:
      if (Current().Done(strip_)) {
        LayerCalculated();
      } else if (Current().IdleThreads(strip_) > 0) {
        CalculateAhead();
      }
      break;
    case TPhase::kAntiAliasing:
      if (anti_alias_done_) {
        anti_alias_.reset();
        FinishLayer();
      }
      break;
    case TPhase::kStripReady:
      position_ = 0;
      if (layers_.empty()) {
        FinishStrip();
      } else {
        StartLayer();
      }
      break;
    case TPhase::kSaving: Save(); break;
    case TPhase::kFinished:
    case TPhase::kCancelled: break;
  }
  return phase_ != TPhase::kFinished && phase_ != TPhase::kCancelled;
}

bool TDiskRender::Waiting() const {
  if (phase_ == TPhase::kCalculating) {
    return !Current().Done(strip_) && (ahead_ || Current().IdleThreads(strip_) == 0);
  }
  return phase_ == TPhase::kAntiAliasing && !anti_alias_done_;
}

void TDiskRender::StartLayer() {
  phase_ = TPhase::kCalculating;
  if (ahead_) {
    ahead_ = nullptr;  // already under way
    return;
  }
  Current().Place(strip_, head_.Width, head_.Height, layout_->FirstCalculatedRow(strip_),
                  layout_->CalculatedRows(strip_));
  Current().Start(strip_);
}

// The calculation after (strip, position) of the bottom-up, strip-by-strip
// order runs on the next layer, or on the bottom layer's other copy for the
// next strip; neither is read by the work left for the current one. Stopped
// ahead, its work is lost and done again on resume.
void TDiskRender::CalculateAhead() {
  if (ahead_) return;
  int strip = strip_;
  int position = position_ + 1;
  if (position == head_.Layers) {
    position = 0;
    if (++strip == layout_->Strips()) return;
  }
  TStripLayer& layer = *layers_[static_cast<std::size_t>(position)];
  layer.Place(strip, head_.Width, head_.Height, layout_->FirstCalculatedRow(strip),
              layout_->CalculatedRows(strip));
  layer.Start(strip);
  ahead_ = &layer;
  ahead_strip_ = strip;
}

void TDiskRender::StopAhead() {
  if (!ahead_) return;
  ahead_->Stop(ahead_strip_);
  ahead_ = nullptr;
}

void TDiskRender::LayerCalculated() {
  // Coloring, anti-aliasing and saving the strip leave the threads idle.
  CalculateAhead();
  Current().Color(strip_, grid_.data());
  if (head_.Depth > 0) {
    StartAntiAlias(nullptr);
  } else {
    FinishLayer();
  }
}

void TDiskRender::StartAntiAlias(const TPieceState* resume) {
  TLayer& layer = Current().Layer(strip_);
  // The grid's row 0 is the strip's first row: the store's row 0 on the first
  // strip, the row above it on later ones.
  const int top = strip_ * head_.RowsPerStrip - Current().FirstRow(strip_);
  anti_alias_ = std::make_unique<TComputeAntiAliasing>(layer.Mapping(), layer.Formula(),
                                                       layer.InsideColoring(),
                                                       layer.OutsideColoring(), layer.Image());
  anti_alias_->SetRect({0, top, head_.Width, top + layout_->StripRows(strip_)});
  anti_alias_->SetThreshold(head_.Threshold);
  anti_alias_->SetDepth(head_.Depth);
  anti_alias_->SetColorTable(reinterpret_cast<const std::uint8_t*>(layer.ConvertTable()));
  anti_alias_->SetUseAlpha(layer.UseAlpha());
  anti_alias_->SetImage(grid_.data(), head_.Width + 1, top);
  anti_alias_->SetPriority(options_.Priority);
  if (resume) anti_alias_->RestoreState(*resume);
  anti_alias_done_ = false;
  anti_alias_->OnTerminate = [this](TSafeThread&) { anti_alias_done_ = true; };
  anti_alias_->Start();
  phase_ = TPhase::kAntiAliasing;
}

void TDiskRender::FinishLayer() {
  const int rows = layout_->StripRows(strip_);
  const std::size_t width = static_cast<std::size_t>(head_.Width);
  const std::size_t stride = width + 1;
  if (layout_->PSDLayers()) {
    std::vector<std::uint32_t> block(width * static_cast<std::size_t>(rows));
    for (int y = 0; y < rows; ++y)
      std::copy_n(grid_.begin() + static_cast<std::ptrdiff_t>(y * stride), width,
                  block.begin() + static_cast<std::ptrdiff_t>(y * width));
    Write(layout_->BlockOffset(strip_, position_), block.data(), block.size() * 4);
  }
  // The bottom layer's colors are the start; each layer above is merged onto
  // them as the document merges its rows.
  if (position_ > 0) {
    const TLayer& layer = Current().Layer(strip_);
    for (int y = 0; y < rows; ++y) {
      std::uint32_t* top = grid_.data() + y * stride;
      const std::uint32_t* bottom = accumulated_.data() + y * stride;
      MergeRow(layer.MergeMode(), bottom, top, head_.Width, layer.OpacityTable());
      if (layer.UseAlpha()) AlphaOverRow(top, bottom, head_.Width);
    }
  }
  grid_.swap(accumulated_);
  if (++position_ < head_.Layers) {
    StartLayer();
  } else {
    FinishStrip();
  }
}

std::vector<std::uint8_t> TDiskRender::OverlapRows() {
  std::vector<std::uint8_t> rows(layout_->OverlapBytes());
  const std::size_t row_bytes = layers_.empty() ? 0 : rows.size() / layers_.size();
  // In list order: the top layer, calculated last, first.
  for (std::size_t i = 0; i < layers_.size(); ++i)
    std::memcpy(rows.data() + i * row_bytes, layers_[layers_.size() - 1 - i]->Overlap().data(),
                row_bytes);
  return rows;
}

void TDiskRender::FinishStrip() {
  const int rows = layout_->StripRows(strip_);
  const std::size_t width = static_cast<std::size_t>(head_.Width);
  std::vector<std::uint8_t> merged(width * 3 * static_cast<std::size_t>(rows));
  if (!layers_.empty()) {
    std::uint8_t* out = merged.data();
    for (int y = 0; y < rows; ++y) {
      const std::uint32_t* row = accumulated_.data() + y * (width + 1);
      for (std::size_t x = 0; x < width; ++x, out += 3) {
        out[0] = static_cast<std::uint8_t>(row[x]);
        out[1] = static_cast<std::uint8_t>(row[x] >> 8);
        out[2] = static_cast<std::uint8_t>(row[x] >> 16);
      }
    }
  }
  Write(layout_->MergedOffset(strip_), merged.data(), merged.size());
  const std::uint64_t resume = std::max(layout_->StripOffset(strip_ + 2), LiveEnd());
  const std::vector<std::uint8_t> overlap = OverlapRows();
  Write(resume, overlap.data(), overlap.size());
  head_.StripMarker = strip_;
  head_.LayerMarker = -1;
  head_.InAntiAlias = false;
  head_.ResumeOffset = resume;
  head_.Elapsed = Now() - start_;
  WriteHead();
  ++strip_;
  phase_ = strip_ == layout_->Strips() ? TPhase::kSaving : TPhase::kStripReady;
}

void TDiskRender::Save() {
  save_share_ = 0;
  try {
    ExportStrips(store_, base_, head_, settings_, *document_, [this](double share) {
      save_share_ = share;
      if (OnSaving && !OnSaving(share)) throw TSaveCancelled{};
    });
  } catch (const TSaveCancelled&) {
    Cancel();
    return;
  }
  phase_ = TPhase::kFinished;
  if (own_store_) own_store_->Remove();
}

void TDiskRender::SetPriority(int priority) {
  options_.Priority = priority;
  for (auto& layer : layers_) layer->SetPriority(priority);
  if (anti_alias_) anti_alias_->SetPriority(priority);
}

void TDiskRender::Cancel() {
  StopAhead();
  switch (phase_) {
    case TPhase::kCalculating:
      Current().Stop(strip_);
      WriteUnderWay(false);
      break;
    case TPhase::kAntiAliasing:
      anti_alias_->Terminate();
      anti_alias_->Abort();
      TSafeThread::SafeWaitFor(anti_alias_.get());
      WriteUnderWay(true);
      break;
    case TPhase::kStripReady:
    case TPhase::kSaving:
      head_.Elapsed = Now() - start_;
      WriteHead();
      break;
    case TPhase::kFinished:
    case TPhase::kCancelled: return;
  }
  store_.Sync();
  phase_ = TPhase::kCancelled;
}

void TDiskRender::WriteUnderWay(bool anti_aliasing) {
  const std::uint64_t resume = std::max(layout_->StripOffset(strip_ + 1), LiveEnd());
  std::uint64_t at = resume;
  const auto put = [&](const void* data, std::size_t size) {
    Write(at, data, size);
    at += size;
  };
  put(accumulated_.data(), accumulated_.size() * 4);
  const std::vector<std::uint8_t> overlap = OverlapRows();
  put(overlap.data(), overlap.size());
  TLayer& layer = Current().Layer(strip_);
  const TIndexImage& image = layer.Image();
  put(image.Row(0), static_cast<std::size_t>(image.Width()) * image.Height() * 2);
  std::vector<std::uint8_t> state = layer.SaveState();
  state.resize(kStateRecordBytes);
  put(state.data(), state.size());
  if (anti_aliasing) {
    put(grid_.data(), grid_.size() * 4);
    std::uint8_t record[kPieceRecordBytes];
    EncodePieceRecord(anti_alias_->SaveState(), record);
    put(record, sizeof record);
  }
  // The data reach the disk before the head that points at them.
  store_.Sync();
  head_.StripMarker = strip_;
  head_.LayerMarker = position_;
  head_.InAntiAlias = anti_aliasing;
  head_.ResumeOffset = resume;
  head_.Elapsed = Now() - start_;
  WriteHead();
}

}  // namespace zt
