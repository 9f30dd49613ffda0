// Random and patterned integer operands for the integer tests, drawn from the
// calling thread's seeded RuvRandom so that a failure reproduces.
#pragma once

#include <cstdint>

#include "integers/integers.h"
#include "integers/random.h"

namespace rara::test {

// A limb count in [0, max]: often small, often at the ends.
inline std::int32_t RandomSize(std::int32_t max) {
  std::uint32_t r = RuvRandom();
  switch (r % 8) {
    case 0: return 0;
    case 1: return 1 + static_cast<std::int32_t>(RuvRandom() % 3);
    case 2: return max;
    default: return static_cast<std::int32_t>(RuvRandom() % (static_cast<std::uint32_t>(max) + 1));
  }
}

// One limb of a random pattern: plain random, all ones, zero, or sparse bits,
// so that carries and borrows run through long stretches.
inline std::uint32_t PatternLimb(int pattern) {
  switch (pattern) {
    case 0: return RuvRandom();
    case 1: return 0xFFFFFFFFu;
    case 2: return (RuvRandom() % 4 == 0) ? RuvRandom() : 0u;
    default: return (RuvRandom() % 2) ? 0xFFFFFFFFu : (RuvRandom() % 2 ? 0u : RuvRandom());
  }
}

// a := an integer of exactly n limbs (top limb non-zero) of the given pattern.
inline void PatternInteger(TInteger& a, std::int32_t n, int pattern) {
  a.Clear();
  for (std::int32_t i = 0; i < n; ++i) a.SetLong(static_cast<std::uint32_t>(i), PatternLimb(pattern));
  if (n > 0 && a.Long(static_cast<std::uint32_t>(n - 1)) == 0)
    a.SetLong(static_cast<std::uint32_t>(n - 1), RuvRandom() | 1u);
}

// a := a random integer of n limbs, random pattern and sign.
inline void RandomInteger(TInteger& a, std::int32_t n) {
  PatternInteger(a, n, static_cast<int>(RuvRandom() % 4));
  if (RuvRandom() % 2) INeg(a);
}

}  // namespace rara::test
