// The program-wide linear congruential generator.
#include "platform/random.h"

#include <sys/time.h>

#include <ctime>

namespace zt {

namespace {

constexpr uint32_t kMultiplier = 134775813;

}  // namespace

uint32_t TRandom::Next() {
  uint32_t current = seed_.load(std::memory_order_relaxed);
  uint32_t next;
  do {
    next = current * kMultiplier + 1;  // unsigned arithmetic wraps modulo 2^32
  } while (!seed_.compare_exchange_weak(current, next, std::memory_order_relaxed));
  return next;
}

uint32_t TRandom::Random(uint32_t n) {
  return static_cast<uint32_t>((static_cast<uint64_t>(Next()) * n) >> 32);
}

double TRandom::RandomReal() { return Next() / 4294967296.0; }

uint32_t TimeOfDaySeed() {
  timeval now{};
  gettimeofday(&now, nullptr);
  tm local{};
  localtime_r(&now.tv_sec, &local);
  uint32_t seconds = static_cast<uint32_t>((local.tm_hour * 60 + local.tm_min) * 60 + local.tm_sec);
  return seconds * 1000 + static_cast<uint32_t>(now.tv_usec / 1000);
}

TRandom& ProgramRandom() {
  static TRandom instance(TimeOfDaySeed());
  return instance;
}

}  // namespace zt
