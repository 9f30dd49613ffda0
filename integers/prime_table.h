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

}  // namespace rara
