// Limb kernels: the limb-pair multiply and square kernels against the plain
// 32-bit ones for every odd/even size pairing, and the multiply-subtract
// kernel (used by division) against a multiply followed by a subtraction.
#include <gtest/gtest.h>

#include <vector>

#include "integers/int_kernels.h"
#include "integers/random.h"
#include "tests/integers/int_test_values.h"
#include "tests/support/test_support.h"

namespace rara::test {
namespace {

using Limbs = std::vector<std::uint32_t>;

Limbs RandomLimbs(std::int32_t n, int pattern) {
  Limbs v(static_cast<std::size_t>(n));
  for (auto& x : v) x = PatternLimb(pattern);
  return v;
}

TEST(IntegerKernels, PairKernelsMatchPlainOnes) {
  std::string seed = SeedRandom(401);
  for (std::int32_t na = 1; na <= 40; ++na) {
    for (std::int32_t nb = 1; nb <= na; nb += (nb < 6 ? 1 : 5)) {
      int pattern = (na + nb) % 4;
      Limbs a = RandomLimbs(na, pattern), b = RandomLimbs(nb, (pattern + 1) % 4);
      Limbs r1(static_cast<std::size_t>(na + nb)), r2(r1.size());
      limb::Mul(r1.data(), a.data(), na, b.data(), nb);
      limb::MulRef(r2.data(), a.data(), na, b.data(), nb);
      EXPECT_EQ(r1, r2) << seed << " Mul na=" << na << " nb=" << nb;
      limb::Mul(r1.data(), b.data(), nb, a.data(), na);
      EXPECT_EQ(r1, r2) << seed << " Mul na=" << nb << " nb=" << na;
    }
    for (int pattern = 0; pattern < 4; ++pattern) {
      Limbs a = RandomLimbs(na, pattern);
      Limbs r1(static_cast<std::size_t>(2 * na)), r2(r1.size());
      limb::Sqr(r1.data(), a.data(), na);
      limb::SqrRef(r2.data(), a.data(), na);
      EXPECT_EQ(r1, r2) << seed << " Sqr n=" << na << " pattern=" << pattern;
      limb::MulRef(r2.data(), a.data(), na, a.data(), na);
      EXPECT_EQ(r1, r2) << seed << " Sqr as Mul n=" << na;
    }
    if (HasFailure()) return;
  }
}

TEST(IntegerKernels, MulSubAndMulAdd) {
  std::string seed = SeedRandom(402);
  for (int it = 0; it < Iterations(500); ++it) {
    std::int32_t n = 1 + static_cast<std::int32_t>(RuvRandom() % 20);
    int pattern = static_cast<int>(RuvRandom() % 4);
    Limbs r = RandomLimbs(n, pattern), a = RandomLimbs(n, (pattern + 2) % 4);
    std::uint32_t w = PatternLimb(pattern);
    // Reference: p = a·w in n+1 limbs; r - p with the borrow out of limb n.
    Limbs p(static_cast<std::size_t>(n + 1));
    p[static_cast<std::size_t>(n)] = limb::MulWord(p.data(), a.data(), n, w);
    Limbs want = r;
    std::uint32_t borrow = limb::Sub(want.data(), want.data(), p.data(), n);
    std::uint64_t high = static_cast<std::uint64_t>(p[static_cast<std::size_t>(n)]) + borrow;
    Limbs got = r;
    std::uint32_t out = limb::MulSub(got.data(), a.data(), n, w);
    EXPECT_EQ(got, want) << seed << " it=" << it;
    EXPECT_EQ(out, high) << seed << " it=" << it;
    // MulAdd undoes it.
    std::uint32_t carry = limb::MulAdd(got.data(), a.data(), n, w);
    EXPECT_EQ(got, r) << seed << " it=" << it;
    EXPECT_EQ(carry, out) << seed << " it=" << it;
    if (HasFailure()) return;
  }
}

}  // namespace
}  // namespace rara::test
