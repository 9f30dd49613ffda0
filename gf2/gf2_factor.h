// Irreducibility and normality tests, square-free part and factorisation of
// polynomials over GF(2).
#pragma once

#include "gf2/gf2_matrix.h"
#include "gf2/gf2_poly.h"

namespace rara {

// Degree 1 (x and x+1) counts as irreducible; 0 and 1 do not.
bool GF2IsIrreducible(const TGF2Poly& p);
// Irreducible and its roots t, t^2, t^4, ..., t^(2^(d-1)) are linearly
// independent (they form a normal basis).
bool GF2IsNormal(const TGF2Poly& p);
// P := the product of the distinct irreducible factors of P; 0 and 1 stay.
void GF2SquareFree(TGF2Poly& p);
// V := the irreducible factors of P, grouped by increasing degree; P is not
// changed. With squareFreeFirst every distinct factor comes once. Without it
// a factor comes as often as it divides P (adjacent copies), so the product
// of V is P. A random source that never splits raises ERuv "GF2Factor".
void GF2Factor(const TGF2Poly& p, TGF2PolyVector& v, bool squareFreeFirst);

}  // namespace rara
