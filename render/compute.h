// Calculation threads: a TCompute owns one rectangle (a piece) of a layer's index
// image and calculates its pixels with the layer's compiled formula and coloring
// algorithms. A piece can be stopped at any pixel and resumed by a new thread
// object that receives the saved state. TComputeLinear is the single-pass variant.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "formula/codegen/calc_block.h"
#include "platform/rect.h"
#include "platform/thread.h"

namespace zt {

class TColoring;
class TFormula;
class TIndexImage;
class TMapping;

enum TComputeState {
  kComputeNew = 0,
  kComputeRunning = 1,
  kComputeInterrupted = 2,
  kComputeFinished = 3
};

// What a new thread object needs to continue an interrupted piece.
// Statistics of a piece, or of a whole calculation (see TLayerCalculate).
struct TCalcStatistics {
  std::int64_t PixelsDone = 0;
  std::int64_t InsideCount = 0;
  int MinIterations = 0;
  int MaxIterations = 0;
  std::int64_t SlowCount = 0;
  std::int64_t PixelCalls = 0;
};

struct TPieceState {
  TComputeState State = kComputeNew;
  TRect Rect{};
  int Passes = 1;
  int ResumeX = 0;
  int ResumeY = 0;
  int CurrentPass = 0;
  TCalcStatistics Statistics;
};

// The mapping, formula, colorings and index image belong to the layer and must
// outlive the thread; several pieces share them read-only (the image: disjoint
// rectangles). Each piece has its own calculation block.
//
// Threads: the owner (main thread) sets up the piece in state new, calls Start,
// and later reads State, the statistics (relaxed, while running too), SaveState
// once the thread has stopped, and TakeUpdateRects at any time. Abort may come
// from any thread. Calculate, CalcPixel and AddUpdateRect run in the worker.
class TCompute : public TSafeThread {
 public:
  TCompute(TMapping& mapping, TFormula& formula, TColoring& inside, TColoring& outside,
           TIndexImage& image);
  ~TCompute() override;

  // No effect unless the state is new.
  void SetRect(const TRect& rect);
  void SetPasses(int passes);
  TRect Rect() const { return rect_; }
  int Passes() const { return passes_; }

  // Prepares the calculation block and resumes the thread. The formula, mapping and
  // colorings must be compiled and unchanged while the piece runs.
  void Start();

  // The table index of the pixel (x / sx, y / sy) of the image.
  std::uint16_t CalcPixel(int x, int y, int sx, int sy);

  // Adds a rectangle to repaint, merging it into the first queued one whose union
  // with it is no larger than the two together.
  void AddUpdateRect(const TRect& rect);
  // The queued rectangles; while running, the next list starts with the rectangle
  // last added (the row in progress).
  std::vector<TRect> TakeUpdateRects();

  TPieceState SaveState() const;
  // No effect unless the state is new.
  void RestoreState(const TPieceState& state);

  TComputeState State() const { return state_.load(); }
  std::int64_t InsideCount() const { return inside_count_.load(std::memory_order_relaxed); }
  int MinIterations() const { return min_iterations_.load(std::memory_order_relaxed); }
  int MaxIterations() const { return max_iterations_.load(std::memory_order_relaxed); }
  std::int64_t SlowCount() const { return slow_count_.load(std::memory_order_relaxed); }
  std::int64_t PixelCalls() const { return pixel_calls_.load(std::memory_order_relaxed); }
  std::int64_t PixelsDone() const { return pixels_done_.load(std::memory_order_relaxed); }
  TCalcStatistics Statistics() const {
    return {PixelsDone(),    InsideCount(), MinIterations(),
            MaxIterations(), SlowCount(),   PixelCalls()};
  }

  // Sets the block's abort flag, which compiled code polls.
  void Abort() override;

 protected:
  void Execute() override;
  // The variant's pass over the rectangle; returns when done or when Terminated().
  virtual void Calculate() = 0;
  // One row of blocks of a refining pass (multi-pass variants); rows y, blocks of
  // `step` pixels.
  virtual void RefineRow(int y, int step) {}

  // Aborts and waits for the thread; every variant's destructor calls it, before the
  // members its Calculate uses go away.
  void StopCalculation();
  TIndexImage& Image() { return image_; }
  void SetState(TComputeState state) { state_.store(state); }
  void AddPixelsDone(std::int64_t n) { pixels_done_.fetch_add(n, std::memory_order_relaxed); }

  // Where an interrupted calculation continues; written by the worker only.
  int resume_x_ = 0;
  int resume_y_ = 0;
  int current_pass_ = 0;

 private:
  void ReportError(const std::string& message);

  TMapping& mapping_;
  TFormula& formula_;
  TColoring& inside_;
  TColoring& outside_;
  TIndexImage& image_;

  std::atomic<std::int64_t> inside_count_{0};
  std::atomic<int> min_iterations_{0};
  std::atomic<int> max_iterations_{0};
  std::atomic<std::int64_t> slow_count_{0};
  std::atomic<std::int64_t> pixel_calls_{0};
  int ninety_percent_ = 0;
  TCalcBlock block_;

  std::mutex update_mutex_;
  TRect current_rect_{};             // guarded by update_mutex_
  std::vector<TRect> update_rects_;  // guarded by update_mutex_; head first

  TRect rect_{};
  int passes_ = 1;
  std::atomic<std::int64_t> pixels_done_{0};
  std::atomic<TComputeState> state_{kComputeNew};
};

// Calculates the rectangle row by row in one pass; an interrupted piece continues
// at the pixel where it stopped (that pixel is calculated again).
class TComputeLinear : public TCompute {
 public:
  using TCompute::TCompute;
  ~TComputeLinear() override;

 protected:
  void Calculate() override;
};

}  // namespace zt
