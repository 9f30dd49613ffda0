// Fixed-point kernels of the Weber product on 64-bit words; the carry
// chains and word products are the word layer's (integers/words.h).
#include "engine/weber_fixed.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "integers/words.h"

namespace rara::weber_fixed {

namespace {

using words::u128;

bool IsNegative(const Word* a, std::int32_t w) { return (a[w - 1] >> 63) != 0; }

// r[0..n) := -a[0..n) (two's complement); r may be a.
void Negate(Word* r, const Word* a, std::int32_t n) {
  Word carry = 1;
  for (std::int32_t i = 0; i < n; ++i) {
    const Word t = ~a[i] + carry;
    carry = (carry != 0 && t == 0) ? 1 : 0;
    r[i] = t;
  }
}

// Significant words of a magnitude a[0..n).
std::int32_t Used(const Word* a, std::int32_t n) {
  while (n > 0 && a[n - 1] == 0) --n;
  return n;
}

// buf[0..l) := the signed product x·m as two's complement, except for the
// word products a[j]·m[i] with i + j < skip; tmp holds w words.
void SignedProduct(Word* buf, std::int32_t l, const Word* x, std::int32_t w, TFactorCoef m,
                   std::int32_t skip, Word* tmp) {
  std::memset(buf, 0, static_cast<std::size_t>(l) * sizeof(Word));
  const bool xNeg = IsNegative(x, w);
  const Word* a = x;
  if (xNeg) {
    Negate(tmp, x, w);
    a = tmp;
  }
  const std::int32_t n = Used(a, w);
  const std::int32_t v = Used(m.mag, m.v);
  if (n == 0 || v == 0) return;
  // Column by column: the products a[j]·m[c-j] of word c summed in a
  // 192-bit accumulator, one store per word. The same products as rows that
  // start at word skip, so the same integer.
  const Word* y = m.mag;
  u128 acc = 0;
  Word top = 0;
  for (std::int32_t c = skip; c <= n + v - 2; ++c) {
    const std::int32_t jlo = std::max(0, c - (v - 1));
    const std::int32_t jhi = std::min(n - 1, c);
    for (std::int32_t j = jlo; j <= jhi; ++j) {
      const u128 t = static_cast<u128>(a[j]) * y[c - j];
      acc += t;
      top += acc < t ? 1 : 0;
    }
    buf[c] = static_cast<Word>(acc);
    acc = (acc >> 64) | (static_cast<u128>(top) << 64);
    top = 0;
  }
  // What is left is below 2^64: the whole product has n + v words.
  if (n + v - 1 >= skip) buf[n + v - 1] = static_cast<Word>(acc);
  if (xNeg != m.negative) Negate(buf, buf, l);
}

}  // namespace

void Add(Word* r, const Word* a, std::int32_t w) { words::AddN(r, r, a, w); }

std::int32_t BitLength(const Word* a, std::int32_t w) {
  const Word ext = IsNegative(a, w) ? ~Word{0} : 0;
  // For a negative a, |a| - 1 = ~a has the same bit length as |a| except at
  // powers of two, where it is one short: good enough for a bound plus one.
  for (std::int32_t i = w - 1; i >= 0; --i) {
    const Word t = a[i] ^ ext;
    if (t != 0) return 64 * i + static_cast<std::int32_t>(std::bit_width(t)) + (ext != 0 ? 1 : 0);
  }
  return ext != 0 ? 1 : 0;
}

void ShiftRight(Word* a, std::int32_t w, std::int64_t s) {
  if (s <= 0) return;
  if (s >= 64 * static_cast<std::int64_t>(w)) {
    // Everything drops below the last bit; halves round up to zero.
    std::memset(a, 0, static_cast<std::size_t>(w) * sizeof(Word));
    return;
  }
  // round(a·2^-s) = floor((a + 2^(s-1))·2^-s); the addition cannot overflow
  // for the magnitudes kept here (two bits of headroom at the top).
  const std::int32_t q0 = static_cast<std::int32_t>((s - 1) / 64);
  const unsigned r0 = static_cast<unsigned>((s - 1) % 64);
  Word carry = Word{1} << r0;
  for (std::int32_t i = q0; i < w && carry != 0; ++i) {
    a[i] += carry;
    carry = a[i] < carry ? 1 : 0;
  }
  const std::int32_t q = static_cast<std::int32_t>(s / 64);
  const unsigned sh = static_cast<unsigned>(s % 64);
  const Word ext = IsNegative(a, w) ? ~Word{0} : 0;
  for (std::int32_t t = 0; t < w; ++t) {
    const Word lo = q + t < w ? a[q + t] : ext;
    const Word hi = q + t + 1 < w ? a[q + t + 1] : ext;
    a[t] = sh == 0 ? lo : (lo >> sh) | (hi << (64 - sh));
  }
}

std::int32_t Step(Word* r, const Word* x, TFactorCoef m, const Word* y, TFactorCoef s,
                  const Word* z, std::int32_t w, std::int32_t k, Word* scratch) {
  const std::int32_t v = std::max(m.v, s.v);
  const std::int32_t l = w + v + 1;
  Word* acc = scratch;
  Word* other = scratch + l;
  Word* tmp = scratch + 2 * l;
  // acc := x·m + y·s at scale F + k. The word products that lie wholly
  // below 2^(k-128) add up to less than v·2^(k-64): they are left out.
  const std::int32_t skip = std::max(0, k / 64 - 2);
  if (x != nullptr)
    SignedProduct(acc, l, x, w, m, skip, tmp);
  else
    std::memset(acc, 0, static_cast<std::size_t>(l) * sizeof(Word));
  if (y != nullptr) {
    SignedProduct(other, l, y, w, s, skip, tmp);
    Add(acc, other, l);
  }
  // + 2^(k-1), then down by k: rounded to scale F.
  if (k > 0) {
    Word carry = Word{1} << ((k - 1) % 64);
    for (std::int32_t i = (k - 1) / 64; i < l && carry != 0; ++i) {
      acc[i] += carry;
      carry = acc[i] < carry ? 1 : 0;
    }
  }
  const std::int32_t q = k / 64;
  const unsigned sh = static_cast<unsigned>(k % 64);
  for (std::int32_t t = 0; t < w; ++t)
    acc[t] = sh == 0 ? acc[q + t] : (acc[q + t] >> sh) | (acc[q + t + 1] << (64 - sh));
  // + z; r is written last, so it may be any of the inputs.
  if (z != nullptr) Add(acc, z, w);
  std::memcpy(r, acc, static_cast<std::size_t>(w) * sizeof(Word));
  return BitLength(r, w);
}

}  // namespace rara::weber_fixed
