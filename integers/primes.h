// Prime tools: the table class TPrimeList filled by a segmented wheel-30
// sieve up to 2^30, the i-th prime, primality of words and of integers, the
// extraction of small prime factors, and square roots modulo powers of two.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "integers/integers.h"
#include "integers/prime_table.h"
#include "integers/ruv_object.h"

namespace rara {

class TStream;

inline constexpr std::uint32_t MaxPrimeBound = 0x40000000;   // 2^30
inline constexpr std::int32_t MaxPrimeCount = 54400028;      // primes below 2^30

class TPrimeList : public TRuvObject {
 public:
  static constexpr const char* FileHeader = "Ruv Prime List ";

  explicit TPrimeList(bool autoExtend = false) noexcept : autoExtend_(autoExtend) {}
  ~TPrimeList() override = default;
  TPrimeList(const TPrimeList&) = delete;
  TPrimeList& operator=(const TPrimeList&) = delete;

  // The i-th prime, 1-based. With AutoExtend an index beyond Count extends
  // the table first (so this is not const).
  std::uint32_t Prime(std::int32_t i);
  // Entry i (1-based) without checks, for readers that keep to 1..Count.
  std::uint32_t PrimeAt(std::int32_t i) const noexcept { return primes_.get()[i - 1]; }
  const std::uint32_t* Primes() const noexcept { return primes_.get(); }

  std::int32_t Count() const noexcept { return count_; }
  std::uint32_t Largest() const noexcept { return largest_; }
  bool AutoExtend() const noexcept { return autoExtend_; }
  void SetAutoExtend(bool value) noexcept { autoExtend_ = value; }

  // The table becomes the primes <= max(b, 29); b is taken unsigned.
  void SetBound(std::int32_t b);
  // The table becomes the first n primes (0 empties, 1..9 gives 10).
  void SetCount(std::int32_t n);
  void Clear() noexcept;

  virtual void LoadFromFile(const std::string& fileName);
  virtual void LoadFromStream(TStream& stream);
  virtual void SaveToFile(const std::string& fileName) const;
  virtual void SaveToStream(TStream& stream) const;

 public:
  // The table is malloc'd so that large tables grow and shrink by realloc.
  struct TFree {
    void operator()(std::uint32_t* p) const noexcept { std::free(p); }
  };

 private:

  std::unique_ptr<std::uint32_t, TFree> primes_;
  std::int32_t count_ = 0;
  std::uint32_t largest_ = 0;
  bool autoExtend_ = false;
};

// The i-th prime, 1 <= i <= 54400028.
std::uint32_t IPrime(std::int32_t i);

// Primality of a machine word; exact for every 32-bit word.
bool IIsPrimeWord(std::uint32_t w);

// Strong probable-prime test of n (odd, greater than a) to the small base a.
bool ISprp(const TInteger& n, std::uint32_t a);

// The smallest prime <= 32749 dividing a, or 1 (also for 0 and +-1).
std::uint32_t ISmallestFactor(const TInteger& a);

// Primality of a: exact for one-limb values; larger ones pass trial division
// to 32749, strong tests to the bases 2 and 3, and a strong Lucas test.
bool IIsPrime(const TInteger& a);

// Removes from a its prime factors <= bound; f.Long(k) is the k-th factor
// found, e->Long(k) its exponent (e may be null). a keeps the cofactor and its
// sign; with no factor found f = 0 and e = 1.
void ISmallFactors(TInteger& a, TInteger& f, TInteger* e, std::int32_t bound);
// The same with the primes of a list (2 first, then entries 2..Count).
void ISmallFactors(TInteger& a, TInteger& f, TInteger* e, const TPrimeList& list);

// a := the square root r of a modulo 2^n with r odd and 0 < r <= 2^(n-2);
// a must be non-negative, a = 1 (mod 8), n >= 3.
void ISqrRootMod2N(TInteger& a, std::int32_t n);

}  // namespace rara
