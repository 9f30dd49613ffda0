// Fixed-point kernels of the Weber product: coefficients are two's-complement
// integers of w 64-bit words (least significant first) standing for
// value·2^-F, F being a scale the caller keeps common to all of them; factor
// coefficients are magnitudes of v words with a sign, standing for
// value·2^-k. No allocation, no errors; sizes and scratch from the caller.
#pragma once

#include <cstdint>

namespace rara::weber_fixed {

using Word = std::uint64_t;

// One factor coefficient: |value|·2^k in v words (v >= 1) and its sign.
struct TFactorCoef {
  const Word* mag;
  std::int32_t v;
  bool negative;
};

// r[0..w) := round((x·m + y·s)·2^-k) + z, where x, y, z are coefficients of w
// words (y or z null for a missing term) and m, s factor coefficients of the
// same v words at scale k, 0 <= k < 64·v. Rounding is to nearest (halves up)
// of the products less their word products below 2^(k-128), whose sum is
// below v·2^(k-64): the result can be one unit off only where the exact
// value lies that close to a halfway point.
// r may be x, y or z. scratch holds at least 3·(w + v + 1) words. Returns the
// bit length of |r|. The caller sees to it that the result fits in w words.
std::int32_t Step(Word* r, const Word* x, TFactorCoef m, const Word* y, TFactorCoef s,
                  const Word* z, std::int32_t w, std::int32_t k, Word* scratch);

// r[0..w) += a[0..w) (modulo 2^(64w)).
void Add(Word* r, const Word* a, std::int32_t w);

// Bit length of |a| for a two's-complement a[0..w).
std::int32_t BitLength(const Word* a, std::int32_t w);

// a[0..w) := round(a·2^-s), arithmetic, s >= 0 (any size).
void ShiftRight(Word* a, std::int32_t w, std::int64_t s);

}  // namespace rara::weber_fixed
