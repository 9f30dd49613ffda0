// Counting the points of y^2 + x·y = x^3 + A·x^2 + B over GF(2^N): the
// canonical-lift count of padic/ for every N it covers, and a plain count by
// enumeration of x for tiny fields (the reference of the tests).
#pragma once

#include <cstdint>

#include "gf2/gf2_poly.h"
#include "gf2/gf2n.h"
#include "integers/integers.h"

namespace rara {

// Largest field degree of ECPointCountPlain.
inline constexpr std::int32_t ECPlainMaxDegree = 20;

// Count := #E, the point at infinity included. A and B are elements of the
// field in its current basis; B != 0 and both of degree below N, else
// ERuvInvalidArg "ECPointCount" ("Invalid B coefficient" / "Invalid A
// coefficient"). N up to AGMMaxDegree. From N = 64 the lift stops some bits
// short and a search on the curve finds the count among the few candidates
// of the Hasse interval (the full lift when a point of small order leaves it
// ambiguous). The count is confirmed by multiplying random points by it; a
// count that fails raises ERuv. Polls RuvBreak.
void ECPointCount(TInteger& count, const TGF2N& field, const TGF2Poly& a, const TGF2Poly& b);

// The same by enumeration: 2 (O and (0, √B)) plus 2 for every x != 0 with
// Tr(x + A + B/x²) = 0. N <= ECPlainMaxDegree, else ERuvInvalidArg
// "ECPointCountPlain".
void ECPointCountPlain(TInteger& count, const TGF2N& field, const TGF2Poly& a, const TGF2Poly& b);

}  // namespace rara
