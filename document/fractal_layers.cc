// The document's layers (making, wiring, adding, deleting, moving, choosing the
// current one) and its snapshots for undo and redo.
#include "document/fractal.h"

#include <algorithm>
#include <cstdint>

#include "document/params/gradient_section.h"
#include "document/settings/config_manager.h"

namespace zt {

std::unique_ptr<TLayer> TFractal::NewLayer() {
  const TConfigManager& config = ConfigManager();
  auto layer = std::make_unique<TLayer>(
      TLayerDefaults{.Compile = config.CompileOptions(),
                     .BackgroundColor = static_cast<std::uint32_t>(config.BackgroundColor),
                     .GradientRGBMode = config.DefaultGradientRGBMode});
  LoadInitialGradient(config.DefaultGradientFile, config.DefaultGradientEntry, layer->Gradient());
  WireLayer(*layer);
  layer->SetPriority(priority_);
  layer->SetThreadCount(thread_count_);
  if (width_ > 0 || height_ > 0) layer->SetImageSize(width_, height_);
  return layer;
}

void TFractal::WireLayer(TLayer& layer) {
  layer.OnCalculationStart = [this](TLayerCalculate& sender) { CalculationStarted(sender); };
  layer.OnCalculationEnd = [this](TLayerCalculate& sender) { CalculationEnded(sender); };
  layer.OnChange = [this](TLayerCalculate& sender, int code) { LayerChanged(sender, code); };
  layer.OnInvalidate = [this](TLayerCalculate&, const TRect& rect) {
    update_manager_->Invalidate(rect);
  };
  // The layer's own handlers repaint it; the merge request follows them.
  auto gradient_changed = std::move(layer.Gradient().OnChange);
  layer.Gradient().OnChange = [this, gradient_changed](TGradient& sender) {
    if (gradient_changed) gradient_changed(sender);
    RequestMerge();
  };
  auto alpha_changed = std::move(layer.AlphaChannel().OnChange);
  layer.AlphaChannel().OnChange = [this, alpha_changed](TAlphaChannel& sender) {
    if (alpha_changed) alpha_changed(sender);
    RequestMerge();
  };
}

void TFractal::SyncUpdateDepth(TLayer& layer) {
  if (update_count_ == 0) {
    layer.EndUpdate();
    return;
  }
  for (int i = 1; i < update_count_; ++i) layer.BeginUpdate();
}

void TFractal::AppendLayer(std::unique_ptr<TLayer> layer) {
  TLayer& added = *layer;
  layers_->Add(std::move(layer));
  SyncUpdateDepth(added);
}

TLayer& TFractal::AddLayer(const std::string& caption) {
  if (layers_->Count() == 0) {
    std::unique_ptr<TLayer> layer = NewLayer();
    layer->SetCaption(caption);
    current_index_ = 0;
    AppendLayer(std::move(layer));
    return (*layers_)[0];
  }
  TLayer& source = CurrentLayer();
  // The copy must not race the pieces that write the pixels: a running
  // calculation is interrupted for the copy (which then resumes it) and continued.
  const bool was_calculating = source.State() == kLayerCalculating;
  if (was_calculating) source.Stop();
  const TLayerSnapshot settings = source.SaveSnapshot();
  const std::vector<std::uint8_t> state = source.SaveState();
  BeginUpdate();
  std::unique_ptr<TLayer> layer = NewLayer();
  layer->RestoreSnapshot(settings);
  layer->RestoreState(state);
  layer->SetCaption(caption);
  const TIndexImage& from = source.Image();
  TIndexImage& to = layer->Image();
  for (int y = 0; y < std::min(from.Height(), to.Height()); ++y)
    for (int x = 0; x < std::min(from.Width(), to.Width()); ++x)
      to.SetPixel(x, y, from.GetPixel(x, y));
  TLayer& added = *layer;
  layers_->Insert(current_index_, std::move(layer));
  SyncUpdateDepth(added);
  EndUpdate();
  if (was_calculating) source.Resume();
  return added;
}

bool TFractal::DeleteLayer(int index) {
  if (index < 0 || index >= layers_->Count() || layers_->Count() == 1) return false;
  // A layer that ends its calculation while it is being freed would report the
  // end with half of it gone.
  (*layers_)[index].Stop();
  layers_->Delete(index);
  return true;
}

void TFractal::MoveLayer(int from, int to) {
  if (from == to) return;
  layers_->Move(from, to);
}

void TFractal::ClearLayers() {
  for (int i = 0; i < layers_->Count(); ++i) (*layers_)[i].Stop();
  layers_->Clear();
}

void TFractal::SetCurrentLayer(int index) {
  if (index == current_index_) return;
  if (index < 0 || index >= layers_->Count()) throw EFractalError("Cannot set current layer");
  current_index_ = index;
  TLayer& layer = CurrentLayer();
  BeginUpdate();
  if (!layer.Visible()) layer.SetVisible(true);
  if (!layer.Selected()) {
    for (int i = 0; i < layers_->Count(); ++i) (*layers_)[i].SetSelected(false);
    layer.SetSelected(true);
  }
  Changed(false);
  EndUpdate();
}

std::unique_ptr<TFractalSnapshot> TFractal::CaptureSnapshot() {
  auto snapshot = std::make_unique<TFractalSnapshot>();
  snapshot->Width = width_;
  snapshot->Height = height_;
  snapshot->Resolution = resolution_;
  snapshot->Gamma = gamma_;
  snapshot->Title = title_.substr(0, kMaxSnapshotText);
  snapshot->Author = author_.substr(0, kMaxSnapshotText);
  snapshot->Created = created_.substr(0, kMaxSnapshotText);
  snapshot->Comments = comments_;
  snapshot->Elapsed = timer_->Elapsed();
  for (int i = 0; i < layers_->Count(); ++i)
    snapshot->Layers.push_back((*layers_)[i].SaveSnapshot());
  return snapshot;
}

void TFractal::RestoreSnapshot(const TFractalSnapshot& snapshot, bool keep_size) {
  SetResolution(snapshot.Resolution);
  SetGamma(snapshot.Gamma);
  title_ = snapshot.Title;
  author_ = snapshot.Author;
  created_ = snapshot.Created;
  comments_ = snapshot.Comments;
  timer_->SetElapsed(snapshot.Elapsed);
  const int count = static_cast<int>(snapshot.Layers.size());
  if (count != layers_->Count()) {
    layers_->BeginUpdate();
    ClearLayers();
    if (!keep_size) {
      SetWidth(snapshot.Width);
      SetHeight(snapshot.Height);
    }
    for (const TLayerSnapshot& layer_snapshot : snapshot.Layers) {
      std::unique_ptr<TLayer> layer = NewLayer();
      layer->RestoreSnapshot(layer_snapshot);
      AppendLayer(std::move(layer));
    }
    layers_->EndUpdate();
  } else {
    if (!keep_size) {
      SetWidth(snapshot.Width);
      SetHeight(snapshot.Height);
    }
    for (int i = 0; i < count; ++i)
      (*layers_)[i].RestoreSnapshot(snapshot.Layers[static_cast<std::size_t>(i)]);
  }
}

void TFractal::UndoRedone() {
  BeginUpdate();
  RestoreSnapshot(history_->Current(), false);
  for (int i = 0; i < layers_->Count(); ++i) (*layers_)[i].EndUpdate();
  // The restored state is the history's current entry: no new entry is made.
  if (--update_count_ < 1) {
    update_count_ = 0;
    update_manager_->EndStop();
    update_manager_->InvalidateAll();
    undo_pending_ = false;
    if (change_pending_) FireChange();
  }
  last_change_id_ = 0;
}

}  // namespace zt
