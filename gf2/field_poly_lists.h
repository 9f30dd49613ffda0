// The built-in field polynomials of degrees 64 to 571: the IEEE P1363 and
// ANSI X9.63 irreducible trinomials and pentanomials, our own normal
// pentanomials, and the Gaussian normal polynomials with their type search.
// The curve dialog offers degrees 64 to 360 and calls the look-ups with their
// default range; the batch front end passes BatchFieldListMaxDegree.
#pragma once

#include <cstdint>
#include <string>

#include "gf2/gf2_poly.h"

namespace rara {

inline constexpr int FieldListMinDegree = 64;
inline constexpr int FieldListMaxDegree = 360;       // the dialogs' lists
inline constexpr int BatchFieldListMaxDegree = 571;  // the tables' last degree
inline constexpr int X963MinDegree = 160;

// Each sets P to the list's entry for N, or raises ERuvIndexError (named
// after the routine) without touching P when N is outside the list's range,
// which ends at maxDegree (at most BatchFieldListMaxDegree).
void GetP1363Irreducible(TGF2Poly& p, int n, int maxDegree = FieldListMaxDegree);  // N from 64
void GetX963Irreducible(TGF2Poly& p, int n, int maxDegree = FieldListMaxDegree);   // N from 160
// x^N + x^(N-1) + x^a + x^b + 1, N from 64.
void GetNormal(TGF2Poly& p, int n, int maxDegree = FieldListMaxDegree);

// Lower-case hexadecimal text of the Gaussian normal polynomial of N, most
// significant digit first; empty when N has no entry up to maxDegree.
std::string GaussNormalText(int n, int maxDegree = FieldListMaxDegree);

// Type T (1..255) of the Gaussian normal basis of degree N, 0 when none.
int GaussType(std::uint16_t n);

}  // namespace rara
