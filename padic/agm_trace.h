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

// How Ξ is lifted: the AGM's sequential steps over the sparse lift of P,
// Newton's iteration over the Teichmüller modulus (Harley's lift), or the
// faster of the two for the degree. Both give the same trace; the tests
// hold each against the other.
enum class TAGMLift { Auto, Sequential, Newton };

// The degree from which Auto takes Newton's lift, the faster from there on.
inline constexpr std::int32_t AGMNewtonFrom = 200;

// T := the trace t of y^2 + x·y = x^3 + B over GF(2^N) = GF(2)[x]/(P), so
// that the curve has 2^N + 1 − t points (and every curve of the same B with
// an A of trace 1 has 2^N + 1 + t). B != 0 in the standard basis of P,
// N = deg P from 8 to AGMMaxDegree, else ERuvInvalidArg "AGMTrace". Polls
// RuvBreak.
void AGMTrace(TInteger& t, const TGF2Poly& p, const TGF2Poly& b, TAGMLift lift = TAGMLift::Auto);

// T := t modulo 2^Bits, in [0, 2^Bits), at a cost that falls with Bits (the
// lift runs Bits − 3 steps), for callers that find the rest of t another way.
// Bits from 4 to N/2 + 4 (where AGMTrace's precision lies), else
// ERuvInvalidArg "AGMTraceMod" ("Invalid precision"); the other arguments as
// for AGMTrace.
void AGMTraceMod(TInteger& t, int bits, const TGF2Poly& p, const TGF2Poly& b, TAGMLift lift = TAGMLift::Auto);

}  // namespace rara
