// Merge benchmark: four layers of 1920-pixel rows (normal at the bottom, then
// multiply, hue and hsladd, the upper two composited with their opacity byte)
// merged row by row, the work the update manager does for every visible row.
// The last line gives the nanoseconds per pixel and layer.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <random>
#include <vector>

#include "color/layer_list.h"

namespace {

constexpr int kWidth = 1920;
constexpr int kHeight = 64;
constexpr int kLayers = 4;

std::unique_ptr<zt::TLayerList> MakeStack() {
  auto list = std::make_unique<zt::TLayerList>();
  const int modes[kLayers] = {zt::kMergeHslAdd, zt::kMergeHue, zt::kMergeMultiply,
                              zt::kMergeNormal};
  std::mt19937 random(1);
  for (int i = 0; i < kLayers; ++i) {
    auto layer = std::make_unique<zt::TLayer>();
    layer->Image().OnResize = nullptr;  // no calculation: the indices are set below
    layer->Image().SetSize(kWidth, kHeight);
    layer->EndUpdate();
    for (int y = 0; y < kHeight; ++y)
      for (int x = 0; x < kWidth; ++x)
        layer->Image().SetPixel(x, y, static_cast<std::uint16_t>(random() % zt::kGradientEntries));
    zt::TColorEntry* table = layer->ConvertTable();
    for (int e = 0; e < zt::kGradientEntries; ++e) {
      const std::uint32_t v = random();
      table[e] = {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8),
                  static_cast<std::uint8_t>(v >> 16), static_cast<std::uint8_t>(v >> 24)};
    }
    layer->SetMergeMode(modes[i]);
    layer->SetOpacity(60);
    layer->SetUseAlpha(i < kLayers / 2);
    list->Add(std::move(layer));
  }
  return list;
}

void BM_MergeRow(benchmark::State& state) {
  auto list = MakeStack();
  std::vector<std::uint32_t> row(kWidth);
  int y = 0;
  for (auto _ : state) {
    list->MergeRow(y, 0, kWidth, row.data());
    benchmark::DoNotOptimize(row.data());
    y = (y + 1) % kHeight;
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_MergeRow);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  // A timed run of its own for the summary line.
  auto list = MakeStack();
  std::vector<std::uint32_t> row(kWidth);
  constexpr int kRows = 4000;
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < kRows; ++i) {
    list->MergeRow(i % kHeight, 0, kWidth, row.data());
    benchmark::DoNotOptimize(row.data());
  }
  const double ns =
      std::chrono::duration<double, std::nano>(std::chrono::steady_clock::now() - start).count();
  std::printf("rows_per_second=%.0f\n", kRows / (ns / 1e9));
  std::printf("ns_per_pixel_layer=%.3f\n", ns / (double{kRows} * kWidth * kLayers));
  return 0;
}
