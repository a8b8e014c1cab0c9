// Random mutations of fuzz inputs for the replay programs: a fixed seed gives the
// same sequence of inputs on every machine, so that a failure can be replayed.
// Not coverage-guided: every mutation starts again from one of the seeds.
// One thread uses a mutator at a time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace zt::fuzz {

using TBytes = std::vector<std::uint8_t>;

enum class TMutation { kFlipBit, kSetByte, kInsertBytes, kInsertChunk, kErase, kSplice };

class TMutator {
 public:
  // `seeds` must not be empty and must outlive the mutator.
  TMutator(const std::vector<TBytes>& seeds, std::uint64_t seed, std::size_t max_size);

  // A random seed changed by one to four random mutations, at most max_size long.
  TBytes Next();

  // Changes `input` by one mutation in place; kSplice and kInsertChunk take their
  // text from a random seed (kInsertChunk from `input` when that seed is empty).
  // The result is at most max_size long.
  void Apply(TMutation mutation, TBytes& input);

 private:
  // A uniform value in [0, n); n > 0. Plain modulo keeps the sequence the same
  // with every standard library (its distributions may differ).
  std::size_t Below(std::size_t n) { return static_cast<std::size_t>(random_() % n); }
  const TBytes& AnySeed() { return seeds_[Below(seeds_.size())]; }

  const std::vector<TBytes>& seeds_;
  std::mt19937_64 random_;
  std::size_t max_size_;
};

}  // namespace zt::fuzz
