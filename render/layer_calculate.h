// The calculating half of a layer: it owns the layer's mapping, formula, colorings
// and index image, runs the calculation of the image on worker threads in pieces,
// mirrors what the formula's symmetry allows instead of calculating it, keeps
// statistics, collects the rectangles to repaint, batches change notifications and
// saves and restores its progress as the calculation state record.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "formula/entries/coloring.h"
#include "formula/entries/formula.h"
#include "formula/entries/mapping.h"
#include "platform/rect.h"
#include "render/calc_state.h"
#include "render/compute.h"
#include "render/index_image.h"
#include "render/layer_symmetry.h"

namespace zt {

enum TLayerState : std::uint8_t { kLayerIdle = 0, kLayerCalculating = 1, kLayerInterrupted = 2 };

// Symmetry codes this class mirrors (the formula supplies others too; they
// calculate everything).
enum TSymmetry : std::uint8_t {
  kSymmetryNone = 0,
  kSymmetryRealAxis = 1,
  kSymmetryImagAxis = 5,
  kSymmetryBothAxes = 7,
  kSymmetryOrigin = 9,
  kSymmetryPeriodicPi = 11
};

constexpr int kSymmetryDone = 2000;  // symmetry phase of a complete calculation

// Threads: everything runs on the main (user-interface) thread, including the
// events, which the pieces' terminations reach through the main-thread
// dispatcher; a caller that waits for a calculation must keep that dispatcher
// running (MainThreadDispatcher().WaitFor). TakeUpdateRects alone may be called
// from any thread (the update manager's).
//
// The constructor leaves one update bracket open: the owner calls EndUpdate when
// it has finished setting the layer up.
class TLayerCalculate {
 public:
  using TNotify = std::function<void(TLayerCalculate& sender)>;
  // 0 a change without undo, 1 a change merged into the previous undo step, 2 a
  // change that starts a new undo step.
  using TChangeEvent = std::function<void(TLayerCalculate& sender, int code)>;
  using TInvalidateEvent = std::function<void(TLayerCalculate& sender, const TRect& rect)>;

  TLayerCalculate();
  virtual ~TLayerCalculate();
  TLayerCalculate(const TLayerCalculate&) = delete;
  TLayerCalculate& operator=(const TLayerCalculate&) = delete;

  TMapping& Mapping() { return *mapping_; }
  TFormula& Formula() { return *formula_; }
  TColoring& InsideColoring() { return *inside_; }
  TColoring& OutsideColoring() { return *outside_; }
  const TMapping& Mapping() const { return *mapping_; }
  const TFormula& Formula() const { return *formula_; }
  const TColoring& InsideColoring() const { return *inside_; }
  const TColoring& OutsideColoring() const { return *outside_; }
  TIndexImage& Image() { return *image_; }
  const TIndexImage& Image() const { return *image_; }

  // Hands the options to the formula, both colorings and the mapping's chain;
  // they compile with them from their next compilation on.
  void SetCompileOptions(const TCompileOptions& options);

  // Stops a running calculation, then resizes the index image (which recalculates).
  void SetImageSize(int width, int height);

  void BeginUpdate();
  void EndUpdate();
  // An update bracket is open.
  bool InUpdate() const { return update_count_ > 0; }
  // A recalculation waits for the outermost bracket to close.
  bool RecalculationPending() const { return pending_ == kPendingRecalculate; }
  // A change that needs no undo step.
  void ChangeWithoutUndo();
  // A change with undo; consecutive changes with the same nonzero identifier merge.
  void Change(int identifier);
  // Stops a running calculation and starts a new one (or resumes an interrupted one).
  void Recalculate();
  // An interrupted calculation starts afresh next time.
  void Forget();
  void Invalidate(const TRect& rect);

  // Stops a running calculation, leaving it interrupted; returns when every piece
  // has ended.
  void Stop();
  // Continues an interrupted calculation.
  void Resume();

  int Method() const { return method_; }
  void SetMethod(int method);
  // Whether a change of the formula sets the method to the formula's (on by
  // default). Whoever restores a layer turns it off while the formula is restored,
  // so that the layer's own method stands.
  bool FollowsFormulaMethod() const { return follows_formula_method_; }
  void SetFollowsFormulaMethod(bool follow) { follows_formula_method_ = follow; }
  // Thread priority 1 (lowest) to 4; new layers start at kDefaultPriority.
  static constexpr int kDefaultPriority = 2;
  int Priority() const { return priority_; }
  void SetPriority(int priority);
  // Threads run at once (1 to 16); used from the next calculation on.
  int ThreadCount() const { return thread_count_; }
  void SetThreadCount(int count);
  bool ClearOnStart() const { return clear_on_start_; }
  void SetClearOnStart(bool clear) { clear_on_start_ = clear; }

  TLayerState State() const { return state_; }
  // Threads of a running calculation left without a piece to run: work for
  // them may start elsewhere. User-interface thread.
  int IdleThreads() const {
    return state_ == kLayerCalculating ? thread_count_ - running_count_ : 0;
  }
  int Symmetry() const { return symmetry_; }
  int SymmetryPhase() const { return symmetry_phase_; }
  TRect CalcRect() const { return calc_rect_; }
  int PieceCount() const { return static_cast<int>(pieces_.size()); }
  int LastChangeIdentifier() const { return last_change_id_; }

  // Carried-over values plus those of the current pieces.
  TCalcStatistics Statistics() const;
  std::int64_t TotalPixels() const { return total_pixels_; }
  // Pixels done / total pixels (0 before anything was to be calculated).
  double Progress() const;

  // The collected rectangles followed by every piece's. Any thread.
  std::vector<TRect> TakeUpdateRects();

  std::vector<std::uint8_t> SaveState() const;
  // Raises EZentrope (kInvalidCalcStateMessage) for a damaged record or one whose
  // pieces do not fit the index image; the layer is unchanged then.
  void RestoreState(const std::vector<std::uint8_t>& record);

  TNotify OnCalculationStart;
  TNotify OnCalculationEnd;
  TChangeEvent OnChange;
  TInvalidateEvent OnInvalidate;

 private:
  enum TPending {
    kPendingNothing = 0,
    kPendingChange = 1,
    kPendingUndoChange = 2,
    kPendingRecalculate = 3
  };

  // The formula and the colorings: the entries whose changes the layer follows.
  std::array<TLexical*, 3> Entries();
  void HookNotifications();
  void BeforeChange();
  void AfterChange();
  void Changed();
  void ImageResized();
  void ReportChange(int code, int identifier);
  void DeliverRecalculate();

  void Calculate();
  int EffectiveSymmetry() const;
  void StartPieces(const TRect& rect);
  void StartNext();
  void AllFinished();
  void DiscardPieces();
  std::unique_ptr<TCompute> NewPiece();
  void ResetStatistics();

  // Runs the symmetry handler for the current phase: starts a batch of pieces
  // (returns true) or mirrors and completes the phase (returns false).
  bool RunSymmetry();
  bool RunAxis(int symmetry, const TSymmetryAxes& axes);
  bool RunOrigin(const TSymmetryAxes& axes);
  TSymmetryAxes Axes() const;
  // Starts the pieces for `rect` as the calculation's whole work.
  void StartAll(const TRect& rect);

  std::unique_ptr<TIndexImage> image_;
  std::unique_ptr<TMapping> mapping_;
  std::unique_ptr<TFormula> formula_;
  std::unique_ptr<TColoring> inside_;
  std::unique_ptr<TColoring> outside_;

  int running_count_ = 0;
  std::vector<std::unique_ptr<TCompute>> pieces_;
  int next_piece_ = 0;
  int symmetry_phase_ = 0;
  std::uint8_t symmetry_ = kSymmetryNone;
  TRect calc_rect_{};
  std::uint8_t method_ = 0;
  std::uint8_t priority_;
  int thread_count_ = 1;
  TLayerState state_ = kLayerIdle;

  mutable std::mutex update_mutex_;
  std::vector<TRect> update_rects_;  // guarded by update_mutex_

  TCalcStatistics carried_;
  std::int64_t total_pixels_ = 0;
  bool clear_on_start_ = true;
  bool follows_formula_method_ = true;
  bool stopping_ = false;
  bool invalidate_pending_ = false;
  TRect invalid_rect_{};
  int last_change_id_ = 0;
  int update_count_ = 0;
  int pending_ = kPendingNothing;
};

}  // namespace zt
