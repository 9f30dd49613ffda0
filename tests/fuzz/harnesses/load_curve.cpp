// TGF2NECurve.LoadFromStream: a failed load leaves the curve as it was (the
// parts' stream errors pass on); a loaded curve survives the round trip and,
// over a proper field, its group law holds on a random point and on the
// point of order 2.
#include "curves/ec_gf2n.h"
#include "gf2/gf2_factor.h"
#include "integers/random.h"
#include "tests/fuzz/fuzz_support.h"

using namespace rara;
using namespace rara::fuzz;

namespace {

bool OnCurve(const TGF2NECurve& c, const TGF2NEPoint& p) {
  if (p.IsZero()) return true;
  const TGF2N& f = c.Field();
  TGF2Poly l(p.Y()), r(p.X()), t(p.X());
  f.Add(l, p.X());
  f.Mul(l, p.Y());  // y^2 + xy
  f.Add(r, c.A());
  f.Mul(t, p.X());
  f.Mul(r, t);      // x^3 + a x^2
  f.Add(r, c.B());
  return GF2Equal(l, r);
}

bool Same(const TGF2NEPoint& p, const TGF2NEPoint& q) { return GF2Equal(p.X(), q.X()) && GF2Equal(p.Y(), q.Y()); }

void CheckGroupLaw(TGF2NECurve& c, const std::uint8_t* data, std::size_t size) {
  RuvSeed(data, static_cast<std::int64_t>(size));
  TGF2NEPoint p, q, r;
  c.GetRndPoint(p);
  FUZZ_CHECK(OnCurve(c, p), "loaded curve: a random point is not on it");
  q.Assign(p);
  c.Double(q);
  r.Assign(p);
  c.Add(r, p);
  FUZZ_CHECK(Same(q, r) && OnCurve(c, q), "loaded curve: 2P != P + P");
  r.Assign(p);
  c.Neg(r);
  c.Add(r, p);
  FUZZ_CHECK(r.IsZero(), "loaded curve: P - P != O");
  c.GetOrder2Point(q);
  FUZZ_CHECK(OnCurve(c, q), "loaded curve: the point of order 2 is not on it");
  c.Double(q);
  FUZZ_CHECK(q.IsZero(), "loaded curve: the point of order 2 doubles to another point");
  const TInteger k(static_cast<std::int64_t>(size) * 7 - 100);
  q.Assign(p);
  r.Assign(p);
  c.Mul(q, k, true);
  c.Mul(r, k, false);
  FUZZ_CHECK(Same(q, r), "loaded curve: Jacobian and affine K*P differ");
}

}  // namespace

RARA_FUZZ_REPAIRING_MUTATOR(TStreamForm::Curve)

RARA_FUZZ_ENTRY(load_curve) {
  EnsureRuntime();
  TGF2NECurve c;
  c.SetField(11, btStandard);
  TGF2Poly a, b;
  a.SetOne();
  b.SetWord(0x9);
  c.SetCoefs(&a, &b);
  const std::vector<std::uint8_t> before = SavedBytes(c);
  const bool loaded = CheckLoad<TGF2NECurve>(data, size, c, "TGF2NECurve", [&](const TGF2NECurve& x) {
    FUZZ_CHECK(SavedBytes(x) == before && x.State() == TGF2NECurve::Ready, "a failed curve load changed the curve");
  }, {"TGF2N", "TGF2Poly"});
  if (!loaded || c.State() != TGF2NECurve::Ready || c.Field().N() > 400 ||
      !GF2IsIrreducible(c.Field().FieldPoly()))
    return 0;
  CheckGroupLaw(c, data, size);
  return 0;
}
