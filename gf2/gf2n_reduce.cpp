// TGF2N reduction modulo the field polynomial P. A product of two elements
// (degree below 2N) is reduced in one of three ways chosen when the field is
// set up: whole words folded down by sparse exponents that lie at least one
// word below N; Barrett's method (quotient from one carry-less product with
// x^(2N) div P, remainder from the sparse exponents or one more product);
// or, for a dense tail far below x^N, the high part times the tail. Longer
// polynomials are brought below degree 2N a block at a time first.
#include <bit>
#include <cstring>
#include <vector>

#include "gf2/gf2_kernel_limits.h"
#include "gf2/gf2_kernels.h"
#include "gf2/gf2n.h"
#include "integers/break.h"

namespace rara {

namespace {

using gf2_limits::FixedWords;

inline std::int32_t ElementWords(std::int32_t n) noexcept { return ((n - 1) >> 5) + 1; }

inline std::int32_t TopDegree(const std::uint32_t* w, std::int32_t count) noexcept {
  while (count > 0 && w[count - 1] == 0) --count;
  if (count == 0) return -1;
  return 32 * (count - 1) + static_cast<std::int32_t>(std::bit_width(w[count - 1])) - 1;
}

// W ^= T·x^off (off >= 0); the caller guarantees the words exist.
inline void XorAt(std::uint32_t* w, std::int32_t off, std::uint32_t t) noexcept {
  const std::int32_t q = off >> 5;
  const int s = off & 31;
  w[q] ^= t << s;
  if (s != 0) w[q + 1] ^= t >> (32 - s);
}

// W[0..count) := W mod (x^N + sum of x^k[i] + 1) for the sparse P whose
// middle exponents k[0..nk) satisfy N - k >= 32: every bit folded from a word
// lands in lower words, so one downward pass over whole words suffices.
void ReduceSparseWords(std::uint32_t* w, std::int32_t count, std::int32_t n, const std::int32_t* k, int nk) noexcept {
  const std::int32_t wn = n >> 5;
  const int bn = n & 31;
  for (std::int32_t i = count - 1; i > wn; --i) {
    const std::uint32_t t = w[i];
    if (t == 0) continue;
    w[i] = 0;
    const std::int32_t base = 32 * i - n;
    XorAt(w, base, t);
    for (int j = 0; j < nk; ++j) XorAt(w, base + k[j], t);
  }
  if (wn < count) {
    const std::uint32_t t = w[wn] >> bn;
    if (t != 0) {
      w[wn] &= (1u << bn) - 1u;
      w[0] ^= t;
      for (int j = 0; j < nk; ++j) XorAt(w, k[j], t);
    }
  }
}

// The same on 64-bit limbs for middle exponents at least 64 below N: half
// the folds of the word pass.
void ReduceSparseLimbs(std::uint64_t* w, std::int32_t count, std::int32_t n, const std::int32_t* k, int nk) noexcept {
  auto xorAt = [w](std::int32_t off, std::uint64_t t) {
    const std::int32_t q = off >> 6;
    const int s = off & 63;
    w[q] ^= t << s;
    if (s != 0) w[q + 1] ^= t >> (64 - s);
  };
  const std::int32_t wn = n >> 6;
  const int bn = n & 63;
  for (std::int32_t i = count - 1; i > wn; --i) {
    const std::uint64_t t = w[i];
    if (t == 0) continue;
    w[i] = 0;
    const std::int32_t base = 64 * i - n;
    xorAt(base, t);
    for (int j = 0; j < nk; ++j) xorAt(base + k[j], t);
  }
  if (wn < count) {
    const std::uint64_t t = w[wn] >> bn;
    if (t != 0) {
      w[wn] &= (std::uint64_t{1} << bn) - 1u;
      w[0] ^= t;
      for (int j = 0; j < nk; ++j) xorAt(k[j], t);
    }
  }
}

// H[0..w) := bits N.. of R (R has at least N/32 + w words... read below
// 2w words only, as N < 32w).
inline void HighPart(std::uint32_t* h, const std::uint32_t* r, std::int32_t w, std::int32_t n) noexcept {
  const std::int32_t q = n >> 5;
  const int s = n & 31;
  if (s == 0) {
    for (std::int32_t i = 0; i < w; ++i) h[i] = r[q + i];
  } else {
    for (std::int32_t i = 0; i < w; ++i) h[i] = (r[q + i] >> s) | (r[q + i + 1] << (32 - s));
  }
}

// R[0..w) ^= the words below w of Q[0..w)·x^e.
inline void XorShiftedLow(std::uint32_t* r, const std::uint32_t* q, std::int32_t w, std::int32_t e) noexcept {
  const std::int32_t a = e >> 5;
  const int b = e & 31;
  if (a >= w) return;
  if (b == 0) {
    for (std::int32_t j = a; j < w; ++j) r[j] ^= q[j - a];
  } else {
    r[a] ^= q[0] << b;
    for (std::int32_t j = a + 1; j < w; ++j) r[j] ^= (q[j - a] << b) | (q[j - a - 1] >> (32 - b));
  }
}

// Bits N and up of R[0..2w) cleared.
inline void ClearHigh(std::uint32_t* r, std::int32_t w, std::int32_t n) noexcept {
  const int s = n & 31;
  const std::int32_t q = n >> 5;
  std::int32_t from = q;
  if (s != 0) {
    r[q] &= (1u << s) - 1u;
    from = q + 1;
  }
  for (std::int32_t i = from; i < 2 * w; ++i) r[i] = 0;
}

}  // namespace

// ---------------------------------------------------------------- set-up

void TGF2N::PrepareReduce() {
  const std::int32_t w = ElementWords(n_);
  tail_.clear();
  mu_.clear();
  sparseCount_ = 0;
  TGF2Poly tail(fieldPoly_);
  tail.SetCoef(n_, false);
  const std::int32_t weight = fieldPoly_.Weight();
  // A constant term is needed by the word fold and the sparse remainder;
  // without one (a reducible P accepted unchecked) the dense forms apply.
  const bool sparse = fieldPoly_.Coef(0) && weight >= 3 && weight <= 5;
  if (sparse) {
    TDynLongintArray d;
    GF2GetDegs(fieldPoly_, d);
    for (std::size_t i = 1; i + 1 < d.size(); ++i) sparseExp_[sparseCount_++] = d[i];
    if (n_ - sparseExp_[0] >= 32) {
      reduceMethod_ = TReduceMethod::WordFold;
      return;
    }
  }
  auto words = [w](const TGF2Poly& p, std::vector<std::uint32_t>& v) {
    v.assign(static_cast<std::size_t>(w), 0);
    for (std::int32_t i = 0; i < p.Count(); ++i) v[static_cast<std::size_t>(i)] = p.Words()[i];
  };
  // Two folds reduce any product when deg(tail) <= N/2, at the cost of
  // Barrett's two products without its shifts.
  if (!sparse && w <= FixedWords && 2 * tail.Degree() <= n_) {
    reduceMethod_ = TReduceMethod::TailFold;
    words(tail, tail_);
    return;
  }
  TGF2Poly mu;
  mu.SetMonomial(2 * n_);
  GF2Div(mu, fieldPoly_);
  mu.SetCoef(n_, false);
  words(mu, mu_);
  if (sparse) {
    reduceMethod_ = TReduceMethod::BarrettSparse;
  } else {
    reduceMethod_ = TReduceMethod::BarrettDense;
    words(tail, tail_);
  }
}

// ---------------------------------------------------------------- products

void TGF2N::ReduceProduct(std::uint32_t* r) const {
  switch (reduceMethod_) {
    case TReduceMethod::WordFold: {
      const std::int32_t w = ElementWords(n_);
      if (n_ - sparseExp_[0] < 64 || w > FixedWords) {
        ReduceSparseWords(r, 2 * w, n_, sparseExp_, sparseCount_);
        return;
      }
      // The 2w words of R are w limbs.
      std::uint64_t l[FixedWords];
      for (std::int32_t i = 0; i < w; ++i) l[i] = r[2 * i] | static_cast<std::uint64_t>(r[2 * i + 1]) << 32;
      ReduceSparseLimbs(l, w, n_, sparseExp_, sparseCount_);
      for (std::int32_t i = 0; i < w; ++i) r[i] = static_cast<std::uint32_t>(l[i >> 1] >> (32 * (i & 1)));
      for (std::int32_t i = w; i < 2 * w; ++i) r[i] = 0;
      return;
    }
    case TReduceMethod::TailFold:
      ReduceByTail(r);
      return;
    default:
      ReduceBarrett(r);
      return;
  }
}

void TGF2N::ReduceBarrett(std::uint32_t* r) const {
  // R = H·x^N + L with deg H < N. With mu = x^(2N) div P the quotient
  // R div P is exactly (H·mu) div x^N = H + (H·mu') div x^N, mu' = mu - x^N,
  // and R mod P = (L + quotient·(P - x^N)) mod x^N.
  const std::int32_t w = ElementWords(n_);
  std::uint32_t fixed[3 * FixedWords];
  std::vector<std::uint32_t> heap;
  std::uint32_t* h = fixed;
  if (w > FixedWords) {
    heap.resize(3 * static_cast<std::size_t>(w));
    h = heap.data();
  }
  std::uint32_t* t = h + w;
  HighPart(h, r, w, n_);
  KMul(t, h, mu_.data(), w, false);
  // H := the quotient; (H·mu') div x^N has degree below N - 1, so reading
  // 2w words of T suffices.
  {
    const std::int32_t q = n_ >> 5;
    const int s = n_ & 31;
    if (s == 0) {
      for (std::int32_t i = 0; i + q < 2 * w && i < w; ++i) h[i] ^= t[q + i];
    } else {
      for (std::int32_t i = 0; i < w; ++i) {
        std::uint32_t v = t[q + i] >> s;
        if (q + i + 1 < 2 * w) v |= t[q + i + 1] << (32 - s);
        h[i] ^= v;
      }
    }
  }
  if (reduceMethod_ == TReduceMethod::BarrettSparse) {
    for (std::int32_t i = 0; i < w; ++i) r[i] ^= h[i];
    for (int j = 0; j < sparseCount_; ++j) XorShiftedLow(r, h, w, sparseExp_[j]);
  } else {
    KMul(t, h, tail_.data(), w, false);
    for (std::int32_t i = 0; i < w; ++i) r[i] ^= t[i];
  }
  ClearHigh(r, w, n_);
}

void TGF2N::ReduceByTail(std::uint32_t* r) const {
  // R = L + H·x^N = L + H·(P - x^N) mod P: fold the high part H down.
  const std::int32_t w = ElementWords(n_);
  const std::int32_t count = 2 * w;
  const std::int32_t q = n_ >> 5;
  const int s = n_ & 31;
  std::uint32_t h[FixedWords], t[2 * FixedWords];
  while (TopDegree(r, count) >= n_) {
    HighPart(h, r, w, n_);
    if (s != 0) r[q] &= (1u << s) - 1u;
    for (std::int32_t i = s != 0 ? q + 1 : q; i < count; ++i) r[i] = 0;
    KMul(t, h, tail_.data(), w, false);
    for (std::int32_t i = 0; i < count; ++i) r[i] ^= t[i];
  }
}

// ---------------------------------------------------------------- any length

void TGF2N::ReduceStd(TGF2Poly& a) const {
  std::int32_t d = a.Degree();
  if (d < n_) return;
  if (reduceMethod_ == TReduceMethod::WordFold) {
    ReduceSparseWords(a.Words(), a.Count(), n_, sparseExp_, sparseCount_);
    a.Normalize(true);
    return;
  }
  // Above degree 2N - 1: the top 2N coefficients are reduced and put back in
  // place, lowering the degree by N at least each round.
  if (d >= 2 * n_) {
    TUVPoly top;
    while (d >= 2 * n_) {
      RuvBreak();
      const std::int32_t s = d - (2 * n_ - 1);
      top->Assign(a);
      GF2DivXk(*top, s);
      GF2ModXk(a, s);
      ReduceStd(*top);
      GF2MulXk(*top, s);
      GF2Add(a, *top);
      d = a.Degree();
    }
    if (d < n_) {
      a.Normalize(true);
      return;
    }
  }
  const std::int32_t w = ElementWords(n_);
  std::uint32_t fixed[2 * FixedWords];
  std::vector<std::uint32_t> heap;
  std::uint32_t* r = fixed;
  if (w > FixedWords) {
    heap.resize(2 * static_cast<std::size_t>(w));
    r = heap.data();
  }
  std::memset(r, 0, 8 * static_cast<std::size_t>(w));
  std::memcpy(r, a.Words(), 4 * static_cast<std::size_t>(a.Count()));
  ReduceProduct(r);
  std::int32_t count = w;
  while (count > 0 && r[count - 1] == 0) --count;
  a.SetSize(0, false);
  if (count > 0) {
    a.SetSize(count, false);
    std::memcpy(a.Words(), r, 4 * static_cast<std::size_t>(count));
  }
  a.Normalize(true);
}

void TGF2N::Reduce(TGF2Poly& a) const { ReduceStd(a); }

}  // namespace rara
