// The 2-adic ring against integer references: products and squares against
// a schoolbook product of TInteger coefficients reduced by the lifted
// polynomial, at every width and across the Karatsuba base-case sizes, with
// the operands aliased; the trace against the trace of the multiplication
// matrix; the odd inverse and shifts of the word kernels.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "gf2/gf2n.h"
#include "integers/integers.h"
#include "integers/random.h"
#include "padic/zq.h"
#include "padic/zq_kernels.h"
#include "tests/support/test_support.h"

namespace rara::test {
namespace {

// Random words, a quarter of them 0 or all ones so that carries and borrows
// run across whole coefficients.
TZqElem RandomElem(const TZqRing& r) {
  TZqElem a(r.ElemWords());
  for (auto& w : a) {
    switch (RuvRandom() % 8) {
      case 0:
        w = 0;
        break;
      case 1:
        w = ~std::uint64_t{0};
        break;
      default:
        w = (static_cast<std::uint64_t>(RuvRandom()) << 32) | RuvRandom();
    }
  }
  return a;
}

TInteger Coef(const TZqRing& r, const TZqElem& a, int i) {
  TInteger c;
  c.SetDigits(a.data() + static_cast<std::size_t>(i) * r.Words(), 8LL * r.Words());
  return c;
}

// A·B by schoolbook over the integers, x^N replaced by −(P~ − x^N) from the
// top down, coefficients taken modulo 2^(64·Words).
std::vector<TInteger> RefMul(const TZqRing& r, const TZqElem& a, const TZqElem& b) {
  const int n = r.N();
  std::vector<TInteger> c(static_cast<std::size_t>(2 * n - 1));
  for (int i = 0; i < n; ++i) {
    const TInteger ai = Coef(r, a, i);
    for (int j = 0; j < n; ++j) {
      TInteger p(ai);
      IMul(p, Coef(r, b, j));
      IAdd(c[static_cast<std::size_t>(i + j)], p);
    }
  }
  for (int i = 2 * n - 2; i >= n; --i)
    for (std::int32_t e : r.TailExps())
      ISub(c[static_cast<std::size_t>(i - n + e)], c[static_cast<std::size_t>(i)]);
  TInteger m;
  m.SetBit(static_cast<std::uint32_t>(64 * r.Words()), true);
  c.resize(static_cast<std::size_t>(n));
  for (TInteger& x : c) IMod(x, m);
  return c;
}

bool SameAs(const TZqRing& r, const TZqElem& a, const std::vector<TInteger>& want) {
  for (int i = 0; i < r.N(); ++i)
    if (!IEqual(Coef(r, a, i), want[static_cast<std::size_t>(i)])) return false;
  return true;
}

// A polynomial of degree n with a constant term: sparse (3 or 5 terms) or dense.
TGF2Poly RandomModulus(int n) {
  TGF2Poly p;
  switch (RuvRandom() % 3) {
    case 0:
      GF2SetDegs(p, {n, static_cast<std::int32_t>(1 + RuvRandom() % (n - 1)), 0});
      break;
    case 1:
      if (n >= 4) {
        GF2SetDegs(p, {n, n - 1, n / 2, 1, 0});
        break;
      }
      [[fallthrough]];
    default:
      GF2Rnd(p, n, true);
      p.SetCoef(0, true);
  }
  return p;
}

TEST(Zq, ProductsEqualIntegerSchoolbook) {
  const std::string seed = SeedRandom(0x2AD1C);
  // Every base-case size of every width (each is its own unrolled kernel),
  // then sizes that split once or several times, evenly or not.
  std::vector<int> sizes;
  for (int n = 2; n <= 17; ++n) sizes.push_back(n);
  for (int n : {24, 25, 32, 33, 49, 97, 163}) sizes.push_back(n);
  for (int n : sizes) {
    for (int w = 1; w <= zq::MaxWords; ++w) {
      for (int it = 0; it < Iterations(2); ++it) {
        const TGF2Poly p = RandomModulus(n);
        TZqRing r;
        r.Setup(p, w);
        SCOPED_TRACE(seed + " n=" + std::to_string(n) + " w=" + std::to_string(w));
        const TZqElem a = RandomElem(r), b = RandomElem(r);
        TZqElem c;
        r.Mul(c, a, b);
        ASSERT_TRUE(SameAs(r, c, RefMul(r, a, b)));
        TZqElem a2(a), b2(b);
        r.Mul(a2, a2, b);  // result is the first operand
        r.Mul(b2, a, b2);  // result is the second operand
        ASSERT_TRUE(SameAs(r, a2, RefMul(r, a, b)));
        ASSERT_TRUE(SameAs(r, b2, RefMul(r, a, b)));
        TZqElem s(a);
        r.Sqr(s, s);
        ASSERT_TRUE(SameAs(r, s, RefMul(r, a, a)));
        r.Mul(s, a, a);
        ASSERT_TRUE(SameAs(r, s, RefMul(r, a, a)));
        // A short second operand, at the largest size each shorter kernel takes.
        for (int wb = 1; wb < w; ++wb) {
          TZqElem bs(b);
          r.Cut(bs, 64 * wb - 8);
          r.MulShort(c, a, bs, 64 * wb - 8);
          ASSERT_TRUE(SameAs(r, c, RefMul(r, a, bs))) << "wb=" << wb;
        }
      }
    }
  }
}

// Tr(A) is the trace of the matrix of multiplication by A: the sum over j of
// coefficient j of A·x^j.
bool TraceIsTraceOfMultiplicationMatrix(TZqRing& r, const TZqElem& a) {
  const int n = r.N(), w = r.Words();
  TZqElem xj, prod;
  std::uint64_t want[zq::MaxWords] = {}, got[zq::MaxWords];
  for (int j = 0; j < n; ++j) {
    r.SetZero(xj);
    xj[static_cast<std::size_t>(j) * w] = 1;
    r.Mul(prod, a, xj);
    zq::IntAdd(want, want, prod.data() + static_cast<std::size_t>(j) * w, w);
  }
  r.Trace(got, a);
  return std::equal(got, got + w, want);
}

// Over the Teichmüller modulus x ↦ x^2 is the Frobenius: a ring
// homomorphism of order N (σ^N(x) = x); products reduce modulo 2 to the
// field's; the trace is the trace of the multiplication matrix.
TEST(Zq, TeichmullerModulusCarriesTheFrobenius) {
  const std::string seed = SeedRandom(0x7E1C4);
  for (int n : {2, 3, 8, 13, 64, 65, 163}) {
    for (int w : {1, 2, 5}) {
      SCOPED_TRACE(seed + " n=" + std::to_string(n) + " w=" + std::to_string(w));
      TGF2N f;
      f.SetField(static_cast<std::uint8_t>(n), btStandard);
      TZqRing r;
      r.SetupTeichmuller(f.FieldPoly(), w);
      const TZqElem a = RandomElem(r), b = RandomElem(r);
      TZqElem ab, sa, sb, sab, prod;
      r.Mul(ab, a, b);
      r.Frobenius(sa, a);
      r.Frobenius(sb, b);
      r.Frobenius(sab, ab);
      r.Mul(prod, sa, sb);
      ASSERT_EQ(sab, prod);
      TZqElem x, y;
      r.SetZero(x);
      x[static_cast<std::size_t>(w)] = 1;
      y = x;
      for (int i = 0; i < n; ++i) r.Frobenius(y, y);
      ASSERT_EQ(y, x);
      TGF2Poly ga, gb, gab;
      r.ToGF2(ga, a);
      r.ToGF2(gb, b);
      r.ToGF2(gab, ab);
      f.Mul(ga, gb);
      ASSERT_TRUE(GF2Equal(ga, gab));
      ASSERT_TRUE(TraceIsTraceOfMultiplicationMatrix(r, a));
    }
  }
}

TEST(Zq, TraceEqualsTraceOfMultiplicationMatrix) {
  const std::string seed = SeedRandom(0x7AACE);
  for (int n : {2, 7, 31, 64, 113}) {
    for (int w : {1, 3, 8}) {
      const TGF2Poly p = RandomModulus(n);
      TZqRing r;
      r.Setup(p, w);
      const TZqElem a = RandomElem(r);
      ASSERT_TRUE(TraceIsTraceOfMultiplicationMatrix(r, a)) << seed << " n=" << n << " w=" << w;
    }
  }
}

// The element-wise operations, whose one-word forms are loops of their own,
// against the word kernels coefficient by coefficient at every width.
TEST(Zq, ElementOperationsEqualWordKernels) {
  const std::string seed = SeedRandom(0xE1E7);
  for (int w = 1; w <= zq::MaxWords; ++w) {
    TZqRing r;
    r.Setup(RandomModulus(37), w);
    const TZqElem a = RandomElem(r), b = RandomElem(r);
    const int s = static_cast<int>(RuvRandom() % (64 * w));
    TZqElem sum(a), diff(a), shl(a), shr(a);
    r.Add(sum, b);
    r.Sub(diff, b);
    r.Shl(shl, s);
    r.Shr(shr, s);
    std::uint64_t want[zq::MaxWords];
    for (int i = 0; i < r.N(); ++i) {
      const std::size_t o = static_cast<std::size_t>(i) * w;
      const std::string at = seed + " w=" + std::to_string(w) + " s=" + std::to_string(s) + " i=" + std::to_string(i);
      zq::IntAdd(want, a.data() + o, b.data() + o, w);
      ASSERT_TRUE(std::equal(want, want + w, sum.data() + o)) << at;
      zq::IntSub(want, a.data() + o, b.data() + o, w);
      ASSERT_TRUE(std::equal(want, want + w, diff.data() + o)) << at;
      zq::IntShl(want, a.data() + o, s, w);
      ASSERT_TRUE(std::equal(want, want + w, shl.data() + o)) << at;
      zq::IntShr(want, a.data() + o, s, w);
      ASSERT_TRUE(std::equal(want, want + w, shr.data() + o)) << at;
    }
  }
}

TEST(Zq, WordKernels) {
  const std::string seed = SeedRandom(0x3D0);
  for (int w = 1; w <= zq::MaxWords; ++w) {
    std::uint64_t a[zq::MaxWords], inv[zq::MaxWords], prod[zq::MaxWords], t[zq::MaxWords];
    for (int i = 0; i < w; ++i) a[i] = (static_cast<std::uint64_t>(RuvRandom()) << 32) | RuvRandom();
    a[0] |= 1;
    zq::IntInvOdd(inv, a, w);
    zq::IntMul(prod, a, inv, w);
    for (int i = 0; i < w; ++i) ASSERT_EQ(prod[i], i == 0 ? 1u : 0u) << seed << " w=" << w;
    // A·2^s div 2^s keeps the low 64w − s bits, for shifts across words.
    for (int s : {1, 63, 64, 65, 64 * w - 1}) {
      if (s >= 64 * w) continue;
      zq::IntShl(t, a, s, w);
      zq::IntShr(t, t, s, w);
      for (int i = 0; i < w; ++i) {
        const int keep = 64 * w - s - 64 * i;
        const std::uint64_t mask = keep >= 64 ? ~0ull : (keep <= 0 ? 0 : (1ull << keep) - 1);
        ASSERT_EQ(t[i], a[i] & mask) << seed << " w=" << w << " s=" << s;
      }
    }
  }
}

}  // namespace
}  // namespace rara::test
