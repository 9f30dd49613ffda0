// Randomised differential tests of integer addition, subtraction,
// multiplication, squaring and shifts against GMP, on operands of 0..300
// limbs, all sign combinations, aliasing, and sizes around the Karatsuba
// thresholds and splits.
#include <gtest/gtest.h>

#include <vector>

#include "integers/integers.h"
#include "integers/random.h"
#include "integers/thresholds.h"
#include "tests/integers/int_test_values.h"
#include "tests/support/gmp_support.h"
#include "tests/support/test_support.h"

namespace rara::test {
namespace {

#define EXPECT_SAME(a, m, inputs) \
  EXPECT_TRUE(SameAs(a, m)) << inputs << "\n got      " << LimbText(a) << "\n expected " << MpzText(m)

std::string Inputs(const TInteger& a, const TInteger& b) {
  return "A=" + LimbText(a) + "\n B=" + LimbText(b);
}

TEST(IntegerArith, AddSubAllSignsAndSizes) {
  std::string seed = SeedRandom(101);
  for (int it = 0; it < Iterations(3000); ++it) {
    TInteger a, b;
    RandomInteger(a, RandomSize(300));
    RandomInteger(b, RuvRandom() % 4 == 0 ? a.Size() : RandomSize(300));
    if (RuvRandom() % 8 == 0) IAssign(b, a);  // equal magnitudes
    if (RuvRandom() % 8 == 0) INeg(b);
    Mpz ma(a), mb(b), r;
    std::string in = seed + " it=" + std::to_string(it) + "\n " + Inputs(a, b);
    TInteger s(a);
    IAdd(s, b);
    mpz_add(r, ma, mb);
    EXPECT_SAME(s, r, "IAdd " + in);
    TInteger d(a);
    ISub(d, b);
    mpz_sub(r, ma, mb);
    EXPECT_SAME(d, r, "ISub " + in);
    EXPECT_EQ(ICmp(a, b), mpz_cmp(ma, mb) > 0 ? 1 : (mpz_cmp(ma, mb) < 0 ? -1 : 0)) << in;
    EXPECT_EQ(ICmpAbs(a, b), mpz_cmpabs(ma, mb) > 0 ? 1 : (mpz_cmpabs(ma, mb) < 0 ? -1 : 0)) << in;
    EXPECT_EQ(IEqual(a, b), mpz_cmp(ma, mb) == 0) << in;
    if (HasFailure()) return;
  }
}

TEST(IntegerArith, MulAndSqrAgainstGmp) {
  std::string seed = SeedRandom(102);
  for (int it = 0; it < Iterations(1500); ++it) {
    TInteger a, b;
    RandomInteger(a, RandomSize(300));
    RandomInteger(b, RandomSize(300));
    Mpz ma(a), mb(b), r;
    std::string in = seed + " it=" + std::to_string(it) + "\n " + Inputs(a, b);
    TInteger p(a);
    IMul(p, b);
    mpz_mul(r, ma, mb);
    EXPECT_SAME(p, r, "IMul " + in);
    TInteger q(a);
    ISqr(q);
    mpz_mul(r, ma, ma);
    EXPECT_SAME(q, r, "ISqr " + in);
    if (HasFailure()) return;
  }
}

// Sizes on both sides of both thresholds, the three split cases of the
// recursion, unbalanced operands, and carry-heavy limb patterns.
TEST(IntegerArith, MulAroundThresholdsAndSplits) {
  std::string seed = SeedRandom(103);
  const std::int32_t m = KaratsubaMulThreshold, s = KaratsubaSqrThreshold;
  const std::vector<std::pair<int, int>> shapes = {
      {m, m},         {m + 1, m + 1}, {m + 1, m},     {m - 1, m + 2}, {100, 60}, {100, 40},
      {60, 100},      {100, 51},      {100, 50},      {101, 50},      {50, 101}, {97, 49},
      {200, 200},     {300, 151},     {151, 300},     {256, 129},     {129, 256}, {300, 2},
      {2, 300},       {1, 300},       {2 * m + 1, m + 1}, {299, 300}, {257, 255}};
  for (auto [na, nb] : shapes) {
    for (int pattern = 0; pattern < 4; ++pattern) {
      TInteger a, b;
      PatternInteger(a, na, pattern);
      PatternInteger(b, nb, (pattern + 1) % 4);
      if (pattern & 1) INeg(a);
      if (pattern & 2) INeg(b);
      Mpz ma(a), mb(b), r;
      std::string in = seed + " na=" + std::to_string(na) + " nb=" + std::to_string(nb) +
                       " pattern=" + std::to_string(pattern) + "\n " + Inputs(a, b);
      TInteger p(a);
      IMul(p, b);
      mpz_mul(r, ma, mb);
      EXPECT_SAME(p, r, "IMul " + in);
    }
  }
  for (int n : {s - 1, s, s + 1, 2 * s, 2 * s + 1, 145, 150, 290, 300}) {
    for (int pattern = 0; pattern < 4; ++pattern) {
      TInteger a;
      PatternInteger(a, n, pattern);
      Mpz ma(a), r;
      TInteger q(a);
      ISqr(q);
      mpz_mul(r, ma, ma);
      EXPECT_SAME(q, r, "ISqr n=" + std::to_string(n) + " pattern=" + std::to_string(pattern) +
                            " A=" + LimbText(a));
      // Low half equal to the high half gives A1 - A0 = 0 in the recursion.
      TInteger e;
      PatternInteger(e, n / 2, pattern);
      TInteger f(e);
      IShl(f, 32 * (n - n / 2));
      IAdd(f, e);
      Mpz mf(f);
      IMul(f, f);
      mpz_mul(r, mf, mf);
      EXPECT_SAME(f, r, "ISqr balanced halves n=" + std::to_string(n));
    }
  }
}

// Small thresholds push the recursion deep on small operands.
TEST(IntegerArith, MulWithLowestThresholds) {
  std::string seed = SeedRandom(104);
  const std::int32_t s0 = KaratsubaSqrThreshold, m0 = KaratsubaMulThreshold;
  IKaratsubaThresholds(8, 8);
  for (int it = 0; it < Iterations(400); ++it) {
    TInteger a, b;
    RandomInteger(a, RandomSize(120));
    RandomInteger(b, RandomSize(120));
    Mpz ma(a), mb(b), r;
    TInteger p(a);
    IMul(p, b);
    mpz_mul(r, ma, mb);
    EXPECT_SAME(p, r, seed + " IMul it=" + std::to_string(it) + "\n " + Inputs(a, b));
    TInteger q(a);
    ISqr(q);
    mpz_mul(r, ma, ma);
    EXPECT_SAME(q, r, seed + " ISqr it=" + std::to_string(it) + "\n " + Inputs(a, b));
    if (HasFailure()) break;
  }
  IKaratsubaThresholds(s0, m0);
}

TEST(IntegerArith, Aliasing) {
  std::string seed = SeedRandom(105);
  for (int it = 0; it < Iterations(200); ++it) {
    TInteger a;
    RandomInteger(a, RandomSize(300));
    Mpz ma(a), r;
    std::string in = seed + " it=" + std::to_string(it) + " A=" + LimbText(a);
    TInteger x(a);
    IAdd(x, x);
    mpz_add(r, ma, ma);
    EXPECT_SAME(x, r, "IAdd(A,A) " + in);
    TInteger y(a);
    ISub(y, y);
    EXPECT_TRUE(y.IsZero() && !y.Negative() && y.Capacity() == 0) << in;
    TInteger z(a);
    IMul(z, z);
    mpz_mul(r, ma, ma);
    EXPECT_SAME(z, r, "IMul(A,A) " + in);
    if (HasFailure()) return;
  }
}

TEST(IntegerArith, Int64AndWordForms) {
  std::string seed = SeedRandom(106);
  const std::int64_t specials[] = {0, 1, -1, 2, 0xFFFFFFFFLL, -0xFFFFFFFFLL, 0x100000000LL,
                                   -0x100000000LL, INT64_MAX, INT64_MIN, INT64_MIN + 1};
  for (int it = 0; it < Iterations(600); ++it) {
    TInteger a;
    RandomInteger(a, RuvRandom() % 2 ? RandomSize(4) : RandomSize(40));
    std::int64_t n = it < 11 * 4 ? specials[it % 11]
                                 : static_cast<std::int64_t>((static_cast<std::uint64_t>(RuvRandom()) << 32) |
                                                             RuvRandom()) >>
                                       (RuvRandom() % 64);
    if (it % 4 == 1 && it < 44) a.SetInt64(specials[(it / 4 + 3) % 11]);
    Mpz ma(a), mn, r;
    mpz_set_si(mn, n);
    std::string in = seed + " it=" + std::to_string(it) + " A=" + LimbText(a) + " n=" + std::to_string(n);
    TInteger x(a);
    IAdd(x, n);
    mpz_add(r, ma, mn);
    EXPECT_SAME(x, r, "IAdd64 " + in);
    TInteger y(a);
    ISub(y, n);
    mpz_sub(r, ma, mn);
    EXPECT_SAME(y, r, "ISub64 " + in);
    TInteger z(a);
    IMul(z, n);
    mpz_mul(r, ma, mn);
    EXPECT_SAME(z, r, "IMul64 " + in);
    EXPECT_EQ(ICmp(a, n), mpz_cmp(ma, mn) > 0 ? 1 : (mpz_cmp(ma, mn) < 0 ? -1 : 0)) << in;
    EXPECT_EQ(IEqual(a, n), mpz_cmp(ma, mn) == 0) << in;
    TInteger c(n);
    EXPECT_SAME(c, mn, "Create " + in);
    std::uint32_t w = static_cast<std::uint32_t>(n);
    mpz_set_ui(mn, w);
    TInteger u(a);
    IAddWord(u, w);
    mpz_add(r, ma, mn);
    EXPECT_SAME(u, r, "IAddWord " + in);
    TInteger v(a);
    ISubWord(v, w);
    mpz_sub(r, ma, mn);
    EXPECT_SAME(v, r, "ISubWord " + in);
    TInteger t(a);
    IMulWord(t, w);
    mpz_mul(r, ma, mn);
    EXPECT_SAME(t, r, "IMulWord " + in);
    if (HasFailure()) return;
  }
}

TEST(IntegerArith, ShiftsAndCut) {
  std::string seed = SeedRandom(107);
  for (int it = 0; it < Iterations(1500); ++it) {
    TInteger a;
    RandomInteger(a, RandomSize(100));
    std::int32_t k = static_cast<std::int32_t>(RuvRandom() % (it % 3 == 0 ? 70 : 3500));
    Mpz ma(a), r, abs;
    mpz_abs(abs, ma);
    std::string in = seed + " it=" + std::to_string(it) + " A=" + LimbText(a) + " k=" + std::to_string(k);
    TInteger x(a);
    IShl(x, k);
    mpz_mul_2exp(r, abs, k);
    if (a.Negative()) mpz_neg(r, r);
    EXPECT_SAME(x, r, "IShl " + in);
    TInteger y(a);
    IShr(y, k);
    mpz_tdiv_q_2exp(r, ma, k);
    EXPECT_SAME(y, r, "IShr " + in);
    TInteger z(a);
    ICut(z, k);
    mpz_tdiv_r_2exp(r, ma, k);
    EXPECT_SAME(z, r, "ICut " + in);
    if (HasFailure()) return;
  }
}

}  // namespace
}  // namespace rara::test
