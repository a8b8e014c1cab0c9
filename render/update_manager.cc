// The update manager's thread loop, its drawing steps and the navigation
// preview; see update_manager.h.
//
// One mutex guards everything the two threads share besides the abort flag. The
// thread decides to draw and leaves the idle state under that mutex, in the same
// step in which it checks the stop count, so BeginStop (which raises the count
// and then waits for the idle state under the same mutex) can never return while
// a redraw is about to start.
#include "render/update_manager.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <numbers>
#include <thread>

#include "render/direct_bitmap.h"

namespace zt {

namespace {

constexpr auto kCalculationCadence = std::chrono::milliseconds(300);
constexpr auto kFramePause = std::chrono::milliseconds(25);
constexpr double kMinZoom = 0.001;
constexpr double kMaxZoom = 1000.0;

// Keeps the manager stopped for a scope, also when the scope raises.
class TStopScope {
 public:
  explicit TStopScope(TUpdateManager& manager) : manager_(manager) { manager_.BeginStop(); }
  ~TStopScope() { manager_.EndStop(); }
  TStopScope(const TStopScope&) = delete;
  TStopScope& operator=(const TStopScope&) = delete;

 private:
  TUpdateManager& manager_;
};

int NearestInt(double value) { return static_cast<int>(std::nearbyint(value)); }

}  // namespace

std::vector<TRect> CoalesceRects(std::vector<TRect> rects) {
  std::vector<TRect> result;
  for (std::size_t i = 0; i < rects.size(); ++i) {
    const TRect& a = rects[i];
    bool merged = false;
    for (std::size_t j = i + 1; j < rects.size() && !merged; ++j) {
      const TRect united = TRect::Union(a, rects[j]);
      if (united.Area() <= a.Area() + rects[j].Area()) {
        rects[j] = united;
        merged = true;
      }
    }
    if (!merged) result.insert(result.begin(), a);
  }
  return result;
}

TUpdateManager::TUpdateManager(TDirectBitmap& bitmap, TLayerStack& layers)
    : bitmap_(bitmap), layers_(layers), width_(bitmap.Width()), height_(bitmap.Height()) {
  ResetPreview();
  AllocateBuffers();
  Resume();
  SetPriority(3);
}

TUpdateManager::~TUpdateManager() {
  Terminate();
  Abort();
  SetPriority(4);
  StopAndJoin();
}

void TUpdateManager::Abort() {
  std::lock_guard<std::mutex> lock(mutex_);
  wake_ = true;
  changed_.notify_all();
}

void TUpdateManager::Execute() {
  std::unique_lock<std::mutex> lock(mutex_);
  while (!Terminated()) {
    idle_ = true;
    changed_.notify_all();
    bool woken = true;
    if (calculating_ > 0)
      woken = changed_.wait_for(lock, kCalculationCadence, [this] { return wake_; });
    else
      changed_.wait(lock, [this] { return wake_; });
    wake_ = false;
    if (Terminated()) break;
    abort_ = false;
    if (stop_count_ != 0) continue;
    idle_ = false;
    TLayerCalculate* finished = draw_finished_ ? finished_layer_ : nullptr;
    lock.unlock();

    if (!woken) {
      std::vector<TRect> rects;
      for (int i = 0; i < layers_.Count(); ++i) {
        std::vector<TRect> taken = layers_.Calculation(i).TakeUpdateRects();
        rects.insert(rects.end(), taken.begin(), taken.end());
      }
      RedrawList(std::move(rects));
      lock.lock();
      continue;
    }
    if (finished != nullptr) RedrawList(finished->TakeUpdateRects());
    lock.lock();
    const TRect dirty = dirty_;
    dirty_ = {};
    const TPreview preview = preview_;
    lock.unlock();
    // Before the end is released: a symmetric layer's mirrored half arrives here.
    if (!dirty.Empty()) RegionRedraw(dirty, preview);
    lock.lock();
    if (finished != nullptr) {
      draw_finished_ = false;  // releases CalculationEnded
      changed_.notify_all();
    }
  }
  idle_ = true;
  exited_ = true;
  changed_.notify_all();
}

void TUpdateManager::CalculationStarted() {
  std::lock_guard<std::mutex> lock(mutex_);
  if (++calculating_ == 1) {
    wake_ = true;
    changed_.notify_all();
  }
}

void TUpdateManager::CalculationEnded(TLayerCalculate& layer) {
  std::unique_lock<std::mutex> lock(mutex_);
  if (calculating_ > 0) --calculating_;
  if (stop_count_ > 0 || exited_) return;
  finished_layer_ = &layer;
  draw_finished_ = true;
  wake_ = true;
  changed_.notify_all();
  changed_.wait(lock, [this] { return !draw_finished_ || exited_; });
  finished_layer_ = nullptr;
}

void TUpdateManager::Invalidate(const TRect& rect) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (stop_count_ > 0) return;
  dirty_ = TRect::Union(dirty_, rect);
  wake_ = true;
  changed_.notify_all();
}

void TUpdateManager::InvalidateAll() { Invalidate({0, 0, bitmap_.Width(), bitmap_.Height()}); }

void TUpdateManager::BeginStop() {
  std::unique_lock<std::mutex> lock(mutex_);
  if (++stop_count_ != 1) return;
  abort_ = true;
  changed_.wait(lock, [this] { return idle_ || exited_; });
}

void TUpdateManager::EndStop() {
  std::lock_guard<std::mutex> lock(mutex_);
  if (stop_count_ > 0) --stop_count_;
}

bool TUpdateManager::WaitIdle(int milliseconds) {
  std::unique_lock<std::mutex> lock(mutex_);
  return changed_.wait_for(lock, std::chrono::milliseconds(milliseconds), [this] {
    return exited_ || (idle_ && !wake_ && !draw_finished_ && dirty_.Empty());
  });
}

void TUpdateManager::AllocateBuffers() {
  row_.assign(static_cast<std::size_t>(width_), 0);
  commit_buffer_.assign(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_), 0);
}

void TUpdateManager::SetWidth(int width) {
  width = std::max(width, 0);
  if (width == width_) return;
  TStopScope stop(*this);
  width_ = width;
  bitmap_.SetWidth(width);
  AllocateBuffers();
  Recompute();
  std::lock_guard<std::mutex> lock(mutex_);
  dirty_ = {};
}

void TUpdateManager::SetHeight(int height) {
  height = std::max(height, 0);
  if (height == height_) return;
  TStopScope stop(*this);
  height_ = height;
  bitmap_.SetHeight(height);
  AllocateBuffers();
  Recompute();
  std::lock_guard<std::mutex> lock(mutex_);
  dirty_ = {};
}

void TUpdateManager::SetShiftX(int shift) {
  if (shift == shift_x_) return;
  shift_x_ = shift;
  Recompute();
}

void TUpdateManager::SetShiftY(int shift) {
  if (shift == shift_y_) return;
  shift_y_ = shift;
  Recompute();
}

void TUpdateManager::SetZoom(double zoom) {
  if (zoom == zoom_ || std::isnan(zoom)) return;
  zoom_ = std::clamp(zoom, kMinZoom, kMaxZoom);
  Recompute();
}

void TUpdateManager::SetAngle(double angle) {
  if (angle == angle_ || std::isnan(angle)) return;
  angle_ = angle;
  Recompute();
}

void TUpdateManager::ApplyPreview(int shift_x, int shift_y, double zoom, double angle) {
  shift_x_ = shift_x;
  shift_y_ = shift_y;
  zoom_ = zoom;
  angle_ = angle;
  Recompute();
}

void TUpdateManager::ResetPreview() {
  ApplyPreview(0, 0, 1.0, 0.0);
  std::lock_guard<std::mutex> lock(mutex_);
  preview_.Animating = false;
}

void TUpdateManager::Recompute() {
  const TPreview preview = TPreview::Make(width_, height_, shift_x_, shift_y_, zoom_, angle_);
  std::lock_guard<std::mutex> lock(mutex_);
  const bool animating = preview_.Animating;
  preview_ = preview;
  preview_.Animating = animating;
}

TPreview TUpdateManager::Preview() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return preview_;
}

bool TUpdateManager::Cancelled() const { return Terminated() || abort_.load(); }

bool TUpdateManager::LayersFit() const {
  for (int i = 0; i < layers_.Count(); ++i) {
    const TIndexImage& image = layers_.Calculation(i).Image();
    if (image.Width() != width_ || image.Height() != height_) return false;
  }
  return true;
}

void TUpdateManager::RedrawList(std::vector<TRect> rects) {
  const TPreview preview = Preview();
  if (rects.empty()) return;
  // Under a preview any rectangle redraws the whole image; once is enough.
  if (preview.Moves()) {
    RegionRedraw(rects.front(), preview);
    return;
  }
  for (const TRect& rect : CoalesceRects(std::move(rects))) {
    RegionRedraw(rect, preview);
    if (Cancelled()) return;
  }
}

void TUpdateManager::RegionRedraw(const TRect& rect, const TPreview& preview) {
  if (!LayersFit()) return;
  if (preview.Moves()) {
    FullRedraw(preview, preview.Animating && preview.Transformed ? 2 : 1);
    return;
  }
  const TRect clipped{std::max(rect.Left, 0), std::max(rect.Top, 0), std::min(rect.Right, width_),
                      std::min(rect.Bottom, height_)};
  const int count = clipped.Width();
  for (int y = clipped.Top; y < clipped.Bottom && count > 0; ++y) {
    if (layers_.Count() == 0) std::fill(row_.begin(), row_.end(), 0);
    layers_.MergeRow(y, clipped.Left, count, row_.data());
    bitmap_.WriteRow(clipped.Left, y, row_.data(), count);
    if (Cancelled()) return;
  }
  bitmap_.Paint(clipped);
}

void TUpdateManager::MergePreviewRow(const TPreview& preview, int y) {
  if (layers_.Count() == 0) std::fill(row_.begin(), row_.end(), 0);
  layers_.MergePreviewRow(preview, y, row_.data());
}

void TUpdateManager::FullRedraw(const TPreview& preview, int step) {
  for (int y = 0; y < height_; y += step) {
    MergePreviewRow(preview, y);
    bitmap_.WriteRow(0, y, row_.data(), width_);
    if (step > 1 && y < height_ - 1) bitmap_.CopyRow(y, y + 1);
    if (Cancelled()) return;
  }
  bitmap_.PaintAll();
}

void TUpdateManager::Commit() {
  TStopScope stop(*this);
  if (width_ == 0 || height_ == 0) return;
  const TPreview preview = Preview();
  for (int i = 0; i < layers_.Count(); ++i) {
    TIndexImage& image = layers_.Calculation(i).Image();
    if (!layers_.Selected(i) || image.Width() != width_ || image.Height() != height_) continue;
    for (int y = 0; y < height_; ++y)
      PreviewIndexRow(preview, image.Row(0), y,
                      &commit_buffer_[static_cast<std::size_t>(y) * width_]);
    image.ExchangePixels(commit_buffer_);
  }
}

void TUpdateManager::GetMergedRow(int y, std::uint8_t* out) {
  if (out == nullptr || y < 0 || y >= height_ || !LayersFit()) return;
  std::vector<std::uint32_t> row(static_cast<std::size_t>(width_), 0);
  layers_.MergeRow(y, 0, width_, row.data());
  for (std::uint32_t color : row) {
    *out++ = static_cast<std::uint8_t>(color);
    *out++ = static_cast<std::uint8_t>(color >> 8);
    *out++ = static_cast<std::uint8_t>(color >> 16);
  }
}

bool TUpdateManager::ShouldAnimate() const {
  const TAnimationOptions& options = animation_;
  if (options.Animation == 0 || (options.Animation == 1 && layers_.Count() > 1)) return false;
  if (options.LimitAnimSize && (options.AnimMaxWidth < width_ || options.AnimMaxHeight < height_))
    return false;
  for (int i = 0; i < layers_.Count(); ++i)
    if (layers_.Selected(i)) return true;
  return false;
}

void TUpdateManager::AnimateTransform(int dx, int dy, double angle, double zoom, bool animate) {
  if (!(zoom > 0.0 && std::isfinite(zoom)) || !animate || !ShouldAnimate()) {
    {
      TStopScope stop(*this);
      ApplyPreview(dx, dy, zoom, angle);
      Commit();
      ResetPreview();
    }
    InvalidateAll();
    return;
  }
  if (angle > std::numbers::pi) angle -= 2 * std::numbers::pi;
  if (angle < -std::numbers::pi) angle += 2 * std::numbers::pi;

  TStopScope stop(*this);
  {
    std::lock_guard<std::mutex> lock(mutex_);
    preview_.Animating = true;
  }
  const double log_zoom = std::log(zoom);
  const int frames = std::max(animation_.AnimFrames, 2);
  auto frame_start = std::chrono::steady_clock::now();
  abort_ = false;
  for (int i = 1; i < frames; ++i) {
    if (i == frames - 1) {
      ApplyPreview(dx, dy, zoom, angle);  // exactly the full transform
    } else {
      const double u = static_cast<double>(i) / (frames - 1);
      const double e = 3 * u * u - 2 * u * u * u;
      const double frame_zoom = std::exp(log_zoom * e);
      const double along = zoom != 1.0 ? (frame_zoom - 1) / (zoom - 1) : e;
      ApplyPreview(NearestInt(dx * along), NearestInt(dy * along), frame_zoom, angle * e);
    }
    FullRedraw(Preview(), 2);
    std::this_thread::sleep_until(frame_start + kFramePause + std::chrono::milliseconds(1));
    frame_start = std::chrono::steady_clock::now();
  }
  Commit();
  ResetPreview();
}

}  // namespace zt
