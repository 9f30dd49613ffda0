// The Teichmüller modulus. For T(x) = A(x^2) + x·B(x^2), T(x)·T(−x) =
// A(x^2)^2 − x^2·B(x^2)^2, so T~ is the fixed point of
// T ↦ (−1)^N·(A^2 − y·B^2) (y = x^2) that lifts P: its roots are closed under
// squaring. Newton's step from 2^n to 2^(2n) corrects T by δ with
// L(δ) = H(T), H(T) = A^2 − y·B^2 − (−1)^N·T and
// L(δ) = (−1)^N·δ − 2·(A·δ_A − y·B·δ_B), δ_A and δ_B δ's even and odd parts;
// L is ±1 modulo 2, and L(δ) = R is solved modulo 2^k by solving modulo
// 2^(k/2), then for the rest of R. Every product has half the degree of T
// and needs no reduction.
#include "padic/teichmuller.h"

#include <algorithm>
#include <cstring>

#include "integers/break.h"
#include "padic/zq_kernels.h"

namespace rara {

namespace {

using u64 = std::uint64_t;
using TVec = std::vector<u64>;

int WordsFor(int bits) { return (bits + 63) / 64; }

// A (count coefficients of 'from' words) at 'to' words: low words kept,
// new words zero.
TVec Narrow(const TVec& a, std::size_t count, int from, int to) {
  if (from == to) return a;
  TVec b(count * to, 0);
  const int keep = std::min(from, to);
  for (std::size_t i = 0; i < count; ++i)
    std::memcpy(b.data() + i * to, a.data() + i * from, keep * sizeof(u64));
  return b;
}

// R[0, 2n − 1) := A·B for n coefficients of w words each.
void PolyProduct(TVec& r, const TVec& a, const TVec& b, std::size_t n, int w) {
  r.assign(2 * n * w, 0);
  TVec t(zq::MulScratchWords(n, w) + w);
  zq::PolyMul(r.data(), a.data(), b.data(), n, w, t.data());
}

// Coefficient by coefficient; one-word vectors, the bulk of the recursion,
// as plain loops.
void ShiftRight(TVec& a, int bits, int w) {
  if (w == 1) {
    for (u64& x : a) x >>= bits;
    return;
  }
  for (std::size_t i = 0; i < a.size(); i += w) zq::IntShr(a.data() + i, a.data() + i, bits, w);
}

void ShiftLeft(TVec& a, int bits, int w) {
  if (w == 1) {
    for (u64& x : a) x <<= bits;
    return;
  }
  for (std::size_t i = 0; i < a.size(); i += w) zq::IntShl(a.data() + i, a.data() + i, bits, w);
}

void AddInto(TVec& a, const TVec& b, int w) {
  if (w == 1) {
    for (std::size_t i = 0; i < a.size(); ++i) a[i] += b[i];
    return;
  }
  for (std::size_t i = 0; i < a.size(); i += w) zq::IntAdd(a.data() + i, a.data() + i, b.data() + i, w);
}

void SubInto(TVec& a, const TVec& b, int w) {
  if (w == 1) {
    for (std::size_t i = 0; i < a.size(); ++i) a[i] -= b[i];
    return;
  }
  for (std::size_t i = 0; i < a.size(); i += w) zq::IntSub(a.data() + i, a.data() + i, b.data() + i, w);
}

class TTeichmullerLift {
 public:
  TTeichmullerLift(const TGF2Poly& p, int words)
      : n_(static_cast<std::size_t>(p.Degree())), h_(n_ / 2 + 1), words_(words), odd_(n_ % 2 != 0) {
    t_.assign(n_ * words_, 0);
    for (std::size_t i = 0; i < n_; ++i)
      if (p.Coef(static_cast<std::int32_t>(i))) t_[i * words_] = 1;
  }

  void Run(TVec& t) {
    const int full = 64 * words_;
    for (int prec = 1; prec < full;) {
      RuvBreak();
      const int n2 = std::min(2 * prec, full), w2 = WordsFor(n2), k = n2 - prec;
      SetHalves(WordsFor(n2));
      TVec r;
      Residual(r, w2);
      ShiftRight(r, prec, w2);
      TVec d;
      Solve(d, r, w2, k);
      TVec dw = Narrow(d, n_, WordsFor(k), words_);
      ShiftLeft(dw, prec, words_);
      AddInto(t_, dw, words_);
      prec = n2;
    }
    t.swap(t_);
  }

 private:
  // A and B of the current T at every width up to w.
  void SetHalves(int w) {
    a_.assign(static_cast<std::size_t>(w), {});
    b_.assign(static_cast<std::size_t>(w), {});
    for (int v = 1; v <= w; ++v) {
      const TVec tv = Narrow(t_, n_, words_, v);
      Split(a_[v - 1], b_[v - 1], tv, v, true);
    }
  }

  // The even and odd parts of D (n coefficients of w words), h coefficients
  // each; with the monic term x^N when 'monic'.
  void Split(TVec& a, TVec& b, const TVec& d, int w, bool monic) const {
    a.assign(h_ * w, 0);
    b.assign(h_ * w, 0);
    for (std::size_t i = 0; i < n_; ++i)
      std::memcpy((i % 2 == 0 ? a : b).data() + (i / 2) * w, d.data() + i * w, w * sizeof(u64));
    if (monic) (odd_ ? b[(n_ / 2) * w] : a[(n_ / 2) * w]) = 1;
  }

  // R := H(T) at w words.
  void Residual(TVec& r, int w) const {
    const TVec& a = a_[w - 1];
    const TVec& b = b_[w - 1];
    TVec a2, b2;
    PolyProduct(a2, a, a, h_, w);
    PolyProduct(b2, b, b, h_, w);
    const TVec tw = Narrow(t_, n_, words_, w);
    r.assign(n_ * w, 0);
    for (std::size_t k = 0; k < n_; ++k) {
      u64* rk = r.data() + k * w;
      std::memcpy(rk, a2.data() + k * w, w * sizeof(u64));
      if (k >= 1) zq::IntSub(rk, rk, b2.data() + (k - 1) * w, w);
      if (odd_)
        zq::IntAdd(rk, rk, tw.data() + k * w, w);
      else
        zq::IntSub(rk, rk, tw.data() + k * w, w);
    }
  }

  // R := L(D) at w words.
  void Linear(TVec& r, const TVec& d, int w) const {
    TVec da, db, p1, p2;
    Split(da, db, d, w, false);
    PolyProduct(p1, a_[w - 1], da, h_, w);
    PolyProduct(p2, b_[w - 1], db, h_, w);
    // m := 2·(A·δ_A − y·B·δ_B), its N low coefficients
    p1.resize(n_ * w);
    p2.insert(p2.begin(), static_cast<std::size_t>(w), 0);
    p2.resize(n_ * w);
    SubInto(p1, p2, w);
    AddInto(p1, p1, w);
    if (odd_) {
      r.assign(n_ * w, 0);
      SubInto(r, d, w);
    } else {
      r = d;
    }
    SubInto(r, p1, w);
  }

  // D := the solution of L(D) = R modulo 2^k, at WordsFor(k) words; R at rw
  // words (rw >= WordsFor(k)).
  void Solve(TVec& d, const TVec& r, int rw, int k) const {
    const int wk = WordsFor(k);
    if (k == 1) {
      d.assign(n_ * wk, 0);
      for (std::size_t i = 0; i < n_; ++i) d[i * wk] = r[i * rw] & 1u;
      return;
    }
    const int half = (k + 1) / 2;
    TVec d0;
    Solve(d0, r, rw, half);
    d = Narrow(d0, n_, WordsFor(half), wk);
    TVec l, rest = Narrow(r, n_, rw, wk);
    Linear(l, d, wk);
    SubInto(rest, l, wk);
    ShiftRight(rest, half, wk);
    TVec d1;
    Solve(d1, rest, wk, k - half);
    TVec d1k = Narrow(d1, n_, WordsFor(k - half), wk);
    ShiftLeft(d1k, half, wk);
    AddInto(d, d1k, wk);
  }

  std::size_t n_, h_;
  int words_;
  bool odd_;
  TVec t_;
  std::vector<TVec> a_, b_;
};

}  // namespace

void TeichmullerModulus(std::vector<std::uint64_t>& t, const TGF2Poly& p, int words) {
  TTeichmullerLift(p, words).Run(t);
}

void PowerSeriesInverse(std::vector<std::uint64_t>& g, const std::vector<std::uint64_t>& f, std::size_t len, int w) {
  g.assign(static_cast<std::size_t>(w), 0);
  g[0] = 1;
  for (std::size_t cur = 1; cur < len;) {
    const std::size_t nl = std::min(2 * cur, len);
    TVec fa(f.begin(), f.begin() + static_cast<std::ptrdiff_t>(nl * w));
    TVec ga(nl * w, 0);
    std::copy(g.begin(), g.end(), ga.begin());
    TVec e;
    PolyProduct(e, fa, ga, nl, w);
    e.resize(nl * w);
    // e := 2 − F·G
    TVec two(nl * w, 0);
    two[0] = 2;
    for (std::size_t i = 0; i < e.size(); i += w) zq::IntSub(e.data() + i, two.data() + i, e.data() + i, w);
    TVec next;
    PolyProduct(next, ga, e, nl, w);
    next.resize(nl * w);
    g.swap(next);
    cur = nl;
  }
  g.resize(len * w, 0);
}

}  // namespace rara
