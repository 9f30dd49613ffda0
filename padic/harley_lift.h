// The canonical lift's Ξ by Newton's iteration (Harley's lift), over the
// Teichmüller modulus, where the Frobenius costs a reduction.
#pragma once

#include "gf2/gf2_poly.h"
#include "gf2/gf2n.h"
#include "padic/zq.h"

namespace rara {

// X := Ξ modulo 2^m, the solution of σ(Ξ) = F(Ξ) with Ξ ≡ B mod 2 that the
// univariate AGM converges to (F as in agm_trace.cpp), at WordsFor(m)
// words. The ring has the Teichmüller modulus of the field polynomial of
// 'field' (standard basis), set up for at least that width; m >= 1.
void HarleyLift(TZqRing& ring, TZqElem& x, const TGF2N& field, const TGF2Poly& b, int m);

}  // namespace rara
