// Reduction modulo the field polynomial against GF2Mod for polynomials of
// every shape (sparse with low or high middle exponents, the normal
// pentanomials, trinomials, dense, without constant term) and degrees 2 to
// 600, through both kernel paths; products, squares and inverses on the same
// fields; and the reduction after copying and loading a field.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gf2/field_poly_lists.h"
#include "gf2/gf2_factor.h"
#include "gf2/gf2_kernels.h"
#include "gf2/gf2_text.h"
#include "gf2/gf2n.h"
#include "integers/random.h"
#include "integers/streams.h"
#include "tests/support/test_support.h"

namespace rara::test {
namespace {

// Restores the kernel selection at the end of a test.
class TKernelGuard {
 public:
  TKernelGuard() : active_(GF2HardwareKernelsActive()) {}
  ~TKernelGuard() { GF2UseHardwareKernels(active_); }
  TKernelGuard(const TKernelGuard&) = delete;
  TKernelGuard& operator=(const TKernelGuard&) = delete;

 private:
  bool active_;
};

std::int32_t RandomBelow(std::int32_t m) { return static_cast<std::int32_t>(RuvRandom() % static_cast<std::uint32_t>(m)); }

// Polynomials of degree n: every shape the reduction distinguishes. None is
// required to be irreducible; the remainder is defined all the same.
std::vector<TGF2Poly> Shapes(std::int32_t n) {
  std::vector<TGF2Poly> v;
  TGF2Poly p;
  auto add = [&](std::initializer_list<std::int32_t> d) {
    GF2SetDegs(p, d);
    v.push_back(p);
  };
  add({n, 1, 0});
  add({n, n - 1, 0});
  if (n >= 4) {
    // Normal pentanomial shape, and sparse ones with low middle exponents.
    const std::int32_t a = 2 + RandomBelow(n - 3), b = 1 + RandomBelow(a - 1);
    add({n, n - 1, a, b, 0});
    add({n, n - 1, n - 2, n - 3, 0});
    add({n, 3, 2, 1, 0});
    const std::int32_t k3 = 3 + RandomBelow(n - 3);
    const std::int32_t k2 = 2 + RandomBelow(k3 - 2);
    add({n, k3, k2, 1 + RandomBelow(k2 - 1), 0});
    // Weight 4: sparse but not a pentanomial.
    add({n, k3, k2, 0});
  }
  if (n >= 3) add({n, 1 + RandomBelow(n - 1), 0});
  add({n, 0});  // x^N + 1
  add({n, n - 1});  // no constant term
  // Dense: random tails with and without constant term, all ones, and a
  // tail far below x^N.
  GF2Rnd(p, n - 1, false);
  p.SetCoef(n, true);
  p.SetCoef(0, true);
  v.push_back(p);
  p.SetCoef(0, false);
  v.push_back(p);
  p.Fill(n + 1);
  v.push_back(p);
  GF2Rnd(p, n / 3, false);
  p.SetCoef(n, true);
  p.SetCoef(0, true);
  v.push_back(p);
  return v;
}

// Every shape of every degree from 2 to 80 and of sampled degrees to 600,
// reduced on both kernel paths: products of elements (degree below 2N - 1),
// polynomials up to degree 2N - 1, and long ones.
TEST(GF2NReduceShapes, AgreeWithMod) {
  TKernelGuard guard;
  std::vector<std::int32_t> degrees;
  for (std::int32_t n = 2; n <= 80; ++n) degrees.push_back(n);
  for (std::int32_t n : {95, 96, 97, 127, 128, 129, 163, 191, 192, 233, 283, 360, 409, 480, 511, 512, 513, 544, 571,
                         600})
    degrees.push_back(n);
  for (const bool hardware : {false, true}) {
    if (hardware && !GF2HardwareKernelsAvailable()) continue;
    GF2UseHardwareKernels(hardware);
    const std::string seed = SeedRandom(hardware ? 7102 : 7101);
    for (const std::int32_t n : degrees) {
      const int rounds = Iterations(n > 200 ? 2 : 4);
      for (const TGF2Poly& p : Shapes(n)) {
        TGF2N f;
        f.SetField(p, btStandard, false);
        ASSERT_EQ(f.N(), n);
        for (int it = 0; it < rounds; ++it) {
          const std::int32_t degs[] = {2 * n - 2, 2 * n - 1, n + RandomBelow(n), 2 * n + RandomBelow(3 * n + 70)};
          for (const std::int32_t deg : degs) {
            TGF2Poly a, ref;
            GF2Rnd(a, deg, true);
            ref.Assign(a);
            GF2Mod(ref, p);
            f.Reduce(a);
            ASSERT_TRUE(GF2Equal(a, ref)) << seed << " hw " << hardware << " P " << GF2DegsToStr(p, true)
                                          << " deg " << deg;
          }
          TGF2Poly x, y, ref;
          GF2Rnd(x, n - 1, false);
          GF2Rnd(y, n - 1, false);
          ref.Assign(x);
          GF2Mul(ref, y);
          GF2Mod(ref, p);
          f.Mul(x, y);
          ASSERT_TRUE(GF2Equal(x, ref)) << seed << " hw " << hardware << " P " << GF2DegsToStr(p, true);
          ref.Assign(y);
          GF2Sqr(ref);
          GF2Mod(ref, p);
          f.Sqr(y);
          ASSERT_TRUE(GF2Equal(y, ref)) << seed << " hw " << hardware << " P " << GF2DegsToStr(p, true);
        }
      }
    }
  }
}

// Irreducible polynomials with the second exponent next to N: inverses and
// products through the fast reduction, in the standard basis and, for the
// normal pentanomials of the lists, in the normal basis.
TEST(GF2NReduceShapes, HighExponentFields) {
  TKernelGuard guard;
  std::vector<TGF2Poly> polys;
  TGF2Poly p;
  for (std::int32_t n = 2; n <= 600; ++n) {
    GF2SetDegs(p, {n, n - 1, 0});
    if (n <= 200 || n % 7 == 0) {
      if (GF2IsIrreducible(p)) polys.push_back(p);
    }
  }
  ASSERT_GE(polys.size(), 10u);
  for (std::int32_t n : {64, 113, 163, 233, 283, 360}) {
    GetNormal(p, n);
    polys.push_back(p);
  }
  for (const bool hardware : {false, true}) {
    if (hardware && !GF2HardwareKernelsAvailable()) continue;
    GF2UseHardwareKernels(hardware);
    const std::string seed = SeedRandom(hardware ? 7202 : 7201);
    for (const TGF2Poly& q : polys) {
      TGF2N f;
      f.SetField(q, btStandard, false);
      for (int it = 0; it < Iterations(4); ++it) {
        TGF2Poly a, b, c, ref;
        f.Rnd(a);
        if (a.IsZero()) a.SetOne();
        b.Assign(a);
        ASSERT_TRUE(f.Inv(b));
        c.Assign(a);
        f.Mul(c, b);
        ASSERT_TRUE(f.Is1(c)) << seed << " P " << GF2DegsToStr(q, true) << " a " << GF2ToHexStr(a, 0);
        f.Rnd(c);
        ref.Assign(c);
        GF2Mul(ref, a);
        GF2Mod(ref, q);
        f.Mul(c, a);
        ASSERT_TRUE(GF2Equal(c, ref)) << seed << " P " << GF2DegsToStr(q, true);
      }
    }
  }
  // Normal basis on the normal pentanomials: a·b mapped to the standard
  // basis is the standard product of the mapped operands.
  SeedRandom(7203);
  for (std::int32_t n : {64, 163, 283}) {
    GetNormal(p, n);
    TGF2N f;
    f.SetField(p, btNormal, false);
    ASSERT_EQ(f.RedKind(), TGF2N::RedPentanomial);
    ASSERT_EQ(f.Red2(), n - 1);
    for (int it = 0; it < Iterations(4); ++it) {
      TGF2Poly a, b, sa, sb;
      f.Rnd(a);
      f.Rnd(b);
      sa.Assign(a);
      sb.Assign(b);
      TGF2N::ApplyMatrix(sa, *f.N2S());
      TGF2N::ApplyMatrix(sb, *f.N2S());
      f.Mul(a, b);
      TGF2N::ApplyMatrix(a, *f.N2S());
      GF2Mul(sa, sb);
      GF2Mod(sa, p);
      ASSERT_TRUE(GF2Equal(a, sa)) << "N " << n;
    }
  }
}

// A field copied with Assign or loaded from its stream form reduces as the
// original does, for each way of reducing.
TEST(GF2NReduceShapes, CopiesReduceAlike) {
  const std::string seed = SeedRandom(7301);
  std::vector<TGF2Poly> polys;
  TGF2Poly p;
  GF2SetDegs(p, {163, 7, 6, 3, 0});  // word fold
  polys.push_back(p);
  GetNormal(p, 163);  // Barrett, sparse remainder
  polys.push_back(p);
  GF2SetDegs(p, {163, 40, 20, 9, 5, 2, 0});  // tail fold
  polys.push_back(p);
  GF2Reverse(p, 0);  // Barrett, dense remainder
  polys.push_back(p);
  for (const TGF2Poly& q : polys) {
    for (std::uint8_t basis : {btStandard, btNormal}) {
      TGF2N f;
      if (basis == btNormal && !GF2IsNormal(q)) continue;
      f.SetField(q, basis, false);
      TGF2N g, h;
      g.Assign(f);
      TMemoryStream s;
      f.SaveToStream(s);
      s.SetPosition(0);
      h.LoadFromStream(s);
      for (int it = 0; it < Iterations(5); ++it) {
        TGF2Poly a, b, c;
        GF2Rnd(a, 2 * 163 - 2, false);
        b.Assign(a);
        c.Assign(a);
        f.Reduce(a);
        g.Reduce(b);
        h.Reduce(c);
        ASSERT_TRUE(GF2Equal(a, b)) << seed << " P " << GF2DegsToStr(q, true);
        ASSERT_TRUE(GF2Equal(a, c)) << seed << " P " << GF2DegsToStr(q, true);
      }
    }
  }
}

}  // namespace
}  // namespace rara::test
