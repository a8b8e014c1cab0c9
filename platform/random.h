// The program-wide pseudo-random generator: a 32-bit linear congruential
// generator whose every draw first advances the seed to seed * 134775813 + 1
// (mod 2^32). Calculation threads draw from it concurrently, gradients and alpha
// channels use it for their randomize operations.
#pragma once

#include <atomic>
#include <cstdint>

namespace zt {

// Any thread may call any member at any time. Each draw advances the seed by
// exactly one step with a compare-and-swap, so concurrent draws never share or
// lose a step; which thread gets which step is up to the scheduler.
class TRandom {
 public:
  explicit TRandom(uint32_t seed) : seed_(seed) {}
  TRandom(const TRandom&) = delete;
  TRandom& operator=(const TRandom&) = delete;

  void SetSeed(uint32_t seed) { seed_.store(seed, std::memory_order_relaxed); }
  uint32_t Seed() const { return seed_.load(std::memory_order_relaxed); }

  // Advances the seed one step and returns the new seed.
  uint32_t Next();
  // An integer in [0, n): the upper 32 bits of the 64-bit product of the new seed and n.
  // Random(0) is 0.
  uint32_t Random(uint32_t n);
  // A real in [0, 1): the new seed / 2^32.
  double RandomReal();

 private:
  std::atomic<uint32_t> seed_;
};

// The seed the program starts with: milliseconds since local midnight,
// ((hour * 60 + minute) * 60 + second) * 1000 + milliseconds.
uint32_t TimeOfDaySeed();

// The one program-wide generator, seeded from TimeOfDaySeed() at first use.
TRandom& ProgramRandom();

}  // namespace zt
