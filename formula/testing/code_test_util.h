// Test helpers that run compiled entries: a variable block for an entry, a
// formula procedure with do-nothing coloring procedures on a calculation block.
#pragma once

#include <gtest/gtest.h>

#include <complex>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "formula/codegen/calc_block.h"
#include "formula/codegen/entry_thunk.h"
#include "formula/codegen/procedures.h"
#include "formula/entries/formula.h"
#include "formula/entries/transform.h"
#include "formula/testing/compile_test_util.h"
#include "testing/test_support.h"

namespace zt::testing {

using Complex = std::complex<long double>;

// An entry's variable block, 16-aligned, filled with its initial values and
// installed in the block cell the entry's code reads it from.
class TVariableBlock {
 public:
  explicit TVariableBlock(int size) : storage_(static_cast<std::size_t>(size) + 16) {
    auto address = reinterpret_cast<std::uintptr_t>(storage_.data());
    data_ = storage_.data() + ((16 - address % 16) % 16);
  }
  TVariableBlock(const TFormulaBase& entry, TCalcBlock& block, int cell)
      : TVariableBlock(entry.VariableBlockSize()) {
    entry.StoreInitialValues(data_);
    block.SetPointer(cell, data_);
  }
  std::uint8_t* Data() { return data_; }

 private:
  std::vector<std::uint8_t> storage_;
  std::uint8_t* data_;
};

// Compiles `body` as the entry "Test" of a file named `file_name`.
template <typename TEntry>
std::unique_ptr<TEntry> Compile(const std::string& body,
                                const std::string& file_name = "entry.txt") {
  TempDir dir;
  auto file = dir.Write(file_name, "Test {\n" + body + "}\n");
  auto entry = std::make_unique<TEntry>();
  TCompileOutcome outcome = CompileEntry(*entry, file.string(), "Test");
  EXPECT_EQ(outcome.Error, "") << body;
  return entry;
}

// Runs a transformation on #pixel = `pixel` and returns the new #pixel.
inline Complex Transform(const std::string& body, Complex pixel, bool abort = false) {
  auto entry = Compile<TTransform>("transform:\n" + body);
  EXPECT_NE(entry->Procedure(), nullptr);
  TCalcBlock block;
  TVariableBlock vars(*entry, block, calc::kTransformVars);
  block.SetComplex(calc::kPixel, pixel);
  block.SetByte(calc::kAbort, abort ? 1 : 0);
  CallProcedure(entry->Procedure(), block.Data());
  return block.Complex(calc::kPixel);
}

// The formula procedure with coloring procedures that do nothing.
struct TFormulaRun {
  explicit TFormulaRun(const std::string& body) : TFormulaRun(Compile<TFormula>(body)) {}
  explicit TFormulaRun(std::unique_ptr<TFormula> compiled) : Formula(std::move(compiled)) {
    for (int cell :
         {calc::kInsideInit, calc::kInsideFinal, calc::kOutsideInit, calc::kOutsideFinal})
      Block.SetPointer(cell, Nothing.Data());
  }
  void Run(Complex pixel, int maxiter) {
    Vars = std::make_unique<TVariableBlock>(*Formula, Block, calc::kFormulaVars);
    Block.SetComplex(calc::kPixel, pixel);
    Block.SetInt32(calc::kMaxIter, maxiter);
    CallProcedure(Formula->Procedure(), Block.Data());
  }

  std::unique_ptr<TFormula> Formula;
  TCodeBuffer Nothing = BuildReturnProcedure();
  TCalcBlock Block;
  std::unique_ptr<TVariableBlock> Vars;
};

}  // namespace zt::testing
