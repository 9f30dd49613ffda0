// The construction record's steps, each a thin call into the engine.
#include "engine/construction.h"

#include "engine/cm_search.h"
#include "engine/curve_point.h"
#include "engine/mov.h"
#include "engine/verify.h"
#include "engine/weber.h"
#include "gf2/gf2_factor.h"
#include "integers/errors.h"
#include "integers/random.h"

namespace rara {

TECGF2Data::TECGF2Data() = default;

void TECGF2Data::Clear() {
  WeberDone = false;
  N = 0;
  D = 0;
  ClassNumber = 0;
  U.Clear();
  K.Clear();
  R.Clear();
  KFactors.clear();
  MOVResult = 0;
  W.Clear();
  FieldPoly.Clear();
  WIrreducible = false;
  WFactors.Size(0);
  CurveBuilt = false;
  Field.SetField(3, btStandard);
  FactorIndex = -1;
  Root.Clear();
  Curve.SetField(3, btStandard);
  CoefA.Clear();
  CoefB.Clear();
  Point.SetZero();
  searchGaveUp_ = false;
}

void TECGF2Data::ComputeParams(std::int32_t n, std::int32_t startD, std::int32_t kMaxSize,
                               std::int32_t trialBound, bool kMod4, std::int32_t& progress) {
  const TVerifyStep verify(*this, "TECGF2Data.ComputeParams");
  N = n;
  D = startD;
  // Down to the nearest value = 7 (mod 8) by the two's-complement low bits,
  // so that -1 counts as 7 and an entry of 0 starts the search at 7.
  while ((static_cast<std::uint32_t>(D) & 7u) != 7u) --D;
  progress = D;
  searchGaveUp_ = false;
  GetGF2CurveParams(D, ClassNumber, KFactors, K, R, N, kMaxSize, trialBound, kMod4, progress);
  if (ClassNumber == 0) {
    // No discriminant up to the search limit: there is no R to check.
    searchGaveUp_ = true;
    MOVResult = -1;
    return;
  }
  MOVResult = MOVDegree(N, R);
}

void TECGF2Data::ComputeWeberPoly(std::int32_t& progress, long double ratio) {
  const TVerifyStep verify(*this, "TECGF2Data.ComputeWeberPoly");
  GetWeberPolyMod2(W, D, ClassNumber, progress, ratio);
  WIrreducible = GF2IsIrreducible(W);
  if (WIrreducible)
    WFactors.Size(0);
  else
    GF2Factor(W, WFactors, true);
  WeberDone = true;
}

void TECGF2Data::SetField(const TGF2Poly& p, std::uint8_t basis) {
  const TVerifyStep verify(*this, "TECGF2Data.SetField");
  if (p.Degree() != N) RaiseRuv("TECGF2Data.SetField: Error");
  FieldPoly.Assign(p);
  Field.SetField(p, basis, false);
}

void TECGF2Data::PickRoot() {
  const TVerifyStep verify(*this, "TECGF2Data.PickRoot");
  if (WIrreducible) {
    Field.FindRoot(Root, W, false);
    FactorIndex = -1;
  } else {
    if (WFactors.Count() == 0) RaiseInvalidCall("TECGF2Data.PickRoot", "No Weber polynomial");
    FactorIndex = static_cast<std::int32_t>((RuvRandom() & 0x7FFFFFFFu) %
                                            static_cast<std::uint32_t>(WFactors.Count()));
    Field.FindRoot(Root, WFactors.Cell(FactorIndex), false);
  }
}

void TECGF2Data::MakeCurve() {
  const TVerifyStep verify(*this, "TECGF2Data.MakeCurve");
  if (!WeberDone) return;
  if (SeedFromClock) RuvSeedTime();
  BuildCurveFromRoot(Curve, Root, D, Field, K.Size() == 0 ? 0u : (K.Limbs()[0] & 3u));
  Curve.GetCoefs(&CoefA, &CoefB);
  CurveBuilt = true;
}

void TECGF2Data::NewPoint() {
  const TVerifyStep verify(*this, "TECGF2Data.NewPoint");
  if (!CurveBuilt) return;
  if (SeedFromClock) RuvSeedTime();
  GetGF2Point(Point, Curve, K, R);
  Curve.GetCoefs(&CoefA, &CoefB);
}

}  // namespace rara
