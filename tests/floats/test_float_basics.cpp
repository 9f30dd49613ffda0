// Precision rules, normal form, setting, comparison, rounding, the exact error
// messages and the precision restored behind an exception.
#include <gtest/gtest.h>

#include <cfloat>
#include <climits>
#include <cmath>
#include <limits>

#include "integers/break.h"
#include "integers/errors.h"
#include "tests/floats/float_oracle.h"

namespace rara::test {
namespace {

class FloatBasics : public ::testing::Test {
 protected:
  void SetUp() override { TFloat::SetPrecision(128); }
  void TearDown() override { TFloat::SetPrecision(128); }
};

template <class E, class F>
void ExpectError(F&& f, const std::string& message) {
  try {
    f();
    ADD_FAILURE() << "no exception, expected: " << message;
  } catch (const E& e) {
    EXPECT_EQ(e.what(), message);
  } catch (const std::exception& e) {
    ADD_FAILURE() << "wrong exception: " << e.what() << ", expected: " << message;
  }
}

TReal Fraction(std::int32_t a, std::int32_t b) {
  TReal r;
  XSet(r, a, b);
  return r;
}

void ExpectValue(const TReal& a, double expected) {
  Mpfr x(64);
  ToMpfr(x, a);
  EXPECT_EQ(mpfr_get_d(x, MPFR_RNDN), expected) << Text(a);
  EXPECT_TRUE(InNormalForm(a)) << Text(a);
}

TEST_F(FloatBasics, PrecisionRequestsRoundAsDocumented) {
  const std::pair<std::int32_t, std::int32_t> cases[] = {
      {1, 128}, {96, 128}, {128, 128}, {129, 160}, {160, 160}, {161, 192},
      {0, 128}, {-5, 128}, {65, 128}, {97, 128}, {4000, 4000}, {4001, 4032},
      {TFloat::MaxPrecision, TFloat::MaxPrecision}};
  for (auto [request, expected] : cases) {
    TFloat::SetPrecision(request);
    EXPECT_EQ(TFloat::Precision(), expected) << "request " << request;
  }
  TFloat::SetPrecision(160);
  TFloat::IncPrecision(32);
  EXPECT_EQ(TFloat::Precision(), 192);
  TFloat::IncPrecision(1);
  EXPECT_EQ(TFloat::Precision(), 224);
  TFloat::IncPrecision(-200);  // 24 + 31 -> 32 -> 128
  EXPECT_EQ(TFloat::Precision(), 128);

  ExpectError<ERuvInvalidArg>([] { TFloat::SetPrecision(TFloat::MaxPrecision + 1); },
                              "TFloat.SetPrecision\r\nInvalid parameter\r\nPrecision > MAX");
  TFloat::SetPrecision(TFloat::MaxPrecision);
  ExpectError<ERuvInvalidArg>([] { TFloat::IncPrecision(1); },
                              "TFloat.IncPrecision\r\nInvalid parameter\r\nPrecision > MAX");
  EXPECT_EQ(TFloat::Precision(), TFloat::MaxPrecision);
}

TEST_F(FloatBasics, ValuesAreTruncatedToExactlyPBits) {
  for (std::int32_t p : {128, 160, 192, 4000}) {
    TFloat::SetPrecision(p);
    TReal third = Fraction(1, 3), minusThird = Fraction(-1, 3);
    ASSERT_TRUE(InNormalForm(third));
    // Truncation toward zero is symmetric: -(1/3) has the same mantissa bits.
    TReal neg(third);
    XNeg(neg);
    EXPECT_TRUE(XEqual(neg, minusThird));
    // 1/3 = 0.0101...: the kept bits alternate and the value lies below 1/3.
    Mpfr exact(p + 64), x(p);
    mpfr_set_ui(exact, 1, MPFR_RNDN);
    mpfr_div_ui(exact, exact, 3, MPFR_RNDN);
    mpfr_set(x, exact, MPFR_RNDZ);
    TReal expected;
    FromMpfr(expected, x);
    EXPECT_TRUE(XEqual(third, expected)) << Text(third);
  }
  TFloat::SetPrecision(128);
  TReal small(std::int64_t{5});
  EXPECT_EQ(small.Mantissa().BitSize(), 128);
  EXPECT_EQ(small.Exponent(), 3 - 128);
  TFloat::SetPrecision(256);
  TReal widened(small);
  EXPECT_TRUE(InNormalForm(widened));
  EXPECT_TRUE(XEqual(widened, small));  // comparison across mantissa lengths
  TFloat::SetPrecision(128);
  TReal narrowed(widened);
  EXPECT_TRUE(InNormalForm(narrowed));
  EXPECT_TRUE(TReal(std::int64_t{1}).IsOne());
  EXPECT_FALSE(TReal(std::int64_t{-1}).IsOne());
  EXPECT_FALSE(TReal(std::int64_t{2}).IsOne());
  TReal zero;
  EXPECT_TRUE(zero.IsZero());
  EXPECT_EQ(zero.Sign(), 0);
}

TEST_F(FloatBasics, SetFromExtendedFloat) {
  const long double cases[] = {1.5L, -0.5L, 3.0e-4000L, -1.0e4000L, LDBL_MAX, LDBL_MIN,
                               LDBL_TRUE_MIN, -LDBL_TRUE_MIN * 12345, 0.0L, -0.0L, 1e19L};
  for (long double v : cases) {
    TReal a(v);
    Mpfr x(64);
    mpfr_set_ld(x, v, MPFR_RNDN);
    TReal expected;
    FromMpfr(expected, x);
    EXPECT_TRUE(XEqual(a, expected)) << static_cast<double>(v) << " got " << Text(a);
    EXPECT_TRUE(InNormalForm(a));
  }
  TReal a;
  ExpectError<ERuvInvalidArg>([&] { XSet(a, std::numeric_limits<long double>::infinity()); },
                              "XSet\r\nInvalid parameter\r\nE = \u00B1INF");
  ExpectError<ERuvInvalidArg>([&] { XSet(a, -std::numeric_limits<long double>::infinity()); },
                              "XSet\r\nInvalid parameter\r\nE = \u00B1INF");
  ExpectError<ERuvInvalidArg>([&] { XSet(a, std::numeric_limits<long double>::quiet_NaN()); },
                              "XSet\r\nInvalid parameter\r\nE = NAN");
  ExpectError<ERuvDivByZero>([&] { XSet(a, 1, 0); }, "XSet\r\nDivision by 0");
  XSet(a, INT64_MIN);
  ExpectValue(a, -9223372036854775808.0);
  XSet(a, -7, 2);
  ExpectValue(a, -3.5);
  TInteger big(1);
  IShl(big, 300);
  XSet(a, big);
  EXPECT_EQ(a.Pos(), 301);
}

TEST_F(FloatBasics, AddSubMulDivEdgeCases) {
  // Magnitudes more than P bits apart: the larger operand, unchanged.
  TReal big(std::int64_t{3}), tiny(std::int64_t{-1});
  float_detail::MulPow2(tiny, -200, "test");
  TReal a(big);
  XAdd(a, tiny);
  EXPECT_TRUE(XEqual(a, big));
  XAssign(a, tiny);
  XAdd(a, big);
  EXPECT_TRUE(XEqual(a, big));
  XAssign(a, big);
  XSub(a, tiny);
  EXPECT_TRUE(XEqual(a, big));
  XAssign(a, tiny);
  XSub(a, big);
  TReal minusBig(big);
  XNeg(minusBig);
  EXPECT_TRUE(XEqual(a, minusBig));
  // Exactly P bits apart still counts: the exact sum is truncated.
  TReal edge(std::int64_t{1});
  float_detail::MulPow2(edge, -127, "test");  // pos -126, d = 128
  XAssign(a, big);                             // pos 2
  XSub(a, edge);
  EXPECT_LT(XCmp(a, big), 0);

  // Aliasing: doubling, zero, square, one.
  XSet(a, 7);
  XAdd(a, a);
  ExpectValue(a, 14);
  XSub(a, a);
  EXPECT_TRUE(a.IsZero());
  EXPECT_EQ(a.Exponent(), 0);
  XSet(a, -9);
  XMul(a, a);
  ExpectValue(a, 81);
  XDiv(a, a);
  ExpectValue(a, 1);
  XSet(a, 5);
  XMul2(a);
  ExpectValue(a, 10);
  XSqr(a);
  ExpectValue(a, 100);
  XDiv(a, std::int64_t{-8});
  ExpectValue(a, -12.5);
  XInv(a);
  ExpectValue(a, -0.08 + 0.0);  // truncated -0.08 reads back as the double nearest it
  XSet(a, 0);
  XMul2(a);
  XSqrRoot(a);
  XDiv(a, big);
  EXPECT_TRUE(a.IsZero());
  XSet(a, 2);
  XSqrRoot(a);
  XSqr(a);
  EXPECT_LT(XCmp(a, TReal(std::int64_t{2})), 0);  // truncation: (sqrt 2)² just below 2

  TReal zero;
  ExpectError<ERuvDivByZero>([&] { XDiv(a, zero); }, "XDiv\r\nDivision by 0");
  ExpectError<ERuvDivByZero>([&] { XDiv(zero, zero); }, "XDiv\r\nDivision by 0");
  ExpectError<ERuvDivByZero>([&] { XDiv(a, std::int64_t{0}); }, "XDiv\r\nDivision by 0");
  ExpectError<ERuvDivByZero>([&] { XInv(zero); }, "XInv\r\nDivision by 0");
  TReal neg(std::int64_t{-1});
  ExpectError<ERuvInvalidArg>([&] { XSqrRoot(neg); }, "XSqrRoot\r\nInvalid parameter\r\nX must be >= 0");
}

TEST_F(FloatBasics, ExponentOverflowIsReported) {
  TReal a(std::int64_t{1});
  TRealAccess::E(a) = INT32_MAX;
  TReal b(a);
  ExpectError<ERuvOverflow>([&] { XMul2(a); }, "XMul2\r\nOverflow");
  ExpectError<ERuvOverflow>([&] { XAdd(a, a); }, "XAdd\r\nOverflow");
  ExpectError<ERuvOverflow>([&] { XMul(a, b); }, "XMul\r\nOverflow");
  ExpectError<ERuvOverflow>([&] { XSqr(a); }, "XSqr\r\nOverflow");
  // A carry out of the top bit moves the exponent past the limit.
  TReal c(std::int64_t{-1});
  XSet(b, -1);
  TRealAccess::E(b) = INT32_MAX;
  TRealAccess::E(c) = INT32_MAX;
  ExpectError<ERuvOverflow>([&] { XAdd(b, c); }, "XAdd\r\nOverflow");
  EXPECT_EQ(b.Exponent(), INT32_MAX);  // left as it was
  TReal lo(std::int64_t{1});
  TRealAccess::E(lo) = INT32_MIN + 5;
  TReal lo2(lo);
  ExpectError<ERuvOverflow>([&] { XMul(lo, lo2); }, "XMul\r\nOverflow");
}

// An exponential whose result cannot be represented at any precision is an
// overflow of its squarings, reported before any of them, whatever the size
// of the argument (2^2000000000 used to fail on raising the precision).
TEST_F(FloatBasics, HugeExponentialOverflowsAtOnce) {
  for (std::int64_t k : {std::int64_t{32}, std::int64_t{1000000}, std::int64_t{2000000000}}) {
    for (std::int64_t sign : {1, -1}) {
      TReal x(sign);
      float_detail::MulPow2(x, k, "test");
      ExpectError<ERuvOverflow>([&] { XExp(x); }, "XSqr\r\nOverflow");
      TComplex z;
      XSet(z, 0, 1);
      XAssign(z.Re(), x);
      ExpectError<ERuvOverflow>([&] { XExp(z); }, "XSqr\r\nOverflow");
      EXPECT_EQ(TFloat::Precision(), 128) << k;
    }
  }
  // The largest arguments whose exponential fits are not refused.
  TReal x(std::int64_t{1488000000});
  XExp(x);
  EXPECT_EQ(x.Pos(), 2146730221);  // floor(1488000000/ln 2) + 1
}

TEST_F(FloatBasics, ComparisonAndEpsilon) {
  TReal m3(std::int64_t{-3}), m2(std::int64_t{-2}), z, p2(std::int64_t{2}), p3(std::int64_t{3});
  const TReal* order[] = {&m3, &m2, &z, &p2, &p3};
  for (int i = 0; i < 5; ++i)
    for (int j = 0; j < 5; ++j) {
      EXPECT_EQ(XCmp(*order[i], *order[j]), (i > j) - (i < j)) << i << "," << j;
      EXPECT_EQ(XGreater(*order[i], *order[j]), i > j);
      EXPECT_EQ(XEqual(*order[i], *order[j]), i == j);
    }
  // Negligible means pos(A) < bits - P: 2^(bits-P-1) (pos = bits - P) is not,
  // the next smaller power of two is.
  TReal a(std::int64_t{1});
  float_detail::MulPow2(a, 32 - 128 - 1, "test");
  EXPECT_FALSE(IsEpsilon(a, 32));
  TRealAccess::E(a) -= 1;
  EXPECT_TRUE(IsEpsilon(a, 32));
  XNeg(a);
  EXPECT_TRUE(IsEpsilon(a, 32));
  EXPECT_FALSE(IsEpsilon(a, 0));
  EXPECT_FALSE(IsEpsilon(a, -4));
  EXPECT_TRUE(IsEpsilon(z, 0));
  EXPECT_TRUE(IsEpsilon(z, 128));
  ExpectError<ERuvInvalidArg>([&] { IsEpsilon(a, 129); },
                              "TReal.IsEpsilon\r\nInvalid parameter\r\nBits > Precision");
  TComplex c;
  XSet(c, 0, 1);
  EXPECT_FALSE(IsEpsilon(c, 32));
  TRealAccess::E(c.Im()) -= 200;
  EXPECT_TRUE(IsEpsilon(c, 32));
  ExpectError<ERuvInvalidArg>([&] { IsEpsilon(c, 129); },
                              "TComplex.IsEpsilon\r\nInvalid parameter\r\nBits > Precision");
}

TEST_F(FloatBasics, Rounding) {
  struct Case {
    std::int32_t num, den;
    double trunc, floor, round;
    bool odd;
  };
  const Case cases[] = {{5, 2, 2, 2, 3, false},    {-5, 2, -2, -3, -2, false}, {-1, 2, 0, -1, 0, false},
                        {15, 2, 7, 7, 8, true},    {-15, 2, -7, -8, -7, true}, {25, 4, 6, 6, 6, false},
                        {-3, 1, -3, -3, -3, true}, {0, 1, 0, 0, 0, false},     {1, 3, 0, 0, 0, false},
                        {-1, 3, 0, -1, 0, false},  {7, 1, 7, 7, 7, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.num) + "/" + std::to_string(c.den));
    TReal a = Fraction(c.num, c.den);
    EXPECT_EQ(XTrunc(a), c.odd);
    ExpectValue(a, c.trunc);
    XAssign(a, Fraction(c.num, c.den));
    XFloor(a);
    ExpectValue(a, c.floor);
    XAssign(a, Fraction(c.num, c.den));
    XRound(a);
    ExpectValue(a, c.round);
    TInteger i;
    XToInteger(Fraction(c.num, c.den), i);
    EXPECT_TRUE(IEqual(i, static_cast<std::int64_t>(c.trunc)));
  }
  // Integers beyond P bits and fractions far below 1.
  TReal huge(std::int64_t{-3});
  float_detail::MulPow2(huge, 500, "test");
  TReal h(huge);
  EXPECT_FALSE(XTrunc(h));
  EXPECT_TRUE(XEqual(h, huge));
  XRound(h);
  EXPECT_TRUE(XEqual(h, huge));
  TInteger i;
  XToInteger(huge, i);
  EXPECT_EQ(i.BitSize(), 502);
  EXPECT_TRUE(i.Negative());
  TReal tiny(std::int64_t{-1});
  float_detail::MulPow2(tiny, -300, "test");
  XRound(tiny);
  EXPECT_TRUE(tiny.IsZero());
  XSet(tiny, -1);
  float_detail::MulPow2(tiny, -300, "test");
  XFloor(tiny);
  ExpectValue(tiny, -1);
}

TEST_F(FloatBasics, DocumentedEdgeCasesOfTheFunctions) {
  TReal a(std::int64_t{1});
  XLog(a);
  EXPECT_TRUE(a.IsZero());
  TReal zero, neg(std::int64_t{-2});
  ExpectError<ERuvInvalidArg>([&] { XLog(zero); }, "XLog\r\nInvalid parameter\r\nX <= 0");
  ExpectError<ERuvInvalidArg>([&] { XLog(neg); }, "XLog\r\nInvalid parameter\r\nX <= 0");

  TReal pi;
  XPi(pi);
  TReal y, x(std::int64_t{-1});
  XArcTan2(y, x);
  EXPECT_TRUE(XEqual(y, pi));
  y.SetZero();
  XArcTan2(y, zero);
  EXPECT_TRUE(y.IsZero());
  XSet(y, -5);
  XArcTan2(y, zero);
  TReal halfPi(pi);
  float_detail::MulPow2(halfPi, -1, "test");
  XNeg(halfPi);
  EXPECT_TRUE(XEqual(y, halfPi));
  // atan(±1) = ±pi/4 exactly as pi truncated, shifted.
  XSet(a, -1);
  XArcTan(a);
  TReal quarter(pi);
  float_detail::MulPow2(quarter, -2, "test");
  XNeg(quarter);
  EXPECT_TRUE(XEqual(a, quarter));
  a.SetZero();
  XArcTan(a);
  EXPECT_TRUE(a.IsZero());

  // Negligible arguments: exactly 1, and sin 0 / cos 1.
  TReal eps(std::int64_t{1});
  float_detail::MulPow2(eps, 30 - 128, "test");
  ASSERT_TRUE(IsEpsilon(eps, 32));
  TReal e(eps);
  XExp(e);
  ExpectValue(e, 1);
  TReal s, c;
  XSinCos(eps, s, c);
  EXPECT_TRUE(s.IsZero());
  ExpectValue(c, 1);
  XSinCos(eps, eps, c);  // x may be one of the outputs
  EXPECT_TRUE(eps.IsZero());
  ExpectError<ERuvDuplicatePtr>([&] { XSinCos(pi, s, s); }, "XSinCos\r\nSin,Cos must point to distinct objects");
  // sin and cos of pi itself: the reduction lands near zero.
  XSinCos(pi, s, c);
  ExpectValue(c, -1);
  EXPECT_TRUE(s.IsZero() || s.Pos() < -120) << Text(s);
}

TEST_F(FloatBasics, ComplexBasicsAndErrors) {
  TComplex z, w, zero;
  XSet(z, 3, -4);
  TReal r;
  XAbs(r, z);
  ExpectValue(r, 5);
  XNorm(r, z);
  ExpectValue(r, 25);
  XAssign(w, z);
  XConj(w);
  ExpectValue(w.Im(), 4);
  XMul(w, z);  // |z|²
  ExpectValue(w.Re(), 25);
  ExpectValue(w.Im(), 0);
  XAssign(w, z);
  XAdd(w, w);
  ExpectValue(w.Re(), 6);
  XSub(w, w);
  EXPECT_TRUE(w.IsZero());
  XAssign(w, z);
  XDiv(w, w);
  ExpectValue(w.Re(), 1);
  ExpectValue(w.Im(), 0);
  XAssign(w, z);
  XMul(w, w);  // (3 - 4i)² = -7 - 24i
  ExpectValue(w.Re(), -7);
  ExpectValue(w.Im(), -24);
  XAssign(w, z);
  XPow(w, 0);
  ExpectValue(w.Re(), 1);
  XAssign(w, z);
  XPow(w, 0, 5);
  ExpectValue(w.Re(), 1);
  ExpectValue(w.Im(), 0);
  XAssign(w, z);
  XPow(w, -1);
  ExpectValue(w.Re(), 0.12);
  ExpectValue(w.Im(), 0.16);

  TComplex zz;
  XPow(zz, 5);
  EXPECT_TRUE(zz.IsZero());
  XRoot(zz, 3);
  EXPECT_TRUE(zz.IsZero());
  XPow(zz, 2, 3);
  EXPECT_TRUE(zz.IsZero());
  ExpectError<ERuvDivByZero>([&] { XPow(zz, -1); }, "XInv\r\nDivision by 0");
  ExpectError<ERuvInvalidArg>([&] { XPow(zz, -1, 2); }, "XLog\r\nInvalid parameter\r\nLog of |X| = 0");
  ExpectError<ERuvInvalidArg>([&] { XLog(zz); }, "XLog\r\nInvalid parameter\r\nLog of |X| = 0");
  ExpectError<ERuvDivByZero>([&] { XPow(z, 1, 0); }, "XPow\r\nDivision by 0");
  ExpectError<ERuvDivByZero>([&] { XRoot(z, 0); }, "XRoot\r\nDivision by 0");
  ExpectError<ERuvDivByZero>([&] { XInv(zero); }, "XInv\r\nDivision by 0");
  ExpectError<ERuvDivByZero>([&] { XDiv(z, zero); }, "XDiv\r\nDivision by 0");
  ExpectError<ERuvDivByZero>([&] { XDiv(z, std::int64_t{0}); }, "XDiv\r\nDivision by 0");
  ExpectError<ERuvDivByZero>([&] { XDiv(z, TReal()); }, "XDiv\r\nDivision by 0");
  XDiv(z, std::int64_t{2});
  ExpectValue(z.Re(), 1.5);
  XDiv(z, TReal(std::int64_t{-1}));
  ExpectValue(z.Im(), 2);
}

// Every guarded routine puts the caller's precision back, also when an error
// or an abort passes through it.
TEST_F(FloatBasics, PrecisionIsRestoredBehindExceptions) {
  TFloat::SetPrecision(256);
  TReal huge(std::int64_t{1});
  float_detail::MulPow2(huge, 40, "test");
  EXPECT_THROW(XExp(huge), ERuvOverflow);
  EXPECT_EQ(TFloat::Precision(), 256);
  TComplex z;
  XSet(z, 0, 0);
  EXPECT_THROW(XLog(z), ERuvInvalidArg);
  EXPECT_EQ(TFloat::Precision(), 256);
  TReal ok(std::int64_t{3});
  XExp(ok);
  XLog(ok);
  XArcTan(ok);
  TReal s, c;
  XSinCos(ok, s, c);
  EXPECT_EQ(TFloat::Precision(), 256);
  EXPECT_TRUE(InNormalForm(ok) && InNormalForm(s) && InNormalForm(c));

  // An abort in the middle of a long pi computation.
  TReal pi;
  XPi(pi);
  TFloat::SetPrecision(3000000);
  {
    TRuvBreakScope scope([] { RuvRequestAbort(); });
    TReal big;
    EXPECT_THROW(XPi(big), ERuvAbort);
  }
  EXPECT_EQ(TFloat::Precision(), 3000000);
  TFloat::SetPrecision(256);
  TReal again;
  XPi(again);
  EXPECT_TRUE(XEqual(pi, again));
}

}  // namespace
}  // namespace rara::test
