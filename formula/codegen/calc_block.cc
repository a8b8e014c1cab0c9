// The calculation block's allocation.
#include "formula/codegen/calc_block.h"

#include <cstring>

namespace zt {
namespace {

constexpr int kSpare = 16;

}  // namespace

TCalcBlock::TCalcBlock() : storage_(new std::uint8_t[calc::kSize + kSpare]()) {
  const auto address = reinterpret_cast<std::uintptr_t>(storage_.get());
  data_ = storage_.get() + ((kSpare - address % kSpare) % kSpare);
  SetExtended(calc::kZero, 0.0L);
  SetExtended(calc::kOne, 1.0L);
}

std::uint8_t* TCalcBlock::Allocate(std::size_t size, int aligned_cell, int allocation_cell) {
  allocations_.push_back(std::unique_ptr<std::uint8_t[]>(new std::uint8_t[size + kSpare]()));
  std::uint8_t* raw = allocations_.back().get();
  const auto address = reinterpret_cast<std::uintptr_t>(raw);
  std::uint8_t* aligned = raw + ((kSpare - address % kSpare) % kSpare);
  SetPointer(aligned_cell, aligned);
  if (allocation_cell >= 0) SetPointer(allocation_cell, raw);
  return aligned;
}

}  // namespace zt
