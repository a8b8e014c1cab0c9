#include "fuzz/replay/mutator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace zt::fuzz {
namespace {

TBytes Bytes(const std::string& text) { return TBytes(text.begin(), text.end()); }

const std::vector<TBytes> kSeeds = {Bytes("Mandel { z = pixel: z = z*z + pixel, |z| < 4 }"),
                                    Bytes(""), Bytes("0123456789")};
const TBytes kInput = Bytes("abcdefghijklmnopqrstuvwxyz");
constexpr std::size_t kMaxSize = 40;

bool Contains(const TBytes& text, const TBytes& part) {
  return std::search(text.begin(), text.end(), part.begin(), part.end()) != text.end();
}

// The run that, inserted into `shorter`, makes `longer`, if one is among `parts`
// (or any run when `parts` is empty) and its length is in [min, max].
bool IsInsertion(const TBytes& shorter, const TBytes& longer, std::size_t min, std::size_t max,
                 const std::vector<TBytes>& parts = {}) {
  if (longer.size() < shorter.size() + min || longer.size() > shorter.size() + max) return false;
  const std::size_t length = longer.size() - shorter.size();
  for (std::size_t at = 0; at <= shorter.size(); ++at) {
    if (!std::equal(shorter.begin(), shorter.begin() + at, longer.begin()) ||
        !std::equal(shorter.begin() + at, shorter.end(), longer.begin() + at + length))
      continue;
    const TBytes run(longer.begin() + at, longer.begin() + at + length);
    if (parts.empty() || std::any_of(parts.begin(), parts.end(),
                                     [&](const TBytes& part) { return Contains(part, run); }))
      return true;
  }
  return false;
}

std::size_t DifferentBits(const TBytes& a, const TBytes& b) {
  std::size_t bits = 0;
  for (std::size_t i = 0; i < a.size(); ++i) bits += __builtin_popcount(a[i] ^ b[i]);
  return bits;
}

TEST(MutatorTest, EachMutationChangesTheInputAsItSays) {
  const struct {
    TMutation Mutation;
    bool (*Holds)(const TBytes& before, const TBytes& after);
  } kCases[] = {
      {TMutation::kFlipBit,
       [](const TBytes& b, const TBytes& a) {
         return a.size() == b.size() && DifferentBits(a, b) == 1;
       }},
      {TMutation::kSetByte,
       [](const TBytes& b, const TBytes& a) {
         std::size_t changed = 0;
         for (std::size_t i = 0; i < b.size(); ++i) changed += a[i] != b[i];
         return a.size() == b.size() && changed <= 1;
       }},
      {TMutation::kInsertBytes,
       [](const TBytes& b, const TBytes& a) { return IsInsertion(b, a, 1, 4); }},
      {TMutation::kInsertChunk,
       [](const TBytes& b, const TBytes& a) {
         std::vector<TBytes> sources = kSeeds;
         sources.push_back(b);
         return IsInsertion(b, a, 1, 64, sources);
       }},
      {TMutation::kErase,
       [](const TBytes& b, const TBytes& a) { return IsInsertion(a, b, 1, 64); }},
      {TMutation::kSplice,
       [](const TBytes& b, const TBytes& a) {
         // Some head of the input, then some tail of a seed.
         for (std::size_t head = 0; head <= std::min(a.size(), b.size()); ++head) {
           if (!std::equal(a.begin(), a.begin() + head, b.begin())) break;
           const TBytes tail(a.begin() + head, a.end());
           for (const TBytes& seed : kSeeds)
             if (seed.size() >= tail.size() &&
                 std::equal(tail.begin(), tail.end(), seed.end() - tail.size()))
               return true;
         }
         return false;
       }},
  };
  for (const auto& c : kCases) {
    // Room for any one mutation: the size limit has a test of its own.
    TMutator mutator(kSeeds, /*seed=*/7, 1000);
    for (int i = 0; i < 300; ++i) {
      TBytes input = kInput;
      mutator.Apply(c.Mutation, input);
      ASSERT_TRUE(c.Holds(kInput, input))
          << static_cast<int>(c.Mutation) << ": " << std::string(input.begin(), input.end());
      TBytes empty;
      mutator.Apply(c.Mutation, empty);  // grows or stays empty, never fails
    }
  }
}

TEST(MutatorTest, SequenceDependsOnTheSeedAloneAndKeepsTheSizeLimit) {
  TMutator a(kSeeds, 42, kMaxSize), b(kSeeds, 42, kMaxSize), c(kSeeds, 43, kMaxSize);
  std::size_t differences = 0;
  for (int i = 0; i < 500; ++i) {
    const TBytes input = a.Next();
    ASSERT_EQ(input, b.Next());
    differences += input != c.Next();
    ASSERT_LE(input.size(), kMaxSize);
  }
  EXPECT_GT(differences, 400u);
}

}  // namespace
}  // namespace zt::fuzz
