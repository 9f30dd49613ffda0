// TECGF2Data: the construction record. It owns everything one construction
// produces (CM parameters, the Weber polynomial modulo 2 and its factors, the
// field and root, the curve and the current point) and runs the engine's
// steps in their fixed order, two flags guarding that order.
#pragma once

#include <cstdint>
#include <string>

#include "curves/ec_gf2n.h"
#include "gf2/gf2_matrix.h"
#include "gf2/gf2_poly.h"
#include "gf2/gf2n.h"
#include "integers/integers.h"

namespace rara {

class TECGF2Data {
 public:
  TECGF2Data();  // every owned object empty, FactorIndex -1, flags false
  TECGF2Data(const TECGF2Data&) = delete;
  TECGF2Data& operator=(const TECGF2Data&) = delete;

  // Back to the empty state; Field and Curve become usable fields of degree 3.
  void Clear();

  // Steps D down to the nearest value = 7 (mod 8), then searches upward from
  // it (exclusive) for the CM parameters of degree N, and checks the MOV
  // condition. A search that gives up leaves ClassNumber 0 (see SearchGaveUp).
  void ComputeParams(std::int32_t n, std::int32_t startD, std::int32_t kMaxSize,
                     std::int32_t trialBound, bool kMod4, std::int32_t& progress);
  // The Weber polynomial of D modulo 2, its irreducibility and factors.
  void ComputeWeberPoly(std::int32_t& progress, long double ratio);
  // Sets the field GF(2^N) from P (degree N) in the given basis (0 standard, 1 normal).
  void SetField(const TGF2Poly& p, std::uint8_t basis);
  // A random root of W, or of a randomly chosen factor of W, in Field.
  void PickRoot();
  // Builds the curve of order K·R from Root (nothing unless WeberDone).
  void MakeCurve();
  // Draws a new random point of order R (nothing unless CurveBuilt).
  void NewPoint();

  // True when the last ComputeParams found no discriminant up to 2^29.
  bool SearchGaveUp() const noexcept { return searchGaveUp_; }

  // MakeCurve and NewPoint reseed the random generator from the clock so that
  // consecutive curves and points differ; a batch run seeded by the user turns
  // this off to make its output reproducible.
  bool SeedFromClock = true;

  // Fields, in declaration order.
  bool WeberDone = false;
  std::int32_t N = 0;
  std::int32_t D = 0;
  std::int32_t ClassNumber = 0;
  TInteger U;
  TInteger K;
  TInteger R;
  std::string KFactors;
  std::int32_t MOVResult = 0;
  TGF2Poly W;
  TGF2Poly FieldPoly;
  bool WIrreducible = false;
  TGF2PolyVector WFactors;
  bool CurveBuilt = false;
  TGF2N Field;
  std::int32_t FactorIndex = -1;
  TGF2Poly Root;
  TGF2NECurve Curve;
  TGF2Poly CoefA;
  TGF2Poly CoefB;
  TGF2NEPoint Point;

 private:
  bool searchGaveUp_ = false;
};

}  // namespace rara
