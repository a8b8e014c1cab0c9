// The layer calculation: ownership, change batching, starting, stopping and
// resuming pieces, statistics and the state record (see layer_calculate.h). The
// symmetry phases are in layer_symmetry.cc.
#include "render/layer_calculate.h"

#include <algorithm>

#include "platform/error.h"
#include "render/compute_factory.h"
#include "render/piece_grid.h"

namespace zt {

namespace {

constexpr int kStopPriority = 4;

bool Inside(const TRect& inner, int width, int height) {
  return inner.Left >= 0 && inner.Top >= 0 && inner.Left <= inner.Right &&
         inner.Top <= inner.Bottom && inner.Right <= width && inner.Bottom <= height;
}

// A restored piece must stay inside the image, and so must the position it resumes at.
bool PieceFits(const TPieceState& piece, int width, int height) {
  const TRect& r = piece.Rect;
  if (!Inside(r, width, height) || piece.Passes < 0 || piece.Passes > 16) return false;
  if (piece.State != kComputeInterrupted) return true;
  return piece.ResumeX >= r.Left && piece.ResumeX <= r.Right && piece.ResumeY >= r.Top &&
         piece.ResumeY <= r.Bottom && piece.CurrentPass >= 0 && piece.CurrentPass <= piece.Passes;
}

}  // namespace

TLayerCalculate::TLayerCalculate()
    : image_(std::make_unique<TIndexImage>()),
      mapping_(std::make_unique<TMapping>()),
      formula_(std::make_unique<TFormula>()),
      inside_(std::make_unique<TColoring>(true)),
      outside_(std::make_unique<TColoring>(false)),
      priority_(kDefaultPriority),
      update_count_(1) {
  HookNotifications();
}

TLayerCalculate::~TLayerCalculate() {
  // The owner may be half gone already (a derived layer): it hears nothing more.
  OnCalculationStart = nullptr;
  OnCalculationEnd = nullptr;
  OnChange = nullptr;
  OnInvalidate = nullptr;
  Stop();
  DiscardPieces();
  // The owned objects go after this body; their last notifications find no layer.
  for (TLexical* entry : Entries()) {
    entry->OnBeforeRebuild = nullptr;
    entry->OnRebuilt = nullptr;
    entry->OnChanged = nullptr;
    entry->OnValuesChanged = nullptr;
  }
  mapping_->OnChange = nullptr;
  mapping_->Transforms().OnBeforeChange = nullptr;
  image_->OnResize = nullptr;
}

std::array<TLexical*, 3> TLayerCalculate::Entries() {
  return {formula_.get(), inside_.get(), outside_.get()};
}

void TLayerCalculate::HookNotifications() {
  for (TLexical* entry : Entries()) {
    entry->OnBeforeRebuild = [this](TLexical&) { BeforeChange(); };
    entry->OnRebuilt = [this](TLexical&) { AfterChange(); };
    entry->OnChanged = [this](TLexical&) { Changed(); };
    entry->OnValuesChanged = [this](TLexical&) { ChangeWithoutUndo(); };
  }
  mapping_->OnChange = [this](TMapping&) { Changed(); };
  // Pieces run the transformations: none may go away under them.
  mapping_->Transforms().OnBeforeChange = [this](TTransformList&) { Stop(); };
  image_->OnResize = [this](TIndexImage&) { ImageResized(); };
}

void TLayerCalculate::BeforeChange() {
  Stop();
  BeginUpdate();
}

void TLayerCalculate::AfterChange() { EndUpdate(); }

void TLayerCalculate::Changed() {
  BeginUpdate();
  formula_->SetMagnification(mapping_->Magnification());
  if (follows_formula_method_) SetMethod(formula_->Method());
  Forget();
  Recalculate();
  EndUpdate();
}

void TLayerCalculate::ImageResized() {
  BeginUpdate();
  mapping_->SetImageWidth(image_->Width());
  mapping_->SetImageHeight(image_->Height());
  invalid_rect_.Left = std::clamp(invalid_rect_.Left, 0, image_->Width());
  invalid_rect_.Right = std::clamp(invalid_rect_.Right, 0, image_->Width());
  invalid_rect_.Top = std::clamp(invalid_rect_.Top, 0, image_->Height());
  invalid_rect_.Bottom = std::clamp(invalid_rect_.Bottom, 0, image_->Height());
  Forget();
  Recalculate();
  EndUpdate();
}

void TLayerCalculate::SetImageSize(int width, int height) {
  Stop();
  image_->SetSize(width, height);
}

void TLayerCalculate::BeginUpdate() { ++update_count_; }

void TLayerCalculate::EndUpdate() {
  if (update_count_ == 0) return;
  if (--update_count_ > 0) return;
  int pending = pending_;
  pending_ = kPendingNothing;
  if (pending != kPendingRecalculate && invalidate_pending_) Invalidate(TRect{});
  switch (pending) {
    case kPendingChange: ChangeWithoutUndo(); break;
    case kPendingUndoChange: Change(0); break;
    case kPendingRecalculate: Recalculate(); break;
  }
}

void TLayerCalculate::ReportChange(int code, int identifier) {
  last_change_id_ = identifier;
  if (OnChange) OnChange(*this, code);
}

void TLayerCalculate::ChangeWithoutUndo() {
  if (update_count_ > 0) {
    pending_ = std::max(pending_, static_cast<int>(kPendingChange));
    return;
  }
  ReportChange(0, 0);
}

void TLayerCalculate::Change(int identifier) {
  if (update_count_ > 0) {
    pending_ = std::max(pending_, static_cast<int>(kPendingUndoChange));
    return;
  }
  ReportChange(identifier != 0 && identifier == last_change_id_ ? 1 : 2, identifier);
}

void TLayerCalculate::Recalculate() {
  if (update_count_ > 0) {
    pending_ = kPendingRecalculate;
    return;
  }
  ReportChange(2, 0);
  if (state_ == kLayerCalculating) {
    Stop();
    state_ = kLayerIdle;
  }
  Calculate();
}

void TLayerCalculate::Forget() {
  if (state_ == kLayerInterrupted) state_ = kLayerIdle;
}

void TLayerCalculate::Invalidate(const TRect& rect) {
  invalid_rect_ = TRect::Union(invalid_rect_, rect);
  if (update_count_ > 0) {
    invalidate_pending_ = true;
    return;
  }
  invalidate_pending_ = false;
  TRect reported = invalid_rect_;
  invalid_rect_ = TRect{};
  if (OnInvalidate && !reported.Empty()) OnInvalidate(*this, reported);
}

void TLayerCalculate::Stop() {
  if (state_ != kLayerCalculating) return;
  stopping_ = true;
  for (auto& piece : pieces_) {
    piece->Terminate();
    piece->Abort();
  }
  for (auto& piece : pieces_) {
    piece->SetPriority(kStopPriority);
    TSafeThread::SafeWaitFor(piece.get());
  }
  stopping_ = false;
}

void TLayerCalculate::Resume() {
  if (state_ == kLayerInterrupted) Calculate();
}

void TLayerCalculate::SetMethod(int method) {
  if (method < 0 || method > 255 || method == method_) return;
  method_ = static_cast<std::uint8_t>(method);
  Forget();
  Recalculate();
}

void TLayerCalculate::SetCompileOptions(const TCompileOptions& options) {
  formula_->SetCompileOptions(options);
  inside_->SetCompileOptions(options);
  outside_->SetCompileOptions(options);
  mapping_->SetCompileOptions(options);
}

void TLayerCalculate::SetPriority(int priority) {
  if (priority < 1 || priority > 4 || priority == priority_) return;
  priority_ = static_cast<std::uint8_t>(priority);
  for (auto& piece : pieces_) piece->SetPriority(priority_);
}

void TLayerCalculate::SetThreadCount(int count) { thread_count_ = std::clamp(count, 1, 16); }

void TLayerCalculate::Calculate() {
  if (state_ == kLayerCalculating) return;
  symmetry_ = static_cast<std::uint8_t>(EffectiveSymmetry());
  calc_rect_ = TRect{0, 0, image_->Width(), image_->Height()};
  if (OnCalculationStart) OnCalculationStart(*this);
  if (state_ == kLayerIdle) {
    symmetry_phase_ = 0;
    if (clear_on_start_) {
      image_->Clear();
      Invalidate(calc_rect_);
    }
  } else {
    Invalidate(calc_rect_);
  }
  clear_on_start_ = true;
  if (!RunSymmetry()) AllFinished();
}

int TLayerCalculate::EffectiveSymmetry() const {
  if (mapping_->Angle() != 0 || mapping_->Transforms().Count() > 0 || inside_->ReadsZ() ||
      outside_->ReadsZ() ||
      !(mapping_->ImageRect() == TRect{0, 0, image_->Width(), image_->Height()}))
    return kSymmetryNone;
  return formula_->Symmetry();
}

void TLayerCalculate::StartAll(const TRect& rect) {
  total_pixels_ = rect.Area();
  StartPieces(rect);
}

std::unique_ptr<TCompute> TLayerCalculate::NewPiece() {
  auto piece = CreateCompute(method_, *mapping_, *formula_, *inside_, *outside_, *image_);
  piece->SetPriority(priority_);
  return piece;
}

void TLayerCalculate::StartPieces(const TRect& rect) {
  if (state_ == kLayerInterrupted) {
    std::vector<std::unique_ptr<TCompute>> fresh;
    for (auto& piece : pieces_) {
      TPieceState saved = piece->SaveState();
      fresh.push_back(NewPiece());
      fresh.back()->RestoreState(saved);
    }
    {
      std::lock_guard lock(update_mutex_);
      std::swap(fresh, pieces_);
    }
    for (auto& old : fresh) TSafeThread::SafeFree(old);
  } else {
    if (state_ == kLayerCalculating) {
      carried_ = Statistics();  // this batch's pieces go: keep their counts
      std::lock_guard lock(update_mutex_);
      for (auto& piece : pieces_)
        for (const TRect& r : piece->TakeUpdateRects()) AddUpdateRect(update_rects_, r);
    } else {
      ResetStatistics();
    }
    DiscardPieces();
    std::vector<std::unique_ptr<TCompute>> fresh;
    for (const TRect& r : SplitIntoPieces(rect, thread_count_)) {
      fresh.push_back(NewPiece());
      if (MethodUsesPasses(method_)) fresh.back()->SetPasses(PassesForHeight(image_->Height()));
      fresh.back()->SetRect(r);
    }
    std::lock_guard lock(update_mutex_);
    pieces_ = std::move(fresh);
  }
  state_ = kLayerCalculating;
  running_count_ = thread_count_;
  next_piece_ = 0;
  for (int i = 0; i < thread_count_; ++i) StartNext();
}

void TLayerCalculate::StartNext() {
  if (!stopping_) {
    while (next_piece_ < static_cast<int>(pieces_.size())) {
      TCompute& piece = *pieces_[next_piece_++];
      if (piece.State() != kComputeNew && piece.State() != kComputeInterrupted) continue;
      piece.OnTerminate = [this](TSafeThread&) { StartNext(); };
      piece.Start();
      return;
    }
  }
  if (--running_count_ < 1) {
    running_count_ = 0;
    AllFinished();
  }
}

void TLayerCalculate::AllFinished() {
  if (stopping_) {
    state_ = kLayerInterrupted;
  } else {
    if (symmetry_phase_ != kSymmetryDone) {
      ++symmetry_phase_;
      if (RunSymmetry()) return;
    }
    state_ = kLayerIdle;
  }
  if (OnCalculationEnd) OnCalculationEnd(*this);
}

void TLayerCalculate::DiscardPieces() {
  std::vector<std::unique_ptr<TCompute>> old;
  {
    std::lock_guard lock(update_mutex_);
    std::swap(old, pieces_);
  }
  for (auto& piece : old) TSafeThread::SafeFree(piece);
}

void TLayerCalculate::ResetStatistics() {
  carried_ = TCalcStatistics{};
  carried_.MinIterations = formula_->MaxIterations();
}

TCalcStatistics TLayerCalculate::Statistics() const {
  TCalcStatistics sum = carried_;
  for (const auto& piece : pieces_) {
    const TCalcStatistics s = piece->Statistics();
    sum.PixelsDone += s.PixelsDone;
    sum.InsideCount += s.InsideCount;
    sum.SlowCount += s.SlowCount;
    sum.PixelCalls += s.PixelCalls;
    // A piece that never started has no iteration range yet.
    if (piece->State() == kComputeNew && s.PixelCalls == 0) continue;
    sum.MinIterations = std::min(sum.MinIterations, s.MinIterations);
    sum.MaxIterations = std::max(sum.MaxIterations, s.MaxIterations);
  }
  return sum;
}

double TLayerCalculate::Progress() const {
  if (total_pixels_ <= 0) return 0;
  return static_cast<double>(Statistics().PixelsDone) / static_cast<double>(total_pixels_);
}

std::vector<TRect> TLayerCalculate::TakeUpdateRects() {
  std::lock_guard lock(update_mutex_);
  std::vector<TRect> result;
  std::swap(result, update_rects_);
  for (auto& piece : pieces_)
    for (const TRect& r : piece->TakeUpdateRects()) result.push_back(r);
  return result;
}

std::vector<std::uint8_t> TLayerCalculate::SaveState() const {
  TCalcState record;
  record.State = state_;
  record.ThreadCount = thread_count_;
  record.SymmetryPhase = symmetry_phase_;
  record.TotalPixels = total_pixels_;
  record.Carried = carried_;
  record.NextPiece = next_piece_;
  for (const auto& piece : pieces_) record.Pieces.push_back(piece->SaveState());
  return EncodeCalcState(record);
}

void TLayerCalculate::RestoreState(const std::vector<std::uint8_t>& bytes) {
  TCalcState record = DecodeCalcState(bytes.data(), bytes.size());
  for (const TPieceState& piece : record.Pieces)
    if (!PieceFits(piece, image_->Width(), image_->Height()))
      throw EZentrope(kInvalidCalcStateMessage);
  Stop();
  DiscardPieces();
  // A record taken while pieces ran holds no position for them: such pieces start
  // over, and the calculation counts as interrupted.
  if (record.State == kLayerCalculating) record.State = kLayerInterrupted;
  for (TPieceState& piece : record.Pieces)
    if (piece.State == kComputeRunning) {
      TPieceState fresh;
      fresh.Rect = piece.Rect;
      fresh.Passes = piece.Passes;
      piece = fresh;
    }
  state_ = static_cast<TLayerState>(record.State);
  thread_count_ = std::clamp(record.ThreadCount, 1, 16);
  symmetry_phase_ = record.SymmetryPhase;
  total_pixels_ = record.TotalPixels;
  carried_ = record.Carried;
  next_piece_ = record.NextPiece;
  std::vector<std::unique_ptr<TCompute>> fresh;
  for (const TPieceState& saved : record.Pieces) {
    fresh.push_back(NewPiece());
    fresh.back()->RestoreState(saved);
  }
  {
    std::lock_guard lock(update_mutex_);
    pieces_ = std::move(fresh);
  }
  if (state_ != kLayerIdle) {
    Recalculate();
  } else if (update_count_ > 0 && pending_ == kPendingRecalculate) {
    pending_ = kPendingUndoChange;
    Invalidate(TRect{0, 0, image_->Width(), image_->Height()});
  }
}

}  // namespace zt
