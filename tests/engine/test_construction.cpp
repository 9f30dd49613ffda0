// The construction record end to end: parameters, Weber polynomial, field,
// root, curve and points, checked by counting points on small fields and by
// PARI/GP's ellcard on larger ones.
#include <gtest/gtest.h>

#include <set>
#include <sstream>

#include "engine/construction.h"
#include "engine/curve_point.h"
#include "gf2/gf2_factor.h"
#include "gf2/gf2_text.h"
#include "integers/break.h"
#include "integers/errors.h"
#include "tests/support/test_support.h"

namespace rara {
namespace {

// Number of points of y² + xy = x³ + a·x² + b over the curve's field: the
// point at infinity, (0, √b), and two points for every x ≠ 0 with
// Tr(x + a + b/x²) = 0 (y = x·z with z² + z = x + a + b/x²).
std::int64_t CountPoints(const TGF2NECurve& curve) {
  const TGF2N& f = curve.Field();
  std::int64_t count = 2;
  TGF2Poly x, t, u;
  const std::uint32_t size = 1u << f.N();
  for (std::uint32_t v = 1; v < size; ++v) {
    x.SetWord(v);
    u.Assign(x);
    f.Sqr(u);
    f.Inv(u);
    f.Mul(u, curve.B());  // b/x²
    t.Assign(x);
    f.Add(t, curve.A());
    f.Add(t, u);
    if (!f.Trace(t)) count += 2;
  }
  return count;
}

std::int64_t Value(const TInteger& a) {
  std::int64_t v = 0;
  for (int i = a.Size() - 1; i >= 0; --i) v = (v << 32) | a.Limbs()[i];
  return a.Negative() ? -v : v;
}

void RunParams(TECGF2Data& rec, int n, int startD, bool kMod4) {
  rec.Clear();
  std::int32_t progress = 0;
  rec.ComputeParams(n, startD, 15, 32767, kMod4, progress);
  rec.ComputeWeberPoly(progress, 1.0L);
  EXPECT_EQ(progress, 0);
}

void BuiltInFieldPoly(TGF2Poly& p, int n, std::uint8_t basis) {
  TGF2N f;
  f.SetField(static_cast<std::uint8_t>(n), basis);
  p.Assign(f.FieldPoly());
}

TEST(Construction, SmallFieldsHaveOrderKR) {
  TECGF2Data rec;
  TGF2Poly p;
  for (int n = 9; n <= 16; ++n) {
    for (bool kMod4 : {false, true}) {
      RunParams(rec, n, 0, kMod4);
      ASSERT_GT(rec.ClassNumber, 0);
      for (std::uint8_t basis : {btStandard, btNormal}) {
        SCOPED_TRACE(testing::Message() << "N=" << n << " KMod4=" << kMod4 << " basis=" << int(basis)
                                        << " D=" << rec.D);
        BuiltInFieldPoly(p, n, basis);
        rec.CurveBuilt = false;
        rec.SetField(p, basis);
        rec.PickRoot();
        if (rec.WIrreducible) {
          EXPECT_EQ(rec.FactorIndex, -1);
        } else {
          EXPECT_GE(rec.FactorIndex, 0);
          EXPECT_LT(rec.FactorIndex, rec.WFactors.Count());
        }
        rec.MakeCurve();
        ASSERT_TRUE(rec.CurveBuilt);
        EXPECT_TRUE(GF2Equal(rec.CoefA, rec.Curve.A()));
        EXPECT_TRUE(GF2Equal(rec.CoefB, rec.Curve.B()));
        EXPECT_EQ(CountPoints(rec.Curve), Value(rec.K) * Value(rec.R));
        for (int i = 0; i < 3; ++i) {
          rec.NewPoint();
          EXPECT_FALSE(rec.Point.IsZero());
          TGF2NEPoint q(rec.Point);
          rec.Curve.Mul(q, rec.R, false);
          EXPECT_TRUE(q.IsZero());
        }
      }
    }
  }
}

TEST(Construction, WorkedExampleOfDegreeNine) {
  TECGF2Data rec;
  RunParams(rec, 9, 0, false);
  ASSERT_EQ(rec.D, 199);
  TGF2Poly w;
  GF2SetDegs(w, {9, 8, 7, 6, 3, 1, 0});
  EXPECT_TRUE(GF2Equal(rec.W, w));
  EXPECT_TRUE(rec.WIrreducible);
  TGF2Poly p;
  GF2SetDegs(p, {9, 4, 0});
  rec.SetField(p, btStandard);
  // Every root gives b = θ³, a = 0 and 556 = 4·139 points; several roots are reached.
  std::set<std::string> roots;
  for (int i = 0; i < 40; ++i) {
    rec.PickRoot();
    roots.insert(GF2ToHexStr(rec.Root, 0));
    rec.MakeCurve();
    EXPECT_TRUE(rec.CoefA.IsZero());
    TGF2Poly cube(rec.Root);
    rec.Field.Pow(cube, 3);
    EXPECT_TRUE(GF2Equal(rec.CoefB, cube));
    EXPECT_EQ(CountPoints(rec.Curve), 556);
  }
  EXPECT_GE(roots.size(), 3u);
  // With a = 1 the order would be 470, with b = θ it would be 516: both rules matter.
  TGF2NECurve other;
  TGF2Poly one;
  one.SetOne();
  other.SetField(&rec.Field);
  TGF2Poly cube(rec.Root);
  rec.Field.Pow(cube, 3);
  other.SetCoefs(&one, &cube);
  EXPECT_EQ(CountPoints(other), 470);
  other.SetCoefs(nullptr, &rec.Root);
  EXPECT_EQ(CountPoints(other), 516);
}

TEST(Construction, TraceOfAFollowsKModFour) {
  // N even, standard basis, K = 2 (mod 4): a is the first monomial of trace 1.
  TECGF2Data rec;
  RunParams(rec, 10, 0, false);  // K = 216 = 0 (mod 4)
  TGF2Poly p;
  BuiltInFieldPoly(p, 10, btStandard);
  rec.SetField(p, btStandard);
  rec.PickRoot();
  TGF2NECurve curve;
  BuildCurveFromRoot(curve, rec.Root, rec.D, rec.Field, 2);
  int first = -1;
  TGF2Poly m;
  for (int i = 0; i < 10 && first < 0; ++i) {
    m.SetMonomial(i);
    if (rec.Field.Trace(m)) first = i;
  }
  ASSERT_GE(first, 1);  // Tr(1) = 0 for even N
  m.SetMonomial(first);
  EXPECT_TRUE(GF2Equal(curve.A(), m));
  // Odd N: a = 1; normal basis: the first basis vector.
  TGF2N f;
  f.SetField(11, btNormal);
  TGF2Poly theta;
  f.Rnd(theta);
  if (theta.IsZero()) theta.SetOne();
  BuildCurveFromRoot(curve, theta, 15, f, 2);
  TGF2Poly oneN;
  f.Set1(oneN);
  EXPECT_TRUE(GF2Equal(curve.A(), oneN));
  EXPECT_TRUE(GF2Equal(curve.B(), theta));  // 3 | 15: b = θ
  f.SetField(10, btNormal);
  f.Rnd(theta);
  if (theta.IsZero()) theta.SetOne();
  BuildCurveFromRoot(curve, theta, 7, f, 2);
  EXPECT_TRUE(curve.A().IsOne());
  EXPECT_TRUE(f.Trace(curve.A()));
}

TEST(Construction, OrderAndStepRules) {
  TECGF2Data rec;
  std::int32_t progress = 0;
  // MakeCurve before the Weber polynomial and NewPoint before a curve change nothing.
  rec.Clear();
  rec.MakeCurve();
  EXPECT_FALSE(rec.CurveBuilt);
  rec.NewPoint();
  EXPECT_TRUE(rec.Point.IsZero());
  // After Clear, field and curve are usable objects of degree 3.
  EXPECT_EQ(rec.Field.N(), 3);
  EXPECT_EQ(rec.Curve.Field().N(), 3);
  // The start steps down to 7 (mod 8) and the search looks strictly above it.
  rec.ComputeParams(9, 198, 15, 32767, false, progress);
  EXPECT_EQ(rec.D, 199);
  rec.ComputeParams(9, 199, 15, 32767, false, progress);
  const std::int32_t next = rec.D;
  EXPECT_GT(next, 199);
  rec.ComputeParams(9, 200, 15, 32767, false, progress);  // 200 steps down to 199
  EXPECT_EQ(rec.D, next);
  EXPECT_FALSE(rec.SearchGaveUp());
  // SetField with the wrong degree: the record is unchanged.
  TGF2Poly p;
  GF2SetDegs(p, {10, 3, 0});
  rec.FieldPoly.SetWord(7);
  try {
    rec.SetField(p, btStandard);
    FAIL();
  } catch (const ERuv& e) {
    EXPECT_STREQ(e.what(), "TECGF2Data.SetField: Error");
  }
  EXPECT_EQ(rec.FieldPoly.Words()[0], 7u);
}

TEST(Construction, WrongOrderIsReportedAndBounded) {
  TECGF2Data rec;
  RunParams(rec, 9, 0, false);
  TGF2Poly p;
  GF2SetDegs(p, {9, 4, 0});
  rec.SetField(p, btStandard);
  rec.PickRoot();
  TGF2Poly cube(rec.Root), one;
  rec.Field.Pow(cube, 3);
  one.SetOne();
  TGF2NECurve curve;
  curve.SetField(&rec.Field);
  curve.SetCoefs(&one, &cube);  // the twist: 470 points, not 4·139
  TGF2NEPoint point;
  try {
    GetGF2Point(point, curve, rec.K, rec.R);
    FAIL();
  } catch (const ERuv& e) {
    EXPECT_STREQ(e.what(), "GetGF2Point: Wrong order !?");
  }
  // K equal to the whole order: every K-multiple is O; the draws are bounded.
  EXPECT_THROW(GetGF2Point(point, curve, TInteger(470), TInteger(1)), ERuv);
}

using test::AbortAtPoll;
using test::PollsBeforeAbort;

TEST(Construction, AbortLeavesNoScratchTaken) {
  TECGF2Data rec;
  TGF2Poly p;
  BuiltInFieldPoly(p, 64, btNormal);
  const int ints = TIntegerPool::ThreadVars().Used;
  const int polys = TGF2PolyPool::ThreadVars().Used;
  for (int polls : {1, 3, 17, 60, 250, 1000}) {
    SCOPED_TRACE(polls);
    PollsBeforeAbort = polls;
    rec.Clear();
    TRuvBreakScope scope(&AbortAtPoll);
    break_detail::Tick.store(true);
    std::int32_t progress = 0;
    try {
      rec.ComputeParams(64, 0, 15, 32767, false, progress);
      rec.ComputeWeberPoly(progress, 1.0L);
      rec.CurveBuilt = false;
      rec.SetField(p, btNormal);
      rec.PickRoot();
      rec.MakeCurve();
      rec.NewPoint();
    } catch (const ERuvAbort&) {
    }
    EXPECT_EQ(TIntegerPool::ThreadVars().Used, ints);
    EXPECT_EQ(TGF2PolyPool::ThreadVars().Used, polys);
    EXPECT_EQ(rec.Field.CheckDegrees(), true);
  }
}

// Field element in gp syntax over the generator 'g of the field polynomial.
std::string GpElement(const TGF2Poly& standard) {
  std::ostringstream s;
  s << "(0";
  for (int i = 0; i <= standard.Degree(); ++i)
    if (standard.Coef(i)) s << "+g^" << i;
  s << ")";
  return s.str();
}

std::string GpPoly(const TGF2Poly& p) {
  std::ostringstream s;
  s << "(0";
  for (int i = 0; i <= p.Degree(); ++i)
    if (p.Coef(i)) s << "+x^" << i;
  s << ")";
  return s.str();
}

TEST(ConstructionGp, OrdersOfLargerFields) {
  RARA_NEED_ORACLE(test::HaveGp(), "gp");
  test::SeedRandom(20261208);
  TECGF2Data rec;
  rec.SeedFromClock = false;
  std::ostringstream script;
  std::vector<std::string> expected;
  for (int n : {64, 97, 113}) {
    RunParams(rec, n, 0, false);
    for (std::uint8_t basis : {btStandard, btNormal}) {
      TGF2Poly p;
      if (basis == btStandard) {
        BuiltInFieldPoly(p, n, basis);
      } else {
        BuiltInFieldPoly(p, n, btNormal);
      }
      rec.CurveBuilt = false;
      rec.SetField(p, basis);
      rec.PickRoot();
      rec.MakeCurve();
      rec.NewPoint();
      TGF2Poly a(rec.CoefA), b(rec.CoefB);
      if (basis == btNormal) {
        TGF2N::ApplyMatrix(a, *rec.Field.N2S());
        TGF2N::ApplyMatrix(b, *rec.Field.N2S());
      }
      TInteger u(rec.K);
      IMul(u, rec.R);
      std::string ustr;
      IStr(u, 10, 0, false, false, ustr);
      expected.push_back(ustr);
      script << "g = ffgen(Mod(1,2)*" << GpPoly(p) << ", 'g); E = ellinit([1," << GpElement(a)
             << ",0,0," << GpElement(b) << "], g); print(ellcard(E));\n";
    }
  }
  std::istringstream out(test::RunGp(script.str()));
  for (const std::string& e : expected) {
    std::string line;
    std::getline(out, line);
    EXPECT_EQ(line, e);
  }
}

}  // namespace
}  // namespace rara
