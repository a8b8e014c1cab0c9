// Test helpers for the calculation threads: the objects of one layer that shows
// the shipped Mandelbrot formula, and ways to run a piece to its end, straight
// through or stopped and resumed on the way.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <random>
#include <thread>
#include <vector>

#include "formula/entries/coloring.h"
#include "formula/entries/formula.h"
#include "formula/entries/mapping.h"
#include "render/compute.h"
#include "render/index_image.h"
#include "testing/test_support.h"

namespace zt::testing {

// The Mandelbrot entry at its default location, 250 iterations, colored outside
// by iteration count; the inside is the inside solid color. Periodicity checking
// is off: a thread carries its periodicity start from pixel to pixel, so with it
// a few pixels near the set's edge depend on the order of calculation.
struct TMandelbrotLayer {
  TMandelbrotLayer(int width, int height) {
    MainThreadDispatcher().MakeCurrentThreadMain();
    Formula.SetEntry((SourceDir() / "data" / "Standard.zfm").string(), "Mandelbrot");
    Formula.SetPeriodicity(0);
    Outside.SetEntry((SourceDir() / "data" / "Standard.zcl").string(), "Iterations");
    Mapping.SetImageWidth(width);
    Mapping.SetImageHeight(height);
    Mapping.SetCenter({-0.5L, 0});
    Image.SetSize(width, height);
  }

  template <class TPiece>
  std::unique_ptr<TPiece> MakePiece(const TRect& rect, int passes) {
    auto piece = std::make_unique<TPiece>(Mapping, Formula, Inside, Outside, Image);
    piece->SetRect(rect);
    piece->SetPasses(passes);
    return piece;
  }

  TRect Whole() const { return {0, 0, Image.Width(), Image.Height()}; }

  std::vector<std::uint16_t> Pixels() const {
    std::vector<std::uint16_t> pixels;
    for (int y = 0; y < Image.Height(); ++y) {
      pixels.insert(pixels.end(), Image.Row(y), Image.Row(y) + Image.Width());
    }
    return pixels;
  }

  TMapping Mapping;
  TFormula Formula;
  TColoring Inside{true};
  TColoring Outside{false};
  TIndexImage Image;
};

inline int CountDifferences(const std::vector<std::uint16_t>& a,
                            const std::vector<std::uint16_t>& b) {
  int count = 0;
  for (std::size_t i = 0; i < a.size() && i < b.size(); ++i) count += a[i] != b[i];
  return count;
}

// Starts the piece and waits until it has stopped by itself.
inline void RunPiece(TCompute& piece) {
  piece.Start();
  TSafeThread::SafeWaitFor(&piece);
}

// The whole image calculated by a linear piece, the reference of the other variants.
inline std::vector<std::uint16_t> LinearPixels(int width, int height) {
  TMandelbrotLayer layer(width, height);
  auto piece = layer.MakePiece<TComputeLinear>(layer.Whole(), 1);
  RunPiece(*piece);
  return layer.Pixels();
}

// A piece that also stops itself when it begins its `rows`-th refined row, so
// that stops happen even where the machine is too busy to wake the stopping
// thread before the piece is done.
template <class TPiece>
class TSelfStopping : public TPiece {
 public:
  TSelfStopping(TMandelbrotLayer& layer, int rows)
      : TPiece(layer.Mapping, layer.Formula, layer.Inside, layer.Outside, layer.Image),
        rows_left_(rows) {}
  ~TSelfStopping() override { this->StopCalculation(); }

 protected:
  void RefineRow(int y, int step) override {
    if (--rows_left_ == 0) this->Terminate();
    TPiece::RefineRow(y, step);
  }

 private:
  int rows_left_;  // the piece's own thread only
};

// Calculates `rect` with pieces of class TPiece, stopping each one after a random
// delay of up to `maxMicroseconds` (at least a quarter of it, so that every piece
// gets somewhere) or at a random refined row, whichever comes first, and handing
// its saved state to a new piece, until a piece finishes. Returns the number of
// stops; `last` gets the finished piece's state.
template <class TPiece>
int RunWithStops(TMandelbrotLayer& layer, const TRect& rect, int passes, unsigned seed,
                 int max_microseconds, TPieceState& last) {
  constexpr int kMaxStops = 20000;
  std::mt19937 random(seed);
  std::uniform_int_distribution<int> delay(max_microseconds / 4, max_microseconds);
  std::uniform_int_distribution<int> rows(2, 32);
  TPieceState state;
  int stops = 0;
  for (bool first = true; stops < kMaxStops; first = false) {
    TSelfStopping<TPiece> piece(layer, rows(random));
    piece.SetRect(rect);
    piece.SetPasses(passes);
    if (!first) piece.RestoreState(state);
    piece.Start();
    std::this_thread::sleep_for(std::chrono::microseconds(delay(random)));
    piece.Terminate();
    piece.Abort();
    TSafeThread::SafeWaitFor(&piece);
    state = piece.SaveState();
    if (state.State != kComputeInterrupted) break;
    ++stops;
  }
  last = state;
  return stops;
}

}  // namespace zt::testing
