// Montgomery arithmetic modulo an odd integer on 64-bit words: the kernel
// under the strong probable-prime and strong Lucas tests. Values are kept
// reduced below the modulus, in Montgomery form (x·R mod n, R = 2^(64k)).
#pragma once

#include <cstdint>
#include <vector>

#include "integers/integers.h"

namespace rara {

class TMontgomery {
 public:
  // n odd and > 1.
  explicit TMontgomery(const TInteger& n);

  int Words() const noexcept { return k_; }
  std::vector<std::uint64_t> NewValue() const { return std::vector<std::uint64_t>(static_cast<std::size_t>(k_), 0); }

  // r := a·b·R^-1 mod n. r may be a or b. Arrays of Words() words.
  void Mul(std::uint64_t* r, const std::uint64_t* a, const std::uint64_t* b) const;
  // r := a + b mod n and r := a - b mod n; r may be a or b.
  void Add(std::uint64_t* r, const std::uint64_t* a, const std::uint64_t* b) const;
  void Sub(std::uint64_t* r, const std::uint64_t* a, const std::uint64_t* b) const;
  // r := r / 2 mod n.
  void Half(std::uint64_t* r) const;

  // r := the Montgomery form of x mod n (x of any sign and size).
  void Set(std::uint64_t* r, const TInteger& x) const;
  void SetInt(std::uint64_t* r, std::int64_t v) const;
  const std::uint64_t* One() const noexcept { return one_.data(); }
  const std::uint64_t* MinusOne() const noexcept { return minusOne_.data(); }
  bool Equal(const std::uint64_t* a, const std::uint64_t* b) const noexcept;
  bool IsZero(const std::uint64_t* a) const noexcept;

 private:
  const TInteger& n_;
  int k_;
  std::uint64_t nInv_;                 // -n^-1 mod 2^64
  std::vector<std::uint64_t> n64_, r2_, one_, minusOne_;
  mutable std::vector<std::uint64_t> t_;
};

}  // namespace rara
