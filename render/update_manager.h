// The update manager: the background thread that keeps a document's display
// bitmap in step with its layers. It collects the rectangles the calculations and
// property changes touched, merges the visible layers' rows inside them into the
// bitmap and paints it; it also shows and commits navigation previews.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/rect.h"
#include "platform/thread.h"
#include "render/animation_options.h"
#include "render/layer_stack.h"
#include "render/preview.h"

namespace zt {

class TDirectBitmap;

// Merges a list of update rectangles: each rectangle, in list order, is merged into
// the first later one whose union costs no more area than the two apart;
// rectangles merged into none are returned, the last such one first.
std::vector<TRect> CoalesceRects(std::vector<TRect> rects);

// Threads: every member is called on the user-interface thread; the manager's own
// thread only draws. While the manager is stopped (BeginStop ... EndStop, which
// nest) its thread draws nothing and the caller has sole use of the bitmap, the
// index images and the preview; rectangles invalidated meanwhile are dropped, so
// callers follow EndStop with InvalidateAll. Commit swaps the storage of index
// images the thread reads and stops the manager itself; no calculation may write
// to the selected layers meanwhile. GetMergedRow only reads and uses its own
// buffer, so it may run while the thread draws.
//
// The bitmap and the layer list must outlive the manager; the list changes only
// while the manager is stopped. Drawing never needs the main thread, so the main
// thread may block in CalculationEnded while the manager draws.
class TUpdateManager : public TSafeThread {
 public:
  // Starts the thread.
  TUpdateManager(TDirectBitmap& bitmap, TLayerStack& layers);
  // Stops the thread and waits for it.
  ~TUpdateManager() override;

  // A layer's calculation started: while any runs, the thread draws the layers'
  // update rectangles every 300 ms.
  void CalculationStarted();
  // Returns once the layer's last update rectangles are drawn (at once while stopped).
  void CalculationEnded(TLayerCalculate& layer);
  // Draws the rectangle soon; dropped while stopped.
  void Invalidate(const TRect& rect);
  void InvalidateAll();

  // Returns once the thread has stopped drawing; a redraw in progress is cut short.
  void BeginStop();
  // Nothing is redrawn.
  void EndStop();

  int Width() const { return width_; }
  int Height() const { return height_; }
  // Resize the bitmap too; pending rectangles are dropped.
  void SetWidth(int width);
  void SetHeight(int height);

  // The navigation preview: a shift in display pixels, a zoom factor (clamped to
  // 0.001 to 1000) and an angle in radians. Redraws show the selected layers
  // through it until ResetPreview.
  int ShiftX() const { return shift_x_; }
  int ShiftY() const { return shift_y_; }
  double Zoom() const { return zoom_; }
  double Angle() const { return angle_; }
  void SetShiftX(int shift);
  void SetShiftY(int shift);
  void SetZoom(double zoom);
  void SetAngle(double angle);
  void ResetPreview();
  // The current preview transform.
  TPreview Preview() const;

  // Resamples the selected layers' index images through the preview; pixels
  // whose source lies outside become the background index. Layers whose image
  // size differs from the manager's are left alone.
  void Commit();
  // Shows a navigation step (shift by (dx, dy) pixels, rotation by `angle`, zoom
  // by the factor `zoom`), animated when `animate` and the settings allow,
  // commits it to the selected layers and resets the preview. Without animation
  // the whole image is drawn again; after one the last frame stays on screen.
  void AnimateTransform(int dx, int dy, double angle, double zoom, bool animate);
  const TAnimationOptions& AnimationOptions() const { return animation_; }
  void SetAnimationOptions(const TAnimationOptions& options) { animation_ = options; }

  // Row `y` of all visible layers merged, without preview, as three bytes per
  // pixel (blue, green, red); black without layers. Nothing when `out` is null or
  // `y` lies outside.
  void GetMergedRow(int y, std::uint8_t* out);

  // Waits until the thread has nothing to draw; false when `milliseconds` passed
  // first. Layers still calculating are not waited for.
  bool WaitIdle(int milliseconds);

  // Wakes the thread so that it sees a termination request.
  void Abort() override;

 protected:
  void Execute() override;

 private:
  void AllocateBuffers();
  void Recompute();
  void ApplyPreview(int shift_x, int shift_y, double zoom, double angle);
  // Whether the drawing in progress should end (termination or a stop).
  bool Cancelled() const;
  // Whether every layer's image has the manager's size, as merging needs.
  bool LayersFit() const;
  // The settings and the layers allow an animated navigation.
  bool ShouldAnimate() const;

  // The drawing steps; each merges rows of the visible layers into the bitmap.
  void RedrawList(std::vector<TRect> rects);
  void RegionRedraw(const TRect& rect, const TPreview& preview);
  void FullRedraw(const TPreview& preview, int step);
  void MergePreviewRow(const TPreview& preview, int y);

  TDirectBitmap& bitmap_;
  TLayerStack& layers_;
  TAnimationOptions animation_;

  int width_ = 0;
  int height_ = 0;
  int shift_x_ = 0;
  int shift_y_ = 0;
  double zoom_ = 1.0;
  double angle_ = 0.0;

  // Guards the fields below up to the buffers; `changed_` signals any change of them.
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  bool wake_ = false;    // the thread should look for work
  bool idle_ = false;    // the thread waits for work and draws nothing
  bool exited_ = false;  // the thread's loop has ended
  int calculating_ = 0;
  int stop_count_ = 0;
  TRect dirty_{};
  TLayerCalculate* finished_layer_ = nullptr;
  bool draw_finished_ = false;  // the thread should draw `finished_layer_`
  TPreview preview_;

  std::atomic<bool> abort_{false};  // cuts a redraw in progress short

  // Used by whichever thread draws: the manager's, or the caller's while stopped.
  std::vector<std::uint32_t> row_;
  std::vector<std::uint16_t> commit_buffer_;
};

}  // namespace zt
