// Primality of words and integers, small factors and square roots modulo
// 2^N, against plain references and GMP.
#include <gtest/gtest.h>

#include <vector>

#include "integers/errors.h"
#include "integers/primes.h"
#include "integers/random.h"
#include "tests/support/gmp_support.h"
#include "tests/support/test_support.h"

namespace rara {
namespace {

using test::Mpz;

using test::MessageOf;

void FromDecimal(TInteger& a, const char* text) {
  Mpz m;
  mpz_set_str(m, text, 10);
  test::FromMpz(a, m);
}

// Strong probable-prime test written directly on GMP.
bool MpzSprp(const mpz_t n, unsigned long a) {
  Mpz d, x, nm1;
  mpz_sub_ui(nm1, n, 1);
  const mp_bitcnt_t s = mpz_scan1(nm1, 0);
  mpz_tdiv_q_2exp(d, nm1, s);
  mpz_set_ui(x, a);
  mpz_powm(x, x, d, n);
  if (mpz_cmp_ui(x.get(), 1) == 0 || mpz_cmp(x, nm1) == 0) return true;
  for (mp_bitcnt_t r = 1; r < s; ++r) {
    mpz_powm_ui(x, x, 2, n);
    if (mpz_cmp(x, nm1) == 0) return true;
  }
  return false;
}

// A random value of exactly `bits` bits from RuvRandom.
void RandomBits(TInteger& a, int bits) {
  a.Clear();
  for (int i = 0; i < (bits + 31) / 32; ++i) a.SetLong(static_cast<std::uint32_t>(i), RuvRandom());
  ICut(a, bits);
  a.SetBit(static_cast<std::uint32_t>(bits - 1), true);
}

std::vector<bool> PlainSieve(std::uint32_t limit) {
  std::vector<bool> prime(limit + 1, true);
  prime[0] = prime[1] = false;
  for (std::uint32_t n = 2; n * n <= limit; ++n)
    if (prime[n])
      for (std::uint32_t m = n * n; m <= limit; m += n) prime[m] = false;
  return prime;
}

TEST(IsPrimeWord, EveryNumberBelowAMillion) {
  const std::uint32_t limit = 1000000;
  const auto prime = PlainSieve(limit);
  TInteger a;
  for (std::uint32_t n = 0; n < limit; ++n) {
    ASSERT_EQ(IIsPrimeWord(n), prime[n]) << n;
    if (n % 2 == 1) {
      a.SetInt64(n);
      ASSERT_EQ(IIsPrime(a), prime[n]) << n;
    }
  }
}

TEST(IsPrimeWord, StrongPseudoprimesAndRandomWords) {
  // Strong pseudoprimes to 2; to 2 and 3; to 2, 3, 5; to 2, 3, 5, 7.
  for (std::uint32_t n : {2047u, 3277u, 4033u, 1373653u, 25326001u, 3215031751u}) {
    EXPECT_FALSE(IIsPrimeWord(n)) << n;
    TInteger a(n);
    EXPECT_TRUE(ISprp(a, 2)) << n;
  }
  EXPECT_TRUE(IIsPrimeWord(31));
  EXPECT_FALSE(IIsPrimeWord(1));
  EXPECT_TRUE(IIsPrimeWord(4294967291u));   // largest prime word
  EXPECT_FALSE(IIsPrimeWord(4294967295u));
  EXPECT_FALSE(IIsPrimeWord(65521u * 65519u));

  const std::string seed = test::SeedRandom(20240611);
  Mpz m;
  for (int i = 0; i < test::Iterations(200000); ++i) {
    const std::uint32_t w = RuvRandom() | 1u;
    mpz_set_ui(m, w);
    ASSERT_EQ(IIsPrimeWord(w), mpz_probab_prime_p(m, 25) != 0) << w << " " << seed;
  }
}

TEST(Sprp, AgainstGmp) {
  const std::string seed = test::SeedRandom(77);
  TInteger n;
  for (int i = 0; i < test::Iterations(400); ++i) {
    const int bits = 8 + static_cast<int>(RuvRandom() % 300);
    RandomBits(n, bits);
    n.SetBit(0, true);
    // Many twos in n - 1 reach the squaring tail.
    if (i % 3 == 0 && bits > 40) {
      ICut(n, bits - 30);
      IShl(n, 30);
      IInc(n);
    }
    if (i % 7 == 0) n.SetBit(0, false);   // even moduli take the plain path
    Mpz m(n);
    for (std::uint32_t a : {2u, 3u, 5u, 7u}) {
      if (ICmp(n, a) <= 0) continue;
      ASSERT_EQ(ISprp(n, a), MpzSprp(m, a)) << test::MpzText(m) << " a=" << a << " " << seed;
    }
  }
}

TEST(IsPrime, EdgesAndKnownValues) {
  TInteger a;
  a.SetInt64(-7);
  EXPECT_FALSE(IIsPrime(a));
  a.SetInt64(2);
  EXPECT_TRUE(IIsPrime(a));
  for (std::int64_t v : {0, 1, 4}) {
    a.SetInt64(v);
    EXPECT_FALSE(IIsPrime(a)) << v;
  }
  a.SetInt64((std::int64_t(1) << 61) - 1);
  EXPECT_TRUE(IIsPrime(a));
  FromDecimal(a, "618970019642690137449562111");   // 2^89 - 1
  EXPECT_TRUE(IIsPrime(a));
  FromDecimal(a, "4294967311");                    // smallest two-limb prime
  EXPECT_TRUE(IIsPrime(a));
  a.SetInt64(4294967296LL + 1);                    // 641 · 6700417
  EXPECT_FALSE(IIsPrime(a));
  a.SetInt64(std::int64_t(32771) * 32779 * 32783);
  EXPECT_FALSE(IIsPrime(a));

  // Composites without factors below 32768 that pass the strong tests to
  // 2 and 3 (and many more bases); the strong Lucas test rejects them.
  for (const char* text : {"341550071728321", "3825123056546413051", "318665857834031151167461",
                           "3317044064679887385961981"}) {
    FromDecimal(a, text);
    EXPECT_EQ(ISmallestFactor(a), 1u) << text;
    EXPECT_TRUE(ISprp(a, 2) && ISprp(a, 3)) << text;
    EXPECT_FALSE(IIsPrime(a)) << text;
  }
}

TEST(IsPrime, MultiLimbAgainstGmp) {
  const std::string seed = test::SeedRandom(4242);
  TInteger a, b;
  Mpz m, p, q;
  for (int i = 0; i < test::Iterations(300); ++i) {
    const int bits = 33 + static_cast<int>(RuvRandom() % 400);
    RandomBits(a, bits);
    test::ToMpz(m, a);
    switch (i % 3) {
      case 0:   // random odd
        a.SetBit(0, true);
        test::ToMpz(m, a);
        break;
      case 1:   // the next prime
        mpz_nextprime(m, m);
        test::FromMpz(a, m);
        break;
      default:  // a product of two primes above the trial division range
        RandomBits(b, 16 + bits / 2);
        test::ToMpz(p, b);
        mpz_nextprime(p, p);
        mpz_nextprime(q, p);
        mpz_mul(m, p, q);
        test::FromMpz(a, m);
        break;
    }
    ASSERT_EQ(IIsPrime(a), mpz_probab_prime_p(m, 30) != 0) << test::MpzText(m) << " " << seed;
  }
  // Carmichael numbers with large factors: (6k+1)(12k+1)(18k+1).
  for (std::uint64_t k = 6000; k < 6000u + static_cast<std::uint64_t>(test::Iterations(3000)); ++k) {
    mpz_set_ui(p, 6 * k + 1);
    if (!mpz_probab_prime_p(p, 25)) continue;
    mpz_set_ui(q, 12 * k + 1);
    if (!mpz_probab_prime_p(q, 25)) continue;
    mpz_set_ui(m, 18 * k + 1);
    if (!mpz_probab_prime_p(m, 25)) continue;
    mpz_mul(m, m, p);
    mpz_mul(m, m, q);
    test::FromMpz(a, m);
    ASSERT_FALSE(IIsPrime(a)) << test::MpzText(m);
  }
}

TEST(SmallestFactor, AgainstTrialDivision) {
  TInteger a;
  for (std::int64_t v : {0, 1, -1}) {
    a.SetInt64(v);
    EXPECT_EQ(ISmallestFactor(a), 1u) << v;
  }
  a.SetInt64(-15);
  EXPECT_EQ(ISmallestFactor(a), 3u);
  a.SetInt64(-1024);
  EXPECT_EQ(ISmallestFactor(a), 2u);
  a.SetInt64(32749);
  EXPECT_EQ(ISmallestFactor(a), 32749u);
  a.SetInt64(std::int64_t(32749) * 32749 * 32749);
  EXPECT_EQ(ISmallestFactor(a), 32749u);
  a.SetInt64(std::int64_t(32771) * 32779);
  EXPECT_EQ(ISmallestFactor(a), 1u);

  const std::string seed = test::SeedRandom(99);
  Mpz m;
  for (int i = 0; i < test::Iterations(300); ++i) {
    RandomBits(a, 20 + static_cast<int>(RuvRandom() % 500));
    a.SetBit(0, true);
    if (i % 2 == 0) IMulWord(a, SmallPrimes[2 + RuvRandom() % (SmallPrimeCount - 1)]);
    if (i % 5 == 0) INeg(a);
    test::ToMpz(m, a);
    std::uint32_t expect = 1;
    for (int k = 2; k <= SmallPrimeCount; ++k)
      if (mpz_divisible_ui_p(m, SmallPrimes[k])) {
        expect = SmallPrimes[k];
        break;
      }
    ASSERT_EQ(ISmallestFactor(a), expect) << test::MpzText(m) << " " << seed;
  }
}

// ---- ISmallFactors ----

std::vector<std::uint32_t> Words(const TInteger& a) {
  std::vector<std::uint32_t> w;
  for (std::int32_t i = 0; i < a.Size(); ++i) w.push_back(a.Long(static_cast<std::uint32_t>(i)));
  return w;
}

TEST(SmallFactors, ExamplesAndChecks) {
  TInteger a(360), f, e;
  ISmallFactors(a, f, &e, 3);
  EXPECT_EQ(Words(f), (std::vector<std::uint32_t>{2, 3}));
  EXPECT_EQ(Words(e), (std::vector<std::uint32_t>{3, 2}));
  EXPECT_TRUE(IEqual(a, 5));

  a.SetInt64(35);
  ISmallFactors(a, f, &e, 3);
  EXPECT_TRUE(f.IsZero());
  EXPECT_TRUE(e.IsOne());
  EXPECT_TRUE(IEqual(a, 35));

  a.SetInt64(-96);   // the sign stays with the cofactor; Bound 2 stops after the twos
  ISmallFactors(a, f, nullptr, 2);
  EXPECT_EQ(Words(f), (std::vector<std::uint32_t>{2}));
  EXPECT_TRUE(IEqual(a, -3));
  a.SetInt64(0);
  ISmallFactors(a, f, &e, 100);
  EXPECT_TRUE(f.IsZero() && e.IsOne() && a.IsZero());
  a.SetInt64(-1);
  ISmallFactors(a, f, &e, 100);
  EXPECT_TRUE(f.IsOne() && e.IsOne() && a.IsMinusOne());

  const std::string low = "ISmallFactors\r\nInvalid parameter\r\nBound should be greater than 1";
  EXPECT_EQ(MessageOf<ERuvInvalidArg>([&] { ISmallFactors(a, f, &e, 1); }), low);
  EXPECT_EQ(MessageOf<ERuvInvalidArg>([&] { ISmallFactors(a, f, &e, -5); }), low);
  EXPECT_EQ(MessageOf<ERuvInvalidArg>([&] { ISmallFactors(a, f, &e, 0x40000001); }),
            "ISmallFactors\r\nInvalid parameter\r\nBound should be less than 1073741825");
  const std::string dup = "ISmallFactors\r\nA,F,E must point to distinct objects";
  EXPECT_EQ(MessageOf<ERuvDuplicatePtr>([&] { ISmallFactors(a, a, &e, 10); }), dup);
  EXPECT_EQ(MessageOf<ERuvDuplicatePtr>([&] { ISmallFactors(a, f, &a, 10); }), dup);
  EXPECT_EQ(MessageOf<ERuvDuplicatePtr>([&] { ISmallFactors(a, f, &f, 10); }), dup);
  TPrimeList list;
  EXPECT_EQ(MessageOf<ERuvDuplicatePtr>([&] { ISmallFactors(a, f, &f, list); }), dup);
}

// Trial division reference: factors <= bound, in order, with exponents.
void ReferenceFactors(mpz_t m, std::uint32_t bound, std::vector<std::uint32_t>& f,
                      std::vector<std::uint32_t>& e) {
  f.clear();
  e.clear();
  for (std::uint32_t p = 2; p <= bound && mpz_cmpabs_ui(m, 1) != 0; ++p) {
    if (!mpz_divisible_ui_p(m, p)) continue;
    std::uint32_t k = 0;
    while (mpz_divisible_ui_p(m, p)) {
      mpz_divexact_ui(m, m, p);
      ++k;
    }
    f.push_back(p);   // only primes divide at this point
    e.push_back(k);
  }
}

TEST(SmallFactors, AgainstTrialDivision) {
  const std::string seed = test::SeedRandom(555);
  TInteger a, f, e, b, f2, e2;
  Mpz m;
  std::vector<std::uint32_t> rf, re;
  TPrimeList list;
  list.SetBound(40000);
  for (int i = 0; i < test::Iterations(60); ++i) {
    // Smooth part times a random cofactor, sometimes negative.
    RandomBits(a, 10 + static_cast<int>(RuvRandom() % 200));
    for (int k = 0; k < 6; ++k) {
      const std::uint32_t p = list.PrimeAt(1 + static_cast<std::int32_t>(RuvRandom() % list.Count()));
      for (std::uint32_t j = RuvRandom() % 3; j > 0; --j) IMulWord(a, p);
    }
    if (i % 4 == 0) INeg(a);
    const std::uint32_t bound = i % 10 == 0 ? 40000 : 2 + RuvRandom() % 33000;
    test::ToMpz(m, a);
    ReferenceFactors(m, bound, rf, re);

    IAssign(b, a);
    ISmallFactors(a, f, &e, static_cast<std::int32_t>(bound));
    ASSERT_TRUE(test::SameAs(a, m)) << "bound=" << bound << " " << seed;
    if (rf.empty()) {
      ASSERT_TRUE(f.IsZero() && e.IsOne()) << seed;
    } else {
      ASSERT_EQ(Words(f), rf) << seed;
      ASSERT_EQ(Words(e), re) << seed;
    }
    // The list form over all primes <= 40000 agrees with Bound 40000.
    if (bound == 40000) {
      ISmallFactors(b, f2, &e2, list);
      ASSERT_TRUE(IEqual(b, a) && IEqual(f2, f) && IEqual(e2, e)) << seed;
    }
  }
}

// ---- ISqrRootMod2N ----

TEST(SqrRootMod2N, ExamplesChecksAndRandom) {
  TInteger a(17);
  ISqrRootMod2N(a, 10);
  EXPECT_TRUE(IEqual(a, 233));
  a.SetInt64(9);
  ISqrRootMod2N(a, 3);
  EXPECT_TRUE(IEqual(a, 1));
  const std::string bad = "ISqrRootMod2N\r\nInvalid parameter\r\n(A < 0) or (A <> 1 modulo 8)";
  for (std::int64_t v : {5, 0, -7, 3}) {
    a.SetInt64(v);
    EXPECT_EQ(MessageOf<ERuvInvalidArg>([&] { ISqrRootMod2N(a, 10); }), bad) << v;
  }
  a.SetInt64(17);
  EXPECT_EQ(MessageOf<ERuvInvalidArg>([&] { ISqrRootMod2N(a, 2); }),
            "ISqrRootMod2N\r\nInvalid parameter\r\nN < 3");

  // r odd, 0 < r <= 2^(N-2) (the least of the four roots) and r² = A mod 2^N.
  const std::string seed = test::SeedRandom(31337);
  Mpz in, r, sq, limit, mod;
  for (int i = 0; i < test::Iterations(400); ++i) {
    const int n = 3 + static_cast<int>(RuvRandom() % (i < 200 ? 70 : 700));
    RandomBits(a, 3 + static_cast<int>(RuvRandom() % (n + 40)));
    a.SetBit(0, true);
    a.SetBit(1, false);
    a.SetBit(2, false);
    test::ToMpz(in, a);
    ISqrRootMod2N(a, n);
    test::ToMpz(r, a);
    mpz_ui_pow_ui(mod, 2, static_cast<unsigned long>(n));
    mpz_ui_pow_ui(limit, 2, static_cast<unsigned long>(n - 2));
    ASSERT_TRUE(mpz_odd_p(r.get()) && mpz_sgn(r.get()) > 0 && mpz_cmp(r, limit) <= 0)
        << test::MpzText(in) << " n=" << n << " " << seed;
    mpz_mul(sq, r, r);
    mpz_sub(sq, sq, in);
    ASSERT_TRUE(mpz_divisible_p(sq, mod)) << test::MpzText(in) << " n=" << n << " " << seed;
  }
}

}  // namespace
}  // namespace rara
