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
#include "gf2/gf2n.h"
#include "padic/harley_lift.h"
#include "padic/zq.h"
#include "padic/zq_kernels.h"

namespace rara {

namespace {

using u64 = std::uint64_t;

int WordsFor(int bits) { return (bits + 63) / 64; }

// Relative costs of the one-word iterations of the root (a product 1, a
// square 0.65): Newton's step from t to 2t − 1 bits is a square and two
// products, the cubic step from t to 3t − 1 bits two squares and two.
constexpr double NewtonCost = 2.65, CubicCost = 3.3;

// The cheaper cost of reaching nt <= 63 bits from the start's 5 bits by
// one-word steps.
double OneWordCost(int nt) {
  if (nt <= 5) return 0;
  return std::min(NewtonCost + OneWordCost((nt + 2) / 2), CubicCost + OneWordCost((nt + 3) / 3));
}

// Y := (1 + 8X)^(−1/2) correct modulo 2^target, X at the ring's width wx
// (target < 64·wx); Y is returned at width wx. Newton's step from t to
// 2t − 1 bits, Y += Y·(1 − V·Y²)/2, runs at the narrowest width that holds
// its result, and its last product, whose factor 1 − V·Y² is divisible by
// 2^(t+1), at the width of the new bits alone. At one word, where a step
// costs the same whatever its precision, the cubic step
// Y += Y·(E/2 + 3E²/8), E = 1 − V·Y², which takes t bits to 3t − 1, is
// used where it is cheaper. The precisions are planned downwards from the
// target so that no step overshoots; the start 1 − 4X + 24X² is the series
// of the root, correct modulo 2^5.
void RSqrt(TZqRing& ring, TZqElem& y, const TZqElem& x, int target) {
  const int wx = ring.Words();
  struct TLevel {
    int Bits;
    bool Cubic;
  };
  std::vector<TLevel> chain;
  for (int t = target; t > 5;) {
    const bool cubic = WordsFor(t + 1) == 1 &&
                       CubicCost + OneWordCost((t + 3) / 3) < NewtonCost + OneWordCost((t + 2) / 2);
    chain.push_back({t, cubic});
    t = cubic ? (t + 3) / 3 : (t + 2) / 2;
  }
  TZqElem v, e, p, q, ys;
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
  // e := (1 − V·Y²)/2^(t+1) with V = 1 + 8X at the current width, Y cut to
  // its t correct bits so that the products skip its zero words.
  auto residual = [&] {
    narrow(v, x, wx);
    ring.Shl(v, 3);
    ring.AddSmall(v, 1);
    ring.Cut(y, t);
    ring.MulShort(p, v, y, t);
    ring.MulShort(p, p, y, t);
    ring.SetSmall(e, 1);
    ring.Sub(e, p);
    ring.Shr(e, t + 1);
  };
  for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
    const int nt = it->Bits;
    if (it->Cubic) {
      // One word throughout (the levels below a one-word level are one-word
      // too). With E = 2^(t+1)·F, Y·(E/2 + 3E²/8) = 2^t·Y·(F + 3·2^(t−1)·F²).
      residual();  // F
      ring.Sqr(q, e);
      ring.Shl(q, t - 1);
      p = q;
      ring.Add(q, q);
      ring.Add(q, p);
      ring.Add(q, e);  // F + 3·2^(t−1)·F²
      ring.Mul(p, y, q);
      ring.Shl(p, t);
      ring.Add(y, p);
      t = nt;
      continue;
    }
    const int nw = WordsFor(nt + 1);
    ring.SetWords(nw);
    ring.Resize(y, w);
    w = nw;
    residual();  // (1 − V·Y²)/2^(t+1)
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

// One AGM step X := F(X) = ((1 + 4X)·(1 + 8X)^(−1/2) − 1)/8 with the root
// correct modulo 2^target (the result is correct to target − 3 bits), at the
// ring's width, which must hold target + 1 bits. The root runs to half the
// target; its last Newton step is fused with the product by 1 + 4X: with
// V = 1 + 8X and VY = V·Y, (1 + 4X)·Y = (Y + VY)/2 and V·Y² = VY·Y, so the
// step costs two full products and one of the new bits' width where the root
// and a separate product cost a square more.
void AGMStep(TZqRing& ring, TZqElem& x, int target) {
  const int w = ring.Words();
  const int t = (target + 2) / 2;
  TZqElem y, v, vy, e, z, ze;
  // At one word the fusion's three products can cost more than the root to
  // the full target, with its cubic steps, and one product.
  if (w == 1 && OneWordCost(target) + 1 < OneWordCost(t) + 3) {
    RSqrt(ring, y, x, target);
    v = x;
    ring.Shl(v, 2);
    ring.AddSmall(v, 1);  // 1 + 4X
    ring.Mul(z, v, y);
    ring.AddSmall(z, -1);
    ring.Shr(z, 3);
    x.swap(z);
    return;
  }
  RSqrt(ring, y, x, t);
  ring.Cut(y, t);  // its correct bits, so that the products skip its zero words
  v = x;
  ring.Shl(v, 3);
  ring.AddSmall(v, 1);
  ring.MulShort(vy, v, y, t);
  ring.MulShort(e, vy, y, t);
  z = y;
  ring.Add(z, vy);
  ring.Shr(z, 1);  // (1 + 4X)·Y, exact below the top bit
  ring.SetSmall(v, 1);
  ring.Sub(v, e);
  ring.Shr(v, t + 1);  // (1 − V·Y²)/2^(t+1)
  const int sw = WordsFor(target - t);
  ring.SetWords(sw);
  ring.Resize(v, w);
  ze = z;
  ring.Resize(ze, w);
  ring.Mul(ze, ze, v);
  ring.SetWords(w);
  ring.Resize(ze, sw);
  ring.Shl(ze, t);
  ring.Add(z, ze);  // (1 + 4X)·(1 + 8X)^(−1/2)
  ring.AddSmall(z, -1);
  ring.Shr(z, 3);
  x.swap(z);
}

void CheckArgs(const TGF2Poly& p, const TGF2Poly& b, const char* name) {
  const std::int32_t n = p.Degree();
  if (n < 8 || n > AGMMaxDegree) RaiseInvalidArg(name, "Field degree out of range");
  if (b.IsZero() || b.Degree() >= n) RaiseInvalidArg(name, "Invalid B coefficient");
}

// Words that hold the i-th power of Z' = Z/2^c modulo 2^(64·wn − i·c), at
// least one.
int TermWords(int wn, int i, int c) { return std::max(1, WordsFor(64 * wn - i * c)); }

// U := the unit root u modulo 2^(m+2), in [0, 2^(m+2)), from Ξ correct
// modulo 2^m (m + 2 <= N, so that u ≡ t).
void UnitRootMod(TInteger& u, const TGF2Poly& p, const TGF2Poly& b, int m, TAGMLift lift) {
  if (lift == TAGMLift::Auto) lift = p.Degree() >= AGMNewtonFrom ? TAGMLift::Newton : TAGMLift::Sequential;
  // Bits kept beyond what each step needs, against slips in the accounting.
  constexpr int guard = 2;

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
    // The squarings at the full width, the i-th power of the series at the
    // width of the bits it still carries (see below).
    double cost = static_cast<double>(sq) * ww * (ww + 1);
    for (int i = 2; i <= terms; ++i) {
      const int wi = TermWords(ww, i, sq + 3);
      cost += static_cast<double>(wi) * (wi + 1);
    }
    if (sq == 1 || cost < bestCost) {
      bestCost = cost;
      bestS = sq;
      bestTerms = terms;
    }
  }
  const int wn = WordsFor(target + bestS + guard + 12);

  TZqRing ring;
  TZqElem x, v, y;
  int w = 1;
  if (lift == TAGMLift::Newton) {
    ring.SetupTeichmuller(p, std::max(wn, WordsFor(m)));
    TGF2N field;
    field.SetField(p, btStandard, false);
    HarleyLift(ring, x, field, b, m);
    w = ring.Words();
  } else {
    ring.Setup(p, 1);
    ring.FromGF2(x, b);
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
      AGMStep(ring, x, need);
    }
  }

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
  // Z^i = 2^(i·c)·Z'^i with c = s + 3 and Z' = Z/2^c: its trace modulo
  // 2^(64·wn) needs Z'^i only modulo 2^(64·wn − i·c), so that the powers
  // narrow as they rise.
  const int c = bestS + 3;
  ring.Shr(v, c);
  u64 acc[zq::MaxWords] = {}, tr[zq::MaxWords], one[zq::MaxWords] = {1};
  y = v;
  int yw = wn;
  for (int i = 1; i <= bestTerms; ++i) {
    RuvBreak();
    const int wi = TermWords(wn, i, c);
    if (wi != yw) {
      ring.SetWords(wi);
      ring.Resize(y, yw);
      yw = wi;
    }
    if (i > 1) {
      TZqElem vi = v;
      ring.Resize(vi, wn);
      ring.Mul(y, y, vi);
    }
    std::fill(tr, tr + zq::MaxWords, 0);
    ring.Trace(tr, y);
    zq::IntShl(tr, tr, i * c < 64 * wn ? i * c : 0, wn);
    if (i * c >= 64 * wn) std::fill(tr, tr + zq::MaxWords, 0);
    MulDiv(tr, one, i, wn);
    if (i & 1)
      zq::IntAdd(acc, acc, tr, wn);
    else
      zq::IntSub(acc, acc, tr, wn);
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

  std::uint8_t bytes[zq::MaxWords * 8];
  std::memcpy(bytes, sum, sizeof bytes);
  u.SetDigits(bytes, static_cast<std::int64_t>(wn) * 8);
  ICut(u, m + 2);
}

}  // namespace

void AGMTrace(TInteger& t, const TGF2Poly& p, const TGF2Poly& b, TAGMLift lift) {
  CheckArgs(p, b, "AGMTrace");
  // t is determined by u modulo 2^(m+2) as |t| <= 2^(N/2+1) < 2^(m+1).
  const int m = p.Degree() / 2 + 2;
  UnitRootMod(t, p, b, m, lift);
  // t taken in [−2^(m+1), 2^(m+1)).
  const int bits = m + 2;
  if (t.Bit(static_cast<std::uint32_t>(bits - 1))) {
    TInteger top;
    top.SetBit(static_cast<std::uint32_t>(bits), true);
    ISub(t, top);
  }
}

void AGMTraceMod(TInteger& t, int bits, const TGF2Poly& p, const TGF2Poly& b, TAGMLift lift) {
  CheckArgs(p, b, "AGMTraceMod");
  if (bits < 4 || bits > p.Degree() / 2 + 4) RaiseInvalidArg("AGMTraceMod", "Invalid precision");
  UnitRootMod(t, p, b, bits - 2, lift);
}

}  // namespace rara
