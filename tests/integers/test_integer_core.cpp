// Integer storage rules, properties, limits and their exact messages, the
// -2^63 argument, powering, rounding of shifts and cuts, the scratch pool
// (including other threads) and an abort in the middle of a multiplication.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "integers/break.h"
#include "integers/errors.h"
#include "integers/integers.h"
#include "integers/random.h"
#include "integers/secure_wipe.h"
#include "integers/settings.h"
#include "tests/integers/int_test_values.h"
#include "tests/support/gmp_support.h"
#include "tests/support/test_support.h"

namespace rara::test {
namespace {

using test::MessageOf;

bool Valid(const TInteger& a) {
  Mpz m(a);
  return SameAs(a, m);
}

std::string Hex(const TInteger& a) { return LimbText(a); }

// 2^bits - 1.
void Ones(TInteger& a, int bits) {
  a.SetOne();
  IShl(a, bits);
  IDec(a);
}

TEST(IntegerCore, StorageStepsAndRelease) {
  TInteger a;
  EXPECT_EQ(a.Capacity(), 0);
  EXPECT_EQ(a.Limbs(), nullptr);
  Ones(a, 256);  // 8 limbs
  EXPECT_EQ(a.Size(), 8);
  EXPECT_EQ(a.Capacity(), 8);
  IInc(a);  // 2^256: a ninth limb, capacity grows by one step
  EXPECT_EQ(a.Size(), 9);
  EXPECT_EQ(a.Capacity(), 16);
  EXPECT_TRUE(Valid(a));
  IDec(a);  // back to 8 limbs: a multiple of 8, so capacity follows
  EXPECT_EQ(a.Size(), 8);
  EXPECT_EQ(a.Capacity(), 8);
  Ones(a, 320);
  IInc(a);  // 2^320, 11 limbs
  IDec(a);  // 10 limbs: capacity stays
  EXPECT_EQ(a.Size(), 10);
  EXPECT_EQ(a.Capacity(), 16);
  EXPECT_TRUE(Valid(a));
  a.SetInt64(1);
  IDec(a);
  EXPECT_TRUE(a.IsZero());
  EXPECT_EQ(a.Capacity(), 0);
  IDec(a);
  EXPECT_TRUE(a.IsMinusOne());
  IInc(a);
  EXPECT_TRUE(a.IsZero() && !a.Negative());
  Ones(a, 1000);
  a.Clear();
  EXPECT_EQ(a.Capacity(), 0);
  EXPECT_EQ(a.Limbs(), nullptr);
  // Normalize lowers the capacity to the size rounded up to 8.
  Ones(a, 1000);
  IShr(a, 900);
  EXPECT_EQ(a.Capacity(), 8);
  EXPECT_TRUE(Valid(a));
}

TEST(IntegerCore, CopyAssignSwapKeepCapacity) {
  TInteger a, b;
  Ones(a, 1000);  // 32 limbs
  b.SetInt64(-5);
  TInteger c(a);
  EXPECT_EQ(c.Capacity(), a.Capacity());
  EXPECT_TRUE(IEqual(c, a));
  auto d = TInteger::Clone(b);
  EXPECT_TRUE(IEqual(*d, -5));
  IAssign(c, b);  // capacity follows the source
  EXPECT_EQ(c.Capacity(), 8);
  EXPECT_TRUE(IEqual(c, -5));
  EXPECT_TRUE(Valid(c));
  IAssign(c, a);
  EXPECT_EQ(c.Capacity(), 32);
  EXPECT_TRUE(IEqual(c, a));
  TInteger z;
  IAssign(c, z);
  EXPECT_EQ(c.Capacity(), 0);
  EXPECT_TRUE(c.IsZero());
  ISwap(a, b);
  EXPECT_TRUE(IEqual(a, -5));
  EXPECT_EQ(b.Size(), 32);
  IAssign(a, a);
  EXPECT_TRUE(IEqual(a, -5));
}

// With SecureWipe on, every block is replaced instead of reallocated; the
// values must not change.
TEST(IntegerCore, SecureWipeGivesSameResults) {
  std::string seed = SeedRandom(201);
  bool saved = SecureWipe;
  SecureWipe = true;
  for (int it = 0; it < Iterations(300); ++it) {
    TInteger a, b;
    RandomInteger(a, RandomSize(200));
    RandomInteger(b, RandomSize(200));
    Mpz ma(a), mb(b), r;
    std::string in = seed + " it=" + std::to_string(it) + " A=" + Hex(a) + " B=" + Hex(b);
    TInteger x(a);
    IMul(x, b);
    mpz_mul(r, ma, mb);
    EXPECT_TRUE(SameAs(x, r)) << in;
    IAssign(x, a);
    IAdd(x, b);
    mpz_add(r, ma, mb);
    EXPECT_TRUE(SameAs(x, r)) << in;
    IAssign(x, b);
    ISub(x, a);
    mpz_sub(r, mb, ma);
    EXPECT_TRUE(SameAs(x, r)) << in;
    IShr(x, 77);
    mpz_tdiv_q_2exp(r, r, 77);
    EXPECT_TRUE(SameAs(x, r)) << in;
    if (HasFailure()) break;
  }
  SecureWipe = saved;
}

// Every block a wipe hands back, and whether each was all zero by then.
struct TWipeLog {
  static inline std::vector<std::pair<const void*, std::size_t>> Blocks;
  static inline bool AllZero = true;
  static void Watch(const void* p, std::size_t bytes) {
    const auto* b = static_cast<const unsigned char*>(p);
    for (std::size_t i = 0; i < bytes; ++i) AllZero = AllZero && b[i] == 0;
    Blocks.emplace_back(p, bytes);
  }
  static bool Wiped(const void* block, std::size_t bytes) {
    for (auto [p, n] : Blocks)
      if (p == block && n >= bytes) return true;
    return false;
  }
};

// Under SecureWipe the limbs are zero before their block is released:
// destroyed, cleared, or left for a larger block, and the multiplication
// scratch too. Without it no block is touched.
TEST(IntegerCore, SecureWipeZeroesReleasedLimbs) {
  const bool saved = SecureWipe;
  wipe_detail::SetWipeWatch(&TWipeLog::Watch);
  TWipeLog::Blocks.clear();
  TWipeLog::AllZero = true;
  const std::vector<std::uint8_t> secret(160, 0xA5);  // 40 limbs
  SecureWipe = true;
  {
    auto a = std::make_unique<TInteger>();
    a->SetDigits(secret.data(), 160);
    const void* block = a->Limbs();
    IShl(*a, 100000);
    EXPECT_TRUE(TWipeLog::Wiped(block, 160)) << "moved";
    TInteger b(*a);
    block = a->Limbs();
    const std::size_t bytes = 4 * static_cast<std::size_t>(a->Size());
    a.reset();
    EXPECT_TRUE(TWipeLog::Wiped(block, bytes)) << "destroyed";
    block = b.Limbs();
    b.Clear();
    EXPECT_TRUE(TWipeLog::Wiped(block, bytes)) << "cleared";
    TWipeLog::Blocks.clear();
    TInteger x, y;
    x.SetDigits(secret.data(), 160);
    IShl(x, 200000);
    IAssign(y, x);
    IMul(x, y);
    EXPECT_FALSE(TWipeLog::Blocks.empty()) << "product";
  }
  EXPECT_TRUE(TWipeLog::AllZero);
  SecureWipe = false;
  TWipeLog::Blocks.clear();
  {
    TInteger c;
    c.SetDigits(secret.data(), 160);
    IShl(c, 100000);
    IMul(c, c);
  }
  EXPECT_TRUE(TWipeLog::Blocks.empty());
  wipe_detail::SetWipeWatch(nullptr);
  SecureWipe = saved;
}

// The most negative 64-bit value has magnitude 2^63; no routine may negate it
// in signed arithmetic.
TEST(IntegerCore, MostNegativeInt64) {
  const std::int64_t mn = INT64_MIN;
  TInteger a(mn);
  EXPECT_EQ(a.Size(), 2);
  EXPECT_EQ(a.Long(0), 0u);
  EXPECT_EQ(a.Long(1), 0x80000000u);
  EXPECT_TRUE(a.Negative());
  TInteger b;
  b.SetInt64(mn);
  EXPECT_TRUE(IEqual(a, b));
  EXPECT_TRUE(IEqual(a, mn));
  EXPECT_EQ(ICmp(a, mn), 0);
  EXPECT_EQ(ICmp(a, mn + 1), -1);
  TInteger big(INT64_MAX);
  EXPECT_EQ(ICmp(big, mn), 1);
  EXPECT_FALSE(IEqual(big, mn));
  IInc(big);  // 2^63 positive: same magnitude, other sign
  EXPECT_EQ(ICmp(big, mn), 1);
  EXPECT_FALSE(IEqual(big, mn));

  Mpz m, r, two63;
  mpz_set_si(m, mn);
  TInteger x(3);
  IMul(x, mn);
  mpz_mul_si(r, m, 3);
  EXPECT_TRUE(SameAs(x, r)) << Hex(x);
  x.SetInt64(-1);
  IMul(x, mn);  // 2^63
  mpz_ui_pow_ui(two63, 2, 63);
  EXPECT_TRUE(SameAs(x, two63)) << Hex(x);
  x.SetInt64(5);
  IAdd(x, mn);
  mpz_add_ui(r, m, 5);
  EXPECT_TRUE(SameAs(x, r)) << Hex(x);
  x.SetInt64(5);
  ISub(x, mn);
  mpz_add_ui(r, two63, 5);
  EXPECT_TRUE(SameAs(x, r)) << Hex(x);
  x.SetInt64(mn);
  ISub(x, mn);
  EXPECT_TRUE(x.IsZero() && !x.Negative());
}

TEST(IntegerCore, LimitsAndMessages) {
  const std::string shiftWhy = "\r\nInvalid parameter\r\n(Shift < 0) or (Shift > TInteger.MaxBitSize)";
  TInteger a(5);
  EXPECT_EQ(MessageOf<ERuvInvalidArg>([&] { IShl(a, -1); }), "IShl" + shiftWhy);
  EXPECT_EQ(MessageOf<ERuvInvalidArg>([&] { IShl(a, 0x60000001); }), "IShl" + shiftWhy);
  EXPECT_EQ(MessageOf<ERuvInvalidArg>([&] { IShr(a, -1); }), "IShr" + shiftWhy);
  EXPECT_EQ(MessageOf<ERuvInvalidArg>([&] { IShr(a, 0x60000001); }), "IShr" + shiftWhy);
  EXPECT_EQ(MessageOf<ERuvInvalidArg>([&] { ICut(a, -1); }),
            "ICut\r\nInvalid parameter\r\n(BitCount < 0) or (BitCount > TInteger.MaxBitSize)");
  // A legal shift whose result needs more than MaxLongSize limbs.
  EXPECT_EQ(MessageOf<ERuvSizeError>([&] { IShl(a, 0x60000000); }),
            "TInteger.SetMem (private)\r\nInvalid size specification");
  EXPECT_TRUE(IEqual(a, 5));
  IShr(a, 0x60000000);
  EXPECT_TRUE(a.IsZero());
  a.SetInt64(-5);
  ICut(a, 0x60000000);
  EXPECT_TRUE(IEqual(a, -5));

  EXPECT_EQ(MessageOf<ERuvIndexError>([&] { (void)a.Bit(0x60000000); }), "TInteger.Bit\r\nInvalid index");
  EXPECT_EQ(MessageOf<ERuvIndexError>([&] { a.SetBit(0x60000000, true); }), "TInteger.Bit\r\nInvalid index");
  EXPECT_EQ(MessageOf<ERuvIndexError>([&] { (void)a.Bit(0xFFFFFFFFu); }), "TInteger.Bit\r\nInvalid index");
  EXPECT_FALSE(a.Bit(0x5FFFFFFF));
  EXPECT_EQ(MessageOf<ERuvIndexError>([&] { (void)a.Long(0x3000000); }), "TInteger.Long\r\nInvalid index");
  EXPECT_EQ(MessageOf<ERuvIndexError>([&] { a.SetLong(0x3000000, 1); }), "TInteger.Long\r\nInvalid index");
  EXPECT_EQ(a.Long(0x2FFFFFF), 0u);
  EXPECT_EQ(MessageOf<ERuvIndexError>([&] { (void)a.Byte(0xC000000); }), "TInteger.Byte\r\nInvalid index");
  EXPECT_EQ(a.Byte(0xBFFFFFF), 0);

  // The size check comes before the buffer is read, so a small buffer will do.
  unsigned char small[8] = {1, 2, 3, 4, 5, 0, 0, 0};
  EXPECT_EQ(MessageOf<ERuvSizeError>([&] { a.SetDigits(small, 0xC000001); }),
            "TInteger.SetDigits\r\nInvalid size specification");
  EXPECT_EQ(MessageOf<ERuvSizeError>([&] { a.SetDigits(small, -1); }),
            "TInteger.SetDigits\r\nInvalid size specification");
  a.SetDigits(small, 8);  // trailing zero bytes are dropped
  EXPECT_EQ(a.Size(), 2);
  EXPECT_EQ(a.Long(0), 0x04030201u);
  EXPECT_EQ(a.Long(1), 5u);
  EXPECT_TRUE(Valid(a));
  a.SetDigits(small, 3);
  EXPECT_TRUE(IEqual(a, 0x030201));
  a.SetDigits(small, 0);
  EXPECT_TRUE(a.IsZero());
}

TEST(IntegerCore, PropertiesAgainstGmp) {
  std::string seed = SeedRandom(202);
  for (int it = 0; it < Iterations(300); ++it) {
    TInteger a;
    RandomInteger(a, RandomSize(20));
    Mpz m(a), abs;
    mpz_abs(abs, m);
    std::string in = seed + " it=" + std::to_string(it) + " A=" + Hex(a);
    std::int32_t bits = a.IsZero() ? 0 : static_cast<std::int32_t>(mpz_sizeinbase(abs, 2));
    EXPECT_EQ(a.BitSize(), bits) << in;
    EXPECT_EQ(a.ByteSize(), (bits + 7) / 8) << in;
    EXPECT_EQ(a.LowBit(), a.IsZero() ? -1 : static_cast<std::int32_t>(mpz_scan1(abs, 0))) << in;
    EXPECT_EQ(a.Sign(), mpz_sgn(m.get())) << in;
    EXPECT_EQ(a.IsOdd(), mpz_odd_p(abs.get()) != 0) << in;
    for (std::uint32_t i = 0; i < static_cast<std::uint32_t>(bits) + 40; i += 7) {
      EXPECT_EQ(a.Bit(i), mpz_tstbit(abs, i) != 0) << in << " bit " << i;
      Mpz q;
      mpz_tdiv_q_2exp(q, abs, 8 * (i / 8));
      EXPECT_EQ(a.Byte(i / 8), static_cast<std::uint8_t>(mpz_get_ui(q) & 0xFF)) << in << " byte " << i / 8;
    }
    // Clearing the top bit normalizes; setting a far bit grows.
    TInteger b(a);
    if (bits > 0) {
      b.SetBit(static_cast<std::uint32_t>(bits - 1), false);
      mpz_clrbit(abs, bits - 1);
      if (a.Negative()) mpz_neg(abs, abs);
      EXPECT_TRUE(SameAs(b, abs)) << in;
    }
    TInteger c(a);
    c.SetBit(1000, true);
    EXPECT_EQ(c.BitSize(), 1001) << in;
    EXPECT_EQ(c.Negative(), a.Negative()) << in;
    c.SetLong(31, 0);
    EXPECT_TRUE(Valid(c)) << in;
    EXPECT_EQ(c.Size(), a.Size()) << in;
    if (HasFailure()) return;
  }
  TInteger one(1), minusOne(-1), two(2);
  EXPECT_TRUE(one.IsOne() && one.IsAbsOne() && !one.IsMinusOne());
  EXPECT_TRUE(minusOne.IsMinusOne() && minusOne.IsAbsOne() && !minusOne.IsOne());
  EXPECT_FALSE(two.IsAbsOne());
  TInteger zero;
  EXPECT_FALSE(zero.IsOdd());
  INeg(zero);
  EXPECT_FALSE(zero.Negative());
  IAbs(minusOne);
  EXPECT_TRUE(minusOne.IsOne());
}

TEST(IntegerCore, ShiftAndCutRounding) {
  TInteger a(-5);
  IShr(a, 1);
  EXPECT_TRUE(IEqual(a, -2));
  a.SetInt64(-13);
  ICut(a, 2);
  EXPECT_TRUE(IEqual(a, -1));
  a.SetInt64(-12);
  ICut(a, 2);
  EXPECT_TRUE(a.IsZero() && !a.Negative());
  a.SetInt64(-7);
  ICut(a, 0);
  EXPECT_TRUE(a.IsZero() && !a.Negative());
  a.SetInt64(-1);
  IShr(a, 1);
  EXPECT_TRUE(a.IsZero() && !a.Negative());
  a.SetInt64(-3);
  EXPECT_TRUE(IShr1(a));
  EXPECT_TRUE(IEqual(a, -1));
  a.SetInt64(-48);
  EXPECT_EQ(IRemoveTwos(a), 4);
  EXPECT_TRUE(IEqual(a, -3));
  TInteger z;
  EXPECT_EQ(IRemoveTwos(z), -1);
}

TEST(IntegerCore, Powers) {
  struct Case {
    std::int64_t base;
    std::uint32_t e;
    std::int64_t want;
  };
  for (auto c : {Case{-3, 3, -27}, Case{-2, 2, 4}, Case{0, 0, 1}, Case{0, 5, 0}, Case{12, 5, 248832},
                 Case{-1, 7, -1}, Case{-1, 8, 1}, Case{-2, 3, -8}, Case{-8, 1, -8}, Case{1, 0xFFFFFFFFu, 1},
                 Case{7, 0, 1}, Case{-6, 5, -7776}}) {
    TInteger a(c.base);
    IPow(a, c.e);
    EXPECT_TRUE(IEqual(a, c.want)) << c.base << "^" << c.e << " gave " << Hex(a);
    EXPECT_TRUE(Valid(a));
  }
  std::string seed = SeedRandom(203);
  for (int it = 0; it < Iterations(100); ++it) {
    TInteger a;
    RandomInteger(a, RandomSize(6));
    if (it % 3 == 0) IShl(a, static_cast<std::int32_t>(RuvRandom() % 70));
    std::uint32_t e = RuvRandom() % 60;
    Mpz m(a), r;
    mpz_pow_ui(r, m, e);
    IPow(a, e);
    EXPECT_TRUE(SameAs(a, r)) << seed << " it=" << it << " e=" << e;
  }
  TInteger four(4);
  EXPECT_EQ(MessageOf<ERuvOverflow>([&] { IPow(four, 1u << 30); }), "IPow\r\nOverflow");
  TInteger two(2);
  EXPECT_EQ(MessageOf<ERuvInvalidArg>([&] { IPow(two, 0x7FFFFFFF); }),
            "IShl\r\nInvalid parameter\r\n(Shift < 0) or (Shift > TInteger.MaxBitSize)");
}

TEST(IntegerCore, PoolErrorsAndReuse) {
  { TUVInteger first; }  // registers this thread's pool, also when this case runs alone
  const auto& vars = TIntegerPool::ThreadVars();
  int used = vars.Used;
  TInteger stranger;
  EXPECT_EQ(MessageOf<ERuv>([&] { UVBack(&stranger); }), "Integers.UVBack: Unknown integer");
  UVBack(nullptr);
  TInteger x(-77);
  {
    TUVInteger c(x);
    EXPECT_TRUE(IEqual(*c, -77));
    TUVInteger z;
    EXPECT_TRUE(z->IsZero());
    EXPECT_NE(&*c, &*z);
    EXPECT_EQ(vars.Used, used + 2);
  }
  EXPECT_EQ(vars.Used, used);
  TInteger& t = UVGet();
  UVBack(&t);
  UVBack(&t);  // already free: harmless
  EXPECT_EQ(vars.Used, used);

  std::string fresh;
  std::thread([&] {
    try {
      TInteger y;
      UVBack(&y);
      fresh = "no error";
    } catch (const ERuv& e) {
      fresh = e.what();
    }
  }).join();
  EXPECT_EQ(fresh, "Integers.UVBack: UnitVars not registered");
}

// Two threads work through their own pools at once; each must get its own
// items and correct products.
TEST(IntegerCore, PoolOnTwoThreads) {
  std::atomic<int> failures{0};
  auto work = [&](std::uint64_t seed) {
    SeedRandom(seed);
    for (int it = 0; it < Iterations(150); ++it) {
      TInteger a, b;
      RandomInteger(a, RandomSize(200));
      RandomInteger(b, RandomSize(200));
      Mpz ma(a), mb(b), r;
      TUVInteger keep(a);
      IMul(a, b);
      IPow(b, 3);
      mpz_mul(r, ma, mb);
      if (!SameAs(a, r)) ++failures;
      mpz_pow_ui(r, mb, 3);
      if (!SameAs(b, r)) ++failures;
      if (!SameAs(*keep, ma)) ++failures;
    }
    if (TIntegerPool::ThreadVars().Used != 0) ++failures;
  };
  std::thread t1(work, 301), t2(work, 302);
  t1.join();
  t2.join();
  EXPECT_EQ(failures.load(), 0);
}

std::atomic<int> gPolls{0};
void AbortAtOnce() {
  ++gPolls;
  RuvRequestAbort();
}

// An abort raised inside a long multiplication leaves valid integers and
// gives every scratch integer back.
TEST(IntegerCore, AbortInsideMultiplication) {
  const auto& vars = TIntegerPool::ThreadVars();
  int used = vars.Used;
  TInteger a, b;
  SeedRandom(204);
  PatternInteger(a, 3000, 0);
  PatternInteger(b, 3000, 0);
  Mpz ma(a);
  bool aborted = false;
  {
    TRuvBreakScope scope(&AbortAtOnce);
    auto start = std::chrono::steady_clock::now();
    try {
      while (std::chrono::steady_clock::now() - start < std::chrono::seconds(5)) {
        TInteger x(a);
        IMul(x, b);
        TInteger y(a);
        ISqr(y);
      }
    } catch (const ERuvAbort&) {
      aborted = true;
    }
  }
  EXPECT_TRUE(aborted);
  EXPECT_GT(gPolls.load(), 0);
  EXPECT_EQ(vars.Used, used);
  EXPECT_TRUE(SameAs(a, ma));
  for (int i = 0; i < vars.Count; ++i) EXPECT_TRUE(Valid(*vars.Items[static_cast<std::size_t>(i)])) << i;
}

}  // namespace
}  // namespace rara::test
