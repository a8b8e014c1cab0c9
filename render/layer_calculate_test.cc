// Tests of the layer calculation: symmetric renders against plain ones, stopping
// and resuming, the state record across layers, piece splits and change batching.
// The calculations run on real threads; the test thread is the main thread and
// keeps the dispatcher running while it waits.
#include "render/layer_calculate.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "formula/entries/transform.h"
#include "platform/error.h"
#include "platform/random.h"
#include "platform/thread.h"
#include "testing/test_support.h"

namespace zt {
namespace {

// Every symmetric entry has a twin without the symmetry word. Periodicity is off
// so that a pixel's value does not depend on the pixels calculated before it.
std::string Entry(const std::string& name, const std::string& symmetry, const std::string& init,
                  const std::string& loop, const std::string& method, int max_iter) {
  std::string settings = "default:\n  maxiter = " + std::to_string(max_iter) +
                         "\n  periodicity = 0\n  method = " + method + "\n}\n";
  std::string body =
      "init:\n  " + init + "\nloop:\n  " + loop + "\nbailout:\n  |z| < 4\n" + settings;
  std::string result = name + " {\n" + body;
  if (!symmetry.empty()) result += name + "Sym(" + symmetry + ") {\n" + body;
  return result;
}

const std::string kEntries =
    Entry("Mandel", "XAXIS", "z = 0", "z = sqr(z) + #pixel", "onepass", 60) +
    Entry("Cubic", "YAXIS", "z = #pixel", "z = z * z * z + (0, 0.6)", "onepass", 60) +
    Entry("Basilica", "XYAXIS", "z = #pixel", "z = sqr(z) + (-1, 0)", "onepass", 60) +
    Entry("Julia", "ORIGIN", "z = #pixel", "z = sqr(z) + (-0.75, 0.11)", "onepass", 60) +
    Entry("Slow", "ORIGIN", "z = #pixel", "z = sqr(z) + (-0.12, 0.75)", "guessing", 50000) +
    "Endless {\ninit:\n  float t = 0\nloop:\n  while true\n    t = t + 1\n  endwhile\n"
    "  z = t\nbailout:\n  |z| < 4\n}\n";

// A 64 x 48 image at magnification 1 has 1/16 between pixels, so centers on that
// grid put the axes exactly on pixel rows and columns.
constexpr int kWidth = 64;
constexpr int kHeight = 48;

class LayerCalculateTest : public ::testing::Test {
 protected:
  void SetUp() override {
    MainThreadDispatcher().MakeCurrentThreadMain();
    file_ = dir_.Write("layer.zfm", kEntries).string();
  }

  // A layer with the entry, center and thread count, set up but not started (its
  // update bracket is still open).
  std::unique_ptr<TLayerCalculate> NewLayer(const std::string& entry, TComplex center, int threads,
                                            int width = kWidth, int height = kHeight) {
    auto layer = std::make_unique<TLayerCalculate>();
    layer->SetThreadCount(threads);
    layer->Formula().SetEntry(file_, entry);
    EXPECT_FALSE(layer->Formula().CompileFailed()) << entry;
    layer->Mapping().SetCenter(center);
    layer->SetImageSize(width, height);
    return layer;
  }

  static void Finish(TLayerCalculate& layer) {
    MainThreadDispatcher().WaitFor([&] { return layer.State() != kLayerCalculating; });
  }

  static std::vector<std::uint16_t> Pixels(const TLayerCalculate& layer) {
    std::vector<std::uint16_t> pixels;
    const TIndexImage& image = layer.Image();
    for (int y = 0; y < image.Height(); ++y)
      for (int x = 0; x < image.Width(); ++x) pixels.push_back(image.GetPixel(x, y));
    return pixels;
  }

  std::vector<std::uint16_t> Render(const std::string& entry, TComplex center, int threads = 3) {
    auto layer = NewLayer(entry, center, threads);
    layer->EndUpdate();
    Finish(*layer);
    EXPECT_EQ(layer->State(), kLayerIdle);
    return Pixels(*layer);
  }

  testing::TempDir dir_;
  std::string file_;
};

TEST_F(LayerCalculateTest, SymmetricRendersEqualPlainRenders) {
  struct Case {
    const char* Entry;
    TComplex Center;
    int Symmetry;
    std::int64_t Calculated;  // pixels calculated instead of mirrored
  };
  const Case cases[] = {
      // Axis row 28: rows 0..28 calculated, 29..47 mirrored.
      {"Mandel", {-0.5L, 0.25L}, kSymmetryRealAxis, 29 * kWidth},
      // Axis column 30: columns 30..63 calculated.
      {"Cubic", {0.125L, 0}, kSymmetryImagAxis, 34 * kHeight},
      // Axis column 28 and row 22: columns 28..63, rows 22..47.
      {"Basilica", {0.25L, -0.125L}, kSymmetryBothAxes, 36 * 26},
      // Origin at (24, 29): rows 0..29, and the strip x >= 49 of rows 30..47.
      {"Julia", {0.5L, 0.3125L}, kSymmetryOrigin, 30 * kWidth + 15 * 18},
      // Centered: the axis row 24 and column 32.
      {"Julia", {0, 0}, kSymmetryOrigin, 25 * kWidth + 23},
      // The imaginary axis outside the image: only the real axis is used.
      {"Basilica", {3, 0}, kSymmetryBothAxes, 25 * kWidth},
      // Both axes outside: everything is calculated.
      {"Basilica", {3, 2}, kSymmetryBothAxes, kWidth * kHeight},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.Entry) + " at " + std::to_string(double(c.Center.real())) + "," +
                 std::to_string(double(c.Center.imag())));
    std::vector<std::uint16_t> plain = Render(c.Entry, c.Center);
    auto layer = NewLayer(std::string(c.Entry) + "Sym", c.Center, 3);
    std::vector<double> progress;
    layer->OnCalculationEnd = [&](TLayerCalculate& sender) {
      progress.push_back(sender.Progress());
    };
    layer->EndUpdate();
    Finish(*layer);
    EXPECT_EQ(layer->Symmetry(), c.Symmetry);
    EXPECT_EQ(layer->SymmetryPhase(), kSymmetryDone);
    EXPECT_EQ(Pixels(*layer), plain);
    EXPECT_EQ(layer->TotalPixels(), c.Calculated);
    EXPECT_EQ(layer->Statistics().PixelCalls, c.Calculated);
    EXPECT_EQ(layer->Statistics().PixelsDone, c.Calculated);
    EXPECT_EQ(progress, std::vector<double>{1.0});
    EXPECT_EQ(std::count(plain.begin(), plain.end(), kBackgroundIndex), 0);
  }
}

TEST_F(LayerCalculateTest, RotationOrTransformationDisablesSymmetry) {
  auto rotated = NewLayer("MandelSym", {-0.5L, 0}, 2);
  rotated->Mapping().SetAngle(0.5L);
  rotated->EndUpdate();
  Finish(*rotated);
  EXPECT_EQ(rotated->Symmetry(), kSymmetryNone);
  EXPECT_EQ(rotated->Statistics().PixelCalls, kWidth * kHeight);

  auto transformed = NewLayer("MandelSym", {-0.5L, 0}, 2);
  std::string zxf = dir_.Write("t.zxf", "Shift {\ntransform:\n  #pixel = #pixel + (0.001, 0)\n}\n");
  auto transform = std::make_unique<TTransform>();
  transform->SetEntry(zxf, "Shift");
  transformed->Mapping().Transforms().Add(std::move(transform));
  transformed->EndUpdate();
  Finish(*transformed);
  EXPECT_EQ(transformed->Symmetry(), kSymmetryNone);
  EXPECT_EQ(transformed->Statistics().PixelCalls, kWidth * kHeight);
}

// Stops after a random number of milliseconds and resumes; the calculation is
// interrupted in every phase of the origin symmetry along the way.
TEST_F(LayerCalculateTest, StoppingAndResumingManyTimesGivesTheSameImage) {
  const TComplex center{0.5L, 0.3125L};
  std::vector<std::uint16_t> whole = Render("SlowSym", center, 2);
  auto layer = NewLayer("SlowSym", center, 2);
  int ends = 0;
  layer->OnCalculationEnd = [&](TLayerCalculate&) { ++ends; };
  layer->EndUpdate();
  int stops = 0;
  while (layer->State() == kLayerCalculating && stops < 20) {
    auto until =
        std::chrono::steady_clock::now() + std::chrono::microseconds(ProgramRandom().Random(3000));
    MainThreadDispatcher().WaitFor([&] { return std::chrono::steady_clock::now() >= until; });
    if (layer->State() != kLayerCalculating) break;
    layer->Stop();
    ++stops;
    EXPECT_EQ(layer->State(), kLayerInterrupted);
    EXPECT_EQ(ends, stops);
    layer->Resume();
  }
  Finish(*layer);
  EXPECT_GE(stops, 3);
  EXPECT_EQ(layer->Symmetry(), kSymmetryOrigin);
  EXPECT_EQ(Pixels(*layer), whole);
  EXPECT_DOUBLE_EQ(layer->Progress(), 1.0);
}

TEST_F(LayerCalculateTest, RestoredStateResumesInAFreshLayer) {
  const TComplex center{0.5L, 0.3125L};
  std::vector<std::uint16_t> whole = Render("SlowSym", center, 2);
  auto first = NewLayer("SlowSym", center, 2);
  first->EndUpdate();
  MainThreadDispatcher().WaitFor([&] { return first->Statistics().PixelsDone > 200; });
  first->Stop();
  ASSERT_EQ(first->State(), kLayerInterrupted);
  std::vector<std::uint8_t> record = first->SaveState();
  EXPECT_EQ(record.size(), 48u + 60u * first->PieceCount());
  EXPECT_EQ(record[0], kLayerInterrupted);

  auto second = NewLayer("SlowSym", center, 1);
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x) second->Image().SetPixel(x, y, first->Image().GetPixel(x, y));
  second->RestoreState(record);
  EXPECT_EQ(second->ThreadCount(), 2);
  EXPECT_EQ(second->SaveState(), record);
  second->EndUpdate();
  Finish(*second);
  EXPECT_EQ(Pixels(*second), whole);
  // Nothing calculated before the stop was calculated again.
  auto third = NewLayer("SlowSym", center, 2);
  third->EndUpdate();
  Finish(*third);
  EXPECT_EQ(second->Statistics().PixelsDone, third->Statistics().PixelsDone);
}

TEST_F(LayerCalculateTest, RecordsThatDoNotFitAreRefused) {
  auto layer = NewLayer("Mandel", {-0.5L, 0}, 1, 8, 6);
  layer->EndUpdate();
  Finish(*layer);
  std::vector<std::uint8_t> record = layer->SaveState();
  ASSERT_EQ(record.size(), 108u);
  std::vector<std::uint8_t> before = record;
  record[48 + 8] = 9;  // the piece's right edge beyond the 8 pixels of the image
  try {
    layer->RestoreState(record);
    ADD_FAILURE() << "restored";
  } catch (const EZentrope& e) {
    EXPECT_EQ(e.Message(), "The saved calculation state is damaged");
  }
  EXPECT_EQ(layer->SaveState(), before);
}

TEST_F(LayerCalculateTest, PiecesFollowTheThreadCount) {
  const int expected[16] = {1, 4, 6, 8, 9, 12, 12, 16, 18, 18, 18, 24, 24, 27, 27, 32};
  std::vector<std::uint16_t> single = Render("Mandel", {-0.5L, 0.1L}, 1);
  for (int threads = 1; threads <= 16; ++threads) {
    auto layer = NewLayer("Mandel", {-0.5L, 0.1L}, threads);
    layer->EndUpdate();
    Finish(*layer);
    EXPECT_EQ(layer->PieceCount(), expected[threads - 1]) << threads;
    EXPECT_EQ(layer->Statistics().PixelCalls, kWidth * kHeight) << threads;
    EXPECT_EQ(Pixels(*layer), single) << threads;
  }
}

TEST_F(LayerCalculateTest, ChangingTheFormulaWhileInterruptedStartsAfresh) {
  auto layer = NewLayer("SlowSym", {0, 0}, 2);
  layer->EndUpdate();
  MainThreadDispatcher().WaitFor([&] { return layer->Statistics().PixelsDone > 100; });
  layer->Stop();
  ASSERT_EQ(layer->State(), kLayerInterrupted);
  layer->Formula().SetEntry(file_, "Mandel");
  EXPECT_EQ(layer->State(), kLayerCalculating);
  EXPECT_EQ(layer->SymmetryPhase(), 0);
  Finish(*layer);
  EXPECT_EQ(layer->Statistics().PixelCalls, kWidth * kHeight);
  EXPECT_EQ(Pixels(*layer), Render("Mandel", {0, 0}));
}

TEST_F(LayerCalculateTest, ChangesAreBatchedAndMerged) {
  auto layer = NewLayer("Mandel", {-0.5L, 0}, 1, 4, 3);
  std::vector<int> codes;
  std::vector<TRect> invalid;
  layer->OnChange = [&](TLayerCalculate&, int code) { codes.push_back(code); };
  layer->OnInvalidate = [&](TLayerCalculate&, const TRect& r) { invalid.push_back(r); };
  layer->EndUpdate();  // the pending recalculation
  Finish(*layer);
  EXPECT_EQ(codes, std::vector<int>{2});

  codes.clear();
  invalid.clear();
  layer->Change(5);
  layer->Change(5);
  layer->Change(6);
  layer->ChangeWithoutUndo();
  layer->Change(6);
  layer->Change(0);
  layer->Change(0);
  EXPECT_EQ(codes, (std::vector<int>{2, 1, 2, 0, 2, 2, 2}));
  EXPECT_EQ(layer->LastChangeIdentifier(), 0);

  codes.clear();
  layer->BeginUpdate();
  layer->ChangeWithoutUndo();
  layer->Invalidate(TRect{0, 0, 1, 1});
  layer->Invalidate(TRect{2, 1, 3, 3});
  layer->BeginUpdate();
  layer->Change(7);
  layer->EndUpdate();
  EXPECT_TRUE(codes.empty());
  EXPECT_TRUE(invalid.empty());
  layer->EndUpdate();
  EXPECT_EQ(codes, std::vector<int>{2});
  EXPECT_EQ(invalid, (std::vector<TRect>{{0, 0, 3, 3}}));

  // A pending recalculation swallows the waiting invalidation: it repaints anyway.
  codes.clear();
  invalid.clear();
  layer->BeginUpdate();
  layer->Invalidate(TRect{0, 0, 1, 1});
  layer->Recalculate();
  layer->EndUpdate();
  Finish(*layer);
  EXPECT_EQ(codes, std::vector<int>{2});
  EXPECT_EQ(invalid, (std::vector<TRect>{{0, 0, 4, 3}}));
}

TEST_F(LayerCalculateTest, StopsAnEndlessUserLoopPromptly) {
  auto layer = NewLayer("Endless", {0, 0}, 2);
  layer->EndUpdate();
  ASSERT_EQ(layer->State(), kLayerCalculating);
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  const auto start = std::chrono::steady_clock::now();
  layer->Stop();
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(500));
  EXPECT_EQ(layer->State(), kLayerInterrupted);
}

}  // namespace
}  // namespace zt
