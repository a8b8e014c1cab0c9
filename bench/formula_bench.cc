// Speed of generated code: entries of the shipped collections, compiled and run
// per point on a calculation block, each against the same iteration written by
// hand in C++ with long double over the same points and iteration limit. Both
// must count the same loop bodies (a difference is reported). Every round times
// the generated and the hand-written loop back to back, in the thread's CPU time,
// which other work on a shared machine disturbs far less than the time on the
// clock; the ratio printed is the median over the rounds.
//
// Usage: formula_bench [--rounds=N] [ENTRY...] (default 5 rounds, every entry).
// The benchmark's thread holds the working FPU control word, as calculation
// threads do.
// One summary line per entry, the Mandelbrot line last:
// entry=NAME generated_ns_per_iter=X handwritten_ns_per_iter=Y ratio=Z
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#include "formula/codegen/calc_block.h"
#include "formula/codegen/entry_thunk.h"
#include "formula/codegen/runtime.h"
#include "formula/entries/coloring.h"
#include "formula/entries/formula.h"

namespace {

double ThreadCpuSeconds() {
  timespec t;
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + t.tv_nsec * 1e-9;
}

constexpr int kIterationLimit = 1000;
constexpr int kGrid = 48;                // points per side
constexpr double kMinimumSeconds = 0.1;  // per side and round

struct TPoint {
  long double Re, Im;
};

struct TRegion {
  long double Left, Bottom, Width, Height;
};

std::vector<TPoint> Points(const TRegion& r) {
  std::vector<TPoint> points;
  for (int y = 0; y < kGrid; ++y)
    for (int x = 0; x < kGrid; ++x)
      points.push_back({r.Left + r.Width * x / (kGrid - 1), r.Bottom + r.Height * y / (kGrid - 1)});
  return points;
}

std::string Collection(const char* name) {
  return (std::filesystem::path(ZT_SOURCE_DIR) / "data" / name).string();
}

// A compiled formula entry, optionally with a compiled inside coloring, and a
// calculation block ready to run it without periodicity checking.
class TCompiled {
 public:
  TCompiled(const char* entry, const std::vector<zt::TNamedParamValue>& values,
            const char* inside_coloring)
      : inside_(true), outside_(false) {
    formula_.ApplyParameters(Collection("Standard.zfm"), entry, kIterationLimit, 0, values, {});
    if (inside_coloring) {
      inside_.SetEntry(Collection("Standard.zcl"), inside_coloring);
      inside_.SetTransfer(zt::kTransferLinear);
    }
    if (!formula_.HasCode() || (inside_coloring && !inside_.LoopProcedure())) {
      std::fprintf(stderr, "%s did not compile\n", entry);
      std::exit(1);
    }
    inside_.FillCalcBlock(block_);
    outside_.FillCalcBlock(block_);
    formula_.FillCalcBlock(block_);
  }

  // Runs one point; returns the loop bodies it ran.
  long Run(const TPoint& c) {
    block_.SetComplex(zt::calc::kPixel, {c.Re, c.Im});
    zt::CallProcedure(formula_.Procedure(), block_.Data());
    const int n = block_.Int32(zt::calc::kNumIter);
    return n == kIterationLimit ? n : n + 1;  // an escaping orbit fails one more bailout
  }

 private:
  zt::TFormula formula_;
  zt::TColoring inside_, outside_;
  zt::TCalcBlock block_;
};

using TComplexL = std::pair<long double, long double>;

// The hand-written loops: z^2 + c style iterations with the entry's default
// parameters, returning the loop bodies run (as TCompiled::Run counts them).
template <typename Step, typename Bailout>
long Iterate(long double re, long double im, Step step, Bailout bailout) {
  int counter = kIterationLimit;
  long bodies = 0;
  for (;;) {
    ++bodies;
    step(re, im);
    if (!bailout(re, im)) break;
    if (--counter == 0) break;
  }
  return bodies;
}

long HandMandelbrot(const TPoint& c) {
  return Iterate(
      0.0L, 0.0L,
      [&](long double& re, long double& im) {
        const long double next_re = re * re - im * im + c.Re;
        im = 2 * re * im + c.Im;
        re = next_re;
      },
      [](long double re, long double im) { return re * re + im * im < 4; });
}

// The seed of the Julia entry here: the default one's set is dust, whose orbits
// escape after 19 iterations on average; this one's has a body.
constexpr long double kJuliaSeedRe = -0.123L, kJuliaSeedIm = 0.745L;

long HandJulia(const TPoint& p) {
  const long double seed_re = kJuliaSeedRe, seed_im = kJuliaSeedIm;
  return Iterate(
      p.Re, p.Im,
      [&](long double& re, long double& im) {
        const long double next_re = re * re - im * im + seed_re;
        im = 2 * re * im + seed_im;
        re = next_re;
      },
      [](long double re, long double im) { return re * re + im * im < 4; });
}

// The x87 instructions a hand-written loop would use for sin(z): the FPU's sine
// and cosine, and e^y as 2^f * 2^n with n = floor(y log2 e).
void SinCos(long double x, long double& sin_x, long double& cos_x) {
  __asm__("fsincos" : "=t"(cos_x), "=u"(sin_x) : "0"(x));
}

long double Exp(long double y) {
  long double log2e;
  __asm__("fldl2e" : "=t"(log2e));
  const long double t = y * log2e;
  const long double n = std::floor(t);
  long double fraction = t - n;
  __asm__("f2xm1" : "+t"(fraction));
  long double result;
  __asm__("fscale" : "=t"(result) : "0"(fraction + 1), "u"(n));
  return result;
}

// sin(z) * z + c, with sin(x + iy) = (sin x cosh y, cos x sinh y).
long HandFunctionMandelbrot(const TPoint& c) {
  return Iterate(
      0.0L, 0.0L,
      [&](long double& re, long double& im) {
        long double sin_x, cos_x;
        SinCos(re, sin_x, cos_x);
        const long double half = Exp(im) * 0.5L, quarter_over = 0.25L / half;
        const long double s_re = sin_x * (half + quarter_over);
        const long double s_im = cos_x * (half - quarter_over);
        const long double next_re = s_re * re - s_im * im + c.Re;
        im = s_re * im + s_im * re + c.Im;
        re = next_re;
      },
      [](long double re, long double im) { return re * re + im * im < 64; });
}

// The seed and feedback of the Phoenix entry here: with the default ones the
// orbits escape after 7 iterations on average; with these after 57.
constexpr long double kPhoenixSeed = 0.5667L, kPhoenixFeedback = -0.5L;

// z^2 + seed + feedback * (z one step earlier), with real seed and feedback.
long HandPhoenix(const TPoint& p) {
  const long double seed = kPhoenixSeed, feedback = kPhoenixFeedback;
  long double older_re = 0, older_im = 0;
  return Iterate(
      p.Re, p.Im,
      [&](long double& re, long double& im) {
        const long double next_re = re * re - im * im + seed + feedback * older_re;
        const long double next_im = 2 * re * im + feedback * older_im;
        older_re = re;
        older_im = im;
        re = next_re;
        im = next_im;
      },
      [](long double re, long double im) { return re * re + im * im < 4; });
}

// The Mandelbrot iteration with the closest approach to 0 tracked after every
// iteration that continues, as the inside coloring's loop section does.
long HandClosestApproach(const TPoint& c) {
  long double smallest = 1e20L;
  long double re = 0, im = 0;
  int counter = kIterationLimit;
  long bodies = 0;
  for (;;) {
    ++bodies;
    const long double next_re = re * re - im * im + c.Re;
    im = 2 * re * im + c.Im;
    re = next_re;
    const long double modulus = re * re + im * im;
    if (!(modulus < 4)) break;
    if (modulus < smallest) smallest = modulus;
    if (--counter == 0) break;
  }
  volatile long double keep = smallest;  // the coloring's result is used too
  (void)keep;
  return bodies;
}

struct TBenchEntry {
  const char* Name;
  std::vector<zt::TNamedParamValue> Values;  // parameters other than the defaults
  const char* InsideColoring;                // null: none
  TRegion Region;
  long (*HandWritten)(const TPoint&);
};

constexpr TRegion kMandelbrotRegion = {-2.0L, -1.25L, 2.5L, 2.5L};
constexpr TRegion kJuliaRegion = {-1.6L, -1.2L, 3.2L, 2.4L};

// The Mandelbrot entry last, so that its line ends the output.
const TBenchEntry kEntries[] = {
    {"Julia",
     {{"seed", {zt::kTypeComplex, {kJuliaSeedRe, kJuliaSeedIm}}}},
     nullptr,
     kJuliaRegion,
     HandJulia},
    {"FunctionMandelbrot", {}, nullptr, {-3.3L, -2.5L, 6.6L, 5.0L}, HandFunctionMandelbrot},
    {"Phoenix",
     {{"seed", {zt::kTypeComplex, {kPhoenixSeed, 0}}},
      {"feedback", {zt::kTypeComplex, {kPhoenixFeedback, 0}}}},
     nullptr,
     kJuliaRegion,
     HandPhoenix},
    {"Mandelbrot+ClosestApproach", {}, "ClosestApproach", kMandelbrotRegion, HandClosestApproach},
    {"Mandelbrot", {}, nullptr, kMandelbrotRegion, HandMandelbrot},
};

struct TTiming {
  double NsPerBody;
  long Bodies;  // per pass over the points
};

// Runs `run` over the points as often as fills kMinimumSeconds.
template <typename Run>
TTiming Time(const std::vector<TPoint>& points, Run run) {
  long bodies = 0;
  long passes = 0;
  const double start = ThreadCpuSeconds();
  double seconds = 0;
  do {
    for (const TPoint& p : points) bodies += run(p);
    ++passes;
    seconds = ThreadCpuSeconds() - start;
  } while (seconds < kMinimumSeconds);
  return {seconds * 1e9 / static_cast<double>(bodies), bodies / passes};
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t n = values.size();
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

void Measure(const TBenchEntry& entry, int rounds) {
  const std::string name = entry.Name;
  TCompiled compiled(name.substr(0, name.find('+')).c_str(), entry.Values, entry.InsideColoring);
  const std::vector<TPoint> points = Points(entry.Region);
  std::vector<double> generated, hand, ratios;
  for (int round = 0; round < rounds; ++round) {
    const TTiming g = Time(points, [&](const TPoint& p) { return compiled.Run(p); });
    const TTiming h = Time(points, entry.HandWritten);
    if (round == 0 && g.Bodies != h.Bodies)
      std::printf("warning: %s loop bodies differ: generated %ld, hand-written %ld\n", entry.Name,
                  g.Bodies, h.Bodies);
    generated.push_back(g.NsPerBody);
    hand.push_back(h.NsPerBody);
    ratios.push_back(g.NsPerBody / h.NsPerBody);
  }
  std::printf("entry=%s generated_ns_per_iter=%.3f handwritten_ns_per_iter=%.3f ratio=%.3f\n",
              entry.Name, Median(generated), Median(hand), Median(ratios));
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  zt::UseWorkingControlWord();
  int rounds = 5;
  std::vector<std::string> wanted;
  for (int i = 1; i < argc; ++i) {
    if (std::strncmp(argv[i], "--rounds=", 9) == 0) {
      rounds = std::max(1, std::atoi(argv[i] + 9));
    } else {
      wanted.emplace_back(argv[i]);
    }
  }
  for (const TBenchEntry& entry : kEntries)
    if (wanted.empty() || std::find(wanted.begin(), wanted.end(), entry.Name) != wanted.end())
      Measure(entry, rounds);
  return 0;
}
