// The field GF(2^N) of a normal polynomial computed in its two bases: every
// operation in the normal basis, with its operands and result converted
// through S2N and N2S, must give what the standard basis gives. The
// polynomial is built in for the degree, or taken from the input when it is
// normal.
#include <memory>

#include "gf2/gf2n.h"
#include "tests/fuzz/fuzz_support.h"

using namespace rara;
using namespace rara::fuzz;

namespace {

void ToNormal(const TGF2N& f, TGF2Poly& a) { TGF2N::ApplyMatrix(a, *f.S2N()); }
void ToStandard(const TGF2N& f, TGF2Poly& a) { TGF2N::ApplyMatrix(a, *f.N2S()); }

// Standard result s and normal result n, the latter converted, are equal.
void Expect(const TGF2N& nf, const TGF2Poly& s, TGF2Poly n, const std::string& what) {
  ToStandard(nf, n);
  FUZZ_CHECK(GF2Equal(s, n), "standard and normal basis differ in " + what + " (N = " + std::to_string(nf.N()) + ")");
}

}  // namespace

RARA_FUZZ_ENTRY(diff_field_basis) {
  EnsureRuntime();
  TFuzzBytes in(data, size);
  const std::int32_t n = 2 + in.U8() % 254;
  const std::uint8_t mode = in.U8();
  // The built-in fields are set up once (the set-up costs far more than the
  // operations); a field from the input is set up each time.
  static std::unique_ptr<TGF2N> builtIn[256][2];
  std::unique_ptr<TGF2N> own[2];
  TGF2N* fields[2] = {nullptr, nullptr};
  if (mode & 1) {
    TGF2Poly p;
    in.Poly(p, static_cast<std::size_t>(n + 7) / 8, n);
    p.SetCoef(n, true);
    try {
      own[0] = std::make_unique<TGF2N>();
      own[0]->SetField(p, btNormal, true);
      fields[0] = own[0].get();
    } catch (const ERuvInvalidArg&) {
    }
  }
  if (!fields[0]) {
    if (!builtIn[n][0]) {
      builtIn[n][0] = std::make_unique<TGF2N>();
      builtIn[n][0]->SetField(static_cast<std::uint8_t>(n), btNormal);
    }
    fields[0] = builtIn[n][0].get();
  }
  std::unique_ptr<TGF2N>& other = fields[0] == own[0].get() ? own[1] : builtIn[n][1];
  if (!other) {
    other = std::make_unique<TGF2N>();
    other->Assign(*fields[0]);
    other->SwitchBasis();
  }
  const TGF2N& nf = *fields[0];
  const TGF2N& sf = *other;

  TGF2Poly a, b;
  in.Poly(a, static_cast<std::size_t>(n + 7) / 8, n);
  in.Poly(b, static_cast<std::size_t>(n + 7) / 8, n);
  const std::int64_t e = static_cast<std::int32_t>(in.U32());
  TGF2Poly an(a), bn(b);
  ToNormal(nf, an);
  ToNormal(nf, bn);
  FUZZ_CHECK(an.Degree() < n && bn.Degree() < n, "S2N gave coordinates beyond N");

  TGF2Poly s(a), t(an);
  sf.Mul(s, b);
  nf.Mul(t, bn);
  Expect(nf, s, t, "A*B");
  s.Assign(a);
  t.Assign(an);
  sf.Sqr(s);
  nf.Sqr(t);
  Expect(nf, s, t, "A^2");
  s.Assign(a);
  t.Assign(an);
  sf.SqrRoot(s);
  nf.SqrRoot(t);
  Expect(nf, s, t, "sqrt A");
  s.Assign(a);
  t.Assign(an);
  FUZZ_CHECK(sf.Inv(s) == nf.Inv(t), "Inv results differ");
  Expect(nf, s, t, "1/A");
  s.Assign(a);
  t.Assign(an);
  FUZZ_CHECK(sf.Pow(s, e) == nf.Pow(t, e), "Pow results differ");
  Expect(nf, s, t, "A^e");
  FUZZ_CHECK(sf.Trace(a) == nf.Trace(an), "traces differ");
  if (n % 2 == 1) {
    s.Assign(a);
    t.Assign(an);
    sf.HalfTrace(s);
    nf.HalfTrace(t);
    Expect(nf, s, t, "half trace");
  }
  TGF2Poly rs, rn;
  const bool solvedS = sf.SolveQuad(rs, a, b), solvedN = nf.SolveQuad(rn, an, bn);
  FUZZ_CHECK(solvedS == solvedN, "SolveQuad solvability differs");
  if (solvedS) {
    // Either root of R^2 + A*R = B.
    ToStandard(nf, rn);
    if (!GF2Equal(rs, rn)) sf.Add(rn, a);
    FUZZ_CHECK(GF2Equal(rs, rn), "SolveQuad roots differ");
  }
  return 0;
}
