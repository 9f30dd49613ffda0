// The fixed-point kernels of the Weber product against GMP: the rounded
// multiply-add step (signs, scales, missing terms, output aliasing an
// input), the rounding shift and the bit length.
#include <gmp.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "engine/weber_fixed.h"
#include "integers/random.h"
#include "tests/support/test_support.h"

namespace rara {
namespace {

using weber_fixed::TFactorCoef;
using weber_fixed::Word;

class TMpz {
 public:
  TMpz() { mpz_init(v_); }
  ~TMpz() { mpz_clear(v_); }
  TMpz(const TMpz&) = delete;
  TMpz& operator=(const TMpz&) = delete;
  mpz_ptr get() { return v_; }
  std::string Str() const { return std::string(mpz_get_str(buf_, 16, v_)); }

 private:
  mpz_t v_;
  mutable char buf_[4096];
};

// Uniform below n (n >= 1), near enough for test inputs.
std::uint32_t RuvRandom(std::uint32_t n) { return rara::RuvRandom() % n; }

Word RandomWord() {
  return (static_cast<Word>(rara::RuvRandom()) << 32) | rara::RuvRandom();
}

// A random signed value of at most `bits` bits (sometimes much shorter),
// as w words of two's complement and as an mpz.
void RandomSigned(std::vector<Word>& a, std::int32_t w, std::int32_t bits, mpz_ptr ref) {
  if (RuvRandom(4) == 0) bits = static_cast<std::int32_t>(RuvRandom(static_cast<std::uint32_t>(bits) + 1));
  mpz_set_ui(ref, 0);
  for (std::int32_t i = (bits + 63) / 64 - 1; i >= 0; --i) {
    mpz_mul_2exp(ref, ref, 64);
    Word x = RandomWord();
    if (RuvRandom(8) == 0) x = RuvRandom(2) ? ~Word{0} : 0;  // long runs of ones and zeros
    mpz_add_ui(ref, ref, static_cast<unsigned long>(x));
  }
  mpz_fdiv_r_2exp(ref, ref, static_cast<mp_bitcnt_t>(bits));
  if (RuvRandom(2)) mpz_neg(ref, ref);
  // Two's complement: ref mod 2^(64w).
  TMpz t;
  mpz_fdiv_r_2exp(t.get(), ref, 64 * static_cast<mp_bitcnt_t>(w));
  a.assign(static_cast<std::size_t>(w), 0);
  for (std::int32_t i = 0; i < w; ++i) {
    TMpz q;
    mpz_fdiv_q_2exp(q.get(), t.get(), 64 * static_cast<mp_bitcnt_t>(i));
    a[static_cast<std::size_t>(i)] = static_cast<Word>(mpz_get_ui(q.get()));
  }
}

// The signed value of a two's-complement a[0..w).
void FromWords(const Word* a, std::int32_t w, mpz_ptr out) {
  mpz_set_ui(out, 0);
  for (std::int32_t i = w - 1; i >= 0; --i) {
    mpz_mul_2exp(out, out, 64);
    mpz_add_ui(out, out, static_cast<unsigned long>(a[i]));
  }
  if ((a[w - 1] >> 63) != 0) {
    TMpz top;
    mpz_setbit(top.get(), 64 * static_cast<mp_bitcnt_t>(w));
    mpz_sub(out, out, top.get());
  }
}

// A factor coefficient of at most `bits` bits in v words.
void RandomFactor(std::vector<Word>& mag, std::int32_t v, std::int32_t bits, bool& negative, mpz_ptr ref) {
  std::vector<Word> a;
  RandomSigned(a, v + 1, bits, ref);
  negative = mpz_sgn(ref) < 0;
  TMpz absRef;
  mpz_abs(absRef.get(), ref);
  mag.assign(static_cast<std::size_t>(v), 0);
  for (std::int32_t i = 0; i < v; ++i) {
    TMpz q;
    mpz_fdiv_q_2exp(q.get(), absRef.get(), 64 * static_cast<mp_bitcnt_t>(i));
    mag[static_cast<std::size_t>(i)] = static_cast<Word>(mpz_get_ui(q.get()));
  }
}

TEST(WeberFixed, StepMatchesExactRounding) {
  const std::string seed = test::SeedRandom(20261208);
  const int iterations = test::Iterations(3000);
  for (int it = 0; it < iterations; ++it) {
    const auto w = static_cast<std::int32_t>(1 + RuvRandom(8));
    const auto v = static_cast<std::int32_t>(1 + RuvRandom(8));
    const auto k = static_cast<std::int32_t>(RuvRandom(64 * static_cast<std::uint32_t>(v)));
    // Sizes that keep the result inside w words: |x·m·2^-k| < 2^(64w-3).
    const std::int32_t fbits = std::min(64 * v, k + 1);
    const std::int32_t cbits = 64 * w - 4;
    TMpz x, y, z, m, s;
    std::vector<Word> xw, yw, zw, mw, sw;
    bool mNeg = false, sNeg = false;
    RandomSigned(xw, w, cbits, x.get());
    RandomSigned(yw, w, cbits, y.get());
    RandomSigned(zw, w, cbits - 1, z.get());
    RandomFactor(mw, v, fbits, mNeg, m.get());
    RandomFactor(sw, v, fbits, sNeg, s.get());
    const bool hasX = RuvRandom(5) != 0, hasY = RuvRandom(5) != 0, hasZ = RuvRandom(3) != 0;
    const int alias = static_cast<int>(RuvRandom(4));  // 0 none, 1 x, 2 y, 3 z

    // Reference: floor((x·m + y·s + 2^(k-1))·2^-k) + z.
    TMpz expect, t;
    if (hasX) mpz_mul(expect.get(), x.get(), m.get());
    if (hasY) {
      mpz_mul(t.get(), y.get(), s.get());
      mpz_add(expect.get(), expect.get(), t.get());
    }
    if (k > 0) {
      mpz_set_ui(t.get(), 0);
      mpz_setbit(t.get(), static_cast<mp_bitcnt_t>(k - 1));
      mpz_add(expect.get(), expect.get(), t.get());
      mpz_fdiv_q_2exp(expect.get(), expect.get(), static_cast<mp_bitcnt_t>(k));
    }
    if (hasZ) mpz_add(expect.get(), expect.get(), z.get());

    std::vector<Word> out(static_cast<std::size_t>(w), 0x5A5A5A5A5A5A5A5AULL);
    Word* r = out.data();
    if (alias == 1 && hasX) r = xw.data();
    if (alias == 2 && hasY) r = yw.data();
    if (alias == 3 && hasZ) r = zw.data();
    std::vector<Word> scratch(3 * static_cast<std::size_t>(w + v + 1), 0xA5A5A5A5A5A5A5A5ULL);
    const std::int32_t bits = weber_fixed::Step(
        r, hasX ? xw.data() : nullptr, TFactorCoef{mw.data(), v, mNeg}, hasY ? yw.data() : nullptr,
        TFactorCoef{sw.data(), v, sNeg}, hasZ ? zw.data() : nullptr, w, k, scratch.data());
    TMpz got, diff;
    FromWords(r, w, got.get());
    // The left-out low word products move a result by less than 2^-58 of a
    // unit: off by one only next to a halfway point.
    mpz_sub(diff.get(), got.get(), expect.get());
    if (k < 192) {
      EXPECT_EQ(mpz_sgn(diff.get()), 0) << it;
    }
    ASSERT_LE(mpz_cmpabs_ui(diff.get(), 1), 0)
        << seed << " it " << it << " w " << w << " v " << v << " k " << k << " alias " << alias << "\nx " << x.Str()
        << " m " << m.Str() << "\ny " << y.Str() << " s " << s.Str() << "\nz " << z.Str() << "\nexpect "
        << expect.Str() << "\ngot " << got.Str();
    const auto size = static_cast<std::int32_t>(mpz_sgn(got.get()) == 0 ? 0 : mpz_sizeinbase(got.get(), 2));
    EXPECT_GE(bits, size) << it;
    EXPECT_LE(bits, size + 1) << it;
  }
}

TEST(WeberFixed, ShiftRightRoundsHalvesUp) {
  const std::string seed = test::SeedRandom(77);
  const int iterations = test::Iterations(2000);
  for (int it = 0; it < iterations; ++it) {
    const auto w = static_cast<std::int32_t>(1 + RuvRandom(6));
    std::int64_t s = RuvRandom(64 * static_cast<std::uint32_t>(w) + 70);
    if (RuvRandom(4) == 0) s = 64 * static_cast<std::int64_t>(RuvRandom(static_cast<std::uint32_t>(w) + 1));
    TMpz a, expect, t;
    std::vector<Word> aw;
    RandomSigned(aw, w, 64 * w - 2, a.get());
    mpz_set(expect.get(), a.get());
    if (s > 0) {
      mpz_setbit(t.get(), static_cast<mp_bitcnt_t>(s - 1));
      mpz_add(expect.get(), expect.get(), t.get());
      mpz_fdiv_q_2exp(expect.get(), expect.get(), static_cast<mp_bitcnt_t>(s));
    }
    weber_fixed::ShiftRight(aw.data(), w, s);
    TMpz got;
    FromWords(aw.data(), w, got.get());
    ASSERT_EQ(mpz_cmp(got.get(), expect.get()), 0)
        << seed << " w " << w << " s " << s << " a " << a.Str() << " got " << got.Str();
  }
  // -2^(s-1) is a half and goes up to zero; 2^(s-1) goes to one.
  std::vector<Word> a{~Word{0} << 9, ~Word{0}};
  weber_fixed::ShiftRight(a.data(), 2, 10);
  EXPECT_EQ(a[0], 0u);
  EXPECT_EQ(a[1], 0u);
  a = {Word{1} << 9, 0};
  weber_fixed::ShiftRight(a.data(), 2, 10);
  EXPECT_EQ(a[0], 1u);
}

}  // namespace
}  // namespace rara
