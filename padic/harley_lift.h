// The canonical lift's Ξ by Newton's iteration (Harley's lift), over the
// Teichmüller modulus, where the Frobenius costs a reduction.
#pragma once

#include "gf2/gf2_poly.h"
#include "gf2/gf2n.h"
#include "padic/zq.h"

namespace rara {

// X := Ξ modulo 2^m, the solution of σ(Ξ) = F(Ξ), F(X) = ((1+4X)/√(1+8X) − 1)/8,
// with Ξ ≡ B mod 2: the Ξ whose conjugates the univariate AGM's steps
// approach. X comes at the width of m bits. The ring has the Teichmüller
// modulus of the field polynomial of 'field' (standard basis), set up for
// at least that width; m >= 1. Polls RuvBreak.
void HarleyLift(TZqRing& ring, TZqElem& x, const TGF2N& field, const TGF2Poly& b, int m);

}  // namespace rara
