// The calculation block's allocation and its typed cell accessors.
#include "formula/codegen/calc_block.h"

#include <atomic>
#include <cstring>

namespace zt {
namespace {

constexpr int kSpare = 16;
constexpr int kExtendedBytes = 10;

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

long double TCalcBlock::Extended(int offset) const {
  long double value = 0;
  std::memcpy(&value, data_ + offset, kExtendedBytes);
  return value;
}

void TCalcBlock::SetExtended(int offset, long double value) {
  // Only the ten significant bytes: the padding of a long double is undefined.
  std::memcpy(data_ + offset, &value, kExtendedBytes);
}

std::complex<long double> TCalcBlock::Complex(int offset) const {
  return {Extended(offset), Extended(offset + 16)};
}

void TCalcBlock::SetComplex(int offset, std::complex<long double> value) {
  SetExtended(offset, value.real());
  SetExtended(offset + 16, value.imag());
}

std::int32_t TCalcBlock::Int32(int offset) const {
  std::int32_t value;
  std::memcpy(&value, data_ + offset, sizeof value);
  return value;
}

void TCalcBlock::SetInt32(int offset, std::int32_t value) {
  std::memcpy(data_ + offset, &value, sizeof value);
}

std::uint32_t TCalcBlock::UInt32(int offset) const {
  return static_cast<std::uint32_t>(Int32(offset));
}

void TCalcBlock::SetUInt32(int offset, std::uint32_t value) {
  SetInt32(offset, static_cast<std::int32_t>(value));
}

std::uint16_t TCalcBlock::UInt16(int offset) const {
  std::uint16_t value;
  std::memcpy(&value, data_ + offset, sizeof value);
  return value;
}

void TCalcBlock::SetUInt16(int offset, std::uint16_t value) {
  std::memcpy(data_ + offset, &value, sizeof value);
}

float TCalcBlock::Float32(int offset) const {
  float value;
  std::memcpy(&value, data_ + offset, sizeof value);
  return value;
}

void TCalcBlock::SetFloat32(int offset, float value) {
  std::memcpy(data_ + offset, &value, sizeof value);
}

std::uint8_t TCalcBlock::Byte(int offset) const {
  return std::atomic_ref<std::uint8_t>(const_cast<std::uint8_t&>(data_[offset]))
      .load(std::memory_order_relaxed);
}

void TCalcBlock::SetByte(int offset, std::uint8_t value) {
  std::atomic_ref<std::uint8_t>(data_[offset]).store(value, std::memory_order_relaxed);
}

void* TCalcBlock::Pointer(int offset) const {
  void* value;
  std::memcpy(&value, data_ + offset, sizeof value);
  return value;
}

void TCalcBlock::SetPointer(int offset, const void* value) {
  std::memcpy(data_ + offset, &value, sizeof value);
}

}  // namespace zt
