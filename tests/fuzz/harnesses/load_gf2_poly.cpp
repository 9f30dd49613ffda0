// TGF2Poly.LoadFromStream: failures leave 0, loaded polynomials are in
// normal form and survive the round trip.
#include "gf2/gf2_poly.h"
#include "gf2/gf2_text.h"
#include "tests/fuzz/fuzz_support.h"

using namespace rara;
using namespace rara::fuzz;

RARA_FUZZ_REPAIRING_MUTATOR(TStreamForm::Poly)

RARA_FUZZ_ENTRY(load_gf2_poly) {
  EnsureRuntime();
  TGF2Poly p;
  GF2SetDegs(p, {100, 31, 1, 0});
  const bool loaded = CheckLoad<TGF2Poly>(data, size, p, "TGF2Poly", [](const TGF2Poly& x) {
    FUZZ_CHECK(x.IsZero(), "a failed TGF2Poly load left a value");
  });
  FUZZ_CHECK(p.Count() >= 0 && p.Count() <= p.Capacity(), "TGF2Poly count beyond capacity");
  if (loaded && !p.IsZero()) {
    FUZZ_CHECK(p.Words()[p.Count() - 1] != 0, "loaded TGF2Poly not in normal form");
    // Text and back gives the same polynomial.
    TGF2Poly q;
    GF2Set(q, GF2ToHexStr(p, 0), true);
    FUZZ_CHECK(GF2Equal(p, q), "loaded TGF2Poly does not survive its hexadecimal text");
  }
  return 0;
}
