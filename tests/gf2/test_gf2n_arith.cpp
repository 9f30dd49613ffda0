// Field arithmetic on random elements for many degrees, both bases and all
// three reduction kinds: field axioms, powers, square roots, traces and the
// quadratic equation, against polynomial products reduced by GF2Mod, the
// standard-basis results mapped from the normal basis, all elements of small
// fields, and PARI/GP.
#include <gtest/gtest.h>

#include <climits>
#include <sstream>
#include <string>
#include <vector>

#include "gf2/field_poly_lists.h"
#include "gf2/gf2_factor.h"
#include "gf2/gf2_text.h"
#include "gf2/gf2n.h"
#include "integers/errors.h"
#include "integers/random.h"
#include "tests/support/test_support.h"

namespace rara::test {
namespace {

std::string Hex(const TGF2Poly& a) { return GF2ToHexStr(a, 0); }

// Smallest irreducible polynomial of degree n with weight 7 and all middle
// exponents below n/2, so that it takes the general reduction.
TGF2Poly GeneralPoly(int n) {
  TGF2Poly p;
  for (int a = 5; a < n / 2 + 6; ++a)
    for (int b = 4; b < a; ++b)
      for (int c = 3; c < b; ++c) {
        GF2SetDegs(p, {n, a, b, c, 2, 1, 0});
        if (GF2IsIrreducible(p)) return p;
      }
  ADD_FAILURE() << "no general polynomial of degree " << n;
  return p;
}

struct TCase {
  std::string label;
  TGF2Poly poly;
  std::uint8_t basis;
};

// The fields of degree n: built-in polynomials of both bases where the
// tables reach, the lists' polynomials above, a general polynomial, and a
// trinomial with its middle exponent near n (bitwise reduction).
std::vector<TCase> CasesFor(int n) {
  std::vector<TCase> cases;
  TGF2N f;
  if (n <= 255) {
    f.SetField(static_cast<std::uint8_t>(n), btStandard);
    cases.push_back({"standard", f.FieldPoly(), btStandard});
    f.SetField(static_cast<std::uint8_t>(n), btNormal);
    cases.push_back({"normal", f.FieldPoly(), btNormal});
  } else {
    TGF2Poly p;
    GetP1363Irreducible(p, n);
    cases.push_back({"standard", p, btStandard});
    GetNormal(p, n);
    cases.push_back({"normal", p, btNormal});
  }
  if (n >= 8) {
    cases.push_back({"general", GeneralPoly(n), btStandard});
    // Its reciprocal has a tail just below x^N: the shifted-divisor table.
    TGF2Poly r(cases.back().poly);
    GF2Reverse(r, 0);
    cases.push_back({"general reciprocal", r, btStandard});
  }
  TDynLongintArray d;
  GF2GetDegs(cases[0].poly, d);
  if (d.size() == 3) {
    TGF2Poly r;
    GF2SetDegs(r, {n, n - d[1], 0});  // the reciprocal is irreducible too
    cases.push_back({"reciprocal trinomial", r, btStandard});
  }
  return cases;
}

// x·y by the plain product and GF2Mod, standard coordinates.
TGF2Poly RefMul(const TGF2Poly& x, const TGF2Poly& y, const TGF2Poly& p) {
  TGF2Poly r(x);
  GF2Mul(r, y);
  GF2Mod(r, p);
  return r;
}

class GF2NField : public ::testing::TestWithParam<int> {};

INSTANTIATE_TEST_SUITE_P(Degrees, GF2NField, ::testing::Values(2, 3, 4, 5, 8, 9, 64, 113, 163, 233, 255, 283, 360),
                         [](const auto& info) { return "N" + std::to_string(info.param); });

TEST_P(GF2NField, Axioms) {
  const int n = GetParam();
  const std::string seed = SeedRandom(6000 + n);
  const int iterations = Iterations(n > 200 ? 15 : 30);
  for (const TCase& c : CasesFor(n)) {
    SCOPED_TRACE(seed + " " + c.label + " " + GF2DegsToStr(c.poly, true));
    TGF2N f;
    f.SetField(c.poly, c.basis, true);
    if (c.label.starts_with("general")) {
      ASSERT_EQ(f.RedKind(), TGF2N::RedGeneral);
    }
    // The same field in the standard basis, for mapping normal results.
    TGF2N s;
    s.Assign(f);
    if (s.BasisType() == btNormal) s.SwitchBasis();
    auto toStd = [&](const TGF2Poly& x) {
      TGF2Poly y(x);
      if (f.BasisType() == btNormal) TGF2N::ApplyMatrix(y, *f.N2S());
      return y;
    };
    for (int it = 0; it < iterations; ++it) {
      TGF2Poly a, b, c3, t, u, v;
      f.Rnd(a);
      f.Rnd(b);
      f.Rnd(c3);
      if (it == 0) b.Clear();
      if (it == 1) f.Set1(b);
      SCOPED_TRACE("a=" + Hex(a) + " b=" + Hex(b) + " c=" + Hex(c3));
      // Product against the reference, through the standard coordinates.
      t.Assign(a);
      f.Mul(t, b);
      ASSERT_LT(t.Degree(), n);
      ASSERT_TRUE(GF2Equal(toStd(t), RefMul(toStd(a), toStd(b), c.poly)));
      // Associativity and distributivity.
      u.Assign(t);
      f.Mul(u, c3);
      v.Assign(b);
      f.Mul(v, c3);
      t.Assign(a);
      f.Mul(t, v);
      ASSERT_TRUE(GF2Equal(u, t));
      u.Assign(b);
      f.Add(u, c3);
      f.Mul(u, a);
      t.Assign(a);
      f.Mul(t, b);
      v.Assign(a);
      f.Mul(v, c3);
      f.Add(t, v);
      ASSERT_TRUE(GF2Equal(u, t));
      // Square against the product with a distinct copy, and A·A aliased.
      t.Assign(a);
      f.Sqr(t);
      u.Assign(a);
      f.Mul(u, TGF2Poly(a));
      ASSERT_TRUE(GF2Equal(t, u));
      u.Assign(a);
      f.Mul(u, u);
      ASSERT_TRUE(GF2Equal(t, u));
      // Square root undoes the square.
      f.SqrRoot(t);
      ASSERT_TRUE(GF2Equal(t, a));
      // a^(2^N) = a.
      t.Assign(a);
      for (int i = 0; i < n; ++i) f.Sqr(t);
      ASSERT_TRUE(GF2Equal(t, a));
      // Inverse, and the mapping of the inverse to the standard basis.
      if (!a.IsZero()) {
        t.Assign(a);
        ASSERT_TRUE(f.Inv(t));
        u.Assign(t);
        f.Mul(u, a);
        ASSERT_TRUE(f.Is1(u));
        v.Assign(toStd(a));
        ASSERT_TRUE(s.Inv(v));
        ASSERT_TRUE(GF2Equal(v, toStd(t)));
      }
      // Powers against repeated products; negative powers are inverses.
      const int e = 2 + static_cast<int>(RuvRandom() % 40);
      t.Assign(a);
      ASSERT_TRUE(f.Pow(t, e));
      f.Set1(u);
      for (int i = 0; i < e; ++i) f.Mul(u, a);
      ASSERT_TRUE(GF2Equal(t, u)) << "e=" << e;
      if (!a.IsZero()) {
        ASSERT_TRUE(f.Pow(u, -1));
        v.Assign(a);
        ASSERT_TRUE(f.Pow(v, -e));
        ASSERT_TRUE(GF2Equal(u, v));
        // a^(2^N - 1) = 1 where the exponent fits; a^(2^62) by squarings.
        t.Assign(a);
        if (n < 63) {
          ASSERT_TRUE(f.Pow(t, (std::int64_t{1} << n) - 1));
          ASSERT_TRUE(f.Is1(t));
        }
        t.Assign(a);
        ASSERT_TRUE(f.Pow(t, std::int64_t{1} << 62));
        u.Assign(a);
        for (int i = 0; i < 62; ++i) f.Sqr(u);
        ASSERT_TRUE(GF2Equal(t, u));
      }
      // Trace: the sum of the conjugates, and equal in the standard basis.
      t.Assign(a);
      u.Assign(a);
      for (int i = 1; i < n; ++i) {
        f.Sqr(u);
        f.Add(t, u);
      }
      ASSERT_TRUE(t.IsZero() || f.Is1(t));
      const bool tr = f.Trace(a);
      ASSERT_EQ(tr, !t.IsZero());
      ASSERT_EQ(s.Trace(toStd(a)), tr);
      // Half-trace solves z^2 + z = c for odd N and trace-zero c.
      if (n % 2 == 1) {
        // Tr(1) = 1 for odd N: a or a + 1 has trace 0.
        t.Assign(a);
        if (tr) {
          f.Set1(u);
          f.Add(t, u);
        }
        ASSERT_FALSE(f.Trace(t));
        u.Assign(t);
        f.HalfTrace(u);
        v.Assign(u);
        f.Sqr(v);
        f.Add(v, u);
        ASSERT_TRUE(GF2Equal(v, t));
      }
      // The quadratic equation fails exactly when Tr(B/A^2) = 1.
      TGF2Poly r;
      const bool solved = f.SolveQuad(r, a, b);
      if (!a.IsZero() && !b.IsZero()) {
        t.Assign(a);
        f.Sqr(t);
        f.Inv(t);
        f.Mul(t, b);
        ASSERT_EQ(solved, !f.Trace(t));
      } else {
        ASSERT_TRUE(solved);
      }
      if (solved) {
        t.Assign(r);
        f.Sqr(t);
        u.Assign(r);
        f.Mul(u, a);
        f.Add(t, u);
        ASSERT_TRUE(GF2Equal(t, b)) << "r=" << Hex(r);
        if (f.BasisType() == btNormal) {
          TGF2Poly rs;
          ASSERT_TRUE(s.SolveQuad(rs, toStd(a), toStd(b)));
          // Either of the two solutions.
          TGF2Poly other(rs);
          s.Add(other, toStd(a));
          ASSERT_TRUE(GF2Equal(rs, toStd(r)) || GF2Equal(other, toStd(r)));
        }
      } else {
        ASSERT_TRUE(r.IsZero());
      }
    }
  }
}

// All elements (and all pairs for the products) of the small fields.
TEST(GF2NExhaustive, SmallFields) {
  for (int n = 2; n <= 8; ++n) {
    for (const TCase& c : CasesFor(n)) {
      SCOPED_TRACE(std::to_string(n) + " " + c.label);
      TGF2N f;
      f.SetField(c.poly, c.basis, true);
      const std::uint32_t size = 1u << n;
      TGF2Poly a, b, t, u;
      int traceOnes = 0;
      for (std::uint32_t i = 0; i < size; ++i) {
        a.SetWord(i);
        TGF2Poly as(a);
        if (f.BasisType() == btNormal) TGF2N::ApplyMatrix(as, *f.N2S());
        for (std::uint32_t j = 0; j < size; ++j) {
          b.SetWord(j);
          TGF2Poly bs(b);
          if (f.BasisType() == btNormal) TGF2N::ApplyMatrix(bs, *f.N2S());
          t.Assign(a);
          f.Mul(t, b);
          if (f.BasisType() == btNormal) TGF2N::ApplyMatrix(t, *f.N2S());
          ASSERT_TRUE(GF2Equal(t, RefMul(as, bs, c.poly))) << i << " " << j;
          TGF2Poly r;
          if (f.SolveQuad(r, a, b)) {
            t.Assign(r);
            f.Sqr(t);
            u.Assign(r);
            f.Mul(u, a);
            f.Add(t, u);
            ASSERT_TRUE(GF2Equal(t, b)) << i << " " << j;
          } else if (n <= 6) {
            // No element solves it.
            for (std::uint32_t k = 0; k < size; ++k) {
              t.SetWord(k);
              u.Assign(t);
              f.Sqr(t);
              f.Mul(u, a);
              f.Add(t, u);
              ASSERT_FALSE(GF2Equal(t, b)) << i << " " << j << " " << k;
            }
          }
        }
        traceOnes += f.Trace(a) ? 1 : 0;
        t.Assign(a);
        f.SqrRoot(t);
        f.Sqr(t);
        ASSERT_TRUE(GF2Equal(t, a));
        if (i != 0) {
          t.Assign(a);
          f.Inv(t);
          f.Mul(t, a);
          ASSERT_TRUE(f.Is1(t)) << i;
        }
      }
      EXPECT_EQ(traceOnes, static_cast<int>(size / 2));
    }
  }
}

// Reduction of long polynomials agrees with GF2Mod for every kind.
TEST(GF2NReduce, AllKindsAgreeWithMod) {
  SeedRandom(61);
  for (int n : {9, 63, 64, 113, 163, 233, 283, 360, 409}) {
    std::vector<TGF2Poly> polys;
    for (const TCase& c : CasesFor(n <= 360 ? n : 233)) polys.push_back(c.poly);
    if (n == 409) {
      polys.clear();
      TGF2Poly p;
      GF2SetDegs(p, {409, 87, 0});
      polys.push_back(p);
    }
    if (n == 63) {
      TGF2Poly p;
      GF2SetDegs(p, {63, 62, 0});
      polys.push_back(p);
    }
    for (const TGF2Poly& p : polys) {
      TGF2N f;
      f.SetField(p, btStandard, false);
      for (int it = 0; it < Iterations(20); ++it) {
        TGF2Poly a, ref;
        const int deg = static_cast<int>(RuvRandom() % (3 * n + 70));
        GF2Rnd(a, deg, true);
        ref.Assign(a);
        GF2Mod(ref, p);
        f.Reduce(a);
        ASSERT_TRUE(GF2Equal(a, ref)) << GF2DegsToStr(p, true) << " deg " << deg;
        ASSERT_EQ(a.Capacity(), (a.Count() + 7) / 8 * 8);
      }
    }
  }
}

TEST(GF2NPow, EdgeExponents) {
  TGF2N f;
  f.SetField(163, btStandard);
  SeedRandom(62);
  TGF2Poly a, t, u;
  f.Rnd(a);
  // The most negative exponent: a^(-2^63) = (a^-1)^(2^63), 63 squarings.
  t.Assign(a);
  ASSERT_TRUE(f.Pow(t, INT64_MIN));
  u.Assign(a);
  f.Inv(u);
  for (int i = 0; i < 63; ++i) f.Sqr(u);
  EXPECT_TRUE(GF2Equal(t, u));
  t.Assign(a);
  ASSERT_TRUE(f.Pow(t, INT64_MAX));
  u.Assign(a);
  ASSERT_TRUE(f.Pow(u, INT64_MIN + 1));
  f.Mul(t, u);
  EXPECT_TRUE(f.Is1(t));
  t.Assign(a);
  ASSERT_TRUE(f.Pow(t, 1));
  EXPECT_TRUE(GF2Equal(t, a));
  t.Clear();
  EXPECT_FALSE(f.Pow(t, INT64_MIN));
  EXPECT_TRUE(t.IsZero());
  f.Set1(t);
  EXPECT_TRUE(f.Pow(t, INT64_MIN));
  EXPECT_TRUE(t.IsOne());

  f.SetField(163, btNormal);
  f.Rnd(a);
  t.Assign(a);
  ASSERT_TRUE(f.Pow(t, INT64_MIN));
  u.Assign(a);
  f.Inv(u);
  for (int i = 0; i < 63; ++i) f.Sqr(u);
  EXPECT_TRUE(GF2Equal(t, u));
  t.Clear();
  ASSERT_TRUE(f.Pow(t, 0));
  EXPECT_TRUE(GF2Equal(t, f.BasisConst()));
}

TEST(GF2NQuad, EdgeCases) {
  TGF2N f;
  TGF2Poly one, x, r;
  one.SetOne();
  x.SetX();
  EXPECT_FALSE(f.Trace(one));
  EXPECT_TRUE(f.Trace(x));
  EXPECT_FALSE(f.SolveQuad(r, one, x));
  EXPECT_TRUE(r.IsZero());
  ASSERT_TRUE(f.SolveQuad(r, one, one));
  EXPECT_TRUE(r.Degree() == 1);
  TGF2Poly t(r);
  f.Sqr(t);
  f.Add(t, r);
  EXPECT_TRUE(t.IsOne());
  EXPECT_EQ(MessageOf<ERuvDuplicatePtr>([&] { f.SolveQuad(x, x, one); }),
            "TGF2N.SolveQuad\r\nR,A,B must point to distinct objects");
  EXPECT_THROW(f.SolveQuad(one, x, one), ERuvDuplicatePtr);
  // A and B may be one object: B/A^2 = x + 1 has trace 1, 1 has trace 0.
  EXPECT_FALSE(f.SolveQuad(r, x, x));
  ASSERT_TRUE(f.SolveQuad(r, one, one));
  EXPECT_EQ(r.Degree(), 1);

  f.SetField(163, btStandard);
  SeedRandom(63);
  TGF2Poly a, b, z;
  f.Rnd(b);
  ASSERT_TRUE(f.SolveQuad(r, a, b));  // A = 0: the square root of B
  f.Sqr(r);
  EXPECT_TRUE(GF2Equal(r, b));
  f.Rnd(a);
  ASSERT_TRUE(f.SolveQuad(r, a, z));
  EXPECT_TRUE(r.IsZero());

  f.SetField(4, btStandard);
  EXPECT_EQ(MessageOf<ERuvInvalidCall>([&] { f.HalfTrace(x); }),
            "TGF2N.HalfTrace\r\nInvalid call\r\nField polynomial degree should be odd");
  // Tested before the degree.
  TGF2Poly big;
  big.SetMonomial(9);
  EXPECT_THROW(f.HalfTrace(big), ERuvInvalidCall);

  // Normal basis, N = 5: squaring rotates.
  f.SetField(5, btNormal);
  TGF2Poly e4;
  e4.SetMonomial(4);
  f.Sqr(e4);
  EXPECT_TRUE(e4.IsOne());
  f.SqrRoot(e4);
  EXPECT_EQ(e4.Degree(), 4);
  EXPECT_EQ(e4.Weight(), 1);
  f.SetX(t);
  EXPECT_TRUE(t.IsOne());
  f.SqrRoot(t);
  EXPECT_EQ(GF2DegsToStr(t, true), "[4]");
  EXPECT_TRUE(f.Is1(f.BasisConst()));
}

// Products, inverses and traces in GF(2^163) and GF(2^283) against PARI/GP.
TEST(GF2NOracle, AgainstGp) {
  RARA_NEED_ORACLE(HaveGp(), "gp");
  SeedRandom(64);
  const int count = Iterations(20);
  std::ostringstream script;
  std::vector<TGF2N> fields(2);
  fields[0].SetField(163, btStandard);
  TGF2Poly p283;
  GetP1363Irreducible(p283, 283);
  fields[1].SetField(p283, btStandard, true);
  std::vector<std::string> expected;
  for (const TGF2N& f : fields) {
    TDynLongintArray d;
    GF2GetDegs(f.FieldPoly(), d);
    script << "g=ffgen(Mod(1,2)*(0";
    for (int e : d) script << "+x^" << e;
    script << "),'t);\n";
    script << "h(v)=subst(lift(v.pol),'t,2);\n";
    script << "e(s)=subst(Pol(binary(s)),'x,g);\n";
    for (int i = 0; i < count; ++i) {
      TGF2Poly a, b, t;
      f.Rnd(a);
      f.Rnd(b);
      if (a.IsZero()) a.SetOne();
      script << "a=e(0x" << Hex(a) << ");b=e(0x" << Hex(b) << ");";
      script << "printf(\"%x %x %d\\n\",h(a*b),h(1/a),lift(trace(a)));\n";
      t.Assign(a);
      f.Mul(t, b);
      std::string line = GF2ToHexStr(t, 0) + " ";
      t.Assign(a);
      f.Inv(t);
      line += GF2ToHexStr(t, 0) + " " + (f.Trace(a) ? "1" : "0");
      expected.push_back(line);
    }
  }
  const std::string out = RunGp(script.str());
  std::istringstream lines(out);
  std::string line;
  std::size_t i = 0;
  for (; std::getline(lines, line); ++i) {
    ASSERT_LT(i, expected.size()) << out;
    std::istringstream parts(line);
    std::string prod, inv, tr;
    parts >> prod >> inv >> tr;
    TGF2Poly gp1, gp2, ours1, ours2;
    std::istringstream ex(expected[i]);
    std::string eprod, einv, etr;
    ex >> eprod >> einv >> etr;
    GF2Set(gp1, prod, true);
    GF2Set(gp2, inv, true);
    GF2Set(ours1, eprod, true);
    GF2Set(ours2, einv, true);
    EXPECT_TRUE(GF2Equal(gp1, ours1)) << i << ": " << line << " vs " << expected[i];
    EXPECT_TRUE(GF2Equal(gp2, ours2)) << i << ": " << line << " vs " << expected[i];
    EXPECT_EQ(tr, etr) << i;
  }
  EXPECT_EQ(i, expected.size()) << out;
}

}  // namespace
}  // namespace rara::test
