// The calculation block: the per-thread record through which compiled code and the
// calculation threads exchange the predefined symbols, periodicity state, coloring
// procedures, variable blocks and the abort flag. Packed; every offset is named
// here, and code, tests and templates use the names, never bare numbers.
//
// Thread safety: one block per calculation thread. Only the abort flag is written
// by another (the controlling) thread, without a lock.
#pragma once

#include <atomic>
#include <complex>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

namespace zt::calc {

// Cells up to #numiter keep their places; pointers are 8 bytes from there on.
constexpr int kCenter = 0;                    // complex
constexpr int kZ = 32;                        // complex
constexpr int kPeriodicityRef = 64;           // complex
constexpr int kPixel = 96;                    // complex
constexpr int kScreenMax = 128;               // complex
constexpr int kScreenPixel = 160;             // complex
constexpr int kRandom = 192;                  // complex
constexpr int kMagn = 224;                    // extended
constexpr int kLocationFactor = 240;          // extended; base of the periodicity tolerance
constexpr int kAngle = 256;                   // extended
constexpr int kSine = 272;                    // extended (location)
constexpr int kCosine = 288;                  // extended (location)
constexpr int kIndex = 304;                   // extended
constexpr int kZero = 320;                    // extended 0.0
constexpr int kOne = 336;                     // extended 1.0
constexpr int kPeriodicityStart = 352;        // u32
constexpr int kPeriodicityMask = 356;         // u32
constexpr int kPeriodicityCountdown = 360;    // u32
constexpr int kPeriodicityInitialMask = 364;  // u32
constexpr int kPeriodicityReload = 368;       // u32
constexpr int kPeriodicityTolerance = 372;    // 32-bit float
constexpr int kPeriodicityMode = 376;         // byte
constexpr int kX = 377;                       // i32
constexpr int kY = 381;
constexpr int kWidth = 385;
constexpr int kHeight = 389;
constexpr int kHalfWidth = 393;
constexpr int kHalfHeight = 397;
constexpr int kMaxIter = 401;
constexpr int kNumIter = 405;
constexpr int kInsideInit = 409;  // code pointers
constexpr int kInsideLoop = 417;
constexpr int kInsideFinal = 425;
constexpr int kOutsideInit = 433;
constexpr int kOutsideLoop = 441;
constexpr int kOutsideFinal = 449;
constexpr int kOrbitBuffer = 457;      // pointer: entries of 20 bytes (re 10, im 10)
constexpr int kInsideOrbitPos = 465;   // pointer
constexpr int kOutsideOrbitPos = 473;  // pointer
constexpr int kTransformVars = 481;    // pointer: aligned start
constexpr int kTransformAlloc = 489;   // pointer
constexpr int kUnused = 497;           // u32
constexpr int kTransformSize = 501;    // u32
constexpr int kFormulaVars = 505;      // pointer: aligned start
constexpr int kFormulaAlloc = 513;     // pointer
constexpr int kFormulaVarsSize = 521;  // u32: size + 16
constexpr int kInsideVars = 525;
constexpr int kInsideAlloc = 533;
constexpr int kInsideVarsSize = 541;
constexpr int kOutsideVars = 545;
constexpr int kOutsideAlloc = 553;
constexpr int kOutsideVarsSize = 561;
constexpr int kCallerControlWord = 565;  // u16
constexpr int kWhiteSq = 567;            // bool
constexpr int kSolid = 568;              // bool
constexpr int kAbort = 569;              // byte
constexpr int kSize = 570;               // end of the specified cells

constexpr int kOrbitEntrySize = 20;

// Spacing checks of the packed layout: each cell starts where the previous ends.
static_assert(kNumIter + 4 == kInsideInit);
static_assert(kOutsideFinal + 8 == kOrbitBuffer);
static_assert(kTransformAlloc + 8 == kUnused && kUnused + 4 == kTransformSize);
static_assert(kTransformSize + 4 == kFormulaVars);
static_assert(kFormulaVarsSize + 4 == kInsideVars && kInsideVarsSize + 4 == kOutsideVars);
static_assert(kOutsideVarsSize + 4 == kCallerControlWord);
static_assert(kCallerControlWord + 2 == kWhiteSq && kAbort + 1 == kSize);

}  // namespace zt::calc

namespace zt {

// One calculation block: kSize cells plus 16 spare bytes, used from the first
// 16-byte-aligned address. The cells start zeroed, with the 0.0 and 1.0 cells set.
// Typed accessors read and write the cells by offset (see zt::calc).
//
// Thread safety: owned and used by one calculation thread; only the abort flag
// may be written by another thread (Byte/SetByte are relaxed atomic accesses).
class TCalcBlock {
 public:
  TCalcBlock();
  TCalcBlock(const TCalcBlock&) = delete;
  TCalcBlock& operator=(const TCalcBlock&) = delete;

  // The aligned start: what compiled code receives.
  std::uint8_t* Data() { return data_; }
  const std::uint8_t* Data() const { return data_; }

  // Inline: every pixel reads and writes a few dozen cells.
  std::complex<long double> Complex(int offset) const {
    return {Extended(offset), Extended(offset + 16)};
  }
  void SetComplex(int offset, std::complex<long double> value) {
    SetExtended(offset, value.real());
    SetExtended(offset + 16, value.imag());
  }
  // Only the ten significant bytes: the padding of a long double is undefined.
  long double Extended(int offset) const {
    long double value = 0;
    std::memcpy(&value, data_ + offset, kExtendedBytes);
    return value;
  }
  void SetExtended(int offset, long double value) {
    std::memcpy(data_ + offset, &value, kExtendedBytes);
  }
  std::int32_t Int32(int offset) const { return Load<std::int32_t>(offset); }
  void SetInt32(int offset, std::int32_t value) { Store(offset, value); }
  std::uint32_t UInt32(int offset) const { return Load<std::uint32_t>(offset); }
  void SetUInt32(int offset, std::uint32_t value) { Store(offset, value); }
  std::uint16_t UInt16(int offset) const { return Load<std::uint16_t>(offset); }
  void SetUInt16(int offset, std::uint16_t value) { Store(offset, value); }
  float Float32(int offset) const { return Load<float>(offset); }
  void SetFloat32(int offset, float value) { Store(offset, value); }
  std::uint8_t Byte(int offset) const {
    return std::atomic_ref<std::uint8_t>(const_cast<std::uint8_t&>(data_[offset]))
        .load(std::memory_order_relaxed);
  }
  void SetByte(int offset, std::uint8_t value) {
    std::atomic_ref<std::uint8_t>(data_[offset]).store(value, std::memory_order_relaxed);
  }
  void* Pointer(int offset) const { return Load<void*>(offset); }
  void SetPointer(int offset, const void* value) { Store(offset, value); }

  // Memory that lives as long as the block (variable blocks, the orbit buffer):
  // `size` zeroed bytes plus 16 spare, used from the first 16-byte-aligned address,
  // which goes into `aligned_cell`; the allocation itself into `allocation_cell`
  // when there is one. Returns the aligned start.
  std::uint8_t* Allocate(std::size_t size, int aligned_cell, int allocation_cell = -1);

 private:
  static constexpr std::size_t kExtendedBytes = 10;

  template <class T>
  T Load(int offset) const {
    T value;
    std::memcpy(&value, data_ + offset, sizeof value);
    return value;
  }
  template <class T>
  void Store(int offset, T value) {
    std::memcpy(data_ + offset, &value, sizeof value);
  }

  std::unique_ptr<std::uint8_t[]> storage_;
  std::uint8_t* data_;
  std::vector<std::unique_ptr<std::uint8_t[]>> allocations_;
};

}  // namespace zt
