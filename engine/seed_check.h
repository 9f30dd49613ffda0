// The verifiably-random method of X9.62 / SEC 1 for binary fields: the
// coefficient b of a curve over GF(2^m) as the m-bit string that SHA-1 spins
// out of a seed.
#pragma once

#include <cstdint>
#include <string>

#include "gf2/gf2_poly.h"

namespace rara {

// W := the m-bit string W0 || W1 || ... || Ws with s = floor((m-1)/160),
// W0 the rightmost m - 160·s bits of SHA-1(seed) and Wi = SHA-1((seed + i) mod
// 2^g) for the g-bit seed read as a big-endian integer; bit j of the string,
// counted from the right, is coefficient j. The seed is whole octets; m >= 1.
void SeedElement(TGF2Poly& w, const std::string& seed, std::int32_t m);

}  // namespace rara

namespace rara {

// Whether B is the seed's string W read in the Gaussian normal basis of
// GF(2^m) = GF(2)[x]/(P) (the type T that GaussType gives): B = sum of w_i·β^(2^i),
// w_0 the leftmost bit of W. The basis is fixed by the field only up to a
// Frobenius conjugate of β, so every conjugate is accepted. Type := T, 0 when
// the degree has no Gaussian normal basis (then false).
bool SeedElementInGaussBasis(const TGF2Poly& w, const TGF2Poly& b, const TGF2Poly& p, int& type);

}  // namespace rara
