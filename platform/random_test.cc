// Tests of the program-wide linear congruential generator.
#include "platform/random.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <thread>
#include <vector>

namespace zt {
namespace {

TEST(Random, FollowsTheRecurrenceFromAFixedSeed) {
  TRandom random(0);
  EXPECT_EQ(random.Next(), 1u);
  EXPECT_EQ(random.Next(), 134775814u);
  EXPECT_EQ(random.Next(), 3698175007u);
  EXPECT_EQ(random.Next(), 870078620u);
  EXPECT_EQ(random.Seed(), 870078620u);

  random.SetSeed(12345);
  EXPECT_EQ(random.Random(100), 38u);
  EXPECT_EQ(random.Random(100), 28u);
  EXPECT_EQ(random.Random(100), 7u);
  EXPECT_EQ(random.Seed(), 342459380u);

  random.SetSeed(0);
  EXPECT_EQ(random.RandomReal(), 1 / 4294967296.0);
  EXPECT_EQ(random.RandomReal(), 134775814 / 4294967296.0);
}

TEST(Random, StaysWithinBounds) {
  TRandom random(7);
  for (uint32_t n : {1u, 2u, 7u, 1000u, 0xFFFFFFFFu}) {
    for (int i = 0; i < 5000; ++i) EXPECT_LT(random.Random(n), n);
  }
  EXPECT_EQ(random.Random(0), 0u);
  // 1298181734 is the seed whose successor is 0xFFFFFFFF, the largest draw.
  random.SetSeed(1298181734);
  EXPECT_EQ(random.Random(10), 9u);
  random.SetSeed(1298181734);
  double largest = random.RandomReal();
  EXPECT_LT(largest, 1.0);
  EXPECT_GT(largest, 0.999999999);
}

TEST(Random, ConcurrentDrawsNeverLoseOrShareAStep) {
  constexpr int kThreads = 4;
  constexpr int kDraws = 20000;
  TRandom random(99);
  std::vector<std::vector<uint32_t>> drawn(kThreads);
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      for (int i = 0; i < kDraws; ++i) drawn[t].push_back(random.Next());
    });
  }
  for (auto& thread : threads) thread.join();

  std::vector<uint32_t> all;
  for (const auto& part : drawn) all.insert(all.end(), part.begin(), part.end());
  TRandom reference(99);
  std::vector<uint32_t> expected;
  for (int i = 0; i < kThreads * kDraws; ++i) expected.push_back(reference.Next());
  EXPECT_EQ(random.Seed(), expected.back());
  std::sort(all.begin(), all.end());
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(all, expected);
}

TEST(Random, TimeOfDaySeedCountsMillisecondsOfOneDay) {
  EXPECT_LT(TimeOfDaySeed(), 24u * 60 * 60 * 1000);
}

}  // namespace
}  // namespace zt
