// TZqRing: set-up, element operations and the power-sum traces.
#include "padic/zq.h"

#include <algorithm>
#include <cstring>

#include "integers/errors.h"
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
  exps_.assign(d.begin() + 1, d.end());
  BuildTraces();
  prod_.assign(static_cast<std::size_t>(2 * n_) * zq::MaxWords, 0);
  scratch_.assign(zq::MulScratchWords(static_cast<std::size_t>(n_), zq::MaxWords) + zq::MaxWords, 0);
  SetWords(words);
}

void TZqRing::SetWords(int words) {
  if (words < 1 || words > zq::MaxWords) RaiseInvalidArg("TZqRing.SetWords", "Invalid precision");
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

void TZqRing::Reduce(TZqElem& r) {
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
