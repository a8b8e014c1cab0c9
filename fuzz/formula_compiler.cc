// Fuzz target: the compiler chain end to end. The input is a collection file;
// its first entry is compiled as a formula (from .zfm and from Fractint's .frm),
// a coloring and a transformation: tokens, tree, checked tree, optimized tree
// and generated code. A formula that compiles runs on a few pixels with a small
// iteration limit and a watchdog that raises the abort flag, as the program's
// stop does, so that an endless loop in the formula ends.
#include <chrono>
#include <complex>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

#include "formula/codegen/calc_block.h"
#include "formula/codegen/entry_thunk.h"
#include "formula/codegen/procedures.h"
#include "formula/entries/entry_kind.h"
#include "formula/entries/formula.h"
#include "fuzz/fuzz_support.h"
#include "platform/error.h"

namespace zt {
namespace {

constexpr int kIterations = 24;
constexpr auto kRunLimit = std::chrono::milliseconds(200);

// Raises the block's abort flag unless the run ends within kRunLimit.
class TWatchdog {
 public:
  explicit TWatchdog(TCalcBlock& block)
      : thread_([this, &block] {
          std::unique_lock lock(mutex_);
          if (!done_.wait_for(lock, kRunLimit, [this] { return finished_; }))
            block.SetByte(calc::kAbort, 1);
        }) {}
  ~TWatchdog() {
    {
      std::lock_guard lock(mutex_);
      finished_ = true;
    }
    done_.notify_one();
    thread_.join();
  }

 private:
  std::mutex mutex_;
  std::condition_variable done_;
  bool finished_ = false;
  std::thread thread_;
};

void RunFormula(const TFormula& formula) {
  static const TCodeBuffer nothing = BuildReturnProcedure();
  const std::complex<long double> pixels[] = {{0, 0}, {-0.75L, 0.1L}, {0.3L, -0.6L}, {2, 2}};
  for (const auto& pixel : pixels) {
    TCalcBlock block;
    for (int cell :
         {calc::kInsideInit, calc::kInsideFinal, calc::kOutsideInit, calc::kOutsideFinal})
      block.SetPointer(cell, nothing.Data());
    // 16-aligned, as the calculation threads allocate it.
    std::vector<std::uint8_t> storage(formula.VariableBlockSize() + 16);
    std::uint8_t* vars =
        storage.data() + (16 - reinterpret_cast<std::uintptr_t>(storage.data()) % 16) % 16;
    formula.StoreInitialValues(vars);
    block.SetPointer(calc::kFormulaVars, vars);
    block.SetComplex(calc::kPixel, pixel);
    block.SetInt32(calc::kMaxIter, kIterations);
    TWatchdog watchdog(block);
    CallProcedure(formula.Procedure(), block.Data());
  }
}

}  // namespace
}  // namespace zt

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace zt;
  static const struct {
    const char* Name;
    TEntryKind Kind;
  } kFiles[] = {{"input.zfm", TEntryKind::kFormula},
                {"input.frm", TEntryKind::kFormula},
                {"input.zcl", TEntryKind::kColoring},
                {"input.zxf", TEntryKind::kTransformation}};
  for (const auto& file : kFiles) {
    const std::string path = fuzz::WriteInput(file.Name, data, size);
    // A new object each time: a loaded file is cached by name and modification time.
    auto entry = MakeEntryObject(file.Kind, /*inside_coloring=*/true);
    try {
      entry->SetEntryAt(path, 0, 0);
    } catch (const EZentrope&) {
      continue;  // no entry in the text
    }
    const auto* formula = dynamic_cast<const TFormula*>(entry.get());
    if (formula && !entry->CompileFailed() && formula->HasCode()) RunFormula(*formula);
  }
  return 0;
}
