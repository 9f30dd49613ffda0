// TGF2N.LoadFromStream: a failed load leaves the field as it was; a loaded
// field survives the round trip and, when its polynomial is irreducible,
// computes as a field: products, squares, inverses, roots, traces,
// quadratic equations and the basis conversion agree with each other.
#include "gf2/gf2_factor.h"
#include "gf2/gf2n.h"
#include "integers/random.h"
#include "tests/fuzz/fuzz_support.h"

using namespace rara;
using namespace rara::fuzz;

namespace {

// A product of two fixed elements: the field's arithmetic state in one value.
std::vector<std::uint8_t> Probe(const TGF2N& f) {
  TGF2Poly a, b;
  a.SetWord(0x2F);
  b.SetWord(0x1B3);
  GF2ModXk(a, f.N());
  GF2ModXk(b, f.N());
  f.Mul(a, b);
  return SavedBytes(a);
}

void CheckArithmetic(TGF2N& f, const std::uint8_t* data, std::size_t size) {
  RuvSeed(data, static_cast<std::int64_t>(size));
  TGF2Poly a, b, c, d;
  f.Rnd(a);
  f.Rnd(b);
  c.Assign(a);
  f.Mul(c, b);
  d.Assign(b);
  f.Mul(d, a);
  FUZZ_CHECK(GF2Equal(c, d), "loaded field: A*B != B*A");
  FUZZ_CHECK(c.Degree() < f.N(), "loaded field: product not reduced");
  c.Assign(a);
  f.Sqr(c);
  d.Assign(a);
  f.Mul(d, a);
  FUZZ_CHECK(GF2Equal(c, d), "loaded field: A^2 != A*A");
  f.SqrRoot(c);
  FUZZ_CHECK(GF2Equal(c, a), "loaded field: sqrt(A^2) != A");
  c.Assign(a);
  if (f.Inv(c)) {
    f.Mul(c, a);
    FUZZ_CHECK(f.Is1(c), "loaded field: A * A^-1 != 1");
  } else {
    FUZZ_CHECK(a.IsZero(), "loaded field: a non-zero element without inverse");
  }
  c.Assign(a);
  f.Add(c, b);
  FUZZ_CHECK(f.Trace(c) == (f.Trace(a) != f.Trace(b)), "loaded field: the trace is not additive");
  TGF2Poly r;
  if (f.SolveQuad(r, a, b)) {
    c.Assign(r);
    f.Sqr(c);
    d.Assign(a);
    f.Mul(d, r);
    f.Add(c, d);
    FUZZ_CHECK(GF2Equal(c, b), "loaded field: a solution of R^2 + A*R = B is not one");
  }
  if (f.HasNormalBasis()) {
    // Coordinates through the other basis and back are the same.
    c.Assign(a);
    TGF2N::ApplyMatrix(c, *f.N2S());
    TGF2N::ApplyMatrix(c, *f.S2N());
    FUZZ_CHECK(GF2Equal(c, a), "loaded field: S2N is not the inverse of N2S");
    // The product in the other basis, converted, is the product here.
    const TGF2SqrMatrix& to = f.BasisType() == btStandard ? *f.S2N() : *f.N2S();
    const TGF2SqrMatrix& back = f.BasisType() == btStandard ? *f.N2S() : *f.S2N();
    TGF2N g;
    g.Assign(f);
    g.SwitchBasis();
    c.Assign(a);
    f.Mul(c, b);
    TGF2Poly x(a), y(b);
    TGF2N::ApplyMatrix(x, to);
    TGF2N::ApplyMatrix(y, to);
    g.Mul(x, y);
    TGF2N::ApplyMatrix(x, back);
    FUZZ_CHECK(GF2Equal(x, c), "loaded field: the two bases multiply differently");
  }
}

}  // namespace

RARA_FUZZ_REPAIRING_MUTATOR(TStreamForm::Field)

RARA_FUZZ_ENTRY(load_field) {
  EnsureRuntime();
  TGF2N f;
  f.SetField(11, btNormal);
  f.SwitchBasis();
  const std::vector<std::uint8_t> before = SavedBytes(f), probe = Probe(f);
  const bool loaded = CheckLoad<TGF2N>(data, size, f, "TGF2N", [&](const TGF2N& x) {
    FUZZ_CHECK(SavedBytes(x) == before && Probe(x) == probe, "a failed TGF2N load changed the field");
  });
  if (!loaded || f.N() > 600 || !GF2IsIrreducible(f.FieldPoly())) return 0;
  CheckArithmetic(f, data, size);
  return 0;
}
