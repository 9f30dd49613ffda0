// The built-in field polynomials of degrees 64 to 360 offered by the curve
// dialog: the IEEE P1363 and ANSI X9.63 irreducible trinomials and
// pentanomials, our own normal pentanomials, and the Gaussian normal
// polynomials with their type search.
#pragma once

#include <cstdint>
#include <string>

#include "gf2/gf2_poly.h"

namespace rara {

inline constexpr int FieldListMinDegree = 64;
inline constexpr int FieldListMaxDegree = 360;
inline constexpr int X963MinDegree = 160;

// Each sets P to the list's entry for N, or raises ERuvIndexError (named
// after the routine) without touching P when N is outside the list.
void GetP1363Irreducible(TGF2Poly& p, int n);  // N in 64..360
void GetX963Irreducible(TGF2Poly& p, int n);   // N in 160..360
void GetNormal(TGF2Poly& p, int n);            // N in 64..360: x^N + x^(N-1) + x^a + x^b + 1

// Lower-case hexadecimal text of the Gaussian normal polynomial of N, most
// significant digit first; empty when N has no entry.
std::string GaussNormalText(int n);

// Type T (1..255) of the Gaussian normal basis of degree N, 0 when none.
int GaussType(std::uint16_t n);

}  // namespace rara
