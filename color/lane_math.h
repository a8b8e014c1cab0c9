// Eight 32-bit integer lanes in GCC vector types, for the per-pixel arithmetic of
// the merge: with AVX2 each step is one instruction, otherwise two SSE2 ones. The
// helpers keep the merge free of branches and hardware integer divisions.
//
// Threads: everything here is pure.
#pragma once

#include <cstdint>
#include <cstring>

// Lanes pass between always-inlined functions only, so the note that 32-byte
// vectors pass differently with and without AVX concerns no real call.
#pragma GCC diagnostic ignored "-Wpsabi"

namespace zt {

using TLanes = std::int32_t __attribute__((vector_size(32)));
using TFloatLanes = float __attribute__((vector_size(32)));
inline constexpr int kLaneCount = 8;

[[gnu::always_inline]] inline TLanes Splat(std::int32_t value) { return TLanes{} + value; }

[[gnu::always_inline]] inline TLanes LoadLanes(const std::uint32_t* from) {
  TLanes lanes;
  std::memcpy(&lanes, from, sizeof lanes);
  return lanes;
}

[[gnu::always_inline]] inline void StoreLanes(std::uint32_t* to, const TLanes& lanes) {
  std::memcpy(to, &lanes, sizeof lanes);
}

[[gnu::always_inline]] inline TLanes MaxLanes(const TLanes& a, const TLanes& b) {
  return a > b ? a : b;
}
[[gnu::always_inline]] inline TLanes MinLanes(const TLanes& a, const TLanes& b) {
  return a < b ? a : b;
}

// n div d for 0 <= n < 2^24 and d >= 1, lane by lane. The single-precision
// quotient is correctly rounded: it is off by at most n / d * 2^-24 < 1 / d,
// while a quotient that is not an integer lies at least 1 / d below the next
// integer, and an integer quotient is exact. Truncating it gives n div d.
[[gnu::always_inline]] inline TLanes DivideLanes(const TLanes& n, const TLanes& d) {
  return __builtin_convertvector(
      __builtin_convertvector(n, TFloatLanes) / __builtin_convertvector(d, TFloatLanes), TLanes);
}

}  // namespace zt
