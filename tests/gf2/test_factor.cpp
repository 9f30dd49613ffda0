// Irreducibility, normality, square-free part and factoring of binary
// polynomials: fixed cases, PARI/GP as the oracle for random ones, abort in
// the middle.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <utility>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "gf2/gf2_factor.h"
#include "gf2/gf2_matrix.h"
#include "gf2/gf2_poly.h"
#include "integers/break.h"
#include "integers/errors.h"
#include "integers/random.h"
#include "tests/gf2/gf2_reference.h"
#include "tests/support/test_support.h"

namespace rara::test {
namespace {

TGF2Poly Degs(std::initializer_list<std::int32_t> d) {
  TGF2Poly p;
  GF2SetDegs(p, d);
  return p;
}

TGF2Poly Make(const TRef& a) {
  TGF2Poly p;
  SetRef(p, a);
  return p;
}

TGF2Poly Product(std::initializer_list<const TGF2Poly*> fs) {
  TGF2Poly r;
  r.SetOne();
  for (const TGF2Poly* f : fs) GF2Mul(r, *f);
  return r;
}

// Plain hexadecimal digits of the words, highest first, no leading zeros.
std::string HexDigits(const TGF2Poly& p) {
  if (p.IsZero()) return "0";
  std::ostringstream s;
  s << std::hex << p.Words()[p.Count() - 1];
  for (int i = p.Count() - 2; i >= 0; --i) {
    s.width(8);
    s.fill('0');
    s << p.Words()[i];
  }
  return s.str();
}

// The polynomial as a GP expression over the integers (coefficients 0/1).
std::string Gp(const TGF2Poly& p) { return "Pol(binary(0x" + HexDigits(p) + "))"; }

TGF2Poly FromHexDigits(const std::string& h) {
  TGF2Poly p;
  const int n = static_cast<int>(h.size());
  p.SetSize((n + 7) / 8, false);
  for (int k = 0; k < n; ++k) {
    const char c = h[n - 1 - k];
    const std::uint32_t v = c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10;
    p.Words()[k / 8] |= v << (4 * (k % 8));
  }
  p.Normalize(true);
  return p;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> r;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);)
    if (!line.empty()) r.push_back(line);
  return r;
}

std::vector<std::string> Sorted(std::vector<std::string> v) {
  std::sort(v.begin(), v.end());
  return v;
}

// ---------------------------------------------------------------- fixed cases

TEST(GF2Irreducible, SmallCases) {
  EXPECT_TRUE(GF2IsIrreducible(Degs({1})));
  EXPECT_TRUE(GF2IsIrreducible(Degs({1, 0})));
  EXPECT_FALSE(GF2IsIrreducible(Degs({0})));
  EXPECT_FALSE(GF2IsIrreducible(TGF2Poly()));
  EXPECT_TRUE(GF2IsIrreducible(Degs({2, 1, 0})));
  EXPECT_FALSE(GF2IsIrreducible(Degs({4, 2, 0})));       // a square
  EXPECT_TRUE(GF2IsIrreducible(Degs({4, 3, 2, 1, 0})));
  EXPECT_TRUE(GF2IsIrreducible(Degs({3, 1, 0})));
  EXPECT_TRUE(GF2IsIrreducible(Degs({163, 7, 6, 3, 0})));
  EXPECT_TRUE(GF2IsIrreducible(Degs({571, 10, 5, 2, 0})));
  EXPECT_FALSE(GF2IsIrreducible(Degs({5, 4, 3, 2, 1, 0})));  // even number of terms
  EXPECT_FALSE(GF2IsIrreducible(Degs({3, 1})));             // divisible by x
  // (x^2+x+1)(x^3+x+1): passes every quick rejection, found at round 2.
  const TGF2Poly q = Degs({2, 1, 0}), c = Degs({3, 1, 0});
  EXPECT_FALSE(GF2IsIrreducible(Product({&q, &c})));
}

TEST(GF2Normal, SmallCases) {
  EXPECT_TRUE(GF2IsNormal(Degs({3, 2, 0})));
  EXPECT_FALSE(GF2IsNormal(Degs({3, 1, 0})));  // roots sum to 0
  EXPECT_TRUE(GF2IsNormal(Degs({4, 3, 2, 1, 0})));
  EXPECT_FALSE(GF2IsNormal(Degs({4, 2, 0})));
  EXPECT_FALSE(GF2IsNormal(Degs({1})));
  EXPECT_TRUE(GF2IsNormal(Degs({1, 0})));
  EXPECT_TRUE(GF2IsNormal(Degs({2, 1, 0})));
  EXPECT_FALSE(GF2IsNormal(TGF2Poly()));
}

TEST(GF2SquareFree, RepeatedFactors) {
  const TGF2Poly a = Degs({1, 0}), b = Degs({2, 1, 0}), c = Degs({3, 1, 0}), x = Degs({1});
  struct Case {
    TGF2Poly input, expected;
  };
  std::vector<Case> cases;
  cases.push_back({Product({&a, &a, &a, &b}), Product({&a, &b})});
  cases.push_back({Product({&x, &x}), Product({&x})});
  cases.push_back({Product({&b, &b, &b, &b, &c, &c}), Product({&b, &c})});
  cases.push_back({Product({&a, &a, &b, &b, &b, &c, &c, &c, &c, &c, &c, &c, &c, &x}), Product({&a, &b, &c, &x})});
  cases.push_back({Product({&c}), Product({&c})});
  for (auto& k : cases) {
    SCOPED_TRACE(Hex(k.input));
    GF2SquareFree(k.input);
    EXPECT_TRUE(GF2Equal(k.input, k.expected)) << Hex(k.input);
    EXPECT_TRUE(Valid(k.input));
  }
  TGF2Poly zero, one = Degs({0});
  GF2SquareFree(zero);
  GF2SquareFree(one);
  EXPECT_TRUE(zero.IsZero());
  EXPECT_TRUE(one.IsOne());
}

TEST(GF2Factor, SmallCases) {
  SeedRandom(41);
  TGF2PolyVector v;
  const TGF2Poly p = Degs({6, 5, 4, 3, 2, 1, 0});
  GF2Factor(p, v, true);
  ASSERT_EQ(v.Count(), 2);
  EXPECT_EQ(v.Cell(0).Degree(), 3);
  EXPECT_EQ(v.Cell(1).Degree(), 3);
  EXPECT_TRUE(GF2Equal(Product({&v.Cell(0), &v.Cell(1)}), p));
  EXPECT_TRUE(GF2Equal(p, Degs({6, 5, 4, 3, 2, 1, 0})));  // input untouched

  const TGF2Poly a = Degs({1, 0}), b = Degs({2, 1, 0});
  GF2Factor(Product({&a, &a, &a, &b}), v, true);
  ASSERT_EQ(v.Count(), 2);
  EXPECT_TRUE(GF2Equal(v.Cell(0), a));
  EXPECT_TRUE(GF2Equal(v.Cell(1), b));

  const TGF2Poly irr = Degs({163, 7, 6, 3, 0});
  GF2Factor(irr, v, false);
  ASSERT_EQ(v.Count(), 1);
  EXPECT_TRUE(GF2Equal(v.Cell(0), irr));

  // P one of V's own cells.
  v.Size(3);
  v.Cell(2).Assign(p);
  GF2Factor(v.Cell(2), v, true);
  ASSERT_EQ(v.Count(), 2);
  EXPECT_TRUE(GF2Equal(Product({&v.Cell(0), &v.Cell(1)}), p));
  v.Cell(1).SetX();
  GF2Factor(v.Cell(1), v, false);
  ASSERT_EQ(v.Count(), 1);
  EXPECT_TRUE(GF2Equal(v.Cell(0), Degs({1})));

  GF2Factor(Degs({0}), v, true);
  EXPECT_EQ(v.Count(), 0);
  GF2Factor(TGF2Poly(), v, true);
  EXPECT_EQ(v.Count(), 0);
  GF2Factor(Degs({1}), v, true);
  ASSERT_EQ(v.Count(), 1);
  EXPECT_TRUE(GF2Equal(v.Cell(0), Degs({1})));
  // x^5: the square-free part has degree 1.
  GF2Factor(Degs({5}), v, true);
  ASSERT_EQ(v.Count(), 1);
  EXPECT_TRUE(GF2Equal(v.Cell(0), Degs({1})));
  // x^4 + x = x (x+1) (x^2+x+1): the two linear factors need the split.
  GF2Factor(Degs({4, 1}), v, true);
  ASSERT_EQ(v.Count(), 3);
  EXPECT_EQ(v.Cell(0).Degree(), 1);
  EXPECT_EQ(v.Cell(1).Degree(), 1);
  EXPECT_TRUE(GF2Equal(v.Cell(2), b));
}

// Without the square-free step a repeated factor used to reach the
// equal-degree phase with the wrong degree (x^5-type factors at i = 10, where
// the trace map is 0) and was never split; now every factor comes as often as
// it divides P.
TEST(GF2Factor, RepeatedFactorsWithoutSquareFreeStep) {
  SeedRandom(47);
  TGF2PolyVector v;
  auto expectFactors = [&v](const TGF2Poly& p, std::vector<const TGF2Poly*> expected) {
    GF2Factor(p, v, false);
    std::vector<std::string> ours, theirs;
    for (int i = 0; i < v.Count(); ++i) {
      EXPECT_TRUE(GF2IsIrreducible(v.Cell(i))) << Hex(v.Cell(i));
      if (i > 0) {
        EXPECT_LE(v.Cell(i - 1).Degree(), v.Cell(i).Degree());
      }
      ours.push_back(Hex(v.Cell(i)));
    }
    for (const TGF2Poly* f : expected) theirs.push_back(Hex(*f));
    EXPECT_EQ(Sorted(ours), Sorted(theirs)) << Hex(p);
  };
  const TGF2Poly b = Degs({2, 1, 0}), x = Degs({1});
  expectFactors(Product({&b, &b, &b}), {&b, &b, &b});
  expectFactors(Product({&x, &x, &b}), {&x, &x, &b});
  const TGF2Poly f1 = Degs({5, 2, 0}), f2 = Degs({5, 3, 0}), f3 = Degs({5, 3, 2, 1, 0}), f4 = Degs({5, 4, 2, 1, 0});
  expectFactors(Product({&f1, &f2, &f3, &f4, &f1, &f2, &f3, &f4}), {&f1, &f1, &f2, &f2, &f3, &f3, &f4, &f4});
  expectFactors(Product({&f1, &f1, &f1, &f1, &f2, &b, &b}), {&b, &b, &f1, &f1, &f1, &f1, &f2});
}

// The generator of a thread other than the main one used to stay all zero,
// and the equal-degree phase drew zero forever.
TEST(GF2Factor, RunsInAnotherThread) {
  const TGF2Poly f1 = Degs({5, 2, 0}), f2 = Degs({5, 3, 0}), f3 = Degs({5, 3, 2, 1, 0}), f4 = Degs({5, 4, 2, 1, 0});
  const TGF2Poly p = Product({&f1, &f2, &f3, &f4});
  std::uint32_t draws = 0;
  int count = -1;
  TGF2Poly product;
  std::thread worker([&] {
    for (int i = 0; i < 4; ++i) draws |= RuvRandom();
    if (draws == 0) return;  // factoring would never end
    TGF2PolyVector v;
    GF2Factor(p, v, true);
    count = v.Count();
    product.SetOne();
    for (int i = 0; i < v.Count(); ++i) GF2Mul(product, v.Cell(i));
  });
  worker.join();
  ASSERT_NE(draws, 0u);
  EXPECT_EQ(count, 4);
  EXPECT_TRUE(GF2Equal(product, p));
}

// ---------------------------------------------------------------- against PARI/GP

TEST(GF2Irreducible, AgreesWithGp) {
  RARA_NEED_ORACLE(HaveGp(), "gp");
  std::mt19937 g(4201);
  const int n = Iterations(3000);
  std::vector<TGF2Poly> polys(n);
  std::string script = "{my(r=\"\");";
  std::string ours;
  for (int k = 0; k < n; ++k) {
    // Half the degrees small, where irreducible ones are frequent.
    const int deg = k % 2 ? 2 + static_cast<int>(g() % 40) : 2 + static_cast<int>(g() % 399);
    TRef r = RandomRef(g, deg);
    if (k % 3) r[0] |= 1;  // skip the cheapest rejection most of the time
    SetRef(polys[k], r);
    ours += GF2IsIrreducible(polys[k]) ? '1' : '0';
    script += "r=concat(r,if(polisirreducible(Mod(1,2)*" + Gp(polys[k]) + "),\"1\",\"0\"));";
  }
  script += "print(r)}";
  const std::string theirs = Lines(RunGp(script)).at(0);
  ASSERT_EQ(theirs.size(), ours.size());
  int irreducible = 0;
  for (int k = 0; k < n; ++k) {
    EXPECT_EQ(ours[k], theirs[k]) << "P = " << Gp(polys[k]);
    irreducible += ours[k] == '1';
  }
  EXPECT_GT(irreducible, n / 20);
}

TEST(GF2Normal, AgreesWithRankOfConjugates) {
  RARA_NEED_ORACLE(HaveGp(), "gp");
  SeedRandom(4202);
  std::mt19937 g(4202);
  std::vector<TGF2Poly> polys;
  std::string script = "r=\"\";\n";
  std::string ours;
  const int n = Iterations(60);
  while (static_cast<int>(polys.size()) < n) {
    TGF2Poly p = Make(RandomRef(g, 2 + static_cast<int>(g() % 99)));
    if (!GF2IsIrreducible(p)) continue;
    ours += GF2IsNormal(p) ? '1' : '0';
    // Column j: x^(2^(j-1)) mod f.
    script += "f=Mod(1,2)*" + Gp(p) + ";d=poldegree(f);V=vector(d);y=Mod(x,f);" +
              "for(j=1,d,V[j]=lift(y);y=y^2);M=matrix(d,d,i,j,polcoef(V[j],i-1));" +
              "r=concat(r,if(matrank(M)==d,\"1\",\"0\"));\n";
    polys.push_back(std::move(p));
  }
  script += "print(r)";
  const std::string theirs = Lines(RunGp(script)).at(0);
  ASSERT_EQ(theirs.size(), ours.size());
  for (int k = 0; k < n; ++k) EXPECT_EQ(ours[k], theirs[k]) << "P = " << Gp(polys[k]);
  EXPECT_NE(ours.find('1'), std::string::npos);
  EXPECT_NE(ours.find('0'), std::string::npos);
}

TEST(GF2Factor, AgreesWithGpFactormod) {
  RARA_NEED_ORACLE(HaveGp(), "gp");
  const std::string seed = SeedRandom(4203);
  std::mt19937 g(4203);
  std::vector<TGF2Poly> polys;
  const int n = Iterations(40);
  for (int k = 0; k < n; ++k) {
    const int maxDeg = k < n / 2 ? 120 : 1000;
    TGF2Poly p;
    p.SetOne();
    if (k % 4 == 3) {
      SetRef(p, RandomRef(g, maxDeg / 2 + static_cast<int>(g() % (maxDeg / 2))));
    } else {
      // Random factors raised to small powers: repeated factors of every kind.
      while (p.Degree() < maxDeg * 3 / 4) {
        TGF2Poly f = Make(RandomRef(g, 1 + static_cast<int>(g() % (maxDeg / 8))));
        const int e = 1 + static_cast<int>(g() % 4);
        for (int j = 0; j < e && p.Degree() + f.Degree() <= maxDeg; ++j) GF2Mul(p, f);
        if (f.Degree() > maxDeg - p.Degree()) break;
      }
    }
    polys.push_back(std::move(p));
  }
  std::string script;
  for (const auto& p : polys)
    script += "F=factormod(" + Gp(p) +
              ",2);for(i=1,#F[,1],for(j=1,F[i,2],printf(\"%x \",subst(lift(F[i,1]),x,2))));print();\n";
  const std::vector<std::string> lines = Lines(RunGp(script + "print(\"end\")"));
  ASSERT_EQ(lines.size(), polys.size() + 1);
  TGF2PolyVector v;
  for (std::size_t k = 0; k < polys.size(); ++k) {
    const TGF2Poly& p = polys[k];
    SCOPED_TRACE(seed + " P = " + Gp(p));
    GF2Factor(p, v, true);
    // GP lists each factor as often as it divides P.
    std::vector<std::string> ours, theirs, repeated;
    std::istringstream in(lines[k]);
    for (std::string h; in >> h;) repeated.push_back(HexDigits(FromHexDigits(h)));
    theirs = Sorted(repeated);
    theirs.erase(std::unique(theirs.begin(), theirs.end()), theirs.end());
    TGF2Poly prod;
    prod.SetOne();
    for (int i = 0; i < v.Count(); ++i) {
      ASSERT_TRUE(Valid(v.Cell(i)));
      ours.push_back(HexDigits(v.Cell(i)));
      if (i > 0) {
        EXPECT_LE(v.Cell(i - 1).Degree(), v.Cell(i).Degree()) << "not grouped by degree";
      }
      GF2Mul(prod, v.Cell(i));
    }
    EXPECT_EQ(Sorted(ours), Sorted(theirs));
    TGF2Poly sf(p);
    GF2SquareFree(sf);
    EXPECT_TRUE(GF2Equal(prod, sf)) << "product of the factors is not the square-free part";
    // Square-free input: the same factors without the square-free step.
    GF2Factor(sf, v, false);
    ours.clear();
    for (int i = 0; i < v.Count(); ++i) ours.push_back(HexDigits(v.Cell(i)));
    EXPECT_EQ(Sorted(ours), Sorted(theirs)) << "without the square-free step";
    // P itself without the square-free step: every factor with its multiplicity.
    GF2Factor(p, v, false);
    ours.clear();
    for (int i = 0; i < v.Count(); ++i) ours.push_back(HexDigits(v.Cell(i)));
    EXPECT_EQ(Sorted(ours), Sorted(repeated)) << "with multiplicities";
  }
}

// ---------------------------------------------------------------- abort


using GF2FactorAbort = TGF2AbortTest;

TEST_F(GF2FactorAbort, EveryRoutine) {
  std::mt19937 g(4204);
  TRef r = RandomRef(g, 700);
  r[0] |= 1;
  const TGF2Poly p = Make(r);
  const TGF2Poly irr = Degs({571, 10, 5, 2, 0});
  TGF2Poly sq(p);
  GF2Mul(sq, p);
  GF2Mul(sq, irr);
  TGF2PolyVector v;
  const std::vector<std::pair<const char*, std::function<void()>>> routines = {
      {"GF2Factor", [&] { GF2Factor(p, v, true); }},
      {"GF2IsIrreducible", [&] { GF2IsIrreducible(irr); }},
      {"GF2IsNormal", [&] { GF2IsNormal(irr); }},
      {"GF2SquareFree", [&] {
         TGF2Poly t(sq);
         GF2SquareFree(t);
       }}};
  for (const auto& [name, run] : routines) {
    // Count the polls of a full run, then abort at a few points inside it.
    Arm(1 << 30);
    run();
    RuvBreakStop();
    const int polls = (1 << 30) - PollsBeforeAbort;
    SCOPED_TRACE(testing::Message() << name << ", " << polls << " polls");
    ASSERT_GT(polls, 8);
    for (int at : {1, polls / 3, polls - 1}) {
      Arm(at);
      EXPECT_THROW(run(), ERuvAbort) << "at poll " << at;
      RuvBreakStop();
      EXPECT_EQ(TGF2PolyPool::ThreadVars().Used, used_) << "scratch polynomials not given back";
    }
  }
  EXPECT_TRUE(GF2Equal(p, Make(r)));
}

}  // namespace
}  // namespace rara::test
