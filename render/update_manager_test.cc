// The update manager against layers whose pixels name their own positions: what
// it draws when, what a stop drops, the preview shown and committed, the
// animation settings, the merged rows for export, and the wait for a finished
// calculation. The test thread is the user-interface (main) thread.
#include "render/update_manager.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <deque>
#include <memory>
#include <mutex>
#include <numbers>
#include <string>
#include <thread>
#include <vector>

#include "render/direct_bitmap.h"
#include "render/layer_stack.h"
#include "testing/test_support.h"

namespace zt {
namespace {

constexpr double kPi = std::numbers::pi;
constexpr int kWidth = 40;
constexpr int kHeight = 30;
constexpr std::uint32_t kBackground = 0x00EEEEEE;

// What a layer with tag `tag` shows for index `index`: the index in blue and
// green, the tag in red.
std::uint32_t IndexColor(int tag, int index) {
  return static_cast<std::uint32_t>(tag) << 16 | static_cast<std::uint32_t>(index);
}

// Layers whose pixels show as IndexColor(tag, index) and the background index as
// kBackground; the top visible layer (index 0 first) covers the ones below, as
// opaque layers of the normal mode do.
class TFakeLayers : public TLayerStack {
 public:
  struct TLayer {
    std::unique_ptr<TLayerCalculate> Calculation;
    int Tag = 0;
    bool Selected = true;
    bool Visible = true;
  };

  TLayer& Add(int tag) {
    layers_.push_back({std::make_unique<TLayerCalculate>(), tag});
    return layers_.back();
  }
  TLayer& operator[](int index) { return layers_[static_cast<std::size_t>(index)]; }
  void Clear() { layers_.clear(); }

  int Count() const override { return static_cast<int>(layers_.size()); }
  TLayerCalculate& Calculation(int index) override { return *(*this)[index].Calculation; }
  bool Selected(int index) const override {
    return layers_[static_cast<std::size_t>(index)].Selected;
  }
  void MergeRow(int y, int x, int count, std::uint32_t* out) const override {
    const TLayer* top = Top();
    for (int i = 0; i < count; ++i)
      out[i] = Color(*top, top->Calculation->Image().GetPixel(x + i, y));
  }
  void MergePreviewRow(const TPreview& preview, int y, std::uint32_t* out) const override {
    const TLayer* top = Top();
    std::vector<std::uint16_t> indices(static_cast<std::size_t>(preview.Width));
    if (top->Selected)
      PreviewIndexRow(preview, top->Calculation->Image().Row(0), y, indices.data());
    else
      for (int x = 0; x < preview.Width; ++x) indices[x] = top->Calculation->Image().GetPixel(x, y);
    for (int x = 0; x < preview.Width; ++x) out[x] = Color(*top, indices[x]);
  }

 private:
  const TLayer* Top() const {
    for (const TLayer& layer : layers_)
      if (layer.Visible) return &layer;
    return &layers_.front();
  }
  static std::uint32_t Color(const TLayer& layer, int index) {
    return index == kBackgroundIndex ? kBackground : IndexColor(layer.Tag, index);
  }

  std::deque<TLayer> layers_;
};

struct PaintRecord {
  bool OnTestThread;
  TRect Rect;
  int ShiftX, ShiftY;
  double Zoom, Angle;
};

class UpdateManagerTest : public ::testing::Test {
 protected:
  void SetUp() override { MainThreadDispatcher().MakeCurrentThreadMain(); }

  void TearDown() override { manager_.reset(); }

  // Adds a layer of the given size whose pixel (x, y) holds index y * width + x.
  TFakeLayers::TLayer& AddLayer(int tag, int width = kWidth, int height = kHeight) {
    TFakeLayers::TLayer& layer = layers_.Add(tag);
    TIndexImage& image = layer.Calculation->Image();
    image.OnResize = nullptr;
    image.SetSize(width, height);
    layer.Calculation->EndUpdate();
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x)
        image.SetPixel(x, y, static_cast<std::uint16_t>(y * width + x));
    return layer;
  }

  void Start(int width = kWidth, int height = kHeight) {
    bitmap_.SetWidth(width);
    bitmap_.SetHeight(height);
    const std::thread::id test_thread = std::this_thread::get_id();
    bitmap_.OnPaint = [this, test_thread](TDirectBitmap&, const TRect& rect) {
      std::lock_guard<std::mutex> lock(paint_mutex_);
      PaintRecord record{std::this_thread::get_id() == test_thread, rect, 0, 0, 0.0, 0.0};
      // The preview values belong to the test thread; read them only there.
      if (record.OnTestThread)
        record = {true,
                  rect,
                  manager_->ShiftX(),
                  manager_->ShiftY(),
                  manager_->Zoom(),
                  manager_->Angle()};
      paints_.push_back(record);
    };
    manager_ = std::make_unique<TUpdateManager>(bitmap_, layers_);
    manager_->SetAnimationOptions(animation_);
  }

  void WaitIdle() { ASSERT_TRUE(manager_->WaitIdle(10000)); }

  std::vector<PaintRecord> Paints() {
    std::lock_guard<std::mutex> lock(paint_mutex_);
    return paints_;
  }

  // What animations drew: they paint on the test thread, redraws on the worker.
  std::vector<PaintRecord> Frames() {
    std::vector<PaintRecord> frames;
    for (const PaintRecord& p : Paints())
      if (p.OnTestThread) frames.push_back(p);
    return frames;
  }

  // The number of bitmap pixels that differ from `expected(x, y)`.
  template <class F>
  int Mismatches(F expected) {
    int count = 0;
    for (int y = 0; y < bitmap_.Height(); ++y)
      for (int x = 0; x < bitmap_.Width(); ++x) count += bitmap_.Pixel(x, y) != expected(x, y);
    return count;
  }

  TDirectBitmap bitmap_;
  TFakeLayers layers_;
  TAnimationOptions animation_{.Animation = 2, .LimitAnimSize = false, .AnimFrames = 3};
  std::unique_ptr<TUpdateManager> manager_;  // declared last: goes first
  std::mutex paint_mutex_;
  std::vector<PaintRecord> paints_;
};

TEST_F(UpdateManagerTest, InvalidateWhileIdleIsDrawnAndPainted) {
  AddLayer(1);
  Start();
  manager_->Invalidate({5, 5, 10, 8});
  WaitIdle();
  EXPECT_EQ(Mismatches([](int x, int y) {
              const bool inside = x >= 5 && x < 10 && y >= 5 && y < 8;
              return inside ? IndexColor(1, y * kWidth + x) : 0u;
            }),
            0);
  ASSERT_EQ(Paints().size(), 1u);
  EXPECT_EQ(Paints()[0].Rect, (TRect{5, 5, 10, 8}));
  EXPECT_FALSE(Paints()[0].OnTestThread);

  manager_->Invalidate({-10, 20, 100, 50});  // clipped to the bitmap
  WaitIdle();
  EXPECT_EQ(Paints().back().Rect, (TRect{0, 20, kWidth, kHeight}));
}

TEST_F(UpdateManagerTest, InvalidateWhileStoppedIsNeverDrawn) {
  AddLayer(1);
  Start();
  manager_->BeginStop();
  manager_->BeginStop();  // nests
  manager_->InvalidateAll();
  manager_->EndStop();
  manager_->Invalidate({0, 0, 1, 1});
  manager_->EndStop();
  manager_->EndStop();  // an unmatched end changes nothing
  WaitIdle();
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_TRUE(Paints().empty());
  EXPECT_EQ(bitmap_.Pixel(0, 0), 0u);

  manager_->InvalidateAll();
  WaitIdle();
  EXPECT_EQ(Mismatches([](int x, int y) { return IndexColor(1, y * kWidth + x); }), 0);
}

TEST_F(UpdateManagerTest, BeginStopWaitsForTheRedrawInProgress) {
  AddLayer(1);
  Start();
  std::atomic<bool> entered{false}, release{false}, stopped{false};
  bitmap_.OnPaint = [&](TDirectBitmap&, const TRect&) {
    entered = true;
    while (!release) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  };
  manager_->InvalidateAll();
  while (!entered) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  std::thread stopper([&] {
    manager_->BeginStop();
    stopped = true;
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  EXPECT_FALSE(stopped);
  release = true;
  stopper.join();
  EXPECT_TRUE(stopped);
  manager_->EndStop();
}

TEST_F(UpdateManagerTest, PreviewSettersClampTheZoomAndIgnoreNaN) {
  Start();
  const struct {
    double Set, Stored;
  } cases[] = {{0.0001, 0.001}, {5000, 1000}, {2.5, 2.5}, {std::nan(""), 2.5}, {-1, 0.001}};
  for (const auto& c : cases) {
    manager_->SetZoom(c.Set);
    EXPECT_EQ(manager_->Zoom(), c.Stored) << c.Set;
  }
  manager_->SetShiftX(3);
  manager_->SetShiftY(-4);
  manager_->SetAngle(0.5);
  EXPECT_EQ(manager_->Preview().OX,
            static_cast<int>(std::nearbyint(std::cos(0.5) * 3 + std::sin(0.5) * 4)));
  EXPECT_TRUE(manager_->Preview().Transformed);
  manager_->ResetPreview();
  EXPECT_EQ(manager_->ShiftX(), 0);
  EXPECT_EQ(manager_->ShiftY(), 0);
  EXPECT_EQ(manager_->Zoom(), 1.0);
  EXPECT_EQ(manager_->Angle(), 0.0);
  EXPECT_FALSE(manager_->Preview().Moves());
}

TEST_F(UpdateManagerTest, ShownShiftMovesOnlySelectedLayers) {
  for (bool selected : {true, false}) {
    SCOPED_TRACE(selected);
    layers_.Clear();
    AddLayer(1).Selected = selected;
    Start();
    manager_->SetShiftX(10);
    manager_->SetShiftY(-5);
    manager_->InvalidateAll();
    WaitIdle();
    EXPECT_EQ(Mismatches([selected](int x, int y) {
                if (!selected) return IndexColor(1, y * kWidth + x);
                if (x < 10 || y >= kHeight - 5) return kBackground;
                return IndexColor(1, (y + 5) * kWidth + x - 10);
              }),
              0);
    EXPECT_EQ(Paints().back().Rect, (TRect{0, 0, kWidth, kHeight}));
    manager_.reset();
  }
}

TEST_F(UpdateManagerTest, ShownZoomTwoEnlargesTheCentralQuarter) {
  AddLayer(1);
  Start();
  manager_->SetZoom(2.0);
  manager_->Invalidate({0, 0, 1, 1});  // any rectangle redraws everything under a preview
  WaitIdle();
  // About (20, 15): display (x, y) shows source (20 + floor((x - 20) / 2), ...).
  EXPECT_EQ(Mismatches([](int x, int y) {
              const int sx = 20 + static_cast<int>(std::floor((x - 20) / 2.0));
              const int sy = 15 + static_cast<int>(std::floor((y - 15) / 2.0));
              return IndexColor(1, sy * kWidth + sx);
            }),
            0);
}

TEST_F(UpdateManagerTest, DirectNavigationCommitsSelectedLayersAndRedraws) {
  TIndexImage& moved = AddLayer(1).Calculation->Image();
  TFakeLayers::TLayer& fixed_layer = AddLayer(2);
  fixed_layer.Selected = false;
  fixed_layer.Visible = false;
  TIndexImage& fixed = fixed_layer.Calculation->Image();
  Start();
  manager_->AnimateTransform(10, -5, 0.0, 1.0, false);
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x) {
      const bool outside = x < 10 || y >= kHeight - 5;
      ASSERT_EQ(moved.GetPixel(x, y), outside ? kBackgroundIndex : (y + 5) * kWidth + x - 10);
      ASSERT_EQ(fixed.GetPixel(x, y), y * kWidth + x);
    }
  EXPECT_FALSE(manager_->Preview().Moves());
  EXPECT_TRUE(Frames().empty());
  WaitIdle();
  EXPECT_EQ(bitmap_.Pixel(0, 0), kBackground);
  EXPECT_EQ(bitmap_.Pixel(10, 0), IndexColor(1, 5 * kWidth));
}

TEST_F(UpdateManagerTest, DirectNavigationUsesTheZoomUnclamped) {
  // Display column 2100 of a 2200-pixel row lies 1000 right of the center: a zoom
  // of 2000 shows source column 1100.5, the clamped 1000 would show 1101.
  AddLayer(1, 2200, 1);
  Start(2200, 1);
  manager_->AnimateTransform(0, 0, 0.0, 2000.0, false);
  EXPECT_EQ(layers_.Calculation(0).Image().GetPixel(2100, 0), 1100);
  EXPECT_EQ(layers_.Calculation(0).Image().GetPixel(99, 0), 1099);  // 1100 - 1001 / 2000
  EXPECT_EQ(manager_->Zoom(), 1.0);
}

TEST_F(UpdateManagerTest, AnimationTakesTheShortWayRoundAndEndsOnTheFullTransform) {
  AddLayer(1);
  Start();
  manager_->AnimateTransform(30, -9, 3 * kPi / 2, 4.0, true);
  const std::vector<PaintRecord> frames = Frames();
  ASSERT_EQ(frames.size(), 2u);
  // Middle frame: e = 1/2, zoom sqrt(4) = 2, shift along (2 - 1) / (4 - 1).
  EXPECT_DOUBLE_EQ(frames[0].Angle, -kPi / 4);
  EXPECT_DOUBLE_EQ(frames[0].Zoom, 2.0);
  EXPECT_EQ(frames[0].ShiftX, 10);
  EXPECT_EQ(frames[0].ShiftY, -3);
  EXPECT_DOUBLE_EQ(frames[1].Angle, -kPi / 2);
  EXPECT_EQ(frames[1].Zoom, 4.0);
  EXPECT_EQ(frames[1].ShiftX, 30);
  EXPECT_EQ(frames[1].Rect, (TRect{0, 0, kWidth, kHeight}));
  // Frames are drawn interlaced: every odd row repeats the one above.
  for (int y = 1; y < kHeight; y += 2)
    for (int x = 0; x < kWidth; ++x) ASSERT_EQ(bitmap_.Pixel(x, y), bitmap_.Pixel(x, y - 1));
  EXPECT_FALSE(manager_->Preview().Moves());
  EXPECT_FALSE(manager_->Preview().Animating);
}

TEST_F(UpdateManagerTest, ZoomOneAnimationMovesTheShiftAlongTheEasing) {
  AddLayer(1);
  Start();
  manager_->SetAnimationOptions({.Animation = 2, .LimitAnimSize = false, .AnimFrames = 4});
  manager_->AnimateTransform(27, 0, 0.0, 1.0, true);
  std::vector<int> shifts;
  for (const PaintRecord& p : Frames()) shifts.push_back(p.ShiftX);
  // e(1/3) = 7/27, e(2/3) = 20/27.
  EXPECT_EQ(shifts, (std::vector<int>{7, 20, 27}));

  // Halfway shifts of 2.5 and 3.5 go to the even neighbours.
  manager_->SetAnimationOptions({.Animation = 2, .LimitAnimSize = false, .AnimFrames = 3});
  paints_.clear();
  manager_->AnimateTransform(5, 7, 0.0, 1.0, true);
  ASSERT_EQ(Frames().size(), 2u);
  EXPECT_EQ(Paints()[0].ShiftX, 2);
  EXPECT_EQ(Paints()[0].ShiftY, 4);
}

TEST_F(UpdateManagerTest, SettingsDecideWhetherToAnimate) {
  struct Case {
    const char* Name;
    int Animation, Layers;
    bool Limit;
    int MaxWidth, MaxHeight;
    bool Selected, Animate;
    double Zoom;
    int Frames;
    std::size_t ExpectedFrames;
  };
  const Case cases[] = {
      {"off", 0, 1, false, 640, 480, true, true, 2.0, 3, 0},
      {"single-layer only, one layer", 1, 1, false, 640, 480, true, true, 2.0, 3, 2},
      {"single-layer only, two layers", 1, 2, false, 640, 480, true, true, 2.0, 3, 0},
      {"always, two layers", 2, 2, false, 640, 480, true, true, 2.0, 3, 2},
      {"too wide", 2, 1, true, kWidth - 1, 480, true, true, 2.0, 3, 0},
      {"too high", 2, 1, true, 640, kHeight - 1, true, true, 2.0, 3, 0},
      {"just fits", 2, 1, true, kWidth, kHeight, true, true, 2.0, 3, 2},
      {"nothing selected", 2, 1, false, 640, 480, false, true, 2.0, 3, 0},
      {"not asked", 2, 1, false, 640, 480, true, false, 2.0, 3, 0},
      {"zoom 0", 2, 1, false, 640, 480, true, true, 0.0, 3, 0},
      {"two frames", 2, 1, false, 640, 480, true, true, 2.0, 2, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    layers_.Clear();
    for (int i = 0; i < c.Layers; ++i) AddLayer(i + 1).Selected = c.Selected;
    animation_ = {c.Animation, c.Limit, c.MaxWidth, c.MaxHeight, c.Frames};
    paints_.clear();
    Start();
    manager_->AnimateTransform(4, 2, 0.0, c.Zoom, c.Animate);
    EXPECT_EQ(Frames().size(), c.ExpectedFrames);
    if (c.ExpectedFrames > 0) {
      EXPECT_EQ(Paints().back().Zoom, c.Zoom);  // the full transform
    }
    manager_.reset();
  }
}

TEST_F(UpdateManagerTest, MergedRowsAreBlueGreenRedBytes) {
  AddLayer(3);
  Start();
  std::vector<std::uint8_t> row(3 * kWidth, 0xAB);
  manager_->GetMergedRow(2, nullptr);
  manager_->GetMergedRow(kHeight, row.data());
  EXPECT_EQ(row[0], 0xAB);
  manager_->GetMergedRow(2, row.data());
  const int index = 2 * kWidth + 1;  // pixel 1 of row 2
  EXPECT_EQ(row[3], index & 255);
  EXPECT_EQ(row[4], index >> 8);
  EXPECT_EQ(row[5], 3);
}

TEST_F(UpdateManagerTest, ResizingFollowsTheBitmapAndDropsPendingWork) {
  Start();
  manager_->SetWidth(12);
  manager_->SetHeight(7);
  EXPECT_EQ(manager_->Width(), 12);
  EXPECT_EQ(bitmap_.Width(), 12);
  EXPECT_EQ(bitmap_.Height(), 7);
  EXPECT_EQ(manager_->Preview().Width, 12);
  AddLayer(1, 12, 7);
  manager_->InvalidateAll();
  WaitIdle();
  EXPECT_EQ(bitmap_.Pixel(11, 6), IndexColor(1, 6 * 12 + 11));
  // Layers of another size are not merged (the bitmap keeps its pixels).
  manager_->SetWidth(13);
  manager_->InvalidateAll();
  WaitIdle();
  EXPECT_EQ(bitmap_.Pixel(12, 6), 0u);
}

TEST(CoalesceRectsTest, MergesWhereTheUnionCostsNothing) {
  struct Case {
    std::vector<TRect> In, Out;
  };
  const Case cases[] = {
      {{{0, 0, 100, 1}, {0, 1, 100, 2}}, {{0, 0, 100, 2}}},
      {{{0, 0, 10, 10}, {90, 90, 100, 100}}, {{90, 90, 100, 100}, {0, 0, 10, 10}}},
      // The first merges into the third; the second stays; reverse order.
      {{{0, 0, 10, 5}, {50, 50, 60, 60}, {0, 5, 10, 10}}, {{0, 0, 10, 10}, {50, 50, 60, 60}}},
      // Chains: each union merges into the next.
      {{{0, 0, 4, 1}, {0, 1, 4, 2}, {0, 2, 4, 3}}, {{0, 0, 4, 3}}},
      {{}, {}},
  };
  for (const Case& c : cases) EXPECT_EQ(CoalesceRects(c.In), c.Out);
}

// A real calculation: when its end notification returns, every pixel is drawn,
// the mirrored half of a symmetric layer too.
TEST(UpdateManagerCalculationTest, CalculationEndReturnsWithTheLayerDrawn) {
  MainThreadDispatcher().MakeCurrentThreadMain();
  testing::TempDir dir;
  const std::string file =
      dir.Write(
             "m.zfm",
             "Mandel(XAXIS) {\ninit:\n  z = 0\nloop:\n  z = sqr(z) + #pixel\nbailout:\n  |z| < 4\n"
             "default:\n  maxiter = 200\n  periodicity = 0\n  method = onepass\n}\n")
          .string();
  constexpr int kSide = 96;
  TDirectBitmap bitmap(kSide, kSide);
  TFakeLayers layers;
  TLayerCalculate& layer = *layers.Add(1).Calculation;
  layer.SetThreadCount(3);
  layer.Formula().SetEntry(file, "Mandel");
  layer.SetImageSize(kSide, kSide);
  TUpdateManager manager(bitmap, layers);
  int ends = 0, mismatches = -1;
  layer.OnCalculationStart = [&](TLayerCalculate&) { manager.CalculationStarted(); };
  layer.OnInvalidate = [&](TLayerCalculate&, const TRect& r) { manager.Invalidate(r); };
  layer.OnCalculationEnd = [&](TLayerCalculate&) {
    manager.CalculationEnded(layer);
    ++ends;
    mismatches = 0;
    std::vector<std::uint32_t> row(kSide);
    for (int y = 0; y < kSide; ++y) {
      layers.MergeRow(y, 0, kSide, row.data());
      for (int x = 0; x < kSide; ++x) mismatches += bitmap.Pixel(x, y) != row[x];
    }
  };
  layer.EndUpdate();
  MainThreadDispatcher().WaitFor([&] { return ends > 0; });
  EXPECT_EQ(layer.Symmetry(), kSymmetryRealAxis);
  EXPECT_EQ(layer.State(), kLayerIdle);
  EXPECT_EQ(mismatches, 0);
}

}  // namespace
}  // namespace zt
