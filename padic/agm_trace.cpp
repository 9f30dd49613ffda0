// The univariate AGM. With λ = a/b ≡ 1 mod 8 written 1 + 8X, one AGM step
// (a, b) → ((a+b)/2, √(ab)) maps X to F(X) with (1+8X)·(1+8F(X))² = (1+4X)²,
// that is F(X) = ((1+4X)/√(1+8X) − 1)/8. F lifts squaring (F(X) ≡ X² mod 2)
// and contracts: X ≡ X' mod 2^j gives F(X) ≡ F(X') mod 2^(j+1). Starting from
// any lift of B, the k-th iterate agrees with σ^k(Ξ) modulo 2^(k+1), where Ξ
// is the Frobenius-equivariant solution σ(Ξ) = F(Ξ) that belongs to the
// canonical lift; so step k needs only k + 1 correct bits and the precision
// grows with k. The unit root of Frobenius is the norm of a/a' = (1+8Ξ)/(1+4Ξ),
// which equals N(1+8Ξ)^(−1/2) since N(1+8σΞ) = N(1+8Ξ); as t = u + 2^N/u, the
// trace is u modulo 2^N. The norm is exp(Tr(log)), the logarithm taken after
// s squarings so that its series is short.
#include "padic/agm_trace.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <vector>

#include "integers/break.h"
#include "integers/errors.h"
#include "padic/zq.h"
#include "padic/zq_kernels.h"

namespace rara {

namespace {

using u64 = std::uint64_t;

int WordsFor(int bits) { return (bits + 63) / 64; }

// Y := (1 + 8X)^(−1/2) correct modulo 2^target, X at the ring's width wx
// (target < 64·wx); Y is returned at width wx. Newton's step from t to
// 2t − 1 bits, Y += Y·(1 − V·Y²)/2, runs at the narrowest width that holds
// its result, and its last product, whose factor 1 − V·Y² is divisible by
// 2^(t+1), at the width of the new bits alone. The precisions are planned
// downwards from the target so that no step overshoots; the start
// 1 − 4X + 24X² is the series of the root, correct modulo 2^5.
void RSqrt(TZqRing& ring, TZqElem& y, const TZqElem& x, int target) {
  const int wx = ring.Words();
  std::vector<int> chain;
  for (int t = target; t > 5; t = (t + 2) / 2) chain.push_back(t);
  TZqElem v, e, p, ys;
  // dst := src (of srcWords words) at the current width.
  auto narrow = [&ring](TZqElem& dst, const TZqElem& src, int srcWords) {
    dst = src;
    ring.Resize(dst, srcWords);
  };
  ring.SetWords(1);
  narrow(v, x, wx);
  ring.Sqr(p, v);
  ring.Shl(p, 3);  // 8X²
  y = p;
  ring.Add(y, p);
  ring.Add(y, p);
  ring.Shl(v, 2);
  ring.Sub(y, v);
  ring.AddSmall(y, 1);
  int w = 1, t = 5;
  for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
    const int nt = *it;
    const int nw = WordsFor(nt + 1);
    ring.SetWords(nw);
    ring.Resize(y, w);
    w = nw;
    narrow(v, x, wx);
    ring.Shl(v, 3);
    ring.AddSmall(v, 1);
    ring.Sqr(p, y);
    ring.Mul(p, p, v);
    ring.SetSmall(e, 1);
    ring.Sub(e, p);
    ring.Shr(e, t + 1);  // (1 − V·Y²)/2^(t+1)
    const int sw = WordsFor(nt - t);
    ring.SetWords(sw);
    ring.Resize(e, nw);
    narrow(ys, y, nw);
    ring.Mul(p, ys, e);
    ring.SetWords(nw);
    ring.Resize(p, sw);
    ring.Shl(p, t);
    ring.Add(y, p);
    t = nt;
  }
  ring.SetWords(wx);
  ring.Resize(y, w);
}

// The 2-adic valuation and the odd part of i.
void SplitTwos(int i, int& v, u64& odd) {
  v = std::countr_zero(static_cast<unsigned>(i));
  odd = static_cast<u64>(i) >> v;
}

// X := X·c/i exactly (i > 0), as integers modulo 2^(64w) whose value is
// divisible by 2^v(i) once multiplied by c.
void MulDiv(u64* x, const u64* c, int i, int w) {
  int v;
  u64 odd;
  SplitTwos(i, v, odd);
  u64 inv[zq::MaxWords] = {odd};
  zq::IntInvOdd(inv, inv, w);
  zq::IntMul(x, x, c, w);
  if (v > 0) zq::IntShr(x, x, v, w);
  zq::IntMul(x, x, inv, w);
}

}  // namespace

void AGMTrace(TInteger& t, const TGF2Poly& p, const TGF2Poly& b) {
  const std::int32_t n = p.Degree();
  if (n < 8 || n > AGMMaxDegree) RaiseInvalidArg("AGMTrace", "Field degree out of range");
  if (b.IsZero() || b.Degree() >= n) RaiseInvalidArg("AGMTrace", "Invalid B coefficient");
  // Bits kept beyond what each step needs, against slips in the accounting.
  constexpr int guard = 2;
  // t is determined by u modulo 2^(m+2) as |t| <= 2^(N/2+1) < 2^(m+1); X
  // correct modulo 2^m gives u modulo 2^(m+2), and m + 2 <= N.
  const int m = n / 2 + 2;

  TZqRing ring;
  ring.Setup(p, 1);
  TZqElem x, v, y, s;
  ring.FromGF2(x, b);
  int w = 1;
  for (int k = 1; k < m; ++k) {
    RuvBreak();
    // X is correct modulo 2^k; the step makes it correct modulo 2^(k+1), for
    // which the root must be correct modulo 2^(k+4) as the step divides by 8.
    const int need = k + 4 + guard;
    const int nw = WordsFor(need + 1);
    if (nw != w) {
      ring.SetWords(nw);
      ring.Resize(x, w);
      w = nw;
    }
    RSqrt(ring, y, x, need);
    s = x;
    ring.Shl(s, 2);
    ring.AddSmall(s, 1);  // 1 + 4X
    ring.Mul(s, s, y);
    ring.AddSmall(s, -1);
    ring.Shr(s, 3);
    x.swap(s);
  }

  // L := Tr(log(1 + 8X)) modulo 2^(m+3), as 2^(−s)·Tr(log((1 + 8X)^(2^s))).
  const int target = m + 3;
  int bestS = 1, bestTerms = 0;
  double bestCost = 0;
  for (int sq = 1; sq <= 64; ++sq) {
    // Terms i with i·(s + 3) − log2(i) >= target + s vanish.
    int terms = 1;
    auto lowBits = [sq](int i) {
      return i * (sq + 3) - static_cast<int>(std::bit_width(static_cast<unsigned>(i)));
    };
    while (lowBits(terms + 1) < target + sq) ++terms;
    const int ww = WordsFor(target + sq + guard + 12);
    if (ww > zq::MaxWords) break;
    const double cost = static_cast<double>(sq + terms) * ww * (ww + 1);
    if (sq == 1 || cost < bestCost) {
      bestCost = cost;
      bestS = sq;
      bestTerms = terms;
    }
  }
  const int wn = WordsFor(target + bestS + guard + 12);
  ring.SetWords(wn);
  ring.Resize(x, w);
  v = x;
  ring.Shl(v, 3);
  ring.AddSmall(v, 1);
  for (int i = 0; i < bestS; ++i) {
    RuvBreak();
    ring.Sqr(v, v);
  }
  ring.AddSmall(v, -1);  // (1 + 8X)^(2^s) − 1, divisible by 2^(s+3)
  u64 acc[zq::MaxWords] = {}, tr[zq::MaxWords], one[zq::MaxWords] = {1};
  y = v;
  for (int i = 1; i <= bestTerms; ++i) {
    RuvBreak();
    ring.Trace(tr, y);
    MulDiv(tr, one, i, wn);
    if (i & 1)
      zq::IntAdd(acc, acc, tr, wn);
    else
      zq::IntSub(acc, acc, tr, wn);
    if (i < bestTerms) ring.Mul(y, y, v);
  }
  // Tr(log(1 + 8X))/2; the shift leaves the top bits 0, below the precision.
  zq::IntShr(acc, acc, bestS + 1, wn);
  u64 lg[zq::MaxWords] = {};
  zq::IntSub(lg, lg, acc, wn);  // log u = −Tr(log(1 + 8X))/2

  // u := exp(log u), a series whose i-th term has valuation above i.
  u64 sum[zq::MaxWords] = {1}, term[zq::MaxWords] = {1};
  for (int i = 1; i < m + 2; ++i) {
    MulDiv(term, lg, i, wn);
    zq::IntAdd(sum, sum, term, wn);
  }

  // t := u modulo 2^(m+2), taken in [−2^(m+1), 2^(m+1)).
  const int bits = m + 2;
  std::uint8_t bytes[zq::MaxWords * 8];
  std::memcpy(bytes, sum, sizeof bytes);
  t.SetDigits(bytes, static_cast<std::int64_t>(wn) * 8);
  ICut(t, bits);
  if (t.Bit(static_cast<std::uint32_t>(bits - 1))) {
    TInteger top;
    top.SetBit(static_cast<std::uint32_t>(bits), true);
    ISub(t, top);
  }
}

}  // namespace rara
