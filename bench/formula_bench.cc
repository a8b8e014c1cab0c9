// Speed of generated code: the Mandelbrot entry of the shipped collection,
// compiled and run per point on a calculation block, against the same iteration
// written by hand in C++ with long double. Both run the same points with the same
// iteration limit and must count the same iterations. The last line is a summary:
// generated_ns_per_iter=X handwritten_ns_per_iter=Y ratio=Z
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "formula/codegen/calc_block.h"
#include "formula/codegen/entry_thunk.h"
#include "formula/codegen/procedures.h"
#include "formula/entries/formula.h"

namespace {

constexpr int kIterationLimit = 1000;
constexpr int kGrid = 48;  // points per side over the whole set

struct TPoint {
  long double Re, Im;
};

std::vector<TPoint> Points() {
  std::vector<TPoint> points;
  for (int y = 0; y < kGrid; ++y)
    for (int x = 0; x < kGrid; ++x)
      points.push_back({-2.0L + 2.5L * x / (kGrid - 1), -1.25L + 2.5L * y / (kGrid - 1)});
  return points;
}

// The compiled Mandelbrot entry with a calculation block ready to run it.
class TCompiledMandelbrot {
 public:
  TCompiledMandelbrot() : ret_(zt::BuildReturnProcedure()) {
    formula_.SetEntry((std::filesystem::path(ZT_SOURCE_DIR) / "data" / "Standard.zfm").string(),
                      "Mandelbrot");
    if (!formula_.Procedure()) {
      std::fprintf(stderr, "the Mandelbrot entry did not compile\n");
      std::exit(1);
    }
    vars_.resize(formula_.VariableBlockSize() + 32);
    auto* aligned = reinterpret_cast<std::uint8_t*>(
        (reinterpret_cast<std::uintptr_t>(vars_.data()) + 15) & ~std::uintptr_t{15});
    formula_.StoreInitialValues(aligned);
    using namespace zt::calc;
    block_.SetPointer(kFormulaVars, aligned);
    for (int cell : {kInsideInit, kInsideFinal, kOutsideInit, kOutsideFinal})
      block_.SetPointer(cell, ret_.Data());
    block_.SetInt32(kMaxIter, kIterationLimit);
  }

  // Runs one point; returns #numiter.
  int Run(const TPoint& c) {
    block_.SetComplex(zt::calc::kPixel, {c.Re, c.Im});
    zt::CallProcedure(formula_.Procedure(), block_.Data());
    return block_.Int32(zt::calc::kNumIter);
  }

 private:
  zt::TFormula formula_;
  zt::TCodeBuffer ret_;
  zt::TCalcBlock block_;
  std::vector<std::uint8_t> vars_;
};

// The same iteration by hand: z = 0, then z = z^2 + c while |z|^2 < 4.
int HandWritten(const TPoint& c) {
  long double re = 0, im = 0;
  int counter = kIterationLimit;
  for (;;) {
    long double next_re = re * re - im * im + c.Re;
    im = 2 * re * im + c.Im;
    re = next_re;
    if (!(re * re + im * im < 4)) break;
    if (--counter == 0) break;
  }
  return kIterationLimit - counter;
}

std::map<std::string, double> g_ns_per_iteration;
std::map<std::string, long> g_iterations;

template <typename Run>
void Measure(benchmark::State& state, const std::string& name, Run run) {
  const std::vector<TPoint> points = Points();
  long iterations = 0;
  for (auto _ : state) {
    iterations = 0;
    for (const auto& p : points) iterations += run(p);
    benchmark::DoNotOptimize(iterations);
  }
  // Each point runs #numiter + 1 loop bodies (the last one fails the bailout).
  const long bodies = iterations + static_cast<long>(points.size());
  state.counters["iterations"] = static_cast<double>(bodies);
  state.counters["ns_per_iter"] = benchmark::Counter(
      static_cast<double>(bodies) * 1e-9,
      benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
  g_iterations[name] = bodies;
}

void BM_Generated(benchmark::State& state) {
  static TCompiledMandelbrot compiled;
  Measure(state, "generated", [](const TPoint& p) { return compiled.Run(p); });
}
BENCHMARK(BM_Generated)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_HandWritten(benchmark::State& state) { Measure(state, "handwritten", HandWritten); }
BENCHMARK(BM_HandWritten)->Unit(benchmark::kMillisecond)->UseRealTime();

// Keeps the per-iteration times for the summary line.
class TSummaryReporter : public benchmark::ConsoleReporter {
 public:
  // Without colors, so that the summary line stands alone.
  TSummaryReporter() : ConsoleReporter(OO_Tabular) {}

  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const auto& run : runs) {
      auto it = run.counters.find("ns_per_iter");
      if (it == run.counters.end()) continue;
      std::string name =
          run.benchmark_name().find("Generated") != std::string::npos ? "generated" : "handwritten";
      g_ns_per_iteration[name] = it->second.value;
    }
  }
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  TSummaryReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  if (g_iterations["generated"] != g_iterations["handwritten"])
    std::printf("warning: iteration counts differ: generated %ld, hand-written %ld\n",
                g_iterations["generated"], g_iterations["handwritten"]);
  double generated = g_ns_per_iteration["generated"];
  double handwritten = g_ns_per_iteration["handwritten"];
  std::printf("generated_ns_per_iter=%.3f handwritten_ns_per_iter=%.3f ratio=%.3f\n", generated,
              handwritten, handwritten > 0 ? generated / handwritten : 0.0);
  return 0;
}
