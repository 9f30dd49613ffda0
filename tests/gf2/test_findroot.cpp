// Root finding in GF(2^N): argument checks and their messages, the field
// polynomial shortcut, roots of random irreducible polynomials of every degree
// dividing N in both bases (checked by evaluating P at the root), different
// roots on repeated calls, and the field state after errors and aborts.
#include <gtest/gtest.h>

#include <random>
#include <set>
#include <string>
#include <vector>

#include "gf2/field_poly_lists.h"
#include "gf2/gf2_factor.h"
#include "gf2/gf2_kernels.h"
#include "gf2/gf2_text.h"
#include "gf2/gf2n.h"
#include "gf2/gf2n_poly.h"
#include "gf2/gf2n_poly_kernels.h"
#include "integers/break.h"
#include "integers/errors.h"
#include "integers/random.h"
#include "tests/support/test_support.h"

namespace rara::test {
namespace {

std::string Hex(const TGF2Poly& a) { return GF2ToHexStr(a, 0); }

TGF2Poly Degs(std::initializer_list<std::int32_t> d) {
  TGF2Poly p;
  GF2SetDegs(p, d);
  return p;
}

void FindRoot(TGF2N& f, TGF2Poly& root, const TGF2Poly& p, bool check) { f.FindRoot(root, p, check); }

// P(r) in the field's current basis by Horner's rule with the field's own
// product: P's coefficients are 0 or the field's one.
TGF2Poly Eval(const TGF2N& f, const TGF2Poly& p, const TGF2Poly& r) {
  TGF2Poly acc, one;
  f.Set1(one);
  for (std::int32_t i = p.Degree(); i >= 0; --i) {
    f.Mul(acc, r);
    if (p.Coef(i)) f.Add(acc, one);
  }
  return acc;
}

TGF2Poly RandomIrreducible(int n) {
  TGF2Poly p;
  do {
    GF2Rnd(p, n, true);
    p.SetCoef(0, true);
  } while (!GF2IsIrreducible(p));
  return p;
}

// Field of degree n in the basis: the built-in polynomials up to 255, the
// lists' P1363 and normal polynomials above (to 571, nine limbs).
void SetUpField(TGF2N& f, int n, std::uint8_t basis) {
  if (n <= 255) {
    f.SetField(static_cast<std::uint8_t>(n), basis);
    return;
  }
  TGF2Poly p;
  if (basis == btStandard)
    GetP1363Irreducible(p, n, BatchFieldListMaxDegree);
  else
    GetNormal(p, n, BatchFieldListMaxDegree);
  f.SetField(p, basis, false);
}

// ---------------------------------------------------------------- checks

TEST(GF2NFindRoot, ArgumentChecks) {
  TGF2N f;
  f.SetField(100, btNormal);
  TGF2Poly root;
  root.SetWord(5);
  const std::string head = "TGF2N.FindRoot\r\nInvalid parameter\r\n";
  EXPECT_EQ(MessageOf<ERuvInvalidArg>([&] { FindRoot(f, root, Degs({1, 0}), true); }),
            head + "P.Degree should be greater than 1");
  EXPECT_EQ(MessageOf<ERuvInvalidArg>([&] { FindRoot(f, root, TGF2Poly(), false); }),
            head + "P.Degree should be greater than 1");
  EXPECT_EQ(MessageOf<ERuvInvalidArg>([&] { FindRoot(f, root, Degs({3, 1, 0}), true); }),
            head + "P.Degree should be a divisor of the field degree");
  EXPECT_EQ(MessageOf<ERuvInvalidArg>([&] { FindRoot(f, root, Degs({200, 1, 0}), false); }),
            head + "P.Degree should be a divisor of the field degree");
  // x^4 + x^2 + 1 = (x^2 + x + 1)^2; degree 4 divides 100.
  EXPECT_EQ(MessageOf<ERuvInvalidArg>([&] { FindRoot(f, root, Degs({4, 2, 0}), true); }),
            head + "P should be irreducible over GF(2)");
  EXPECT_EQ(f.BasisType(), btNormal);
  EXPECT_TRUE(f.CheckDegrees());
  EXPECT_EQ(root.Words()[0], 5u) << "root touched by a rejected call";
}

TEST(GF2NFindRoot, FieldPolynomialNeedsNoRandomNumbers) {
  for (std::uint8_t basis : {btStandard, btNormal}) {
    TGF2N f;
    f.SetField(163, basis);
    const std::uint64_t seed = 77;
    RuvSeed(&seed, sizeof seed);
    const std::uint32_t expected = RuvRandom();
    RuvSeed(&seed, sizeof seed);
    TGF2Poly root, x;
    FindRoot(f, root, f.FieldPoly(), true);
    EXPECT_EQ(RuvRandom(), expected) << "random numbers drawn";
    f.SetX(x);
    EXPECT_TRUE(GF2Equal(root, x)) << int(basis) << " " << Hex(root);
    EXPECT_TRUE(Eval(f, f.FieldPoly(), root).IsZero());
    EXPECT_EQ(f.BasisType(), basis);
  }
}

// P that has no root in the field although its degree divides N (check off):
// the search gives up with the irreducibility error instead of looping, and
// the field is as before.
TEST(GF2NFindRoot, PolynomialWithoutRootsFails) {
  TGF2N f;
  f.SetField(5, btNormal);
  f.SetCheckDegrees(false);
  SeedRandom(5);
  // (x^2 + x + 1)(x^3 + x + 1): neither factor has roots in GF(2^5).
  TGF2Poly p = Degs({2, 1, 0});
  GF2Mul(p, Degs({3, 1, 0}));
  const int used = TGF2PolyPool::ThreadVars().Used;
  TGF2Poly root;
  EXPECT_EQ(MessageOf<ERuvInvalidArg>([&] { FindRoot(f, root, p, false); }),
            "TGF2N.FindRoot\r\nInvalid parameter\r\nP should be irreducible over GF(2)");
  EXPECT_EQ(f.BasisType(), btNormal);
  EXPECT_FALSE(f.CheckDegrees());
  EXPECT_EQ(TGF2PolyPool::ThreadVars().Used, used);
}

// ---------------------------------------------------------------- roots

struct TRootCase {
  int n;
  std::uint8_t basis;
};

class GF2NFindRootDegrees : public ::testing::TestWithParam<TRootCase> {};

TEST_P(GF2NFindRootDegrees, EveryDivisor) {
  const auto [bigN, basis] = GetParam();
  TGF2N f;
  SetUpField(f, bigN, basis);
  const std::string seed = SeedRandom(0xF1D0 + 2 * static_cast<std::uint64_t>(bigN) + basis);
  const int used = TGF2PolyPool::ThreadVars().Used;
  for (int n = 2; n <= bigN; ++n) {
    if (bigN % n != 0) continue;
    const TGF2Poly p = RandomIrreducible(n);
    SCOPED_TRACE(seed + " N=" + std::to_string(bigN) + " basis=" + std::to_string(basis) + " P=" + Hex(p));
    // Small degrees have few roots: more calls to see more than one.
    const int calls = n <= 8 ? 6 : (n >= 160 ? 2 : 3);
    std::set<std::string> roots;
    for (int k = 0; k < calls; ++k) {
      TGF2Poly root;
      FindRoot(f, root, p, k == 0);
      ASSERT_LT(root.Degree(), bigN);
      EXPECT_TRUE(Eval(f, p, root).IsZero()) << "root " << Hex(root);
      roots.insert(Hex(root));
    }
    EXPECT_GE(roots.size(), 2u) << "always the same root";
    EXPECT_EQ(f.BasisType(), basis);
    EXPECT_TRUE(f.CheckDegrees());
  }
  EXPECT_EQ(TGF2PolyPool::ThreadVars().Used, used);
}

INSTANTIATE_TEST_SUITE_P(Fields, GF2NFindRootDegrees,
                         ::testing::Values(TRootCase{64, btStandard}, TRootCase{64, btNormal},
                                           TRootCase{113, btStandard}, TRootCase{113, btNormal},
                                           TRootCase{163, btStandard}, TRootCase{163, btNormal},
                                           TRootCase{233, btStandard}, TRootCase{233, btNormal},
                                           TRootCase{283, btStandard}, TRootCase{283, btNormal},
                                           TRootCase{360, btStandard}, TRootCase{360, btNormal},
                                           TRootCase{571, btStandard}, TRootCase{571, btNormal}),
                         [](const auto& info) {
                           return std::to_string(info.param.n) + (info.param.basis == btStandard ? "Standard" : "Normal");
                         });

// A polynomial of every degree 2..12 in the small fields it fits, and all n
// of its roots reached (they are the conjugates r, r^2, r^4, ...).
TEST(GF2NFindRoot, SmallFieldsReachEveryRoot) {
  const std::string seed = SeedRandom(0x5A11);
  for (int bigN = 2; bigN <= 12; ++bigN)
    for (std::uint8_t basis : {btStandard, btNormal}) {
      TGF2N f;
      f.SetField(static_cast<std::uint8_t>(bigN), basis);
      for (int n = 2; n <= bigN; ++n) {
        if (bigN % n != 0) continue;
        const TGF2Poly p = RandomIrreducible(n);
        SCOPED_TRACE(seed + " N=" + std::to_string(bigN) + " P=" + Hex(p));
        std::set<std::string> roots;
        for (int k = 0; k < 40 * n && static_cast<int>(roots.size()) < n; ++k) {
          TGF2Poly root;
          FindRoot(f, root, p, false);
          EXPECT_TRUE(Eval(f, p, root).IsZero()) << Hex(root);
          roots.insert(Hex(root));
        }
        // The field polynomial itself always gives the defining root.
        EXPECT_EQ(static_cast<int>(roots.size()), GF2Equal(p, f.FieldPoly()) ? 1 : n);
      }
    }
}

TEST(GF2NFindRoot, RootMayBeThePolynomialObject) {
  TGF2N f;
  f.SetField(64, btStandard);
  SeedRandom(64);
  const TGF2Poly p = RandomIrreducible(32);
  TGF2Poly x(p);
  FindRoot(f, x, x, true);
  EXPECT_TRUE(Eval(f, p, x).IsZero());
}

// The portable kernels and the 128-bit carry-less multiply give roots too.
TEST(GF2NFindRoot, OtherKernels) {
  struct TRestore {
    bool hw;
    ~TRestore() {
      GF2UseHardwareKernels(hw);
      GF2NUseWideKernels(true);
    }
  } restore{GF2HardwareKernelsActive()};
  GF2NUseWideKernels(false);
  TGF2N f;
  f.SetField(163, btStandard);
  SeedRandom(163);
  const TGF2Poly p163 = RandomIrreducible(163);
  TGF2Poly r163;
  FindRoot(f, r163, p163, false);
  EXPECT_TRUE(Eval(f, p163, r163).IsZero()) << Hex(p163);
  GF2UseHardwareKernels(false);
  for (int bigN : {64, 113}) {
    TGF2N f;
    f.SetField(static_cast<std::uint8_t>(bigN), btNormal);
    SeedRandom(bigN);
    const TGF2Poly p = RandomIrreducible(bigN);
    TGF2Poly root;
    FindRoot(f, root, p, false);
    EXPECT_TRUE(Eval(f, p, root).IsZero()) << bigN << " " << Hex(p);
  }
}

// ---------------------------------------------------------------- abort

int PollsBeforeAbort = 0;
int PollsSeen = 0;
void AbortAtPoll() {
  break_detail::Tick.store(true);
  ++PollsSeen;
  if (--PollsBeforeAbort == 0) RuvRequestAbort();
}

// An abort at any poll leaves the field in its basis and check state, with
// every scratch polynomial given back; without an abort the root is right.
TEST(GF2NFindRoot, AbortAtRandomPolls) {
  const std::string seed = SeedRandom(0xAB0);
  std::mt19937 g(0xAB0);
  for (std::uint8_t basis : {btStandard, btNormal})
    for (bool check : {true, false}) {
      TGF2N f;
      f.SetField(64, basis);
      f.SetCheckDegrees(check);
      const TGF2Poly p = RandomIrreducible(64);
      SCOPED_TRACE(seed + " P=" + Hex(p));
      // Polls of a run without abort, to aim inside it.
      PollsBeforeAbort = -1;
      PollsSeen = 0;
      {
        TRuvBreakScope scope(&AbortAtPoll);
        break_detail::Tick.store(true);
        TGF2Poly root;
        FindRoot(f, root, p, false);
      }
      const int total = PollsSeen;
      ASSERT_GT(total, 3);
      std::vector<int> at = {1, 2, total / 2, total};
      for (int k = 0; k < 8; ++k) at.push_back(1 + static_cast<int>(g() % static_cast<unsigned>(total)));
      for (int a : at) {
        const int used = TGF2PolyPool::ThreadVars().Used;
        PollsBeforeAbort = a;
        bool aborted = false;
        TGF2Poly root;
        {
          TRuvBreakScope scope(&AbortAtPoll);
          break_detail::Tick.store(true);
          try {
            FindRoot(f, root, p, false);
          } catch (const ERuvAbort& e) {
            aborted = true;
            EXPECT_STREQ(e.what(), "Ruv - Operation aborted");
          }
        }
        if (!aborted) {
          EXPECT_TRUE(Eval(f, p, root).IsZero()) << "poll " << a;
        }
        EXPECT_EQ(f.BasisType(), basis) << "poll " << a;
        EXPECT_EQ(f.CheckDegrees(), check) << "poll " << a;
        EXPECT_EQ(TGF2PolyPool::ThreadVars().Used, used) << "poll " << a;
        // The field still computes in its basis.
        TGF2Poly x, y;
        f.SetX(x);
        f.Set1(y);
        f.Mul(y, x);
        EXPECT_TRUE(GF2Equal(x, y)) << "poll " << a;
      }
    }
}

}  // namespace
}  // namespace rara::test
