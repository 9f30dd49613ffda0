// The Weber class polynomial of a discriminant -D (D = 7 mod 8), computed in
// multi-precision complex floating point from the reduced forms of
// determinant D, rounded to integers and kept modulo 2.
#pragma once

#include <cstdint>
#include <vector>

#include "floats/floats.h"
#include "gf2/gf2_poly.h"

namespace rara {

// W := the Weber class polynomial of -D modulo 2, monic of degree h. Sets the
// working precision to Ratio·max(√(2.71829·D), h) bits (and leaves it there).
// Progress counts the roots still to multiply in, from h down to 0.
// D != 7 (mod 8): ERuv "GetWeberPolyMod2: Internal error 1"; more than h
// roots: ERuv "GetWeberPolyMod2: Internal error 2".
void GetWeberPolyMod2(TGF2Poly& w, std::int32_t d, std::int32_t h, std::int32_t& progress,
                      long double ratio);

// The same computation keeping the rounded integer coefficients, lowest
// first (the last is the leading 1), for checks of the precision rule:
// worstPos is the largest Pos() of a coefficient's distance to its rounded
// value, and at least that of the last bit the product kept (every distance
// is below 2^worstPos). worstPos >= 1 says that the precision was too low to
// tell the integers at all.
void GetWeberPolyInt(std::vector<TInteger>& coefs, std::int64_t& worstPos, std::int32_t d,
                     std::int32_t h, std::int32_t& progress, long double ratio);

// Class invariant of the form a·X² + 2b·XY + c·Y² (ac - b² = D): the Weber
// function chosen by the parities of a and c, times a 48th root of unity and
// r = √(1/2); cubed when g3 = gcd(D, 3) = 3.
void WeberClassInvariant(TComplex& z, std::int32_t a, std::int32_t b, std::int32_t c,
                         std::int32_t d, std::int32_t g3, const TReal& r);

// Weber's f (kind 0), f1 (kind 1) or f2 (kind 2) at τ = (b + i√D)/a; any
// other kind, or an underflowed e^(iπτ), gives 0.
void WeberFunction(TComplex& z, int kind, std::int32_t a, std::int32_t b, std::int32_t d);

// z := Π_{n>=1} (1 - zⁿ) by the pentagonal-number series, until a term is
// below 2^(32 - P) in both parts.
void EulerProduct(TComplex& z);

}  // namespace rara
