// Division family, word division, square root and word gcd, against GMP.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <numeric>
#include <string>

#include "integers/break.h"
#include "integers/errors.h"
#include "integers/integers.h"
#include "tests/integers/div_test_values.h"
#include "tests/support/gmp_support.h"
#include "tests/support/test_support.h"

namespace rara {
namespace {

using test::Mpz;
using test::RandomInteger;
using test::MpzText;
using test::SameAs;

std::string Text(const TInteger& a) { return MpzText(Mpz(a)); }

using test::MessageOf;

// All four TInteger forms of the family against GMP's truncating and
// flooring divisions; b non-zero.
void CheckFamily(const TInteger& a, const TInteger& b) {
  SCOPED_TRACE("a=" + Text(a) + " b=" + Text(b));
  Mpz ma(a), mb(b), q, r;
  mpz_tdiv_qr(q, r, ma, mb);
  {
    TInteger x(a);
    const bool exact = IDiv(x, b);
    EXPECT_TRUE(SameAs(x, q)) << "IDiv gave " << Text(x);
    EXPECT_EQ(exact, mpz_sgn(r.get()) == 0);
  }
  {
    TInteger x(a), y(b);
    IRemDiv(x, y);
    EXPECT_TRUE(SameAs(x, r)) << "IRemDiv remainder " << Text(x);
    EXPECT_TRUE(SameAs(y, q)) << "IRemDiv quotient " << Text(y);
  }
  mpz_fdiv_qr(q, r, ma, mb);
  {
    TInteger x(a);
    IMod(x, b);
    EXPECT_TRUE(SameAs(x, r)) << "IMod gave " << Text(x);
  }
  {
    TInteger x(a), y(b);
    IModDiv(x, y);
    EXPECT_TRUE(SameAs(x, r)) << "IModDiv remainder " << Text(x);
    EXPECT_TRUE(SameAs(y, q)) << "IModDiv quotient " << Text(y);
  }
}

// The Int64 forms against GMP; n non-zero.
void CheckInt64Forms(const TInteger& a, std::int64_t n) {
  SCOPED_TRACE("a=" + Text(a) + " n=" + std::to_string(n));
  Mpz ma(a), mn, q, r;
  mpz_set_si(mn, n);
  mpz_tdiv_qr(q, r, ma, mn);
  TInteger x(a);
  const std::int64_t rem = IDiv(x, n);
  EXPECT_TRUE(SameAs(x, q)) << "IDiv gave " << Text(x);
  EXPECT_EQ(rem, mpz_get_si(r));
  mpz_fdiv_r(r, ma, mn);
  const TInteger before(a);
  EXPECT_EQ(IMod(a, n), mpz_get_si(r));
  EXPECT_TRUE(IEqual(a, before));
}

TEST(IntDivision, RoundingSignAndExactness) {
  TInteger a(7), b(-2);
  EXPECT_FALSE(IDiv(a, b));
  EXPECT_TRUE(IEqual(a, -3));
  a.SetInt64(-7);
  b.SetInt64(7);
  EXPECT_TRUE(IDiv(a, b));
  EXPECT_TRUE(IEqual(a, -1));
  a.SetInt64(3);
  EXPECT_FALSE(IDiv(a, b));
  EXPECT_TRUE(a.IsZero());
  EXPECT_FALSE(a.Negative());

  a.SetInt64(-7);
  EXPECT_EQ(IDiv(a, std::int64_t{2}), -1);
  EXPECT_TRUE(IEqual(a, -3));

  a.SetInt64(-7);
  b.SetInt64(3);
  IMod(a, b);
  EXPECT_TRUE(IEqual(a, 2));
  a.SetInt64(7);
  b.SetInt64(-3);
  IMod(a, b);
  EXPECT_TRUE(IEqual(a, -2));
  a.SetInt64(6);
  IMod(a, b);
  EXPECT_TRUE(a.IsZero());
  EXPECT_FALSE(a.Negative());
  EXPECT_EQ(IMod(TInteger(-7), 3), 2);
  EXPECT_EQ(IMod(TInteger(7), -3), -2);

  a.SetInt64(-7);
  b.SetInt64(2);
  IRemDiv(a, b);
  EXPECT_TRUE(IEqual(a, -1));
  EXPECT_TRUE(IEqual(b, -3));
  a.SetInt64(-7);
  b.SetInt64(2);
  IModDiv(a, b);
  EXPECT_TRUE(IEqual(a, 1));
  EXPECT_TRUE(IEqual(b, -4));

  // The same object on both sides where that is allowed.
  a.SetInt64(-123456789012345);
  EXPECT_TRUE(IDiv(a, a));
  EXPECT_TRUE(IEqual(a, 1));
  a.SetInt64(-123456789012345);
  IMod(a, a);
  EXPECT_TRUE(a.IsZero());
}

TEST(IntDivision, ZeroDivisorAndSameObjectErrors) {
  TInteger a(5), zero;
  EXPECT_EQ(MessageOf<ERuvDivByZero>([&] { IDiv(a, zero); }), "IDiv\r\nDivision by 0");
  EXPECT_EQ(MessageOf<ERuvDivByZero>([&] { IDiv(a, std::int64_t{0}); }), "IDiv\r\nDivision by 0");
  EXPECT_EQ(MessageOf<ERuvDivByZero>([&] { IMod(a, zero); }), "IMod\r\nDivision by 0");
  EXPECT_EQ(MessageOf<ERuvDivByZero>([&] { IMod(a, std::int64_t{0}); }), "IMod\r\nDivision by 0");
  EXPECT_EQ(MessageOf<ERuvDivByZero>([&] { IRemDiv(a, zero); }), "IRemDiv\r\nDivision by 0");
  EXPECT_EQ(MessageOf<ERuvDivByZero>([&] { IModDiv(a, zero); }), "IModDiv\r\nDivision by 0");
  // A zero word divisor is refused instead of trapping in the processor.
  EXPECT_EQ(MessageOf<ERuvDivByZero>([&] { IDivWord(a, 0); }), "IDivWord\r\nDivision by 0");
  EXPECT_EQ(MessageOf<ERuvDivByZero>([&] { IModWord(a, 0); }), "IModWord\r\nDivision by 0");
  // A zero dividend still needs a divisor.
  TInteger z;
  EXPECT_THROW(IDiv(z, zero), ERuvDivByZero);
  EXPECT_TRUE(IEqual(a, 5));

  EXPECT_EQ(MessageOf<ERuvDuplicatePtr>([&] { IRemDiv(a, a); }),
            "IRemDiv\r\nA,B must point to distinct objects");
  EXPECT_EQ(MessageOf<ERuvDuplicatePtr>([&] { IModDiv(a, a); }),
            "IModDiv\r\nA,B must point to distinct objects");
  // The same-object check comes before the zero check.
  EXPECT_THROW(IRemDiv(zero, zero), ERuvDuplicatePtr);
  EXPECT_TRUE(IEqual(a, 5));
}

TEST(IntDivision, RandomAllSizesAndSigns) {
  const std::string seed = test::SeedRandom(0xD1F15104);
  SCOPED_TRACE(seed);
  TInteger a, b;
  const int rounds = test::Iterations(3);
  for (int round = 0; round < rounds; ++round) {
    for (int nb = 1; nb <= 12; ++nb) {
      for (int na = nb > 1 ? nb - 1 : 0; na <= nb + 10; ++na) {
        const bool edgy = (na + round) % 2 == 0;
        RandomInteger(a, na, edgy, true);
        RandomInteger(b, nb, edgy, true);
        CheckFamily(a, b);
      }
    }
    for (int k = 0; k < 6; ++k) {
      const int nb = 30 + static_cast<int>(RuvRandom() % 90);
      RandomInteger(a, nb + static_cast<int>(RuvRandom() % 150), k % 2 == 0, true);
      RandomInteger(b, nb, k % 2 == 0, true);
      CheckFamily(a, b);
    }
    if (::testing::Test::HasFailure()) return;
  }
}

// Equal magnitudes, and dividends just below, at and above multiples of
// the divisor with quotients next to limb boundaries.
TEST(IntDivision, QuotientsAtLimbBoundaries) {
  const std::string seed = test::SeedRandom(0xB0B0);
  SCOPED_TRACE(seed);
  TInteger a, b;
  for (int nb = 1; nb <= 5; ++nb) {
    for (int k = 0; k <= 3; ++k) {
      for (int delta = -1; delta <= 1; ++delta) {
        for (int rem = 0; rem < 3; ++rem) {
          RandomInteger(b, nb, true, false);
          Mpz q, x, mb(b);
          mpz_setbit(q, static_cast<mp_bitcnt_t>(32 * k));
          if (delta < 0) mpz_sub_ui(q, q, 1); else mpz_add_ui(q, q, static_cast<unsigned long>(delta));
          mpz_mul(x, q, mb);
          if (rem == 1) mpz_add_ui(x, x, 1);
          if (rem == 2) { mpz_add(x, x, mb); mpz_sub_ui(x, x, 1); }
          test::FromMpz(a, x);
          for (int signs = 0; signs < 4; ++signs) {
            a.SetNegative(signs & 1);
            b.SetNegative(signs & 2);
            CheckFamily(a, b);
          }
        }
      }
    }
  }
}

// Divisors whose top limbs send the quotient estimate through its
// correction steps and the subtraction through the add-back step.
TEST(IntDivision, EstimateCorrectionAndAddBack) {
  TInteger a, b;
  test::SetLimbs(a, {0, 0, 0x80000000u, 0x7FFFFFFFu});
  test::SetLimbs(b, {1, 0, 0x80000000u});
  CheckFamily(a, b);
  test::SetLimbs(a, {3, 0, 0x80000000u});
  test::SetLimbs(b, {1, 0, 0x20000000u});
  CheckFamily(a, b);
  test::SetLimbs(a, {0, 0xFFFE, 0x8000});
  test::SetLimbs(b, {0xFFFF, 0x8000});
  CheckFamily(a, b);
  test::SetLimbs(a, {0, 0, 0x7FFF8000u, 0x7FFFFFFFu});
  test::SetLimbs(b, {0xFFFFFFFFu, 0x7FFF8000u});
  CheckFamily(a, b);
  test::SetLimbs(a, {0x89ABCDEFu, 0x01234567u, 0, 0, 0x80000000u});
  test::SetLimbs(b, {0xFFFFFFFFu, 0xFFFFFFFFu, 0x80000000u});
  CheckFamily(a, b);

  // Edge limbs under a top limb of 0x80000000 (or just below a shift).
  const std::string seed = test::SeedRandom(0xADDBAC);
  SCOPED_TRACE(seed);
  const int count = test::Iterations(1500);
  for (int i = 0; i < count; ++i) {
    const int nb = 2 + i % 5;
    RandomInteger(b, nb, true, true);
    b.Limbs()[nb - 1] = (i % 3 == 0) ? 0x40000000u : 0x80000000u;
    RandomInteger(a, nb + 1 + static_cast<int>(RuvRandom() % 4), true, true);
    CheckFamily(a, b);
    if (::testing::Test::HasFailure()) return;
  }
}

TEST(IntDivision, Int64Forms) {
  const std::string seed = test::SeedRandom(0x1264);
  SCOPED_TRACE(seed);
  const std::int64_t divisors[] = {1,
                                   -1,
                                   2,
                                   -2,
                                   7,
                                   0xFFFFFFFFll,
                                   -0xFFFFFFFFll,
                                   0x100000000ll,
                                   -0x100000000ll,
                                   0x123456789ABCll,
                                   std::numeric_limits<std::int64_t>::max(),
                                   std::numeric_limits<std::int64_t>::min(),
                                   std::numeric_limits<std::int64_t>::min() + 1};
  TInteger a;
  for (int na = 0; na <= 6; ++na) {
    for (int k = 0; k < test::Iterations(4); ++k) {
      RandomInteger(a, na, k % 2 == 0, true);
      for (std::int64_t n : divisors) CheckInt64Forms(a, n);
      CheckInt64Forms(a, static_cast<std::int64_t>((static_cast<std::uint64_t>(RuvRandom()) << 32) | RuvRandom()));
      CheckInt64Forms(a, -static_cast<std::int64_t>(1 + RuvRandom() % 1000));
    }
  }
  // A divisor of several limbs leaves a zero quotient and the remainder.
  a.SetInt64(-5);
  EXPECT_EQ(IDiv(a, std::numeric_limits<std::int64_t>::min()), -5);
  EXPECT_TRUE(a.IsZero());
}

TEST(IntDivision, WordKernels) {
  const std::string seed = test::SeedRandom(0x30AD);
  SCOPED_TRACE(seed);
  TInteger a;
  for (int na = 0; na <= 20; ++na) {
    for (std::uint32_t w : {1u, 3u, 10u, 1000000000u, 0x80000000u, 0xFFFFFFFFu, RuvRandom() | 1u}) {
      RandomInteger(a, na, na % 2 == 0, true);
      SCOPED_TRACE("a=" + Text(a) + " w=" + std::to_string(w));
      Mpz ma(a), q, r;
      mpz_abs(ma, ma);
      mpz_tdiv_qr_ui(q, r, ma, w);
      if (a.Negative()) mpz_neg(q, q);
      EXPECT_EQ(IModWord(a, w), mpz_get_ui(r));
      EXPECT_EQ(IDivWord(a, w), mpz_get_ui(r));
      EXPECT_TRUE(SameAs(a, q)) << Text(a);
    }
  }
  // Storage follows the size down only at multiples of 8 limbs.
  a.Clear();
  a.SetLong(8, 1);
  a.SetLong(0, 5);
  ASSERT_EQ(a.Size(), 9);
  ASSERT_EQ(a.Capacity(), 16);
  IDivWord(a, 2);
  EXPECT_EQ(a.Size(), 8);
  EXPECT_EQ(a.Capacity(), 8);
  a.Clear();
  a.SetLong(9, 1);
  IDivWord(a, 2);
  EXPECT_EQ(a.Size(), 9);
  EXPECT_EQ(a.Capacity(), 16);
  a.SetInt64(-5);
  EXPECT_EQ(IDivWord(a, 7), 5u);
  EXPECT_TRUE(a.IsZero());
  EXPECT_FALSE(a.Negative());
}

TEST(IntDivision, SquareRoot) {
  TInteger a;
  a.SetInt64(-1);
  EXPECT_EQ(MessageOf<ERuvInvalidArg>([&] { ISqrRoot(a); }), "ISqrRoot\r\nInvalid parameter\r\nA < 0");
  EXPECT_TRUE(IEqual(a, -1));
  test::SetLimbs(a, {0xFFFFFFFFu, 0xFFFFFFFFu});
  ISqrRoot(a);
  EXPECT_TRUE(IEqual(a, 0xFFFFFFFFll));
  for (std::int64_t v = 0; v <= 300; ++v) {
    a.SetInt64(v);
    ISqrRoot(a);
    std::int64_t s = 0;
    while ((s + 1) * (s + 1) <= v) ++s;
    EXPECT_TRUE(IEqual(a, s)) << v;
  }
  test::SetLimbs(a, {0xFFFFFFFFu});
  ISqrRoot(a);
  EXPECT_TRUE(IEqual(a, 0xFFFF));

  const std::string seed = test::SeedRandom(0x5E7);
  SCOPED_TRACE(seed);
  for (int n = 1; n <= 40; ++n) {
    for (int k = 0; k < test::Iterations(3); ++k) {
      RandomInteger(a, n, k == 0, false);
      Mpz x(a), root;
      if (k == 1) mpz_mul(x, x, x);                                   // a perfect square
      if (k == 2) { mpz_mul(x, x, x); mpz_sub_ui(x, x, 1); }          // just below one
      test::FromMpz(a, x);
      SCOPED_TRACE("a=" + MpzText(x));
      mpz_sqrt(root, x);
      ISqrRoot(a);
      EXPECT_TRUE(SameAs(a, root)) << Text(a);
    }
  }
}

TEST(IntDivision, WordGcd) {
  EXPECT_EQ(IGcdWord(0, 0), 0u);
  EXPECT_EQ(IGcdWord(12, 0), 12u);
  EXPECT_EQ(IGcdWord(0, 12), 12u);
  EXPECT_EQ(IGcdWord(0xFFFFFFFFu, 0xFFFF0000u), 0xFFFFu);
  const std::string seed = test::SeedRandom(0x6CD);
  SCOPED_TRACE(seed);
  for (int i = 0; i < test::Iterations(2000); ++i) {
    const std::uint32_t x = RuvRandom() >> (RuvRandom() % 32), y = RuvRandom() >> (RuvRandom() % 32);
    ASSERT_EQ(IGcdWord(x, y), std::gcd(x, y)) << x << " " << y;
  }
}

// ---- Abort in the middle of a long division ----

// Ticks come every millisecond (TFastTicks), so the second one falls well
// inside the kernel however fast the machine is.
int TicksSeen = 0;
void AbortAtSecondTick() {
  if (++TicksSeen >= 2) RuvRequestAbort();
}

// Large enough that the kernel runs for several timer periods.
void MakeLongDivision(TInteger& a, TInteger& b) {
  test::SeedRandom(0xAB0127);
  RandomInteger(a, 64000, false, false);
  RandomInteger(b, 32000, false, true);
  TicksSeen = 0;
}

TEST(IntDivision, AbortClearsDividendAndQuotient) {
  TInteger a, b;
  MakeLongDivision(a, b);
  {
    test::TFastTicks fastTicks;
    TRuvBreakScope scope(&AbortAtSecondTick);
    EXPECT_THROW(IDiv(a, b), ERuvAbort);
  }
  EXPECT_TRUE(a.IsZero());
  EXPECT_FALSE(a.Negative());
  EXPECT_EQ(b.Size(), 32000);

  MakeLongDivision(a, b);
  {
    test::TFastTicks fastTicks;
    TRuvBreakScope scope(&AbortAtSecondTick);
    EXPECT_THROW(IRemDiv(a, b), ERuvAbort);
  }
  EXPECT_TRUE(a.IsZero());
  EXPECT_TRUE(b.IsZero());

  MakeLongDivision(a, b);
  {
    test::TFastTicks fastTicks;
    TRuvBreakScope scope(&AbortAtSecondTick);
    EXPECT_THROW(IMod(a, b), ERuvAbort);
  }
  EXPECT_TRUE(a.IsZero());

  // Nothing is left behind that would spoil the next division.
  a.SetInt64(1000001);
  b.SetInt64(1000);
  EXPECT_FALSE(IDiv(a, b));
  EXPECT_TRUE(IEqual(a, 1000));
}

}  // namespace
}  // namespace rara
