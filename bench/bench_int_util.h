// Operands of the integer benchmarks and their copies for GMP.
#pragma once

#include <gmp.h>

#include <cstdint>

#include "integers/integers.h"
#include "integers/random.h"

namespace rara::bench {

// A := a random non-negative integer of exactly `bits` bits.
inline void RandomBits(TInteger& a, int bits) {
  a.Clear();
  for (int i = 0; i < bits / 32; ++i) a.SetLong(static_cast<std::uint32_t>(i), RuvRandom());
  a.SetBit(static_cast<std::uint32_t>(bits - 1), true);
}

// out := |A|.
inline void ToMpz(mpz_t out, const TInteger& a) {
  mpz_import(out, static_cast<size_t>(a.Size()), -1, 4, 0, 0, a.Limbs());
}

}  // namespace rara::bench
