// pi, exp, log, sin, cos, atan, atan2 and the complex functions against
// MPFR/MPC on random arguments over wide ranges of magnitude and precision.
// With the guard bits, the truncated results must lie within two units of the
// last kept bit of the exact value, and be in normal form.
#include <gtest/gtest.h>

#include "tests/floats/float_oracle.h"
#include "tests/support/test_support.h"

namespace rara::test {
namespace {

class FloatFunctions : public ::testing::Test {
 protected:
  void TearDown() override { TFloat::SetPrecision(128); }
};

constexpr double Tolerance = 2.0;  // units of the last kept bit

std::string Describe(const std::string& seed, int it, const TReal& a) {
  return seed + " it=" + std::to_string(it) + " P=" + std::to_string(TFloat::Precision()) + " x=" + Text(a);
}

void ExpectClose(const TReal& got, mpfr_srcptr exact, const std::string& what, double tol = Tolerance) {
  EXPECT_TRUE(InNormalForm(got)) << what;
  const double err = UlpError(got, exact);
  EXPECT_LE(err, tol) << what << "\n got   " << Text(got) << "\n exact " << Text(exact);
}

TEST_F(FloatFunctions, PiIsTruncatedPiAtEveryPrecision) {
  // Ascending precisions recompute the cache, descending ones copy it.
  const std::int32_t ascending[] = {128, 160, 192, 992, 3008, 4000, 10016, 30016};
  for (int pass = 0; pass < 2; ++pass) {
    for (int i = 0; i < 8; ++i) {
      const std::int32_t p = ascending[pass == 0 ? i : 7 - i];
      TFloat::SetPrecision(p);
      TReal pi;
      XPi(pi);
      EXPECT_EQ(TFloat::Precision(), p);
      Mpfr exact(p);
      mpfr_const_pi(exact, MPFR_RNDZ);
      TReal expected;
      FromMpfr(expected, exact);
      EXPECT_TRUE(XEqual(pi, expected) && InNormalForm(pi)) << "P=" << p << " pass " << pass;
    }
  }
}

TEST_F(FloatFunctions, ExpMatchesMpfr) {
  const std::string seed = SeedRandom(0xE0E0);
  for (int it = 0; it < Iterations(300); ++it) {
    const std::int32_t p = RandomPrecision(64, 4000);
    TReal a;
    RandomReal(a, std::max<std::int64_t>(33 - p, -200), 14);
    if (IsEpsilon(a, 32)) continue;
    const std::string what = Describe(seed, it, a);
    Mpfr ma(p), exact(p + 64);
    ToMpfr(ma, a);
    mpfr_exp(exact, ma, MPFR_RNDN);
    XExp(a);
    ExpectClose(a, exact, "exp " + what);
    if (HasFailure()) break;
  }
}

TEST_F(FloatFunctions, LogMatchesMpfr) {
  const std::string seed = SeedRandom(0x106);
  for (int it = 0; it < Iterations(300); ++it) {
    const std::int32_t p = RandomPrecision(64, 4000);
    TReal a;
    if (it % 3 == 0) {
      // 1 ± a small amount, down to the last bits of 1.
      RandomReal(a, -p + 2, -1);
      XAdd(a, TReal(std::int64_t{1}));
    } else {
      RandomReal(a, -3000, 3000, false);
    }
    if (a.IsOne()) continue;
    const std::string what = Describe(seed, it, a);
    Mpfr ma(p), exact(p + 64);
    ToMpfr(ma, a);
    mpfr_log(exact, ma, MPFR_RNDN);
    XLog(a);
    ExpectClose(a, exact, "log " + what);
    if (HasFailure()) break;
  }
}

TEST_F(FloatFunctions, SinCosMatchMpfr) {
  const std::string seed = SeedRandom(0x51C0);
  for (int it = 0; it < Iterations(300); ++it) {
    const std::int32_t p = RandomPrecision(64, 4000);
    TReal x;
    if (it % 4 == 0) {
      // Close to a multiple of pi/2: one of the two results is tiny.
      TReal pi;
      XPi(pi);
      float_detail::MulInt64(pi, static_cast<std::int64_t>(RuvRandom() % 2000) - 1000, "test");
      float_detail::MulPow2(pi, -1, "test");
      TReal d;
      RandomReal(d, -p / 2, -4);
      XAdd(pi, d);
      XAssign(x, pi);
    } else {
      RandomReal(x, std::max<std::int64_t>(33 - p, -300), 40);
    }
    if (IsEpsilon(x, 32)) continue;
    const std::string what = Describe(seed, it, x);
    Mpfr mx(p), es(p + 64), ec(p + 64);
    ToMpfr(mx, x);
    mpfr_sin_cos(es, ec, mx, MPFR_RNDN);
    TReal s, c;
    XSinCos(x, s, c);
    ExpectClose(s, es, "sin " + what);
    ExpectClose(c, ec, "cos " + what);
    if (HasFailure()) break;
  }
}

TEST_F(FloatFunctions, ArcTanMatchesMpfr) {
  const std::string seed = SeedRandom(0xA7A7);
  for (int it = 0; it < Iterations(300); ++it) {
    const std::int32_t p = RandomPrecision(64, 4000);
    TReal a;
    if (it % 5 == 0) {
      RandomReal(a, -p + 2, -2);  // next to ±1
      XAdd(a, TReal(std::int64_t{RuvRandom() % 2 ? 1 : -1}));
    } else {
      RandomReal(a, -300, 300);
    }
    const std::string what = Describe(seed, it, a);
    Mpfr ma(p), exact(p + 64);
    ToMpfr(ma, a);
    mpfr_atan(exact, ma, MPFR_RNDN);
    XArcTan(a);
    ExpectClose(a, exact, "atan " + what);
    if (HasFailure()) break;
  }
}

TEST_F(FloatFunctions, ArcTan2MatchesMpfr) {
  const std::string seed = SeedRandom(0xA7A2);
  for (int it = 0; it < Iterations(300); ++it) {
    const std::int32_t p = RandomPrecision(64, 4000);
    TReal y, x;
    RandomReal(y, -100, 100);
    RandomReal(x, y.Pos() - 40, y.Pos() + 40);
    if (it % 10 == 0) y.SetZero();
    if (it % 10 == 1) x.SetZero();
    const std::string what = Describe(seed, it, y) + " / " + Text(x);
    Mpfr my(p), mx(p), exact(p + 64);
    ToMpfr(my, y);
    ToMpfr(mx, x);
    mpfr_atan2(exact, my, mx, MPFR_RNDN);
    XArcTan2(y, x);
    if (mpfr_zero_p(exact)) {
      EXPECT_TRUE(y.IsZero()) << what;
    } else {
      ExpectClose(y, exact, "atan2 " + what);
    }
    if (HasFailure()) break;
  }
}

TEST_F(FloatFunctions, FunctionsHoldAtHighPrecision) {
  // Long series: many blocks of terms, many steps each.
  const std::string seed = SeedRandom(0x4161);
  for (int it = 0; it < Iterations(6); ++it) {
    const std::int32_t p = it % 2 ? 16384 : 9000;
    TFloat::SetPrecision(p);
    TReal x;
    RandomReal(x, -40, 6);
    const std::string what = Describe(seed, it, x);
    Mpfr mx(p), e1(p + 64), e2(p + 64);
    ToMpfr(mx, x);
    TReal y(x), s, c;
    XExp(y);
    mpfr_exp(e1, mx, MPFR_RNDN);
    ExpectClose(y, e1, "exp " + what);
    XSinCos(x, s, c);
    mpfr_sin_cos(e1, e2, mx, MPFR_RNDN);
    ExpectClose(s, e1, "sin " + what);
    ExpectClose(c, e2, "cos " + what);
    XAbs(x);
    ToMpfr(mx, x);
    XAssign(y, x);
    XLog(y);
    mpfr_log(e1, mx, MPFR_RNDN);
    ExpectClose(y, e1, "log " + what);
    XAssign(y, x);
    XArcTan(y);
    mpfr_atan(e1, mx, MPFR_RNDN);
    ExpectClose(y, e1, "atan " + what);
    if (HasFailure()) break;
  }
}

// Complex results: each part within a few units of the last kept bit of |w|
// (a part much smaller than |w| carries the absolute error of the whole).
void ExpectCloseComplex(const TComplex& got, mpc_srcptr exact, const std::string& what, double tol) {
  mpc_ptr e = const_cast<mpc_ptr>(exact);
  Mpfr mag(mpfr_get_prec(mpc_realref(e)));
  mpc_abs(mag, exact, MPFR_RNDN);
  const std::int64_t scale = mpfr_get_exp(mag);
  const double er = ScaledError(got.Re(), mpc_realref(e), scale);
  const double ei = ScaledError(got.Im(), mpc_imagref(e), scale);
  EXPECT_LE(er, tol) << what << " re\n got " << Text(got.Re()) << "\n exact " << Text(mpc_realref(e));
  EXPECT_LE(ei, tol) << what << " im\n got " << Text(got.Im()) << "\n exact " << Text(mpc_imagref(e));
  EXPECT_TRUE(InNormalForm(got.Re()) && InNormalForm(got.Im())) << what;
}

TEST_F(FloatFunctions, ComplexFunctionsMatchMpc) {
  const std::string seed = SeedRandom(0xC0C0);
  for (int it = 0; it < Iterations(150); ++it) {
    const std::int32_t p = RandomPrecision(64, 2000);
    TComplex z;
    RandomReal(z.Re(), -30, 8);
    RandomReal(z.Im(), z.Re().Pos() - 20, z.Re().Pos() + 20);
    if (it % 8 == 0) z.Im().SetZero();  // on the real axis, both sides of the cut
    const std::string what = seed + " it=" + std::to_string(it) + " P=" + std::to_string(p) +
                             " z=" + Text(z.Re()) + " + i·" + Text(z.Im());
    Mpc mz(p), exact(p + 64);
    ToMpc(mz, z);

    TComplex w(z);
    XExp(w);
    mpc_exp(exact, mz, MPC_RNDNN);
    ExpectCloseComplex(w, exact, "exp " + what, Tolerance);

    XAssign(w, z);
    XLog(w);
    mpc_log(exact, mz, MPC_RNDNN);
    ExpectCloseComplex(w, exact, "log " + what, Tolerance);

    // z^(a/b) = exp(log(z)·a/b) on the principal branch.
    const std::int32_t a = static_cast<std::int32_t>(RuvRandom() % 41) - 20;
    const std::int32_t b = static_cast<std::int32_t>(RuvRandom() % 12) + 1;
    Mpfr q(p + 128);
    mpfr_set_si(q, a, MPFR_RNDN);
    mpfr_div_si(q, q, b, MPFR_RNDN);
    XAssign(w, z);
    XPow(w, a, b);
    if (a == 0)
      mpc_set_ui(exact, 1, MPC_RNDNN);
    else
      mpc_pow_fr(exact, mz, q, MPC_RNDNN);
    ExpectCloseComplex(w, exact, "pow " + std::to_string(a) + "/" + std::to_string(b) + " " + what, Tolerance);

    XAssign(w, z);
    XRoot(w, b);
    mpfr_set_si(q, 1, MPFR_RNDN);
    mpfr_div_si(q, q, b, MPFR_RNDN);
    mpc_pow_fr(exact, mz, q, MPC_RNDNN);
    ExpectCloseComplex(w, exact, "root " + std::to_string(b) + " " + what, Tolerance);

    // Integer powers work at P without guard bits: each product adds its
    // truncation, so allow a unit per multiplication.
    const std::int32_t n = static_cast<std::int32_t>(RuvRandom() % 61) - 30;
    XAssign(w, z);
    XPow(w, n);
    mpc_pow_si(exact, mz, n, MPC_RNDNN);
    ExpectCloseComplex(w, exact, "pow int " + std::to_string(n) + " " + what, 4.0 * (std::abs(n) + 2));
    if (HasFailure()) break;
  }
}

}  // namespace
}  // namespace rara::test
