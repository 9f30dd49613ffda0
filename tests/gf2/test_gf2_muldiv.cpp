// Carry-less kernels, GF2Mul, long division and gcd against schoolbook
// references, on both kernel paths, plus abort in the middle of each loop.
#include <gtest/gtest.h>

#include <cstring>

#include "gf2/gf2_kernels.h"
#include "gf2/gf2_poly.h"
#include "integers/break.h"
#include "integers/errors.h"
#include "tests/gf2/gf2_reference.h"
#include "tests/support/test_support.h"

namespace rara::test {
namespace {

TGF2Poly Make(const TRef& a) {
  TGF2Poly p;
  SetRef(p, a);
  return p;
}

TGF2Poly Degs(std::initializer_list<std::int32_t> d) {
  TGF2Poly p;
  GF2SetDegs(p, d);
  return p;
}

std::uint64_t RefWordProduct(std::uint32_t a, std::uint32_t b) {
  std::uint64_t r = 0;
  for (int i = 0; i < 32; ++i)
    if ((a >> i) & 1u) r ^= static_cast<std::uint64_t>(b) << i;
  return r;
}

// Runs every test of the fixture once per kernel path.
class GF2KernelPath : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override {
    if (GetParam() && !GF2HardwareKernelsAvailable()) GTEST_SKIP() << "no carry-less multiply instruction";
    GF2UseHardwareKernels(GetParam());
  }
  void TearDown() override { GF2UseHardwareKernels(true); }
};

INSTANTIATE_TEST_SUITE_P(Paths, GF2KernelPath, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Hardware" : "Portable"; });

TEST_P(GF2KernelPath, WordProduct) {
  std::mt19937 g(21);
  const std::uint32_t edges[] = {0, 1, 2, 0x3FFFFFFFu, 0x40000000u, 0x80000000u, 0xC0000000u, 0xFFFFFFFFu};
  for (std::uint32_t a : edges)
    for (std::uint32_t b : edges) {
      EXPECT_EQ(GF2MulWordPortable(a, b), RefWordProduct(a, b)) << std::hex << a << " " << b;
      EXPECT_EQ(GF2MulWord(a, b), RefWordProduct(a, b)) << std::hex << a << " " << b;
    }
  for (int it = 0; it < Iterations(5000); ++it) {
    const std::uint32_t a = static_cast<std::uint32_t>(g()), b = static_cast<std::uint32_t>(g());
    ASSERT_EQ(GF2MulWord(a, b), RefWordProduct(a, b)) << std::hex << a << " " << b;
  }
}

TEST_P(GF2KernelPath, KMulEverySizeUpTo40) {
  std::mt19937 g(22);
  for (int n = 1; n <= 40; ++n) {
    for (int it = 0; it < Iterations(6); ++it) {
      std::vector<std::uint32_t> x(n), y(n), r(2 * n + 1, 0xDEADBEEFu);
      for (auto& w : x) w = static_cast<std::uint32_t>(g());
      for (auto& w : y) w = static_cast<std::uint32_t>(g());
      if (it == 1) x.back() = y.back() = 0xFFFFFFFFu;  // all top bits set
      if (it == 2) std::fill(x.begin(), x.end(), 0xFFFFFFFFu);
      KMul(r.data(), x.data(), y.data(), n, it % 2 == 0);
      TRef want = RefMul(x, y);
      want.resize(2 * n, 0);
      ASSERT_EQ(TRef(r.begin(), r.begin() + 2 * n), want) << "n=" << n << " x=" << Hex(x) << " y=" << Hex(y);
      EXPECT_EQ(r[2 * n], 0xDEADBEEFu) << "wrote past 2n words, n=" << n;
      KMul(r.data(), x.data(), x.data(), n, false);  // same array twice
      want = RefMul(x, x);
      want.resize(2 * n, 0);
      ASSERT_EQ(TRef(r.begin(), r.begin() + 2 * n), want) << "square n=" << n;
    }
  }
  std::uint32_t w = 1;
  EXPECT_EQ(MessageOf<ERuv>([&] { KMul(&w, &w, &w, 0, false); }), "Internal error in GF2.KMul");
}

// The square kernel on 32-bit words (odd and even counts, in place as GF2Sqr
// uses it) and on 64-bit limbs, against the schoolbook product.
TEST_P(GF2KernelPath, SpreadEveryCountUpTo20) {
  std::mt19937 g(26);
  for (int c = 0; c <= 20; ++c) {
    std::vector<std::uint32_t> x(c), r(2 * c + 1, 0xDEADBEEFu);
    for (auto& w : x) w = static_cast<std::uint32_t>(g());
    if (c > 0) x.back() |= 0x80000000u;
    TRef want = RefMul(x, x);
    want.resize(2 * c, 0);
    GF2Spread(r.data(), x.data(), c);
    ASSERT_EQ(TRef(r.begin(), r.begin() + 2 * c), want) << "c=" << c << " x=" << Hex(x);
    EXPECT_EQ(r[2 * c], 0xDEADBEEFu) << "wrote past 2c words, c=" << c;
    std::vector<std::uint32_t> inPlace(x);
    inPlace.resize(2 * c);
    GF2Spread(inPlace.data(), inPlace.data(), c);
    ASSERT_EQ(TRef(inPlace.begin(), inPlace.end()), want) << "in place, c=" << c;
    if (c % 2 == 0 && c > 0) {
      std::vector<std::uint64_t> x64(c / 2), r64(c);
      std::memcpy(x64.data(), x.data(), 4 * static_cast<std::size_t>(c));
      GF2Spread64Kernel()(r64.data(), x64.data(), c / 2);
      std::vector<std::uint32_t> r32(2 * c);
      std::memcpy(r32.data(), r64.data(), 8 * static_cast<std::size_t>(c));
      ASSERT_EQ(TRef(r32.begin(), r32.end()), want) << "64-bit limbs, c=" << c;
    }
  }
}

TEST(GF2Kernels, PathsAgreeOnLargeProducts) {
  if (!GF2HardwareKernelsAvailable()) GTEST_SKIP();
  std::mt19937 g(23);
  for (int n : {64, 97, 256, 513}) {
    std::vector<std::uint32_t> x(n), y(n), r1(2 * n), r2(2 * n);
    for (auto& v : x) v = static_cast<std::uint32_t>(g());
    for (auto& v : y) v = static_cast<std::uint32_t>(g());
    GF2UseHardwareKernels(false);
    KMul(r1.data(), x.data(), y.data(), n, false);
    GF2UseHardwareKernels(true);
    KMul(r2.data(), x.data(), y.data(), n, false);
    EXPECT_EQ(r1, r2) << "n=" << n;
  }
  EXPECT_TRUE(GF2HardwareKernelsActive());
}

TEST_P(GF2KernelPath, MulShapes) {
  std::mt19937 g(24);
  // Words of each operand: fixed-size, 16/17 boundary, balanced, block method,
  // one-word (both sides) and very long one-word products.
  const std::pair<int, int> shapes[] = {{1, 1},  {1, 9},   {9, 1},   {2, 2},   {6, 6},   {9, 9},   {16, 16},
                                        {16, 17}, {17, 16}, {17, 17}, {40, 17}, {17, 40}, {40, 21}, {40, 3},
                                        {3, 40},  {40, 20}, {41, 2},  {100, 33}, {300, 1}, {1, 300}, {35, 16}};
  for (auto [wa, wb] : shapes) {
    for (int it = 0; it < Iterations(4); ++it) {
      const int da = 32 * wa - 1 - static_cast<int>(g() % 32), db = 32 * wb - 1 - static_cast<int>(g() % 32);
      const TRef ra = RandomRef(g, da), rb = RandomRef(g, db);
      SCOPED_TRACE(std::to_string(wa) + "x" + std::to_string(wb) + " a=" + Hex(ra) + " b=" + Hex(rb));
      TGF2Poly a = Make(ra);
      const TGF2Poly b = Make(rb);
      GF2Mul(a, b);
      EXPECT_EQ(ToRef(a), RefMul(ra, rb));
      EXPECT_TRUE(Valid(a));
      EXPECT_EQ(ToRef(b), rb);
    }
  }
}

TEST_P(GF2KernelPath, MulAliasingAndZero) {
  std::mt19937 g(25);
  for (int deg : {5, 40, 600}) {
    const TRef ra = RandomRef(g, deg);
    TGF2Poly a = Make(ra);
    GF2Mul(a, a);
    EXPECT_EQ(ToRef(a), RefMul(ra, ra));
  }
  TGF2Poly a = Degs({100, 1}), z;
  GF2Mul(a, z);
  EXPECT_TRUE(a.IsZero());
  GF2Mul(z, Degs({100, 1}));
  EXPECT_TRUE(z.IsZero());
  GF2SetDegs(a, {100, 1});
  GF2Mul(a, Degs({0}));
  EXPECT_TRUE(GF2Equal(a, Degs({100, 1})));
}

// A = B·Q + R with deg R < deg B, by the given method.
void CheckDivision(const TRef& ra, const TRef& rb, TGF2DivMethod method) {
  SCOPED_TRACE("a=" + Hex(ra) + " b=" + Hex(rb) + " method=" + std::to_string(static_cast<int>(method)));
  TRef q, r;
  RefDivMod(ra, rb, q, r);
  const TGF2Poly b = Make(rb);
  TGF2Poly a = Make(ra);
  GF2DivWith(a, b, method);
  EXPECT_EQ(ToRef(a), q);
  EXPECT_TRUE(Valid(a));
  TGF2Poly m = Make(ra);
  GF2ModWith(m, b, method);
  EXPECT_EQ(ToRef(m), r);
  EXPECT_TRUE(Valid(m));
  EXPECT_LT(m.Degree(), b.Degree());
  GF2Mul(a, b);
  GF2Add(a, m);
  EXPECT_EQ(ToRef(a), ra);
}

TEST_P(GF2KernelPath, DivisionAtTheMethodSwitch) {
  std::mt19937 g(26);
  for (int da : {383, 384, 385, 700})
    for (int gap : {1, 31, 32, 127, 128, 129, 300}) {
      if (gap >= da) continue;
      for (int it = 0; it < Iterations(2); ++it) {
        const TRef ra = RandomRef(g, da), rb = RandomRef(g, da - gap);
        for (auto method : {TGF2DivMethod::Auto, TGF2DivMethod::Bitwise, TGF2DivMethod::Table})
          CheckDivision(ra, rb, method);
      }
    }
  for (int it = 0; it < Iterations(60); ++it) {
    const int db = 1 + static_cast<int>(g() % 150);
    const TRef ra = RandomRef(g, db + 1 + static_cast<int>(g() % 300)), rb = RandomRef(g, db);
    for (auto method : {TGF2DivMethod::Bitwise, TGF2DivMethod::Table}) CheckDivision(ra, rb, method);
  }
}

TEST(GF2Division, SmallCasesAndErrors) {
  const TGF2Poly a = Degs({50, 3, 0}), one = Degs({0}), zero;
  TGF2Poly t(a);
  GF2Div(t, one);
  EXPECT_TRUE(GF2Equal(t, a));
  GF2Mod(t, one);
  EXPECT_TRUE(t.IsZero());
  t.Assign(a);
  GF2Div(t, Degs({50, 7}));
  EXPECT_TRUE(t.IsOne());
  t.Assign(a);
  GF2Mod(t, Degs({50, 7}));
  EXPECT_TRUE(GF2Equal(t, Degs({7, 3, 0})));
  t.Assign(a);
  GF2Div(t, Degs({51}));
  EXPECT_TRUE(t.IsZero());
  t.Assign(a);
  GF2Mod(t, Degs({51}));
  EXPECT_TRUE(GF2Equal(t, a));
  t.Assign(a);
  GF2Div(t, t);
  EXPECT_TRUE(t.IsOne());
  t.Assign(a);
  GF2Mod(t, t);
  EXPECT_TRUE(t.IsZero());
  t.Assign(a);
  EXPECT_EQ(MessageOf<ERuvDivByZero>([&] { GF2Div(t, zero); }), "GF2Div\r\nDivision by 0");
  EXPECT_EQ(MessageOf<ERuvDivByZero>([&] { GF2Mod(t, zero); }), "GF2Mod\r\nDivision by 0");
  TGF2Poly z;
  EXPECT_EQ(MessageOf<ERuvDivByZero>([&] { GF2Div(z, z); }), "GF2Div\r\nDivision by 0");
  EXPECT_TRUE(GF2Equal(t, a));
}

TEST(GF2Division, SharedTableReducesLikeMod) {
  std::mt19937 g(27);
  TGF2ShiftTable table;
  const TRef rb = RandomRef(g, 233);
  table.Build(Make(rb));
  for (int it = 0; it < Iterations(20); ++it) {
    const TRef ra = RandomRef(g, static_cast<int>(g() % 800));
    TRef q, r;
    RefDivMod(ra, rb, q, r);
    TGF2Poly a = Make(ra), quotient;
    GF2ReduceByTable(a, table, &quotient);
    EXPECT_EQ(ToRef(a), r) << Hex(ra);
    if (RefDegree(ra) >= 233) {
      EXPECT_EQ(ToRef(quotient), q) << Hex(ra);
    }
  }
}

TEST_P(GF2KernelPath, GcdAgainstEuclid) {
  TGF2Poly a = Degs({4, 1});
  EXPECT_FALSE(GF2Gcd(a, Degs({2, 1})));
  EXPECT_TRUE(GF2Equal(a, Degs({2, 1})));
  GF2SetDegs(a, {3, 1, 0});
  EXPECT_TRUE(GF2Gcd(a, Degs({3, 2, 0})));
  EXPECT_TRUE(a.IsOne());
  GF2SetDegs(a, {9, 4});
  EXPECT_FALSE(GF2Gcd(a, TGF2Poly()));
  EXPECT_TRUE(GF2Equal(a, Degs({9, 4})));
  TGF2Poly z;
  EXPECT_FALSE(GF2Gcd(z, Degs({9, 4})));
  EXPECT_TRUE(GF2Equal(z, Degs({9, 4})));
  GF2SetDegs(a, {9, 4});
  EXPECT_TRUE(GF2Gcd(a, Degs({0})));
  EXPECT_TRUE(a.IsOne());
  GF2SetDegs(a, {9, 4});
  EXPECT_FALSE(GF2Gcd(a, a));
  EXPECT_TRUE(GF2Equal(a, Degs({9, 4})));

  std::mt19937 g(28);
  for (int it = 0; it < Iterations(60); ++it) {
    // A common factor of random size, times x^k on both sides sometimes.
    const TRef f = RandomRef(g, static_cast<int>(g() % 60));
    TRef ra = RefMul(RandomRef(g, static_cast<int>(g() % 300)), f);
    TRef rb = RefMul(RandomRef(g, static_cast<int>(g() % 300)), f);
    if (it % 3 == 0) {
      ra = RefShl(ra, static_cast<int>(g() % 40));
      rb = RefShl(rb, static_cast<int>(g() % 40));
    }
    SCOPED_TRACE("a=" + Hex(ra) + " b=" + Hex(rb));
    const TRef want = RefGcd(ra, rb);
    TGF2Poly x = Make(ra);
    const TGF2Poly y = Make(rb);
    EXPECT_EQ(GF2IsCoprime(x, y), want == TRef{1});
    EXPECT_EQ(ToRef(x), ra);
    EXPECT_EQ(GF2Gcd(x, y), want == TRef{1});
    EXPECT_EQ(ToRef(x), want);
    EXPECT_EQ(ToRef(y), rb);
    EXPECT_TRUE(Valid(x));
  }
}

// ---- Abort in the middle: a callback that re-arms the tick keeps polls
// coming at every RuvBreak, and asks for the abort at the given poll.


using GF2Abort = TGF2AbortTest;

TEST_F(GF2Abort, InsideKaratsuba) {
  std::mt19937 g(29);
  TGF2Poly a = Make(RandomRef(g, 32 * 300 - 1));
  const TRef rb = RandomRef(g, 32 * 290 - 1);
  const TGF2Poly b = Make(rb);
  Arm(3);
  EXPECT_THROW(GF2Mul(a, b), ERuvAbort);
  EXPECT_TRUE(Valid(a));
  EXPECT_EQ(ToRef(b), rb);
}

TEST_F(GF2Abort, InsideBlockProduct) {
  std::mt19937 g(30);
  TGF2Poly a = Make(RandomRef(g, 32 * 300 - 1));
  const TGF2Poly b = Make(RandomRef(g, 32 * 20 - 1));
  Arm(4);
  EXPECT_THROW(GF2Mul(a, b), ERuvAbort);
  EXPECT_TRUE(Valid(a));
}

TEST_F(GF2Abort, InsideDivisionLoops) {
  std::mt19937 g(31);
  const TRef ra = RandomRef(g, 6000);
  const TGF2Poly b = Make(RandomRef(g, 1000));
  for (auto method : {TGF2DivMethod::Bitwise, TGF2DivMethod::Table}) {
    TGF2Poly a = Make(ra);
    Arm(3);
    EXPECT_THROW(GF2ModWith(a, b, method), ERuvAbort);
    EXPECT_TRUE(Valid(a));
    SetRef(a, ra);
    Arm(3);
    EXPECT_THROW(GF2DivWith(a, b, method), ERuvAbort);
    EXPECT_TRUE(Valid(a));
    RuvBreakStop();
  }
}

TEST_F(GF2Abort, InsideGcdAndRandom) {
  std::mt19937 g(32);
  TGF2Poly a = Make(RandomRef(g, 3000));
  const TGF2Poly b = Make(RandomRef(g, 2900));
  Arm(5);
  EXPECT_THROW(GF2Gcd(a, b), ERuvAbort);
  EXPECT_TRUE(Valid(a));
  Arm(2);
  EXPECT_THROW(GF2Rnd(a, 64 * 32 * 3, true), ERuvAbort);
  EXPECT_TRUE(a.IsZero());
}

}  // namespace
}  // namespace rara::test
