// Tests of the Weber polynomial modulo 2: the precision rule, the integer
// class polynomials of small discriminants, root counts, errors, abort, and
// agreement with PARI/GP's polclass.
#include <gtest/gtest.h>

#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "engine/cm_search.h"
#include "engine/weber.h"
#include "gf2/gf2_poly.h"
#include "integers/break.h"
#include "integers/errors.h"
#include "tests/support/test_support.h"

namespace rara {
namespace {

std::string Dec(const TInteger& a) {
  std::string s;
  IStr(a, 10, 0, false, false, s);
  if (!s.empty() && s[0] == '-') return s;
  s.insert(s.begin(), a.Negative() ? '-' : '+');
  return s;
}

std::string ErrorOf(std::int32_t d, std::int32_t h) {
  TGF2Poly w;
  std::int32_t progress = 0;
  try {
    GetWeberPolyMod2(w, d, h, progress, 1.0L);
  } catch (const ERuv& e) {
    return e.what();
  }
  return "no error";
}

// Coefficients, highest degree first, as "+1 -5 +3 ...".
std::string IntPoly(std::int32_t d, std::int64_t& worst) {
  std::vector<TInteger> coefs;
  std::int32_t progress = -1;
  GetWeberPolyInt(coefs, worst, d, ClassNumber(d), progress, 1.0L);
  EXPECT_EQ(progress, 0);
  std::string s;
  for (std::size_t i = coefs.size(); i-- > 0;) {
    if (!s.empty()) s += ' ';
    s += Dec(coefs[i]);
  }
  return s;
}

TEST(Weber, IntegerClassPolynomials) {
  const std::pair<std::int32_t, const char*> table[] = {
      {7, "+1 -1"},
      {15, "+1 -1 -1"},
      {23, "+1 +0 -1 -1"},
      {31, "+1 -1 +0 -1"},
      {39, "+1 -3 -4 -2 -1"},
      {47, "+1 +0 -1 -2 -2 -1"},
      {71, "+1 -2 -1 +1 +1 +1 -1 -1"},
      {199, "+1 -5 +3 -3 +0 +0 -3 +0 -1 -1"},
  };
  for (auto [d, text] : table) {
    std::int64_t worst = 0;
    EXPECT_EQ(IntPoly(d, worst), text) << "D=" << d;
    EXPECT_LE(worst, -40) << "D=" << d;  // far below 1/2 before rounding
  }
}

// Large discriminants of the figures: the products of a few hundred factors
// still land next to integers.
TEST(Weber, LargeDiscriminantsRoundClearly) {
  for (std::int32_t d : {41231, 28871, 184231, 140495}) {
    std::vector<TInteger> coefs;
    std::int64_t worst = 0;
    std::int32_t progress = -1;
    const std::int32_t h = ClassNumber(d);
    GetWeberPolyInt(coefs, worst, d, h, progress, 1.0L);
    EXPECT_EQ(progress, 0) << "D=" << d;
    EXPECT_EQ(coefs.size(), static_cast<std::size_t>(h) + 1) << "D=" << d;
    EXPECT_LE(worst, -20) << "D=" << d;
  }
  TFloat::SetPrecision(TFloat::DefaultPrecision);
}

// At ratio 0.75 the 642-bit coefficients of D = 145311 outgrow the 480-bit
// precision, so the fixed-point product keeps no bit below the units: the
// check must say that the integers cannot be told, not that all are exact.
TEST(Weber, CollapsedScaleIsNotReportedExact) {
  std::vector<TInteger> coefs;
  std::int64_t worst = INT64_MIN;
  std::int32_t progress = -1;
  GetWeberPolyInt(coefs, worst, 145311, ClassNumber(145311), progress, 0.75L);
  EXPECT_EQ(TFloat::Precision(), 480);
  EXPECT_GE(worst, 1);
  TFloat::SetPrecision(TFloat::DefaultPrecision);
}

TEST(Weber, PolynomialsModulo2) {
  const std::pair<std::int32_t, std::vector<std::int32_t>> table[] = {
      {7, {1, 0}},         {15, {2, 1, 0}},       {23, {3, 1, 0}},
      {31, {3, 2, 0}},     {39, {4, 3, 0}},       {47, {5, 3, 0}},
      {71, {7, 5, 4, 3, 2, 1, 0}}, {199, {9, 8, 7, 6, 3, 1, 0}},
  };
  for (const auto& [d, degs] : table) {
    TGF2Poly w, expected;
    std::int32_t progress = -1;
    GetWeberPolyMod2(w, d, ClassNumber(d), progress, 1.0L);
    GF2SetDegs(expected, degs);
    EXPECT_TRUE(GF2Equal(w, expected)) << "D=" << d;
    EXPECT_EQ(progress, 0);
  }
}

// One root per reduced form, square-free or not, divisible by 3 or not.
TEST(Weber, RootCountIsTheClassNumber) {
  for (std::int32_t d = 7; d < 1200; d += 8) {
    TGF2Poly w;
    std::int32_t progress = -1;
    const std::int32_t h = ClassNumber(d);
    GetWeberPolyMod2(w, d, h, progress, 1.0L);
    EXPECT_EQ(w.Degree(), h) << d;
    EXPECT_EQ(progress, 0) << d;
  }
}

TEST(Weber, PrecisionRule) {
  TGF2Poly w;
  std::int32_t progress = 0;
  const std::int32_t h = ClassNumber(10007);
  ASSERT_LE(h, 164);
  GetWeberPolyMod2(w, 10007, h, progress, 1.0L);
  EXPECT_EQ(TFloat::Precision(), 192);
  GetWeberPolyMod2(w, 10007, h, progress, 1.75L);
  EXPECT_EQ(TFloat::Precision(), 288);
  GetWeberPolyMod2(w, 6119, ClassNumber(6119), progress, 1.0L);
  EXPECT_EQ(TFloat::Precision(), 128);
  // A class number above √(2.71829·D) sets the precision: D = 38639 has
  // h = 325 > 324, and at ratio 0.99 that is 321 bits (352) against 320.
  GetWeberPolyMod2(w, 7, 1, progress, 1.0L);
  EXPECT_EQ(TFloat::Precision(), 128);
  ASSERT_EQ(ClassNumber(38639), 325);
  GetWeberPolyMod2(w, 38639, 325, progress, 0.99L);
  EXPECT_EQ(TFloat::Precision(), 352);
  TFloat::SetPrecision(TFloat::DefaultPrecision);
}

TEST(Weber, InternalErrors) {
  EXPECT_EQ(ErrorOf(9, 1), "GetWeberPolyMod2: Internal error 1");
  EXPECT_EQ(ErrorOf(-1, 1), "GetWeberPolyMod2: Internal error 1");
  EXPECT_EQ(ErrorOf(199, 8), "GetWeberPolyMod2: Internal error 2");
  EXPECT_EQ(ErrorOf(199, 0), "GetWeberPolyMod2: Internal error 2");
  TFloat::SetPrecision(TFloat::DefaultPrecision);
}

TEST(Weber, FunctionsAtAForm) {
  TFloat::SetPrecision(256);
  // The three functions satisfy f⁸ = f1⁸ + f2⁸ at any τ.
  TComplex f, f1, f2, t;
  WeberFunction(f, 0, 3, 1, 71);
  WeberFunction(f1, 1, 3, 1, 71);
  WeberFunction(f2, 2, 3, 1, 71);
  for (TComplex* x : {&f, &f1, &f2}) XPow(*x, 8);
  XAssign(t, f1);
  XAdd(t, f2);
  XSub(t, f);
  TReal size;
  XAbs(size, f);
  EXPECT_TRUE(IsEpsilon(t, 256 - 200 + static_cast<std::int32_t>(size.Pos()))) << "f8 - f18 - f28";
  WeberFunction(t, 3, 3, 1, 71);
  EXPECT_TRUE(t.IsZero());
  // P(0) = 1; P(1/2) = 0.288788095...
  XSet(t, 0, 0);
  EulerProduct(t);
  EXPECT_TRUE(t.Re().IsOne());
  TFloat::SetPrecision(TFloat::DefaultPrecision);
}

// The pentagonal series against the plain product Π(1 - zⁿ) at points
// inside the disc: small ones (summed in fixed point) and larger ones.
TEST(Weber, EulerProductMatchesPlainProduct) {
  TFloat::SetPrecision(320);
  const std::pair<std::int32_t, std::int32_t> points[] = {
      {3, -7}, {-45, 20}, {49, 0}, {0, -49}, {1, 1}, {60, 30}, {-70, -20}};  // z = (x + iy)/100
  for (auto [x, y] : points) {
    TComplex z, expect, zn, factor, got;
    XSet(z, x, y);
    XDiv(z, 100);
    // Plain product until zⁿ is far below the last bit.
    XSet(expect, 1, 0);
    XAssign(zn, z);
    for (int n = 1; n < 2000 && !IsEpsilon(zn, 1); ++n) {
      XSet(factor, 1, 0);
      XSub(factor, zn);
      XMul(expect, factor);
      XMul(zn, z);
    }
    XAssign(got, z);
    EulerProduct(got);
    XSub(got, expect);
    // The series stops at the first term below 2^(32-P).
    EXPECT_TRUE(IsEpsilon(got, 34)) << "z = (" << x << " + " << y << "i)/100";
  }
  TFloat::SetPrecision(TFloat::DefaultPrecision);
}

// ---- Abort ----

using test::AbortAtPoll;
using test::PollsBeforeAbort;

TEST(Weber, AbortLeavesNoScratchTaken) {
  const int usedI = TIntegerPool::ThreadVars().Used;
  const int usedP = TGF2PolyPool::ThreadVars().Used;
  for (int polls : {1, 3, 17, 150, 900}) {
    PollsBeforeAbort = polls;
    RuvBreakWith(&AbortAtPoll);
    break_detail::Tick.store(true);
    bool aborted = false;
    TGF2Poly w;
    std::int32_t progress = 0;
    try {
      GetWeberPolyMod2(w, 2399, ClassNumber(2399), progress, 1.0L);
    } catch (const ERuvAbort&) {
      aborted = true;
    }
    RuvBreakStop();
    EXPECT_TRUE(aborted) << polls;
    EXPECT_EQ(TIntegerPool::ThreadVars().Used, usedI) << polls;
    EXPECT_EQ(TGF2PolyPool::ThreadVars().Used, usedP) << polls;
  }
  TFloat::SetPrecision(TFloat::DefaultPrecision);
}

// ---- Against PARI/GP: W is the reciprocal of polclass(-D, 1) modulo 2
// (PARI's Weber f-polynomial is ours with x -> -1/x, up to sign), for D
// prime to 3.

TEST(WeberGp, ReciprocalOfPolclass) {
  RARA_NEED_ORACLE(test::HaveGp(), "gp");
  std::vector<std::int32_t> ds;
  for (std::int32_t d = 7; d < 4000; d += 8)
    if (d % 3 != 0 && IsSquareFree(d)) ds.push_back(d);
  for (std::int32_t d : {41231, 28871, 100279, 250007})
    if (d % 3 != 0 && IsSquareFree(d)) ds.push_back(d);
  std::string script = "v=[";
  for (std::size_t i = 0; i < ds.size(); ++i) {
    if (i) script += ',';
    script += std::to_string(ds[i]);
  }
  // Degrees of the non-zero coefficients of the reciprocal modulo 2.
  script +=
      "];\nfor(i=1,#v,my(p=Pol(Vecrev(Vec(lift(polclass(-v[i],1)*Mod(1,2))))),s=\"\");"
      "forstep(j=poldegree(p),0,-1,if(polcoef(p,j),s=Str(s,j,\" \")));print(s));\n";
  std::istringstream out(test::RunGp(script));
  for (std::int32_t d : ds) {
    std::string line;
    ASSERT_TRUE(std::getline(out, line)) << d;
    TGF2Poly w;
    std::int32_t progress = 0;
    GetWeberPolyMod2(w, d, ClassNumber(d), progress, 1.0L);
    TDynLongintArray degs;
    GF2GetDegs(w, degs);
    std::string mine;
    for (std::int32_t k : degs) {
      mine += std::to_string(k);
      mine += ' ';
    }
    ASSERT_EQ(mine, line) << "D=" << d;
  }
  TFloat::SetPrecision(TFloat::DefaultPrecision);
}

}  // namespace
}  // namespace rara
