// The trace of Frobenius of an ordinary binary curve from the canonical lift,
// by the arithmetic-geometric mean in its univariate form.
#pragma once

#include <cstdint>

#include "gf2/gf2_poly.h"
#include "integers/integers.h"

namespace rara {

// Largest field degree AGMTrace accepts (its precision must fit the widest
// coefficients of the 2-adic kernels).
inline constexpr std::int32_t AGMMaxDegree = 800;

// T := the trace t of y^2 + x·y = x^3 + B over GF(2^N) = GF(2)[x]/(P), so
// that the curve has 2^N + 1 − t points (and every curve of the same B with
// an A of trace 1 has 2^N + 1 + t). B != 0 in the standard basis of P,
// N = deg P from 8 to AGMMaxDegree, else ERuvInvalidArg "AGMTrace". Polls
// RuvBreak.
void AGMTrace(TInteger& t, const TGF2Poly& p, const TGF2Poly& b);

}  // namespace rara
