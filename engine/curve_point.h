// The last two CM steps: the curve from a root of the Weber polynomial, and
// random points of prime order R on it.
#pragma once

#include <cstdint>

#include "curves/ec_gf2n.h"
#include "gf2/gf2_poly.h"
#include "gf2/gf2n.h"
#include "integers/integers.h"

namespace rara {

// Most random points whose K-multiple may be O before the curve is taken to
// have the wrong order (on a curve of order K·R one draw fails with
// probability 1/R).
inline constexpr int GetGF2PointMaxDraws = 64;

// Curve y² + xy = x³ + a·x² + b over Field with b = θ (3 | D) or θ³, and a of
// trace 0 (a = 0) for K ≡ 0 (mod 4), else a of trace 1.
void BuildCurveFromRoot(TGF2NECurve& curve, const TGF2Poly& theta, std::int32_t d, TGF2N& field,
                        std::uint32_t kMod4Bits);

// Point := a random point of order R: K times a random point, checked by
// R·Point = O. A failed check, or GetGF2PointMaxDraws draws in a row whose
// K-multiple is O, raise ERuv "GetGF2Point: Wrong order !?".
void GetGF2Point(TGF2NEPoint& point, TGF2NECurve& curve, const TInteger& k, const TInteger& r);

}  // namespace rara
