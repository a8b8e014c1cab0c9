// Byte-level mutations in the manner of the usual fuzzers: flips, changed and
// inserted bytes, copied chunks (a cheap dictionary of the seeds' own words),
// erased ranges and splices of two seeds.
#include "fuzz/replay/mutator.h"

#include <algorithm>

namespace zt::fuzz {
namespace {

// Bytes that often change a parser's path.
constexpr std::uint8_t kInteresting[] = {0,   1,   '\n', '\r', ' ', '"', '(', ')', ',', '-',  '.',
                                         '0', '9', ':',  ';',  '=', '[', ']', '{', '}', 0x7f, 0xff};

}  // namespace

TMutator::TMutator(const std::vector<TBytes>& seeds, std::uint64_t seed, std::size_t max_size)
    : seeds_(seeds), random_(seed), max_size_(max_size) {}

TBytes TMutator::Next() {
  TBytes input = AnySeed();
  if (input.size() > max_size_) input.resize(max_size_);
  for (std::size_t n = 1 + Below(4); n > 0; --n)
    Apply(static_cast<TMutation>(Below(static_cast<std::size_t>(TMutation::kSplice) + 1)), input);
  return input;
}

void TMutator::Apply(TMutation mutation, TBytes& input) {
  // Changes of existing bytes need some; an empty input grows instead.
  if (input.empty() && mutation != TMutation::kSplice) mutation = TMutation::kInsertBytes;
  switch (mutation) {
    case TMutation::kFlipBit:
      input[Below(input.size())] ^= static_cast<std::uint8_t>(1u << Below(8));
      break;
    case TMutation::kSetByte:
      input[Below(input.size())] = Below(2) ? kInteresting[Below(sizeof kInteresting)]
                                            : static_cast<std::uint8_t>(Below(256));
      break;
    case TMutation::kInsertBytes: {
      TBytes bytes(1 + Below(4));
      for (auto& byte : bytes) byte = static_cast<std::uint8_t>(Below(256));
      input.insert(input.begin() + Below(input.size() + 1), bytes.begin(), bytes.end());
      break;
    }
    case TMutation::kInsertChunk: {
      TBytes from = AnySeed();
      if (from.empty()) from = input;  // then a repeat of its own text
      const std::size_t begin = Below(from.size());
      const std::size_t length = 1 + Below(std::min<std::size_t>(from.size() - begin, 64));
      input.insert(input.begin() + Below(input.size() + 1), from.begin() + begin,
                   from.begin() + begin + length);
      break;
    }
    case TMutation::kErase: {
      const std::size_t begin = Below(input.size());
      const std::size_t length = 1 + Below(std::min<std::size_t>(input.size() - begin, 64));
      input.erase(input.begin() + begin, input.begin() + begin + length);
      break;
    }
    case TMutation::kSplice: {
      // This input's head before another seed's tail.
      const TBytes& tail = AnySeed();
      input.resize(Below(input.size() + 1));
      input.insert(input.end(), tail.begin() + Below(tail.size() + 1), tail.end());
      break;
    }
  }
  if (input.size() > max_size_) input.resize(max_size_);
}

}  // namespace zt::fuzz
