// Polynomials over GF(2^N): slots and their invariants, squaring, remainder,
// quotient, gcd and the trace polynomial against slow references written
// here with the field's own operations, in both bases, on both sides of the
// limb sizes of the flat kernels and beyond them, with the portable and the
// hardware kernels; the Karatsuba-point sums against field products.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

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

using TRef = std::vector<TGF2Poly>;  // coefficient i at index i

std::string Text(const TRef& a) {
  std::string s = "[";
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (i > 0) s.push_back(',');
    s.append(GF2ToHexStr(a[i], 0));
  }
  s.push_back(']');
  return s;
}

void Trim(TRef& a) {
  while (!a.empty() && a.back().IsZero()) a.pop_back();
}

TRef ToRef(const TGF2NPoly& a) {
  TRef r;
  for (std::int32_t i = 0; i <= a.Degree(); ++i) r.push_back(a.Coef(i));
  return r;
}

void FromRef(TGF2NPoly& a, const TRef& r) {
  a.SetLength(static_cast<std::int32_t>(r.size()) - 1);
  for (std::size_t i = 0; i < r.size(); ++i) a.Coef(static_cast<std::int32_t>(i)).Assign(r[i]);
  for (std::int32_t i = static_cast<std::int32_t>(r.size()); i <= a.Capacity(); ++i) a.Coef(i).Clear();
  a.Normalize();
}

// Equal as polynomials, and the slot invariants hold.
::testing::AssertionResult Same(const TGF2NPoly& a, TRef r) {
  Trim(r);
  if (a.Capacity() >= 0 && (a.Capacity() & 7) != 7)
    return ::testing::AssertionFailure() << "capacity " << a.Capacity();
  for (std::int32_t i = a.Degree() + 1; i <= a.Capacity(); ++i)
    if (!a.Coef(i).IsZero()) return ::testing::AssertionFailure() << "slot " << i << " above the degree";
  if (a.Degree() != static_cast<std::int32_t>(r.size()) - 1 || (a.Degree() >= 0 && a.Coef(a.Degree()).IsZero()))
    return ::testing::AssertionFailure() << "degree " << a.Degree() << " want " << Text(r) << " got " << Text(ToRef(a));
  for (std::size_t i = 0; i < r.size(); ++i)
    if (!GF2Equal(a.Coef(static_cast<std::int32_t>(i)), r[i]))
      return ::testing::AssertionFailure() << "coefficient " << i << " want " << Text(r) << " got " << Text(ToRef(a));
  return ::testing::AssertionSuccess();
}

TRef RandomRef(const TGF2N& f, int deg, bool monic) {
  TRef r(static_cast<std::size_t>(deg + 1));
  for (auto& c : r) f.Rnd(c);
  if (monic) {
    f.Set1(r.back());
  } else {
    while (r.back().IsZero()) f.Rnd(r.back());
  }
  return r;
}

TRef RefMul(const TGF2N& f, const TRef& a, const TRef& b) {
  if (a.empty() || b.empty()) return {};
  TRef c(a.size() + b.size() - 1);
  for (std::size_t i = 0; i < a.size(); ++i)
    for (std::size_t j = 0; j < b.size(); ++j) {
      TGF2Poly t(a[i]);
      f.Mul(t, b[j]);
      f.Add(c[i + j], t);
    }
  Trim(c);
  return c;
}

// Remainder and quotient by any non-zero M, dividing by its leading term.
void RefDivide(const TGF2N& f, TRef a, TRef m, TRef& q, TRef& r) {
  Trim(a);
  Trim(m);
  q.clear();
  const std::size_t dm = m.size() - 1;
  if (a.size() > dm) {
    q.resize(a.size() - dm);
    TGF2Poly inv(m.back());
    f.Inv(inv);
    for (std::size_t k = a.size() - dm; k-- > 0;) {
      TGF2Poly t(a[k + dm]);
      f.Mul(t, inv);
      q[k].Assign(t);
      for (std::size_t i = 0; i <= dm; ++i) {
        TGF2Poly u(t);
        f.Mul(u, m[i]);
        f.Add(a[k + i], u);
      }
    }
  }
  Trim(a);
  Trim(q);
  r.swap(a);
}

TRef RefMod(const TGF2N& f, const TRef& a, const TRef& m) {
  TRef q, r;
  RefDivide(f, a, m, q, r);
  return r;
}

TGF2Poly Eval(const TGF2N& f, const TRef& a, const TGF2Poly& x) {
  TGF2Poly acc;
  for (std::size_t i = a.size(); i-- > 0;) {
    f.Mul(acc, x);
    f.Add(acc, a[i]);
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

// Irreducible pentanomial of degree n (n > 8) with the smallest exponents.
TGF2Poly Pentanomial(int n) {
  TGF2Poly p;
  for (int a = 3;; ++a)
    for (int b = 2; b < a; ++b)
      for (int c = 1; c < b; ++c) {
        GF2SetDegs(p, {n, a, b, c, 0});
        if (GF2IsIrreducible(p)) return p;
      }
}

struct TFieldCase {
  std::string label;
  TGF2Poly poly;
  std::uint8_t basis;
};

// Limb counts 1..9 of the flat kernels (N = 64 and 65 at a boundary), the
// normal basis (generic path), and N = 600 beyond the flat kernels.
std::vector<TFieldCase> Fields() {
  std::vector<TFieldCase> v;
  TGF2N f;
  for (int n : {7, 64, 65, 163, 233}) {
    f.SetField(static_cast<std::uint8_t>(n), btStandard);
    v.push_back({"standard " + std::to_string(n), f.FieldPoly(), btStandard});
  }
  for (int n : {9, 113}) {
    f.SetField(static_cast<std::uint8_t>(n), btNormal);
    v.push_back({"normal " + std::to_string(n), f.FieldPoly(), btNormal});
  }
  for (int n : {283, 360, 400, 480, 571, 600}) v.push_back({"standard " + std::to_string(n), Pentanomial(n), btStandard});
  return v;
}

// ---------------------------------------------------------------- slots

TEST(GF2NPoly, SlotsComeInStepsOfEight) {
  TGF2N f;
  f.SetField(9, btNormal);
  TGF2NPoly a(f);
  EXPECT_EQ(a.Capacity(), -1);
  EXPECT_EQ(a.Degree(), -1);
  EXPECT_EQ(&a.Field(), &f);
  a.SetLength(0);
  EXPECT_EQ(a.Capacity(), 7);
  a.SetLength(8);
  EXPECT_EQ(a.Capacity(), 15);
  a.SetLength(15);
  EXPECT_EQ(a.Capacity(), 15);
  a.Coef(12).SetWord(3);
  a.Coef(3).SetWord(1);
  a.Normalize();
  EXPECT_EQ(a.Degree(), 12);
  // Freeing the slot of the top coefficient brings the degree down.
  a.SetLength(5);
  EXPECT_EQ(a.Capacity(), 7);
  EXPECT_EQ(a.Degree(), 3);
  const std::string index = "TGF2NPoly.Coef\r\nInvalid index";
  EXPECT_EQ(MessageOf<ERuvIndexError>([&] { a.Coef(8); }), index);
  EXPECT_EQ(MessageOf<ERuvIndexError>([&] { a.Coef(-1); }), index);
  a.SetLength(-1);
  EXPECT_EQ(a.Capacity(), -1);
  EXPECT_EQ(a.Degree(), -1);
  EXPECT_EQ(MessageOf<ERuvIndexError>([&] { std::as_const(a).Coef(0); }), index);
  // One in the normal basis is all coordinates 1.
  a.SetOne();
  EXPECT_EQ(a.Degree(), 0);
  EXPECT_TRUE(GF2Equal(a.Coef(0), f.BasisConst()));
}

TEST(GF2NPoly, SwapCloneAssign) {
  TGF2N f, g;
  f.SetField(163, btStandard);
  g.SetField(9, btNormal);
  SeedRandom(1);
  const TRef ra = RandomRef(f, 20, false), rb = RandomRef(f, 3, true);
  TGF2NPoly a(f), b(f);
  FromRef(a, ra);
  FromRef(b, rb);
  a.Swap(b);
  EXPECT_TRUE(Same(a, rb));
  EXPECT_TRUE(Same(b, ra));
  EXPECT_EQ(a.Capacity(), 7);
  EXPECT_EQ(b.Capacity(), 23);
  const auto c = b.Clone();
  EXPECT_EQ(&c->Field(), &f);
  EXPECT_TRUE(Same(*c, ra));
  // Assign takes the other polynomial's field and drops higher slots' values.
  TGF2NPoly d(g);
  d.Assign(a);
  EXPECT_EQ(&d.Field(), &f);
  EXPECT_TRUE(Same(d, rb));
  b.Assign(a);
  EXPECT_TRUE(Same(b, rb));
  b.Assign(b);
  EXPECT_TRUE(Same(b, rb));
  TGF2NPoly zero(g);
  b.Assign(zero);
  EXPECT_EQ(b.Degree(), -1);
  EXPECT_EQ(&b.Field(), &g);
}

// ---------------------------------------------------------------- arithmetic

// Kernel modes: portable, 128-bit carry-less multiply, and the selected
// kernels (256-bit where the processor has it).
enum TKernels { kPortable, kNarrow, kSelected };

// Sets the mode for a scope.
class TKernelMode {
 public:
  explicit TKernelMode(TKernels k) : hw_(GF2HardwareKernelsActive()) {
    GF2UseHardwareKernels(k != kPortable);
    GF2NUseWideKernels(k == kSelected);
  }
  ~TKernelMode() {
    GF2UseHardwareKernels(hw_);
    GF2NUseWideKernels(true);
  }
  TKernelMode(const TKernelMode&) = delete;
  TKernelMode& operator=(const TKernelMode&) = delete;

 private:
  bool hw_;
};

class GF2NPolyFields : public ::testing::TestWithParam<TKernels> {
 protected:
  // Runs body for every field in the parameter's kernel mode.
  template <class F>
  void ForFields(std::uint64_t seed, F&& body) {
    const TKernelMode mode(GetParam());
    for (const TFieldCase& c : Fields()) {
      TGF2N f;
      f.SetField(c.poly, c.basis, false);
      const std::string s = SeedRandom(seed + static_cast<std::uint64_t>(f.N()));
      SCOPED_TRACE(c.label + " " + s);
      body(f);
    }
  }
};

TEST_P(GF2NPolyFields, Sqr) {
  ForFields(100, [](const TGF2N& f) {
    TGF2NPoly a(f);
    a.Sqr();
    EXPECT_EQ(a.Degree(), -1);
    TRef c = RandomRef(f, 0, false);
    FromRef(a, c);
    a.Sqr();
    EXPECT_TRUE(Same(a, RefMul(f, c, c)));
    for (int d : {1, 4, 11}) {
      const TRef r = RandomRef(f, d, false);
      FromRef(a, r);
      a.Sqr();
      EXPECT_TRUE(Same(a, RefMul(f, r, r))) << d;
    }
  });
}

TEST_P(GF2NPolyFields, ModuloAndDivBy) {
  ForFields(200, [](const TGF2N& f) {
    TGF2NPoly a(f), m(f);
    struct {
      int da, dm;
      bool monic;
    } const cases[] = {{12, 5, true}, {9, 9, true}, {20, 1, true}, {7, 0, true}, {10, 4, false}, {6, 0, false}};
    for (const auto& [da, dm, monic] : cases) {
      const TRef ra = RandomRef(f, da, false), rm = RandomRef(f, dm, monic);
      TRef q, r;
      RefDivide(f, ra, rm, q, r);
      FromRef(m, rm);
      FromRef(a, ra);
      a.Modulo(m);
      EXPECT_TRUE(Same(a, r)) << "remainder " << da << " " << dm << " " << monic;
      FromRef(a, ra);
      a.DivBy(m);
      EXPECT_TRUE(Same(a, q)) << "quotient " << da << " " << dm << " " << monic;
    }
    // M over GF(2) (units and zeros), as the root finder starts with.
    TRef rm(9);
    for (int i : {0, 2, 3, 8}) f.Set1(rm[static_cast<std::size_t>(i)]);
    const TRef ra = RandomRef(f, 17, false);
    TRef q, r;
    RefDivide(f, ra, rm, q, r);
    FromRef(m, rm);
    FromRef(a, ra);
    a.Modulo(m);
    EXPECT_TRUE(Same(a, r));
    FromRef(a, ra);
    a.DivBy(m);
    EXPECT_TRUE(Same(a, q));
    // Lower degree than M: the remainder is the polynomial, the quotient zero.
    FromRef(a, RandomRef(f, 3, false));
    const TRef low = ToRef(a);
    a.Modulo(m);
    EXPECT_TRUE(Same(a, low));
    a.DivBy(m);
    EXPECT_EQ(a.Degree(), -1);
    // By itself.
    FromRef(a, ra);
    a.Modulo(a);
    EXPECT_EQ(a.Degree(), -1);
    FromRef(a, ra);
    a.DivBy(a);
    TRef one(1);
    f.Set1(one[0]);
    EXPECT_TRUE(Same(a, one));
  });
}

TEST(GF2NPoly, DivisionByZero) {
  TGF2N f;
  TGF2NPoly a(f), zero(f);
  a.SetOne();
  EXPECT_EQ(MessageOf<ERuvDivByZero>([&] { a.Modulo(zero); }), "TGF2NPoly.Modulo\r\nDivision by 0");
  EXPECT_EQ(MessageOf<ERuvDivByZero>([&] { a.DivBy(zero); }), "TGF2NPoly.DivBy\r\nDivision by 0");
  TGF2Poly c;
  c.SetOne();
  EXPECT_EQ(MessageOf<ERuvDivByZero>([&] { a.TraceMod(c, zero); }), "TGF2NPoly.Modulo\r\nDivision by 0");
  // Zero stays zero modulo a constant.
  zero.Modulo(a);
  EXPECT_EQ(zero.Degree(), -1);
}

TEST_P(GF2NPolyFields, GCD) {
  ForFields(300, [](const TGF2N& f) {
    TGF2NPoly a(f), b(f);
    const int cases[][3] = {{6, 4, 3}, {1, 7, 2}, {9, 9, 1}, {5, 3, 0}};
    for (const auto& [dx, dy, dc] : cases) {
      const TRef c = RandomRef(f, dc, false);
      const TRef x = RefMul(f, RandomRef(f, dx, false), c), y = RefMul(f, RandomRef(f, dy, false), c);
      FromRef(a, x);
      FromRef(b, y);
      a.GCD(b, false);
      // Monic, divides both, and C divides it.
      ASSERT_GE(a.Degree(), dc);
      EXPECT_TRUE(f.Is1(a.Coef(a.Degree())));
      const TRef g = ToRef(a);
      EXPECT_TRUE(RefMod(f, x, g).empty()) << Text(g);
      EXPECT_TRUE(RefMod(f, y, g).empty()) << Text(g);
      EXPECT_TRUE(RefMod(f, g, c).empty()) << Text(g);
    }
  });
}

TEST(GF2NPoly, GCDWithZeroAndConstants) {
  TGF2N f;
  f.SetField(9, btNormal);
  SeedRandom(4);
  const TRef x = RandomRef(f, 5, false);
  TRef one(1);
  f.Set1(one[0]);
  TGF2NPoly a(f), zero(f), k(f);
  FromRef(k, RandomRef(f, 0, false));
  FromRef(a, x);
  a.GCD(zero, true);
  EXPECT_TRUE(Same(a, x)) << "unchanged by a zero side";
  a.GCD(k, false);
  EXPECT_TRUE(Same(a, one));
  FromRef(a, x);
  zero.GCD(a, false);
  EXPECT_TRUE(Same(zero, x)) << "zero becomes the other side as it is";
  FromRef(a, x);
  k.GCD(a, false);
  EXPECT_TRUE(Same(k, one));
}

// T(r) = Tr(c·r) at every root r of M = prod (X - r_i).
TEST_P(GF2NPolyFields, TraceModAtRoots) {
  ForFields(400, [](const TGF2N& f) {
    TGF2NPoly t(f), m(f);
    TRef one(1);
    f.Set1(one[0]);
    for (int d : {2, 3, 8}) {
      TRef roots(static_cast<std::size_t>(d));
      TRef rm(one);
      for (auto& r : roots) {
        f.Rnd(r);
        TRef lin(2);
        lin[0].Assign(r);
        f.Set1(lin[1]);
        rm = RefMul(f, rm, lin);
      }
      FromRef(m, rm);
      TGF2Poly c;
      f.Rnd(c);
      t.TraceMod(c, m);
      EXPECT_LT(t.Degree(), d);
      const TRef rt = ToRef(t);
      for (const auto& r : roots) {
        TGF2Poly cr(c);
        f.Mul(cr, r);
        const TGF2Poly v = Eval(f, rt, r);
        if (f.Trace(cr))
          EXPECT_TRUE(f.Is1(v)) << GF2ToHexStr(v, 0);
        else
          EXPECT_TRUE(v.IsZero()) << GF2ToHexStr(v, 0);
      }
    }
  });
}

// Against the definition sum of (c·X)^(2^i) mod M, for M over GF(2) and
// for a general M, computed with the references.
TEST_P(GF2NPolyFields, TraceModDefinition) {
  ForFields(500, [](const TGF2N& f) {
    TGF2NPoly t(f), m(f);
    for (bool binary : {true, false}) {
      TRef rm;
      TGF2Poly p;
      if (binary) {
        p.Assign(RandomIrreducible(11));
        rm.resize(12);
        for (int i = 0; i <= 11; ++i)
          if (p.Coef(i)) f.Set1(rm[static_cast<std::size_t>(i)]);
      } else {
        rm = RandomRef(f, 6, true);
      }
      TGF2Poly c;
      f.Rnd(c);
      TRef x(2), sum;
      x[1].Assign(c);
      for (std::int32_t i = 0; i < f.N(); ++i) {
        TRef s = RefMod(f, x, rm);
        sum.resize(std::max(sum.size(), s.size()));
        for (std::size_t j = 0; j < s.size(); ++j) f.Add(sum[j], s[j]);
        x = RefMul(f, s, s);
      }
      FromRef(m, rm);
      t.TraceMod(c, m);
      EXPECT_TRUE(Same(t, sum)) << (binary ? "binary M" : "general M");
      if (binary) {
        // The same from the bit matrix of M, where the flat kernels apply.
        const TGF2NBinaryTrace table(f, p);
        EXPECT_EQ(table.Usable(), f.BasisType() == btStandard && f.N() <= 576);
        TGF2NPoly tb(f);
        EXPECT_EQ(tb.TraceMod(c, table), table.Usable());
        if (table.Usable()) {
          EXPECT_TRUE(Same(tb, sum)) << "bit matrix";
        }
      }
    }
    // c = 0 gives the zero polynomial without slots; c may be a slot of T,
    // and M may be T itself.
    TGF2Poly zero;
    t.TraceMod(zero, m);
    EXPECT_EQ(t.Capacity(), -1);
    FromRef(m, RandomRef(f, 4, true));
    FromRef(t, RandomRef(f, 3, false));
    TGF2Poly c(t.Coef(2));
    TGF2NPoly expect(f);
    expect.TraceMod(c, m);
    t.TraceMod(t.Coef(2), m);
    EXPECT_TRUE(Same(t, ToRef(expect)));
    TGF2NPoly mm(f);
    mm.Assign(m);
    mm.TraceMod(c, mm);
    EXPECT_TRUE(Same(mm, ToRef(expect)));
  });
}

INSTANTIATE_TEST_SUITE_P(Kernels, GF2NPolyFields, ::testing::Values(kSelected, kNarrow, kPortable),
                         [](const auto& info) {
                           return info.param == kSelected ? "Selected" : (info.param == kNarrow ? "Narrow" : "Portable");
                         });

// GCD polls at every Euclid step: an abort gives back every scratch value.
using test::AbortAtPoll;
using test::PollsBeforeAbort;

TEST(GF2NPoly, GCDAbort) {
  TGF2N f;
  f.SetField(163, btStandard);
  SeedRandom(6);
  TGF2NPoly a(f), b(f);
  for (std::uint8_t basis : {btStandard, btNormal}) {
    f.SetField(163, basis);
    for (int at : {1, 2, 5}) {
      FromRef(a, RandomRef(f, 30, false));
      FromRef(b, RandomRef(f, 25, false));
      const int used = TGF2PolyPool::ThreadVars().Used;
      PollsBeforeAbort = at;
      TRuvBreakScope scope(&AbortAtPoll);
      break_detail::Tick.store(true);
      EXPECT_THROW(a.GCD(b, true), ERuvAbort) << at;
      EXPECT_EQ(TGF2PolyPool::ThreadVars().Used, used);
    }
  }
}

// ---------------------------------------------------------------- kernels

// Sums over Karatsuba points equal sums of field products for every limb
// count, with the selected and the portable kernels.
TEST(GF2NFlatField, PointSumsMatchFieldProducts) {
  SeedRandom(7);
  for (TKernels k : {kSelected, kNarrow, kPortable}) {
    const TKernelMode mode(k);
    for (int n : {40, 64, 100, 163, 233, 283, 360, 400, 480, 512, 571, 576}) {
      TGF2N f;
      f.SetField(Pentanomial(n), btStandard, false);
      const TGF2NFlatField ff(f.FieldPoly());
      ASSERT_TRUE(ff.Usable());
      const auto l = static_cast<std::size_t>(ff.Limbs());
      const auto e = static_cast<std::size_t>(ff.Points());
      const int count = 13;
      std::vector<std::uint64_t> x(count * e), y(count * e), flat(l);
      TGF2Poly sum;
      for (int k = 0; k < count; ++k) {
        TGF2Poly a, b;
        f.Rnd(a);
        f.Rnd(b);
        if (k == 0) f.SetX(a);
        ff.Load(flat.data(), a);
        ff.Expand(x.data() + k * e, flat.data());
        ff.Load(flat.data(), b);
        ff.Expand(y.data() + k * e, flat.data());
        f.Mul(a, b);
        f.Add(sum, a);
      }
      ff.DotExpanded(flat.data(), x.data(), y.data(), count);
      TGF2Poly got;
      ff.Store(got, flat.data());
      EXPECT_TRUE(GF2Equal(got, sum)) << "N=" << n << " kernels " << k;
    }
  }
}

}  // namespace
}  // namespace rara::test
