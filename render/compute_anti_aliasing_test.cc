// Tests of the anti-aliasing pass: the filter, the cases that keep colors, the
// sharing of grid points between sub-squares, and a stopped and resumed pass
// against an uninterrupted one.
#include "render/compute_anti_aliasing.h"

#include <gtest/gtest.h>

#include <chrono>
#include <random>
#include <thread>

#include "render/pass_test_util.h"

namespace zt {
namespace {

using ::zt::testing::TMandelbrotLayer;

constexpr std::uint32_t kOpaque = 0xFF000000u;

// A convert table whose entries differ from their neighbours; the inside solid
// color (the only index inside the set) is mid gray.
std::vector<std::uint8_t> ColorTable() {
  std::vector<std::uint8_t> table(4 * 51208);
  for (std::size_t i = 0; i < 51208; ++i) {
    table[4 * i] = static_cast<std::uint8_t>(i / 200);
    table[4 * i + 1] = static_cast<std::uint8_t>(i * 3);
    table[4 * i + 2] = static_cast<std::uint8_t>(255 - i / 200);
    table[4 * i + 3] = 255;
  }
  for (int c = 0; c < 3; ++c) table[4 * kInsideSolid + c] = 128;
  return table;
}

// A layer of `width` x `height` pixels whose grid has one more column and row.
struct TGrid {
  TGrid(int width, int height) : Layer(width + 1, height + 1), Width(width), Height(height) {
    Layer.Mapping.SetImageWidth(width);
    Layer.Mapping.SetImageHeight(height);
    Colors.assign(static_cast<std::size_t>((width + 1) * (height + 1)), kOpaque);
  }

  std::unique_ptr<TComputeAntiAliasing> Piece(double threshold, int depth, bool use_alpha) {
    auto piece = std::make_unique<TComputeAntiAliasing>(Layer.Mapping, Layer.Formula, Layer.Inside,
                                                        Layer.Outside, Layer.Image);
    piece->SetRect({0, 0, Width, Height});
    piece->SetThreshold(threshold);
    piece->SetDepth(depth);
    piece->SetColorTable(Table.data());
    piece->SetUseAlpha(use_alpha);
    piece->SetImage(Colors.data(), Width + 1, 0);
    return piece;
  }

  // Colors every grid point through the table from a plain calculation.
  void ColorFromCalculation() {
    auto linear = Layer.MakePiece<TComputeLinear>(Layer.Whole(), 1);
    ::zt::testing::RunPiece(*linear);
    const std::vector<std::uint16_t> indices = Layer.Pixels();
    for (std::size_t i = 0; i < indices.size(); ++i)
      std::memcpy(&Colors[i], &Table[4 * std::size_t{indices[i]}], 4);
  }

  TMandelbrotLayer Layer;
  int Width, Height;
  std::vector<std::uint8_t> Table = ColorTable();
  std::vector<std::uint32_t> Colors;
};

TEST(AntiAliasTest, FilterWeights) {
  const TAntiAliasWeights w = AntiAliasWeights();
  EXPECT_FLOAT_EQ(w[1][1], 0.918f);
  for (auto [j, i] : {std::pair{0, 1}, {1, 0}, {1, 2}, {2, 1}}) EXPECT_NEAR(w[j][i], 0.5048, 1e-4);
  for (auto [j, i] : {std::pair{0, 0}, {0, 2}, {2, 0}, {2, 2}}) EXPECT_NEAR(w[j][i], 0.2512, 1e-4);
}

// Inside the set every sub-pixel is the gray inside color. The grid is one
// color, with another on its last column and row: three of the four pixels have
// differing corners, and every pixel's own grid point has the first color.
TEST(AntiAliasTest, CasesThatKeepOrSetColors) {
  constexpr std::uint32_t kGray = kOpaque | 0x808080;
  constexpr std::uint32_t kNearGray = kOpaque | 0x828180;  // 3/255 apart from gray
  constexpr std::uint32_t kRed = kOpaque | 0xFF0000;
  struct TCase {
    const char* Name;
    std::uint32_t Inner, Edge;
    double Threshold;
    int Depth;
    bool UseAlpha;
    std::uint32_t Result;  // of every pixel
    std::int64_t Calls;
  };
  const TCase cases[] = {
      {"alike corners", kGray, kNearGray, 0.3, 3, true, kGray, 0},
      {"depth 0", kGray, kRed, 0.3, 0, true, kGray, 0},
      {"one-colored sub-pixels", kGray, kRed, 0.3, 1, true, kGray, 3 * 12},
      {"alpha off", 0x40808080, 0x40828180, 0.3, 2, false, kGray, 0},
  };
  for (const TCase& c : cases) {
    TGrid grid(2, 2);
    grid.Layer.Mapping.SetCenter({-0.1L, 0});
    grid.Layer.Mapping.SetMagnification(1000);
    for (int y = 0; y <= 2; ++y)
      for (int x = 0; x <= 2; ++x)
        grid.Colors[std::size_t(y * 3 + x)] = x == 2 || y == 2 ? c.Edge : c.Inner;
    auto piece = grid.Piece(c.Threshold, c.Depth, c.UseAlpha);
    ::zt::testing::RunPiece(*piece);
    EXPECT_EQ(piece->PixelCalls(), c.Calls) << c.Name;
    for (int y = 0; y < 2; ++y)
      for (int x = 0; x < 2; ++x)
        EXPECT_EQ(grid.Colors[std::size_t(y * 3 + x)], c.Result)
            << c.Name << " at " << x << "," << y;
  }
}

// With threshold 0 no corners are alike, so every square splits down to the
// depth. The 16 points of a split are shared by its nine sub-squares: 12 new
// calls a split, where nine squares with their own corners would take 32.
TEST(AntiAliasTest, SplitsShareTheirGridPoints) {
  for (int depth = 1; depth <= 3; ++depth) {
    TGrid grid(3, 1);
    grid.ColorFromCalculation();
    auto piece = grid.Piece(0, depth, true);
    ::zt::testing::RunPiece(*piece);
    std::int64_t splits = 0;
    for (int level = 0, n = 1; level < depth; ++level, n *= 9) splits += n;
    EXPECT_EQ(piece->PixelCalls(), 3 * 12 * splits) << "depth " << depth;
    EXPECT_EQ(piece->PixelsDone(), 3);
  }
}

TEST(AntiAliasTest, StoppedAndResumedEqualsUninterrupted) {
  TGrid whole(48, 36);
  whole.ColorFromCalculation();
  const std::vector<std::uint32_t> plain = whole.Colors;
  auto piece = whole.Piece(0.1, 2, true);
  ::zt::testing::RunPiece(*piece);
  ASSERT_NE(whole.Colors, plain);

  TGrid stopped(48, 36);
  stopped.Colors = plain;
  std::mt19937 random(7);
  std::uniform_int_distribution<int> delay(100, 1500);
  TPieceState state;
  int stops = 0;
  for (bool first = true;; first = false) {
    auto part = stopped.Piece(0.1, 2, true);
    if (!first) part->RestoreState(state);
    part->Start();
    std::this_thread::sleep_for(std::chrono::microseconds(delay(random)));
    part->Terminate();
    part->Abort();
    TSafeThread::SafeWaitFor(part.get());
    state = part->SaveState();
    if (state.State != kComputeInterrupted) break;
    ++stops;
  }
  EXPECT_GT(stops, 0);
  EXPECT_EQ(stopped.Colors, whole.Colors);
}

}  // namespace
}  // namespace zt
