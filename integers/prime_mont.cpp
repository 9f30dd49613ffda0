// Montgomery multiplication (CIOS, 64-bit words) for the primality tests.
#include "integers/prime_mont.h"

#include <cstring>

#include "integers/words.h"

namespace rara {

namespace {

using words::u64;
using words::u128;
using words::AddN;
using words::SubN;
using words::GreaterEqualN;

// The words of |x| (x < 2^(64k)) into r.
void ToWords(u64* r, const TInteger& x, int k) {
  std::memset(r, 0, static_cast<std::size_t>(k) * sizeof(u64));
  words::PackLimbs(r, x.Limbs(), x.Size());
}

}  // namespace

TMontgomery::TMontgomery(const TInteger& n) : n_(n), k_((n.Size() + 1) / 2) {
  n64_.resize(static_cast<std::size_t>(k_));
  ToWords(n64_.data(), n, k_);
  // Newton's iteration doubles the correct low bits of n^-1 each round.
  u64 inv = n64_[0];
  for (int i = 0; i < 6; ++i) inv *= 2 - n64_[0] * inv;
  nInv_ = ~inv + 1;
  t_.resize(static_cast<std::size_t>(k_) + 2);

  TUVInteger r2;
  r2->SetBit(static_cast<std::uint32_t>(128 * k_), true);
  IMod(*r2, n);
  r2_.resize(static_cast<std::size_t>(k_));
  ToWords(r2_.data(), *r2, k_);
  one_ = NewValue();
  SetInt(one_.data(), 1);
  minusOne_ = NewValue();
  SubN(minusOne_.data(), n64_.data(), one_.data(), k_);
}

void TMontgomery::Mul(u64* r, const u64* a, const u64* b) const {
  const int k = k_;
  const u64* n = n64_.data();
  u64* t = t_.data();
  std::memset(t, 0, (static_cast<std::size_t>(k) + 2) * sizeof(u64));
  for (int i = 0; i < k; ++i) {
    // t += a·b[i]
    u64 c = words::MulAddRow(t, a, 0, k, b[i]);
    u128 s = static_cast<u128>(t[k]) + c;
    t[k] = static_cast<u64>(s);
    t[k + 1] = static_cast<u64>(s >> 64);
    // t := (t + m·n) / 2^64 with m chosen so that the low word vanishes. A
    // row shifted down one word as it goes, written with the double word
    // directly: through AddCarry-style helpers g++ spills m in this loop.
    const u64 m = t[0] * nInv_;
    s = words::MulWide(m, n[0]) + t[0];
    c = static_cast<u64>(s >> 64);
    for (int j = 1; j < k; ++j) {
      s = words::MulWide(m, n[j]) + t[j] + c;
      t[j - 1] = static_cast<u64>(s);
      c = static_cast<u64>(s >> 64);
    }
    s = static_cast<u128>(t[k]) + c;
    t[k - 1] = static_cast<u64>(s);
    t[k] = t[k + 1] + static_cast<u64>(s >> 64);
  }
  // t < 2n: one subtraction at most.
  if (t[k] != 0 || GreaterEqualN(t, n, k))
    SubN(r, t, n, k);
  else
    std::memcpy(r, t, static_cast<std::size_t>(k) * sizeof(u64));
}

void TMontgomery::Add(u64* r, const u64* a, const u64* b) const {
  const u64 carry = AddN(r, a, b, k_);
  if (carry != 0 || GreaterEqualN(r, n64_.data(), k_)) SubN(r, r, n64_.data(), k_);
}

void TMontgomery::Sub(u64* r, const u64* a, const u64* b) const {
  if (SubN(r, a, b, k_) != 0) AddN(r, r, n64_.data(), k_);
}

void TMontgomery::Half(u64* r) const {
  u64 top = 0;
  if (r[0] & 1u) top = AddN(r, r, n64_.data(), k_);
  for (int i = 0; i < k_ - 1; ++i) r[i] = (r[i] >> 1) | (r[i + 1] << 63);
  r[k_ - 1] = (r[k_ - 1] >> 1) | (top << 63);
}

void TMontgomery::Set(u64* r, const TInteger& x) const {
  TUVInteger m(x);
  IMod(*m, n_);   // floor remainder: 0 <= m < n
  ToWords(r, *m, k_);
  Mul(r, r, r2_.data());
}

void TMontgomery::SetInt(u64* r, std::int64_t v) const {
  TUVInteger x;
  x->SetInt64(v);
  Set(r, *x);
}

bool TMontgomery::Equal(const u64* a, const u64* b) const noexcept {
  return std::memcmp(a, b, static_cast<std::size_t>(k_) * sizeof(u64)) == 0;
}

bool TMontgomery::IsZero(const u64* a) const noexcept {
  for (int i = 0; i < k_; ++i)
    if (a[i] != 0) return false;
  return true;
}

}  // namespace rara
