// Invariant checks of the RARA_VERIFY build for polynomials over GF(2) and
// field elements (see integers/verify.h for how a failed check reports).
#pragma once

#include "gf2/gf2_poly.h"
#include "gf2/gf2n.h"
#include "integers/verify.h"

namespace rara {

#ifdef RARA_VERIFY

// Normal form and capacity: Count <= Capacity <= MaxWords, Capacity a
// multiple of 8, top word non-zero, words Count..Capacity-1 zero.
void VerifyPoly(const TGF2Poly& p, const char* where);
// VerifyPoly, and degree below N when the field checks degrees.
void VerifyElement(const TGF2N& field, const TGF2Poly& a, const char* where);
// Items of this thread's polynomial pool in use now.
int PolyPoolUsed();

#else

inline void VerifyPoly(const TGF2Poly&, const char*) {}
inline void VerifyElement(const TGF2N&, const TGF2Poly&, const char*) {}
inline int PolyPoolUsed() { return 0; }

#endif

}  // namespace rara
