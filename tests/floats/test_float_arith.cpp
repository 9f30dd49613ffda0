// Sums, products, quotients and square roots against MPFR rounding toward
// zero: the results are exact before the one truncation, so they must match
// bit for bit, in normal form, at precisions from 128 to 4000 bits.
#include <gtest/gtest.h>

#include "tests/floats/float_oracle.h"
#include "tests/support/test_support.h"

namespace rara::test {
namespace {

class FloatArith : public ::testing::Test {
 protected:
  void TearDown() override { TFloat::SetPrecision(128); }
};

void ExpectSame(const TReal& got, mpfr_srcptr expected, const std::string& what) {
  TReal e;
  FromMpfr(e, expected);
  EXPECT_TRUE(XEqual(got, e) && InNormalForm(got))
      << what << "\n got      " << Text(got) << "\n expected " << Text(e);
}

TEST_F(FloatArith, MatchesMpfrTruncation) {
  const std::string seed = SeedRandom(0xF10A7);
  const int n = Iterations(400);
  for (int it = 0; it < n; ++it) {
    const std::int32_t p = RandomPrecision(64, 4000);
    TReal a, b;
    RandomReal(a, -300, 300);
    // b near a in magnitude most of the time, so that sums cancel and carry.
    if (RuvRandom() % 2)
      RandomReal(b, a.Pos() - 3, a.Pos() + 3);
    else
      RandomReal(b, a.Pos() - p - 8, a.Pos() + p + 8);
    const std::string what = seed + " it=" + std::to_string(it) + " P=" + std::to_string(p) +
                             "\n a=" + Text(a) + "\n b=" + Text(b);
    Mpfr ma(p), mb(p), r(p);
    ToMpfr(ma, a);
    ToMpfr(mb, b);

    // The sum is exact and truncated, unless the operands are more than P
    // bits apart: then the larger one stands.
    const std::int64_t d = std::llabs(a.Pos() - b.Pos());
    TReal s(a);
    XAdd(s, b);
    if (d <= p) {
      mpfr_add(r, ma, mb, MPFR_RNDZ);
      ExpectSame(s, r, "add " + what);
    } else {
      EXPECT_TRUE(XEqual(s, a.Pos() > b.Pos() ? a : b)) << "add far " << what;
    }
    TReal t(a);
    XSub(t, b);
    if (d <= p) {
      mpfr_sub(r, ma, mb, MPFR_RNDZ);
      ExpectSame(t, r, "sub " + what);
    }
    XAssign(t, a);
    XMul(t, b);
    mpfr_mul(r, ma, mb, MPFR_RNDZ);
    ExpectSame(t, r, "mul " + what);
    XAssign(t, a);
    XDiv(t, b);
    mpfr_div(r, ma, mb, MPFR_RNDZ);
    ExpectSame(t, r, "div " + what);
    XAssign(t, a);
    XSqr(t);
    mpfr_sqr(r, ma, MPFR_RNDZ);
    ExpectSame(t, r, "sqr " + what);
    XAssign(t, a);
    XInv(t);
    mpfr_ui_div(r, 1, ma, MPFR_RNDZ);
    ExpectSame(t, r, "inv " + what);
    XAssign(t, a);
    XAbs(t);
    XSqrRoot(t);
    mpfr_abs(r, ma, MPFR_RNDN);
    mpfr_sqrt(r, r, MPFR_RNDZ);
    ExpectSame(t, r, "sqrt " + what);
    const std::int64_t divisors[] = {3, -7, 1000000007, -(std::int64_t{1} << 62) + 12345, INT64_MIN,
                                     static_cast<std::int64_t>(RuvRandom()) << 20 | 1};
    const std::int64_t k = divisors[RuvRandom() % 6];
    XAssign(t, a);
    XDiv(t, k);
    mpfr_div_si(r, ma, k, MPFR_RNDZ);  // k fits a long on this platform
    ExpectSame(t, r, "div int " + std::to_string(k) + " " + what);
    if (HasFailure()) break;
  }
}

TEST_F(FloatArith, OperandsOfOtherPrecisions) {
  // Values made at one precision and used at another are read exactly and
  // the result comes out with the new P bits.
  SeedRandom(77);
  for (int it = 0; it < Iterations(40); ++it) {
    const std::int32_t p1 = RandomPrecision(128, 1000);
    TReal a, b;
    RandomReal(a, -50, 50);
    RandomReal(b, -50, 50);
    // First operands made at p1 too: a copy at p2 would already truncate.
    TReal mul(a), div(a), add(a), root(a);
    XAbs(root);
    const std::int32_t p2 = RandomPrecision(128, 1000);
    const std::string what = " p1=" + std::to_string(p1) + " p2=" + std::to_string(p2);
    Mpfr ma(p1), mb(p1), r(p2);
    ToMpfr(ma, a);
    ToMpfr(mb, b);
    XMul(mul, b);
    mpfr_mul(r, ma, mb, MPFR_RNDZ);
    ExpectSame(mul, r, "mul" + what);
    XDiv(div, b);
    mpfr_div(r, ma, mb, MPFR_RNDZ);
    ExpectSame(div, r, "div" + what);
    if (std::llabs(a.Pos() - b.Pos()) <= p2) {
      XAdd(add, b);
      mpfr_add(r, ma, mb, MPFR_RNDZ);
      ExpectSame(add, r, "add" + what);
    }
    XSqrRoot(root);
    mpfr_abs(ma, ma, MPFR_RNDN);
    mpfr_sqrt(r, ma, MPFR_RNDZ);
    ExpectSame(root, r, "sqrt" + what);
    if (HasFailure()) break;
  }
}

TEST_F(FloatArith, SquareRootAtPerfectSquares) {
  // r² and r² - 1 at the edge of the floor: the root must be r and just below.
  SeedRandom(0x5157);
  for (int it = 0; it < Iterations(60); ++it) {
    const std::int32_t p = RandomPrecision(256, 8000);
    TInteger r;
    const std::int32_t words = p / 64 - (it % 2);
    for (std::int32_t i = 0; i < words; ++i) r.SetLong(i, RuvRandom());
    r.SetLong(words - 1, r.Long(words - 1) | 0x80000000u);
    TInteger sq(r);
    ISqr(sq);
    TReal a, root;
    XSet(a, sq);
    XSet(root, r);
    XSqrRoot(a);
    EXPECT_TRUE(XEqual(a, root)) << "P=" << p << " r=" << LimbText(r);
    IDec(sq);
    XSet(a, sq);
    XSqrRoot(a);
    EXPECT_TRUE(XCmp(a, root) < 0 && InNormalForm(a)) << "P=" << p << " r=" << LimbText(r);
    if (HasFailure()) break;
  }
}

TEST_F(FloatArith, ComplexProductsAndQuotients) {
  const std::string seed = SeedRandom(0xC0FFEE);
  for (int it = 0; it < Iterations(150); ++it) {
    const std::int32_t p = RandomPrecision(64, 2000);
    TComplex z, w;
    RandomReal(z.Re(), -20, 20);
    RandomReal(z.Im(), -20, 20);
    RandomReal(w.Re(), -20, 20);
    RandomReal(w.Im(), -20, 20);
    const std::string what = seed + " it=" + std::to_string(it) + " P=" + std::to_string(p);
    Mpc mz(p + 64), mw(p + 64), r(p + 64);
    ToMpc(mz, z);
    ToMpc(mw, w);
    auto check = [&](const TComplex& got, const char* op, int slack) {
      Mpfr mag(p + 64);
      mpc_abs(mag, r, MPFR_RNDN);
      const std::int64_t scale = mpfr_get_exp(mag);
      const double er = ScaledError(got.Re(), mpc_realref(static_cast<mpc_ptr>(r)), scale);
      const double ei = ScaledError(got.Im(), mpc_imagref(static_cast<mpc_ptr>(r)), scale);
      EXPECT_LE(er, slack) << op << " re " << what;
      EXPECT_LE(ei, slack) << op << " im " << what;
      EXPECT_TRUE(InNormalForm(got.Re()) && InNormalForm(got.Im())) << op << " " << what;
    };
    TComplex t(z);
    XMul(t, w);
    mpc_mul(r, mz, mw, MPC_RNDNN);
    check(t, "mul", 8);
    XAssign(t, z);
    XSqr(t);
    mpc_sqr(r, mz, MPC_RNDNN);
    check(t, "sqr", 8);
    XAssign(t, z);
    XDiv(t, w);
    mpc_div(r, mz, mw, MPC_RNDNN);
    check(t, "div", 16);
    XAssign(t, z);
    XInv(t);
    mpc_ui_div(r, 1, mz, MPC_RNDNN);
    check(t, "inv", 8);
    if (HasFailure()) break;
  }
}

}  // namespace
}  // namespace rara::test
