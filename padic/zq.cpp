// TZqRing: set-up, element operations and the power-sum traces.
#include "padic/zq.h"

#include <algorithm>
#include <cstring>

#include "integers/errors.h"
#include "padic/teichmuller.h"
#include "padic/zq_kernels.h"

namespace rara {

void TZqRing::Setup(const TGF2Poly& p, int words) {
  const std::int32_t n = p.Degree();
  if (n < 2 || !p.Coef(0))
    RaiseInvalidArg("TZqRing.Setup", "P should have degree 2 or more and a constant term");
  if (words < 1 || words > zq::MaxWords) RaiseInvalidArg("TZqRing.Setup", "Invalid precision");
  TDynLongintArray d;
  GF2GetDegs(p, d);
  n_ = n;
  dense_ = false;
  exps_.assign(d.begin() + 1, d.end());
  BuildTraces();
  prod_.assign(static_cast<std::size_t>(2 * n_) * zq::MaxWords, 0);
  scratch_.assign(zq::MulScratchWords(static_cast<std::size_t>(n_), zq::MaxWords) + zq::MaxWords, 0);
  SetWords(words);
}

void TZqRing::SetupTeichmuller(const TGF2Poly& p, int words) {
  Setup(p, words);
  const std::size_t n = static_cast<std::size_t>(n_);
  std::vector<std::uint64_t> t, inv;
  TeichmullerModulus(t, p, words);
  // x^N·T~(1/x) has the coefficients of T~ from the top: 1, t[N−1], t[N−2]…
  std::vector<std::uint64_t> rev(n * words, 0);
  rev[0] = 1;
  for (std::size_t j = 1; j < n; ++j)
    std::memcpy(rev.data() + j * words, t.data() + (n - j) * words, words * sizeof(std::uint64_t));
  PowerSeriesInverse(inv, rev, n - 1, words);
  inv.resize(n * words, 0);
  tLow_.assign(static_cast<std::size_t>(words), {});
  tInv_.assign(static_cast<std::size_t>(words), {});
  for (int w = 1; w <= words; ++w) {
    auto& lo = tLow_[static_cast<std::size_t>(w - 1)];
    auto& iv = tInv_[static_cast<std::size_t>(w - 1)];
    lo.assign(n * w, 0);
    iv.assign(n * w, 0);
    for (std::size_t i = 0; i < n; ++i) {
      std::memcpy(lo.data() + i * w, t.data() + i * words, w * sizeof(std::uint64_t));
      std::memcpy(iv.data() + i * w, inv.data() + i * words, w * sizeof(std::uint64_t));
    }
  }
  dense_ = true;
  denseWords_ = words;
  wide_.assign(4 * n * zq::MaxWords, 0);
  BuildTracesDense(rev);
}

void TZqRing::SetWords(int words) {
  if (words < 1 || words > zq::MaxWords || (dense_ && words > denseWords_))
    RaiseInvalidArg("TZqRing.SetWords", "Invalid precision");
  w_ = words;
}

// Newton's identities for the monic P~ = x^N + sum of x^e: the power sums
// s_i of its roots satisfy s_i = −i·[N−i is an exponent] − sum over the
// exponents e > N−i of s_(i−N+e).
void TZqRing::BuildTraces() {
  constexpr int w = zq::MaxWords;
  traces_.assign(static_cast<std::size_t>(n_) * w, 0);
  traces_[0] = static_cast<std::uint64_t>(n_);
  for (std::int32_t i = 1; i < n_; ++i) {
    std::uint64_t* s = traces_.data() + static_cast<std::size_t>(i) * w;
    for (std::int32_t e : exps_) {
      if (e == n_ - i) {
        std::uint64_t k[w] = {static_cast<std::uint64_t>(i)};
        zq::IntSub(s, s, k, w);
      } else if (e > n_ - i) {
        zq::IntSub(s, s, traces_.data() + static_cast<std::size_t>(i - n_ + e) * w, w);
      }
    }
  }
}

// For the dense T~ the identities in one product: with R(x) = x^N·T~(1/x),
// the product of the 1 − r·x over the roots r, R'/R = −sum of s_i·x^(i−1),
// and 1/R modulo x^(N−1) is the Barrett inverse already at hand.
void TZqRing::BuildTracesDense(const std::vector<std::uint64_t>& rev) {
  constexpr int mw = zq::MaxWords;
  const int w = denseWords_;
  const std::size_t n = static_cast<std::size_t>(n_);
  std::vector<std::uint64_t> d(n * w, 0), prod(2 * n * w, 0), t(zq::MulScratchWords(n, w) + w);
  // d := −R' modulo x^(N−1)
  for (std::size_t j = 1; j < n; ++j) {
    std::uint64_t k[mw] = {static_cast<std::uint64_t>(j)}, z[mw] = {};
    zq::IntMul(k, k, rev.data() + j * w, w);
    zq::IntSub(d.data() + (j - 1) * w, z, k, w);
  }
  zq::PolyMul(prod.data(), d.data(), tInv_[static_cast<std::size_t>(w - 1)].data(), n, w, t.data());
  traces_.assign(n * mw, 0);
  traces_[0] = static_cast<std::uint64_t>(n_);
  for (std::size_t i = 1; i < n; ++i)
    std::memcpy(traces_.data() + i * mw, prod.data() + (i - 1) * w, w * sizeof(std::uint64_t));
}

void TZqRing::SetZero(TZqElem& a) const { a.assign(ElemWords(), 0); }

void TZqRing::SetSmall(TZqElem& a, std::int64_t c) const {
  SetZero(a);
  AddSmall(a, c);
}

void TZqRing::FromGF2(TZqElem& a, const TGF2Poly& e) const {
  SetZero(a);
  const std::int32_t top = std::min(e.Degree(), n_ - 1);
  for (std::int32_t i = 0; i <= top; ++i)
    if (e.Coef(i)) a[static_cast<std::size_t>(i) * w_] = 1;
}

void TZqRing::ToGF2(TGF2Poly& e, const TZqElem& a) const {
  e.Clear();
  for (std::int32_t i = 0; i < n_; ++i)
    if (a[static_cast<std::size_t>(i) * w_] & 1u) e.SetCoef(i, true);
}

void TZqRing::Resize(TZqElem& a, int oldWords) const {
  if (oldWords == w_) return;
  TZqElem b(ElemWords(), 0);
  const int keep = std::min(oldWords, w_);
  for (std::int32_t i = 0; i < n_; ++i)
    std::memcpy(b.data() + static_cast<std::size_t>(i) * w_,
                a.data() + static_cast<std::size_t>(i) * oldWords, keep * sizeof(std::uint64_t));
  a.swap(b);
}

// One-word elements (the low iterations of every root) take plain loops
// rather than a call per coefficient.
void TZqRing::Add(TZqElem& a, const TZqElem& b) const {
  if (w_ == 1) {
    for (std::size_t i = 0; i < ElemWords(); ++i) a[i] += b[i];
    return;
  }
  for (std::size_t i = 0; i < ElemWords(); i += w_) zq::IntAdd(a.data() + i, a.data() + i, b.data() + i, w_);
}

void TZqRing::Sub(TZqElem& a, const TZqElem& b) const {
  if (w_ == 1) {
    for (std::size_t i = 0; i < ElemWords(); ++i) a[i] -= b[i];
    return;
  }
  for (std::size_t i = 0; i < ElemWords(); i += w_) zq::IntSub(a.data() + i, a.data() + i, b.data() + i, w_);
}

void TZqRing::Neg(TZqElem& a) const {
  TZqElem z;
  SetZero(z);
  Sub(z, a);
  a.swap(z);
}

void TZqRing::AddSmall(TZqElem& a, std::int64_t c) const {
  std::uint64_t k[zq::MaxWords];
  const std::uint64_t fill = c < 0 ? ~std::uint64_t{0} : 0;
  k[0] = static_cast<std::uint64_t>(c);
  for (int i = 1; i < w_; ++i) k[i] = fill;
  zq::IntAdd(a.data(), a.data(), k, w_);
}

void TZqRing::Shl(TZqElem& a, int bits) const {
  if (w_ == 1) {
    for (std::size_t i = 0; i < ElemWords(); ++i) a[i] <<= bits;
    return;
  }
  for (std::size_t i = 0; i < ElemWords(); i += w_) zq::IntShl(a.data() + i, a.data() + i, bits, w_);
}

void TZqRing::Shr(TZqElem& a, int bits) const {
  if (w_ == 1) {
    for (std::size_t i = 0; i < ElemWords(); ++i) a[i] >>= bits;
    return;
  }
  for (std::size_t i = 0; i < ElemWords(); i += w_) zq::IntShr(a.data() + i, a.data() + i, bits, w_);
}

void TZqRing::Cut(TZqElem& a, int bits) const {
  if (bits >= 64 * w_) return;
  const int q = bits >> 6;
  const std::uint64_t mask = (std::uint64_t{1} << (bits & 63)) - 1;
  for (std::size_t i = 0; i < ElemWords(); i += w_) {
    a[i + q] &= mask;
    for (int k = q + 1; k < w_; ++k) a[i + k] = 0;
  }
}

// Barrett: with c the product buffer (2N − 1 coefficients), the quotient by
// T~ is the reversal of (the reversed top of c)·tInv modulo x^(N−1), and the
// remainder c − quotient·T~ needs only the low N coefficients of
// quotient·(T~ − x^N).
void TZqRing::ReduceDense() {
  const std::size_t n = static_cast<std::size_t>(n_), w = static_cast<std::size_t>(w_);
  const std::size_t bytes = w * sizeof(std::uint64_t);
  std::uint64_t* c = prod_.data();
  std::uint64_t* rc = wide_.data();
  std::uint64_t* q = rc + n * w;
  std::uint64_t* t1 = q + n * w;
  for (std::size_t j = 0; j + 1 < n; ++j) std::memcpy(rc + j * w, c + (2 * n - 2 - j) * w, bytes);
  std::memset(rc + (n - 1) * w, 0, bytes);
  zq::PolyMul(t1, rc, tInv_[w - 1].data(), n, w_, scratch_.data());
  for (std::size_t i = 0; i + 1 < n; ++i) std::memcpy(q + i * w, t1 + (n - 2 - i) * w, bytes);
  std::memset(q + (n - 1) * w, 0, bytes);
  zq::PolyMul(t1, q, tLow_[w - 1].data(), n, w_, scratch_.data());
  for (std::size_t i = 0; i < n * w; i += w) zq::IntSub(c + i, c + i, t1 + i, w_);
}

void TZqRing::Inflate(const TZqElem& a) {
  const std::size_t n = static_cast<std::size_t>(n_), w = static_cast<std::size_t>(w_);
  std::memset(prod_.data(), 0, (2 * n - 1) * w * sizeof(std::uint64_t));
  for (std::size_t i = 0; i < n; ++i)
    std::memcpy(prod_.data() + 2 * i * w, a.data() + i * w, w * sizeof(std::uint64_t));
}

void TZqRing::Frobenius(TZqElem& r, const TZqElem& a) {
  if (!dense_) RaiseInvalidArg("TZqRing.Frobenius", "Needs the Teichmuller modulus");
  Inflate(a);
  Reduce(r);
}

void TZqRing::FrobeniusResidual(TZqElem& r, const TZqElem& alpha, const TZqElem& d, const TZqElem& beta) {
  if (!dense_) RaiseInvalidArg("TZqRing.FrobeniusResidual", "Needs the Teichmuller modulus");
  const std::size_t n = static_cast<std::size_t>(n_), w = static_cast<std::size_t>(w_);
  zq::PolyMul(prod_.data(), alpha.data(), d.data(), n, w_, scratch_.data());
  std::uint64_t* c = prod_.data();
  for (std::size_t i = 0; i < n; ++i) {
    zq::IntAdd(c + i * w, c + i * w, beta.data() + i * w, w_);
    zq::IntSub(c + 2 * i * w, c + 2 * i * w, d.data() + i * w, w_);
  }
  Reduce(r);
}

void TZqRing::Reduce(TZqElem& r) {
  if (dense_)
    ReduceDense();
  else
    zq::PolyReduceSparse(prod_.data(), static_cast<std::size_t>(n_), exps_.data(),
                         static_cast<int>(exps_.size()), w_);
  r.resize(ElemWords());
  std::memcpy(r.data(), prod_.data(), ElemWords() * sizeof(std::uint64_t));
}

void TZqRing::Mul(TZqElem& r, const TZqElem& a, const TZqElem& b) {
  zq::PolyMul(prod_.data(), a.data(), b.data(), static_cast<std::size_t>(n_), w_, scratch_.data());
  Reduce(r);
}

void TZqRing::MulShort(TZqElem& r, const TZqElem& a, const TZqElem& b, int bBits) {
  // Eight spare bits hold the sums of B's coefficients in the recursion.
  const int wb = (bBits + 8 + 63) / 64;
  if (wb >= w_) {
    Mul(r, a, b);
    return;
  }
  zq::PolyMulShort(prod_.data(), a.data(), b.data(), static_cast<std::size_t>(n_), w_, wb, scratch_.data());
  Reduce(r);
}

void TZqRing::Sqr(TZqElem& r, const TZqElem& a) {
  zq::PolyMul(prod_.data(), a.data(), a.data(), static_cast<std::size_t>(n_), w_, scratch_.data());
  Reduce(r);
}

void TZqRing::Trace(std::uint64_t* t, const TZqElem& a) const {
  // The power sums are stored at full width; their low words are the values
  // at the current width.
  std::uint64_t acc[zq::MaxWords] = {}, p[zq::MaxWords];
  for (std::int32_t i = 0; i < n_; ++i) {
    zq::IntMul(p, a.data() + static_cast<std::size_t>(i) * w_,
               traces_.data() + static_cast<std::size_t>(i) * zq::MaxWords, w_);
    zq::IntAdd(acc, acc, p, w_);
  }
  std::memcpy(t, acc, w_ * sizeof(std::uint64_t));
}

}  // namespace rara
