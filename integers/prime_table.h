// The built-in prime data: the primes below 32768, the residues modulo 30 of
// the wheel sieve, and the grouping of the odd small primes for trial division.
#pragma once

#include <cstdint>

namespace rara {

inline constexpr int SmallPrimeCount = 3512;

// SmallPrimes[1] = 2 ... SmallPrimes[3512] = 32749; entry 0 is unused so that
// the table is indexed from 1.
extern const std::uint32_t SmallPrimes[SmallPrimeCount + 1];

// The residues modulo 30 prime to 30, in sieve order.
extern const std::uint32_t SieveResidues[8];

// Consecutive odd small primes SmallPrimes[First .. First + Count - 1] whose
// product fits a word; Inverse = floor((2^64 - 1) / Product) for remainders
// without a division instruction.
struct TTrialGroup {
  std::uint32_t First;
  std::uint32_t Count;
  std::uint32_t Product;
  std::uint64_t Inverse;
};
extern const int TrialGroupCount;
extern const TTrialGroup TrialGroups[];

// Divisibility by SmallPrimes[i] (odd) without a division: p | r exactly when
// r·Inverse mod 2^32 <= Limit. Entry 1 (the prime 2) is unused.
struct TDivisibility {
  std::uint32_t Inverse;   // p^-1 mod 2^32
  std::uint32_t Limit;     // floor((2^32 - 1) / p)
};
extern const TDivisibility SmallPrimeDivisibility[SmallPrimeCount + 1];

// True when the odd small prime SmallPrimes[i] divides r.
inline bool SmallPrimeDivides(std::uint32_t r, int i) noexcept {
  return r * SmallPrimeDivisibility[i].Inverse <= SmallPrimeDivisibility[i].Limit;
}

}  // namespace rara
