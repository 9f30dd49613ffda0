// Curve and point construction from a root of the Weber polynomial.
#include "engine/curve_point.h"

#include "integers/errors.h"

namespace rara {

namespace {
constexpr const char* WrongOrder = "GetGF2Point: Wrong order !?";
}

void BuildCurveFromRoot(TGF2NECurve& curve, const TGF2Poly& theta, std::int32_t d, TGF2N& field,
                        std::uint32_t kMod4Bits) {
  // b: when 3 divides D the class invariant already took the cube.
  TUVPoly b(theta);
  if (d % 3 != 0) field.Pow(*b, 3);

  // a selects the twist: trace 0 for K = 0 (mod 4), trace 1 for K = 2 (mod 4).
  TUVPoly a;
  const bool withA = (kMod4Bits & 3u) != 0;
  if (withA) {
    if (field.N() % 2 == 1) {
      field.Set1(*a);  // Tr(1) = N mod 2 = 1
    } else if (field.BasisType() == btNormal) {
      a->SetOne();  // the first basis vector; its trace is 1 in a normal basis
    } else {
      // Even N, standard basis: the first monomial of trace 1.
      for (std::int32_t i = 0; i < field.N(); ++i) {
        a->SetMonomial(i);
        if (field.Trace(*a)) break;
      }
    }
  }

  curve.SetField(&field);
  curve.SetCoefs(withA ? &*a : nullptr, &*b);
}

void GetGF2Point(TGF2NEPoint& point, TGF2NECurve& curve, const TInteger& k, const TInteger& r) {
  int draws = 0;
  do {
    if (draws++ == GetGF2PointMaxDraws) RaiseRuv(WrongOrder);
    curve.GetRndPoint(point);
    curve.Mul(point, k, true);
  } while (point.IsZero());

  TGF2NEPoint q(point);
  curve.Mul(q, r, true);
  if (!q.IsZero()) RaiseRuv(WrongOrder);
}

}  // namespace rara
