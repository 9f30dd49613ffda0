// The word layer under all multi-precision arithmetic: 64-bit words read from
// and written to arrays of 32-bit limbs, the double-word product, and the
// carry-propagating row kernels over 64-bit words (add, subtract, compare,
// multiply-add a row, a three-word column accumulator). The integer kernels,
// the long division, the text conversion, the primality tests, the
// Montgomery code and the fixed-point Weber product are all built on these;
// nothing above this file spells out a carry chain or a 128-bit product.
//
// Everything is inline: the kernels are a few instructions each and sit in
// the innermost loops of their callers. Sizes come from the caller; no
// allocation, no errors.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>

#if defined(__x86_64__)
#include <x86intrin.h>
#endif

namespace rara::words {

using u32 = std::uint32_t;
using u64 = std::uint64_t;

// The double word of GCC and Clang, named once here. __extension__ keeps the
// pedantic modes quiet about it.
__extension__ typedef unsigned __int128 u128;

// Pairs of limbs can be read as one 64-bit word (limb order = word order).
inline constexpr bool kLimbPairs = std::endian::native == std::endian::little;

// ---- Loads and stores: no alignment or aliasing assumptions.

inline u64 Load64(const u32* p) noexcept {
  u64 v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

inline void Store64(u32* p, u64 v) noexcept { std::memcpy(p, &v, sizeof v); }

// r[0..(n+1)/2) := the limbs a[0..n) two to a word, the first limb low (a
// top limb alone fills its word's low half); r's words above are not touched.
inline void PackLimbs(u64* r, const u32* a, int n) noexcept {
  for (int i = 0; i + 1 < n; i += 2) r[i / 2] = a[i] | (static_cast<u64>(a[i + 1]) << 32);
  if (n % 2 != 0) r[n / 2] = a[n - 1];
}

// ---- Single words.

// a·b as a double word.
inline u128 MulWide(u64 a, u64 b) noexcept { return static_cast<u128>(a) * b; }

// High word of a·b.
inline u64 MulHigh(u64 a, u64 b) noexcept { return static_cast<u64>(MulWide(a, b) >> 64); }

// a + b + carry (carry 0 or 1); the carry out replaces carry. On x86-64 the
// processor's add-with-carry, which keeps a chain of these in the carry flag
// (the double-word form compiles to spills and compares in long chains).
inline u64 AddCarry(u64 a, u64 b, u64& carry) noexcept {
#if defined(__x86_64__)
  unsigned long long r;
  carry = _addcarry_u64(static_cast<unsigned char>(carry), a, b, &r);
  return r;
#else
  const u128 t = static_cast<u128>(a) + b + carry;
  carry = static_cast<u64>(t >> 64);
  return static_cast<u64>(t);
#endif
}

// a - b - borrow (borrow 0 or 1); the borrow out replaces borrow.
inline u64 SubBorrow(u64 a, u64 b, u64& borrow) noexcept {
#if defined(__x86_64__)
  unsigned long long r;
  borrow = _subborrow_u64(static_cast<unsigned char>(borrow), a, b, &r);
  return r;
#else
  const u128 t = static_cast<u128>(a) - b - borrow;
  borrow = static_cast<u64>(t >> 127);
  return static_cast<u64>(t);
#endif
}

// a·b + c + d, which always fits a double word: the low word is returned,
// the high word replaces d.
inline u64 MulAddCarry(u64 a, u64 b, u64 c, u64& d) noexcept {
  const u128 t = static_cast<u128>(a) * b + c + d;
  d = static_cast<u64>(t >> 64);
  return static_cast<u64>(t);
}

// ---- Rows of 64-bit words (n >= 0).

// r[0..n) := a + b; returns the carry. r may be a or b (same start).
inline u64 AddN(u64* r, const u64* a, const u64* b, int n) noexcept {
  u64 carry = 0;
  for (int i = 0; i < n; ++i) r[i] = AddCarry(a[i], b[i], carry);
  return carry;
}

// r[0..n) := a - b; returns the borrow. r may be a or b (same start).
inline u64 SubN(u64* r, const u64* a, const u64* b, int n) noexcept {
  u64 borrow = 0;
  for (int i = 0; i < n; ++i) r[i] = SubBorrow(a[i], b[i], borrow);
  return borrow;
}

// a >= b over n words, from the top word down.
inline bool GreaterEqualN(const u64* a, const u64* b, int n) noexcept {
  for (int i = n - 1; i >= 0; --i)
    if (a[i] != b[i]) return a[i] > b[i];
  return true;
}

// r[from..n) += a[from..n)·w (the row of a schoolbook product, its low words
// skipped); returns the carry word, which belongs at r[n]. r and a do not
// overlap. Written out on the double word rather than through MulAddCarry:
// g++ 12 allocates registers better for this form (no spills in the
// Montgomery product).
inline u64 MulAddRow(u64* r, const u64* a, int from, int n, u64 w) noexcept {
  u64 carry = 0;
  for (int j = from; j < n; ++j) {
    const u128 t = static_cast<u128>(a[j]) * w + r[j] + carry;
    r[j] = static_cast<u64>(t);
    carry = static_cast<u64>(t >> 64);
  }
  return carry;
}

// ---- Limb arrays worked two limbs at a time (kLimbPairs only).

// u[0..2p) -= q·v[0..2p) over p limb pairs, carry in and out below 2^32
// (product carry plus borrow).
inline u64 MulSubPairs(u32* u, const u32* v, int p, u32 q, u64 carry) noexcept {
  for (int i = 0; i < 2 * p; i += 2) {
    const u128 t = MulWide(Load64(v + i), q) + carry;
    const u64 lo = static_cast<u64>(t);
    const u64 x = Load64(u + i);
    carry = static_cast<u64>(t >> 64) + (x < lo ? 1u : 0u);
    Store64(u + i, x - lo);
  }
  return carry;
}

// A 192-bit column accumulator (c2:hi:lo) of the product-scanning kernels.
struct TAcc3 {
  u64 lo = 0, hi = 0, c2 = 0;
  void AddProduct(u64 x, u64 y) noexcept {
    const u128 p = MulWide(x, y);
    const u128 s = ((static_cast<u128>(hi) << 64) | lo) + p;
    c2 += s < p ? 1u : 0u;
    lo = static_cast<u64>(s);
    hi = static_cast<u64>(s >> 64);
  }
  // Emits the low word and moves the accumulator down one word.
  u64 Shift() noexcept {
    const u64 w = lo;
    lo = hi;
    hi = c2;
    c2 = 0;
    return w;
  }
};

}  // namespace rara::words
