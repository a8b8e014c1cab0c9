// TCompute: preparing a piece's calculation block, the per-pixel calculation, the
// repaint list and the saved state; and TComputeLinear's row-by-row pass.
#include "render/compute.h"

#include <algorithm>
#include <cmath>
#include <exception>

#include "formula/codegen/entry_thunk.h"
#include "formula/codegen/runtime.h"
#include "formula/entries/coloring.h"
#include "formula/entries/formula.h"
#include "formula/entries/mapping.h"
#include "platform/error.h"
#include "platform/random.h"
#include "platform/user_interface.h"
#include "render/index_image.h"

namespace zt {

TCompute::TCompute(TMapping& mapping, TFormula& formula, TColoring& inside, TColoring& outside,
                   TIndexImage& image)
    : mapping_(mapping), formula_(formula), inside_(inside), outside_(outside), image_(image) {}

TCompute::~TCompute() { StopCalculation(); }

void TCompute::StopCalculation() {
  Abort();
  StopAndJoin();
}

void TCompute::SetRect(const TRect& rect) {
  if (State() != kComputeNew) return;
  rect_ = rect;
  resume_x_ = rect.Left;
  resume_y_ = rect.Top;
}

void TCompute::SetPasses(int passes) {
  if (State() == kComputeNew) passes_ = passes;
}

void TCompute::Start() {
  if (State() == kComputeNew) min_iterations_.store(formula_.MaxIterations());

  mapping_.FillCalcBlock(block_);
  formula_.FillCalcBlock(block_);
  inside_.FillCalcBlock(block_);
  outside_.FillCalcBlock(block_);
  // What the compiled code iterates to; the orbit buffer must hold all of it.
  const int max_iterations = std::max(block_.Int32(calc::kMaxIter), 0);
  ninety_percent_ = static_cast<int>(std::lround(9.0 * max_iterations / 10.0));
  if (inside_.UsesOrbit() || outside_.UsesOrbit())
    block_.Allocate(static_cast<std::size_t>(max_iterations + 1) * calc::kOrbitEntrySize,
                    calc::kOrbitBuffer);

  const long double digits =
      std::round(std::log10(static_cast<long double>(std::max(max_iterations, 1))));
  const std::uint32_t reload = std::max<std::uint32_t>(4, static_cast<std::uint32_t>(digits));
  block_.SetUInt32(calc::kPeriodicityReload, reload);
  block_.SetUInt32(calc::kPeriodicityInitialMask, 2 * reload + 1);
  block_.SetUInt32(calc::kPeriodicityStart, 0);
  static constexpr float kToleranceShare[] = {0.0f, 0.25f, 0.5f, 1.0f};
  const int mode = block_.Byte(calc::kPeriodicityMode);
  const float share = mode >= 1 && mode <= 3 ? kToleranceShare[mode] : 0.0f;
  block_.SetFloat32(calc::kPeriodicityTolerance,
                    static_cast<float>(block_.Extended(calc::kLocationFactor) * share));

  block_.SetComplex(calc::kScreenMax, {static_cast<long double>(mapping_.ImageWidth()),
                                       static_cast<long double>(mapping_.ImageHeight())});
  Resume();
}

std::uint16_t TCompute::CalcPixel(int x, int y, int sx, int sy) {
  long double screen_x = x;
  long double screen_y = y;
  int pixel_x = x;
  int pixel_y = y;
  if (sx != 1 || sy != 1) {
    screen_x = static_cast<long double>(x) / sx;
    screen_y = static_cast<long double>(y) / sy;
    pixel_x = static_cast<int>(std::floor(screen_x));
    pixel_y = static_cast<int>(std::floor(screen_y));
  }
  const TRect origin = mapping_.ImageRect();
  screen_x -= origin.Left;
  screen_y -= origin.Top;
  pixel_x -= origin.Left;
  pixel_y -= origin.Top;
  block_.SetComplex(calc::kScreenPixel, {screen_x, screen_y});
  block_.SetInt32(calc::kX, pixel_x);
  block_.SetInt32(calc::kY, pixel_y);
  block_.SetByte(calc::kWhiteSq, ((pixel_x + pixel_y) & 1) != 0 ? 1 : 0);

  if (block_.Byte(calc::kPeriodicityMode) == 0 || inside_.Transfer() != 0)
    block_.SetUInt32(calc::kPeriodicityStart, 0);
  block_.SetUInt32(calc::kPeriodicityMask, block_.UInt32(calc::kPeriodicityInitialMask));
  block_.SetUInt32(calc::kPeriodicityCountdown, block_.UInt32(calc::kPeriodicityReload));
  block_.SetComplex(calc::kZ, {0, 0});
  block_.SetComplex(calc::kPeriodicityRef, {0, 0});
  TRandom& random = ProgramRandom();
  const long double random_re = random.RandomReal();
  const long double random_im = random.RandomReal();
  block_.SetComplex(calc::kRandom, {random_re, random_im});
  pixel_calls_.fetch_add(1, std::memory_order_relaxed);
  block_.SetExtended(calc::kIndex, 0);

  // MapPixel clears #solid before the transformations run.
  mapping_.MapPixel(block_, screen_x - std::floor(screen_x), screen_y - std::floor(screen_y));
  if (block_.Byte(calc::kSolid) != 0) return kMappingSolid;

  CallProcedure(formula_.Procedure(), block_.Data());

  const int numiter = block_.Int32(calc::kNumIter);
  const int maxiter = block_.Int32(calc::kMaxIter);
  if (numiter == maxiter) {
    block_.SetUInt32(calc::kPeriodicityStart, 0xFFFFFFFFu);
    inside_count_.fetch_add(1, std::memory_order_relaxed);
    return inside_.GradientPosition(block_);
  }
  block_.SetUInt32(calc::kPeriodicityStart,
                   static_cast<std::uint32_t>(std::max(maxiter - numiter - 10, 0)));
  const std::uint16_t index = outside_.GradientPosition(block_);
  if (numiter < min_iterations_.load(std::memory_order_relaxed))
    min_iterations_.store(numiter, std::memory_order_relaxed);
  if (numiter > max_iterations_.load(std::memory_order_relaxed))
    max_iterations_.store(numiter, std::memory_order_relaxed);
  if (numiter > ninety_percent_) slow_count_.fetch_add(1, std::memory_order_relaxed);
  return index;
}

void TCompute::AddUpdateRect(const TRect& rect) {
  std::lock_guard<std::mutex> lock(update_mutex_);
  current_rect_ = rect;
  zt::AddUpdateRect(update_rects_, rect);
}

std::vector<TRect> TCompute::TakeUpdateRects() {
  std::lock_guard<std::mutex> lock(update_mutex_);
  std::vector<TRect> taken;
  taken.swap(update_rects_);
  if (State() == kComputeRunning) update_rects_.push_back(current_rect_);
  return taken;
}

TPieceState TCompute::SaveState() const {
  TPieceState saved;
  saved.State = State();
  saved.Rect = rect_;
  saved.Passes = passes_;
  saved.ResumeX = resume_x_;
  saved.ResumeY = resume_y_;
  saved.CurrentPass = current_pass_;
  saved.Statistics = Statistics();
  return saved;
}

void TCompute::RestoreState(const TPieceState& saved) {
  if (State() != kComputeNew) return;
  rect_ = saved.Rect;
  passes_ = saved.Passes;
  resume_x_ = saved.ResumeX;
  resume_y_ = saved.ResumeY;
  current_pass_ = saved.CurrentPass;
  const TCalcStatistics& s = saved.Statistics;
  pixels_done_.store(s.PixelsDone);
  inside_count_.store(s.InsideCount);
  min_iterations_.store(s.MinIterations);
  max_iterations_.store(s.MaxIterations);
  slow_count_.store(s.SlowCount);
  pixel_calls_.store(s.PixelCalls);
  state_.store(saved.State);
}

void TCompute::Abort() { block_.SetByte(calc::kAbort, 1); }

void TCompute::Execute() {
  UseWorkingControlWord();
  try {
    Calculate();
    SetState(Terminated() ? kComputeInterrupted : kComputeFinished);
    return;
  } catch (const std::exception& error) {
    ReportError(error.what());
  } catch (...) {
    ReportError("Unknown error");
  }
  SetState(kComputeFinished);
}

void TCompute::ReportError(const std::string& message) {
  UserInterface().ShowMessage("Thread Error", "Error in computing thread:\n" + message + ".",
                              TMessageKind::kError);
}

TComputeLinear::~TComputeLinear() { StopCalculation(); }

void TComputeLinear::Calculate() {
  const TRect rect = Rect();
  int x = rect.Left;
  int y = rect.Top;
  if (State() == kComputeInterrupted) {
    x = resume_x_;
    y = resume_y_;
  }
  SetState(kComputeRunning);
  for (; y < rect.Bottom; ++y, x = rect.Left) {
    AddUpdateRect({rect.Left, y, rect.Right, y + 1});
    for (; x < rect.Right; ++x) {
      Image().SetPixel(x, y, CalcPixel(x, y, 1, 1));
      if (Terminated()) {
        resume_x_ = x;
        resume_y_ = y;
        SetState(kComputeInterrupted);
        return;
      }
      AddPixelsDone(1);
    }
  }
  // Nothing is left: a stop request that arrives now resumes to an empty pass.
  resume_x_ = rect.Left;
  resume_y_ = rect.Bottom;
}

}  // namespace zt
