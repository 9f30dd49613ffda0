// TGF2Poly storage, queries, setters, pool and the linear-time routines,
// against bit-vector references; tiny degrees exhaustively.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <thread>
#include <vector>

#include "gf2/gf2_poly.h"
#include "integers/errors.h"
#include "integers/secure_wipe.h"
#include "integers/settings.h"
#include "tests/gf2/gf2_reference.h"
#include "tests/support/test_support.h"

namespace rara::test {
namespace {

constexpr std::int32_t MaxDeg = TGF2Poly::MaxDegree;

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

class TNamedPoly : public TGF2Poly {
 public:
  std::string ClassName() const override { return "TFieldElement"; }
};

TEST(GF2PolyStorage, ZeroAndSmallValues) {
  TGF2Poly p;
  EXPECT_EQ(p.Degree(), -1);
  EXPECT_EQ(p.LowDegree(), -1);
  EXPECT_EQ(p.Weight(), 0);
  EXPECT_EQ(p.ByteCount(), 0);
  EXPECT_EQ(p.Capacity(), 0);
  EXPECT_TRUE(p.IsZero());
  EXPECT_FALSE(p.IsOne());
  EXPECT_FALSE(p.Coef(1000));
  p.SetOne();
  EXPECT_TRUE(p.IsOne());
  EXPECT_EQ(p.Degree(), 0);
  p.SetX();
  EXPECT_EQ(p.Degree(), 1);
  EXPECT_EQ(p.LowDegree(), 1);
  p.SetWord(0x80000001u);
  EXPECT_EQ(p.Degree(), 31);
  EXPECT_EQ(p.Weight(), 2);
  EXPECT_EQ(p.ByteCount(), 4);
  p.SetWord(0);
  EXPECT_TRUE(p.IsZero());
  EXPECT_EQ(p.Capacity(), 0);
}

TEST(GF2PolyStorage, FillAndMonomialAcrossWords) {
  TGF2Poly p;
  p.Fill(33);
  EXPECT_EQ(p.Count(), 2);
  EXPECT_EQ(p.Weight(), 33);
  EXPECT_EQ(p.Degree(), 32);
  EXPECT_EQ(p.Capacity(), 8);
  EXPECT_TRUE(Valid(p));
  p.Fill(32);
  EXPECT_EQ(p.Count(), 1);
  EXPECT_EQ(p.Words()[0], 0xFFFFFFFFu);
  p.Fill(0);
  EXPECT_TRUE(p.IsZero());
  for (int k : {0, 31, 32, 255, 256, 300}) {
    p.SetMonomial(k);
    EXPECT_EQ(p.Degree(), k);
    EXPECT_EQ(p.Weight(), 1);
    EXPECT_TRUE(Valid(p)) << k;
  }
  p.SetMonomial(300);
  p.SetMonomial(3);  // storage comes down again
  EXPECT_EQ(p.Capacity(), 8);
}

TEST(GF2PolyStorage, CoefficientsGrowAndShrink) {
  TGF2Poly p;
  p.SetCoef(300, true);
  EXPECT_EQ(p.Degree(), 300);
  EXPECT_EQ(p.Capacity(), 16);
  p.SetCoef(0, true);
  p.SetCoef(300, false);
  EXPECT_EQ(p.Count(), 1);
  EXPECT_EQ(p.Capacity(), 8);
  p.SetCoef(0, false);
  EXPECT_TRUE(p.IsZero());
  EXPECT_EQ(p.Capacity(), 0);
  p.SetCoef(5000, false);  // clearing beyond the words changes nothing
  EXPECT_TRUE(p.IsZero());
  EXPECT_TRUE(Valid(p));
}

TEST(GF2PolyStorage, MessagesNameTheClass) {
  TGF2Poly p;
  EXPECT_EQ(MessageOf<ERuvIndexError>([&] { (void)p.Coef(0x60000000); }), "TGF2Poly.Coef\r\nInvalid index");
  EXPECT_EQ(MessageOf<ERuvIndexError>([&] { (void)p.Coef(-1); }), "TGF2Poly.Coef\r\nInvalid index");
  EXPECT_EQ(MessageOf<ERuvIndexError>([&] { p.SetCoef(-5, true); }), "TGF2Poly.Coef\r\nInvalid index");
  EXPECT_EQ(MessageOf<ERuvIndexError>([&] { p.SetMonomial(MaxDeg + 1); }),
            "TGF2Poly.SetMonomial\r\nInvalid index");
  EXPECT_EQ(MessageOf<ERuvSizeError>([&] { p.Fill(MaxDeg + 1); }), "TGF2Poly.Fill\r\nInvalid size specification");
  EXPECT_EQ(MessageOf<ERuvSizeError>([&] { p.Fill(-1); }), "TGF2Poly.Fill\r\nInvalid size specification");
  EXPECT_EQ(MessageOf<ERuvSizeError>([&] { p.SetMem(TGF2Poly::MaxWords + 1); }),
            "TGF2Poly.SetMem (private)\r\nInvalid size specification");
  EXPECT_EQ(MessageOf<ERuvSizeError>([&] { p.SetMem(-1); }),
            "TGF2Poly.SetMem (private)\r\nInvalid size specification");
  TNamedPoly n;
  EXPECT_EQ(MessageOf<ERuvIndexError>([&] { (void)n.Coef(-1); }), "TFieldElement.Coef\r\nInvalid index");
  EXPECT_EQ(MessageOf<ERuvSizeError>([&] { n.Fill(-1); }), "TFieldElement.Fill\r\nInvalid size specification");
  EXPECT_TRUE(p.IsZero());
}

// The largest polynomial (192 MiB): a shift past it fails through the storage
// limit and leaves it intact; a rotation of the full ring wraps without
// needing a word beyond the limit.
TEST(GF2PolyStorage, LargestPolynomial) {
  TGF2Poly p;
  GF2SetDegs(p, {MaxDeg, 0});
  EXPECT_EQ(p.Capacity(), TGF2Poly::MaxWords);
  EXPECT_EQ(MessageOf<ERuvSizeError>([&] { GF2MulX(p); }),
            "TGF2Poly.SetMem (private)\r\nInvalid size specification");
  EXPECT_EQ(p.Degree(), MaxDeg);
  EXPECT_EQ(p.Weight(), 2);
  GF2Rol(p, MaxDeg + 1, 1);
  EXPECT_TRUE(GF2Equal(p, Degs({1, 0})));
}

TEST(GF2PolyStorage, AssignCloneSwapKeepValuesApart) {
  std::mt19937 g(11);
  const TRef ra = RandomRef(g, 500), rb = RandomRef(g, 40);
  TGF2Poly a = Make(ra), b = Make(rb);
  b.SetMem(64);
  a.Assign(b);
  EXPECT_EQ(a.Capacity(), 64);
  EXPECT_EQ(ToRef(a), rb);
  auto c = b.Clone();
  GF2AddX(*c);
  EXPECT_EQ(ToRef(b), rb);
  SetRef(a, ra);
  GF2Swap(a, b);
  EXPECT_EQ(ToRef(a), rb);
  EXPECT_EQ(ToRef(b), ra);
  a.Assign(a);
  EXPECT_EQ(ToRef(a), rb);
}

TEST(GF2PolyQueries, AgreeWithBitCounts) {
  std::mt19937 g(12);
  for (int it = 0; it < Iterations(200); ++it) {
    const TRef ra = RandomRef(g, static_cast<int>(g() % 300) - 1);
    const TRef rb = RandomRef(g, static_cast<int>(g() % 300) - 1);
    const TGF2Poly a = Make(ra), b = Make(rb);
    SCOPED_TRACE(Hex(ra) + " / " + Hex(rb));
    int weight = 0, low = -1, common = 0, bytes = 0;
    for (int i = 0; i <= RefDegree(ra); ++i) {
      if (!RefBit(ra, i)) continue;
      ++weight;
      if (low < 0) low = i;
      if (RefBit(rb, i)) ++common;
      bytes = i / 8 + 1;
    }
    EXPECT_EQ(a.Weight(), weight);
    EXPECT_EQ(a.LowDegree(), low);
    EXPECT_EQ(a.ByteCount(), bytes);
    EXPECT_EQ(GF2Parity(a), weight % 2 == 1);
    EXPECT_EQ(GF2Dot(a, b), common % 2 == 1);
    EXPECT_EQ(GF2Equal(a, b), ra == rb);
    EXPECT_TRUE(GF2Equal(a, a));
    const int da = RefDegree(ra), db = RefDegree(rb);
    EXPECT_EQ(GF2Compare(a, b), da == db ? 0 : (da > db ? 1 : -1));
    EXPECT_EQ(a.Coef(da < 0 ? 0 : da), da >= 0);
  }
  // Equal degree compares equal whatever the lower coefficients.
  EXPECT_EQ(GF2Compare(Degs({40, 3}), Degs({40, 1, 0})), 0);
  EXPECT_EQ(GF2Compare(Degs({32}), Degs({31})), 1);
}

TEST(GF2PolyDegreeLists, SetAndGet) {
  TGF2Poly p = Degs({163, 7, 6, 3, 0});
  EXPECT_EQ(p.Degree(), 163);
  EXPECT_EQ(p.Weight(), 5);
  TDynLongintArray d;
  GF2GetDegs(p, d);
  EXPECT_EQ(d, (TDynLongintArray{163, 7, 6, 3, 0}));
  GF2SetDegs(p, {});
  EXPECT_TRUE(p.IsZero());
  GF2GetDegs(p, d);
  EXPECT_TRUE(d.empty());
  const std::string invalid = "GF2SetDegs\r\nInvalid parameter\r\nInvalid D array";
  EXPECT_EQ(MessageOf<ERuvInvalidArg>([&] { GF2SetDegs(p, {3, 3, 0}); }), invalid);
  EXPECT_EQ(MessageOf<ERuvInvalidArg>([&] { GF2SetDegs(p, {-1}); }), invalid);
  EXPECT_EQ(MessageOf<ERuvInvalidArg>([&] { GF2SetDegs(p, {0, 3}); }), invalid);
  EXPECT_EQ(MessageOf<ERuvInvalidArg>([&] { GF2SetDegs(p, {MaxDeg + 1, 0}); }), invalid);
  std::mt19937 g(13);
  for (int it = 0; it < Iterations(50); ++it) {
    const TGF2Poly a = Make(RandomRef(g, static_cast<int>(g() % 400)));
    GF2GetDegs(a, d);
    TGF2Poly b;
    GF2SetDegs(b, d);
    EXPECT_TRUE(GF2Equal(a, b)) << Hex(a);
    EXPECT_TRUE(Valid(b));
  }
}

TEST(GF2PolyRandom, DegreesAndReproducibility) {
  TGF2Poly a, b;
  for (int deg : {0, 1, 30, 31, 32, 63, 64, 2047, 2048}) {
    const std::string seed = SeedRandom(100 + deg);
    GF2Rnd(a, deg, true);
    EXPECT_EQ(a.Degree(), deg) << seed;
    EXPECT_TRUE(Valid(a));
    SeedRandom(100 + deg);
    GF2Rnd(b, deg, true);
    EXPECT_TRUE(GF2Equal(a, b)) << seed;
    GF2Rnd(a, deg, false);
    EXPECT_LE(a.Degree(), deg);
    EXPECT_TRUE(Valid(a));
  }
  // Every coefficient up to Deg is hit: or-ing many draws gives all ones.
  SeedRandom(7);
  TGF2Poly all;
  for (int i = 0; i < 64; ++i) {
    GF2Rnd(a, 70, false);
    GF2Or(all, a);
  }
  TGF2Poly ones;
  ones.Fill(71);
  EXPECT_TRUE(GF2Equal(all, ones)) << Hex(all);
  const std::string why = "GF2Rnd\r\nInvalid parameter\r\n(Deg < 0) or (Deg > TGF2Poly.MaxDegree)";
  EXPECT_EQ(MessageOf<ERuvInvalidArg>([&] { GF2Rnd(a, -1, true); }), why);
  EXPECT_EQ(MessageOf<ERuvInvalidArg>([&] { GF2Rnd(a, MaxDeg + 1, false); }), why);
}

TEST(GF2PolyLinear, AddOrAndAliasing) {
  std::mt19937 g(14);
  for (int it = 0; it < Iterations(200); ++it) {
    const TRef ra = RandomRef(g, static_cast<int>(g() % 200) - 1);
    TRef rb = RandomRef(g, static_cast<int>(g() % 200) - 1);
    if (it % 5 == 0) rb = RefAdd(ra, RandomRef(g, static_cast<int>(g() % 40)));  // tops cancel
    SCOPED_TRACE(Hex(ra) + " + " + Hex(rb));
    TGF2Poly a = Make(ra), b = Make(rb);
    GF2Add(a, b);
    EXPECT_EQ(ToRef(a), RefAdd(ra, rb));
    EXPECT_TRUE(Valid(a));
    SetRef(a, ra);
    GF2Or(a, b);
    TRef ro = ra;
    ro.resize(std::max(ra.size(), rb.size()), 0);
    for (std::size_t i = 0; i < rb.size(); ++i) ro[i] |= rb[i];
    EXPECT_EQ(ToRef(a), ro);
    SetRef(a, ra);
    GF2AddX(a);
    TRef rx{2};
    EXPECT_EQ(ToRef(a), RefAdd(ra, rx));
    EXPECT_TRUE(Valid(a));
  }
  TGF2Poly a = Degs({700, 3});
  GF2Add(a, a);
  EXPECT_TRUE(a.IsZero());
  EXPECT_EQ(a.Capacity(), 0);
  GF2SetDegs(a, {1});
  GF2AddX(a);
  EXPECT_TRUE(a.IsZero());
  EXPECT_TRUE(Valid(a));
}

// All polynomials of degree below 10: squaring, roots, derivative, reversal.
TEST(GF2PolyLinear, ExhaustiveTinyDegrees) {
  for (std::uint32_t v = 0; v < 1024; ++v) {
    const TRef ra = v ? TRef{v} : TRef{};
    SCOPED_TRACE(Hex(ra));
    TGF2Poly a = Make(ra);
    GF2Sqr(a);
    EXPECT_EQ(ToRef(a), RefMul(ra, ra));
    GF2SqrRoot(a, true);
    EXPECT_EQ(ToRef(a), ra);

    // Root keeps the even coefficients; derivative keeps the odd ones shifted down.
    TRef even, deriv;
    for (int i = 0; i < 10; ++i) {
      if (RefBit(ra, i) && i % 2 == 0) RefSetBit(even, i / 2, true);
      if (RefBit(ra, i) && i % 2 == 1) RefSetBit(deriv, i - 1, true);
    }
    Trim(even);
    Trim(deriv);
    SetRef(a, ra);
    EXPECT_EQ(GF2IsSquare(a), deriv.empty());
    GF2SqrRoot(a, false);
    EXPECT_EQ(ToRef(a), even);
    EXPECT_TRUE(Valid(a));
    SetRef(a, ra);
    GF2Derivative(a);
    EXPECT_EQ(ToRef(a), deriv);
    EXPECT_TRUE(Valid(a));

    const int deg = RefDegree(ra);
    for (int count = (deg < 0 ? 0 : deg + 1); count <= 12; ++count) {
      TRef rev;
      for (int i = 0; i < count; ++i)
        if (RefBit(ra, i)) RefSetBit(rev, count - 1 - i, true);
      Trim(rev);
      SetRef(a, ra);
      GF2Reverse(a, count);
      EXPECT_EQ(ToRef(a), rev) << "count " << count;
      EXPECT_TRUE(Valid(a));
    }
  }
}

TEST(GF2PolyLinear, SquareAndRootOfLargePolynomials) {
  std::mt19937 g(15);
  for (int deg : {31, 32, 63, 64, 500, 4095, 4096}) {
    const TRef ra = RandomRef(g, deg);
    TGF2Poly a = Make(ra);
    GF2Sqr(a);
    EXPECT_EQ(ToRef(a), RefMul(ra, ra)) << Hex(ra);
    EXPECT_TRUE(Valid(a));
    GF2SqrRoot(a, true);
    EXPECT_EQ(ToRef(a), ra);
    EXPECT_TRUE(Valid(a));
  }
  TGF2Poly a = Degs({2, 1});
  GF2SqrRoot(a, false);
  EXPECT_EQ(ToRef(a), TRef{2});
  GF2SetDegs(a, {2, 1});
  EXPECT_EQ(MessageOf<ERuvInvalidArg>([&] { GF2SqrRoot(a, true); }),
            "GF2SqrRoot\r\nInvalid parameter\r\nP is not a perfect square");
  a.SetOne();
  GF2Sqr(a);
  EXPECT_TRUE(a.IsOne());
}

TEST(GF2PolyLinear, ShiftsAcrossWordBoundaries) {
  std::mt19937 g(16);
  for (int it = 0; it < Iterations(300); ++it) {
    const TRef ra = RandomRef(g, static_cast<int>(g() % 260) - 1);
    const int k = static_cast<int>(g() % 200);
    SCOPED_TRACE(Hex(ra) + " k=" + std::to_string(k));
    TGF2Poly a = Make(ra);
    GF2MulXk(a, k);
    EXPECT_EQ(ToRef(a), RefShl(ra, k));
    EXPECT_TRUE(Valid(a));
    TRef div, mod;
    for (int i = 0; i <= RefDegree(ra); ++i) {
      if (RefBit(ra, i) && i >= k) RefSetBit(div, i - k, true);
      if (RefBit(ra, i) && i < k) RefSetBit(mod, i, true);
    }
    Trim(div);
    Trim(mod);
    SetRef(a, ra);
    GF2DivXk(a, k);
    EXPECT_EQ(ToRef(a), div);
    EXPECT_TRUE(Valid(a));
    SetRef(a, ra);
    GF2ModXk(a, k);
    EXPECT_EQ(ToRef(a), mod);
    EXPECT_TRUE(Valid(a));
    SetRef(a, ra);
    GF2MulX(a);
    EXPECT_EQ(ToRef(a), RefShl(ra, 1));
  }
  TGF2Poly a = Degs({40, 0});
  GF2DivXk(a, 41);
  EXPECT_TRUE(a.IsZero());
  for (const char* name : {"GF2MulXk", "GF2DivXk", "GF2ModXk"}) {
    const std::string why = std::string(name) + "\r\nInvalid parameter\r\n(k < 0) or (k > TGF2Poly.MaxDegree)";
    auto call = [&](std::int32_t k) {
      if (name[3] == 'M' && name[4] == 'u') GF2MulXk(a, k);
      else if (name[3] == 'D') GF2DivXk(a, k);
      else GF2ModXk(a, k);
    };
    EXPECT_EQ(MessageOf<ERuvInvalidArg>([&] { call(-1); }), why);
    EXPECT_EQ(MessageOf<ERuvInvalidArg>([&] { call(MaxDeg + 1); }), why);
  }
}

TEST(GF2PolyLinear, ReverseExamplesAndErrors) {
  TGF2Poly a = Degs({3, 1, 0});
  GF2Reverse(a, 0);
  EXPECT_TRUE(GF2Equal(a, Degs({3, 2, 0})));
  GF2SetDegs(a, {1});
  GF2Reverse(a, 4);
  EXPECT_TRUE(GF2Equal(a, Degs({2})));
  TGF2Poly z;
  GF2Reverse(z, 0);
  GF2Reverse(z, 9);
  EXPECT_TRUE(z.IsZero());
  const std::string why =
      "GF2Reverse\r\nInvalid parameter\r\n(Count <= P.Degree) or (Count > (TGF2Poly.MaxDegree+1))";
  GF2SetDegs(a, {3});
  EXPECT_EQ(MessageOf<ERuvInvalidArg>([&] { GF2Reverse(a, 3); }), why);
  EXPECT_EQ(MessageOf<ERuvInvalidArg>([&] { GF2Reverse(a, -1); }), why);
  // Long polynomials: reversing twice with the same count is the identity
  // when the constant term is set.
  std::mt19937 g(17);
  for (int deg : {100, 127, 128, 1000}) {
    TRef ra = RandomRef(g, deg);
    ra[0] |= 1;
    SetRef(a, ra);
    GF2Reverse(a, deg + 40);
    EXPECT_EQ(a.Degree(), deg + 39);
    GF2Reverse(a, deg + 40);
    EXPECT_EQ(ToRef(a), ra);
  }
}

TEST(GF2PolyLinear, RotationInsideTheRing) {
  TGF2Poly a = Degs({3, 0});
  GF2Rol(a, 4, 1);
  EXPECT_TRUE(GF2Equal(a, Degs({1, 0})));
  for (std::uint32_t v = 0; v < 256; ++v) {
    const TRef ra = v ? TRef{v} : TRef{};
    const int deg = RefDegree(ra);
    for (int count = deg + 1; count <= 11; ++count)
      for (int shift = 0; shift <= 2 * count + 1; ++shift) {
        TRef rot;
        for (int i = 0; i < count; ++i)
          if (RefBit(ra, i)) RefSetBit(rot, (i + shift) % count, true);
        Trim(rot);
        SetRef(a, ra);
        GF2Rol(a, count, shift);
        ASSERT_EQ(ToRef(a), rot) << Hex(ra) << " count " << count << " shift " << shift;
        ASSERT_TRUE(Valid(a));
      }
  }
  std::mt19937 g(18);
  const TRef ra = RandomRef(g, 300);
  SetRef(a, ra);
  GF2Rol(a, 400, 400);
  EXPECT_EQ(ToRef(a), ra);
  GF2Rol(a, 400, 37);
  GF2Rol(a, 400, 363);
  EXPECT_EQ(ToRef(a), ra);
  const std::string whyCount =
      "GF2Rol\r\nInvalid parameter\r\n(Count <= P.Degree) or (Count > (TGF2Poly.MaxDegree+1))";
  EXPECT_EQ(MessageOf<ERuvInvalidArg>([&] { GF2Rol(a, 300, 1); }), whyCount);
  EXPECT_EQ(MessageOf<ERuvInvalidArg>([&] { GF2Rol(a, MaxDeg + 2, 1); }), whyCount);
  const std::string whyShift = "GF2Rol\r\nInvalid parameter\r\n(Shift < 0) or (Shift >= TGF2Poly.MaxDegree)";
  EXPECT_EQ(MessageOf<ERuvInvalidArg>([&] { GF2Rol(a, 400, -1); }), whyShift);
  EXPECT_EQ(MessageOf<ERuvInvalidArg>([&] { GF2Rol(a, 400, MaxDeg); }), whyShift);
}

TEST(GF2PolyLinear, SecureWipeGivesTheSameResults) {
  const bool saved = SecureWipe;
  SecureWipe = true;
  std::mt19937 g(19);
  for (int it = 0; it < 50; ++it) {
    const TRef ra = RandomRef(g, static_cast<int>(g() % 700)), rb = RandomRef(g, static_cast<int>(g() % 700));
    TGF2Poly a = Make(ra), b = Make(rb);
    GF2Add(a, b);
    GF2MulXk(a, 300);
    GF2Sqr(a);
    TRef ref = RefShl(RefAdd(ra, rb), 300);
    EXPECT_EQ(ToRef(a), RefMul(ref, ref));
    a.Assign(b);
    EXPECT_EQ(ToRef(a), rb);
    EXPECT_TRUE(Valid(a));
  }
  SecureWipe = saved;
}

// Under SecureWipe the words are zero before their block is released, when
// it moves to a larger block or the polynomial goes; without it no block is.
namespace wipe_log {
std::vector<const void*> Blocks;
bool AllZero = true;
void Watch(const void* p, std::size_t bytes) {
  const auto* b = static_cast<const unsigned char*>(p);
  for (std::size_t i = 0; i < bytes; ++i) AllZero = AllZero && b[i] == 0;
  Blocks.push_back(p);
}
bool Wiped(const void* p) { return std::find(Blocks.begin(), Blocks.end(), p) != Blocks.end(); }
}  // namespace wipe_log

TEST(GF2PolyLinear, SecureWipeZeroesReleasedWords) {
  const bool saved = SecureWipe;
  wipe_detail::SetWipeWatch(&wipe_log::Watch);
  wipe_log::Blocks.clear();
  wipe_log::AllZero = true;
  SecureWipe = true;
  {
    auto a = std::make_unique<TGF2Poly>();
    GF2SetDegs(*a, {200, 77, 3, 0});
    const void* block = a->Words();
    a->SetMem(4 * a->Capacity());
    EXPECT_TRUE(wipe_log::Wiped(block)) << "moved";
    block = a->Words();
    a.reset();
    EXPECT_TRUE(wipe_log::Wiped(block)) << "destroyed";
  }
  EXPECT_TRUE(wipe_log::AllZero);
  SecureWipe = false;
  wipe_log::Blocks.clear();
  {
    TGF2Poly b;
    GF2SetDegs(b, {200, 77, 3, 0});
    b.SetMem(4 * b.Capacity());
  }
  EXPECT_TRUE(wipe_log::Blocks.empty());
  wipe_detail::SetWipeWatch(nullptr);
  SecureWipe = saved;
}

TEST(GF2PolyPool, ItemsComeBackAndStrangersAreRefused) {
  { TUVPoly first; }  // registers this thread's pool, also when this case runs alone
  TGF2Poly stranger;
  EXPECT_EQ(MessageOf<ERuv>([&] { gf2::UVBack(&stranger); }), "GF2.UVBack: Unknown polynomial");
  gf2::UVBack(nullptr);
  const int used = TGF2PolyPool::ThreadVars().Used;
  try {
    TUVPoly a, b(Degs({5}));
    EXPECT_EQ(b->Degree(), 5);
    EXPECT_TRUE(a->IsZero());
    EXPECT_EQ(TGF2PolyPool::ThreadVars().Used, used + 2);
    throw std::runtime_error("leave");
  } catch (const std::runtime_error&) {
  }
  EXPECT_EQ(TGF2PolyPool::ThreadVars().Used, used);
  TGF2Poly& w = gf2::UVGetWord(0x12345u);
  EXPECT_EQ(ToRef(w), TRef{0x12345u});
  gf2::UVBack(&w);
  gf2::UVBack(&w);  // already free: harmless
  EXPECT_EQ(TGF2PolyPool::ThreadVars().Used, used);
  std::string message;
  std::thread([&] { message = MessageOf<ERuv>([&] { gf2::UVBack(&stranger); }); }).join();
  EXPECT_EQ(message, "GF2.UVBack: UnitVars not registered");
}

}  // namespace
}  // namespace rara::test
